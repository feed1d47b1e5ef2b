// Auto-Calc: on copies of the sample title sets whose address tables were zeroed or made stale
// it restores the bytes dvdauthor wrote; its writers on hand-made and damaged tables; the
// command with its dialogs; and navtab-cli autocalc.
#include <gtest/gtest.h>
#include <filesystem>

#include "core/bytes.h"
#include "core/ifo_classes.h"
#include "unit/model_support.h"
#include "unit/vob_fake_ui.h"
#include "vob/autocalc.h"

namespace navtab::test {
namespace {

using namespace navtab::vob;

// A copy of a sample title set's IFO and title VOB files.
std::string copyTitleSet(const TempDir& dir, const std::string& disc, const std::string& ifo) {
    for (const auto& e : std::filesystem::directory_iterator(sampleFile(disc, ""))) {
        const std::string name = e.path().filename().string();
        if (name.rfind(ifo.substr(0, 7), 0) == 0 && name != ifo.substr(0, 7) + "0.VOB")
            std::filesystem::copy_file(e.path(), dir.file(name));
    }
    return dir.file(ifo);
}

// Calls `f(offset)` for the three sector words of every cell playback entry of VTS_PGCITI.
template <class F>
void forEachPgcCellSector(const Bytes& pgcit, F f) {
    for (unsigned p = 0; p < be16(pgcit.data()); ++p) {
        const std::size_t pgc = be32(pgcit.data() + 8 + 8 * p + 4);
        const std::size_t playback = pgc + be16(pgcit.data() + pgc + pgc::kCellPlaybackStart);
        for (unsigned c = 0; c < pgcit[pgc + pgc::kCellCount]; ++c)
            for (std::size_t word :
                 {pgc::kCellFirstSector, pgc::kCellLastVobuStart, pgc::kCellLastSector})
                f(playback + pgc::kCellPlaybackSize * c + word);
    }
}

enum class TimeMaps { Kept, Zeroed, Shifted, ZeroedAlone };

// Zeroes the sector words of VTS_VOBU_ADMAP, VTS_C_ADT and the PGC cells; the time maps are kept,
// zeroed too, or shifted together with the address map (as after a re-encode that moved every
// VOBU by the same number of sectors). ZeroedAlone zeroes the time maps only.
void spoil(ifo_t& ifo, TimeMaps timeMaps) {
    constexpr std::uint32_t kShift = 1000;
    auto& tmapti = ifo.table[ID_VTS_TMAPTI];
    for (unsigned m = 0; m < be16(tmapti.data()) && timeMaps != TimeMaps::Kept; ++m) {
        const std::size_t map = be32(&tmapti[8 + 4 * m]);
        for (unsigned e = 0; e < be16(&tmapti[map + 2]); ++e) {
            std::uint8_t* w = &tmapti[map + 4 + 4 * e];
            put32(w, timeMaps == TimeMaps::Shifted ? be32(w) + kShift : 0);
        }
    }
    if (timeMaps == TimeMaps::ZeroedAlone) return;
    auto& admap = ifo.table[ID_VTS_VOBU_ADMAP];
    for (std::size_t at = 4; at + 4 <= be32(admap.data()) + 1u; at += 4)
        put32(&admap[at], timeMaps == TimeMaps::Shifted ? be32(&admap[at]) + kShift : 0);
    auto& cadt = ifo.table[ID_VTS_C_ADT];
    for (std::size_t at = 8; at + 12 <= be32(&cadt[4]) + 1u; at += 12) {
        put32(&cadt[at + 4], 0);
        put32(&cadt[at + 8], 0);
    }
    forEachPgcCellSector(ifo.table[ID_VTS_PGCITI],
                         [&](std::size_t at) { put32(&ifo.table[ID_VTS_PGCITI][at], 0); });
}

// mixed0 has a PGC over two VOB ids and one that plays its cells twice.
constexpr struct {
    const char* disc;
    const char* ifo;
} kTitleSets[] = {  // clang-format off
    {"ntsc43", "VTS_01_0.IFO"}, {"ntsc43", "VTS_02_0.IFO"},
    {"pal169", "VTS_01_0.IFO"}, {"mixed0", "VTS_01_0.IFO"}};  // clang-format on

// With the address map zeroed the time maps are rebuilt from the VOBUs' times, whatever they
// hold; with it shifted they are mapped through it; zeroed alone they are rebuilt.
TEST(AutoCalc, RestoresZeroedAndShiftedTablesByteForByte) {
    for (const auto& t : kTitleSets) {
        for (TimeMaps timeMaps :
             {TimeMaps::Kept, TimeMaps::Shifted, TimeMaps::Zeroed, TimeMaps::ZeroedAlone}) {
            SCOPED_TRACE(std::string(t.disc) + " " + t.ifo + " " + std::to_string(int(timeMaps)));
            TempDir dir;
            const std::string path = copyTitleSet(dir, t.disc, t.ifo);
            const Bytes original = readFile(path);
            IfoHandle ifo = loadSample(path);
            spoil(*ifo, timeMaps);
            const auto out = RunAutoCalc(*ifo, path, {}, {kScanAll, {}, nullptr});
            ASSERT_EQ(out.result, AutoCalcOutcome::Result::Done);
            EXPECT_TRUE(timeMaps == TimeMaps::Kept || out.timeMapEntries > 0);
            // Only the loaded buffers changed; written out they are the original file again.
            EXPECT_EQ(readFile(path), original);
            RecordingInteraction ui;
            ASSERT_TRUE(writeIfoFileAtomically(dir.file("out.IFO"), *ifo, ui));
            EXPECT_EQ(readFile(dir.file("out.IFO")), original);
        }
    }
}

TEST(AutoCalc, OnlyTheChosenTablesAreWritten) {
    TempDir dir;
    const std::string path = copyTitleSet(dir, "pal169", "VTS_01_0.IFO");
    const IfoHandle original = loadSample(path);
    IfoHandle ifo = loadSample(path);
    spoil(*ifo, TimeMaps::Shifted);
    const IfoHandle spoilt = std::make_unique<ifo_t>(*ifo);
    RunAutoCalc(*ifo, path, {.vobuAdmap = false, .cellAdt = true, .pgcit = false, .tmapt = false},
                {kScanAll, {}, nullptr});
    EXPECT_EQ(ifo->table[ID_VTS_C_ADT], original->table[ID_VTS_C_ADT]);
    for (int id : {ID_VTS_VOBU_ADMAP, ID_VTS_PGCITI, ID_VTS_TMAPTI})
        EXPECT_EQ(ifo->table[id], spoilt->table[id]) << id;
}

Bytes admapOf(std::initializer_list<std::uint32_t> sectors) {
    CIfoVobuAdmap admap;
    for (std::uint32_t s : sectors) admap.AddVobu(s);
    return admap.serialise().bytes;
}

// A title set handle with hand-made tables.
IfoHandle handMade() {
    auto ifo = std::make_unique<ifo_t>();
    ifo->table[ID_MAT] = Bytes(2048, 0);
    std::copy_n("DVDVIDEO-VTS", 12, ifo->table[ID_MAT].begin());
    ifo->table[ID_VTS_VOBU_ADMAP] = admapOf({0, 10, 20, 30});
    CIfoCadt cadt;
    cadt.AddCell(1, 1, 0, 19);
    cadt.AddCell(1, 2, 20, 39);
    ifo->table[ID_VTS_C_ADT] = cadt.serialise().bytes;
    CIfoTmapt tmapt;
    CIfoTmap* map = tmapt.AddMap();
    map->timeUnit = 1;
    for (std::uint32_t e : {10u, 0x80000000u | 20u, 15u, 30u}) map->AddEntry(e);
    ifo->table[ID_VTS_TMAPTI] = tmapt.serialise().bytes;
    return ifo;
}

std::vector<std::uint32_t> timeMapEntries(const ifo_t& ifo) {
    return CIfoTmapt(ifo.table[ID_VTS_TMAPTI]).maps.front()->entries;
}

TEST(AutoCalcWriters, TimeMapsFollowTheVobusAndStopAtAnEntryThatIsNoVobuStart) {
    IfoHandle ifo = handMade();
    const AutoCalcScan scan{{0, 11, 22, 33}, {}, 40, {}};
    EXPECT_EQ(RemapTimeMaps(*ifo, scan), 2u);
    EXPECT_EQ(timeMapEntries(*ifo), (std::vector<std::uint32_t>{11, 0x80000000u | 22, 15, 30}));
}

TEST(AutoCalcWriters, ScrambledAddressMapRebuildsTimeMapsInPlaybackOrder) {
    IfoHandle ifo = handMade();
    ifo->table[ID_VTS_VOBU_ADMAP] = admapOf({30, 20, 10, 0});
    CIfoPgcit pgcit;  // one PGC playing cell 1/2 before 1/1
    CIfoPgc* pgc = pgcit.AddSrp()->pgc.get();
    pgc->AddCell(Bytes(24, 0), 1, 2, true);
    pgc->AddCell(Bytes(24, 0), 1, 1, false);
    ifo->table[ID_VTS_PGCITI] = pgcit.serialise().bytes;
    // Entries every 30 frames. Cell 1/2: VOBU 22 at frame 0, 33 at 30; then cell 1/1: VOBU 0
    // (20 frames) and 11 (30 frames).
    AutoCalcScan scan{{0, 11, 22, 33}, {}, 40, {}};
    constexpr std::uint32_t f = 3003;  // one NTSC frame in 90 kHz ticks
    scan.vobuTimes = {{1, 1, 30, 0, 20 * f},
                      {1, 1, 30, 20 * f, 50 * f},
                      {1, 2, 30, 0, 30 * f},
                      {1, 2, 30, 30 * f, 60 * f}};
    constexpr std::uint32_t kFlag = 0x80000000u;
    // Entry k names the VOBU playing at frame 30(k + 1): 30 in cell 1/2 (VOBU 33), 60 and 90 in
    // cell 1/1 (VOBUs 0 and 11); 120 is past the end (110), so the last entry stays. The bit
    // marks an entry whose next entry lies in another cell, and the last one written. An entry
    // that already names a VOBU start (11 at entry 2) is kept as it is.
    EXPECT_EQ(RemapTimeMaps(*ifo, scan), 3u);
    EXPECT_EQ(timeMapEntries(*ifo), (std::vector<std::uint32_t>{kFlag | 33, 0, kFlag | 11, 30}));
    CIfoTmapt kept(ifo->table[ID_VTS_TMAPTI]);
    kept.maps.front()->entries = {10, 0, 11, 30};
    ifo->table[ID_VTS_TMAPTI] = kept.serialise().bytes;
    EXPECT_EQ(RemapTimeMaps(*ifo, scan), 2u);
    EXPECT_EQ(timeMapEntries(*ifo), (std::vector<std::uint32_t>{kFlag | 33, 0, 11, 30}));
}

TEST(AutoCalcWriters, FewerVobusOrCellsLeaveTheRestAndSurplusIsIgnored) {
    IfoHandle ifo = handMade();
    EXPECT_EQ(WriteVobuAdmap(*ifo, {{5, 15}, {}, 0, {}}), 2u);
    EXPECT_EQ(CIfoVobuAdmap(ifo->table[ID_VTS_VOBU_ADMAP]).sectors,
              (std::vector<std::uint32_t>{5, 15, 20, 30}));
    EXPECT_EQ(WriteVobuAdmap(*ifo, {{1, 2, 3, 4, 5, 6}, {}, 0, {}}), 4u);
    EXPECT_EQ(CIfoVobuAdmap(ifo->table[ID_VTS_VOBU_ADMAP]).sectors,
              (std::vector<std::uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(ifo->table[ID_VTS_VOBU_ADMAP].size(), 2048u);
    // Cells: one found of two; then three, of which the table has room for two: the last entry
    // reaches to the end of the last VOBU.
    const auto cells = [&] {
        const CIfoCadt cadt(ifo->table[ID_VTS_C_ADT]);
        std::vector<std::uint32_t> bounds;
        for (const auto& c : cadt.cells)
            bounds.insert(bounds.end(), {c->startSector, c->lastSector});
        return bounds;
    };
    WriteCellAddresses(*ifo, {{}, {{1, 1, 7, 49}}, 49, {}});
    EXPECT_EQ(cells(), (std::vector<std::uint32_t>{7, 49, 20, 39}));
    WriteCellAddresses(*ifo, {{}, {{1, 1, 0, 9}, {1, 2, 10, 19}, {2, 1, 20, 29}}, 29, {}});
    EXPECT_EQ(cells(), (std::vector<std::uint32_t>{0, 9, 10, 29}));
    EXPECT_EQ(CIfoCadt(ifo->table[ID_VTS_C_ADT]).header.count, 1u);  // the VOB count stays
}

TEST(AutoCalcWriters, DamagedTablesAreNeverWrittenOutsideTheirBuffers) {
    IfoHandle ifo = handMade();
    const std::size_t sizes[] = {ifo->table[ID_VTS_TMAPTI].size(),
                                 ifo->table[ID_VTS_VOBU_ADMAP].size()};
    // A time map pointer past the table, a map claiming 65535 entries, an address map whose end
    // address lies far beyond its buffer, a PGC table pointing anywhere.
    auto& tmapti = ifo->table[ID_VTS_TMAPTI];
    put16(&tmapti[0], 3);
    put32(&tmapti[12], 0xFFFFFFF0u);
    put16(&tmapti[be32(&tmapti[8]) + 2], 0xFFFF);
    put32(&ifo->table[ID_VTS_VOBU_ADMAP][0], 0xFFFFFFFFu);
    // The PGC's cell positions run off the end of its table.
    ifo->table[ID_VTS_PGCITI] = Bytes(2048, 0xFF);
    put16(&ifo->table[ID_VTS_PGCITI][0], 2);
    put32(&ifo->table[ID_VTS_PGCITI][12], 1800);
    put16(&ifo->table[ID_VTS_PGCITI][1800 + pgc::kCellPositionStart], 200);
    const AutoCalcScan scan{std::vector<std::uint32_t>(600, 7),
                            {{0xFF, 0xFF, 1, 2}},
                            3,
                            std::vector<AutoCalcVobuTime>(600, {0xFF, 0xFF, 30, 0, 120120})};
    RemapTimeMaps(*ifo, scan);
    WriteVobuAdmap(*ifo, scan);
    WriteCellAddresses(*ifo, scan);
    WritePgcCellSectors(*ifo, scan);
    EXPECT_EQ(ifo->table[ID_VTS_TMAPTI].size(), sizes[0]);
    EXPECT_EQ(ifo->table[ID_VTS_VOBU_ADMAP].size(), sizes[1]);
    EXPECT_EQ(ifo->table[ID_VTS_PGCITI].size(), 2048u);
}

TEST(AutoCalcCommand, RewritesTheTablesOnlyForATitleSetWithItsTablesWhenConfirmed) {
    TempDir dir;
    const std::string path = copyTitleSet(dir, "ntsc43", "VTS_01_0.IFO");
    const IfoHandle original = loadSample(path);
    Workspace ws;
    FakeDialogs dialogs;
    RecordingInteraction ui;
    EXPECT_FALSE(OnAutoCalc(ws, nullptr, dialogs, ui, {}));
    const std::string vmgPath = sampleFile("ntsc43", "VIDEO_TS.IFO");
    EXPECT_FALSE(OnAutoCalc(ws, &ws.add(vmgPath, loadSample(vmgPath)), dialogs, ui, {}));
    EXPECT_EQ(dialogs.asked, 0);

    IfoDocument& doc = ws.add(path, loadSample(path));
    spoil(*doc.ifo, TimeMaps::Kept);
    dialogs.answer = false;
    EXPECT_FALSE(OnAutoCalc(ws, &doc, dialogs, ui, {}));
    EXPECT_TRUE(dialogs.windows.empty());
    dialogs.answer = true;
    EXPECT_TRUE(OnAutoCalc(ws, &doc, dialogs, ui, {}));
    EXPECT_EQ(dialogs.windows,
              std::vector<std::string>{"Collecting information from .VOBs, please wait..."});
    EXPECT_EQ(ui.messages, std::vector<std::string>{"AutoCalc finished!"});
    EXPECT_EQ(doc.ifo->table, original->table);
    OnAutoCalc(ws, &doc, dialogs, ui, {});  // a second run counts the file once
    EXPECT_EQ(ws.modifiedCount(), 1);
}

TEST(AutoCalcCli, RestoresTheFileOnlyWhenNotADryRun) {
    TempDir dir;
    const std::string path = copyTitleSet(dir, "ntsc43", "VTS_01_0.IFO");
    const Bytes original = readFile(path);
    IfoHandle ifo = loadSample(path);
    spoil(*ifo, TimeMaps::Shifted);
    RecordingInteraction ui;
    ASSERT_TRUE(writeIfoFileAtomically(path, *ifo, ui));
    const Bytes spoilt = readFile(path);
    auto dry = runCli({"autocalc", path, "--dry-run"});
    EXPECT_THAT(dry.out, HasSubstr("VTS_VOBU_ADMAP  22 entries written, "));
    EXPECT_THAT(dry.err, HasSubstr("Scanning for stream id's"));
    EXPECT_EQ(readFile(path), spoilt);
    EXPECT_EQ(runCli({"autocalc", path}).status, 0);
    EXPECT_EQ(readFile(path), original);
    EXPECT_THAT(runCli({"autocalc", path}).out, HasSubstr("Nothing to change"));
    EXPECT_EQ(runCli({"autocalc", path, "--tables", "VTS_NOPE"}).status, 2);
    EXPECT_EQ(runCli({"autocalc", sampleFile("ntsc43", "VIDEO_TS.IFO"), "--dry-run"}).status, 1);
    std::filesystem::remove(dir.file("VTS_01_1.VOB"));
    EXPECT_EQ(runCli({"autocalc", path}).err,
              "navtab-cli: no title VOB files (VTS_nn_1.VOB ...) beside " + path + "\n");
}

// A title VOB cut short, as after a failed copy: the scan finds far fewer VOBUs and cells than the
// title set describes. Nothing is written unless the user insists.
TEST(AutoCalc, AScanThatDisagreesWithTheTitleSetWritesNothingUnlessForced) {
    TempDir dir;
    const std::string path = copyTitleSet(dir, "ntsc43", "VTS_01_0.IFO");
    std::filesystem::resize_file(dir.file("VTS_01_1.VOB"), 100 * 2048);
    const IfoHandle original = loadSample(path);
    IfoHandle ifo = loadSample(path);
    const auto refused = RunAutoCalc(*ifo, path, {}, {kScanAll, {}, nullptr});
    EXPECT_EQ(refused.result, AutoCalcOutcome::Result::Disagrees);
    ASSERT_EQ(refused.disagreements.size(), 7u);  // and one line for each cell the PGCs miss
    EXPECT_EQ(refused.disagreements[1], "the VOB files hold 1 cell, VTS_C_ADT has 6 entries");
    EXPECT_EQ(refused.disagreements[6],
              "title PGC 2 plays cell 3/2, which the VOB files do not hold");
    EXPECT_EQ(ifo->table, original->table);

    // The window asks; No leaves the tables.
    Workspace ws;
    IfoDocument& doc = ws.add(path, loadSample(path));
    FakeDialogs dialogs;
    RecordingInteraction no(false);
    EXPECT_FALSE(OnAutoCalc(ws, &doc, dialogs, no, {}));
    ASSERT_EQ(no.questions.size(), 1u);
    EXPECT_EQ(no.questions[0].rfind("The VOB files do not fit this title set:\n", 0), 0u);
    EXPECT_EQ(ws.modifiedCount(), 0);

    // navtab-cli: what disagrees on standard error, exit status 1 and the file untouched.
    const auto cli = runCli({"autocalc", path});
    EXPECT_EQ(cli.status, 1);
    EXPECT_THAT(cli.err,
                HasSubstr("navtab-cli: the VOB files hold 1 cell, VTS_C_ADT has 6 entries\n"));
    EXPECT_EQ(loadSample(path)->table, original->table);
    const auto forced = runCli({"autocalc", path, "--force", "--dry-run"});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_THAT(forced.out, HasSubstr("VTS_VOBU_ADMAP  4 entries written"));
}

}  // namespace
}  // namespace navtab::test
