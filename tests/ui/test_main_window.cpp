// The main window on the sample disc: layout, opening files, the tree and its list, reserved
// rows, the clipboard copy, the About box; on copies of the disc, editing fields as a user does
// (double-clicks, the value, video attribute and user-operation dialogs, Save with its backup
// question, Quit) and the repair buttons.
#include <QAction>
#include <QClipboard>
#include <QMenuBar>
#include <QRadioButton>

#include "ui/about_dlg.h"
#include "ui/enter_value_dlg.h"
#include "ui/template_dialog.h"
#include "ui/uop_dlg.h"
#include "ui/video_attr_dlg.h"
#include "ui_test_support.h"

namespace {

// A window on a copy of a title set, showing VTSI_MAT, whose fields the test edits.
struct Editing {
    Editing() { select(dlg, findItem(dlg, "VTSI_MAT")); }
    QString column(const QString& description, int c) {
        return cell(dlg, findRow(dlg, description), c);
    }
    // Double-clicks the row and answers the dialog of type T it opens with `act`.
    template <typename T>
    void edit(const QString& description, std::function<void(T*)> act) {
        onNext<T>(act);
        doubleClickRow(dlg, findRow(dlg, description));
    }
    // Types `text` into the "Enter new Value" dialog of the row (replacing the selected old value)
    // and confirms it; returns the value the dialog opened with.
    QString type(const QString& description, const QString& text) {
        QString shown;
        edit<CEnterValueDlg>(description, [&](CEnterValueDlg* d) {
            shown = d->value();
            QTest::keyClicks(d->edit(), text);
            QTest::keyClick(d->edit(), Qt::Key_Return);
        });
        return shown;
    }
    bool modified() { return dlg.session().workspace().modifiedCount() > 0; }
    ScratchCopies scratch;
    QString vts = scratch.copy("ntsc43", "VTS_01_0.IFO");
    OpenWindow dlg{{vts}};
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
    QString vmg = sample("ntsc43", "VIDEO_TS.IFO");
    QString vts = sample("ntsc43", "VTS_01_0.IFO");
    QStringList answeredClick(QPushButton* button, QList<QMessageBox::StandardButton> answers) {
        Player player({}, answers);
        button->click();
        return player.messages;
    }

  private slots:
    void cleanup() { QCOMPARE(pendingAnswers(), 0); }
    void layoutFollowsTheTableAboveSixHundredPixels() {
        OpenWindow dlg;
        for (const char* later : {"VOB Extras", "Menu Extras"})
            QVERIFY2(!dlg.button(later)->isEnabled(), later);
        QVERIFY(dlg.button("Disc Image")->isEnabled() && dlg.button("Create IFOs")->isEnabled());
        QVERIFY(dlg.button("Auto-Calc Sector's")->isHidden());
        QVERIFY(QFontInfo(dlg.list()->font()).fixedPitch());
        dlg.resize(1000, 700);
        QApplication::processEvents();
        const int w = dlg.client()->width(), h = dlg.client()->height();
        QCOMPARE(dlg.tree()->geometry(), QRect(10, 10, w - 20, 188));
        QCOMPARE(dlg.list()->geometry(), QRect(10, 200, w - 20, h - 265));
        QCOMPARE(dlg.button("Quit")->geometry(), QRect(w - 80, h - 35, 72, 23));
        // Narrower than 600 pixels: everything stays where it was.
        dlg.resize(500, 400);
        QApplication::processEvents();
        QVERIFY(dlg.client()->width() <= CNavtabDlg::kMinLayoutWidth);
        QCOMPARE(dlg.button("Quit")->geometry(), QRect(w - 80, h - 35, 72, 23));
        QCOMPARE(dlg.tree()->width(), w - 20);
    }
    void openChoosesAFileAndShowsItsOverviewOrTheFailure() {
        OpenWindow dlg;
        QString filters;
        acceptNextFile(vmg, nullptr, &filters);
        QTest::mouseClick(dlg.button("Open"), Qt::LeftButton);
        QCOMPARE(filters, QStringLiteral("IFO Files (*.ifo);;BUP Files (*.bup);;All Files (*)"));
        QCOMPARE(dlg.tree()->topLevelItemCount(), 1);
        QTreeWidgetItem* root = dlg.tree()->topLevelItem(0);
        QCOMPARE(root->text(0), vmg);  // the path keeps its case
        QCOMPARE(root->childCount(), 8);
        QVERIFY(root->isExpanded());
        QCOMPARE(dlg.tree()->currentItem(), root);
        QCOMPARE(cell(dlg, 0, FieldListModel::Description), QStringLiteral("VMG Overview:"));
        // Cancelling the dialog opens nothing; files that cannot be read are named.
        onNext<QFileDialog>([](QFileDialog* d) { d->reject(); });
        QTest::mouseClick(dlg.button("Open"), Qt::LeftButton);
        const QString missing = QStringLiteral("/nonexistent/VIDEO_TS.IFO");
        QCOMPARE(messageAfter([&] { dlg.openFiles({missing}); }),
                 "Error opening " + missing + ".\nSeems, it doesn't exist!");
        QCOMPARE(dlg.tree()->topLevelItemCount(), 1);
    }
    // Which rows each node has is tests/unit's (against the CLI and lsdvd); here a click on a
    // node shows them, a program chain table grows its PGC nodes, "Show reserved values" rebuilds
    // the list, and Copy2Clipboard copies what the CLI prints.
    void nodesShowTheirRowsAndCopyWhatTheCliPrints() {
        OpenWindow dlg({vmg, vts});
        QCOMPARE(dlg.tree()->topLevelItemCount(), 2);
        QCOMPARE(dlg.tree()->currentItem(), dlg.tree()->topLevelItem(1));
        QCOMPARE(cell(dlg, 0, FieldListModel::Description), QStringLiteral("VTS overview:"));
        select(dlg, findItem(dlg, "VTSM_PGCI_UT"));
        QCOMPARE(findItem(dlg, "VTSM_PGCI_UT")->childCount(), 4);
        select(dlg, findItem(dlg, "LU_2 (Deutsch)"));
        QVERIFY(findRow(dlg, "PGC (program chain):") >= 0);
        select(dlg, findItem(dlg, "VTSI_MAT"));
        QTest::mouseClick(dlg.showReservedBox(), Qt::LeftButton, {}, QPoint(5, 11));
        QVERIFY(findRow(dlg, "Reserved") >= 0);
        QApplication::clipboard()->clear();
        QTest::mouseClick(dlg.button("Copy2Clipboard"), Qt::LeftButton);
        const QString expected = QString::fromUtf8(
            runCli({"show", vts, "VTSI_MAT", "--reserved"}).replace("\n", "\r\n"));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(QApplication::clipboard()->text(), expected);
        QCOMPARE(dlg.model()->rowCount(), static_cast<int>(expected.count("\r\n")));
    }
    void aboutEmptyCopyAndQuitWithoutChanges() {
        OpenWindow dlg;
        const auto accept = [](CNavtabAboutDlg* about) { about->accept(); };
        onNext<CNavtabAboutDlg>(accept);
        QTest::mouseClick(dlg.button("About"), Qt::LeftButton);
        onNext<CNavtabAboutDlg>(accept);
        dlg.menuBar()->actions()[1]->menu()->actions().first()->trigger();
        QCOMPARE(pendingAnswers(), 0);
        // Copying with nothing shown puts an empty text; Quit without changes asks nothing.
        QApplication::clipboard()->setText(QStringLiteral("old"));
        dlg.OnCopyToClipboard();
        QCOMPARE(QApplication::clipboard()->text(), QString());
        dlg.openFiles({vts});
        QTest::mouseClick(dlg.button("Quit"), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
    }
    // The buttons hand the shown file and the selected overview row to the session (what they
    // change and refuse is tests/unit's).
    void removePupsAndDeletePlayback() {
        ScratchCopies copies;
        const QString path = copies.copy("ntsc43", "VTS_01_0.IFO");
        // Give the first title PGC a mask in the file.
        patchFile(path, [](QByteArray& bytes) {
            const qsizetype pgcit = be32At(bytes, 0xCC) * 2048;
            qToBigEndian<quint32>(0x100, bytes.data() + pgcit + be32At(bytes, pgcit + 12) + 8);
        });
        const QByteArray bytes = readFile(path);
        OpenWindow dlg({path});
        QCOMPARE(answeredClick(dlg.button("Remove P-UPs"), {QMessageBox::Ok}),
                 QStringList{"Removed P-UOP in Title-PGC <1>\n"});
        QCOMPARE(dlg.session().workspace().modifiedCount(), 1);
        QCOMPARE(readFile(path), bytes);  // the file waits for Save
        dlg.openFiles({copies.copy("ntsc43", "VIDEO_TS.IFO")});
        int menu = -1;
        for (int r = 0; r < dlg.model()->rowCount(); ++r)
            if (cell(dlg, r, 1).trimmed().startsWith("Menu 1:")) menu = r;
        QVERIFY(menu >= 0);
        dlg.list()->setCurrentIndex(dlg.model()->index(menu, 0));
        dlg.button("Delete Playback")->click();
        QVERIFY2(cell(dlg, menu, 1).contains("(Programs: 0) (Cells: 0)"),
                 qPrintable(cell(dlg, menu, 1)));
    }
    void getVtsSectorsAsksAndCorrectsOneOrAllFiles() {
        ScratchCopies copies("ntsc43");
        OpenWindow dlg({copies.path("VTS_01_0.IFO")});
        QPushButton* button = dlg.button("Get VTS sectors");
        // The title set agrees with its files already.
        QCOMPARE(answeredClick(button, {QMessageBox::No, QMessageBox::Ok}),
                 (QStringList{"Do you want to process ALL IFO files?\nATTENTION: This will "
                              "automaticaly re-save IFO files.",
                              "No sector's found that are different!"}));
        QCOMPARE(dlg.session().workspace().modifiedCount(), 0);
        // All files: the video manager's addresses are corrected and saved with its backup.
        const QStringList texts =
            answeredClick(button, {QMessageBox::Yes, QMessageBox::Ok, QMessageBox::Ok});
        QCOMPARE(texts.size(), 3);
        QVERIFY(texts[1].startsWith("Corrected sector addresses in table [VMGI_MAT]:\n\n"));
        QVERIFY(texts[2].startsWith("Corrected sector addresses in table [VMG_PTT_SRPT]:\n\n"));
        QCOMPARE(dlg.session().workspace().modifiedCount(), 0);
        QCOMPARE(readFile(copies.path("VIDEO_TS.BUP")), readFile(copies.path("VIDEO_TS.IFO")));
        QCOMPARE(dlg.tree()->topLevelItemCount(), 3);
        QVERIFY(dlg.session().currentDocument()->path.ends_with("VTS_02_0.IFO"));
    }
    void createTemplateButtonWritesTheTemplate() {
        ScratchCopies copies;
        copies.copy("ntsc43", "VTS_02_1.VOB");
        OpenWindow dlg({copies.copy("ntsc43", "VTS_02_0.IFO")});
        const QString out = copies.path("frames.txt");
        QString proposed;
        acceptNextFile(out, &proposed);
        onNext<CTemplateDlg>([](CTemplateDlg* d) {
            labelled<QCheckBox>(d, "P frames")->setChecked(false);
            d->accept();
        });
        QTest::mouseClick(dlg.button("Create Tmpg T."), Qt::LeftButton);
        QVERIFY(proposed.endsWith("TmpgTemplate.txt"));
        QCOMPARE(readFile(out), QByteArray("0,I\n15,I\n30,I\n45,I\n60,I\n75,I\n"));
        QVERIFY(dlg.isEnabled());  // the progress window gave the window back
    }
    void cancelAndTextsChangeNothing() {
        Editing e;
        const QString name = "Last Sector of VTS";
        e.edit<CEnterValueDlg>(name, [](CEnterValueDlg* d) {
            QCOMPARE(d->edit()->selectedText(), QStringLiteral("500"));
            QTest::keyClicks(d->edit(), "77");
            labelled(d, "Abbrechen")->click();
        });
        QCOMPARE(e.column(name, FieldListModel::Dec), QStringLiteral("500"));
        QCOMPARE(messageAfter([&] { doubleClickRow(e.dlg, findRow(e.dlg, "VTS Identifier")); }),
                 QStringLiteral("Item is not editable."));
        QVERIFY(!e.modified());
    }
    // Every editor's result reaches the list, and Save writes the file and its backup; how typed
    // text becomes the bits of each width is tested in tests/unit.
    void savesEveryEditToDisk() {
        Editing e;
        e.type("Number of audio streams in VTSM_VOBS", "3");
        QCOMPARE(e.type("Last Sector of VTS", "70000"), QStringLiteral("500"));
        QCOMPARE(e.column("Last Sector of VTS", FieldListModel::Dec), QStringLiteral("70000"));
        e.edit<CVideoAttrDlg>("Video attributes of VTSTT_VOBS", [](CVideoAttrDlg* d) {
            QVERIFY(!d->filmButton()->isEnabled());  // NTSC
            labelled<QRadioButton>(d, "16:9")->click();
            labelled(d, "OK")->click();
        });
        QCOMPARE(e.column("Video attributes of VTSTT_VOBS", FieldListModel::Hex),
                 QStringLiteral("[4f18]"));
        select(e.dlg, findItem(e.dlg, "VTS_PGCITI"));
        select(e.dlg, findItem(e.dlg, "VTS_PGC_1"));
        e.type("Audio stream 3 status", "258");
        e.edit<CUopDlg>("Prohibited user operations", [](CUopDlg* d) {
            labelled(d, "Check all")->click();
            labelled(d, "OK")->click();
        });
        QCOMPARE(e.column("Prohibited user operations", FieldListModel::Dec),
                 QStringLiteral("33554431"));
        QString proposed;
        acceptNextFile({}, &proposed);
        QCOMPARE(messageAfter([&] { QTest::mouseClick(e.dlg.button("Save"), Qt::LeftButton); },
                              QMessageBox::Yes),
                 QStringLiteral("Do you want to save it as .BUP, aswell?\nAttention: "
                                "Existing file would be overwritten."));
        QCOMPARE(proposed, e.vts);
        QVERIFY(!e.modified());
        // What Save writes of each field is the session's (tests/unit); one field stands for all.
        const QByteArray file = readFile(e.vts);
        QCOMPARE(be32At(file, 12), 70000u);
        QCOMPARE(readFile(e.scratch.path("VTS_01_0.BUP")), file);
    }
    void quitAsksWhileAFileIsModified() {
        Editing e;
        const QByteArray before = readFile(e.vts);
        e.type("Number of audio streams in VTSM_VOBS", "9");
        const auto quit = [&] { QTest::mouseClick(e.dlg.button("Quit"), Qt::LeftButton); };
        const QString question = messageAfter(quit, QMessageBox::No);
        QCOMPARE(question, QStringLiteral("Some files have changed?\nReally exit without saving?"));
        QVERIFY(e.dlg.isVisible());
        QCOMPARE(e.dlg.tree()->topLevelItemCount(), 1);
        QCOMPARE(messageAfter([&] { QTest::keyClick(&e.dlg, Qt::Key_Escape); }, QMessageBox::No),
                 question);
        QCOMPARE(messageAfter([&] { e.dlg.close(); }, QMessageBox::No), question);
        QVERIFY(e.dlg.isVisible());
        messageAfter(quit, QMessageBox::Yes);
        QVERIFY(!e.dlg.isVisible());
        QCOMPARE(readFile(e.vts), before);  // nothing was written
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
