// The table rebuild of the VOB processing runs: in place on the sample discs it must give back
// the tables dvdauthor wrote; then left-out VOBUs, split cells, unsorted VOB ids, angle blocks,
// VOB id stripping and damaged tables.
#include <gtest/gtest.h>
#include <cstring>
#include <map>

#include "core/bytes.h"
#include "core/ifo_classes.h"
#include "unit/model_support.h"
#include "vob/table_rebuild.h"
#include "vob/title_vob_pass.h"
#include "vob/vob_files.h"
#include "vob/vob_id_renumber.h"
#include "vob/vobu_analysis.h"

namespace navtab::test {
namespace {

using namespace navtab::vob;

// A job that has analysed every sector of `files`, numbered from 0, as a run does that writes
// them unchanged (so each VOBU's lbn is its sector).
VobJob analyse(const std::vector<std::string>& files) {
    VobJob job;
    RecordingInteraction ui;
    EXPECT_EQ(ReadVobSectors({files, nullptr, nullptr}, ui,
                             [&](SectorBytes s) {
                                 AnalyseVobSector(job, s);
                                 ++job.sector;
                             }),
              VobPassResult::Done);
    return job;
}

// Where the rebuild differs from dvdauthor in the PGC table (offset, rebuilt byte, dvdauthor's):
// - 0x0A/0x02: a cell that begins another VOB id is marked seamless (0x08) besides the STC
//   discontinuity; dvdauthor marks only the latter (and on ntsc43 leaves cell 4 of PGC 1 at 0);
// - 0x40/0x41 (mixed0): a PGC's time is the sum of its cells', dvdauthor adds the audio that runs
//   past the last picture;
// - 0xC0/0xC1 (menus): a menu cell of 45045 + 46635 ticks counts 1 s 0 frames, dvdauthor rounds
//   the span up to 1 s 1 frame.
struct KnownDifference {
    std::size_t offset;
    std::uint8_t ours, dvdauthors;
};
const struct {
    const char *disc, *ifo;
    TableForm form;
    std::vector<KnownDifference> known;
    // clang-format off
} kInPlace[] = {
    {"ntsc43", "VTS_01_0.IFO", TableForm::Title, {{0x1A0, 0x0A, 2}, {0x1B8, 8, 0}, {0x2F6, 0x0A, 2}}},
    {"ntsc43", "VTS_02_0.IFO", TableForm::Title, {}},
    {"pal169", "VTS_01_0.IFO", TableForm::Title, {}},
    {"mixed0", "VTS_01_0.IFO", TableForm::Title,
     {{0x1F, 0x40, 0x41}, {0x148, 0x0A, 2}, {0x18F, 0x40, 0x41}, {0x286, 0x0A, 2}, {0x2B6, 0x0A, 2}}},
    {"ntsc43", "VTS_01_0.IFO", TableForm::Menu,
     {{0x145, 0xC0, 0xC1}, {0x267, 0xC0, 0xC1}, {0x3A9, 0xC0, 0xC1}, {0x4CB, 0xC0, 0xC1}}},
    {"ntsc43", "VIDEO_TS.IFO", TableForm::Menu, {{0x19D, 0xC0, 0xC1}}},
};
// clang-format on

// Every sector of the VOB files kept where it was: the rebuilt tables are dvdauthor's.
TEST(TableRebuild, InPlaceOnTheSamplesGivesDvdauthorsTables) {
    for (const auto& c : kInPlace) {
        const std::string path = sampleFile(c.disc, c.ifo);
        IfoHandle ifo = loadSample(path);
        const ifo_t before = *ifo;
        const bool title = c.form == TableForm::Title;
        const VobJob job = analyse(title ? titleVobPaths(path) : std::vector{*menuVobPath(path)});
        CellList cells = BuildCells(job);
        RebuildVobuAdmap(*ifo, job.vobus, c.form);
        RebuildCellAddressTable(*ifo, cells, c.form);
        RecordingInteraction ui;
        if (title) {
            EXPECT_EQ(RebuildPgcCells(*ifo, cells), "");
            EXPECT_TRUE(RemapTimeMapsByLbn(*ifo, job.vobus, ui));
        } else {
            UpdateMenuCellSectors(*ifo, cells);
        }
        EXPECT_TRUE(ui.messages.empty());
        const bool vmg = ifoKind(ifo.get()) == IfoKind::Vmg;
        const int pgcTable = title ? ID_VTS_PGCITI : vmg ? ID_VMGM_PGCI_UT : ID_VTSM_PGCI_UT;
        for (int id = 1; id < kIfoTableSlots; ++id) {
            SCOPED_TRACE(std::string(c.disc) + " " + c.ifo + " " + std::string(ifoTableName(id)));
            Bytes got = ifo->table[id];
            for (const KnownDifference& k :
                 id == pgcTable ? c.known : std::vector<KnownDifference>{}) {
                EXPECT_EQ(got.at(k.offset), k.ours) << k.offset;
                got.at(k.offset) = k.dvdauthors;
            }
            const auto [a, b] = std::mismatch(got.begin(), got.end(), before.table[id].begin(),
                                              before.table[id].end());
            EXPECT_TRUE(a == got.end() && b == before.table[id].end())
                << "first difference at " << (a - got.begin());
        }
    }
}

// mixed0 without its VOBU at sector 111 (the last of cell 1/2), every VOBU moved up to close the
// gap: lbn keeps where each stood.
TEST(TableRebuild, LeftOutVobusMoveTimeMapsAndCellsToTheirNewSectors) {
    const std::string path = sampleFile("mixed0", "VTS_01_0.IFO");
    IfoHandle ifo = loadSample(path);
    VobJob job = analyse(titleVobPaths(path));
    std::map<std::uint32_t, std::uint32_t> moved;  // old sector -> new
    VobuList kept;
    std::uint32_t next = 0;
    for (VobuInfo v : job.vobus) {
        if (v.sector == 111) continue;
        moved[v.sector] = next;
        v.sector = next;
        next += v.lastOffset + 1;
        kept.push_back(v);
    }
    job.vobus = kept;
    CellList cells = BuildCells(job);
    RebuildVobuAdmap(*ifo, job.vobus, TableForm::Title);
    RebuildCellAddressTable(*ifo, cells, TableForm::Title);
    ASSERT_EQ(RebuildPgcCells(*ifo, cells), "");
    RecordingInteraction ui;
    ASSERT_TRUE(RemapTimeMapsByLbn(*ifo, job.vobus, ui));

    // Title 1's map was 36, *111, 222, *297: the entry for the VOBU left out names the next one.
    // Title 2 plays VOB 2 twice (222, 297, 222, *297): its map goes back in the stream.
    const CIfoTmapt tmapt(ifo->table[ID_VTS_TMAPTI]);
    ASSERT_EQ(tmapt.maps.size(), 2u);
    constexpr std::uint32_t kMark = tmapti::kDiscontinuity;
    EXPECT_EQ(tmapt.maps[0]->entries, (std::vector<std::uint32_t>{moved[36], kMark | moved[186],
                                                                  moved[222], kMark | moved[297]}));
    EXPECT_EQ(tmapt.maps[1]->entries,
              (std::vector<std::uint32_t>{moved[222], moved[297], moved[222], kMark | moved[297]}));
    EXPECT_EQ(CIfoVobuAdmap(ifo->table[ID_VTS_VOBU_ADMAP]).sectors.size(), 9u);
    EXPECT_EQ(CIfoCadt(ifo->table[ID_VTS_C_ADT]).cells[1]->lastSector, moved[186] - 1);
    const CIfoPgcit pgcit = pgcitWithCells(ifo->table[ID_VTS_PGCITI]);
    const CIfoCellPlayback& cell = *pgcit.srps[0]->pgc->cells[1];
    EXPECT_EQ(cell.firstSector, moved[36]);
    EXPECT_EQ(cell.lastVobuStartSector, moved[72]);
    EXPECT_EQ(cell.lastSector, moved[186] - 1);
    EXPECT_EQ(pgcit.srps[1]->pgc->cells[3]->lastSector, next - 1);
}

ifo_t emptyFile(const char* identifier) {
    ifo_t ifo;
    ifo.table[ID_MAT].assign(kSectorSize, 0);
    std::memcpy(ifo.table[ID_MAT].data(), identifier, 12);
    return ifo;
}

// A VOBU of ten sectors and 12 frames at 25 fps.
VobuInfo vobu(std::uint32_t sector, std::uint32_t vobId, std::uint32_t cellId) {
    VobuInfo v;
    v.sector = v.lbn = sector;
    v.lastOffset = 9;
    v.vobId = vobId;
    v.cellId = cellId;
    v.sPtm = 90000;
    v.ePtm = 90000 + 3600 * 12;
    v.rate = 25;
    return v;
}

// A VTS_PGCITI of one PGC playing the cells (VOB id, cell id), each beginning a program when
// flagged; each cell carries its number as its cell command number.
Bytes pgcitOf(const std::vector<std::tuple<std::uint16_t, std::uint8_t, bool>>& cells) {
    CIfoPgcit pgcit;
    CIfoPgc& pgc = *pgcit.AddSrp()->pgc;
    for (const auto& [vobId, cellId, program] : cells) {
        CIfoCellPlayback c;
        c.vobId = vobId;
        c.cellId = cellId;
        c.category[3] = static_cast<std::uint8_t>(pgc.cells.size() + 1);
        pgc.AddCell(c, program);
    }
    return bytesOf(pgcit.serialise());
}

TEST(TableRebuild, SplitRunsMergeBackIntoTheirPgcCell) {
    ifo_t ifo = emptyFile("DVDVIDEO-VTS");
    ifo.table[ID_VTS_PGCITI] = pgcitOf({{1, 1, true}, {1, 2, true}});
    VobJob job;
    for (auto [sector, cell] : {std::pair{0u, 1u}, {10u, 1u}, {20u, 2u}, {30u, 1u}, {40u, 2u}})
        job.vobus.push_back(vobu(sector, 1, cell));
    job.vobus[1].eltmFrames = 12;
    job.vobus[3].eltmFrames = 24;
    CellList cells = BuildCells(job);
    ASSERT_EQ(cells.size(), 4u);  // 1/1, 1/2, 1/1, 1/2: each run its own cell
    EXPECT_EQ(cells[0].lastSector, 19u);
    EXPECT_EQ(cells[0].playbackTime, framesToBcdTime(24, 25));
    RebuildCellAddressTable(ifo, cells, TableForm::Title);
    ASSERT_EQ(RebuildPgcCells(ifo, cells), "");
    const CIfoPgcit pgcit = pgcitWithCells(ifo.table[ID_VTS_PGCITI]);
    const CIfoPgc& pgc = *pgcit.srps[0]->pgc;
    ASSERT_EQ(pgc.cells.size(), 2u);
    EXPECT_EQ(pgc.cells[0]->firstSector, 0u);
    EXPECT_EQ(pgc.cells[0]->lastVobuStartSector, 30u);
    EXPECT_EQ(pgc.cells[0]->lastSector, 39u);
    EXPECT_EQ(pgc.cells[0]->playbackTime, framesToBcdTime(36, 25));  // the later run's
    EXPECT_EQ(pgc.cells[1]->lastSector, 49u);
    // The PGC's own bytes of the entry stay: here the cell command numbers.
    EXPECT_EQ(pgc.cells[1]->category[3], 2);
    EXPECT_EQ(pgc.programMap, (std::vector<std::uint8_t>{1, 2}));
}

TEST(TableRebuild, TitleCellAddressesAreSortedByVobIdAndPgcsSearchThatOrder) {
    ifo_t ifo = emptyFile("DVDVIDEO-VTS");
    ifo.table[ID_VTS_PGCITI] = pgcitOf({{2, 1, true}, {9, 1, true}});
    VobJob job;
    job.vobus = {vobu(0, 3, 1), vobu(10, 1, 1), vobu(20, 2, 1), vobu(30, 2, 1)};
    CellList cells = BuildCells(job);
    RebuildCellAddressTable(ifo, cells, TableForm::Title);
    const CIfoCadt cadt(ifo.table[ID_VTS_C_ADT]);
    ASSERT_EQ(cadt.cells.size(), 3u);
    for (std::uint16_t i = 0; i < 3; ++i) EXPECT_EQ(cadt.cells[i]->vobId, i + 1);
    EXPECT_EQ(cadt.cells[1]->lastSector, 39u);
    EXPECT_EQ(cadt.header.count, 3);
    ASSERT_EQ(RebuildPgcCells(ifo, cells), "");
    const CIfoPgcit pgcit = pgcitWithCells(ifo.table[ID_VTS_PGCITI]);
    ASSERT_EQ(pgcit.srps[0]->pgc->cells.size(), 1u);  // VOB 9 is not in the files any more
    EXPECT_EQ(pgcit.srps[0]->pgc->cells[0]->firstSector, 20u);
}

// Two VOB ids of interleaved VOBUs that carry seamless angle addresses: one angle block.
TEST(TableRebuild, InterleavedAngleCellsFormABlock) {
    VobJob job;
    for (std::uint32_t id = 1; id <= 3; ++id) {
        VobuInfo v = vobu(10 * (id - 1), id, 1);
        v.ilvuCategory = nav::kIlvuFlag;
        v.ilvuEnd = 4;
        v.smlAngleAddress[1] = 10;
        job.vobus.push_back(v);
    }
    job.angles.highestAngle = 3;
    for (std::uint32_t a = 0; a < 3; ++a) job.angles.vobIds[a] = {a + 1};
    // First in block, angle, interleaved, STC; in block, seamless; last in block. Without the
    // angle table each cell after one of a lower VOB id closes the block, and the cell that
    // closed it before moves inside.
    for (bool table : {true, false}) {
        if (!table) job.angles.clear();
        const CellList cells = BuildCells(job);
        ASSERT_EQ(cells.size(), 3u);
        EXPECT_EQ(cells[0].category[0], 0x57);
        EXPECT_EQ(cells[1].category[0], 0x9F);
        EXPECT_EQ(cells[2].category[0], 0xDF);
        EXPECT_EQ(cells[1].firstIlvuEndSector, 14u);
    }

    // Interleaved without angle addresses: only the interleaved flag.
    for (VobuInfo& v : job.vobus) v.smlAngleAddress.fill(0);
    EXPECT_EQ(BuildCells(job)[1].category[0], 0x0E);

    job.options.removeAnglePointers = true;
    job.vobus[1].smlAngleSize[0] = 7;
    for (const CIfoCellPlayback& c : BuildCells(job)) {
        EXPECT_EQ(c.category[0] & ~0x0A, 0);
        EXPECT_EQ(c.firstIlvuEndSector, 0u);
    }
}

TEST(TableRebuild, DamagedTimesAndAnEmptyListGiveSaneTables) {
    VobJob job;
    job.vobus = {vobu(0, 1, 1)};
    job.vobus[0].sPtm = 500000;
    job.vobus[0].ePtm = 400000;  // ends before it starts: no span, not a wrapped one
    job.vobus[0].eltmFrames = 5;
    EXPECT_EQ(BuildCells(job)[0].playbackTime, framesToBcdTime(5, 25));

    job.vobus.clear();
    ifo_t ifo = emptyFile("DVDVIDEO-VTS");
    CIfoTmapt tmapt;
    tmapt.AddMap()->AddEntry(0x80000024);
    ifo.table[ID_VTS_TMAPTI] = bytesOf(tmapt.serialise());
    const Bytes timeMaps = ifo.table[ID_VTS_TMAPTI];
    CellList cells = BuildCells(job);
    EXPECT_TRUE(cells.empty());
    RebuildVobuAdmap(ifo, job.vobus, TableForm::Title);
    RebuildCellAddressTable(ifo, cells, TableForm::Title);
    EXPECT_EQ(be32(ifo.table[ID_VTS_VOBU_ADMAP].data()), 3u);
    EXPECT_EQ(be16(ifo.table[ID_VTS_C_ADT].data()), 0);
    EXPECT_EQ(be32(ifo.table[ID_VTS_C_ADT].data() + 4), 7u);
    RecordingInteraction ui;
    EXPECT_TRUE(RemapTimeMapsByLbn(ifo, job.vobus, ui));
    EXPECT_EQ(ifo.table[ID_VTS_TMAPTI], timeMaps);

    ifo.table[ID_VTS_TMAPTI].clear();
    EXPECT_FALSE(RemapTimeMapsByLbn(ifo, job.vobus, ui));
    EXPECT_EQ(ui.messages, std::vector<std::string>{kNoTimeMapText});
}

// ntsc43 title set 1: PGC 1 plays VOB ids 1 and 2 (title 1), PGC 2 plays VOB id 3 (title 2).
// Without VOB id 3 title 2 has no chapters: it goes, and its PGC is no title's entry any more.
TEST(TableRebuild, ATitleThatLosesAllItsChaptersGoes) {
    IfoHandle ifo = loadSample(sampleFile("ntsc43", "VTS_01_0.IFO"));
    StripChoices strip;
    strip.keepVobId[3] = false;
    ASSERT_EQ(RenumberPgcVobIds(*ifo, strip), "");
    EXPECT_EQ(CIfoPttSrpt(ifo->table[ID_PTT_SRPTI]).titles.size(), 1u);
    const CIfoPgcit pgcit(ifo->table[ID_VTS_PGCITI]);
    EXPECT_EQ(pgcit.srps[0]->entry, 0x81);
    EXPECT_EQ(pgcit.srps[1]->entry, 0x00);
}

// Damaged tables: a PGC whose program map names cells it does not have and whose cell tables lie
// past the end, menu language units at wild offsets, and a title PGC table too large for its
// 16-bit offsets, which the rebuild leaves as it is.
TEST(TableRebuild, DamagedTablesAreNeverReadOrWrittenOutside) {
    ifo_t ifo = emptyFile("DVDVIDEO-VTS");
    ifo.table[ID_VTS_PGCITI] = pgcitOf({{1, 1, true}, {1, 2, true}});
    Bytes& pgcitBytes = ifo.table[ID_VTS_PGCITI];
    const std::size_t pgcAt = be32(pgcitBytes.data() + 12);
    const std::size_t map = pgcAt + be16(pgcitBytes.data() + pgcAt + pgc::kProgramMapStart);
    pgcitBytes[map + 1] = 200;                   // a program beginning at cell 200
    pgcitBytes[pgcAt + pgc::kCellCount] = 0xFF;  // cells running past the buffer
    VobJob job;
    job.vobus = {vobu(0, 1, 1), vobu(10, 1, 2)};
    CellList cells = BuildCells(job);
    ASSERT_EQ(RebuildPgcCells(ifo, cells), "");
    EXPECT_EQ(pgcitWithCells(ifo.table[ID_VTS_PGCITI]).srps[0]->pgc->programMap,
              (std::vector<std::uint8_t>{1}));
    StripChoices strip;
    EXPECT_EQ(RenumberPgcVobIds(ifo, strip), "");

    // Menu language units: one far outside, one over the pointers themselves, and one with a
    // PGC outside and a PGC whose 255 cells run off the end after five entries.
    Bytes wild(kSectorSize, 0);
    put16(wild.data(), 3);
    put16(wild.data() + 32, 2);
    for (auto [at, value] : {std::pair{4u, 2047u},
                             {12u, 0xFFFFFFF0u},
                             {20u, 8u},
                             {28u, 32u},
                             {44u, 1948u},
                             {52u, 100u}})
        put32(wild.data() + at, value);
    std::uint8_t* menuPgc = wild.data() + 132;
    menuPgc[pgc::kCellCount] = 0xFF;
    put16(menuPgc + pgc::kCellPlaybackStart, 0x700);
    put16(menuPgc + pgc::kCellPositionStart, pgc::kHeaderSize);
    for (int c = 0; c < 255; ++c)
        menuPgc[pgc::kHeaderSize + 4 * c + 1] = menuPgc[pgc::kHeaderSize + 4 * c + 3] = 1;
    ifo.table[ID_VTSM_PGCI_UT] = wild;
    UpdateMenuCellSectors(ifo, cells);
    EXPECT_EQ(be32(ifo.table[ID_VTSM_PGCI_UT].data() + 132 + 0x700 + 4 * 24 + pgc::kCellLastSector),
              9u);  // the fifth entry, inside
    EXPECT_EQ(RenumberMenuVobIds(ifo, strip, true), "");
    const CIfoPgciUt ut(ifo.table[ID_VTSM_PGCI_UT]);
    ASSERT_EQ(ut.units.size(), 3u);
    EXPECT_EQ(pgciUtWithCells(ifo.table[ID_VTSM_PGCI_UT]).units[2]->srps[1]->pgc->cells.size(), 5u);

    // 300 PGCs without cells: more bytes than the 16-bit offsets of the table can reach.
    Bytes large(roundToSector(8 + 300 * (8 + CIfoPgc::kStoredSize)), 0);
    put16(large.data(), 300);
    for (std::uint32_t p = 0; p < 300; ++p)
        put32(large.data() + 8 + 8 * p + 4,
              static_cast<std::uint32_t>(8 + 8 * 300 + p * CIfoPgc::kStoredSize));
    ifo.table[ID_VTS_PGCITI] = large;
    EXPECT_NE(RebuildPgcCells(ifo, cells), "");
    EXPECT_NE(RenumberPgcVobIds(ifo, strip), "");
    EXPECT_EQ(ifo.table[ID_VTS_PGCITI], large);
}

}  // namespace
}  // namespace navtab::test
