// PGC playback on discs built in memory: random and shuffle program order with a seed, angle
// blocks, cell and PGC stills; and the NAV pack reader's buttons, neighbours and next VOBU.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "core/bytes.h"
#include "navigator/scripted_session.h"
#include "vob/nav_pack_layout.h"

namespace navtab::navigator {
namespace {

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

TEST(NavigatorPlayback, RandomAndShuffleOrdersRepeatWithTheirSeed) {
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
}

TEST(NavigatorPlayback, AngleBlocksPlayTheChosenAngleOnly) {
    // Cell 1, an angle block of three cells (2, 3, 4), cell 5.
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
}

TEST(NavigatorPlayback, StillsWaitUntilEnded) {
    Disc disc = oneTitle(2, 0);
    auto& pgc = disc.titleSets[0].titlePgcs[0].pgc;
    pgc.cells[0].category[2] = 5;  // five seconds
    pgc.stillTime = 255;           // until ended
    Navigator nav(disc);
    nav.start();
    nav.playTitle(1);
    std::vector<int> stills;
    for (int i = 0; i < 20 && nav.status() != Status::Stopped; ++i) {
        if (nav.step() == Status::Still) {
            EXPECT_EQ(nav.step(), Status::Still);  // stepping does not end a still
            nav.stillOff();
        }
        for (const Event& e : nav.takeEvents())
            if (e.kind == EventKind::Still) stills.push_back(e.still);
    }
    EXPECT_EQ(stills, (std::vector<int>{5, 0, 255, 0}));
}

// A NAV pack with `count` buttons; button n's neighbours are n + 1 (down) and 40 (right, no
// such button), its command "LinkPGCN n".
std::array<std::uint8_t, 2048> navPack(int count, std::uint16_t ilvu, std::uint32_t next) {
    namespace nav = vob::nav;
    std::array<std::uint8_t, 2048> s{};
    s[2] = 1;
    s[3] = vob::kPackStartCode;
    s[vob::kStreamIdByte] = vob::kSystemHeaderCode;
    s[nav::kPciSubstream] = nav::kPciSubstreamId;
    s[nav::kDsiSubstream] = nav::kDsiSubstreamId;
    put16(s.data() + nav::kHliStatus, 1);
    s[nav::kButtonCount] = static_cast<std::uint8_t>(count);
    s[nav::kForcedSelect] = 2;
    for (int n = 1; n <= count; ++n) {
        std::uint8_t* b = s.data() + nav::kButtons + (n - 1) * nav::kButtonSize;
        b[nav::kButtonAutoAction] = n == 3 ? 0x40 : 0;
        b[nav::kButtonUp + 1] = static_cast<std::uint8_t>(n + 1);
        b[nav::kButtonUp + 3] = 40;
        b[nav::kButtonCommand] = 0x20;
        b[nav::kButtonCommand + 1] = 0x04;
        b[nav::kButtonCommand + 7] = static_cast<std::uint8_t>(n);
    }
    put16(s.data() + nav::kIlvuCategory, ilvu);
    put32(s.data() + nav::kNextVobu, next);
    put32(s.data() + nav::kIlvuSa, 0x30);
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
