// The disc image command in the window: its dialog (the one disabled source entry, the settings
// it reads and writes, the browse filter, the refusals), the builder window filled and started by
// the command, and a failed build with a stand-in image program.
#include <QAction>
#include <QComboBox>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "image/image_programs.h"
#include "ui/builder_window.h"
#include "ui/disc_image_command.h"
#include "ui/disc_image_dlg.h"
#include "ui/settings.h"
#include "ui_test_support.h"

namespace {

QString setting(const char* key) {
    return navtabSettings()->value(QStringLiteral("SETTINGS/") + key).toString();
}

QString foundBuilder() {
    return QString::fromStdString(image::discoverImageBuilder({}, image::environmentPath()));
}

// The command's dialog will be answered with an image file (and a label).
void answerDialog(const QString& image, const QString& label = {}) {
    onNext<CDiscImageDlg>([=](CDiscImageDlg* d) {
        d->imageEdit()->setText(image);
        if (!label.isEmpty()) d->labelEdit()->setText(label);
        d->accept();
    });
}

// Triggers action `n` of the "Tools" menu (0 "Create Image", 1 "Test1") and returns the builder
// window once its run has ended.
CBuilderWindow* runTool(CNavtabDlg& dlg, int n, const QString& text) {
    QAction* action = dlg.menuBar()->actions().first()->menu()->actions().at(n);
    if (action->text() != text) return nullptr;
    action->trigger();
    CBuilderWindow* builder = CBuilderWindow::find();
    if (builder == nullptr ||
        !QTest::qWaitFor([&] { return !builder->lastResult().isEmpty(); }, 30000))
        return nullptr;
    return builder;
}

}  // namespace

class DiscImageTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { navtabSettings()->clear(); }
    void cleanup() {
        if (CBuilderWindow* w = CBuilderWindow::find()) w->close();
        QApplication::processEvents();
        navtabSettings()->clear();
    }
    void theDialogOffersOnlyTheFolderAndRemembersTheChoices() {
        navtabSettings()->setValue("SETTINGS/IMGPATH", "/tmp/earlier.img");
        CDiscImageDlg d(nullptr, "/data/Film", "no drive");
        QCOMPARE(d.driveList()->count(), 1);
        QCOMPARE(d.driveList()->currentText(), QStringLiteral("/data/Film"));
        QVERIFY(!d.driveList()->isEnabled() && !d.burnBox()->isEnabled());
        QCOMPARE(d.imageEdit()->text(), QStringLiteral("/tmp/earlier.img"));
        QCOMPARE(d.burnBox()->toolTip(), QStringLiteral("no drive"));
        d.imageEdit()->setText("/tmp/new.img");
        d.labelEdit()->setText("MY_FILM");
        d.show();
        labelled(&d, "Create Image")->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(setting("IMGPATH"), QStringLiteral("/tmp/new.img"));
        QCOMPARE(setting("DRIVE"), QStringLiteral("/data/Film"));
        QCOMPARE(d.volumeLabel(), QStringLiteral("MY_FILM"));
        // Browse offers image files and takes the choice with its suffix.
        QTemporaryDir dir;
        QString filters;
        acceptNextFile(dir.filePath("chosen"), nullptr, &filters);
        d.browseButton()->click();
        QCOMPARE(filters, QStringLiteral("Img Files (*.img);;All Files (*)"));
        QCOMPARE(d.imageEdit()->text(), dir.filePath("chosen.img"));
    }
    void refusalsBeforeAnyBuild() {
        ScratchCopies dir;
        dir.copyAll("pal169", {}, "DVDFILES");
        OpenWindow dlg({dir.path("DVDFILES/VIDEO_TS.IFO")});
        const auto discImage = [&] { dlg.button("Disc Image")->click(); };
        QCOMPARE(messageAfter(discImage),
                 QStringLiteral("Your files must be located in a folder named: 'VIDEO_TS'."));
        // The image program found was written back all the same.
        QCOMPARE(setting("CMDPATH"), foundBuilder());
        navtabSettings()->setValue("SETTINGS/CMDPATH", "/nonexistent/genisoimage");
        dlg.openFiles({sample("pal169", "VIDEO_TS.IFO")});
        answerDialog("/tmp/never.img");
        QCOMPARE(messageAfter(discImage),
                 QStringLiteral("ERROR: Can't locate /nonexistent/genisoimage"));
        QVERIFY(CBuilderWindow::find() == nullptr);
    }
    void theCommandFillsAndStartsTheBuilder() {
        if (foundBuilder().isEmpty()) QSKIP("genisoimage is not installed");
        ScratchCopies dir;
        dir.copyAll("ntsc43", {}, "ntsc43/video_ts");
        const QString target = dir.path("ntsc 43.img");
        OpenWindow dlg({dir.path("ntsc43/video_ts/VTS_01_0.IFO")});
        answerDialog(target, "NTSC_43");
        CBuilderWindow* builder = runTool(dlg, 0, "Create Image");  // the button's command
        QVERIFY(builder != nullptr);
        QCOMPARE(builder->sourceEdit()->text(), dir.path("ntsc43"));
        QCOMPARE(builder->imageEdit()->text(), target);
        QCOMPARE(builder->labelEdit()->text(), QStringLiteral("NTSC_43"));
        QVERIFY2(builder->lastRunSucceeded(), qPrintable(builder->lastResult()));
        QVERIFY(QFileInfo(target).size() > 1000 * 2048);
        QCOMPARE(builder->bar()->value(), builder->bar()->maximum());
        QVERIFY(builder->log()->toPlainText().contains("extents written"));
    }
    void theAutomationPressesTheWriteButtonWhenBurning() {
        auto* builder = new CBuilderWindow({"/bin/true", {}, {}});
        builder->show();
        QAbstractButton* pressed = fillBuilderWindow({"/a", "/b.img", "L"}, true);
        QCOMPARE(pressed, static_cast<QAbstractButton*>(builder->createAndWriteButton()));
        QVERIFY(!pressed->isEnabled());  // no drive and no growisofs: the click does nothing
        QVERIFY(!pressed->toolTip().isEmpty());
        // The click comes once the command has returned; the builder refuses a source folder
        // without VIDEO_TS.
        QAbstractButton* create = nullptr;
        QCOMPARE(messageAfter([&] {
                     create = fillBuilderWindow({"/a", "/b.img", "L"}, false);
                 }),
                 QStringLiteral("The source folder \"/a\" holds no folder named VIDEO_TS."));
        QCOMPARE(create, static_cast<QAbstractButton*>(builder->createButton()));
        builder->close();
        QApplication::processEvents();
        QVERIFY(fillBuilderWindow({}, false) == nullptr);
    }
    // What the run keeps of the old image is tests/unit's; here the window shows the failure.
    void aFailingImageProgramShowsItsOutput() {
        ScratchCopies dir;
        dir.copyAll("mixed0", {}, "VIDEO_TS");
        const QString target = dir.path("mixed.img");
        const QString script = dir.path("fake builder");
        QFile f(script);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            "#!/bin/sh\necho ' 12.00% done'\necho 'genisoimage: No space left on device'\n"
            "exit 1\n");
        f.close();
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        navtabSettings()->setValue("SETTINGS/CMDPATH", script);
        OpenWindow dlg({dir.path("VIDEO_TS/VIDEO_TS.IFO")});
        answerDialog(target);
        CBuilderWindow* builder = nullptr;
        // "Test1" takes the program the settings hold.
        const QString failure = messageAfter([&] { builder = runTool(dlg, 1, "Test1"); });
        QVERIFY(builder != nullptr && !builder->lastRunSucceeded());
        QVERIFY2(failure.contains("No space left on device"), qPrintable(failure));
        QVERIFY(builder->log()->toPlainText().contains("No space left on device"));
        QVERIFY(!QFile::exists(target));
    }
};

QTEST_MAIN(DiscImageTest)
#include "test_disc_image.moc"
