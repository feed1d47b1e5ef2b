// The table describers on hand-built tables: the management tables, title search, chapter,
// parental and title-set attribute tables, cell address tables, VOBU maps, time maps and the
// text data manager, damaged counts and start bytes included.
#include <cstring>

#include "format/text_item_names.h"
#include "unit/table_fixture.h"

namespace navtab {
namespace {

using TitleTables = test::TableFixture;

TEST_F(TitleTables, TitleEntriesShowTheirFieldsAndPlaybackTypeTexts) {
    table(ID_VMG_PTT_SRPT);
    put16(at(0), 3), *at(8) = 0x3C, *at(20) = 0x7C, *at(32) = 0x17;
    put16(at(10), 4), at(8)[7] = 2, put32(at(16), 0x12345);
    describe();
    EXPECT_EQ(row("Title_1: Title set starting sector").hex, "[00012345]");
    EXPECT_EQ(row("  type details:", true).description,
              "    not one_sequential (random, shuffle, stills, loops, or more than one pgc)");
    EXPECT_EQ(count("    one_sequential_pgc"), 1);  // title 2, whose commands are "invalid"
    EXPECT_EQ(count("    Jump/Link/Call commands invalid"), 1);
    EXPECT_EQ(row("    Jump/Link/Call commands only in pre/post", true).dec, "yes");  // title 3
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
    EXPECT_EQ(row("    PTT_2: Programm number (PGN)", true).description, "  TTU_2 PTTs:");
    EXPECT_EQ(count("    PTT_"), 10);
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
    EXPECT_EQ(count("    Parental mask for Parental Level 1 in VTS "), 4);
    EXPECT_EQ(row("    Parental mask for Parental Level 1 in VTS 3").hex, "[0103]");
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
    EXPECT_EQ(count("    VTS Title Sub-picture stream "), 32);
    EXPECT_EQ(count("  VTS_2:"), 1);  // its record starts outside the table
    put16(at(0), 0xFFFF);
    for (std::uint32_t p = 8; p < 2048; p += 4) put32(at(p), 16);
    describe();
    EXPECT_EQ(count("  VTS_510: Attribute start byte"), 1);
    EXPECT_EQ(count("    VTS "), 2048 / 6);
}

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
    EXPECT_EQ(versionRow().dec, "v1.0");
    mat[0x23] = 0x00;
    describe();
    EXPECT_EQ(count("  Region:"), 8);
    mat[0x23] = 0xFF;
    describe(true);
    EXPECT_EQ(count("  Region:"), 0);
    EXPECT_EQ(count("Reserved"), 3 + 1 + 1 + 4 + 1 + 6 + 14 + 8 + 1 + 4 + 1);
    ASSERT_EQ(node.children.size(), 1u);
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
    EXPECT_EQ(count("0"), 8);  // "01. Multichannel extension" to "08. ..."
    EXPECT_EQ(count("  Audio attribute details:"), 1);
    EXPECT_EQ(count("  Sub-picture attribute details:"), 0);
    EXPECT_EQ(count("  Video attribute details:"), 2);
    EXPECT_EQ(versionRow().address, "[00000021] ");
    EXPECT_EQ(versionRow().hex, "[11]");
}

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
        EXPECT_EQ(row(vobs).dec + row(end).dec, "731");
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
    EXPECT_EQ(list.rows().size(), 4u);
    put32(at(0), 0xFFFFFFFF);
    describe();
    EXPECT_EQ(row(" number of VOBU's: 1073741823").kind, kFieldNote);
    EXPECT_EQ(count("  VOBU_"), 2048 / 4 - 1);
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
    EXPECT_EQ(row("        Discontinuity Entry 3: at sector").dec, "2147483647");
    EXPECT_EQ(row("        Entry 1: at sector").dec, "7");  // the one entry of map 2
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

struct TextData : test::TableFixture {
    TextData() {
        table(ID_VMG_TXTDT_MG);
        std::memcpy(at(0), "NAVTAB-TEST", 11);
        *at(0x0F) = 2;
        std::memcpy(at(0x14), "en", 2), put16(at(0x16), 3), put32(at(0x18), 0x24);
        std::memcpy(at(0x1C), "de", 2), put32(at(0x20), 0x200);
        put16(at(0x24 + 0xCC), 3);
        item(0, 0x01, 0);                         // Volume, no text
        item(1, 0x02, 0x1C);                      // Title, its text at block + 0xE8
        item(2, 0xFF, 2045 - 0x24 - 0xCC);        // a text that runs into the buffer's end
        std::memcpy(at(0x24 + 0xDC), "Film", 4);  // right after the entries
        std::memcpy(at(0x24 + 0xE8), "100% %s %n\tmore", 15);
        std::memcpy(at(2045), "xyz", 3);
    }
    void item(int e, std::uint8_t code, std::uint16_t textOffset) {
        *at(0x24 + 0xD0 + 4 * e) = code;
        put16(at(0x24 + 0xD2 + 4 * e), textOffset);
    }
};

TEST_F(TextData, LanguagesItemsAndTheirTexts) {
    describe();
    EXPECT_EQ(row("Language_2: language code").dec, "de");
    EXPECT_EQ(row("  Text data for Language_2: (Deutsch)").kind, kFieldNote);
    EXPECT_EQ(row("    Language_1: number of Entries").address, "[000000f0] ");
    EXPECT_EQ(row("    Title: ", true).description, "      text:");
    EXPECT_EQ(row("    Title: ", true).dec, "100% %s %n");
    EXPECT_EQ(row("    : ", true).dec, "xyz");  // code 0xFF has no name; its text stops at the end
    EXPECT_EQ(row("    Language_1: Movie Name").address, "[00000100] ");
    *at(0x0F) = 0;  // no languages: the header rows and the empty note
    EXPECT_EQ(describe().size(), 4u);
}

TEST_F(TextData, DamagedCountsAndStartBytesStayInsideTheTable) {
    put32(at(0x20), 0xFFFFFFF0);  // the second block starts outside the table
    describe();
    EXPECT_EQ(count("  Text data for Language_2"), 1);
    EXPECT_EQ(count("    Language_2:"), 0);
    put32(at(0x20), 0x24), put16(at(0x24 + 0xCC), 0xFFFF);
    const auto& r = describe();
    EXPECT_EQ(std::count_if(r.begin(), r.end(), [](const FieldRow& x) { return x.length == 4; }),
              2048 / 4);
    EXPECT_EQ(count("    Language_1: Movie Name"), 0);
}

// The item names become row labels, which are formats: none may hold a conversion.
TEST(TextItemNames, NoNameHoldsAConversion) {
    EXPECT_EQ(TextItemName(0x01), "Volume");
    for (int code = 0; code < 0xFF; ++code) {
        EXPECT_EQ(TextItemName(code).find('%'), std::string_view::npos) << code;
        EXPECT_LE(TextItemName(code).size(), 19u) << code;
    }
}

}  // namespace
}  // namespace navtab
