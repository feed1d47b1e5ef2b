// The player behind the playback window on damaged copies of the sample discs: the messages of
// its events (VOB files that cannot be opened or sought, an illegal command, a disc that plays
// nothing, a parental level to accept), how often they come, and the failures of Initialize.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "navigator/dvd_player.h"
#include "unit/test_support.h"

namespace navtab::navigator {
namespace {

// Plays every cell at once.
struct InstantOutput : MediaOutput {
    std::vector<CellToPlay> cells;
    void playCell(const CellToPlay& c) override { cells.push_back(c); }
    void flush() override {}
    void setRunning(bool) override {}
    void setRate(double) override {}
    void setStreams(int, int, bool) override {}
    void setButtons(const Vobu&, int) override {}
};

struct RecordingOwner : PlayerOwner {
    std::vector<std::string> messages;  // "caption: text"
    std::vector<std::string> questions;
    bool answer = true;
    int prohibited = 0;
    void updateStatus() override {}
    void operationProhibited() override { ++prohibited; }
    void message(const std::string& text, const std::string& caption) override {
        messages.push_back(caption + ": " + text);
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back(caption + ": " + text);
        return answer;
    }
};

struct Session {
    RecordingOwner owner;
    InstantOutput output;
    DvdPlayer player{owner, output};

    // Plays until nothing more happens, every cell at once, answering menus with Enter.
    void run(int rounds = 60) {
        for (int i = 0; i < rounds; ++i) {
            while (!output.cells.empty() && player.state() == kPlaying) {
                output.cells.pop_back();
                player.cellPlayed();
            }
            player.pump(i * 1000.0);
            if (player.navigator()->status() == Status::Menu) player.activateButton();
        }
    }
};

// A copy of a sample disc, changed by `edit` (which gets the folder).
template <typename Edit>
std::unique_ptr<test::TempDir> copyOf(const std::string& disc, Edit edit) {
    auto dir = std::make_unique<test::TempDir>();
    test::copySampleFolder(disc, dir->path());
    edit(*dir);
    return dir;
}

// Replaces first-play pre-command `n` (0-based) of a VIDEO_TS.IFO.
void patchFirstPlayCommand(const std::string& ifo, int n, const std::array<std::uint8_t, 8>& c) {
    test::Bytes b = test::readFile(ifo);
    const std::size_t pgc = be32(&b[0x84]);
    const std::size_t commands = pgc + be16(&b[pgc + 0xE4]) + 8;
    std::copy(c.begin(), c.end(), b.begin() + static_cast<std::ptrdiff_t>(commands + 8 * n));
    test::writeFile(ifo, b);
}

int count(const std::vector<std::string>& v, const std::string& s) {
    return static_cast<int>(std::count(v.begin(), v.end(), s));
}

const std::string kOpen1 = "Warning: DVD Warning: Could not open a file on the DVD disc.";
const std::string kOpen2 =
    "Warning: A file on the DVD disc could not be opened. Playback may not continue.";
const std::string kSeek1 = "Warning: DVD Warning: Could not seek in a file on the DVD disc.";

TEST(DvdPlayerEvents, MissingAndCutVobFilesWarnOncePerFile) {
    // No title VOB of title set 1: each play of title 1 fails to open it, but the user is told
    // once. A title VOB cut short: the sectors past its end cannot be sought.
    const auto missing = copyOf(
        "ntsc43", [](const test::TempDir& d) { std::filesystem::remove(d.file("VTS_01_1.VOB")); });
    const auto cut = copyOf("ntsc43", [](const test::TempDir& d) {
        std::filesystem::resize_file(d.file("VTS_01_1.VOB"), 100 * 2048);
    });
    struct Case {
        const test::TempDir* dir;
        std::vector<std::string> first, absent;
    };
    for (const Case& c :
         {Case{missing.get(), {kOpen1, kOpen2}, {kSeek1}}, Case{cut.get(), {kSeek1}, {kOpen1}}}) {
        Session s;
        ASSERT_TRUE(s.player.Initialize(c.dir->path().string()));
        s.player.StopNavigation();
        s.player.Play();
        for (int i = 0; i < 3; ++i) {
            s.player.PlayTitle(1);
            s.run(10);
        }
        for (const std::string& m : c.first) EXPECT_EQ(count(s.owner.messages, m), 1) << m;
        for (const std::string& m : c.absent) EXPECT_EQ(count(s.owner.messages, m), 0) << m;
        // The first line comes before the second.
        if (c.first.size() == 2) {
            const auto at = std::find(s.owner.messages.begin(), s.owner.messages.end(), kOpen1);
            ASSERT_TRUE(at != s.owner.messages.end() && at + 1 != s.owner.messages.end());
            EXPECT_EQ(*(at + 1), kOpen2);
        }
    }
}

TEST(DvdPlayerEvents, IllegalCommandThenNothingToPlayStopsWithTheErrorMessage) {
    // First play jumps to title 99: the navigator warns and stops before any cell played, and
    // the player does not try title 1 for ever.
    const auto dir = copyOf("regs", [](const test::TempDir& d) {
        patchFirstPlayCommand(d.file("VIDEO_TS.IFO"), 0, {0x30, 0x02, 0, 0, 0, 99, 0, 0});
    });
    Session s;
    ASSERT_TRUE(s.player.Initialize(dir->path().string()));
    s.player.Play();
    s.run();
    ASSERT_EQ(s.owner.messages.size(), 2u);
    EXPECT_EQ(s.owner.messages[0],
              "Warning: DVD Warning: An illegal navigation command was encountered.");
    EXPECT_EQ(s.owner.messages[1],
              "Error: An unexpected error (possibly incorrectly authored content)\nwas "
              "encountered.\nCan't playback this DVD-Video disc.");
}

TEST(DvdPlayerEvents, ParentalLevelChangeIsAskedAndTheAnswerKept) {
    // First play: "SetTmpPML 8, goto line 2" in place of g0 = 7.
    const auto dir = copyOf("regs", [](const test::TempDir& d) {
        patchFirstPlayCommand(d.file("VIDEO_TS.IFO"), 0, {0x00, 0x03, 0, 0, 0, 0, 8, 2});
    });
    for (const bool yes : {true, false}) {
        Session s;
        s.owner.answer = yes;
        ASSERT_TRUE(s.player.Initialize(dir->path().string()));
        s.player.Play();
        s.player.pump(0);
        ASSERT_EQ(s.owner.questions.size(), 1u);
        EXPECT_EQ(s.owner.questions[0], "Accept Change?: Accept Parental Level Change Request?");
        EXPECT_EQ(s.player.registers().sprm[kParentalLevel], yes ? 8 : 15);
        // Declined, the command's goto is not taken and g1 = 3 of line 2 still runs.
        EXPECT_EQ(s.player.registers().gprm[1], 3);
    }
}

TEST(DvdPlayerInitialize, FolderWithoutVideoManagerOrDecoderFails) {
    test::TempDir empty;
    Session none;
    EXPECT_FALSE(none.player.Initialize(empty.path().string()));
    ASSERT_EQ(none.owner.messages.size(), 1u);
    EXPECT_EQ(none.owner.messages[0].rfind("RenderDvdVideoVolume Failed!: Could not open", 0), 0u);
    EXPECT_EQ(none.player.state(), kUninitialized);
    EXPECT_FALSE(none.player.Play());

    const std::string folder = test::sampleFile("ntsc43", "");
    Session noVideo;
    EXPECT_FALSE(noVideo.player.Initialize(folder, 1u));
    EXPECT_EQ(noVideo.owner.messages.at(0).rfind("Can't initialize DVD sample: The DVD sample", 0),
              0u);
    // Without an audio decoder the user is asked, and No gives up.
    Session noAudio;
    noAudio.owner.answer = false;
    EXPECT_FALSE(noAudio.player.Initialize(folder, 2u));
    EXPECT_EQ(noAudio.owner.questions.at(0),
              "Warning: * 1 out of 3 DVD-Video streams failed to render properly\n    - audio "
              "stream\n\n\nDo you still want to continue?");
    // A title set whose IFO and BUP are gone: the volume is invalid, Yes plays the rest.
    const auto partial = copyOf("ntsc43", [](const test::TempDir& d) {
        std::filesystem::remove(d.file("VTS_02_0.IFO"));
        std::filesystem::remove(d.file("VTS_02_0.BUP"));
    });
    Session rest;
    EXPECT_TRUE(rest.player.Initialize(partial->path().string()));
    EXPECT_EQ(rest.owner.questions.at(0),
              "Warning: * Specified DVD-Video volume was invalid\n\n\nDo you still want to "
              "continue?");
}

}  // namespace
}  // namespace navtab::navigator
