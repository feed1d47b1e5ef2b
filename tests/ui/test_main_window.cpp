// The main window on the sample disc: layout, opening files, every kind of tree node, reserved
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
        CNavtabDlg dlg;
        for (const char* later : {"VOB Extras", "Menu Extras"})
            QVERIFY2(!dlg.button(later)->isEnabled(), later);
        QVERIFY(dlg.button("Disc Image")->isEnabled());
        QVERIFY(dlg.button("Create IFOs")->isEnabled());
        QVERIFY(dlg.button("Auto-Calc Sector's")->isHidden());
        QVERIFY(QFontInfo(dlg.list()->font()).fixedPitch());
        dlg.show();
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
        CNavtabDlg dlg;
        dlg.show();
        QString filters;
        onNext<QFileDialog>([&](QFileDialog* d) {
            filters = d->nameFilters().join(";;");
            d->selectFile(vmg);
            static_cast<QDialog*>(d)->accept();  // as the Open button does
        });
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
        for (const auto& [file, expected] :
             {std::pair{missing, "Error opening " + missing + ".\nSeems, it doesn't exist!"},
              {QStringLiteral(NAVTAB_TEST_DATA), QStringLiteral("error initializing ifo!")}}) {
            QString text;
            answerNextMessage(QMessageBox::Ok, &text);
            dlg.openFiles({file});
            QCOMPARE(text, expected);
        }
        QCOMPARE(dlg.tree()->topLevelItemCount(), 1);
        QCOMPARE(pendingAnswers(), 0);
    }
    void everyKindOfNodeShowsItsRows() {
        CNavtabDlg dlg;
        dlg.show();
        dlg.openFiles({vmg, vts});
        QCOMPARE(dlg.tree()->topLevelItemCount(), 2);
        QCOMPARE(dlg.tree()->currentItem(), dlg.tree()->topLevelItem(1));
        QCOMPARE(cell(dlg, 0, FieldListModel::Description), QStringLiteral("VTS overview:"));
        for (int f = 0; f < 2; ++f) {
            QTreeWidgetItem* root = dlg.tree()->topLevelItem(f);
            select(dlg, root);
            QVERIFY(dlg.model()->rowCount() > 0);
            for (int t = 0; t < root->childCount(); ++t) {
                select(dlg, root->child(t));
                QVERIFY2(dlg.model()->rowCount() > 0, qPrintable(root->child(t)->text(0)));
            }
        }
        // The tables that lead to program chains got their PGC nodes (the rows of an absent
        // table, a PGC and reserved values are held against the CLI below).
        QTreeWidgetItem* pgcit = findItem(dlg, "VTS_PGCITI");
        QCOMPARE(pgcit->childCount(), 2);
        select(dlg, findItem(dlg, "LU_2 (Deutsch)"));
        QVERIFY(findRow(dlg, "PGC (program chain):") >= 0);
        // Show reserved values rebuilds the list shown.
        select(dlg, findItem(dlg, "VTSI_MAT"));
        QTest::mouseClick(dlg.showReservedBox(), Qt::LeftButton, {}, QPoint(5, 11));
        QVERIFY(findRow(dlg, "Reserved") >= 0);
    }
    void copyToClipboardEqualsTheCli_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("node");
        QTest::addColumn<bool>("reserved");
        QTest::newRow("VMG overview") << vmg << QString() << false;
        QTest::newRow("VTSI_MAT reserved") << vts << "VTSI_MAT" << true;
        QTest::newRow("First Play PGC") << vmg << "First Play PGC" << false;
        QTest::newRow("VTS_PGC_1") << vts << "VTS_PGC_1" << false;
        QTest::newRow("VMG_TXTDT_MG absent") << vmg << "VMG_TXTDT_MG" << false;
    }
    void copyToClipboardEqualsTheCli() {
        QFETCH(QString, file);
        QFETCH(QString, node);
        QFETCH(bool, reserved);
        CNavtabDlg dlg;
        dlg.show();
        dlg.openFiles({file});
        if (reserved) dlg.showReservedBox()->click();
        QStringList args = {"show", file};
        if (!node.isEmpty()) {
            // Program chains appear below their table once it has been shown.
            if (node.startsWith("VTS_PGC")) select(dlg, findItem(dlg, "VTS_PGCITI"));
            if (node.startsWith("First")) select(dlg, findItem(dlg, "VMGM_MAT"));
            select(dlg, findItem(dlg, node));
            args << node;
        }
        QApplication::clipboard()->clear();
        QTest::mouseClick(dlg.button("Copy2Clipboard"), Qt::LeftButton);
        if (reserved) args << "--reserved";
        const QString expected = QString::fromUtf8(runCli(args).replace("\n", "\r\n"));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(QApplication::clipboard()->text(), expected);
        // The list still shows the node.
        QCOMPARE(dlg.model()->rowCount(), static_cast<int>(expected.count("\r\n")));
    }
    void aboutEmptyCopyAndQuitWithoutChanges() {
        CNavtabDlg dlg;
        dlg.show();
        int shown = 0;
        auto accept = [&](CNavtabAboutDlg* about) {
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
