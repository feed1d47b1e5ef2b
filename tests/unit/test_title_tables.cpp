// The title search, chapter, parental and title-set attribute tables, on hand-built tables.
#include "unit/table_fixture.h"

namespace navtab {
namespace {

using TitleTables = test::TableFixture;

TEST_F(TitleTables, TitleEntriesShowTheirFieldsAndPlaybackTypeTexts) {
    table(ID_VMG_PTT_SRPT);
    put16(at(0), 3), *at(8) = 0x3C, *at(20) = 0x7C, *at(32) = 0x17;
    put16(at(10), 4), at(8)[7] = 2, put32(at(16), 0x12345);
    describe();
    EXPECT_EQ(row("Title_1: Number of PTTs (Chapters/PGs)").address, "[0000000a] ");
    EXPECT_EQ(row("Title_1: VTS_TTN (PGC)").dec, "2");
    EXPECT_EQ(row("Title_1: Title set starting sector").hex, "[00012345]");
    EXPECT_EQ(row("Title_1: Title playback type", true).description, "  type details:");
    EXPECT_EQ(row("  type details:", true).description,
              "    not one_sequential (random, shuffle, stills, loops, or more than one pgc)");
    EXPECT_EQ(row("    Jump/Link/Call commands in all places").dec, "0");
    EXPECT_EQ(count("    one_sequential_pgc"), 1);  // title 2, whose commands are "invalid"
    EXPECT_EQ(count("    Jump/Link/Call commands invalid"), 1);
    EXPECT_EQ(row("    Jump/Link/Call commands only in pre/post", true).dec, "yes");  // title 3
    EXPECT_EQ(list.rows().back().description, "Title_3: Title set starting sector");
    put16(at(0), 0xFFFF);  // more titles than the buffer holds: the list stops at its end
    describe();
    EXPECT_EQ(count("Title_170: Title set starting sector"), 1);
    EXPECT_EQ(count("Title_171"), 0);
}

TEST_F(TitleTables, ChapterRunsEndAtTheNextUnitAndTheLastAtTheEndByte) {
    table(ID_PTT_SRPTI);
    put16(at(0), 2), put32(at(4), 35), put32(at(8), 16), put32(at(12), 24);
    for (std::uint16_t i = 0; i < 5; ++i) put16(at(16 + 4 * i), i + 1);
    describe();
    EXPECT_EQ(row("  TTU_1 PTTs:", true).description, "    PTT_1: Programm Chain number (PGCN)");
    EXPECT_EQ(row("    PTT_2: Programm number (PGN)", true).description, "  TTU_2 PTTs:");
    EXPECT_EQ(count("    PTT_"), 10);
    EXPECT_EQ(row("    PTT_1: Programm Chain number PGCN").dec, "3");
    EXPECT_EQ(list.rows().back().description, "    PTT_3: Programm number PG");
    EXPECT_EQ(list.rows().back().address, "[00000022] ");
    put32(at(8), 0x8000);  // the first unit starts outside the table: it has no chapters
    describe();
    EXPECT_EQ(row("  TTU_1 PTTs:", true).description, "  TTU_2 PTTs:");
    EXPECT_EQ(count("    PTT_"), 6);
}

TEST_F(TitleTables, DamagedChapterTablesStayInsideTheirBuffer) {
    table(ID_PTT_SRPTI);
    put16(at(0), 3), put32(at(4), 0xFFFFFFFF);
    put32(at(8), 8), put32(at(12), 2044), put32(at(16), 8);
    describe();
    EXPECT_EQ(count("    PTT_"), 2 * 2048 / 4);
    put16(at(0), 0xFFFF);  // start bytes beyond the buffer are neither shown nor followed
    describe();
    EXPECT_EQ(count("  TTU_"), 2 * (2048 - 8) / 4);
}

TEST_F(TitleTables, ParentalMasksPerCountryForTheVmgAndEveryTitleSet) {
    table(ID_VMG_PTL_MAIT);
    put16(at(0), 2), put16(at(2), 3);
    std::copy_n("us", 2, at(8)), put16(at(12), 24);
    std::copy_n("de", 2, at(16)), put16(at(20), 0x900);  // its block lies outside the table
    for (std::uint16_t j = 0; j < 4; ++j) put16(at(24 + 2 * j), 0x100 + j);
    describe();
    EXPECT_EQ(row("  Country_2: Country Code (ISO-?]").dec, "de");
    EXPECT_EQ(count("    Parental mask for Parental Level 1 in VTS "), 4);
    EXPECT_EQ(row("    Parental mask for Parental Level 1 in VTS 3").hex, "[0103]");
    EXPECT_EQ(row("    Parental mask for Parental Level 1 in VTS 0").address, "[00000018] ");
    EXPECT_EQ(count("  Country_1: Reserved"), 0);
    describe(true);
    EXPECT_EQ(count("  Country_1: Reserved"), 2);
    put16(at(0), 0xFFFF), put16(at(2), 0xFFFF);
    describe();
    EXPECT_EQ(count("    Parental mask"), 2048 / 2);
}

TEST_F(TitleTables, TitleSetAttributesListAsManyRecordsAsTheCountsSayAndRoomAllows) {
    table(ID_VMG_VTS_ATRT);
    put16(at(0), 2), put32(at(8), 16), put32(at(12), 0x9000);
    std::uint8_t* vts = at(16);
    vts[0x0B] = 2, vts[0x0C] = 0x04, vts[0x0D] = 0xC1;
    vts[0x5D] = 1, vts[0x10B] = 255, vts[0x15D] = 40;
    describe();
    EXPECT_EQ(count("    VTS Menu Audio_"), 2);
    EXPECT_EQ(row("    VTS Menu Audio_1 attributes").hex, "[04 c1 00 00 00 00 00 00 ]");
    EXPECT_EQ(row("    VTS Menu Audio_1 attributes").address, "[0000001c] ");
    EXPECT_EQ(count("    VTS Menu Sub-picture stream "), 1);
    EXPECT_EQ(count("    VTS Title Audio_"), 8);
    EXPECT_EQ(count("    VTS Title Sub-picture stream "), 32);
    EXPECT_EQ(count("  Audio attribute details:"), 0);
    EXPECT_EQ(count("  VTS_2:"), 1);  // its record starts outside the table
    EXPECT_EQ(count("  VTS_1: Reserved"), 0);
    describe(true);
    EXPECT_EQ(count("  VTS_1: Reserved"), 4);
    put16(at(0), 0xFFFF);
    for (std::uint32_t p = 8; p < 2048; p += 4) put32(at(p), 16);
    describe();
    EXPECT_EQ(count("  VTS_510: Attribute start byte"), 1);
    EXPECT_EQ(count("    VTS "), 2048 / 6);
}

}  // namespace
}  // namespace navtab
