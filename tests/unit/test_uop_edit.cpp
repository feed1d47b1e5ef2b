// The user-operation editor's boxes: their labels, their groups and the two bulk buttons.
#include <gtest/gtest.h>

#include <set>

#include "format/uop_edit.h"

namespace navtab {
namespace {

TEST(UopEdit, EveryBitHasItsLabel) {
    EXPECT_EQ(uopLabel(0), "Time play or search");
    EXPECT_EQ(uopLabel(4), "Goup");
    EXPECT_EQ(uopLabel(17), "Button select or activate");
    EXPECT_EQ(uopLabel(24), "Video presentation mode change");
    for (int bit = 25; bit < 32; ++bit) EXPECT_EQ(uopLabel(bit), "Unkown");
    EXPECT_EQ(uopLabel(32), "");
    EXPECT_EQ(uopLabel(-1), "");
}

TEST(UopEdit, TheGroupsHoldEveryBitOnce) {
    std::multiset<int> bits;
    for (auto group : uopGroups()) bits.insert(group.begin(), group.end());
    ASSERT_EQ(bits.size(), 32u);
    for (int bit = 0; bit < 32; ++bit) EXPECT_EQ(bits.count(bit), 1u) << bit;
    EXPECT_EQ(uopGroups()[1].front(), 16);  // resume, button, still, pause
    EXPECT_EQ(uopGroups()[2].front(), 10);  // the menu calls
}

TEST(UopEdit, CheckAllKeepsTheBitsWithoutAName) {
    EXPECT_EQ(checkAllUops(0x80000000), 0x81FFFFFFu);
    EXPECT_EQ(checkAllUops(0), 0x01FFFFFFu);
    EXPECT_EQ(clearAllUops(0x81FFFFFF), 0u);
}

TEST(UopEdit, BitsAreSetAndClearedOneByOne) {
    EXPECT_TRUE(uopBit(0x80000000, 31));
    EXPECT_FALSE(uopBit(0x80000000, 30));
    EXPECT_EQ(withUopBit(0, 10, true), 0x400u);
    EXPECT_EQ(withUopBit(0xFFFFFFFF, 0, false), 0xFFFFFFFEu);
}

}  // namespace
}  // namespace navtab
