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

// A copy of a sample disc's files under FOLDER/`videoTsName` in a scratch folder.
QString copyDisc(const QTemporaryDir& dir, const QString& disc, const QString& videoTsName) {
    const QString target = dir.filePath(disc + "/" + videoTsName);
    QDir().mkpath(target);
    const QDir from(QFileInfo(sample(disc, "VIDEO_TS.IFO")).path());
    for (const QString& name : from.entryList(QDir::Files))
        QFile::copy(from.filePath(name), target + "/" + name);
    return target;
}

QString setting(const char* key) {
    return navtabSettings()->value(QStringLiteral("SETTINGS/") + key).toString();
}

QString foundBuilder() {
    return QString::fromStdString(image::discoverImageBuilder({}, image::environmentPath()));
}

// A window on `ifo`; the command's dialog will be answered with an image file (and a label).
std::unique_ptr<CNavtabDlg> windowAnswering(const QString& ifo, const QString& image,
                                            const QString& label = {}) {
    auto dlg = std::make_unique<CNavtabDlg>();
    dlg->show();
    dlg->openFiles({ifo});
    onNext<CDiscImageDlg>([=](CDiscImageDlg* d) {
        d->imageEdit()->setText(image);
        if (!label.isEmpty()) d->labelEdit()->setText(label);
        d->accept();
    });
    return dlg;
}

// Clicks "Disc Image" and keeps the text of the message box it leads to.
QString messageOfDiscImage(CNavtabDlg& dlg) {
    QString text;
    answerNextMessage(QMessageBox::Ok, &text);
    dlg.button("Disc Image")->click();
    return QTest::qWaitFor([] { return pendingAnswers() == 0; }, 5000) ? text : "(none)";
}

// The action of the "Tools" menu: 0 "Create Image", 1 "Test1".
QAction* toolsAction(CNavtabDlg& dlg, int n) {
    return dlg.menuBar()->actions().first()->menu()->actions().at(n);
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
        QStringList filters;
        onNext<QFileDialog>([&](QFileDialog* f) {
            filters = f->nameFilters();
            f->selectFile(dir.filePath("chosen"));
            static_cast<QDialog*>(f)->accept();
        });
        d.browseButton()->click();
        QCOMPARE(filters, (QStringList{"Img Files (*.img)", "All Files (*)"}));
        QCOMPARE(d.imageEdit()->text(), dir.filePath("chosen.img"));  // with its suffix
    }
    void refusalsBeforeAnyBuild() {
        QTemporaryDir dir;
        CNavtabDlg dlg;
        dlg.show();
        dlg.openFiles({copyDisc(dir, "pal169", "DVDFILES") + "/VIDEO_TS.IFO"});
        QCOMPARE(messageOfDiscImage(dlg),
                 QStringLiteral("Your files must be located in a folder named: 'VIDEO_TS'."));
        QVERIFY(CBuilderWindow::find() == nullptr);
        // The image program found was written back all the same.
        QCOMPARE(setting("CMDPATH"), foundBuilder());
        navtabSettings()->setValue("SETTINGS/CMDPATH", "/nonexistent/genisoimage");
        auto missing = windowAnswering(sample("pal169", "VIDEO_TS.IFO"), "/tmp/never.img");
        QCOMPARE(messageOfDiscImage(*missing),
                 QStringLiteral("ERROR: Can't locate /nonexistent/genisoimage"));
        QVERIFY(CBuilderWindow::find() == nullptr);
    }
    void theCommandFillsAndStartsTheBuilder() {
        if (foundBuilder().isEmpty()) QSKIP("genisoimage is not installed");
        QTemporaryDir dir;
        const QString target = dir.filePath("ntsc 43.img");
        auto dlg = windowAnswering(copyDisc(dir, "ntsc43", "video_ts") + "/VTS_01_0.IFO", target,
                                   "NTSC_43");
        QAction* create = toolsAction(*dlg, 0);  // the button's command
        QCOMPARE(create->text(), QStringLiteral("Create Image"));
        create->trigger();
        QCOMPARE(pendingAnswers(), 0);
        CBuilderWindow* builder = CBuilderWindow::find();
        QVERIFY(builder != nullptr);
        QCOMPARE(builder->sourceEdit()->text(), dir.filePath("ntsc43"));
        QCOMPARE(builder->imageEdit()->text(), target);
        QCOMPARE(builder->labelEdit()->text(), QStringLiteral("NTSC_43"));
        QTRY_VERIFY_WITH_TIMEOUT(!builder->lastResult().isEmpty(), 30000);
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
        QString refusal;
        answerNextMessage(QMessageBox::Ok, &refusal);
        QCOMPARE(fillBuilderWindow({"/a", "/b.img", "L"}, false),
                 static_cast<QAbstractButton*>(builder->createButton()));
        QTRY_COMPARE(pendingAnswers(), 0);
        QCOMPARE(refusal,
                 QStringLiteral("The source folder \"/a\" holds no folder named VIDEO_TS."));
        builder->close();
        QApplication::processEvents();
        QVERIFY(fillBuilderWindow({}, false) == nullptr);
    }
    // What the run keeps of the old image is tests/unit's; here the window shows the failure.
    void aFailingImageProgramShowsItsOutput() {
        QTemporaryDir dir;
        const QString target = dir.filePath("mixed.img");
        const QString script = dir.filePath("fake builder");
        QFile f(script);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            "#!/bin/sh\necho ' 12.00% done'\necho 'genisoimage: No space left on device'\n"
            "exit 1\n");
        f.close();
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        navtabSettings()->setValue("SETTINGS/CMDPATH", script);
        auto dlg = windowAnswering(copyDisc(dir, "mixed0", "VIDEO_TS") + "/VIDEO_TS.IFO", target);
        QString failure;
        answerNextMessage(QMessageBox::Ok, &failure);
        toolsAction(*dlg, 1)->trigger();  // "Test1" takes the program the settings hold
        CBuilderWindow* builder = CBuilderWindow::find();
        QVERIFY(builder != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(!builder->lastResult().isEmpty(), 30000);
        QTRY_COMPARE(pendingAnswers(), 0);
        QVERIFY(!builder->lastRunSucceeded());
        QVERIFY2(failure.contains("No space left on device"), qPrintable(failure));
        QVERIFY(builder->log()->toPlainText().contains("No space left on device"));
        QVERIFY(!QFile::exists(target));
    }
};

QTEST_MAIN(DiscImageTest)
#include "test_disc_image.moc"
