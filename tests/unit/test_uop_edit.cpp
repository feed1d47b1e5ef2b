// The user-operation editor's groups of boxes and its two bulk buttons.
#include <gtest/gtest.h>

#include <set>

#include "format/uop_edit.h"

namespace navtab {
namespace {

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
