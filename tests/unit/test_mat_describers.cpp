// The rows of the two management tables, on hand-built tables.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>

#include "core/bytes.h"
#include "format/describe.h"

namespace navtab {
namespace {

struct MatFixture : ::testing::Test {
    void make(const char* identifier) {
        ifo.table[ID_MAT].assign(2048, 0);
        std::memcpy(ifo.table[ID_MAT].data(), identifier, 12);
        root.caption = "MAT";
        root.kind = NodeKind::Table;
        root.tableId = ID_MAT;
    }
    std::uint8_t* mat() { return ifo.table[ID_MAT].data(); }
    std::vector<FieldRow> describe(bool reserved = false) {
        FieldList list;
        list.showReserved = reserved;
        EXPECT_EQ(DescribeNode(ifo, list, root), DescribeResult::Shown);
        return list.rows();
    }
    static long count(const std::vector<FieldRow>& rows, const std::string& prefix) {
        return std::count_if(rows.begin(), rows.end(), [&](const FieldRow& r) {
            return r.description.rfind(prefix, 0) == 0;
        });
    }
    static const FieldRow* find(const std::vector<FieldRow>& rows, const std::string& description) {
        for (const auto& r : rows)
            if (r.description == description) return &r;
        return nullptr;
    }
    ifo_t ifo;
    TreeNode root;
};

TEST_F(MatFixture, VmgRegionsVersionAndReservedRows) {
    make("DVDVIDEO-VMG");
    mat()[0x21] = 0x10;
    mat()[0x23] = 0xFE;
    auto rows = describe();
    EXPECT_EQ(count(rows, "  Region:"), 1);
    ASSERT_NE(find(rows, "  Region: 1 enabled."), nullptr);
    EXPECT_EQ(count(rows, "Reserved"), 0);
    EXPECT_EQ(count(rows, "Video attributes of VMGM_VOBS"), 1);
    // The separator row before the attributes stays.
    ASSERT_NE(find(rows, ""), nullptr);
    const FieldRow* version = find(rows, "Specification version number");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->dec, "v1.0");
    EXPECT_EQ(version->address, "   ");
    EXPECT_EQ(version->hex, "");
    EXPECT_FALSE(version->editable);
    EXPECT_EQ(rows[0].dec, "DVDVIDEO-VMG");

    mat()[0x23] = 0x00;
    EXPECT_EQ(count(describe(), "  Region:"), 8);
    mat()[0x23] = 0xFF;
    auto all = describe(true);
    EXPECT_EQ(count(all, "  Region:"), 0);
    EXPECT_EQ(count(all, "Reserved"), 3 + 1 + 1 + 4 + 1 + 6 + 14 + 8 + 1 + 4 + 1);
}

TEST_F(MatFixture, VmgFirstPlayNodeIsMadeOnce) {
    make("DVDVIDEO-VMG");
    put32(mat() + 0x84, 0x400);
    describe();
    describe();
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0]->caption, "First Play PGC");
    EXPECT_EQ(root.children[0]->kind, NodeKind::Pgc);
    EXPECT_EQ(root.children[0]->pgcSlot, ID_MAT);
    EXPECT_EQ(root.children[0]->pgcOffset, 0x400u);
}

TEST_F(MatFixture, AttributeRecordsAreListedWhateverTheCountsSay) {
    make("DVDVIDEO-VTS");
    mat()[0x21] = 0x11;
    mat()[0x203] = 1;
    const std::uint8_t audio[] = {0x04, 0x01, 'e', 'n', 0, 0, 0, 0};
    std::memcpy(mat() + 0x204, audio, 8);
    mat()[0x318 + 24 + 6] = 1;  // a multichannel record with a flag beyond the first seven bytes
    auto rows = describe();
    EXPECT_EQ(count(rows, "Aud_"), 8);
    EXPECT_EQ(count(rows, "Sub-p_"), 32);
    ASSERT_NE(find(rows, "Sub-p_01: Sub-picture stream attributes"), nullptr);
    ASSERT_NE(find(rows, "Sub-p_32: Sub-picture stream attributes"), nullptr);
    EXPECT_EQ(count(rows, "0"), 8);  // "01. Multichannel extension" to "08. ..."
    // Only the one non-zero audio record gets details; the zero ones show just their bytes.
    EXPECT_EQ(count(rows, "  Audio attribute details:"), 1);
    EXPECT_EQ(count(rows, "  Sub-picture attribute details:"), 0);
    EXPECT_EQ(count(rows, "    ACH"), 0);
    EXPECT_EQ(count(rows, "  Video attribute details:"), 2);

    const FieldRow* version = find(rows, "Specification version number");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->dec, "v1.1");
    EXPECT_EQ(version->hex, "[11]");
    EXPECT_EQ(version->address, "[00000021] ");
    EXPECT_TRUE(version->editable);
    EXPECT_EQ(rows[0].dec, "DVDVIDEO-VTS");
}

TEST_F(MatFixture, AbsentManagementTableShowsOnlyItsNote) {
    make("DVDVIDEO-VTS");
    ifo.table[ID_MAT].clear();
    auto rows = describe();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].description, "There is no VTSI_MAT table");
}

}  // namespace
}  // namespace navtab
