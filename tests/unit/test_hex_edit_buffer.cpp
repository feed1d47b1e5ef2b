// The hex editor's bytes, caret and selection, without a window.
#include <gtest/gtest.h>

#include <numeric>

#include "core/hex_edit_buffer.h"

namespace navtab {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct HexBuffer : ::testing::Test {
    // Sixteen bytes 0x00..0x0F, eight a row, four rows a page.
    HexBuffer() { fill(16); }
    void fill(int n) {
        Bytes b(static_cast<std::size_t>(n));
        std::iota(b.begin(), b.end(), 0);
        buf.setData(b);
        buf.setPageRows(4);
    }
    void type(const std::string& s) {
        for (char c : s) buf.typeCharacter(static_cast<std::uint8_t>(c));
    }
    HexEditBuffer buf;
};

TEST_F(HexBuffer, StartsOnTheFirstHighNibble) {
    EXPECT_EQ(buf.caret(), 0);
    EXPECT_EQ(buf.mode(), HexCaretMode::HexHigh);
    EXPECT_FALSE(buf.hasSelection());
    EXPECT_EQ(buf.selectionStart(), -1);
    EXPECT_EQ(buf.top(), 0);
    EXPECT_EQ(buf.layout().bytesPerRow, 8);
}

TEST_F(HexBuffer, HexColumnTakesDigitsAndLowerCaseLettersOnly) {
    type("A");
    EXPECT_EQ(buf.bytes()[0], 0x00);
    EXPECT_EQ(buf.caret(), 0);
    type("a");
    EXPECT_EQ(buf.bytes()[0], 0xA0);
    EXPECT_EQ(buf.mode(), HexCaretMode::HexLow);
    type("5");
    EXPECT_EQ(buf.bytes()[0], 0xA5);
    EXPECT_EQ(buf.caret(), 1);
    EXPECT_EQ(buf.mode(), HexCaretMode::HexHigh);
    type("g ");
    EXPECT_EQ(buf.bytes()[1], 0x01);
}

TEST_F(HexBuffer, TextColumnReplacesBytes) {
    buf.switchColumn();
    EXPECT_EQ(buf.mode(), HexCaretMode::Text);
    type("Hi");
    EXPECT_EQ(buf.bytes()[0], 'H');
    EXPECT_EQ(buf.bytes()[1], 'i');
    EXPECT_EQ(buf.caret(), 2);
    buf.switchColumn();
    EXPECT_EQ(buf.mode(), HexCaretMode::HexHigh);
}

TEST_F(HexBuffer, TypingAtTheLastByteStaysThere) {
    buf.move(HexMove::Last, false);
    type("ff");
    EXPECT_EQ(buf.bytes()[15], 0xFF);
    EXPECT_EQ(buf.caret(), 15);
    EXPECT_EQ(buf.length(), 16);
}

TEST_F(HexBuffer, AddressColumnIgnoresTyping) {
    buf.press({8, HexCaretMode::Address}, false);
    EXPECT_FALSE(buf.typeCharacter('1'));
    EXPECT_EQ(buf.bytes()[8], 8);
}

TEST_F(HexBuffer, RightAndLeftMoveByNibbleInHexAndByByteInText) {
    buf.move(HexMove::Right, false);
    EXPECT_EQ(buf.caret(), 0);
    EXPECT_EQ(buf.mode(), HexCaretMode::HexLow);
    buf.move(HexMove::Right, false);
    EXPECT_EQ(buf.caret(), 1);
    EXPECT_EQ(buf.mode(), HexCaretMode::HexHigh);
    buf.move(HexMove::Left, false);
    EXPECT_EQ(buf.caret(), 0);
    EXPECT_EQ(buf.mode(), HexCaretMode::HexLow);
    buf.switchColumn();
    buf.move(HexMove::Right, false);
    EXPECT_EQ(buf.caret(), 1);
    buf.move(HexMove::Left, false);
    buf.move(HexMove::Left, false);
    EXPECT_EQ(buf.caret(), 0);
}

TEST_F(HexBuffer, RowsPagesAndEndsKeepTheCaretInside) {
    buf.move(HexMove::Down, false);
    EXPECT_EQ(buf.caret(), 8);
    buf.move(HexMove::Down, false);
    EXPECT_EQ(buf.caret(), 8);  // no row below
    buf.move(HexMove::RowEnd, false);
    EXPECT_EQ(buf.caret(), 15);
    buf.move(HexMove::RowStart, false);
    EXPECT_EQ(buf.caret(), 8);
    buf.move(HexMove::Up, false);
    buf.move(HexMove::Up, false);
    EXPECT_EQ(buf.caret(), 0);
    buf.move(HexMove::Last, false);
    EXPECT_EQ(buf.caret(), 15);
    buf.move(HexMove::First, false);
    EXPECT_EQ(buf.caret(), 0);
    buf.move(HexMove::PageDown, false);
    EXPECT_EQ(buf.caret(), 15);
    buf.move(HexMove::PageUp, false);
    EXPECT_EQ(buf.caret(), 7);
}

TEST_F(HexBuffer, DownOntoAShortLastRowGoesToTheLastByte) {
    fill(12);
    buf.move(HexMove::RowEnd, false);
    EXPECT_EQ(buf.caret(), 7);
    buf.move(HexMove::Down, false);
    EXPECT_EQ(buf.caret(), 11);
}

TEST_F(HexBuffer, PagesScrollTheView) {
    fill(256);  // 32 rows
    buf.move(HexMove::PageDown, false);
    EXPECT_EQ(buf.top(), 32);
    EXPECT_EQ(buf.caret(), 32);
    buf.move(HexMove::Last, false);
    EXPECT_EQ(buf.top(), 256 - 32);
    buf.move(HexMove::First, false);
    EXPECT_EQ(buf.top(), 0);
    buf.scrollToRow(1000);
    EXPECT_EQ(buf.top(), 256 - 32);
}

TEST_F(HexBuffer, ShiftExtendsTheSelection) {
    buf.move(HexMove::Right, true);  // to the low nibble: no byte passed yet
    EXPECT_FALSE(buf.hasSelection());
    buf.move(HexMove::Right, true);
    buf.move(HexMove::Right, true);
    buf.move(HexMove::Right, true);
    EXPECT_EQ(buf.selectionStart(), 0);
    EXPECT_EQ(buf.selectionEnd(), 2);
    buf.move(HexMove::Down, true);
    EXPECT_EQ(buf.selectionEnd(), 10);
    buf.move(HexMove::Left, false);
    EXPECT_FALSE(buf.hasSelection());
}

TEST_F(HexBuffer, InsertAddsZeroBytesAtTheCaret) {
    buf.move(HexMove::Right, false);
    buf.move(HexMove::Right, false);  // byte 1
    buf.insertZeros();
    EXPECT_EQ(buf.length(), 17);
    EXPECT_EQ(buf.bytes()[1], 0);
    EXPECT_EQ(buf.bytes()[2], 1);
    // With three bytes selected, three zero bytes.
    buf.press({4, HexCaretMode::HexHigh}, false);
    buf.dragTo({6, HexCaretMode::HexHigh});
    buf.insertZeros();
    EXPECT_EQ(buf.length(), 20);
    EXPECT_EQ(buf.bytes()[6], 0);
    EXPECT_EQ(buf.bytes()[9], 5);
}

TEST_F(HexBuffer, DeleteRemovesTheSelectionOrTheCaretByte) {
    buf.press({2, HexCaretMode::HexHigh}, false);
    buf.deleteKey();
    EXPECT_EQ(buf.length(), 15);
    EXPECT_EQ(buf.bytes()[2], 3);
    buf.press({4, HexCaretMode::HexHigh}, false);
    buf.dragTo({7, HexCaretMode::HexHigh});
    buf.deleteKey();
    EXPECT_EQ(buf.length(), 11);
    EXPECT_EQ(buf.caret(), 4);
    EXPECT_EQ(buf.bytes()[4], 9);
    buf.move(HexMove::Last, false);
    buf.deleteKey();
    EXPECT_EQ(buf.length(), 10);
    EXPECT_EQ(buf.caret(), 9);  // held inside the shorter data
}

TEST_F(HexBuffer, BackspaceRemovesTheByteBeforeTheCaret) {
    buf.backspace();
    EXPECT_EQ(buf.length(), 16);
    buf.press({3, HexCaretMode::Text}, false);
    buf.backspace();
    EXPECT_EQ(buf.length(), 15);
    EXPECT_EQ(buf.caret(), 2);
    EXPECT_EQ(buf.bytes()[2], 3);
}

TEST_F(HexBuffer, CopyTextDependsOnTheColumn) {
    Bytes b = {'A', 0x00, 0x7F, 'z'};
    buf.setData(b);
    buf.selectAll();
    EXPECT_EQ(buf.selectedBytes(), b);
    EXPECT_EQ(buf.selectedText(), "41 00 7F 7A ");
    buf.switchColumn();
    EXPECT_EQ(buf.selectedText(), "A..z");
}

TEST_F(HexBuffer, PastedTextIsRawBytes) {
    const std::string text = "12 34";
    buf.paste(Bytes(text.begin(), text.end()));
    EXPECT_EQ(buf.length(), 21);
    EXPECT_EQ(buf.bytes()[0], '1');
    EXPECT_EQ(buf.bytes()[2], ' ');
    EXPECT_EQ(buf.bytes()[5], 0);
    EXPECT_EQ(buf.caret(), 0);  // the caret keeps its offset
}

TEST_F(HexBuffer, PasteOnALowNibbleGoesAfterTheByte) {
    buf.move(HexMove::Right, false);
    buf.paste(Bytes{0xAA});
    EXPECT_EQ(buf.bytes()[0], 0);
    EXPECT_EQ(buf.bytes()[1], 0xAA);
}

TEST_F(HexBuffer, PasteReplacesTheSelection) {
    buf.press({6, HexCaretMode::HexHigh}, false);
    buf.dragTo({2, HexCaretMode::HexHigh});  // dragged backwards: its ends are put in order
    buf.paste(Bytes{0xAA, 0xBB});
    EXPECT_EQ(buf.length(), 13);
    EXPECT_EQ(buf.bytes()[2], 0xAA);
    EXPECT_EQ(buf.bytes()[3], 0xBB);
    EXPECT_EQ(buf.bytes()[4], 7);
    EXPECT_FALSE(buf.hasSelection());
}

TEST_F(HexBuffer, CutLeavesTheCaretAtTheSelectionStart) {
    buf.press({3, HexCaretMode::HexHigh}, false);
    buf.dragTo({5, HexCaretMode::HexHigh});
    const Bytes cut = buf.selectedBytes();
    buf.removeSelection();
    EXPECT_EQ(cut, (Bytes{3, 4, 5}));
    EXPECT_EQ(buf.caret(), 3);
    EXPECT_EQ(buf.bytes()[3], 6);
}

TEST_F(HexBuffer, ShiftClickExtendsFromTheOldCaret) {
    buf.press({2, HexCaretMode::HexHigh}, false);
    buf.press({9, HexCaretMode::HexLow}, true);
    EXPECT_EQ(buf.selectionStart(), 2);
    EXPECT_EQ(buf.selectionEnd(), 10);
    buf.press({5, HexCaretMode::HexHigh}, false);
    EXPECT_FALSE(buf.hasSelection());
}

TEST_F(HexBuffer, HitTestFindsColumnsAndNibbles) {
    // Address digits in columns 0..7, hex from column 9, text from column 9 + 24 = 33.
    auto hit = buf.hitTest(3, 1);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->offset, 8);
    EXPECT_EQ(hit->mode, HexCaretMode::Address);
    EXPECT_FALSE(buf.hitTest(8, 0));  // the blank after the address
    hit = buf.hitTest(9, 0);
    EXPECT_EQ(hit->offset, 0);
    EXPECT_EQ(hit->mode, HexCaretMode::HexHigh);
    hit = buf.hitTest(13, 0);
    EXPECT_EQ(hit->offset, 1);
    EXPECT_EQ(hit->mode, HexCaretMode::HexLow);
    hit = buf.hitTest(11, 0);  // the blank after byte 0 leads to byte 1
    EXPECT_EQ(hit->offset, 1);
    EXPECT_EQ(hit->mode, HexCaretMode::HexHigh);
    hit = buf.hitTest(32, 0);  // the blank after the row's last byte stays on it
    EXPECT_EQ(hit->offset, 7);
    EXPECT_EQ(hit->mode, HexCaretMode::HexLow);
    hit = buf.hitTest(35, 1);
    EXPECT_EQ(hit->offset, 10);
    EXPECT_EQ(hit->mode, HexCaretMode::Text);
    EXPECT_FALSE(buf.hitTest(41, 0));  // right of the text
    EXPECT_FALSE(buf.hitTest(9, 2));   // below the data
    EXPECT_FALSE(buf.hitTest(-1, 0));
}

TEST_F(HexBuffer, HitTestFollowsTheColumnsShown) {
    buf.setOptions(false, true, true, true);
    EXPECT_EQ(buf.hitTest(0, 0)->mode, HexCaretMode::HexHigh);
    buf.setOptions(true, false, true, false);
    EXPECT_EQ(buf.hitTest(5, 0)->mode, HexCaretMode::Text);
    EXPECT_EQ(buf.layout().width(), 13);
}

TEST_F(HexBuffer, BytesPerRowStayWithinOneToSixteen) {
    buf.setBytesPerRow(40);
    EXPECT_EQ(buf.layout().bytesPerRow, 16);
    buf.setBytesPerRow(0);
    EXPECT_EQ(buf.layout().bytesPerRow, 1);
    EXPECT_EQ(buf.rowCount(), 16);
}

TEST_F(HexBuffer, GetDataCopiesAtMostTheCapacity) {
    std::uint8_t out[4] = {};
    EXPECT_EQ(buf.getData(out, 4), 4u);
    EXPECT_EQ(out[3], 3);
    std::uint8_t big[64] = {};
    EXPECT_EQ(buf.getData(big, 64), 16u);
}

TEST_F(HexBuffer, EmptyDataIsSafe) {
    buf.setData({});
    buf.move(HexMove::Right, true);
    buf.move(HexMove::Last, false);
    buf.move(HexMove::PageDown, false);
    buf.deleteKey();
    buf.backspace();
    EXPECT_FALSE(buf.typeCharacter('1'));
    buf.selectAll();
    EXPECT_FALSE(buf.hasSelection());
    EXPECT_FALSE(buf.hitTest(9, 0));
    buf.insertZeros();
    EXPECT_EQ(buf.length(), 1);
    buf.deleteKey();
    buf.paste(Bytes{1, 2});
    EXPECT_EQ(buf.bytes(), (Bytes{1, 2}));
}

}  // namespace
}  // namespace navtab
