// "Create IFOs" and the create-new option of VOB Extras, checked from the outside: the new folder
// is read by lsdvd (libdvdread) and played by mpv (libdvdnav); the pieces that read VOB bytes are
// fed damaged sectors.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "core/bytes.h"
#include "format/file_tree.h"
#include "unit/test_support.h"
#include "unit/vob_fake_ui.h"
#include "vob/collected_streams.h"
#include "vob/create_ifos.h"
#include "vob/new_ifo_files.h"

namespace navtab {
namespace {

namespace fs = std::filesystem;
using test::runCli;
using test::runCommand;
using test::TempDir;

// What lsdvd says of the folder's titles.
struct TitleListing {
    int titles = 0, chapters = 0, cells = 0, audio = 0, subp = 0;
    double seconds = 0;
};

TitleListing lsdvdTitlesOf(const fs::path& folder) {
    const std::string text = test::lsdvdOf(folder);
    static const std::regex title(
        R"(Title: \d+, Length: (\d+):(\d+):([\d.]+) Chapters: (\d+), Cells: (\d+), )"
        R"(Audio streams: (\d+), Subpictures: (\d+))");
    TitleListing t;
    for (std::sregex_iterator it(text.begin(), text.end(), title), end; it != end; ++it) {
        const std::smatch& m = *it;
        ++t.titles;
        t.seconds = std::stoi(m[1]) * 3600 + std::stoi(m[2]) * 60 + std::stod(m[3]);
        t.chapters = std::stoi(m[4]);
        t.cells = std::stoi(m[5]);
        t.audio = std::stoi(m[6]);
        t.subp = std::stoi(m[7]);
    }
    return t;
}

// mpv plays the first 100 frames through libdvdnav; empty when it did so without an error.
std::string mpvFailure(const fs::path& folder) {
    if (runCommand("command -v mpv").status != 0) return "";
    const auto r = runCommand(
        "timeout 120 mpv --no-config --vo=null --ao=null --frames=100 "
        "--dvd-device='" +
        folder.string() + "' dvd:// 2>&1");
    if (r.status != 0) return "mpv exit status " + std::to_string(r.status) + "\n" + r.out;
    if (std::regex_search(r.out, std::regex("error", std::regex::icase))) return r.out;
    if (r.out.find("switched to title: 1") == std::string::npos) return r.out;
    return "";
}

void expectPlays(const fs::path& folder, const TitleListing& want, double frameSeconds) {
    const TitleListing got = lsdvdTitlesOf(folder);
    EXPECT_EQ(got.titles, 1);
    EXPECT_EQ(got.chapters, want.cells);
    EXPECT_EQ(got.cells, want.cells);
    EXPECT_EQ(got.audio, want.audio);
    EXPECT_EQ(got.subp, want.subp);
    EXPECT_NEAR(got.seconds, want.seconds, frameSeconds);
    EXPECT_EQ(mpvFailure(folder), "");
}

// The title VOB files of each sample title set, without any IFO file: every cell of the VOB
// files in stream order (title 2 of mixed0 replays cells of title 1 and adds nothing).
struct SampleVobs {
    std::string disc, vob;
    TitleListing want;  // cells, audio, sub-pictures, seconds
    double frame;
};

class CreateIfosSamples : public testing::TestWithParam<SampleVobs> {};

TEST_P(CreateIfosSamples, NewFolderReadsAsOneTitleWithAChapterPerCellAndPlays) {
    const SampleVobs& s = GetParam();
    TempDir dir;
    fs::copy_file(test::sampleFile(s.disc, s.vob), dir.file("VTS_01_1.VOB"));
    const auto r = runCli({"create-ifos", dir.file("VTS_01_1.VOB"), dir.file("VIDEO_TS.IFO")});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* f : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_0.BUP"})
        EXPECT_EQ(test::readFile(dir.file(f)),
                  test::readFile(dir.file(std::string(f).substr(0, 9) + "IFO")))
            << f;
    expectPlays(dir.path(), s.want, s.frame);
}

INSTANTIATE_TEST_SUITE_P(
    EachTitleSet, CreateIfosSamples,
    testing::Values(SampleVobs{"ntsc43", "VTS_01_1.VOB", {0, 0, 6, 2, 2, 11.0}, 1 / 29.97},
                    SampleVobs{"ntsc43", "VTS_02_1.VOB", {0, 0, 2, 1, 0, 3.0}, 1 / 29.97},
                    SampleVobs{"pal169", "VTS_01_1.VOB", {0, 0, 2, 2, 0, 4.0}, 0.04},
                    SampleVobs{"mixed0", "VTS_01_1.VOB", {0, 0, 4, 3, 0, 4.0}, 0.04},
                    SampleVobs{"regs", "VTS_01_1.VOB", {0, 0, 2, 1, 0, 1.0}, 1 / 29.97}));

// A title made by ffmpeg and dvdauthor without menus and without audio: no private stream 1
// packet, so the new title set lists no audio and no sub-picture stream. The IFO files dvdauthor
// wrote are removed; the new ones take their place, in the folder's lower-case names.
TEST(CreateIfos, VideoOnlyDvdauthorTitleGetsNoAudioOrSubpictureStreams) {
    if (runCommand("command -v dvdauthor && command -v ffmpeg").status != 0)
        GTEST_SKIP() << "dvdauthor or ffmpeg missing";
    TempDir dir;
    const auto made = runCommand(
        "cd '" + dir.path().string() +
        "' && ffmpeg -v error -f lavfi -i testsrc=size=720x576:rate=25:duration=3 -an "
        "-target pal-dvd -vf setdar=4/3 -g 12 -b:v 1500k -y in.mpg && VIDEO_FORMAT=PAL dvdauthor "
        "-o "
        "disc "
        "-t -c 0,1.44 in.mpg 2>&1 && rm disc/VIDEO_TS/VTS_01_0.* && mv disc/VIDEO_TS/VTS_01_1.VOB "
        "disc/VIDEO_TS/vts_01_1.vob");
    ASSERT_EQ(made.status, 0) << made.out << made.err;
    const fs::path folder = dir.path() / "disc" / "VIDEO_TS";
    const auto r = runCli(
        {"create-ifos", (folder / "vts_01_1.vob").string(), (folder / "video_ts.ifo").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(folder / "video_ts.bup"));
    EXPECT_TRUE(fs::exists(folder / "vts_01_0.bup"));
    expectPlays(folder, {0, 0, 2, 0, 0, 3.0}, 0.04);
}

// The create-new option after stripping the second audio stream of ntsc43's title set 1: a new
// folder with VTS_01_1.VOB and the two new IFO files that lsdvd and mpv read as one title.
// Title set 2 becomes title set 01 in the copy; the source folder comes through unchanged.
TEST(CreateIfos, CreateNewAfterStrippingGivesAPlayableTitleSet01) {
    TempDir dir;
    fs::create_directory(dir.path() / "src");
    test::copySampleFolder("ntsc43", dir.path() / "src");
    const auto source = [&](const std::string& f) { return (dir.path() / "src" / f).string(); };
    const test::Bytes vmgBefore = test::readFile(source("VIDEO_TS.IFO"));
    fs::create_directory(dir.path() / "one");
    auto r = runCli({"vob-extras", source("VTS_01_0.IFO"), dir.file("one/VTS_01_1.VOB"),
                     "--strip-streams", "0x81", "--create-new"});
    ASSERT_EQ(r.status, 0) << r.err;
    expectPlays(dir.path() / "one", {0, 0, 6, 1, 2, 11.0}, 1 / 29.97);

    fs::create_directory(dir.path() / "two");
    r = runCli({"vob-extras", source("VTS_02_0.IFO"), dir.file("two/VTS_02_1.VOB"),
                "--strip-streams", "0x20", "--create-new"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir.path() / "two" / "VTS_01_1.VOB"));
    EXPECT_FALSE(fs::exists(dir.path() / "two" / "VTS_02_1.VOB"));
    EXPECT_FALSE(fs::exists(dir.path() / "two" / "VTS_02_0.IFO"));
    expectPlays(dir.path() / "two", {0, 0, 2, 1, 0, 3.0}, 1 / 29.97);

    // Nothing stripped: no VOB file is written, the new IFO files go to the destination's folder
    // and the user learns which VOB files belong beside them.
    fs::create_directory(dir.path() / "three");
    r = runCli(
        {"vob-extras", source("VTS_02_0.IFO"), dir.file("three/VTS_02_0.IFO"), "--create-new"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Copy the source VOB files there"), std::string::npos) << r.err;
    fs::copy_file(source("VTS_02_1.VOB"), dir.file("three/VTS_01_1.VOB"));
    expectPlays(dir.path() / "three", {0, 0, 2, 1, 0, 3.0}, 1 / 29.97);
    EXPECT_EQ(test::readFile(source("VIDEO_TS.IFO")), vmgBefore);
}

// The guards: new IFO files never go into the source folder, and a write that fails leaves no
// IFO file at all (VIDEO_TS.IFO naming a title set whose IFO is missing would break the folder).
TEST(CreateIfos, RefusedAndFailedRunsWriteNoIfo) {
    TempDir dir;
    test::copySampleFolder("pal169", dir.path());
    const test::Bytes vts = test::readFile(dir.file("VTS_01_0.IFO"));
    auto r =
        runCli({"vob-extras", dir.file("VTS_01_0.IFO"), dir.file("VTS_01_0.IFO"), "--create-new"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("overwrite your original VOB files"), std::string::npos) << r.err;
    EXPECT_EQ(test::readFile(dir.file("VTS_01_0.IFO")), vts);

    fs::create_directory(dir.path() / "out");
    fs::create_directory(dir.path() / "out" / "VTS_01_0.IFO");  // cannot be written as a file
    r = runCli({"create-ifos", dir.file("VTS_01_1.VOB"), dir.file("out/VIDEO_TS.IFO")});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(dir.path() / "out" / "VIDEO_TS.IFO"));
    EXPECT_FALSE(fs::exists(dir.path() / "out" / "VIDEO_TS.BUP"));

    test::writeFile(dir.file("junk.vob"), test::Bytes(4 * 2048, 0xB3));
    r = runCli({"create-ifos", dir.file("junk.vob"), dir.file("out/VIDEO_TS.IFO")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("No navigation pack"), std::string::npos) << r.err;
}

// The command asks for the first VOB, then for the new VIDEO_TS.IFO; cancelling either ends it
// with nothing written. Answered, it opens both new files into the workspace, and a second run
// over them asks before replacing them.
TEST(CreateIfos, CommandAsksForBothFilesAndOpensTheNewOnes) {
    struct Chooser : test::RecordingInteraction {
        std::string vob, ifo;
        std::string chooseFileToOpen(const std::string&) override { return vob; }
        std::string chooseFileToSave(const std::string& proposed, const std::string&) override {
            EXPECT_EQ(proposed, "VIDEO_TS.IFO");
            return ifo;
        }
    };
    TempDir dir;
    fs::copy_file(test::sampleFile("regs", "VTS_01_1.VOB"), dir.file("VTS_01_1.VOB"));
    Chooser ui;
    Workspace workspace;
    WorkspaceDocuments documents(workspace, ui);
    test::FakeDialogs dialogs;
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
TEST(CreateIfos, CollectingStreamsReadsDamagedSectorsOnlyInsideThem) {
    const test::Bytes vob = test::readFile(test::sampleFile("ntsc43", "VTS_01_1.VOB"));
    std::vector<test::Bytes> sectors;
    for (std::size_t s = 0; s + 2048 <= vob.size(); s += 2048)
        sectors.emplace_back(vob.begin() + static_cast<long>(s),
                             vob.begin() + static_cast<long>(s + 2048));
    vob::CollectedStreams whole;
    for (const auto& s : sectors) vob::CollectStreams(whole, s);
    EXPECT_TRUE(whole.video && whole.present[0x80] && whole.present[0x20]);
    for (test::Bytes s : sectors) {
        vob::CollectedStreams c;
        for (std::size_t cut = 0; cut <= 64; ++cut) {
            const std::vector<std::uint8_t> prefix(s.begin(), s.begin() + static_cast<long>(cut));
            vob::CollectStreams(c, prefix);
            // No sequence header fits before byte 36 (pack header, PES header with its time
            // stamps, 8 bytes of header): none may be taken from a shorter piece.
            if (cut <= 30) {
                EXPECT_FALSE(c.video) << cut;
            }
        }
        s[18] = s[19] = s[22] = 0xFF;  // packet and header lengths past the sector's end
        const std::vector<std::uint8_t> heap(s.begin(), s.begin() + 40);
        vob::CollectStreams(c, heap);
    }
}

TEST(CreateIfos, VideoAttributeWordFollowsTheSequenceHeader) {
    struct Case {
        unsigned width, height, ratio, rate;
        std::uint16_t word;
    };
    for (const Case& c : {Case{720, 576, 3, 3, 0x5E00}, Case{720, 480, 2, 4, 0x4300},
                          Case{704, 576, 2, 3, 0x5304}, Case{352, 240, 2, 4, 0x4308}}) {
        const auto b = [](unsigned v) { return static_cast<std::uint8_t>(v & 0xFF); };
        // clang-format off
        const std::array<std::uint8_t, 8> h = {0, 0, 1, 0xB3, b(c.width >> 4),
                                               b(c.width << 4 | c.height >> 8), b(c.height),
                                               b(c.ratio << 4 | c.rate)};
        // clang-format on
        EXPECT_EQ(vob::videoAttributeWord(h), c.word) << c.width << "x" << c.height;
    }
}

// 20 VOBUs of 12 frames at 25 fps, cells of 10 VOBUs; VOBU 3's end lies before its start, so it
// adds nothing. The 4-second unit (100 frames) is passed in VOBU 9 and VOBU 17; the first entry
// is followed by one in another cell, the second is the last: both carry bit 31.
TEST(CreateIfos, TimeMapMarksEntriesBeforeACellChangeAndTheLast) {
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
}  // namespace navtab
