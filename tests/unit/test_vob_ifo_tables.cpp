// IFO tables made from the VOB files. Auto-Calc: on copies of the sample title sets whose address
// tables were zeroed or made stale it restores the bytes dvdauthor wrote; its writers on
// hand-made and damaged tables; the command with its dialogs; navtab-cli autocalc. "Create IFOs"
// and the create-new option of VOB Extras, checked from the outside: the new folder is read by
// lsdvd (libdvdread) and played by mpv (libdvdnav); the pieces that read VOB bytes are fed
// damaged sectors.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "core/bytes.h"
#include "core/ifo_classes.h"
#include "format/file_tree.h"
#include "unit/model_support.h"
#include "unit/test_support.h"
#include "unit/vob_fake_ui.h"
#include "vob/autocalc.h"
#include "vob/collected_streams.h"
#include "vob/create_ifos.h"
#include "vob/new_ifo_files.h"

namespace navtab::test {
namespace {

using namespace navtab::vob;
namespace fs = std::filesystem;

// A copy of a sample title set's IFO and title VOB files.
std::string copyTitleSet(const TempDir& dir, const std::string& disc, const std::string& ifo) {
    for (const auto& e : fs::directory_iterator(sampleFile(disc, ""))) {
        const std::string name = e.path().filename().string();
        if (name.rfind(ifo.substr(0, 7), 0) == 0 && name != ifo.substr(0, 7) + "0.VOB")
            fs::copy_file(e.path(), dir.file(name));
    }
    return dir.file(ifo);
}

enum class TimeMaps { Kept, Zeroed, Shifted, ZeroedAlone };

// Zeroes the sector words of VTS_VOBU_ADMAP, VTS_C_ADT and the PGC cells; the time maps are kept,
// zeroed too, or shifted together with the address map (as after a re-encode that moved every
// VOBU by the same number of sectors). ZeroedAlone zeroes the time maps only.
void spoil(ifo_t& ifo, TimeMaps timeMaps) {
    const auto spoilt = [&](std::uint32_t word) {
        return timeMaps == TimeMaps::Shifted ? word + 1000 : 0;
    };
    auto& tmapti = ifo.table[ID_VTS_TMAPTI];
    for (unsigned m = 0; m < be16(tmapti.data()) && timeMaps != TimeMaps::Kept; ++m) {
        const std::size_t map = be32(&tmapti[8 + 4 * m]);
        for (unsigned e = 0; e < be16(&tmapti[map + 2]); ++e)
            put32(&tmapti[map + 4 + 4 * e], spoilt(be32(&tmapti[map + 4 + 4 * e])));
    }
    if (timeMaps == TimeMaps::ZeroedAlone) return;
    auto& admap = ifo.table[ID_VTS_VOBU_ADMAP];
    for (std::size_t at = 4; at + 4 <= be32(admap.data()) + 1u; at += 4)
        put32(&admap[at], spoilt(be32(&admap[at])));
    auto& cadt = ifo.table[ID_VTS_C_ADT];
    for (std::size_t at = 8; at + 12 <= be32(&cadt[4]) + 1u; at += 12)
        std::fill_n(&cadt[at + 4], 8, 0);
    auto& pgcit = ifo.table[ID_VTS_PGCITI];
    for (unsigned p = 0; p < be16(pgcit.data()); ++p) {
        const std::size_t pgc = be32(pgcit.data() + 8 + 8 * p + 4);
        const std::size_t playback = pgc + be16(pgcit.data() + pgc + pgc::kCellPlaybackStart);
        for (unsigned c = 0; c < pgcit[pgc + pgc::kCellCount]; ++c)
            for (std::size_t word :
                 {pgc::kCellFirstSector, pgc::kCellLastVobuStart, pgc::kCellLastSector})
                put32(&pgcit[playback + pgc::kCellPlaybackSize * c + word], 0);
    }
}

// mixed0 has a PGC over two VOB ids and one that plays its cells twice.
constexpr std::pair<const char*, const char*> kTitleSets[] = {{"ntsc43", "VTS_01_0.IFO"},
                                                              {"ntsc43", "VTS_02_0.IFO"},
                                                              {"pal169", "VTS_01_0.IFO"},
                                                              {"mixed0", "VTS_01_0.IFO"}};

// With the address map zeroed the time maps are rebuilt from the VOBUs' times, whatever they
// hold; with it shifted they are mapped through it; zeroed alone they are rebuilt. Only the
// loaded buffers change; written out they are the original file again.
TEST(AutoCalc, RestoresZeroedAndShiftedTablesByteForByteAndOnlyTheChosenOnes) {
    for (const auto& [disc, name] : kTitleSets) {
        for (TimeMaps timeMaps :
             {TimeMaps::Kept, TimeMaps::Shifted, TimeMaps::Zeroed, TimeMaps::ZeroedAlone}) {
            SCOPED_TRACE(std::string(disc) + " " + name + " " + std::to_string(int(timeMaps)));
            TempDir dir;
            const std::string path = copyTitleSet(dir, disc, name);
            const Bytes original = readFile(path);
            IfoHandle ifo = loadSample(path);
            spoil(*ifo, timeMaps);
            const auto out = RunAutoCalc(*ifo, path, {}, {kScanAll, {}, nullptr});
            ASSERT_EQ(out.result, AutoCalcOutcome::Result::Done);
            EXPECT_TRUE(timeMaps == TimeMaps::Kept || out.timeMapEntries > 0);
            EXPECT_EQ(readFile(path), original);
            RecordingInteraction ui;
            ASSERT_TRUE(writeIfoFileAtomically(dir.file("out.IFO"), *ifo, ui));
            EXPECT_EQ(readFile(dir.file("out.IFO")), original);
        }
    }

    TempDir dir;
    const std::string path = copyTitleSet(dir, "pal169", "VTS_01_0.IFO");
    IfoHandle ifo = loadSample(path);
    spoil(*ifo, TimeMaps::Shifted);
    const ifo_t spoilt = *ifo;
    RunAutoCalc(*ifo, path, {.vobuAdmap = false, .cellAdt = true, .pgcit = false, .tmapt = false},
                {kScanAll, {}, nullptr});
    EXPECT_EQ(ifo->table[ID_VTS_C_ADT], loadSample(path)->table[ID_VTS_C_ADT]);
    for (int id : {ID_VTS_VOBU_ADMAP, ID_VTS_PGCITI, ID_VTS_TMAPTI})
        EXPECT_EQ(ifo->table[id], spoilt.table[id]) << id;
}

Bytes admapOf(std::initializer_list<std::uint32_t> sectors) {
    CIfoVobuAdmap admap;
    for (std::uint32_t s : sectors) admap.AddVobu(s);
    return admap.serialise().bytes;
}

constexpr std::uint32_t kFlag = 0x80000000u;  // a time map entry before a cell change

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
    map->entries = {10, kFlag | 20, 15, 30};
    ifo->table[ID_VTS_TMAPTI] = tmapt.serialise().bytes;
    return ifo;
}

std::vector<std::uint32_t> timeMapEntries(const ifo_t& ifo) {
    return CIfoTmapt(ifo.table[ID_VTS_TMAPTI]).maps.front()->entries;
}

// Through a shifted address map each entry follows its VOBU, up to an entry that names no VOBU
// start (15). A scrambled address map rebuilds the entries from the times in playback order.
TEST(AutoCalcWriters, TimeMapsAddressesAndCellsFollowTheScan) {
    IfoHandle ifo = handMade();
    AutoCalcScan scan{{0, 11, 22, 33}, {}, 40, {}};
    EXPECT_EQ(RemapTimeMaps(*ifo, scan), 2u);
    EXPECT_EQ(timeMapEntries(*ifo), (std::vector<std::uint32_t>{11, kFlag | 22, 15, 30}));

    ifo = handMade();
    ifo->table[ID_VTS_VOBU_ADMAP] = admapOf({30, 20, 10, 0});
    CIfoPgcit pgcit;  // one PGC playing cell 1/2 before 1/1
    CIfoPgc* pgc = pgcit.AddSrp()->pgc.get();
    pgc->AddCell(Bytes(24, 0), 1, 2, true);
    pgc->AddCell(Bytes(24, 0), 1, 1, false);
    ifo->table[ID_VTS_PGCITI] = pgcit.serialise().bytes;
    // Entries every 30 frames. Cell 1/2: VOBU 22 at frame 0, 33 at 30; then cell 1/1: VOBU 0
    // (20 frames) and 11 (30 frames).
    constexpr std::uint32_t f = 3003;  // one NTSC frame in 90 kHz ticks
    scan.vobuTimes = {{1, 1, 30, 0, 20 * f},
                      {1, 1, 30, 20 * f, 50 * f},
                      {1, 2, 30, 0, 30 * f},
                      {1, 2, 30, 30 * f, 60 * f}};
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

    ifo = handMade();
    const auto admap = [&] { return CIfoVobuAdmap(ifo->table[ID_VTS_VOBU_ADMAP]).sectors; };
    EXPECT_EQ(WriteVobuAdmap(*ifo, {{5, 15}, {}, 0, {}}), 2u);
    EXPECT_EQ(admap(), (std::vector<std::uint32_t>{5, 15, 20, 30}));
    EXPECT_EQ(WriteVobuAdmap(*ifo, {{1, 2, 3, 4, 5, 6}, {}, 0, {}}), 4u);
    EXPECT_EQ(admap(), (std::vector<std::uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(ifo->table[ID_VTS_VOBU_ADMAP].size(), 2048u);
    // Cells: one found of two; then three, of which the table has room for two: the last entry
    // reaches to the end of the last VOBU.
    const auto cells = [&] {
        std::vector<std::uint32_t> bounds;
        for (const auto& c : CIfoCadt(ifo->table[ID_VTS_C_ADT]).cells)
            bounds.insert(bounds.end(), {c->startSector, c->lastSector});
        return bounds;
    };
    WriteCellAddresses(*ifo, {{}, {{1, 1, 7, 49}}, 49, {}});
    EXPECT_EQ(cells(), (std::vector<std::uint32_t>{7, 49, 20, 39}));
    WriteCellAddresses(*ifo, {{}, {{1, 1, 0, 9}, {1, 2, 10, 19}, {2, 1, 20, 29}}, 29, {}});
    EXPECT_EQ(cells(), (std::vector<std::uint32_t>{0, 9, 10, 29}));
    EXPECT_EQ(CIfoCadt(ifo->table[ID_VTS_C_ADT]).header.count, 1u);  // the VOB count stays
}

// A time map pointer past the table, a map claiming 65535 entries, an address map whose end
// address lies far beyond its buffer, a PGC whose cell positions run off the end of its table.
TEST(AutoCalcWriters, DamagedTablesAreNeverWrittenOutsideTheirBuffers) {
    IfoHandle ifo = handMade();
    auto& tmapti = ifo->table[ID_VTS_TMAPTI];
    const std::size_t sizes[] = {tmapti.size(), ifo->table[ID_VTS_VOBU_ADMAP].size()};
    put16(&tmapti[0], 3);
    put32(&tmapti[12], 0xFFFFFFF0u);
    put16(&tmapti[be32(&tmapti[8]) + 2], 0xFFFF);
    put32(&ifo->table[ID_VTS_VOBU_ADMAP][0], 0xFFFFFFFFu);
    Bytes& pgcit = ifo->table[ID_VTS_PGCITI] = Bytes(2048, 0xFF);
    put16(&pgcit[0], 2);
    put32(&pgcit[12], 1800);
    put16(&pgcit[1800 + pgc::kCellPositionStart], 200);
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
    const std::string vmg = sampleFile("ntsc43", "VIDEO_TS.IFO");
    EXPECT_FALSE(OnAutoCalc(ws, &ws.add(vmg, loadSample(vmg)), dialogs, ui, {}));
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

TEST(AutoCalcCli, RestoresTheFileUnlessADryRunOrTheScanDisagrees) {
    TempDir dir;
    const std::string path = copyTitleSet(dir, "ntsc43", "VTS_01_0.IFO");
    const Bytes original = readFile(path);
    IfoHandle ifo = loadSample(path);
    spoil(*ifo, TimeMaps::Shifted);
    RecordingInteraction ui;
    ASSERT_TRUE(writeIfoFileAtomically(path, *ifo, ui));
    const Bytes spoilt = readFile(path);
    const auto dry = runCli({"autocalc", path, "--dry-run"});
    EXPECT_THAT(dry.out, HasSubstr("VTS_VOBU_ADMAP  22 entries written, "));
    EXPECT_THAT(dry.err, HasSubstr("Scanning for stream id's"));
    EXPECT_EQ(readFile(path), spoilt);
    EXPECT_EQ(runCli({"autocalc", path}).status, 0);
    EXPECT_EQ(readFile(path), original);
    EXPECT_THAT(runCli({"autocalc", path}).out, HasSubstr("Nothing to change"));
    EXPECT_EQ(runCli({"autocalc", path, "--tables", "VTS_NOPE"}).status, 2);
    EXPECT_EQ(runCli({"autocalc", sampleFile("ntsc43", "VIDEO_TS.IFO"), "--dry-run"}).status, 1);
    fs::remove(dir.file("VTS_01_1.VOB"));
    EXPECT_EQ(runCli({"autocalc", path}).err,
              "navtab-cli: no title VOB files (VTS_nn_1.VOB ...) beside " + path + "\n");

    // A title VOB cut short, as after a failed copy: the scan finds far fewer VOBUs and cells than
    // the title set describes. Nothing is written unless the user insists.
    fs::copy_file(sampleFile("ntsc43", "VTS_01_1.VOB"), dir.file("VTS_01_1.VOB"));
    fs::resize_file(dir.file("VTS_01_1.VOB"), 100 * 2048);
    const IfoHandle tables = loadSample(path), cut = loadSample(path);
    const auto refused = RunAutoCalc(*cut, path, {}, {kScanAll, {}, nullptr});
    EXPECT_EQ(refused.result, AutoCalcOutcome::Result::Disagrees);
    ASSERT_EQ(refused.disagreements.size(), 7u);  // and one line for each cell the PGCs miss
    EXPECT_EQ(refused.disagreements[1], "the VOB files hold 1 cell, VTS_C_ADT has 6 entries");
    EXPECT_EQ(refused.disagreements[6],
              "title PGC 2 plays cell 3/2, which the VOB files do not hold");
    EXPECT_EQ(cut->table, tables->table);

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
    EXPECT_THAT(cli.err, HasSubstr("the VOB files hold 1 cell, VTS_C_ADT has 6 entries\n"));
    EXPECT_EQ(loadSample(path)->table, tables->table);
    const auto forced = runCli({"autocalc", path, "--force", "--dry-run"});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_THAT(forced.out, HasSubstr("VTS_VOBU_ADMAP  4 entries written"));
}

// lsdvd (libdvdread) reads the folder as one title with a chapter per cell, and mpv plays its
// first 100 frames through libdvdnav without an error.
struct Plays {
    int cells, audio, subp;
    double seconds, frame;
};

void expectPlays(const fs::path& folder, const Plays& want) {
    const std::string text = lsdvdOf(folder);
    static const std::regex title(
        R"(Title: \d+, Length: (\d+):(\d+):([\d.]+) Chapters: (\d+), Cells: (\d+), )"
        R"(Audio streams: (\d+), Subpictures: (\d+))");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(text, m, title)) << text;
    EXPECT_THAT(m.suffix().str(), Not(HasSubstr("Title: "))) << "one title";
    EXPECT_EQ(
        std::vector<int>({std::stoi(m[4]), std::stoi(m[5]), std::stoi(m[6]), std::stoi(m[7])}),
        std::vector<int>({want.cells, want.cells, want.audio, want.subp}));
    EXPECT_NEAR(std::stoi(m[1]) * 3600 + std::stoi(m[2]) * 60 + std::stod(m[3]), want.seconds,
                want.frame);
    if (runCommand("command -v mpv").status != 0) return;
    const auto r = runCommand(
        "timeout 120 mpv --no-config --vo=null --ao=null --frames=100 "
        "--dvd-device='" +
        folder.string() + "' dvd:// 2>&1");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_FALSE(std::regex_search(r.out, std::regex("error", std::regex::icase))) << r.out;
    EXPECT_THAT(r.out, HasSubstr("switched to title: 1"));
}

// The title VOB files of each sample title set, without any IFO file: every cell of the VOB
// files in stream order (title 2 of mixed0 replays cells of title 1 and adds nothing).
struct SampleVobs {
    std::string disc, vob;
    Plays want;
};

class CreateIfosSamples : public testing::TestWithParam<SampleVobs> {};

TEST_P(CreateIfosSamples, NewFolderReadsAsOneTitleWithAChapterPerCellAndPlays) {
    const SampleVobs& s = GetParam();
    TempDir dir;
    fs::copy_file(sampleFile(s.disc, s.vob), dir.file("VTS_01_1.VOB"));
    const auto r = runCli({"create-ifos", dir.file("VTS_01_1.VOB"), dir.file("VIDEO_TS.IFO")});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* f : {"VIDEO_TS", "VTS_01_0"})
        EXPECT_EQ(readFile(dir.file(f + std::string(".BUP"))),
                  readFile(dir.file(f + std::string(".IFO"))))
            << f;
    expectPlays(dir.path(), s.want);
}

constexpr double kNtsc = 1 / 29.97, kPal = 0.04;
INSTANTIATE_TEST_SUITE_P(EachTitleSet, CreateIfosSamples,
                         testing::Values(SampleVobs{"ntsc43", "VTS_01_1.VOB", {6, 2, 2, 11, kNtsc}},
                                         SampleVobs{"ntsc43", "VTS_02_1.VOB", {2, 1, 0, 3, kNtsc}},
                                         SampleVobs{"pal169", "VTS_01_1.VOB", {2, 2, 0, 4, kPal}},
                                         SampleVobs{"mixed0", "VTS_01_1.VOB", {4, 3, 0, 4, kPal}},
                                         SampleVobs{"regs", "VTS_01_1.VOB", {2, 1, 0, 1, kNtsc}}));

// A title made by ffmpeg and dvdauthor without menus and without audio: no private stream 1
// packet, so the new title set lists no audio and no sub-picture stream. The IFO files dvdauthor
// wrote are removed; the new ones take their place, in the folder's lower-case names.
TEST(CreateIfos, VideoOnlyDvdauthorTitleGetsNoAudioOrSubpictureStreams) {
    TempDir dir;
    const auto made = runCommand(
        "cd '" + dir.path().string() +
        "' && ffmpeg -v error -f lavfi -i testsrc=size=720x576:rate=25:duration=3 -an -target "
        "pal-dvd -vf setdar=4/3 -g 12 -b:v 1500k -y in.mpg && VIDEO_FORMAT=PAL dvdauthor -o disc "
        "-t -c 0,1.44 in.mpg 2>&1 && cd disc/VIDEO_TS && rm VTS_01_0.* && mv VTS_01_1.VOB "
        "vts_01_1.vob");
    ASSERT_EQ(made.status, 0) << made.out << made.err;
    const fs::path folder = dir.path() / "disc" / "VIDEO_TS";
    const auto r = runCli(
        {"create-ifos", (folder / "vts_01_1.vob").string(), (folder / "video_ts.ifo").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(folder / "video_ts.bup") && fs::exists(folder / "vts_01_0.bup"));
    expectPlays(folder, {2, 0, 0, 3, kPal});
}

// The create-new option of VOB Extras on ntsc43: after stripping an audio stream of title set 1
// or a sub-picture stream of title set 2 (which becomes title set 01 in the copy), and with
// nothing stripped: then no VOB file is written and the user learns which VOB files belong
// beside the new IFO files. The source folder comes through unchanged.
TEST(CreateIfos, CreateNewGivesAPlayableTitleSet01AndRefusedOrFailedRunsWriteNoIfo) {
    TempDir dir;
    const fs::path src = dir.path() / "src";
    fs::create_directory(src);
    copySampleFolder("ntsc43", src);
    const auto folderBefore = folderFiles(src);
    const struct {
        const char* folder;
        std::vector<std::string> args;
        Plays want;
    } runs[] = {
        {"one", {"VTS_01_0.IFO", "VTS_01_1.VOB", "--strip-streams", "0x81"}, {6, 1, 2, 11, kNtsc}},
        {"two", {"VTS_02_0.IFO", "VTS_02_1.VOB", "--strip-streams", "0x20"}, {2, 1, 0, 3, kNtsc}},
        {"three", {"VTS_02_0.IFO", "VTS_02_0.IFO"}, {2, 1, 0, 3, kNtsc}},
    };
    for (const auto& run : runs) {
        const fs::path out = dir.path() / run.folder;
        fs::create_directory(out);
        std::vector<std::string> args = {"vob-extras", (src / run.args[0]).string(),
                                         (out / run.args[1]).string(), "--create-new"};
        args.insert(args.end(), run.args.begin() + 2, run.args.end());
        const auto r = runCli(args);
        ASSERT_EQ(r.status, 0) << r.err;
        if (run.args.size() == 2) {
            EXPECT_THAT(r.err, HasSubstr("Copy the source VOB files there"));
            fs::copy_file(src / "VTS_02_1.VOB", out / "VTS_01_1.VOB");
        }
        EXPECT_FALSE(fs::exists(out / "VTS_02_1.VOB") || fs::exists(out / "VTS_02_0.IFO"));
        expectPlays(out, run.want);
    }
    EXPECT_EQ(folderFiles(src), folderBefore);

    // The guards: new IFO files never go into the source folder, and a write that fails leaves no
    // IFO file at all (VIDEO_TS.IFO naming a title set whose IFO is missing would break the
    // folder).
    TempDir other;
    copySampleFolder("pal169", other.path());
    const Bytes before = readFile(other.file("VTS_01_0.IFO"));
    auto res = runCli(
        {"vob-extras", other.file("VTS_01_0.IFO"), other.file("VTS_01_0.IFO"), "--create-new"});
    EXPECT_EQ(res.status, 1);
    EXPECT_THAT(res.err, HasSubstr("overwrite your original VOB files"));
    EXPECT_EQ(readFile(other.file("VTS_01_0.IFO")), before);
    fs::create_directories(other.path() / "out" / "VTS_01_0.IFO");  // cannot be written as a file
    res = runCli({"create-ifos", other.file("VTS_01_1.VOB"), other.file("out/VIDEO_TS.IFO")});
    EXPECT_EQ(res.status, 1);
    EXPECT_FALSE(fs::exists(other.path() / "out" / "VIDEO_TS.IFO"));
    EXPECT_FALSE(fs::exists(other.path() / "out" / "VIDEO_TS.BUP"));
    writeFile(other.file("junk.vob"), Bytes(4 * 2048, 0xB3));
    res = runCli({"create-ifos", other.file("junk.vob"), other.file("out/VIDEO_TS.IFO")});
    EXPECT_EQ(res.status, 1);
    EXPECT_THAT(res.err, HasSubstr("No navigation pack"));
}

// The command asks for the first VOB, then for the new VIDEO_TS.IFO; cancelling either ends it
// with nothing written. Answered, it opens both new files into the workspace, and a second run
// over them asks before replacing them.
TEST(CreateIfos, CommandAsksForBothFilesAndOpensTheNewOnes) {
    struct Chooser : RecordingInteraction {
        std::string vob, ifo;
        std::string chooseFileToOpen(const std::string&) override { return vob; }
        std::string chooseFileToSave(const std::string& proposed, const std::string&) override {
            EXPECT_EQ(proposed, "VIDEO_TS.IFO");
            return ifo;
        }
    };
    TempDir dir;
    fs::copy_file(sampleFile("regs", "VTS_01_1.VOB"), dir.file("VTS_01_1.VOB"));
    Chooser ui;
    Workspace workspace;
    WorkspaceDocuments documents(workspace, ui);
    FakeDialogs dialogs;
    vob::ExtrasContext ctx{workspace, documents, dialogs, ui};
    using R = vob::ExtrasOutcome::Result;
    for (const auto& [vob, ifo] : {std::pair{"", "VIDEO_TS.IFO"}, std::pair{"VTS_01_1.VOB", ""}}) {
        ui.vob = *vob ? dir.file(vob) : "";
        ui.ifo = *ifo ? dir.file(ifo) : "";
        EXPECT_EQ(vob::CreateIfos(ctx).result, R::Cancelled);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    ui.vob = dir.file("VTS_01_1.VOB");
    ui.ifo = dir.file("VIDEO_TS.IFO");
    EXPECT_EQ(vob::CreateIfos(ctx).result, R::Done);
    ASSERT_EQ(workspace.documents().size(), 2u);  // which, and how the window shows them: tests/ui
    EXPECT_TRUE(ui.questions.empty() && ui.messages.empty());
    EXPECT_EQ(vob::CreateIfos(ctx).result, R::Cancelled);  // No to replacing them
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(workspace.documents().size(), 2u);
}

// A sector cut short or claiming more than it holds is read only as far as it goes: every prefix
// of a real audio, sub-picture and video sector, and each with its lengths set to the maximum.
TEST(CreateIfos, StreamsFromDamagedSectorsVideoAttributesAndTimeMapEntries) {
    const Bytes vob = readFile(sampleFile("ntsc43", "VTS_01_1.VOB"));
    vob::CollectedStreams whole;
    for (std::size_t at = 0; at + 2048 <= vob.size(); at += 2048) {
        Bytes s(vob.begin() + static_cast<long>(at), vob.begin() + static_cast<long>(at + 2048));
        vob::CollectStreams(whole, s);
        vob::CollectedStreams c;
        // No sequence header fits before byte 36 (pack header, PES header with its time stamps,
        // 8 bytes of header): none may be taken from a shorter piece.
        for (std::size_t cut = 0; cut <= 64; ++cut) {
            vob::CollectStreams(
                c, std::vector<std::uint8_t>(s.begin(), s.begin() + static_cast<long>(cut)));
            EXPECT_TRUE(cut > 30 || !c.video) << cut;
        }
        s[18] = s[19] = s[22] = 0xFF;  // packet and header lengths past the sector's end
        vob::CollectStreams(c, std::vector<std::uint8_t>(s.begin(), s.begin() + 40));
    }
    EXPECT_TRUE(whole.video && whole.present[0x80] && whole.present[0x20]);

    for (const auto& [width, height, ratio, rate, word] : {std::tuple{720u, 576u, 3u, 3u, 0x5E00},
                                                           {720u, 480u, 2u, 4u, 0x4300},
                                                           {704u, 576u, 2u, 3u, 0x5304},
                                                           {352u, 240u, 2u, 4u, 0x4308}}) {
        const auto b = [](unsigned v) { return static_cast<std::uint8_t>(v & 0xFF); };
        EXPECT_EQ(
            vob::videoAttributeWord({0, 0, 1, 0xB3, b(width >> 4), b(width << 4 | height >> 8),
                                     b(height), b(ratio << 4 | rate)}),
            word)
            << width << "x" << height;
    }

    // 20 VOBUs of 12 frames at 25 fps, cells of 10 VOBUs; VOBU 3's end lies before its start, so it
    // adds nothing. The 4-second unit (100 frames) is passed in VOBU 9 and VOBU 17; the first entry
    // is followed by one in another cell, the second is the last: both carry bit 31.
    vob::VobuList vobus;
    for (std::uint32_t i = 0; i < 20; ++i) {
        vob::VobuInfo v;
        v.sector = 100 + 10 * i;
        v.rate = 25;
        v.vobId = 1;
        v.cellId = i < 10 ? 1 : 2;
        v.sPtm = 43200 * i;
        v.ePtm = i == 3 ? 0 : 43200 * (i + 1);
        vobus.push_back(v);
    }
    EXPECT_EQ(vob::timeMapEntries(vobus),
              (std::vector<std::uint32_t>{0x80000000u | 190, 0x80000000u | 270}));
}

}  // namespace
}  // namespace navtab::test
