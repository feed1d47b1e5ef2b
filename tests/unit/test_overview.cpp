// The file overviews: running positions, angles, VOB ids, stream ids and what stops them early.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>

#include "core/bytes.h"
#include "format/overview.h"

namespace navtab {
namespace {

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

TEST_F(OverviewFixture, RunningPositionCarriesFramesAndCountsFrames) {
    addPgc(1, {{0x00, 0x40, 1, 0x01}, {0x00, 0x40, 1, 0x01}, {0x00, 0x40, 1, 0x01}}, {1});
    addPgc(2, {{0x00, 0x60, 1}, {0x00, 0x50, 1}}, {});
    auto lines = overview();
    auto cells = matching(lines, "time:");
    ASSERT_EQ(cells.size(), 5u);
    EXPECT_EQ(cells[0],
              "          [Pg 01] [Cell 01]          : time: 00:00:01.00 / 25 fps     "
              "[Pos: 00:00:01.00] [Frames: 25]");
    EXPECT_NE(cells[1].find("[Pos: 00:00:02.00] [Frames: 50]"), std::string::npos);
    EXPECT_EQ(cells[1].rfind("                  [Cell 02]", 0), 0u);
    EXPECT_NE(cells[2].find("[Pos: 00:00:03.00] [Frames: 75]"), std::string::npos);
    EXPECT_NE(cells[4].find("[Pos: 00:00:01.05] [Frames: 30]"), std::string::npos);
    auto pgcRow = std::find_if(rows.begin(), rows.end(), [](const FieldRow& r) {
        return r.description.rfind("PGC_2 ", 0) == 0;
    });
    ASSERT_NE(pgcRow, rows.end());
    EXPECT_EQ(pgcRow->description,
              "PGC_2 (program chain):     (Programs: 0) (Cells: 2) (uses VOB-IDs: 1)");
    EXPECT_EQ(pgcRow->data, (ByteRef{ID_VTS_PGCITI, 0x600}));
}

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
    EXPECT_EQ(cells[0].substr(0, 39), "  [Ch 01] [Pg 01] [Cell 01]          : ");
    EXPECT_EQ(cells[1].substr(0, 39), "          [Pg 02] [Cell 02] (Angle 1): ");
    EXPECT_NE(cells[2].find("(Angle 2)"), std::string::npos);
    EXPECT_NE(cells[3].find("(Angle 3)"), std::string::npos);
    EXPECT_EQ(cells[4].substr(0, 39), "  [Ch 02] [Pg 03] [Cell 05]          : ");
    EXPECT_NE(cells[3].find("[Pos: 00:00:03.00]"), std::string::npos);
    EXPECT_NE(cells[4].find("[Pos: 00:00:04.00]"), std::string::npos);
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

TEST(VmgOverview, StopsWhereATableIsMissing) {
    ifo_t ifo;
    ifo.table[ID_MAT].assign(2048, 0);
    std::memcpy(ifo.table[ID_MAT].data(), "DVDVIDEO-VMG", 12);
    ifo.table[ID_MAT][0x103] = 200;  // a damaged count: only the eight records there are
    ifo.table[ID_MAT][0x155] = 1;
    TreeNode root;
    FieldList list;
    DescribeContext ctx{ifo, list, root};
    ShowOverview(ctx);
    std::vector<std::string> lines;
    for (const auto& r : list.rows()) lines.push_back(r.description);
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
