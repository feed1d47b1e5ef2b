// The PGC object: what its parser keeps, how its sub-tables are laid out, the program map that
// AddCell builds, the playback time it computes and the PGCs it refuses to write.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/bytes.h"
#include "core/ifo_classes_pgc.h"

namespace navtab {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::array<std::uint8_t, 8> kCommand = {0x30, 0x02, 0, 0, 0, 1, 0, 0};

// A 24-byte cell playback entry with a category byte, a playback time and a first sector.
Bytes cellEntry(std::uint8_t category, std::uint32_t time, std::uint32_t first = 0) {
    Bytes b(pgc::kCellPlaybackSize, 0);
    b[pgc::kCellCategory] = category;
    put32(b.data() + pgc::kCellPlaybackTime, time);
    put32(b.data() + pgc::kCellFirstSector, first);
    return b;
}

Bytes serialised(CIfoPgc& p) {
    Serialised s = p.serialise();
    EXPECT_TRUE(s.ok()) << s.error;
    return s.bytes;
}

std::uint16_t word(const Bytes& b, std::size_t at) {
    return be16(b.data() + at);
}

// A PGC with every header byte set, so clearing is visible.
CIfoPgc filledPgc() {
    CIfoPgc p;
    p.stored.fill(0x5A);
    p.rateFlag = kRateFlag25;
    return p;
}

TEST(IfoModelPgcCommands, APgcWithoutCommandsHasNoCommandTable) {
    CIfoPgc p;
    p.AddCell(cellEntry(0, 0x00000140), 1, 1, true);
    const Bytes b = serialised(p);
    EXPECT_EQ(word(b, pgc::kCommandTableStart), 0);
    EXPECT_EQ(p.size(), CIfoPgc::kStoredSize + 2 + 24 + 4);
    // The program map follows the general information directly.
    EXPECT_EQ(word(b, pgc::kProgramMapStart), 0xEC);
}

TEST(IfoModelPgcCommands, TheCommandTableStartsRightAfterTheGeneralInformation) {
    CIfoPgc p;
    p.AddCommand(CommandGroup::Pre, kCommand);
    p.AddCommand(CommandGroup::Cell, {7, 7, 7, 7, 7, 7, 7, 7});
    p.AddCommand(CommandGroup::Post, {2, 2, 2, 2, 2, 2, 2, 2});
    p.AddCommand(CommandGroup::Pre, {1, 1, 1, 1, 1, 1, 1, 1});
    const Bytes b = serialised(p);
    ASSERT_EQ(word(b, pgc::kCommandTableStart), 0x00EC);
    const std::size_t table = 0xEC;
    EXPECT_EQ(word(b, table + pgc::kPreCommandCount), 2);
    EXPECT_EQ(word(b, table + pgc::kPostCommandCount), 1);
    EXPECT_EQ(word(b, table + pgc::kCellCommandCount), 1);
    EXPECT_EQ(word(b, table + pgc::kCommandTableSize), 8 * 4 + 7);
    // Pre commands in the order added, then post, then cell.
    const std::size_t first = table + pgc::kCommandsStart;
    EXPECT_EQ(b[first], 0x30);
    EXPECT_EQ(b[first + 8], 1);
    EXPECT_EQ(b[first + 16], 2);
    EXPECT_EQ(b[first + 24], 7);
    // No cells: every other table offset stays 0.
    EXPECT_EQ(word(b, pgc::kProgramMapStart), 0);
    EXPECT_EQ(word(b, pgc::kCellPlaybackStart), 0);
    EXPECT_EQ(word(b, pgc::kCellPositionStart), 0);
}

TEST(IfoModelPgcCommands, ParsingKeepsTheHeaderAndTheCommandsButNotTheCells) {
    CIfoPgc source = filledPgc();
    source.AddCommand(CommandGroup::Pre, kCommand);
    source.AddCommand(CommandGroup::Post, {9, 9, 9, 9, 9, 9, 9, 9});
    source.AddCell(cellEntry(0, 0x00000140), 1, 1, true);
    Bytes b = serialised(source);
    b.resize(source.size());  // exactly the PGC, so a read past it is caught

    CIfoPgc parsed(b, 0);
    EXPECT_EQ(parsed.preCommands, 1);
    EXPECT_EQ(parsed.postCommands, 1);
    EXPECT_EQ(parsed.cellCommands, 0);
    EXPECT_EQ(parsed.commandEndAddress, 8 * 2 + 7);
    ASSERT_EQ(parsed.commands.size(), 2u);
    EXPECT_EQ(parsed.commands[1]->bytes[0], 9);
    EXPECT_TRUE(parsed.cells.empty());
    EXPECT_TRUE(parsed.programMap.empty());
    EXPECT_TRUE(std::equal(parsed.stored.begin(), parsed.stored.end(), b.begin()));
}

TEST(IfoModelPgcProgramMap, AnOddProgramMapIsPaddedToEvenLength) {
    CIfoPgc p;
    p.AddCell(cellEntry(0, 0x00000140), 1, 1, true);
    p.AddCell(cellEntry(0, 0x00000140), 1, 2, false);
    p.AddCell(cellEntry(0, 0x00000140), 2, 1, true);
    p.AddCell(cellEntry(0, 0x00000140), 2, 2, true);
    ASSERT_EQ(p.programMap, (std::vector<std::uint8_t>{1, 3, 4}));
    const Bytes b = serialised(p);
    EXPECT_EQ(b[pgc::kProgramCount], 3);
    EXPECT_EQ(b[pgc::kCellCount], 4);
    EXPECT_EQ(word(b, pgc::kProgramMapStart), 0xEC);
    EXPECT_EQ(b[0xEC], 1);
    EXPECT_EQ(b[0xED], 3);
    EXPECT_EQ(b[0xEE], 4);
    EXPECT_EQ(b[0xEF], 0);  // the pad byte
    EXPECT_EQ(word(b, pgc::kCellPlaybackStart), 0xEC + 4);
    EXPECT_EQ(word(b, pgc::kCellPositionStart), 0xEC + 4 + 4 * 24);
    EXPECT_EQ(p.size(), 0xECu + 4 + 4 * 24 + 4 * 4);
}

TEST(IfoModelPgcProgramMap, CellsWithoutNewProgramsLeaveTheMapEmpty) {
    CIfoPgc p;
    p.AddCell(cellEntry(0, 0x00000140), 1, 1, false);
    const Bytes b = serialised(p);
    EXPECT_EQ(b[pgc::kProgramCount], 0);
    EXPECT_EQ(word(b, pgc::kProgramMapStart), 0);
    EXPECT_EQ(word(b, pgc::kCellPlaybackStart), 0xEC);
}

TEST(IfoModelPgcCells, TheCopyingFormTakesVobAndCellIdFromTheCell) {
    CIfoPgc source;
    CIfoCellPlayback* cell = source.AddCell(cellEntry(0, 0x00000140, 42), 3, 4, true);
    EXPECT_EQ(cell->vobId, 3u);
    EXPECT_EQ(cell->cellId, 4u);

    CIfoPgc copy;
    CIfoCellPlayback* added = copy.AddCell(*cell, false);
    EXPECT_NE(added, cell);
    EXPECT_EQ(added->firstSector, 42u);
    ASSERT_EQ(copy.positions.size(), 1u);
    EXPECT_EQ(copy.positions[0]->vobId, 3);
    EXPECT_EQ(copy.positions[0]->cellId, 4);
    EXPECT_TRUE(copy.programMap.empty());
}

TEST(IfoModelPgcCells, APgcWithoutCellsClearsStreamControlsAndPalette) {
    CIfoPgc p = filledPgc();
    const Bytes b = serialised(p);
    for (std::size_t i = pgc::kProhibitedUops; i < pgc::kNextPgc; ++i) EXPECT_EQ(b[i], 0) << i;
    for (std::size_t i = pgc::kPalette; i < pgc::kCommandTableStart; ++i) EXPECT_EQ(b[i], 0) << i;
    // Links, still time and playback mode stay.
    for (std::size_t i = pgc::kNextPgc; i < pgc::kPalette; ++i) EXPECT_EQ(b[i], 0x5A) << i;
    // The object keeps its own bytes for a later serialisation with cells.
    EXPECT_EQ(p.stored[pgc::kPalette], 0x5A);
}

TEST(IfoModelPgcTime, ThePlaybackTimeSumsTheCellsOutsideLaterAngleCells) {
    CIfoPgc p;
    p.rateFlag = kRateFlag25;
    p.AddCell(cellEntry(0x00, 0x00000250), 1, 1, true);   // 2 s 10 frames
    p.AddCell(cellEntry(0x50, 0x00000340), 1, 2, true);   // first cell of an angle block: 3 s
    p.AddCell(cellEntry(0x90, 0x00000340), 2, 1, false);  // middle of the block: not counted
    p.AddCell(cellEntry(0xD0, 0x00000340), 3, 1, false);  // last of the block: not counted
    p.AddCell(cellEntry(0x00, 0x00005960), 4, 1, true);   // 59 s 20 frames
    // 64 s and 30 frames make 1:05 and 5 frames.
    EXPECT_EQ(p.PlaybackTime(), 0x00010545u);
    const Bytes b = serialised(p);
    EXPECT_EQ(be32(b.data() + pgc::kPlaybackTime), 0x00010545u);
}

TEST(IfoModelPgcTime, TheTimeUsesThePgcsOwnRate) {
    CIfoPgc p;
    p.rateFlag = kRateFlag30;
    p.AddCell(cellEntry(0x00, 0x00000140), 1, 1, true);  // 1 s at 25 fps = 25 frames
    EXPECT_EQ(p.PlaybackTime(), 0x000000E5u);            // 25 frames at 30 fps
}

TEST(IfoModelPgcTime, WithoutCellsTheTimeIsZeroWithTheRateFlag) {
    CIfoPgc p;
    EXPECT_EQ(p.PlaybackTime(), 0x00000040u);
    p.rateFlag = kRateFlag30;
    EXPECT_EQ(p.PlaybackTime(), 0x000000C0u);
}

TEST(IfoModelPgcTime, TheRateFlagComesFromTheParsedTime) {
    Bytes b(CIfoPgc::kStoredSize, 0);
    b[pgc::kPlaybackTime + 3] = 0xC5;
    EXPECT_EQ(CIfoPgc(b, 0).rateFlag, 0xC0);
    b[pgc::kPlaybackTime + 3] = 0x45;
    EXPECT_EQ(CIfoPgc(b, 0).rateFlag, 0x40);
    EXPECT_EQ(CIfoPgc().rateFlag, 0x40);
}

TEST(IfoModelPgcLimits, MoreThan255CellsAreRefused) {
    CIfoPgc p;
    for (int i = 0; i < 256; ++i) p.AddCell(cellEntry(0, 0x00000140), 1, 1, false);
    const Serialised s = p.serialise();
    EXPECT_FALSE(s.ok());
    EXPECT_TRUE(s.bytes.empty());
    EXPECT_NE(s.error.find("number of cells 256 exceeds 255"), std::string::npos) << s.error;
}

TEST(IfoModelPgcLimits, APgcBeyondItsSixteenBitOffsetsIsRefused) {
    CIfoPgc p;
    for (int i = 0; i < 8200; ++i) p.AddCommand(CommandGroup::Pre, kCommand);
    const Serialised s = p.serialise();
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.error.find("size in bytes"), std::string::npos) << s.error;
}

TEST(IfoModelPgcLimits, CommandCountsThatDoNotMatchTheCommandsAreRefused) {
    CIfoPgc p;
    p.AddCommand(CommandGroup::Pre, kCommand);
    p.commands.push_back(std::make_unique<CIfoCommand>());
    EXPECT_FALSE(p.serialise().ok());
}

TEST(IfoModelPgcLimits, TheBufferIsTheSizeRoundedToWholeSectors) {
    CIfoPgc p;
    EXPECT_EQ(serialised(p).size(), 2048u);
    for (int i = 0; i < 80; ++i) p.AddCell(cellEntry(0, 0x00000140), 1, 1, false);
    EXPECT_EQ(p.size(), 236u + 80 * 28);
    EXPECT_EQ(serialised(p).size(), 4096u);
}

}  // namespace
}  // namespace navtab
