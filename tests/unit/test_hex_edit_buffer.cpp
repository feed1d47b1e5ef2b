// The window-free state behind the hex editor (its bytes, caret and selection; typing, keys and
// the clipboard are driven through the real control by tests/ui) and the progress window.
#include <gtest/gtest.h>
#include <numeric>

#include "core/hex_edit_buffer.h"
#include "core/progress.h"

namespace navtab {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct HexBuffer : ::testing::Test {
    HexBuffer() { fill(16); }
    void fill(int n) {
        Bytes b(static_cast<std::size_t>(n));
        std::iota(b.begin(), b.end(), 0);
        buf.setData(b);
        buf.setPageRows(4);
    }
    void select(int from, int to) {
        buf.press({from, HexCaretMode::HexHigh}, false);
        buf.dragTo({to, HexCaretMode::HexHigh});
    }
    HexEditBuffer buf;
};

TEST_F(HexBuffer, MovesKeepTheCaretInsideAndScrollThePage) {
    const std::pair<HexMove, int> moves[] = {
        {HexMove::Down, 8},     {HexMove::Down, 8},  {HexMove::RowEnd, 15},
        {HexMove::RowStart, 8}, {HexMove::Up, 0},    {HexMove::PageDown, 15},
        {HexMove::PageUp, 7},   {HexMove::First, 0}, {HexMove::Last, 15}};
    for (const auto& [move, caret] : moves) {
        buf.move(move, false);
        EXPECT_EQ(buf.caret(), caret) << static_cast<int>(move);
    }
    fill(12);  // down onto a short last row goes to the last byte
    buf.move(HexMove::RowEnd, false);
    buf.move(HexMove::Down, false);
    EXPECT_EQ(buf.caret(), 11);
    fill(256);  // 32 rows
    buf.move(HexMove::PageDown, false);
    EXPECT_EQ(buf.top(), 32);
    buf.move(HexMove::Last, false);
    EXPECT_EQ(buf.top(), 256 - 32);
    buf.scrollToRow(1000);
    EXPECT_EQ(buf.top(), 256 - 32);
}

TEST_F(HexBuffer, InsertDeleteAndBackspaceWorkOnTheSelectionOrTheCaretByte) {
    select(4, 6);
    buf.insertZeros();
    EXPECT_EQ(buf.length(), 19);  // three zero bytes at the caret, the selection's end
    EXPECT_EQ(buf.bytes()[6], 0);
    EXPECT_EQ(buf.bytes()[9], 6);
    fill(16);
    select(4, 7);
    buf.deleteKey();
    EXPECT_EQ(buf.length(), 12);
    EXPECT_EQ(buf.caret(), 4);
    EXPECT_EQ(buf.bytes()[4], 8);
    buf.move(HexMove::Last, false);
    buf.deleteKey();
    EXPECT_EQ(buf.caret(), 10);  // held inside the shorter data
    buf.move(HexMove::First, false);
    buf.backspace();
    EXPECT_EQ(buf.length(), 11);
    buf.press({3, HexCaretMode::Text}, false);
    buf.backspace();
    EXPECT_EQ(buf.caret(), 2);
    EXPECT_EQ(buf.bytes()[2], 3);
}

TEST_F(HexBuffer, PasteGoesAfterALowNibbleAndReplacesABackwardSelection) {
    buf.move(HexMove::Right, false);
    buf.paste(Bytes{0xAA});
    EXPECT_EQ(buf.bytes()[1], 0xAA);
    fill(16);
    select(6, 2);
    buf.paste(Bytes{0xAA, 0xBB});
    EXPECT_EQ(buf.length(), 13);
    EXPECT_EQ(buf.bytes()[3], 0xBB);
    EXPECT_EQ(buf.bytes()[4], 7);
    EXPECT_FALSE(buf.hasSelection());
    buf.press({2, HexCaretMode::HexHigh}, false);
    buf.press({9, HexCaretMode::HexLow}, true);
    EXPECT_EQ(buf.selectionStart(), 2);
    EXPECT_EQ(buf.selectionEnd(), 10);
}

TEST_F(HexBuffer, HitTestFindsColumnsNibblesAndBlanks) {
    const std::tuple<int, int, int, HexCaretMode> hits[] = {
        {3, 1, 8, HexCaretMode::Address}, {9, 0, 0, HexCaretMode::HexHigh},
        {13, 0, 1, HexCaretMode::HexLow}, {11, 0, 1, HexCaretMode::HexHigh},
        {32, 0, 7, HexCaretMode::HexLow}, {35, 1, 10, HexCaretMode::Text}};
    for (const auto& [column, row, offset, mode] : hits) {
        const auto hit = buf.hitTest(column, row);
        ASSERT_TRUE(hit) << column;
        EXPECT_EQ(hit->offset, offset) << column;
        EXPECT_EQ(hit->mode, mode) << column;
    }
    for (const auto& [column, row] : {std::pair{8, 0}, {41, 0}, {9, 2}, {-1, 0}})
        EXPECT_FALSE(buf.hitTest(column, row)) << column << " " << row;
    buf.setOptions(true, false, true, false);
    EXPECT_EQ(buf.hitTest(5, 0)->mode, HexCaretMode::Text);
    EXPECT_EQ(buf.layout().width(), 13);
    buf.setBytesPerRow(40);
    EXPECT_EQ(buf.layout().bytesPerRow, 16);
    buf.setBytesPerRow(0);
    EXPECT_EQ(buf.rowCount(), 16);
}

TEST_F(HexBuffer, GetDataCopiesAtMostTheCapacityAndEmptyDataIsSafe) {
    std::uint8_t big[64] = {};
    EXPECT_EQ(buf.getData(big, 4), 4u);
    EXPECT_EQ(buf.getData(big, 64), 16u);
    buf.setData({});
    buf.move(HexMove::Right, true);
    buf.move(HexMove::PageDown, false);
    buf.deleteKey();
    buf.backspace();
    EXPECT_FALSE(buf.typeCharacter('1'));
    buf.selectAll();
    EXPECT_FALSE(buf.hasSelection());
    buf.insertZeros();
    EXPECT_EQ(buf.length(), 1);
    buf.deleteKey();
    buf.paste(Bytes{1, 2});
    EXPECT_EQ(buf.bytes(), (Bytes{1, 2}));
}

TEST(ProgressState, TheCaptionChangesOnlyWithThePercentageCountedFromTheLowerEnd) {
    ProgressState p;
    p.setRange(0, 0, 1);
    EXPECT_FALSE(p.setPos(5));  // an empty range stays at zero percent
    EXPECT_EQ(p.percent(), 0);
    p.setRange(0, 100, 1);
    EXPECT_TRUE(p.setPos(42));
    EXPECT_FALSE(p.setPos(42));
    p.setRange(0, 1000, 1);
    EXPECT_FALSE(p.setPos(425));  // 42 % of the new range: the caption already says so
    EXPECT_TRUE(p.setPos(430));
    p.setRange(50, 150, 10);
    p.setPos(50);
    EXPECT_EQ(p.percent(), 50);
    EXPECT_TRUE(p.stepIt());
    EXPECT_EQ(p.percent(), 60);
    EXPECT_TRUE(p.offsetPos(-60));
    EXPECT_EQ(p.percent(), 0);
    EXPECT_EQ(p.setStep(5), 10);
}

}  // namespace
}  // namespace navtab
