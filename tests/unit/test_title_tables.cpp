// The table describers on hand-built tables: the management tables, title search and chapter
// tables, and the tables lsdvd does not read (parental, title-set attributes, cell addresses,
// VOBU and time maps, text data) each with one entry and its damaged counts and start bytes.
#include <cstring>
#include <functional>

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

// The tables lsdvd does not read: each shows its entries, and no count, end byte or start byte
// takes it outside its buffer. Each case fills a 2048-byte table, counts the rows that hold
// `part` and reads one column of one row.
struct OtherTable {
    const char* name;
    int id;
    std::function<void(test::TableFixture&)> fill;
    const char* part;
    long rows;
    const char* label = nullptr;
    std::string FieldRow::*column = nullptr;
    const char* shown = nullptr;
};

using AddressTables = test::TableFixture;

TEST_F(AddressTables, OtherTablesShowTheirEntriesAndStayInsideTheirBuffer) {
    using T = test::TableFixture;
    const auto all = [](T& t, std::uint32_t from, std::uint32_t value) {
        for (std::uint32_t p = from; p < 2048; p += 4) put32(t.at(p), value);
    };
    // clang-format off
    const OtherTable cases[] = {
        {"parental masks of the VMG and 3 title sets; a country whose block is outside",
         ID_VMG_PTL_MAIT, [](T& t) {
             put16(t.at(0), 2), put16(t.at(2), 3), put16(t.at(12), 24), put16(t.at(20), 0x900);
             for (std::uint16_t j = 0; j < 4; ++j) put16(t.at(24 + 2 * j), 0x100 + j);
         }, "    Parental mask for Parental Level 1 in VTS ", 4,
         "    Parental mask for Parental Level 1 in VTS 3", &FieldRow::hex, "[0103]"},
        {"parental counts of 65535", ID_VMG_PTL_MAIT,
         [](T& t) { put16(t.at(0), 0xFFFF), put16(t.at(2), 0xFFFF); }, "    Parental mask", 2048 / 2},
        {"title set attributes: 40 sub-pictures in 32 slots, a record outside", ID_VMG_VTS_ATRT,
         [](T& t) {
             put16(t.at(0), 2), put32(t.at(8), 16), put32(t.at(12), 0x9000);
             *t.at(16 + 0x0B) = 2, *t.at(16 + 0x0C) = 0x04, *t.at(16 + 0x0D) = 0xC1;
             *t.at(16 + 0x15D) = 40;
         }, "    VTS Title Sub-picture stream ", 32,
         "    VTS Menu Audio_1 attributes", &FieldRow::hex, "[04 c1 00 00 00 00 00 00 ]"},
        {"65535 title set records, all at byte 16", ID_VMG_VTS_ATRT,
         [&](T& t) { put16(t.at(0), 0xFFFF), all(t, 8, 16); }, "    VTS ", 2048 / 6},
        {"cells up to the end byte whatever the VOB count", ID_VTS_C_ADT,
         [](T& t) { put16(t.at(0), 7), put32(t.at(4), 31), *t.at(22) = 2, put32(t.at(28), 213); },
         ". Cell: End sector", 2, "  2. Cell: End sector", &FieldRow::dec, "213"},
        {"a cell end byte past the buffer", ID_VMGM_C_ADT,
         [](T& t) { put32(t.at(4), 0xFFFFFFFF); }, ". Cell: End sector", 170},
        {"VOBU starts below the end byte", ID_VTS_VOBU_ADMAP,
         [](T& t) { put32(t.at(0), 11), put32(t.at(8), 46), put32(t.at(12), 99); },
         "  VOBU_", 2, "  VOBU_2: start sector", &FieldRow::dec, "46"},
        {"a VOBU end byte past the buffer", ID_VTSM_VOBU_ADMAP,
         [](T& t) { put32(t.at(0), 0xFFFFFFFF); }, "  VOBU_", 2048 / 4 - 1},
        {"time maps: a discontinuity shows its sector without the flag", ID_VTS_TMAPTI, [](T& t) {
             put16(t.at(0), 2), put32(t.at(8), 16), put32(t.at(12), 32);
             *t.at(16) = 1, put16(t.at(18), 3), put32(t.at(20), 0x80001234), put32(t.at(24), 5000);
             put32(t.at(28), 0xFFFFFFFF), *t.at(32) = 2, put16(t.at(34), 1), put32(t.at(36), 7);
         }, "Entry ", 4, "        Discontinuity Entry 1: at sector", &FieldRow::dec, "4660"},
        {"65535 time maps, all at byte 8", ID_VTS_TMAPTI,
         [&](T& t) { put16(t.at(0), 0xFFFF), all(t, 12, 8), put32(t.at(8), 0xFFFFFFF0); },
         "Entry ", 2048 / 4},
    };
    // clang-format on
    for (const OtherTable& c : cases) {
        SCOPED_TRACE(c.name);
        table(c.id);
        c.fill(*this);
        describe();
        EXPECT_EQ(std::count_if(list.rows().begin(), list.rows().end(),
                                [&](const FieldRow& r) {
                                    return r.description.find(c.part) != std::string::npos;
                                }),
                  c.rows);
        if (c.label != nullptr) {
            EXPECT_EQ(row(c.label).*c.column, c.shown);
        }
    }
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

// The text data manager: two languages, the second block outside the table; three items of the
// first, the last one's text running into the buffer's end.
using TextData = test::TableFixture;

TEST_F(TextData, ItemTextsStayInsideTheTableAndAreNoFormats) {
    table(ID_VMG_TXTDT_MG);
    *at(0x0F) = 2;
    put32(at(0x18), 0x24), put32(at(0x20), 0xFFFFFFF0), put16(at(0x24 + 0xCC), 3);
    const std::pair<std::uint8_t, std::uint16_t> items[] = {
        {0x01, 0}, {0x02, 0x1C}, {0xFF, 2045 - 0x24 - 0xCC}};
    for (std::size_t e = 0; e < 3; ++e)
        *at(0x24 + 0xD0 + 4 * e) = items[e].first, put16(at(0x24 + 0xD2 + 4 * e), items[e].second);
    std::memcpy(at(0x24 + 0xE8), "100% %s %n\tmore", 15);  // the Title's text
    std::memcpy(at(2045), "xyz", 3);
    describe();
    EXPECT_EQ(row("    Title: ", true).dec, "100% %s %n");
    EXPECT_EQ(row("    : ", true).dec, "xyz");  // code 0xFF has no name; its text stops at the end
    EXPECT_EQ(count("  Text data for Language_2"), 1);
    EXPECT_EQ(count("    Language_2:"), 0);
    put32(at(0x20), 0x24), put16(at(0x24 + 0xCC), 0xFFFF);  // both blocks: 65535 items
    const auto& r = describe();
    EXPECT_EQ(std::count_if(r.begin(), r.end(), [](const FieldRow& x) { return x.length == 4; }),
              2048 / 4);
}

}  // namespace
}  // namespace navtab
