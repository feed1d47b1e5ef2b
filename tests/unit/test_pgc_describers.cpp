// Program chain records, the tables that point to them and the file overviews (running
// positions, angles, VOB ids, stream ids), on hand-built bytes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cstring>

#include "core/bytes.h"
#include "format/bcd_time.h"
#include "format/describe.h"
#include "format/overview.h"

namespace navtab {
namespace {

using ::testing::HasSubstr;

using Rows = std::vector<FieldRow>;

std::vector<std::string> values(const Rows& rows, const std::string& description) {
    std::vector<std::string> out;
    for (const auto& r : rows)
        if (r.description == description) out.push_back(r.dec);
    return out;
}

bool has(const Rows& rows, const std::string& description) {
    return !values(rows, description).empty();
}

std::vector<std::string> captions(const TreeNode& node) {
    std::vector<std::string> out;
    for (const auto& c : node.children) out.push_back(c->caption);
    return out;
}

// Program chains in a 4096-byte title PGC table, and the PGC tables themselves.
struct PgcFixture : ::testing::Test {
    PgcFixture() { ifo.table[ID_VTS_PGCITI].assign(4096, 0); }
    std::uint8_t* at(std::uint32_t offset) { return ifo.table[ID_VTS_PGCITI].data() + offset; }
    Rows shown(TreeNode& node, bool reserved = false) {
        FieldList list;
        list.showReserved = reserved;
        EXPECT_EQ(DescribeNode(ifo, list, node), DescribeResult::Shown);
        return list.rows();
    }
    Rows describePgc(std::uint32_t offset, bool reserved = false) {
        TreeNode node;
        node.kind = NodeKind::Pgc;
        node.pgcSlot = ID_VTS_PGCITI;
        node.pgcOffset = offset;
        return shown(node, reserved);
    }
    Rows show(int id, TreeNode& node) {
        node.kind = NodeKind::Table;
        node.tableId = id;
        return shown(node);
    }
    void makeUnitTable(int id, std::vector<std::uint8_t> categories) {
        auto& t = ifo.table[id];
        t.assign(2048, 0);
        put16(&t[0], 1);
        t[8] = 'e', t[9] = 'n', t[11] = 0x88;
        put32(&t[12], 16);  // the LU starts at byte 16
        put16(&t[16], static_cast<std::uint16_t>(categories.size()));
        for (std::size_t m = 0; m < categories.size(); ++m) {
            t[24 + 8 * m] = categories[m];
            put32(&t[24 + 8 * m + 4], static_cast<std::uint32_t>(0x100 * (m + 1)));
        }
    }
    ifo_t ifo;
};

TEST(BcdTime, TextShowsDigitsAndFrameRate) {
    const std::pair<std::array<std::uint8_t, 4>, const char*> cases[] = {
        {{0x01, 0x23, 0x45, 0xD9}, "01:23:45.19 / 30 fps"},
        {{0x01, 0x23, 0x45, 0x59}, "01:23:45.19 / 25 fps"},
        {{0x00, 0x00, 0x00, 0x19}, "00:00:00.19 / illegal fps"},
        {{0x00, 0x00, 0x00, 0x99}, "00:00:00.19 / illegal fps"}};
    for (const auto& [time, text] : cases) EXPECT_EQ(FormatBcdTime(time.data()), text);
}

TEST_F(PgcFixture, HeaderOperationsModesAndStreamControl) {
    const std::uint32_t pgc =
        0x100;  // a PGC that does not start the table: addresses count from it
    put32(at(pgc + 0x08), 0x80000001);
    at(pgc + 0x0C)[0] = 0x83;
    at(pgc + 0x1C)[0] = 0x81, at(pgc + 0x1D)[0] = 0x02, at(pgc + 0x1E)[0] = 0x03,
             at(pgc + 0x1F)[0] = 0x24;
    at(pgc + 0xA2)[0] = 0xFF;
    at(pgc + 0xA3)[0] = 0x85;
    Rows rows = describePgc(pgc);
    EXPECT_EQ(values(rows, "       operation"),
              (std::vector<std::string>{"Time play or search", "UnkownOp32"}));
    EXPECT_EQ(values(rows, "    Audio stream 1 uses stream nr.: "), std::vector<std::string>{"3"});
    EXPECT_FALSE(has(rows, "    Audio stream 2 uses stream nr.: "));
    EXPECT_EQ(values(rows, "    Sub-picture stream 1 uses stream nr.(pan&scan): "),
              std::vector<std::string>{"4"});
    EXPECT_EQ(values(rows, "    Sub-picture stream 1 uses stream nr.(wide): "),
              std::vector<std::string>{"2"});
    EXPECT_TRUE(has(rows, "    Still time = infinite"));
    EXPECT_TRUE(has(rows, "shuffle, program count =5"));
    EXPECT_EQ(rows[1].address, "[00000002] ");  // "  Number of Programs", reserved word hidden
    EXPECT_FALSE(has(rows, "  Reserved"));
    EXPECT_TRUE(has(describePgc(pgc, true), "  Reserved"));
    EXPECT_TRUE(has(rows, "There is no Cell Position Information Table"));
    at(pgc + 0xA3)[0] = 0x05;
    EXPECT_TRUE(has(describePgc(pgc), "random, program count =5"));
    at(pgc + 0xA3)[0] = 0;
    EXPECT_TRUE(has(describePgc(pgc), "    PG Playback mode = sequential"));
}

TEST_F(PgcFixture, SubTablesCommandsProgramsAndAngleCells) {
    const std::uint32_t pgc = 0;
    at(pgc + 2)[0] = 2;  // programs
    at(pgc + 3)[0] = 3;  // cells
    put16(at(pgc + 0xE4), 0xEC);
    put16(at(pgc + 0xE6), 0x10C);
    put16(at(pgc + 0xE8), 0x110);
    put16(at(pgc + 0xEA), 0x158);
    put16(at(0xEC), 1), put16(at(0xEE), 0), put16(at(0xF0), 1), put16(at(0xF2), 23);
    at(0x10C)[0] = 1, at(0x10D)[0] = 3;
    at(0x110)[0] = 0x50;  // first cell of an angle block
    at(0x110 + 24)[0] = 0x90;
    at(0x110 + 48)[0] = 0xD2;  // last of the block, with an STC discontinuity
    at(0x110 + 1)[0] = 0x40;
    put16(at(0x158 + 4), 2);
    at(0x158 + 7)[0] = 5;
    Rows rows = describePgc(pgc);
    EXPECT_TRUE(has(rows, "    1.Cell Command"));
    EXPECT_FALSE(has(rows, "    2.Pre Command"));
    EXPECT_EQ(values(rows, "    Program_2: Entry cell number "), std::vector<std::string>{"3"});
    EXPECT_EQ(values(rows, "    type"),
              (std::vector<std::string>{"first of angle block", "middle of angle block",
                                        "last of angle block"}));
    EXPECT_EQ(values(rows, "    STC discontinuity:"),
              (std::vector<std::string>{"no", "no", "yes"}));
    EXPECT_EQ(values(rows, "    restricted:")[0], "yes (stops trick play)");
    EXPECT_EQ(values(rows, "  Cell_2: has VOB ID"), std::vector<std::string>{"2"});
    EXPECT_EQ(values(rows, "  Cell_2: has Cell ID"), std::vector<std::string>{"5"});
}

TEST_F(PgcFixture, DamagedCountsAndOffsetsStopAtTheBuffer) {
    const std::uint32_t pgc = 4096 - 0x100;
    at(pgc + 2)[0] = 255, at(pgc + 3)[0] = 255;
    put16(at(pgc + 0xE4), 0xF0);  // the command table's counts sit on the last bytes
    put16(at(pgc + 0xF0), 0xFFFF), put16(at(pgc + 0xF2), 0xFFFF), put16(at(pgc + 0xF4), 0xFFFF);
    put16(at(pgc + 0xE6), 0xFF);
    put16(at(pgc + 0xE8), 0xFFFF);
    put16(at(pgc + 0xEA), 0xFFF0);
    Rows rows = describePgc(pgc);
    EXPECT_TRUE(has(rows, "    1.Pre Command"));
    EXPECT_FALSE(has(rows, "    2.Pre Command"));  // only one command fits before the end
    EXPECT_FALSE(has(rows, "    Program_2: Entry cell number "));
    EXPECT_FALSE(has(rows, "  Cell_1: Cell type (Angle)"));
    rows = describePgc(5000);
    EXPECT_TRUE(has(rows, "PGC (program chain):"));
    EXPECT_FALSE(has(rows, "  Number of Programs"));
}

TEST_F(PgcFixture, MenuTypesTreeLabelsAndNoDuplicateNodes) {
    makeUnitTable(ID_VTSM_PGCI_UT, {0x83, 0x80, 0x87});
    TreeNode node;
    Rows rows = show(ID_VTSM_PGCI_UT, node);
    show(ID_VTSM_PGCI_UT, node);
    EXPECT_EQ(captions(node),
              (std::vector<std::string>{"LU_1 (English) PGC-Menu_1 (Root Menu)",
                                        "LU_1 (English) PGC-Menu_2 ",
                                        "LU_1 (English) PGC-Menu_3 (Chapter Menu)"}));
    EXPECT_EQ(node.children[1]->pgcOffset, 16u + 0x200);
    EXPECT_EQ(values(rows, "          Menu Type:"),
              (std::vector<std::string>{"root", "entry only", "PTT (chapter)"}));
}

TEST_F(PgcFixture, TitlePgcTableAndDamagedCounts) {
    auto& t = ifo.table[ID_VTS_PGCITI];
    t.assign(2048, 0);
    put16(&t[0], 0xFFFF);  // far more search pointers than the table holds
    t[8] = 0x81;
    put32(&t[12], 0x7F0);
    put32(&t[20], 0x900);  // a PGC past the table: no node for it
    TreeNode node;
    Rows rows = show(ID_VTS_PGCITI, node);
    EXPECT_EQ(values(rows, "      Title number:").size(), 255u);  // (2048 - 8) / 8
    ASSERT_GE(node.children.size(), 1u);
    EXPECT_EQ(node.children[0]->caption, "VTS_PGC_1");
    EXPECT_EQ(node.children[0]->pgcOffset, 0x7F0u);
    EXPECT_EQ(node.children[1]->caption, "VTS_PGC_3");
    makeUnitTable(ID_VTSM_PGCI_UT, {0x83});
    put32(&ifo.table[ID_VTSM_PGCI_UT][12], 0xFFFFFFF0);
    TreeNode menus;
    rows = show(ID_VTSM_PGCI_UT, menus);
    EXPECT_TRUE(has(rows, " [LU 1] Menu's:"));
    EXPECT_FALSE(has(rows, "        Menu_1: VTSM_PGC Category Menu mask"));
    EXPECT_TRUE(menus.children.empty());
    makeUnitTable(ID_VTSM_PGCI_UT, std::vector<std::uint8_t>(200, 0x83));
    auto& ut = ifo.table[ID_VTSM_PGCI_UT];
    put16(&ut[0], 200);
    for (int n = 1; n < 200; ++n) put32(&ut[8 + 8 * n + 4], 16);
    TreeNode overlapping;
    show(ID_VTSM_PGCI_UT, overlapping);
    EXPECT_LE(overlapping.children.size(), 2048u / 8);
    EXPECT_GE(overlapping.children.size(), 200u);
}

struct Cell {
    std::uint8_t category;
    std::uint8_t frameByte;  // seconds are 0 unless `seconds` says otherwise
    std::uint16_t vob;
    std::uint8_t seconds = 0;
};

struct OverviewFixture : ::testing::Test {
    OverviewFixture() {
        auto& mat = ifo.table[ID_MAT];
        mat.assign(2048, 0);
        std::memcpy(mat.data(), "DVDVIDEO-VTS", 12);
        ifo.table[ID_VTS_PGCITI].assign(4096, 0);
    }
    void addPgc(int n, const std::vector<Cell>& cells, const std::vector<std::uint8_t>& programs,
                std::uint16_t audio2Control = 0) {
        auto& t = ifo.table[ID_VTS_PGCITI];
        put16(&t[0], static_cast<std::uint16_t>(std::max<int>(be16(&t[0]), n)));
        const std::uint32_t pgc = 0x200 + 0x400 * static_cast<std::uint32_t>(n - 1);
        put32(&t[8 + 8 * (n - 1) + 4], pgc);
        std::uint8_t* p = &t[pgc];
        p[2] = static_cast<std::uint8_t>(programs.size());
        p[3] = static_cast<std::uint8_t>(cells.size());
        put16(p + 0x0E, audio2Control);
        put16(p + 0xE6, 0xEC);
        put16(p + 0xE8, 0x100);
        put16(p + 0xEA, 0x300);
        std::copy(programs.begin(), programs.end(), p + 0xEC);
        for (std::size_t c = 0; c < cells.size(); ++c) {
            std::uint8_t* e = p + 0x100 + 24 * c;
            e[0] = cells[c].category;
            e[6] = cells[c].seconds;
            e[7] = cells[c].frameByte;
            put16(p + 0x300 + 4 * c, cells[c].vob);
            p[0x300 + 4 * c + 3] = static_cast<std::uint8_t>(c + 1);
        }
    }
    std::vector<std::string> overview() {
        TreeNode root;
        FieldList list;
        DescribeContext ctx{ifo, list, root, &angles};
        ShowOverview(ctx);
        std::vector<std::string> lines;
        for (const auto& r : list.rows()) lines.push_back(r.description);
        rows = list.rows();
        return lines;
    }
    static std::vector<std::string> matching(const std::vector<std::string>& lines,
                                             const std::string& part) {
        std::vector<std::string> out;
        for (const auto& l : lines)
            if (l.find(part) != std::string::npos) out.push_back(l);
        return out;
    }
    ifo_t ifo;
    AngleTable angles;
    std::vector<FieldRow> rows;
};

TEST_F(OverviewFixture, AngleBlocksAndVobIds) {
    addPgc(1,
           {{0x00, 0x40, 1, 0x01},
            {0x50, 0x40, 2, 0x02},
            {0x90, 0x40, 3, 0x02},
            {0xD0, 0x40, 4, 0x02},
            {0x00, 0x40, 1, 0x01}},
           {1, 2, 5});
    auto& ptt = ifo.table[ID_PTT_SRPTI];
    ptt.assign(2048, 0);
    put16(&ptt[0], 1), put32(&ptt[4], 19), put32(&ptt[8], 12);
    put16(&ptt[12], 1), put16(&ptt[14], 1);
    put16(&ptt[16], 1), put16(&ptt[18], 3);
    EXPECT_EQ(ChapterOfProgram(ifo, 1, 3), 2);
    EXPECT_EQ(ChapterOfProgram(ifo, 1, 2), 0);
    auto lines = overview();
    auto cells = matching(lines, "time:");
    ASSERT_EQ(cells.size(), 5u);
    EXPECT_EQ(cells[0],
              "  [Ch 01] [Pg 01] [Cell 01]          : time: 00:00:01.00 / 25 fps     "
              "[Pos: 00:00:01.00] [Frames: 25]");
    EXPECT_EQ(cells[1].substr(0, 39), "          [Pg 02] [Cell 02] (Angle 1): ");
    EXPECT_THAT(cells[2], HasSubstr("(Angle 2)"));
    // Later angles of a block do not move the running position on.
    EXPECT_THAT(cells[3],
                HasSubstr("(Angle 3): time: 00:00:02.00 / 25 fps     [Pos: 00:00:03.00]"));
    EXPECT_THAT(cells[4],
                HasSubstr("[Ch 02] [Pg 03] [Cell 05]          : time: 00:00:01.00 / 25 fps     "
                          "[Pos: 00:00:04.00] [Frames: 100]"));
    EXPECT_EQ(matching(lines, "PGC_1 ")[0],
              "PGC_1 (program chain):     (Programs: 3) (Cells: 5) (uses VOB-IDs: 1,2,3,4,1)");
    EXPECT_EQ(angles.highestAngle, 3);
    EXPECT_EQ(angles.vobIds[0], std::vector<std::uint32_t>{2});
    EXPECT_EQ(angles.vobIds[2], std::vector<std::uint32_t>{4});
    overview();  // a second look lists nothing twice
    EXPECT_EQ(angles.vobIds[1], std::vector<std::uint32_t>{3});
}

TEST_F(OverviewFixture, StreamsWithTheirIds) {
    auto& mat = ifo.table[ID_MAT];
    const std::uint8_t ac3fr[] = {0x04, 0x01, 'f', 'r', 0, 0, 0, 0};
    std::memcpy(&mat[0x204 + 8], ac3fr, 8);
    const std::uint8_t subDe[] = {0x01, 0, 'd', 'e', 0, 0};
    std::memcpy(&mat[0x256], subDe, 6);
    addPgc(1, {{0x00, 0x40, 1}}, {1}, 0x8100);
    addPgc(2, {{0x00, 0x40, 1}}, {1}, 0x8200);
    auto& pgcs = ifo.table[ID_VTS_PGCITI];
    pgcs[0x200 + 0x1C] = 0x80;  // sub-picture stream 1 available, stream number 0 for 4:3
    auto lines = overview();
    auto audio = matching(lines, "  Audio ");
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(audio[0], "  Audio 2: Français (Dolby AC-3 2ch 48Kbps 16bps ) (ID: 0x81,0x82)");
    auto sub = matching(lines, "SubPicture");
    ASSERT_EQ(sub.size(), 1u);
    EXPECT_EQ(sub[0], "  SubPicture 1: Deutsch (2-bit rle ) (ID: 0x20)");
}

TEST_F(OverviewFixture, VmgStopsWhereATableIsMissing) {
    auto& mat = ifo.table[ID_MAT];
    std::memcpy(mat.data(), "DVDVIDEO-VMG", 12);
    ifo.table[ID_VTS_PGCITI].clear();
    mat[0x103] = 200;  // a damaged count: only the eight records there are
    mat[0x155] = 1;
    const auto lines = overview();
    ASSERT_EQ(lines.size(), 2u + 1 + 8 + 1 + 1);
    EXPECT_EQ(lines[0], "VMG Overview:");
    EXPECT_EQ(lines[2],
              "  Video: MPEG-1 720x480 (NTSC) (NTSC 525/60) (4:3) (pan-scan & letterboxed)");
    EXPECT_EQ(lines[10], "  Audio 8: Not Specified (Dolby AC-3 1ch 48Kbps 16bps )");
    EXPECT_EQ(lines[11], "  SubPicture 1: Not Specified (2-bit rle )");
    EXPECT_EQ(lines[12], "");
}

}  // namespace
}  // namespace navtab
