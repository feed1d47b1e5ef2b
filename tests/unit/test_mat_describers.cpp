// The rows of the two management tables, on hand-built tables.
#include <cstring>

#include "unit/table_fixture.h"

namespace navtab {
namespace {

struct MatFixture : test::TableFixture {
    std::uint8_t* make(const char* identifier) {
        std::vector<std::uint8_t>& mat = table(ID_MAT);
        std::memcpy(mat.data(), identifier, 12);
        return mat.data();
    }
    const FieldRow& versionRow() const {
        for (const FieldRow& r : list.rows())
            if (r.description.ends_with("version number")) return r;
        ADD_FAILURE() << "no version row";
        static const FieldRow none;
        return none;
    }
};

TEST_F(MatFixture, VmgRegionsVersionFirstPlayNodeAndReservedRows) {
    std::uint8_t* mat = make("DVDVIDEO-VMG");
    mat[0x21] = 0x10;
    mat[0x23] = 0xFE;
    put32(mat + 0x84, 0x400);
    describe();
    EXPECT_EQ(count("  Region:"), 1);
    EXPECT_EQ(count("  Region: 1 enabled."), 1);
    EXPECT_EQ(count("Reserved"), 0);
    EXPECT_EQ(versionRow().dec, "v1.0");
    EXPECT_EQ(versionRow().address, "   ");
    EXPECT_FALSE(versionRow().editable);
    EXPECT_EQ(list.rows()[0].dec, "DVDVIDEO-VMG");
    mat[0x23] = 0x00;
    describe();
    EXPECT_EQ(count("  Region:"), 8);
    mat[0x23] = 0xFF;
    describe(true);
    EXPECT_EQ(count("  Region:"), 0);
    EXPECT_EQ(count("Reserved"), 3 + 1 + 1 + 4 + 1 + 6 + 14 + 8 + 1 + 4 + 1);
    ASSERT_EQ(node.children.size(), 1u);
    EXPECT_EQ(node.children[0]->caption, "First Play PGC");
    EXPECT_EQ(node.children[0]->pgcSlot, ID_MAT);
    EXPECT_EQ(node.children[0]->pgcOffset, 0x400u);
}

TEST_F(MatFixture, AttributeRecordsAreListedWhateverTheCountsSay) {
    std::uint8_t* mat = make("DVDVIDEO-VTS");
    mat[0x21] = 0x11;
    mat[0x203] = 1;
    const std::uint8_t audio[] = {0x04, 0x01, 'e', 'n', 0, 0, 0, 0};
    std::memcpy(mat + 0x204, audio, 8);
    mat[0x318 + 24 + 6] = 1;  // a multichannel record with a flag beyond the first seven bytes
    describe();
    EXPECT_EQ(count("Aud_"), 8);
    EXPECT_EQ(count("Sub-p_"), 32);
    EXPECT_EQ(count("Sub-p_32: Sub-picture stream attributes"), 1);
    EXPECT_EQ(count("0"), 8);  // "01. Multichannel extension" to "08. ..."
    EXPECT_EQ(count("  Audio attribute details:"), 1);
    EXPECT_EQ(count("  Sub-picture attribute details:"), 0);
    EXPECT_EQ(count("    ACH"), 0);
    EXPECT_EQ(count("  Video attribute details:"), 2);
    EXPECT_EQ(versionRow().address, "[00000021] ");
    EXPECT_EQ(versionRow().hex, "[11]");
    table(ID_MAT).clear();  // absent: only its note
    ASSERT_EQ(describe().size(), 1u);
    EXPECT_EQ(list.rows()[0].description, "There is no VTSI_MAT table");
}

}  // namespace
}  // namespace navtab
