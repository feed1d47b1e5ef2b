// The editors' choices: the video attribute word split and put together again, and the user
// operation boxes with their two bulk buttons.
#include <gtest/gtest.h>
#include <set>

#include "format/uop_edit.h"
#include "format/video_attr_edit.h"

namespace navtab {
namespace {

TEST(VideoAttrEdit, SplitsEveryGroup) {
    const std::uint16_t word =
        (0x40 | 0x10 | 0x0C | 0x02) << 8 | (0x80 | 0x10 | 0x04 | 0x02 | 0x01);
    const VideoAttrChoices c = decodeVideoAttr(word);
    EXPECT_EQ(c.codingMode, 1);
    EXPECT_EQ(c.standard, 1);
    EXPECT_EQ(c.aspectRatio, 3);
    EXPECT_FALSE(c.automaticPanScan);
    EXPECT_TRUE(c.automaticLetterbox);
    EXPECT_TRUE(c.ccField1);
    EXPECT_FALSE(c.ccField2);
    EXPECT_EQ(c.bitRate, 1);
    EXPECT_EQ(c.resolution, 1);
    EXPECT_TRUE(c.letterboxed);
    EXPECT_EQ(c.film, 1);
    EXPECT_EQ(encodeVideoAttr(c, word), word);
}

TEST(VideoAttrEdit, UnchangedChoicesGiveTheSameWord) {
    for (unsigned w = 0; w <= 0xFFFF; ++w) {
        const unsigned coding = (w >> 14) & 3, standard = (w >> 12) & 3;
        if (coding > 1 || standard > 1) continue;  // values without a button
        const auto word = static_cast<std::uint16_t>(w);
        ASSERT_EQ(encodeVideoAttr(decodeVideoAttr(word), word), word) << w;
    }
}

// A value without a button is written as all ones; the reserved aspect ratio and the reserved
// bit stay; the pan-scan and letterbox boxes are checked when their bit is clear.
TEST(VideoAttrEdit, ValuesWithoutAButtonReservedBitsAndTheInvertedBoxes) {
    const VideoAttrChoices standard2 = decodeVideoAttr(0x2000);
    EXPECT_EQ(standard2.standard, kNoChoice);
    EXPECT_EQ(encodeVideoAttr(standard2, 0x2000) >> 12 & 3, 3);
    EXPECT_EQ(decodeVideoAttr(0x4800).aspectRatio, 2);
    EXPECT_EQ(encodeVideoAttr(decodeVideoAttr(0x4000), 0x0020) & 0x20, 0x20);
    EXPECT_FALSE(decodeVideoAttr(0x0200).automaticPanScan);
    EXPECT_FALSE(decodeVideoAttr(0x0100).automaticLetterbox);
    VideoAttrChoices none;  // nothing chosen at all
    none.automaticPanScan = none.automaticLetterbox = true;
    EXPECT_EQ(encodeVideoAttr(none, 0), 0xFC00 | 0x10 | 0x0C | 0x01);
    none.automaticPanScan = false;
    EXPECT_EQ(encodeVideoAttr(none, 0) & 0x0200, 0x0200);
}

TEST(UopEdit, TheGroupsHoldEveryBitOnceAndCheckAllKeepsTheBitsWithoutAName) {
    std::multiset<int> bits;
    for (auto group : uopGroups()) bits.insert(group.begin(), group.end());
    ASSERT_EQ(bits.size(), 32u);
    for (int bit = 0; bit < 32; ++bit) EXPECT_EQ(bits.count(bit), 1u) << bit;
    EXPECT_EQ(uopLabel(32), "");
    EXPECT_EQ(checkAllUops(0x80000000), 0x81FFFFFFu);
    EXPECT_EQ(clearAllUops(0x81FFFFFF), 0u);
    EXPECT_FALSE(uopBit(0x80000000, 30));
    EXPECT_EQ(withUopBit(0xFFFFFFFF, 0, false), 0xFFFFFFFEu);
}

}  // namespace
}  // namespace navtab
