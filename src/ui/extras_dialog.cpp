#include "ui/extras_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/file_filter.h"
#include "ui/ok_cancel_row.h"
#include "ui/qt_interaction.h"

namespace navtab::ui {
namespace {

using vob::ExtrasBox;

constexpr const char* kVobFilter = "VOB Files (*.VOB)|*.VOB|All Files (*.*)|*.*||";
constexpr const char* kM2vFilter = "MPEG Files (*.m2v)|*.m2v|All Files (*.*)|*.*||";
constexpr const char* kOverwriteWarning =
    "You've selected to overwrite your original VOB files!\nPlease select a different directory.";

// The navigation-pack options belong to the pointer option; they are drawn indented below it.
bool navPackOption(ExtrasBox b) {
    return b == ExtrasBox::RemovePuops || b == ExtrasBox::RebuildPts ||
           b == ExtrasBox::RemoveAnglePointers || b == ExtrasBox::AdjustAnglePointers ||
           b == ExtrasBox::AdjustVobuPointers || b == ExtrasBox::AdjustSyncPointers;
}

// A file dialog starting at `current`, for a file to write (`save`) or to read; the chosen path,
// or empty when cancelled.
QString browse(QWidget* parent, const QString& current, const char* filter, bool save) {
    QFileDialog dialog(parent, QString(), QFileInfo(current).path(),
                       qtFileFilter(QString::fromLatin1(filter)));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The chosen name only gives the folder and the stem of the files the run writes.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!current.isEmpty()) dialog.selectFile(current);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

// The same path, however spelt ("./", "..", a relative name); the file need not exist yet.
bool samePath(const QString& a, const QString& b) {
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) ==
           QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

}  // namespace

CVobExtrasDlg::CVobExtrasDlg(QWidget* parent, const vob::ExtrasDialogState& state)
    : QDialog(parent), state_(state) {
    setWindowTitle(state_.options.menu ? QStringLiteral("Menu Extras")
                                       : QStringLiteral("VOB Extras"));
    auto* layout = new QVBoxLayout(this);
    for (const vob::ExtrasBoxInfo& info : vob::extrasBoxes()) {
        auto* b = new QCheckBox(QString::fromLatin1(info.label.data(), info.label.size()), this);
        const ExtrasBox which = info.box;
        connect(b, &QCheckBox::clicked, this, [this, which](bool on) {
            state_.click(which, on);
            refresh();
        });
        boxes_[which] = b;
        if (which == ExtrasBox::RemoveAngles) {
            auto* row = new QHBoxLayout;
            keepAngleLabel_ = new QLabel(QStringLiteral("Keep Angle:"), this);
            keepAngle_ = new QComboBox(this);
            for (const std::string& item : state_.keepAngleItems())
                keepAngle_->addItem(QString::fromStdString(item));
            keepAngle_->setCurrentIndex(std::max(0, state_.options.keepAngle - 1));
            keepAngleLabel_->setBuddy(keepAngle_);
            row->addWidget(b);
            row->addSpacing(12);
            row->addWidget(keepAngleLabel_);
            row->addWidget(keepAngle_);
            row->addStretch();
            layout->addLayout(row);
        } else if (navPackOption(which)) {
            auto* row = new QHBoxLayout;
            row->addSpacing(24);
            row->addWidget(b);
            layout->addLayout(row);
        } else {
            layout->addWidget(b);
        }
    }

    auto* paths = new QGridLayout;
    const auto pathRow = [&](int row, const char* label, const std::string& text, QLabel*& l,
                             QLineEdit*& edit, QPushButton*& browseButton) {
        l = new QLabel(QString::fromLatin1(label), this);
        edit = new QLineEdit(QString::fromStdString(text), this);
        edit->setMinimumWidth(320);
        l->setBuddy(edit);
        browseButton = new QPushButton(QStringLiteral("..."), this);
        browseButton->setAutoDefault(false);
        paths->addWidget(l, row, 0);
        paths->addWidget(edit, row, 1);
        paths->addWidget(browseButton, row, 2);
    };
    pathRow(0, "Destination directory:", state_.options.destination, destinationLabel_,
            destination_, destinationBrowse_);
    pathRow(1, "*.m2v file for Re-Mux:", state_.options.videoSource, videoSourceLabel_,
            videoSource_, videoSourceBrowse_);
    layout->addLayout(paths);
    connect(destination_, &QLineEdit::textEdited, this,
            [this](const QString& text) { state_.options.destination = text.toStdString(); });
    connect(videoSource_, &QLineEdit::textEdited, this,
            [this](const QString& text) { state_.options.videoSource = text.toStdString(); });
    connect(destinationBrowse_, &QPushButton::clicked, this, &CVobExtrasDlg::browseDestination);
    connect(videoSourceBrowse_, &QPushButton::clicked, this, &CVobExtrasDlg::browseVideoSource);

    layout->addLayout(okCancelRow(this));
    refresh();
}

void CVobExtrasDlg::refresh() {
    for (const auto& [which, b] : boxes_) {
        b->setChecked(state_.checked(which));
        b->setVisible(state_.visible(which));
        b->setEnabled(state_.enabled(which));
    }
    const bool angles = state_.keepAngleEnabled();
    keepAngleLabel_->setEnabled(angles);
    keepAngle_->setEnabled(angles);
    const bool destination = state_.destinationEnabled();
    destinationLabel_->setEnabled(destination);
    destination_->setEnabled(destination);
    destinationBrowse_->setEnabled(destination);
    // The suffix rule may have changed the text; an unchanged text keeps the caret where it is.
    const QString text = QString::fromStdString(state_.options.destination);
    if (destination_->text() != text) destination_->setText(text);
    const bool source = state_.videoSourceEnabled();
    videoSourceLabel_->setEnabled(source);
    videoSource_->setEnabled(source);
    videoSourceBrowse_->setEnabled(source);
}

void CVobExtrasDlg::browseDestination() {
    const QString current = destination_->text();
    const QString chosen = browse(this, current, kVobFilter, true);
    if (chosen.isEmpty()) return;
    if (samePath(chosen, current)) QtInteraction(this).message(kOverwriteWarning);
    state_.options.destination = chosen.toStdString();
    refresh();
}

void CVobExtrasDlg::browseVideoSource() {
    const QString chosen = browse(this, videoSource_->text(), kM2vFilter, false);
    if (chosen.isEmpty()) return;
    state_.options.videoSource = chosen.toStdString();
    videoSource_->setText(chosen);
}

void CVobExtrasDlg::accept() {
    state_.options.destination = destination_->text().toStdString();
    state_.options.videoSource = videoSource_->text().toStdString();
    state_.options.keepAngle = keepAngle_->currentIndex() + 1;
    QDialog::accept();
}

}  // namespace navtab::ui
