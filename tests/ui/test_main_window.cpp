// The main window on the sample disc: layout, opening files, the tree and its list, reserved
// rows, the clipboard copy and the About box.
#include <QAction>
#include <QClipboard>
#include <QMenuBar>

#include "ui/about_dlg.h"
#include "ui_test_support.h"

class MainWindowTest : public QObject {
    Q_OBJECT
    QString vmg = sample("ntsc43", "VIDEO_TS.IFO");
    QString vts = sample("ntsc43", "VTS_01_0.IFO");

  private slots:
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
        QCOMPARE(messageAfter([&] { dlg.openFiles({NAVTAB_TEST_DATA}); }),
                 QStringLiteral("error initializing ifo!"));
        QCOMPARE(dlg.tree()->topLevelItemCount(), 1);
    }
    // Which rows each node has is tests/unit's (against the CLI and lsdvd); here a click on a
    // node shows them, a program chain table grows its PGC nodes, "Show reserved values" rebuilds
    // the list, and Copy2Clipboard copies what the CLI prints for the node.
    void nodesShowTheirRowsAndCopyWhatTheCliPrints() {
        OpenWindow dlg({vmg, vts});
        QCOMPARE(dlg.tree()->topLevelItemCount(), 2);
        QCOMPARE(dlg.tree()->currentItem(), dlg.tree()->topLevelItem(1));
        QCOMPARE(cell(dlg, 0, FieldListModel::Description), QStringLiteral("VTS overview:"));
        select(dlg, findItem(dlg, "VTSM_PGCI_UT"));
        QCOMPARE(findItem(dlg, "VTSM_PGCI_UT")->childCount(), 4);
        select(dlg, findItem(dlg, "LU_2 (Deutsch)"));
        QVERIFY(findRow(dlg, "PGC (program chain):") >= 0);
        select(dlg, findItem(dlg, "VTS_PGCITI"));
        for (const auto& [node, reserved] : {std::pair{"VTS_PGC_1", false}, {"VTSI_MAT", true}}) {
            select(dlg, findItem(dlg, node));
            QStringList args = {"show", vts, node};
            if (reserved) {
                QTest::mouseClick(dlg.showReservedBox(), Qt::LeftButton, {}, QPoint(5, 11));
                QVERIFY(findRow(dlg, "Reserved") >= 0);
                args << "--reserved";
            }
            QApplication::clipboard()->clear();
            QTest::mouseClick(dlg.button("Copy2Clipboard"), Qt::LeftButton);
            const QString expected = QString::fromUtf8(runCli(args).replace("\n", "\r\n"));
            QVERIFY(!expected.isEmpty());
            QCOMPARE(QApplication::clipboard()->text(), expected);
            QCOMPARE(dlg.model()->rowCount(), static_cast<int>(expected.count("\r\n")));
        }
    }
    void aboutEmptyCopyAndQuitWithoutChanges() {
        OpenWindow dlg;
        int shown = 0;
        const auto accept = [&](CNavtabAboutDlg* about) {
            ++shown;
            about->accept();
        };
        onNext<CNavtabAboutDlg>(accept);
        QTest::mouseClick(dlg.button("About"), Qt::LeftButton);
        onNext<CNavtabAboutDlg>(accept);
        dlg.menuBar()->actions()[1]->menu()->actions().first()->trigger();
        QCOMPARE(shown, 2);
        // Copying with nothing shown puts an empty text; Quit without changes asks nothing.
        QApplication::clipboard()->setText(QStringLiteral("old"));
        dlg.OnCopyToClipboard();
        QCOMPARE(QApplication::clipboard()->text(), QString());
        dlg.openFiles({vts});
        QTest::mouseClick(dlg.button("Quit"), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(pendingAnswers(), 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
