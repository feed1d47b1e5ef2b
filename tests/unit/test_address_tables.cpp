// The cell address tables, VOBU address maps and the time map table, on hand-built tables.
#include "unit/table_fixture.h"

namespace navtab {
namespace {

using AddressTables = test::TableFixture;

TEST_F(AddressTables, CellEntriesRunUpToTheEndByteWhateverTheVobCount) {
    const std::tuple<int, const char*, const char*> tables[] = {
        {ID_VMGM_C_ADT, "Number of VOBs (VOB ID's) in VMGM_VOBS", "End byte of VMGM_C_ADT table"},
        {ID_VTSM_C_ADT, "Number of VOBs in VTSM_VOBS", "End byte of VTSM_C_ADT table"},
        {ID_VTS_C_ADT, "Number of VOBs in VTS_VOBS", "End byte of VTS_C_ADT table"}};
    for (const auto& [id, vobs, end] : tables) {
        table(id);
        put16(at(0), 7), put32(at(4), 31), *at(22) = 2, put32(at(28), 213);
        describe();
        EXPECT_EQ(row(vobs).dec, "7");
        EXPECT_EQ(row(end).dec, "31");
        EXPECT_EQ(count("  1. Cell: "), 4);  // the reserved byte is hidden
        EXPECT_EQ(row("  2. Cell: Cell ID").address, "[00000016] ");
        EXPECT_EQ(row("  2. Cell: End sector").dec, "213");
        EXPECT_EQ(count("  3. Cell"), 0);
    }
    EXPECT_EQ(describe(true).size(), 3u + 2 * 5);
    put32(at(4), 8);
    EXPECT_EQ(describe(true).size(), 3u);
    put32(at(4), 0xFFFFFFFF);  // an end byte beyond the buffer: entries stop at its end
    describe();
    EXPECT_EQ(count("  170. Cell: End sector"), 1);
    EXPECT_EQ(count("  171. Cell"), 0);
}

TEST_F(AddressTables, VobuMapsListEveryStartSectorBelowTheEndByte) {
    table(ID_VTS_VOBU_ADMAP);
    put32(at(0), 11), put32(at(8), 46), put32(at(12), 99);
    describe();
    EXPECT_EQ(row("End byte of VTS_VOBU_ADMAP", true).description, " number of VOBU's: 2");
    EXPECT_EQ(row("  VOBU_2: start sector").dec, "46");
    EXPECT_EQ(row("  VOBU_2: start sector").address, "[00000008] ");
    EXPECT_EQ(list.rows().size(), 4u);
    put32(at(0), 0xFFFFFFFF);
    describe();
    EXPECT_EQ(row(" number of VOBU's: 1073741823").kind, kFieldNote);
    EXPECT_EQ(count("  VOBU_"), 2048 / 4 - 1);
    table(ID_VTSM_VOBU_ADMAP);
    put32(at(0), 4);
    ASSERT_EQ(describe().size(), 1u);
    EXPECT_EQ(list.rows()[0].description, "End byte of VTSM_VOBU_ADMAP");
    table(ID_VMGM_VOBU_ADMAP);
    put32(at(0), 8);
    describe();
    EXPECT_EQ(row("End byte of VMGM_VOBU_ADMAP", true).description, "  VOBU_1: start sector");
}

TEST_F(AddressTables, TimeMapsShowDiscontinuitiesWithoutTheirFlag) {
    table(ID_VTS_TMAPTI);
    put16(at(0), 2), put32(at(8), 16), put32(at(12), 32);
    *at(16) = 1, put16(at(18), 3);
    put32(at(20), 0x80001234), put32(at(24), 5000), put32(at(28), 0xFFFFFFFF);
    *at(32) = 2, put16(at(34), 1), put32(at(36), 7);
    describe();
    const FieldRow& jump = row("        Discontinuity Entry 1: at sector");
    EXPECT_EQ(jump.dec, "4660");
    EXPECT_EQ(jump.hex, "[80001234]");
    EXPECT_EQ(jump.address, "[00000014] ");
    EXPECT_EQ(row("        Entry 2: at sector").dec, "5000");
    EXPECT_EQ(row("        Discontinuity Entry 3: at sector").dec, "2147483647");
    EXPECT_EQ(row("  Time map 2: start byte", true).dec, "2");
    EXPECT_EQ(row("        Entry 1: at sector").dec, "7");  // the one entry of map 2
    EXPECT_EQ(count("    Reserved"), 0);
    describe(true);
    EXPECT_EQ(count("    Reserved"), 2);
}

TEST_F(AddressTables, DamagedTimeMapsStayInsideTheTable) {
    table(ID_VTS_TMAPTI);
    put16(at(0), 0xFFFF);
    for (std::uint32_t p = 12; p < 2048; p += 4) put32(at(p), 8);
    put32(at(8), 0xFFFFFFF0);
    describe();
    EXPECT_EQ(count("  Time map "), (2048 - 8) / 4);
    EXPECT_EQ(count("    Time unit (in seconds)"), (2048 - 8) / 4 - 1);
    EXPECT_EQ(count("        Entry"), 2048 / 4);
}

TEST_F(AddressTables, EveryAbsentTableShowsOnlyItsNote) {
    for (int id : {ID_VMG_PTT_SRPT, ID_PTT_SRPTI, ID_VMG_PTL_MAIT, ID_VMG_VTS_ATRT, ID_VMG_TXTDT_MG,
                   ID_VMGM_C_ADT, ID_VTSM_C_ADT, ID_VTS_C_ADT, ID_VMGM_VOBU_ADMAP,
                   ID_VTSM_VOBU_ADMAP, ID_VTS_VOBU_ADMAP, ID_VTS_TMAPTI}) {
        table(id).clear();
        ASSERT_EQ(describe().size(), 1u);
        std::string name(ifoTableName(id).substr(3));  // "ID_VTS_C_ADT" -> "VTS_C_ADT"
        if (id == ID_PTT_SRPTI) name = "VTS_PTT_SRPT";
        EXPECT_EQ(list.rows()[0].description, "There is no " + name + " table");
    }
}

}  // namespace
}  // namespace navtab
