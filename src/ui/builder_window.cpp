#include "ui/builder_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "image/disc_image.h"
#include "image/image_programs.h"
#include "image/volume_label.h"
#include "ui/app_icon.h"
#include "ui/fixed_font.h"
#include "ui/qt_interaction.h"

namespace navtab::ui {

CBuilderWindow::CBuilderWindow(const BuilderPrograms& programs)
    : QWidget(nullptr, Qt::Window), programs_(programs) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowIcon(appIcon());
    // The edit fields are made first: whoever fills the window finds them in this child order.
    source_ = new QLineEdit(this);
    image_ = new QLineEdit(this);
    label_ = new QLineEdit(this);
    create_ = new QPushButton(QStringLiteral("Create Disc Image"), this);
    createAndWrite_ = new QPushButton(QStringLiteral("Create Disc Image and Write to Disc"), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 1000);
    bar_->setValue(0);
    bar_->setFormat(QStringLiteral("%p%"));
    log_ = new QPlainTextEdit(this);
    log_->setReadOnly(true);
    log_->setFont(fixedFont());
    log_->setLineWrapMode(QPlainTextEdit::NoWrap);
    log_->setMaximumBlockCount(5000);

    writeUnavailable_ = QString::fromStdString(image::burnUnavailableReason(
        programs_.burner.toStdString(), programs_.drive.toStdString()));
    createAndWrite_->setToolTip(writeUnavailable_.isEmpty()
                                    ? QStringLiteral("Writes the image to the disc in ") +
                                          programs_.drive
                                    : writeUnavailable_);
    connect(create_, &QPushButton::clicked, this, [this] { run(false); });
    connect(createAndWrite_, &QPushButton::clicked, this, [this] { run(true); });
    connect(cancel_, &QPushButton::clicked, this, [this] { cancelled_ = true; });

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Source Folder:"), this), 0, 0);
    grid->addWidget(source_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Image File:"), this), 1, 0);
    grid->addWidget(image_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Volume Label:"), this), 2, 0);
    grid->addWidget(label_, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(create_);
    buttons->addWidget(createAndWrite_);
    buttons->addStretch();
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(bar_);
    layout->addWidget(log_, 1);
    setRunning(false);
    resize(640, 420);
}

CBuilderWindow::~CBuilderWindow() = default;

CBuilderWindow* CBuilderWindow::find() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* builder = qobject_cast<CBuilderWindow*>(w)) return builder;
    return nullptr;
}

void CBuilderWindow::setRunning(bool running) {
    running_ = running;
    for (QLineEdit* edit : {source_, image_, label_}) edit->setReadOnly(running);
    create_->setEnabled(!running);
    createAndWrite_->setEnabled(!running && writeUnavailable_.isEmpty());
    cancel_->setEnabled(running);
}

void CBuilderWindow::appendLog(const QString& line) {
    log_->appendPlainText(line);
}

bool CBuilderWindow::finish(bool ok, const QString& text) {
    appendLog(text);
    lastResult_ = text;
    lastOk_ = ok;
    return ok;
}

void CBuilderWindow::run(bool write) {
    if (running_) return;
    QtInteraction ui(this);
    const std::string source = source_->text().trimmed().toStdString();
    const auto videoTs = image::videoTsFolderIn(source);
    const std::string label =
        videoTs ? image::effectiveVolumeLabel(label_->text().toStdString(), *videoTs) : "";
    std::string refusal;
    if (!videoTs)
        refusal = "The source folder \"" + source + "\" holds no folder named VIDEO_TS.";
    else if (image_->text().trimmed().isEmpty())
        refusal = "Please give the image file to create.";
    else if (programs_.builder.isEmpty() || !image::isRunnableFile(programs_.builder.toStdString()))
        refusal = image::cannotLocateText(programs_.builder.isEmpty()
                                              ? std::string(image::kDefaultBuilderName)
                                              : programs_.builder.toStdString());
    else
        refusal = image::volumeLabelProblem(label);
    if (!refusal.empty()) {
        finish(false, QString::fromStdString(refusal));
        ui.message(refusal);
        emit runFinished(false);
        return;
    }

    cancelled_ = false;
    setRunning(true);
    const auto log = [this](const std::string& line) { appendLog(QString::fromStdString(line)); };
    const image::DiscImageRequest request{programs_.builder.toStdString(), *videoTs,
                                          image_->text().trimmed().toStdString(), label};
    appendLog(QStringLiteral("Building ") + QString::fromStdString(request.imagePath));
    image::RunReport report = image::buildDiscImage(request, log, this);
    if (report.done() && write) {
        appendLog(QString::fromStdString(report.message));
        appendLog(QStringLiteral("Writing to ") + programs_.drive);
        report = image::burnDiscImage(programs_.burner.toStdString(), programs_.drive.toStdString(),
                                      request.imagePath, log, this);
    }
    setRunning(false);
    const bool ok = finish(report.done(), QString::fromStdString(report.text()));
    if (report.status == image::RunReport::Status::Failed) ui.message(report.text());
    emit runFinished(ok);
    if (closeAfterRun_) close();
}

void CBuilderWindow::SetRange(int lower, int upper, int /*step*/) {
    bar_->setRange(lower, upper);
}

int CBuilderWindow::SetPos(int pos) {
    const int before = bar_->value();
    bar_->setValue(std::clamp(pos, bar_->minimum(), bar_->maximum()));
    return before;
}

int CBuilderWindow::OffsetPos(int delta) {
    return SetPos(bar_->value() + delta);
}

int CBuilderWindow::StepIt() {
    return SetPos(bar_->value() + 1);
}

void CBuilderWindow::SetText(const std::string& text) {
    appendLog(QString::fromStdString(text));
}

void CBuilderWindow::PeekAndPump(bool /*cancelOnEscape*/) {
    if (QCoreApplication::closingDown()) {
        cancelled_ = true;
        return;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CBuilderWindow::closeEvent(QCloseEvent* e) {
    if (running_) {
        // The run ends first; its report comes, then the window closes.
        cancelled_ = true;
        closeAfterRun_ = true;
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

}  // namespace navtab::ui
