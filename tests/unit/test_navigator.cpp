// The navigator: command execution (arithmetic at its 16-bit edges, the compare forms of each
// group, links handed back), the loop guard, damaged discs, PGC playback on discs built in memory
// (random and shuffle order, angle blocks, stills), the NAV pack reader's buttons, and the trace
// of `navtab-cli play`.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "navcmd/nav_command.h"
#include "navigator/scripted_session.h"
#include "unit/test_support.h"
#include "unit/vob_test_streams.h"

namespace navtab::navigator {
namespace {

using navcmd::NavBytes;

// Each case starts with GPRM0 = 0xFFF0, GPRM1 = 3 and runs its commands.
TEST(CommandExecutor, ArithmeticLinksRandomNumbersAndTheBudget) {
    const struct {
        const char* what;
        std::vector<NavBytes> commands;
        int reg;
        std::uint16_t expected;
    } cases[] = {
        // Wrapping subtraction, mul, div, mod and xor are worked out on the regs sample below.
        {"add wraps", {{0x73, 0, 0, 0, 0, 0x20, 0, 0}}, 0, 0x0010},
        {"mul wraps", {{0x75, 0, 0, 0, 0, 2, 0, 0}}, 0, 0xFFE0},
        {"div by zero", {{0x76, 0, 0, 1, 0, 0, 0, 0}}, 1, 0xFFFF},
        {"mod by zero", {{0x77, 0, 0, 1, 0, 0, 0, 0}}, 1, 0xFFFF},
        {"swap", {{0x62, 0, 0, 1, 0, 0, 0, 0}}, 0, 3},
        // Group 4 sets first, then compares: GPRM1 = 3 + 2, and the link of a true compare.
        {"group 4", {{0x93, 0x21, 0, 2, 0, 5, 0, 0}}, 1, 5},
        // Group 5 sets only when the compare holds (3 == 4 is false).
        {"group 5 false", {{0xB1, 0xA1, 0, 9, 0, 4, 0, 0}}, 1, 3},
        {"group 6 true", {{0xD1, 0xA1, 0, 9, 0, 3, 0, 0}}, 1, 9},
        // Goto skips the set of line 2.
        {"goto", {{0x00, 0x01, 0, 0, 0, 0, 0, 3}, {0x71, 0, 0, 1, 0, 7, 0, 0}}, 1, 3},
        // A register code that names no register reads 0.
        {"invalid register", {{0x61, 0, 0, 1, 0, 0x40, 0, 0}}, 1, 0},
        {"counter mode", {{0x53, 0, 0, 0, 0, 0x82, 0, 0}}, 2, 0},
    };
    for (const auto& c : cases) {
        Registers r = Registers::initial();
        r.gprm[0] = 0xFFF0;
        r.gprm[1] = 3;
        std::mt19937 random(1);
        long budget = 100;
        CommandExecutor(r, random).run(c.commands, 0, budget);
        EXPECT_EQ(r.gprm[c.reg], c.expected) << c.what;
    }

    Registers r = Registers::initial();
    std::mt19937 random(7);
    CommandExecutor exec(r, random);
    long budget = 1000;
    // "If GPreg<0> == 0 then LinkTailPGC", then a command that must not run.
    const std::vector<NavBytes> link = {{0x20, 0xA1, 0, 0, 0, 0, 0, 0x0D},
                                        {0x71, 0, 0, 5, 0, 1, 0, 0}};
    const ExecutionResult res = exec.run(link, 0, budget);
    ASSERT_TRUE(res.linked);
    EXPECT_EQ(res.link.subset, navcmd::kLinkTailPgc);
    EXPECT_EQ(r.gprm[5], 0);
    const std::vector<NavBytes> rnd = {{0x78, 0, 0, 2, 0, 6, 0, 0}};
    for (int i = 0; i < 200; ++i) {
        exec.run(rnd, 0, budget);
        EXPECT_TRUE(r.gprm[2] >= 1 && r.gprm[2] <= 6) << r.gprm[2];
    }
    // SetTmpPML 4 jumps to line 3 when the player agrees; refused, line 2 sets GPRM7.
    const std::vector<NavBytes> pml = {{0x00, 0x03, 0, 0, 0, 0, 4, 3},
                                       {0x71, 0, 0, 7, 0, 1, 0, 0},
                                       {0x00, 0x02, 0, 0, 0, 0, 0, 0}};
    for (const bool yes : {false, true}) {
        r = Registers::initial();
        exec.acceptParentalLevel = [&](int level) { return level == 4 && yes; };
        exec.run(pml, 0, budget);
        EXPECT_EQ(r.sprm[kParentalLevel], yes ? 4 : 15);
        EXPECT_EQ(r.gprm[7], yes ? 0 : 1);
    }
    // The budget ends a list that jumps back to its own start.
    const std::vector<NavBytes> loop = {{0x00, 0x01, 0, 0, 0, 0, 0, 1}};
    long small = 50;
    EXPECT_TRUE(exec.run(loop, 0, small).exhausted);
}

// A first-play PGC whose pre-commands are `commands`, in a hand-built VMG with no titles.
ifo_t vmgWithFirstPlay(const std::vector<NavBytes>& commands) {
    ifo_t ifo;
    auto& mat = ifo.table[ID_MAT];
    mat.assign(2048, 0);
    std::copy_n("DVDVIDEO-VMG", 12, mat.begin());
    put32(mat.data() + kVmgFirstPlayPgc, 0x400);
    std::uint8_t* p = mat.data() + 0x400;
    put16(p + 0xE4, 0xEC);  // command table right after the header
    put16(p + 0xEC, static_cast<std::uint16_t>(commands.size()));
    for (std::size_t i = 0; i < commands.size(); ++i)
        std::copy(commands[i].begin(), commands[i].end(), p + 0xEC + 8 + 8 * i);
    return ifo;
}

// The events of a scripted session of `nav` from its start.
std::vector<Event> eventsOf(Navigator& nav, long maxCells = 1000) {
    Script s;
    s.maxCells = maxCells;
    std::vector<Event> events;
    RunScript(nav, s, [&](const Event& e) { events.push_back(e); });
    return events;
}

// "Goto line 1" for ever and a jump to the first-play PGC from itself end with the illegal
// command warning; jumps to titles, menus and PGCs that do not exist, with a title search table
// whose count runs past its bytes, are refused: playback stops.
TEST(Navigator, LoopsAndWildJumpsStopAndTheRegisterSampleEndsWithTheValuesWorkedOutByHand) {
    const std::pair<NavBytes, bool> cases[] = {
        {{0x00, 0x01, 0, 0, 0, 0, 0, 1}, true},         // Goto line 1
        {{0x30, 0x06, 0, 0, 0, 0x00, 0, 0}, true},      // JumpSS first play
        {{0x30, 0x02, 0, 0, 0, 99, 0, 0}, false},       // JumpTT 99
        {{0x30, 0x06, 0, 0, 0, 0xC0, 0, 0}, false},     // JumpSS VMG PGC 0
        {{0x20, 0x04, 0, 0, 0, 0, 0x7F, 0xFF}, false},  // LinkPGCN 32767
    };
    for (const auto& [command, loops] : cases) {
        ifo_t vmg = vmgWithFirstPlay({command});
        if (!loops) vmg.table[ID_VMG_PTT_SRPT].assign(2048, 0xFF);
        const Disc disc = DiscFromIfos(&vmg, {nullptr});
        Navigator nav(disc);
        const auto events = eventsOf(nav, 50);
        ASSERT_GE(events.size(), 2u);
        EXPECT_EQ(events.back().kind, EventKind::Stop) << DecodeNavCommand(command.data());
        EXPECT_TRUE(!loops || events[events.size() - 2].text == kIllegalCommandText);
    }
    // A first-play pointer past the file's end gives no first-play PGC.
    ifo_t cut = vmgWithFirstPlay({});
    put32(cut.table[ID_MAT].data() + kVmgFirstPlayPgc, 0xFFFFFF00u);
    EXPECT_FALSE(DiscFromIfos(&cut, {}).firstPlay.has_value());

    // The regs sample disc computes with registers; the values were worked out by hand from
    // tests/data/src/regs.xml. English menus: 7 * 3 = 21, 21 / 4 = 5, 21 % 4 = 1. German menus:
    // 7 + 3 = 10, 10 - 12 wraps to 65534, 10 ^ 6 = 12. Title 1 plays three times (g7), calls menu 2
    // once each time (g8) and resumes at its second cell; each random draw lies in 1..4 (g12).
    const Disc disc = LoadDisc(std::string(NAVTAB_TEST_DATA) + "/regs/VIDEO_TS");
    const struct {
        std::uint16_t language;
        std::vector<std::uint16_t> gprm;  // g0..g12; g9 is random and checked apart
    } languages[] = {
        {languageCode('e', 'n'), {7, 3, 21, 5, 1, 100, 1, 3, 3, 0, 0, 0, 3}},
        {languageCode('d', 'e'), {7, 3, 10, 65534, 12, 200, 2, 3, 3, 0, 0, 0, 3}},
        // A language the disc has no menus in plays the first language unit.
        {languageCode('f', 'r'), {7, 3, 21, 5, 1, 100, 1, 3, 3, 0, 0, 0, 3}},
    };
    for (const auto& c : languages) {
        Navigator nav(disc);
        nav.setMenuLanguage(c.language);
        const auto events = eventsOf(nav);
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().kind, EventKind::Stop);
        std::vector<std::uint16_t> g(nav.registers().gprm.begin(),
                                     nav.registers().gprm.begin() + 13);
        EXPECT_TRUE(g[9] >= 1 && g[9] <= 4) << g[9];
        g[9] = 0;
        EXPECT_EQ(g, c.gprm);
    }
}

// Chapter skips and a menu call with resume are held against libdvdnav (test_navigator_discs);
// here the resume information is used once and a PGC's prohibited-operation mask refuses what it
// names.
TEST(Navigator, UserOperationsMasksAndParentalLevels) {
    Disc disc = LoadDisc(std::string(NAVTAB_TEST_DATA) + "/ntsc43/VIDEO_TS");
    Navigator nav(disc);
    nav.startAndSettle();
    ASSERT_EQ(nav.playPart(1, 2), UopResult::Done);
    nav.step();
    EXPECT_EQ(nav.registers().sprm[kPartNumber], 2);
    ASSERT_EQ(nav.menuCall(kRootMenu), UopResult::Done);
    EXPECT_EQ(nav.resume(), UopResult::Done);
    nav.step();
    EXPECT_EQ(nav.position().cell, 2);
    EXPECT_EQ(nav.resume(), UopResult::Impossible);  // the resume information is used up
    disc.titleSets[0].titlePgcs[0].pgc.prohibitedUops = 1u << kUopNextProgram | 1u << kUopRootMenu;
    EXPECT_EQ(nav.nextChapter(), UopResult::Prohibited);
    EXPECT_EQ(nav.menuCall(kRootMenu), UopResult::Prohibited);
    EXPECT_EQ(nav.previousChapter(), UopResult::Done);
    EXPECT_EQ(nav.playTitle(42), UopResult::Impossible);

    // Title 1 of the sample made in two parental versions: PGC 1 for parental ID 1, and a copy of
    // PGC 2 as PGC 3 for ID 2. The versions's table for "US" lets level 8 play both, levels 2 to 7
    // only ID 2 and level 1 neither.
    Disc versions = LoadDisc(std::string(NAVTAB_TEST_DATA) + "/ntsc43/VIDEO_TS");
    auto& pgcs = versions.titleSets[0].titlePgcs;
    ASSERT_GE(pgcs.size(), 2u);
    pgcs[0].parentalMask = 1;
    PgcEntry version = pgcs[1];
    version.category = pgcs[0].category;
    version.parentalMask = 2;
    pgcs.push_back(version);
    // One country ("US") and one title set; the masks of levels 8 down to 1.
    versions.parentalTable = {0, 1, 0, 1, 0, 0, 0, 0, 'U', 'S', 0, 0, 0, 16, 0, 0, 0, 0, 0, 3};
    for (int level = 7; level >= 1; --level)
        versions.parentalTable.insert(versions.parentalTable.end(),
                                      {0, 0, 0, std::uint8_t(level == 1 ? 0 : 2)});

    const auto firstCellOrError = [&](int level) {
        Navigator player(versions);
        player.startAndSettle();
        player.registers().sprm[kParentalCountry] = languageCode('U', 'S');
        player.registers().sprm[kParentalLevel] = static_cast<std::uint16_t>(level);
        player.takeEvents();
        player.playTitle(1);
        for (int i = 0; i < 10; ++i) {
            player.step();
            for (const Event& e : player.takeEvents())
                if (e.kind == EventKind::Cell || e.kind == EventKind::Error) return e;
        }
        return Event{};
    };
    for (const auto& [level, pgc] : {std::pair{15, 1}, {8, 1}, {4, 3}}) {
        const Event e = firstCellOrError(level);
        EXPECT_EQ(std::pair(e.kind, e.pgc), std::pair(EventKind::Cell, pgc)) << level;
    }
    EXPECT_EQ(firstCellOrError(4).first, pgcs[1].pgc.cells[0].first);
    const Event blocked = firstCellOrError(1);
    EXPECT_EQ(blocked.kind, EventKind::Error);
    EXPECT_EQ(blocked.text, kParentalTooLowText);
}

// Every command line of the trace shows the command as the field list decodes it.
TEST(NavtabCliPlay, TraceShowsEachCommandAsTheDecoderDoes) {
    const std::string folder = std::string(NAVTAB_TEST_DATA) + "/ntsc43/VIDEO_TS";
    const Disc disc = LoadDisc(folder);
    Navigator nav(disc);
    nav.setTrace(true);
    std::vector<std::string> texts;
    for (const Event& e : eventsOf(nav, 30))
        if (e.kind == EventKind::Command) texts.push_back(e.text);
    ASSERT_GT(texts.size(), 20u);
    const std::string out = test::runCli({"play", folder, "--trace", "--steps", "30"}).out;
    std::size_t found = 0;
    for (const std::string& t : texts)
        if (out.find("  " + t) != std::string::npos) ++found;
    EXPECT_EQ(found, texts.size());
    // The first-play commands of the disc, in the decoder's words, with what they changed.
    EXPECT_THAT(out, HasSubstr("Set GPreg<0> mov (set-val)<1>  [GPreg<0>=1]"));
    EXPECT_THAT(out, HasSubstr("(JumpSS VMGM) Jump to VMG PGC: 1"));
    const std::string json = test::runCli({"play", folder, "--json", "--steps", "3"}).out;
    EXPECT_THAT(json,
                HasSubstr("{\"event\": \"cell\", \"domain\": \"vmgm\", \"vts\": 0, \"title\": 0, "
                          "\"pgc\": 1, \"cell\": 1, \"first\": 0, \"last\": 13, \"button\": 1}"));
}

// A disc with one title whose only PGC has `programs` programs of one cell each (cell n at
// sectors 10n..10n+9), played in `mode`. No VOB files: the cells are played without NAV packs.
Disc oneTitle(int programs, std::uint8_t mode) {
    Disc disc;
    Pgc pgc;
    pgc.playbackMode = mode;
    for (int n = 1; n <= programs; ++n) {
        Cell c;
        c.first = static_cast<std::uint32_t>(10 * n);
        c.last = c.first + 9;
        pgc.cells.push_back(c);
        pgc.programMap.push_back(static_cast<std::uint8_t>(n));
    }
    TitleSet ts;
    ts.loaded = true;
    ts.titlePgcs.push_back({1, pgc});
    ts.parts.push_back({{1, 1}});
    disc.titleSets.push_back(ts);
    disc.titles.push_back({0, 1, 1, 1, 1});
    return disc;
}

// The cells a session from title 1 plays, by number.
std::vector<int> cellsPlayed(const Disc& disc, std::uint32_t seed = 1, int angle = 1) {
    Navigator nav(disc, seed);
    nav.start();
    nav.selectAngle(angle);
    nav.playTitle(1);
    std::vector<int> cells;
    for (int i = 0; i < 100 && nav.status() != Status::Stopped; ++i) {
        const Status s = nav.step();
        if (s == Status::Still) nav.stillOff();
        for (const Event& e : nav.takeEvents())
            if (e.kind == EventKind::Cell) cells.push_back(e.cell);
    }
    return cells;
}

TEST(NavigatorPlayback, ProgramOrderAnglesAndStills) {
    EXPECT_EQ(cellsPlayed(oneTitle(4, 0)), (std::vector<int>{1, 2, 3, 4}));
    // Shuffle (bit 7) of 4 programs: each once, in an order the seed fixes.
    const auto shuffled = cellsPlayed(oneTitle(4, 0x83), 5);
    auto sorted = shuffled;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(cellsPlayed(oneTitle(4, 0x83), 5), shuffled);
    // Random of 6 programs (mode 5) from 3: six plays, repeats allowed, each a program there is.
    const auto random = cellsPlayed(oneTitle(3, 0x05), 9);
    ASSERT_EQ(random.size(), 6u);
    for (int c : random) EXPECT_TRUE(c >= 1 && c <= 3);
    EXPECT_EQ(cellsPlayed(oneTitle(3, 0x05), 9), random);
    // Shuffle asks for more programs than the PGC has: each is played once.
    EXPECT_EQ(cellsPlayed(oneTitle(2, 0x87)).size(), 2u);

    // Cell 1, an angle block of three cells (2, 3, 4), cell 5: the chosen angle plays.
    Disc disc = oneTitle(5, 0);
    auto& pgc = disc.titleSets[0].titlePgcs[0].pgc;
    pgc.programMap = {1, 2, 5};
    const std::uint8_t angleBlock = 0x10;
    pgc.cells[1].category[0] = 0x40 | angleBlock;  // first
    pgc.cells[2].category[0] = 0x80 | angleBlock;  // inside
    pgc.cells[3].category[0] = 0xC0 | angleBlock;  // last
    EXPECT_EQ(cellsPlayed(disc, 1, 1), (std::vector<int>{1, 2, 5}));
    EXPECT_EQ(cellsPlayed(disc, 1, 3), (std::vector<int>{1, 4, 5}));
    // An angle beyond the block plays its last cell.
    EXPECT_EQ(cellsPlayed(disc, 1, 9), (std::vector<int>{1, 4, 5}));

    // A cell still of five seconds, then the PGC still until ended.
    Disc still = oneTitle(2, 0);
    auto& stillPgc = still.titleSets[0].titlePgcs[0].pgc;
    stillPgc.cells[0].category[2] = 5;  // five seconds
    stillPgc.stillTime = 255;           // until ended
    Navigator player(still);
    player.start();
    player.playTitle(1);
    std::vector<int> stills;
    for (int i = 0; i < 20 && player.status() != Status::Stopped; ++i) {
        if (player.step() == Status::Still) {
            EXPECT_EQ(player.step(), Status::Still);  // stepping does not end a still
            player.stillOff();
        }
        for (const Event& e : player.takeEvents())
            if (e.kind == EventKind::Still) stills.push_back(e.still);
    }
    EXPECT_EQ(stills, (std::vector<int>{5, 0, 255, 0}));
}

// A NAV pack with `count` buttons; button n's neighbours are n + 1 (down) and 40 (right, no
// such button), its command "LinkPGCN n".
test::Sector navPack(int count, std::uint16_t ilvu, std::uint32_t next) {
    namespace nav = vob::nav;
    test::Sector s = test::navPack({});
    put16(&s[nav::kHliStatus], 1);
    s[nav::kButtonCount] = static_cast<std::uint8_t>(count);
    s[nav::kForcedSelect] = 2;
    for (int n = 1; n <= count; ++n) {
        std::uint8_t* b = &s[nav::kButtons + (n - 1) * nav::kButtonSize];
        b[nav::kButtonAutoAction] = n == 3 ? 0x40 : 0;
        b[nav::kButtonUp + 1] = static_cast<std::uint8_t>(n + 1);
        b[nav::kButtonUp + 3] = 40;
        b[nav::kButtonCommand] = 0x20;
        b[nav::kButtonCommand + 1] = 0x04;
        b[nav::kButtonCommand + 7] = static_cast<std::uint8_t>(n);
    }
    put16(&s[nav::kIlvuCategory], ilvu);
    put32(&s[nav::kNextVobu], next);
    put32(&s[nav::kIlvuSa], 0x30);
    return s;
}

TEST(NavPackButtons, ButtonsNeighboursAndTheNextVobu) {
    const auto plain = ParseNavPack(navPack(3, 0, 0x20).data(), 100);
    ASSERT_EQ(plain.buttons.size(), 3u);
    EXPECT_EQ(plain.forcedSelect, 2);
    EXPECT_EQ(plain.buttons[0].down, 2);
    EXPECT_EQ(plain.buttons[2].down, 0);   // button 4 does not exist
    EXPECT_EQ(plain.buttons[0].right, 0);  // nor does button 40
    EXPECT_TRUE(plain.buttons[2].autoAction);
    EXPECT_EQ(plain.buttons[1].command[7], 2);
    EXPECT_EQ(plain.next, 132u);
    // The last VOBU of an interleaved unit goes on at the next unit of its angle.
    EXPECT_EQ(ParseNavPack(navPack(0, 0x5000, 0x20).data(), 100).next, 148u);
    // The end of the cell, and more buttons than a group has room for.
    const auto last = ParseNavPack(navPack(60, 0, vob::nav::kSearchNone).data(), 100);
    EXPECT_EQ(last.next, 0u);
    EXPECT_EQ(last.buttons.size(), 36u);
    // A sector that is no NAV pack has no buttons and no next VOBU.
    std::array<std::uint8_t, 2048> video{};
    EXPECT_TRUE(ParseNavPack(video.data(), 7).buttons.empty());
}

}  // namespace
}  // namespace navtab::navigator
