// The disc image command in the window: its dialog (the one disabled source entry, the settings
// it reads and writes, the browse filter, the refusals), the builder window filled and started by
// the command, and a failed build with a stand-in image program.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include "image/image_programs.h"
#include "ui/builder_window.h"
#include "ui/disc_image_command.h"
#include "ui/disc_image_dlg.h"
#include "ui/navtab_dlg.h"
#include "ui/settings.h"
#include "ui_test_support.h"

using namespace navtab;
using namespace navtab::ui;
using namespace navtab::uitest;

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

// Answers the command's dialog with an image file (and a label, when given).
void answerImageDialog(const QString& image, const QString& label = {}) {
    onNext<CDiscImageDlg>([=](CDiscImageDlg* d) {
        d->imageEdit()->setText(image);
        if (!label.isEmpty()) d->labelEdit()->setText(label);
        d->accept();
    });
}

// Clicks "Disc Image" and keeps the text of the message box it leads to.
QString messageOfDiscImage(CNavtabDlg& dlg) {
    QString text;
    answerNextMessage(QMessageBox::Ok, &text);
    dlg.button("Disc Image")->click();
    if (!QTest::qWaitFor([] { return pendingAnswers() == 0; }, 5000))
        return QStringLiteral("(none)");
    return text;
}

void closeBuilder() {
    if (CBuilderWindow* w = CBuilderWindow::find()) {
        w->close();
        QApplication::processEvents();
    }
}

}  // namespace

class DiscImageTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        navtabSettings()->clear();
    }
    void cleanup() {
        closeBuilder();
        navtabSettings()->clear();
    }

    void theDialogOffersOnlyTheFolderAndRemembersTheChoices() {
        navtabSettings()->setValue("SETTINGS/IMGPATH", "/tmp/earlier.img");
        CDiscImageDlg d(nullptr, "/data/Film", "no drive");
        QCOMPARE(d.windowTitle(), QStringLiteral("Dialog"));
        QCOMPARE(d.driveList()->count(), 1);
        QCOMPARE(d.driveList()->currentText(), QStringLiteral("/data/Film"));
        QVERIFY(!d.driveList()->isEnabled());
        QVERIFY(!d.driveLabel()->isEnabled());
        QCOMPARE(d.driveLabel()->text(), QStringLiteral("Source Drive:"));
        QCOMPARE(d.imageEdit()->text(), QStringLiteral("/tmp/earlier.img"));
        QCOMPARE(d.labelEdit()->text(), QStringLiteral("DVDVOLUME"));
        QVERIFY(!d.burnBox()->isEnabled());
        QCOMPARE(d.burnBox()->toolTip(), QStringLiteral("no drive"));
        bool explained = false;
        for (QLabel* l : d.findChildren<QLabel*>())
            explained |=
                l->text().startsWith("This will create a UDF/ISO Image file with your DVD files.");
        QVERIFY(explained);

        d.imageEdit()->setText("/tmp/new.img");
        d.labelEdit()->setText("MY_FILM");
        d.show();
        QPushButton* create = nullptr;
        for (QPushButton* b : d.findChildren<QPushButton*>())
            if (b->text() == "Create Image") create = b;
        QVERIFY(create != nullptr);
        create->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(setting("IMGPATH"), QStringLiteral("/tmp/new.img"));
        QCOMPARE(setting("DRIVE"), QStringLiteral("/data/Film"));
        QCOMPARE(d.volumeLabel(), QStringLiteral("MY_FILM"));
    }

    void browseOffersImageFilesAndTakesTheChoice() {
        QTemporaryDir dir;
        CDiscImageDlg d(nullptr, "/data/Film", {});
        d.imageEdit()->setText(dir.filePath("first.img"));
        d.show();
        QStringList filters;
        QString suffix;
        onNext<QFileDialog>([&](QFileDialog* f) {
            filters = f->nameFilters();
            suffix = f->defaultSuffix();
            QCOMPARE(f->acceptMode(), QFileDialog::AcceptSave);
            f->selectFile(dir.filePath("chosen"));
            static_cast<QDialog*>(f)->accept();
        });
        d.browseButton()->click();
        QCOMPARE(pendingAnswers(), 0);
        QCOMPARE(filters, (QStringList{"Img Files (*.img)", "All Files (*)"}));
        QCOMPARE(suffix, QStringLiteral("img"));
        QCOMPARE(d.imageEdit()->text(), dir.filePath("chosen.img"));
    }

    void aFolderNotNamedVideoTsIsRefused() {
        QTemporaryDir dir;
        const QString folder = copyDisc(dir, "pal169", "DVDFILES");
        CNavtabDlg dlg;
        dlg.show();
        dlg.openFiles({folder + "/VIDEO_TS.IFO"});
        QCOMPARE(messageOfDiscImage(dlg),
                 QStringLiteral("Your files must be located in a folder named: 'VIDEO_TS'."));
        QVERIFY(CBuilderWindow::find() == nullptr);
        // The image program found was written back all the same.
        QCOMPARE(setting("CMDPATH"),
                 QString::fromStdString(image::discoverImageBuilder({}, image::environmentPath())));
    }

    void theCommandFillsAndStartsTheBuilder() {
        if (image::discoverImageBuilder({}, image::environmentPath()).empty())
            QSKIP("genisoimage is not installed");
        QTemporaryDir dir;
        const QString folder = copyDisc(dir, "ntsc43", "video_ts");
        const QString target = dir.filePath("ntsc 43.img");
        CNavtabDlg dlg;
        dlg.show();
        dlg.openFiles({folder + "/VTS_01_0.IFO"});
        answerImageDialog(target, "NTSC_43");
        // "Create Image" of the "Tools" menu is the button's command.
        QAction* create = dlg.menuBar()->actions().first()->menu()->actions().first();
        QCOMPARE(create->text(), QStringLiteral("Create Image"));
        create->trigger();
        QCOMPARE(pendingAnswers(), 0);
        CBuilderWindow* builder = CBuilderWindow::find();
        QVERIFY(builder != nullptr);
        QCOMPARE(builder->windowTitle(), QStringLiteral("DVD Image/DVD-R/DLT Builder, 1.61"));
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

    void aFailingImageProgramKeepsTheOldImageAndShowsItsOutput() {
        QTemporaryDir dir;
        const QString folder = copyDisc(dir, "mixed0", "VIDEO_TS");
        const QString target = dir.filePath("mixed.img");
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old image");
        old.close();
        const QString script = dir.filePath("fake builder");
        QFile s(script);
        QVERIFY(s.open(QIODevice::WriteOnly));
        s.write(
            "#!/bin/sh\necho ' 12.00% done'\necho 'genisoimage: No space left on device'\n"
            "exit 1\n");
        s.close();
        s.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        navtabSettings()->setValue("SETTINGS/CMDPATH", script);

        CNavtabDlg dlg;
        dlg.show();
        dlg.openFiles({folder + "/VIDEO_TS.IFO"});
        answerImageDialog(target);
        QString failure;
        answerNextMessage(QMessageBox::Ok, &failure);
        // "Test1" takes the program the settings hold.
        dlg.menuBar()->actions().first()->menu()->actions().at(1)->trigger();
        CBuilderWindow* builder = CBuilderWindow::find();
        QVERIFY(builder != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(!builder->lastResult().isEmpty(), 30000);
        QTRY_COMPARE(pendingAnswers(), 0);
        QVERIFY(!builder->lastRunSucceeded());
        QVERIFY2(failure.contains("No space left on device"), qPrintable(failure));
        QVERIFY(builder->log()->toPlainText().contains("No space left on device"));
        QCOMPARE(readFile(target), QByteArray("old image"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void aMissingImageProgramIsNamed() {
        navtabSettings()->setValue("SETTINGS/CMDPATH", "/nonexistent/genisoimage");
        CNavtabDlg dlg;
        dlg.show();
        dlg.openFiles({sample("pal169", "VIDEO_TS.IFO")});
        answerImageDialog("/tmp/never.img");
        QCOMPARE(messageOfDiscImage(dlg),
                 QStringLiteral("ERROR: Can't locate /nonexistent/genisoimage"));
        QVERIFY(CBuilderWindow::find() == nullptr);
    }
};

QTEST_MAIN(DiscImageTest)
#include "test_disc_image.moc"
