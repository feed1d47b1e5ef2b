// The navigator's command execution (arithmetic at its 16-bit edges, the compare forms of each
// group, links handed back), the loop guard, damaged discs, and the trace of `navtab-cli play`.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "navcmd/nav_command.h"
#include "navigator/scripted_session.h"
#include "unit/test_support.h"

namespace navtab::navigator {
namespace {

using navcmd::NavBytes;

struct RegisterCase {
    const char* what;
    std::vector<NavBytes> commands;
    int reg;
    std::uint16_t expected;
};

// Each case starts with GPRM0 = 0xFFF0, GPRM1 = 3 and runs its commands.
TEST(CommandExecutor, ArithmeticWrapsAndDividesAsAPlayer) {
    const std::vector<RegisterCase> cases = {
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
}

TEST(CommandExecutor, HandsBackLinksAndDrawsRandomNumbersInRange) {
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
        EXPECT_GE(r.gprm[2], 1);
        EXPECT_LE(r.gprm[2], 6);
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
ifo_t vmgWithFirstPlay(const std::vector<NavBytes>& commands, std::uint16_t nextPgc = 0) {
    ifo_t ifo;
    auto& mat = ifo.table[ID_MAT];
    mat.assign(2048, 0);
    std::copy_n("DVDVIDEO-VMG", 12, mat.begin());
    const std::size_t fp = 0x400;
    put32(mat.data() + kVmgFirstPlayPgc, static_cast<std::uint32_t>(fp));
    std::uint8_t* p = mat.data() + fp;
    put16(p + 0xE4, 0xEC);  // command table right after the header
    put16(p + 0x9C, nextPgc);
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

std::vector<Event> play(const Disc& disc) {
    Navigator nav(disc);
    return eventsOf(nav, 50);
}

TEST(Navigator, LoopsWithoutProgressEndWithTheIllegalCommandWarning) {
    // "Goto line 1" for ever, and a jump to the first-play PGC from itself.
    for (const NavBytes& c :
         {NavBytes{0x00, 0x01, 0, 0, 0, 0, 0, 1}, NavBytes{0x30, 0x06, 0, 0, 0, 0x00, 0, 0}}) {
        const ifo_t vmg = vmgWithFirstPlay({c});
        const Disc disc = DiscFromIfos(&vmg, {});
        const auto events = play(disc);
        ASSERT_GE(events.size(), 2u);
        EXPECT_EQ(events[events.size() - 2].kind, EventKind::Warning);
        EXPECT_EQ(events[events.size() - 2].text, kIllegalCommandText);
        EXPECT_EQ(events.back().kind, EventKind::Stop);
    }
}

TEST(Navigator, DamagedTablesAndWildNumbersNeverLeaveTheBuffers) {
    // Jumps to titles, menus and PGCs that do not exist, and a title search table whose count
    // runs past its bytes: each is refused with a warning, and playback stops.
    const std::vector<NavBytes> wild = {
        {0x30, 0x02, 0, 0, 0, 99, 0, 0},       // JumpTT 99
        {0x30, 0x06, 0, 0, 0, 0xC0, 0, 0},     // JumpSS VMG PGC 0
        {0x20, 0x04, 0, 0, 0, 0, 0x7F, 0xFF},  // LinkPGCN 32767
    };
    for (const NavBytes& c : wild) {
        ifo_t vmg = vmgWithFirstPlay({c});
        vmg.table[ID_VMG_PTT_SRPT].assign(2048, 0xFF);
        const Disc disc = DiscFromIfos(&vmg, {nullptr});
        const auto events = play(disc);
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().kind, EventKind::Stop) << DecodeNavCommand(c.data());
    }
    // A first-play pointer past the file's end gives no first-play PGC.
    ifo_t cut = vmgWithFirstPlay({});
    put32(cut.table[ID_MAT].data() + kVmgFirstPlayPgc, 0xFFFFFF00u);
    EXPECT_FALSE(DiscFromIfos(&cut, {}).firstPlay.has_value());
}

// The regs sample disc computes with registers; the values were worked out by hand from
// tests/data/src/regs.xml. English menus: 7 * 3 = 21, 21 / 4 = 5, 21 % 4 = 1. German menus:
// 7 + 3 = 10, 10 - 12 wraps to 65534, 10 ^ 6 = 12. Title 1 plays three times (g7), calls menu 2
// once each time (g8) and resumes at its second cell; each random draw lies in 1..4 (g12).
TEST(Navigator, RegisterSampleEndsWithTheValuesWorkedOutByHand) {
    const Disc disc = LoadDisc(std::string(NAVTAB_TEST_DATA) + "/regs/VIDEO_TS");
    struct Expected {
        std::uint16_t language;
        std::array<std::uint16_t, 13> gprm;  // g0..g12; g9 is random and checked apart
    };
    const Expected cases[] = {
        {languageCode('e', 'n'), {7, 3, 21, 5, 1, 100, 1, 3, 3, 0, 0, 0, 3}},
        {languageCode('d', 'e'), {7, 3, 10, 65534, 12, 200, 2, 3, 3, 0, 0, 0, 3}},
        // A language the disc has no menus in plays the first language unit.
        {languageCode('f', 'r'), {7, 3, 21, 5, 1, 100, 1, 3, 3, 0, 0, 0, 3}},
    };
    for (const Expected& c : cases) {
        Navigator nav(disc);
        nav.setMenuLanguage(c.language);
        const auto events = eventsOf(nav);
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().kind, EventKind::Stop);
        for (int g = 0; g < 13; ++g) {
            if (g == 9) continue;
            EXPECT_EQ(nav.registers().gprm[g], c.gprm[g]) << "g" << g;
        }
        EXPECT_GE(nav.registers().gprm[9], 1);
        EXPECT_LE(nav.registers().gprm[9], 4);
    }
}

// Chapter skips and a menu call with resume are held against libdvdnav (test_navigator_dvdnav);
// here the resume information is used once and a PGC's prohibited-operation mask refuses what it
// names.
TEST(Navigator, UserOperationsAndTheirMasks) {
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
}

// Title 1 of the sample made in two parental versions: PGC 1 for parental ID 1, and a copy of
// PGC 2 as PGC 3 for ID 2. The disc's table for "US" lets level 8 play both, levels 2 to 7 only
// ID 2 and level 1 neither.
TEST(Navigator, ParentalLevelChoosesTheTitleVersionOrRefusesIt) {
    Disc disc = LoadDisc(std::string(NAVTAB_TEST_DATA) + "/ntsc43/VIDEO_TS");
    auto& pgcs = disc.titleSets[0].titlePgcs;
    ASSERT_GE(pgcs.size(), 2u);
    pgcs[0].parentalMask = 1;
    PgcEntry version = pgcs[1];
    version.category = pgcs[0].category;
    version.parentalMask = 2;
    pgcs.push_back(version);
    std::vector<std::uint8_t> table(16 + 8 * 4, 0);
    put16(table.data(), 1);      // one country
    put16(table.data() + 2, 1);  // one title set
    table[8] = 'U';
    table[9] = 'S';
    put16(table.data() + 12, 16);
    for (int level = 1; level <= 8; ++level)
        put16(table.data() + 16 + (8 - level) * 4 + 2, level == 8 ? 3 : level == 1 ? 0 : 2);
    disc.parentalTable = table;

    const auto firstCellOrError = [&](int level) {
        Navigator nav(disc);
        nav.startAndSettle();
        nav.registers().sprm[kParentalCountry] = languageCode('U', 'S');
        nav.registers().sprm[kParentalLevel] = static_cast<std::uint16_t>(level);
        nav.takeEvents();
        nav.playTitle(1);
        for (int i = 0; i < 10; ++i) {
            nav.step();
            for (const Event& e : nav.takeEvents())
                if (e.kind == EventKind::Cell || e.kind == EventKind::Error) return e;
        }
        return Event{};
    };
    for (const int level : {15, 8}) {
        const Event e = firstCellOrError(level);
        EXPECT_EQ(e.kind, EventKind::Cell) << level;
        EXPECT_EQ(e.pgc, 1) << level;
    }
    const Event young = firstCellOrError(4);
    EXPECT_EQ(young.pgc, 3);
    EXPECT_EQ(young.first, pgcs[1].pgc.cells[0].first);
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

}  // namespace
}  // namespace navtab::navigator
