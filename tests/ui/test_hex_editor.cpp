// The hex editor: its control driven by keys, mouse, context menu and clipboard, its window, and
// HexEdit on the tables of the sample disc with the result saved to disk.
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QSlider>
#include <numeric>

#include "ui/hex_edit_ctrl.h"
#include "ui/hex_edit_dlg.h"
#include "ui_test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes counting(int n) {
    Bytes b(static_cast<std::size_t>(n));
    std::iota(b.begin(), b.end(), 0);
    return b;
}

// The centre of character column `column` of visible row `row`.
QPoint at(const HexEditCtrl& c, int column, int row) {
    return {column * c.charWidth() + c.charWidth() / 2, row * c.lineHeight() + c.lineHeight() / 2};
}

QStringList enabledItems(QMenu* menu) {
    QStringList items;
    for (QAction* a : menu->actions())
        if (!a->isSeparator() && a->isEnabled()) items << a->text();
    return items;
}

}  // namespace

class HexEditorTest : public QObject {
    Q_OBJECT

  private slots:
    void keysTypeNibblesCharactersAndEdit() {
        HexEditCtrl c;
        c.resize(600, 300);
        c.show();
        c.SetData(counting(16));
        QTest::keyClicks(&c, "A");  // an upper-case letter is no nibble
        QCOMPARE(c.data()[0], 0x00);
        QTest::keyClicks(&c, "a7");
        QCOMPARE(c.data()[0], 0xA7);
        QCOMPARE(c.buffer().caret(), 1);
        QTest::keyClick(&c, Qt::Key_Tab);  // to the text column
        QCOMPARE(c.buffer().mode(), HexCaretMode::Text);
        QTest::keyClicks(&c, "Z!");
        QCOMPARE(c.data()[1], 'Z');
        QCOMPARE(c.data()[2], '!');
        QTest::keyClick(&c, Qt::Key_Tab);
        QCOMPARE(c.buffer().mode(), HexCaretMode::HexHigh);
        QTest::keyClick(&c, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(c.buffer().caret(), 15);
        QTest::keyClick(&c, Qt::Key_Home);
        QCOMPARE(c.buffer().caret(), 8);
        QTest::keyClick(&c, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(&c, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&c, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&c, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(c.buffer().selectionStart(), 0);
        QCOMPARE(c.buffer().selectionEnd(), 9);
        QTest::keyClick(&c, Qt::Key_Up);
        QVERIFY(!c.buffer().hasSelection());
        QCOMPARE(c.data().size(), 16u);

        // Insert, Delete and Backspace on the caret byte or the selection.
        c.SetData(counting(8));
        QTest::keyClick(&c, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < 2; ++i) QTest::keyClick(&c, Qt::Key_Right);  // byte 1
        QTest::keyClick(&c, Qt::Key_Insert);
        QCOMPARE(c.data(), (Bytes{0, 0, 1, 2, 3, 4, 5, 6, 7}));
        QTest::keyClick(&c, Qt::Key_Delete);
        QTest::keyClick(&c, Qt::Key_Delete);
        QCOMPARE(c.data(), (Bytes{0, 2, 3, 4, 5, 6, 7}));
        QTest::keyClick(&c, Qt::Key_Backspace);
        QCOMPARE(c.data(), (Bytes{2, 3, 4, 5, 6, 7}));
        QCOMPARE(c.buffer().caret(), 0);
        // Selected bytes: Insert adds as many zero bytes, Delete removes them.
        for (int i = 0; i < 4; ++i) QTest::keyClick(&c, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(c.buffer().selectedBytes(), (Bytes{2, 3}));
        QTest::keyClick(&c, Qt::Key_Delete);
        QCOMPARE(c.data(), (Bytes{4, 5, 6, 7}));
    }

    void mouseSetsTheCaretAndSelects() {
        HexEditCtrl c;
        c.resize(600, 300);
        c.show();
        c.SetData(counting(32));
        // Hexadecimal column from character 9, text column from 9 + 3 * 8.
        QTest::mouseClick(c.viewport(), Qt::LeftButton, {}, at(c, 13, 1));
        QCOMPARE(c.buffer().caret(), 9);
        QCOMPARE(c.buffer().mode(), HexCaretMode::HexLow);
        QTest::mouseClick(c.viewport(), Qt::LeftButton, {}, at(c, 35, 2));
        QCOMPARE(c.buffer().caret(), 18);
        QCOMPARE(c.buffer().mode(), HexCaretMode::Text);
        QTest::mouseClick(c.viewport(), Qt::LeftButton, Qt::ShiftModifier, at(c, 36, 3));
        QCOMPARE(c.buffer().selectionStart(), 18);
        QCOMPARE(c.buffer().selectionEnd(), 28);
        QTest::mouseClick(c.viewport(), Qt::LeftButton, {}, at(c, 2, 0));
        QCOMPARE(c.buffer().mode(), HexCaretMode::Address);
        QVERIFY(!c.buffer().hasSelection());
        // A drag over the hexadecimal column.
        QTest::mousePress(c.viewport(), Qt::LeftButton, {}, at(c, 9, 0));
        QMouseEvent move(QEvent::MouseMove, at(c, 18, 1), c.viewport()->mapToGlobal(at(c, 18, 1)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.viewport(), &move);
        QTest::mouseRelease(c.viewport(), Qt::LeftButton, {}, at(c, 18, 1));
        QCOMPARE(c.buffer().selectionStart(), 0);
        QCOMPARE(c.buffer().selectionEnd(), 12);
    }

    void clipboardCarriesBinaryDataAndText() {
        HexEditCtrl c;
        c.show();
        c.SetData(Bytes{'A', 0x00, 0xFF, 'b'});
        QTest::keyClick(&c, Qt::Key_A, Qt::ControlModifier);  // select all
        QTest::keyClick(&c, Qt::Key_C, Qt::ControlModifier);
        const QMimeData* mime = QApplication::clipboard()->mimeData();
        QCOMPARE(mime->data("BinaryData"), QByteArray::fromHex("4100ff62"));
        QCOMPARE(mime->text(), QStringLiteral("41 00 FF 62 "));
        QTest::keyClick(&c, Qt::Key_Tab);
        QTest::keyClick(&c, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("A..b"));

        // Cut, then paste the binary bytes back at the start.
        QTest::keyClick(&c, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(c.data().empty());
        QTest::keyClick(&c, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(c.data(), (Bytes{'A', 0x00, 0xFF, 'b'}));

        // Plain text is pasted as its characters, not read as hexadecimal.
        QApplication::clipboard()->setText(QStringLiteral("12 34"));
        QTest::keyClick(&c, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(&c, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(c.data(), (Bytes{'1', '2', ' ', '3', '4', 'A', 0x00, 0xFF, 'b'}));
    }

    void contextMenuItemsFollowTheState() {
        HexEditCtrl c;
        c.SetData(counting(4));
        QApplication::clipboard()->clear();
        std::unique_ptr<QMenu> menu(c.createContextMenu());
        QCOMPARE(enabledItems(menu.get()), QStringList({"Select &All"}));

        c.SelectAll();
        QApplication::clipboard()->setText(QStringLiteral("x"));
        menu.reset(c.createContextMenu());
        QCOMPARE(enabledItems(menu.get()),
                 QStringList({"Cu&t", "&Copy", "&Paste", "&Delete", "Select &All"}));
        // The menu's Delete removes the selection.
        for (QAction* a : menu->actions())
            if (a->text() == "&Delete") a->trigger();
        QVERIFY(c.data().empty());
    }

    void windowOptionsChangeTheLayout() {
        const Bytes bytes = counting(40);
        CHexEditDlg d(nullptr, bytes);
        d.show();
        d.bytesPerRow()->setValue(16);
        QCOMPARE(d.control()->buffer().layout().bytesPerRow, 16);
        d.wideBox()->click();
        QCOMPARE(d.control()->buffer().layout().hexColumn(), 5);
        d.addressBox()->click();
        QCOMPARE(d.control()->buffer().layout().hexColumn(), 0);
        d.hexBox()->click();
        QCOMPARE(d.control()->buffer().layout().textColumn(), 0);
        QCOMPARE(d.data(), bytes);
    }

    void hexEditOfATableIsSaved() {
        ScratchCopies scratch;
        const QString vts = scratch.copy("ntsc43", "VTS_01_0.IFO");
        CNavtabDlg dlg;
        dlg.show();
        dlg.openFiles({vts});
        select(dlg, findItem(dlg, "VTSI_MAT"));

        // Type into VTS Category (offset 34), insert a byte and delete it again, and paste two
        // bytes before the last one: the table grows by two bytes, which are dropped.
        QApplication::clipboard()->setText(QStringLiteral("XY"));
        int shownLength = 0;
        onNext<CHexEditDlg>([&](CHexEditDlg* d) {
            HexEditCtrl* c = d->control();
            shownLength = static_cast<int>(c->data().size());
            for (int i = 0; i < 4; ++i) QTest::keyClick(c, Qt::Key_Down);
            for (int i = 0; i < 4; ++i) QTest::keyClick(c, Qt::Key_Right);
            QTest::keyClicks(c, "7f");
            QTest::keyClick(c, Qt::Key_Insert);
            QCOMPARE(c->data().size(), 2049u);
            QTest::keyClick(c, Qt::Key_Delete);
            QTest::keyClick(c, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(c, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(c->data().size(), 2050u);
            d->accept();
        });
        QTest::mouseClick(dlg.button("HexEdit"), Qt::LeftButton);
        QCOMPARE(shownLength, 2048);
        QVERIFY(dlg.session().workspace().modifiedCount() == 1);
        QCOMPARE(dlg.session().currentDocument()->ifo->table[ID_MAT].size(), 2048u);
        // The list was rebuilt from the new bytes.
        QCOMPARE(cell(dlg, findRow(dlg, "VTS Category"), FieldListModel::Hex),
                 QStringLiteral("[7f000000]"));

        answerNextMessage(QMessageBox::No);  // no backup
        acceptNextFile();
        QTest::mouseClick(dlg.button("Save"), Qt::LeftButton);
        QByteArray expected = readFile(sample("ntsc43", "VTS_01_0.IFO"));
        expected[34] = 0x7F;
        expected[2047] = 'X';
        QCOMPARE(readFile(vts), expected);
        QVERIFY(!QFile::exists(scratch.path("VTS_01_0.BUP")));
        QCOMPARE(pendingAnswers(), 0);
    }

    void cancelLeavesTheTableAndOnlyTablesAreEdited() {
        CNavtabDlg dlg;
        dlg.openFiles({sample("ntsc43", "VTS_01_0.IFO")});
        select(dlg, findItem(dlg, "VTS_C_ADT"));
        const auto& table = dlg.session().currentDocument()->ifo->table[ID_VTS_C_ADT];
        const Bytes before = table;
        int shownLength = 0;
        onNext<CHexEditDlg>([&](CHexEditDlg* d) {
            shownLength = static_cast<int>(d->data().size());
            QTest::keyClicks(d->control(), "ff");
            d->reject();
        });
        QTest::mouseClick(dlg.button("HexEdit"), Qt::LeftButton);
        QCOMPARE(shownLength, static_cast<int>(before.size()));
        QCOMPARE(table, before);
        QCOMPARE(dlg.session().workspace().modifiedCount(), 0);

        // HexEdit needs a table node.
        QString text;
        select(dlg, dlg.tree()->topLevelItem(0));
        answerNextMessage(QMessageBox::Ok, &text);
        QTest::mouseClick(dlg.button("HexEdit"), Qt::LeftButton);
        QCOMPARE(text,
                 QStringLiteral("HexEdit for this tree item not implemented yet or not possible!"));
        select(dlg, findItem(dlg, "VTS_PGCITI"));
        select(dlg, findItem(dlg, "VTS_PGC_2"));
        answerNextMessage(QMessageBox::Ok, &text);
        QTest::mouseClick(dlg.button("HexEdit"), Qt::LeftButton);
        QCOMPARE(text, QStringLiteral("HexEdit for pgc not implemented yet!"));
        QCOMPARE(pendingAnswers(), 0);
    }

    void aByteRunRowOpensTheEditorOnItsBytes() {
        CNavtabDlg dlg;
        dlg.show();
        dlg.openFiles({sample("ntsc43", "VTS_01_0.IFO")});
        select(dlg, findItem(dlg, "VTSI_MAT"));
        const int row = findRow(dlg, "Aud_1: audio attributes");
        QVERIFY(row >= 0);
        Bytes shown;
        onNext<CHexEditDlg>([&](CHexEditDlg* d) {
            shown = d->data();
            QTest::keyClicks(d->control(), "05");
            QTest::keyClick(d->control(), Qt::Key_Insert);  // one byte more: it is dropped
            d->accept();
        });
        doubleClickRow(dlg, row);
        QCOMPARE(shown, (Bytes{0x04, 0xC1, 0x65, 0x6E, 0, 0, 0, 0}));
        QCOMPARE(cell(dlg, row, FieldListModel::Dec), QStringLiteral("5 0 193 101 110 0 0 0 "));
        QCOMPARE(cell(dlg, row, FieldListModel::Hex), QStringLiteral("[05 00 c1 65 6e 00 00 00 ]"));
        // The next field is untouched.
        QCOMPARE(cell(dlg, findRow(dlg, "Aud_2: audio attributes"), FieldListModel::Hex),
                 QStringLiteral("[04 c1 66 72 00 00 00 00 ]"));
    }
};

QTEST_MAIN(HexEditorTest)
#include "test_hex_editor.moc"
