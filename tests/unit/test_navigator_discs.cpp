// The navigator against libdvdnav, the reference: both play the same scripted sessions on every
// sample disc, and the cells they play must agree: domain, title set, title, PGC (in titles, where
// libdvdnav tells it), cell number, first and last sector, and the button highlighted when a menu
// cell ends. The player behind the playback window on damaged copies of the samples: the messages
// of its events, how often they come, and the failures of Initialize.
#include <gtest/gtest.h>

#include <dvdnav/dvdnav.h>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "navigator/dvd_player.h"
#include "navigator/scripted_session.h"
#include "unit/test_support.h"

namespace navtab::navigator {
namespace {

struct Played {
    std::string domain;
    int titleSet = 0, title = 0, pgc = 0, cell = 0, button = 0;
    std::uint32_t first = 0, last = 0;
    bool operator==(const Played&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Played& p) {
    return os << p.domain << " vts " << p.titleSet << " title " << p.title << " pgc " << p.pgc
              << " cell " << p.cell << " sectors " << p.first << "-" << p.last << " button "
              << p.button;
}

// Besides answering menus, a session may operate once, at the end of a cell in a title's second
// or later program (libdvdnav refuses "previous chapter" in a title's first program): skip a
// chapter, or call the root menu and resume from it at once.
enum class Operation { None, NextChapter, PreviousChapter, MenuAndResume };

struct Session {
    std::string name;
    int title = 0, chapter = 1;
    std::vector<int> presses;
    Operation operation = Operation::None;
    long cells = 24;
    const char* language = "en";
};

std::vector<Played> playNavtab(const Disc& disc, const Session& s) {
    Navigator nav(disc);
    nav.setMenuLanguage(languageCode(s.language[0], s.language[1]));
    std::vector<Played> out;
    std::size_t press = 0;
    bool operated = false, resuming = false;
    std::uint32_t vobuFrom = 0;  // the VOBUs of a cell follow each other without a gap
    auto drain = [&] {
        for (const Event& e : nav.takeEvents()) {
            if (e.kind == EventKind::Cell) {
                out.push_back({std::string(domainName(e.domain)), e.titleSet, e.title,
                               e.domain == Domain::Title ? e.pgc : 0, e.cell, 0, e.first, e.last});
                vobuFrom = e.first;
            }
            if (e.kind == EventKind::Vobu) {
                EXPECT_EQ(e.first, vobuFrom) << s.name;
                EXPECT_LE(e.last, out.back().last) << s.name;
                vobuFrom = e.last + 1;
            }
        }
    };
    if (s.title) {
        nav.startAndSettle();
        nav.takeEvents();
        nav.playPart(s.title, s.chapter);
    } else {
        nav.start();
    }
    drain();
    for (;;) {
        // The last cell is taken to its end, where its button shows.
        if (static_cast<long>(out.size()) >= s.cells &&
            (nav.atCellEnd() || nav.status() != Status::Running)) {
            if (nav.status() == Status::Menu) out.back().button = nav.highlightedButton();
            break;
        }
        const Status st = nav.step();
        drain();
        if (st == Status::Stopped) break;
        if (st == Status::Still) nav.stillOff();
        if (st == Status::Menu && static_cast<long>(out.size()) < s.cells) {
            out.back().button = nav.highlightedButton();
            if (resuming) {
                resuming = false;
                nav.resume();
            } else {
                AnswerMenu(nav, s.presses, press);
            }
        }
        if (!operated && out.size() >= 2 && nav.atCellEnd() && st == Status::Running &&
            nav.position().program > 1 && nav.position().domain == Domain::Title &&
            s.operation != Operation::None) {
            operated = true;
            if (s.operation == Operation::NextChapter) nav.nextChapter();
            if (s.operation == Operation::PreviousChapter) nav.previousChapter();
            if (s.operation == Operation::MenuAndResume)
                resuming = nav.menuCall(kRootMenu) == UopResult::Done;
        }
        drain();
    }
    return out;
}

std::string dvdnavDomain(dvdnav_t* d) {
    if (dvdnav_is_domain_fp(d)) return "fp";
    if (dvdnav_is_domain_vmgm(d)) return "vmgm";
    return dvdnav_is_domain_vtsm(d) ? "vtsm" : "tt";
}

std::vector<Played> playDvdnav(const std::string& folder, const Session& s) {
    dvdnav_t* d = nullptr;
    std::vector<Played> out;
    if (dvdnav_open(&d, folder.c_str()) != DVDNAV_STATUS_OK) return out;
    dvdnav_set_readahead_flag(d, 0);
    dvdnav_menu_language_select(d, const_cast<char*>(s.language));
    dvdnav_set_PGC_positioning_flag(d, 1);
    std::vector<std::uint8_t> buf(2048);
    std::size_t press = 0;
    bool started = s.title == 0, operated = false, inCell = false, resuming = false;
    bool resumed = false;
    int titleSet = 0;
    Played current;
    auto finish = [&] {
        if (inCell) out.push_back(current);
        inCell = false;
    };
    for (int guard = 0; guard < 200000 && static_cast<long>(out.size()) < s.cells; ++guard) {
        int event = 0, len = 0;
        if (dvdnav_get_next_block(d, buf.data(), &event, &len) != DVDNAV_STATUS_OK) break;
        if (event == DVDNAV_VTS_CHANGE)
            titleSet = reinterpret_cast<dvdnav_vts_change_event_t*>(buf.data())->new_vtsN;
        if (!started) {
            if (event == DVDNAV_VTS_CHANGE || event == DVDNAV_CELL_CHANGE) {
                started = true;
                dvdnav_part_play(d, s.title, s.chapter);
            }
            continue;
        }
        int32_t title = 0, pgcn = 0, pgn = 0;
        bool cellEnds = false;
        if (event == DVDNAV_CELL_CHANGE) {
            finish();
            current = Played{dvdnavDomain(d)};
            // libdvdnav keeps the number of the title set it loaded last while it plays the
            // video manager; the manager has none.
            if (current.domain == "vtsm" || current.domain == "tt") current.titleSet = titleSet;
            current.cell = reinterpret_cast<dvdnav_cell_change_event_t*>(buf.data())->cellN;
            if (current.domain == "tt") {
                dvdnav_current_title_program(d, &title, &pgcn, &pgn);
                current.title = title;
                current.pgc = pgcn;
            }
            inCell = true;
        } else if (event == DVDNAV_NAV_PACKET) {
            const dsi_t* dsi = dvdnav_get_current_nav_dsi(d);
            pci_t* pci = dvdnav_get_current_nav_pci(d);
            if (inCell && current.first == 0 && current.last == 0)
                current.first = dsi->dsi_gi.nv_pck_lbn;
            // libdvdnav's position lags its NAV packet events by one VOBU: called to a menu at
            // the NAV packet of a cell's last VOBU, it resumes at the VOBU before. Navtab resumes
            // at the VOBU whose NAV pack it read last, so the resumed cell counts from the
            // second VOBU libdvdnav plays.
            else if (inCell && resumed) {
                resumed = false;
                current.first = dsi->dsi_gi.nv_pck_lbn;
            }
            if (inCell) current.last = dsi->dsi_gi.nv_pck_lbn + dsi->dsi_gi.vobu_ea;
            cellEnds = (dsi->vobu_sri.next_vobu & 0x3FFFFFFF) == 0x3FFFFFFF;
            if (cellEnds && pci->hli.hl_gi.hli_ss != 0 && pci->hli.hl_gi.btn_ns > 0) {
                finish();
                int32_t button = 0;
                dvdnav_get_current_highlight(d, &button);
                // libdvdnav keeps a button number beyond the menu's buttons, and then cannot
                // activate anything; a player highlights button 1.
                if (button > pci->hli.hl_gi.btn_ns) dvdnav_button_select(d, pci, 1);
                dvdnav_get_current_highlight(d, &button);
                out.back().button = button;
                if (resuming) {
                    resuming = false;
                    resumed = dvdnav_menu_call(d, DVD_MENU_Escape) == DVDNAV_STATUS_OK;
                } else if (press < s.presses.size())
                    dvdnav_button_select_and_activate(d, pci, s.presses[press++]);
                else
                    dvdnav_button_activate(d, pci);
                continue;
            }
        } else if (event == DVDNAV_STILL_FRAME) {
            dvdnav_still_skip(d);
        } else if (event == DVDNAV_WAIT) {
            dvdnav_wait_skip(d);
        } else if (event == DVDNAV_STOP) {
            finish();
            break;
        }
        if (cellEnds) dvdnav_current_title_program(d, &title, &pgcn, &pgn);
        if (!operated && inCell && out.size() + 1 >= 2 && cellEnds && pgn > 1 &&
            dvdnavDomain(d) == "tt" && s.operation != Operation::None) {
            operated = true;
            finish();
            if (s.operation == Operation::NextChapter) dvdnav_next_pg_search(d);
            if (s.operation == Operation::PreviousChapter) dvdnav_prev_pg_search(d);
            if (s.operation == Operation::MenuAndResume)
                resuming = dvdnav_menu_call(d, DVD_MENU_Root) == DVDNAV_STATUS_OK;
        }
    }
    if (static_cast<long>(out.size()) < s.cells) finish();
    dvdnav_close(d);
    return out;
}

std::vector<Session> sessionsFor(const Disc& disc) {
    std::vector<Session> all = {{"first play", 0, 1, {}}};
    for (int k = 1; k <= 4; ++k) all.push_back({"button " + std::to_string(k), 0, 1, {k}});
    for (int t = 1; t <= static_cast<int>(disc.titles.size()); ++t)
        for (int c = 1; c <= disc.titles[t - 1].parts; ++c) {
            const std::string name = "title " + std::to_string(t) + " chapter " + std::to_string(c);
            all.push_back({name, t, c, {}, Operation::None, 6});
        }
    all.push_back({"first play, German menus", 0, 1, {}, Operation::None, 24, "de"});
    all.push_back({"next chapter", 1, 1, {}, Operation::NextChapter, 6});
    all.push_back({"previous chapter", 1, 2, {}, Operation::PreviousChapter, 6});
    all.push_back({"menu call and resume", 1, 1, {}, Operation::MenuAndResume, 8});
    return all;
}

class NavigatorAgainstDvdnav : public ::testing::TestWithParam<const char*> {};

TEST_P(NavigatorAgainstDvdnav, PlaysTheSameCells) {
    const std::string folder = std::string(NAVTAB_TEST_DATA) + "/" + GetParam() + "/VIDEO_TS";
    const Disc disc = LoadDisc(folder);
    ASSERT_TRUE(disc.problems.empty());
    for (const Session& s : sessionsFor(disc)) {
        const auto ours = playNavtab(disc, s);
        ASSERT_FALSE(ours.empty()) << s.name;
        EXPECT_EQ(ours, playDvdnav(folder, s)) << GetParam() << ", session " << s.name;
    }
}

INSTANTIATE_TEST_SUITE_P(SampleDiscs, NavigatorAgainstDvdnav,
                         ::testing::Values("ntsc43", "pal169", "mixed0", "regs"));

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
    void updateStatus() override {}
    void operationProhibited() override {}
    void message(const std::string& text, const std::string& caption) override {
        messages.push_back(caption + ": " + text);
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back(caption + ": " + text);
        return answer;
    }
};

struct PlayerRun {
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

const std::string kOpen1 = "Warning: DVD Warning: Could not open a file on the DVD disc.";
const std::string kOpen2 =
    "Warning: A file on the DVD disc could not be opened. Playback may not continue.";
const std::string kSeek1 = "Warning: DVD Warning: Could not seek in a file on the DVD disc.";

TEST(DvdPlayerEvents, MessagesOfMissingFilesIllegalCommandsParentalChangesAndInitialize) {
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
        PlayerRun s;
        ASSERT_TRUE(s.player.Initialize(c.dir->path().string()));
        s.player.StopNavigation();
        s.player.Play();
        for (int i = 0; i < 3; ++i) {
            s.player.PlayTitle(1);
            s.run(10);
        }
        const auto& said = s.owner.messages;
        for (const std::string& m : c.first) EXPECT_EQ(std::count(said.begin(), said.end(), m), 1);
        for (const std::string& m : c.absent) EXPECT_EQ(std::count(said.begin(), said.end(), m), 0);
        // The first line comes before the second.
        if (c.first.size() == 2) {
            const auto at = std::find(s.owner.messages.begin(), s.owner.messages.end(), kOpen1);
            ASSERT_TRUE(at != s.owner.messages.end() && at + 1 != s.owner.messages.end());
            EXPECT_EQ(*(at + 1), kOpen2);
        }
    }

    // First play jumps to title 99: the navigator warns and stops before any cell played, and the
    // player does not try title 1 for ever. In place of g0 = 7, "SetTmpPML 8, goto line 2": the
    // user is asked; declined, the command's goto is not taken and g1 = 3 of line 2 still runs.
    const auto patched = [](const std::array<std::uint8_t, 8>& command) {
        return copyOf("regs", [&](const test::TempDir& d) {
            patchFirstPlayCommand(d.file("VIDEO_TS.IFO"), 0, command);
        });
    };
    const auto illegal = patched({0x30, 0x02, 0, 0, 0, 99, 0, 0});
    PlayerRun s;
    ASSERT_TRUE(s.player.Initialize(illegal->path().string()));
    s.player.Play();
    s.run();
    EXPECT_EQ(s.owner.messages,
              (std::vector<std::string>{
                  "Warning: DVD Warning: An illegal navigation command was encountered.",
                  "Error: An unexpected error (possibly incorrectly authored content)\nwas "
                  "encountered.\nCan't playback this DVD-Video disc."}));
    const auto parental = patched({0x00, 0x03, 0, 0, 0, 0, 8, 2});
    for (const bool yes : {true, false}) {
        PlayerRun p;
        p.owner.answer = yes;
        ASSERT_TRUE(p.player.Initialize(parental->path().string()));
        p.player.Play();
        p.player.pump(0);
        EXPECT_EQ(p.owner.questions, std::vector<std::string>{
                                         "Accept Change?: Accept Parental Level Change Request?"});
        EXPECT_EQ(p.player.registers().sprm[kParentalLevel], yes ? 8 : 15);
        EXPECT_EQ(p.player.registers().gprm[1], 3);
    }

    test::TempDir empty;
    PlayerRun none;
    EXPECT_FALSE(none.player.Initialize(empty.path().string()));
    ASSERT_EQ(none.owner.messages.size(), 1u);
    EXPECT_EQ(none.owner.messages[0].rfind("RenderDvdVideoVolume Failed!: Could not open", 0), 0u);
    EXPECT_EQ(none.player.state(), kUninitialized);
    EXPECT_FALSE(none.player.Play());

    const std::string folder = test::sampleFile("ntsc43", "");
    PlayerRun noVideo;
    EXPECT_FALSE(noVideo.player.Initialize(folder, 1u));
    EXPECT_EQ(noVideo.owner.messages.at(0).rfind("Can't initialize DVD sample: The DVD sample", 0),
              0u);
    // Without an audio decoder the user is asked, and No gives up.
    PlayerRun noAudio;
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
    PlayerRun rest;
    EXPECT_TRUE(rest.player.Initialize(partial->path().string()));
    EXPECT_EQ(rest.owner.questions.at(0),
              "Warning: * Specified DVD-Video volume was invalid\n\n\nDo you still want to "
              "continue?");
}

}  // namespace
}  // namespace navtab::navigator
