#include "ui/disc_image_command.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMetaObject>
#include <QThread>

#include "image/disc_image.h"
#include "image/image_programs.h"
#include "repair/sector_correction.h"
#include "session/browser_session.h"
#include "ui/builder_window.h"
#include "ui/disc_image_dlg.h"
#include "ui/qt_interaction.h"
#include "ui/settings.h"

namespace navtab::ui {
namespace {

const QString kCmdPathKey = QStringLiteral("SETTINGS/CMDPATH");

QWidget* topLevelTitled(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == title) return w;
    return nullptr;
}

// The started and finished flags of a builder run: the builder's window is open, or the run
// ended before it could open.
struct BuilderStart {
    bool started = false;
    bool finished = false;
};

// Opens the builder's window (or takes the one already open). Without an image program there is
// nothing to start: the user is told which program is missing.
BuilderStart startBuilder(const QString& program, QtInteraction& ui) {
    BuilderStart flags;
    if (!image::isRunnableFile(program.toStdString())) {
        flags.finished = true;
        ui.message(image::cannotLocateText(program.isEmpty() ? image::kDefaultBuilderName
                                                             : program.toStdString()));
        return flags;
    }
    CBuilderWindow* window = CBuilderWindow::find();
    if (window == nullptr) {
        const std::string path = image::environmentPath();
        window = new CBuilderWindow(
            {program, QString::fromStdString(image::findOnPath(image::kBurnerName, path)),
             QString::fromStdString(image::firstOpticalDrive())});
    }
    window->show();
    flags.started = true;
    return flags;
}

}  // namespace

QString discoverImageProgram() {
    auto settings = navtabSettings();
    const QString found = QString::fromStdString(image::discoverImageBuilder(
        settings->value(kCmdPathKey).toString().toStdString(), image::environmentPath()));
    settings->setValue(kCmdPathKey, found);
    return found;
}

void OnDiscImage(QWidget* window, BrowserSession& session, bool discover) {
    QtInteraction ui(window);
    const QString program =
        discover ? discoverImageProgram() : navtabSettings()->value(kCmdPathKey).toString();
    const IfoDocument* doc = session.currentDocument();
    if (doc == nullptr) return;
    const auto videoTs = image::videoTsFolderOf(doc->path);
    if (!videoTs) {
        ui.message(image::kNotVideoTsText);
        return;
    }
    const QString root = QString::fromStdString(image::imageRootOf(*videoTs));
    const std::string path = image::environmentPath();
    const QString burnUnavailable = QString::fromStdString(image::burnUnavailableReason(
        image::findOnPath(image::kBurnerName, path), image::firstOpticalDrive()));
    CDiscImageDlg dialog(window, root, burnUnavailable);
    if (dialog.exec() != QDialog::Accepted) return;

    // Any folder can be the root of an image: no drive substitution comes before the builder.
    const BuilderStart flags = startBuilder(program, ui);
    if (!flags.started || flags.finished) return;
    QCoreApplication::processEvents();  // let the builder's window appear
    fillBuilderWindow({dialog.drive(), dialog.imageFile(), dialog.volumeLabel()}, dialog.burn());
}

QAbstractButton* fillBuilderWindow(const BuilderFields& fields, bool write) {
    QWidget* builder = topLevelTitled(QString::fromLatin1(CBuilderWindow::kTitle));
    if (builder == nullptr) return nullptr;
    const QList<QLineEdit*> edits = builder->findChildren<QLineEdit*>();
    const QString buttonTitle = write ? QStringLiteral("Create Disc Image and Write to Disc")
                                      : QStringLiteral("Create Disc Image");
    QAbstractButton* button = nullptr;
    for (QAbstractButton* b : builder->findChildren<QAbstractButton*>())
        if (b->text() == buttonTitle) button = b;
    builder->raise();
    builder->activateWindow();
    const QString values[] = {fields.source, fields.image, fields.label};
    for (int i = 0; i < 3 && i < edits.size(); ++i) {
        QLineEdit* edit = edits[i];
        if (edit->isReadOnly()) continue;  // a run is going on; its fields stay
        edit->setSelection(0, static_cast<int>(edit->text().size()));
        edit->insert(values[i]);
        edit->setCursorPosition(static_cast<int>(edit->text().size()));
    }
    if (button != nullptr)
        QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
    return button;
}

}  // namespace navtab::ui
