// The PGC object beyond the byte-for-byte rebuild of every sample PGC (test_ifo_model_builders):
// an odd program map, a PGC without cells, the playback time it computes (BCD words and frame
// counts at 25 and 30 fps) and the PGCs it refuses to write.
#include <gtest/gtest.h>
#include <array>

#include "core/bcd_frames.h"
#include "core/bytes.h"
#include "core/ifo_classes_pgc.h"
#include "unit/model_support.h"

namespace navtab::test {
namespace {

constexpr std::array<std::uint8_t, 8> kCommand = {0x30, 0x02, 0, 0, 0, 1, 0, 0};

// A 24-byte cell playback entry with a category byte, a playback time and a first sector.
Bytes cellEntry(std::uint8_t category = 0, std::uint32_t time = 0x140, std::uint32_t first = 0) {
    Bytes b(pgc::kCellPlaybackSize, 0);
    b[pgc::kCellCategory] = category;
    put32(b.data() + pgc::kCellPlaybackTime, time);
    put32(b.data() + pgc::kCellFirstSector, first);
    return b;
}

TEST(IfoModelPgc, AnOddProgramMapIsPaddedToEvenLength) {
    CIfoPgc p;
    for (const auto& [vob, cell, program] :
         {std::tuple{1, 1, true}, {1, 2, false}, {2, 1, true}, {2, 2, true}})
        p.AddCell(cellEntry(), static_cast<std::uint16_t>(vob), static_cast<std::uint8_t>(cell),
                  program);
    ASSERT_EQ(p.programMap, (Bytes{1, 3, 4}));
    const Bytes b = serialised(p);
    EXPECT_EQ(b[pgc::kProgramCount], 3);
    EXPECT_EQ(b[pgc::kCellCount], 4);
    EXPECT_EQ(word(b, pgc::kCommandTableStart), 0);
    EXPECT_EQ(word(b, pgc::kProgramMapStart), 0xEC);
    EXPECT_EQ((Bytes{b[0xEC], b[0xED], b[0xEE], b[0xEF]}), (Bytes{1, 3, 4, 0}));
    EXPECT_EQ(word(b, pgc::kCellPlaybackStart), 0xEC + 4);
    EXPECT_EQ(word(b, pgc::kCellPositionStart), 0xEC + 4 + 4 * 24);
    EXPECT_EQ(p.size(), 0xECu + 4 + 4 * 24 + 4 * 4);
    CIfoPgc copy;
    copy.AddCell(*p.cells[3], false);
    EXPECT_EQ(copy.positions[0]->vobId, 2);
    EXPECT_EQ(copy.positions[0]->cellId, 2);
    EXPECT_EQ(word(serialised(copy), pgc::kProgramMapStart), 0);
}

TEST(IfoModelPgc, APgcWithoutCellsClearsStreamControlsAndPalette) {
    CIfoPgc p;
    p.stored.fill(0x5A);
    const Bytes b = serialised(p);
    for (std::size_t i = pgc::kProhibitedUops; i < pgc::kCommandTableStart; ++i) {
        const bool kept = i >= pgc::kNextPgc && i < pgc::kPalette;  // links, still time, mode
        EXPECT_EQ(b[i], kept ? 0x5A : 0) << i;
    }
    EXPECT_EQ(p.stored[pgc::kPalette], 0x5A);  // kept for a later serialisation with cells
}

TEST(IfoModelPgc, ThePlaybackTimeSumsTheCellsOutsideLaterAngleCellsAtThePgcsRate) {
    CIfoPgc p;
    p.rateFlag = kRateFlag25;
    EXPECT_EQ(p.PlaybackTime(), 0x00000040u);             // no cells: zero with the rate flag
    p.AddCell(cellEntry(0x00, 0x00000250), 1, 1, true);   // 2 s 10 frames
    p.AddCell(cellEntry(0x50, 0x00000340), 1, 2, true);   // first cell of an angle block: 3 s
    p.AddCell(cellEntry(0x90, 0x00000340), 2, 1, false);  // middle of the block: not counted
    p.AddCell(cellEntry(0xD0, 0x00000340), 3, 1, false);  // last of the block: not counted
    p.AddCell(cellEntry(0x00, 0x00005960), 4, 1, true);   // 59 s 20 frames
    EXPECT_EQ(p.PlaybackTime(), 0x00010545u);             // 64 s and 30 frames: 1:05 and 5
    EXPECT_EQ(be32(serialised(p).data() + pgc::kPlaybackTime), 0x00010545u);
    CIfoPgc ntsc;
    ntsc.rateFlag = kRateFlag30;
    ntsc.AddCell(cellEntry(0x00, 0x00000140), 1, 1, true);  // 1 s at 25 fps = 25 frames
    EXPECT_EQ(ntsc.PlaybackTime(), 0x000000E5u);            // 25 frames at 30 fps
    Bytes b(CIfoPgc::kStoredSize, 0);
    b[pgc::kPlaybackTime + 3] = 0xC5;
    EXPECT_EQ(CIfoPgc(b, 0).rateFlag, 0xC0);
}

TEST(IfoModelPgc, TooManyCellsOrBytesOrMismatchedCountsAreRefused) {
    CIfoPgc cells;
    for (int i = 0; i < 256; ++i) cells.AddCell(cellEntry(), 1, 1, false);
    const Serialised s = cells.serialise();
    EXPECT_TRUE(s.bytes.empty());
    EXPECT_THAT(s.error, HasSubstr("number of cells 256 exceeds 255"));
    CIfoPgc bytes;
    for (int i = 0; i < 8200; ++i) bytes.AddCommand(CommandGroup::Pre, kCommand);
    EXPECT_THAT(bytes.serialise().error, HasSubstr("size in bytes"));
    CIfoPgc counts;
    counts.AddCommand(CommandGroup::Pre, kCommand);
    counts.commands.push_back(std::make_unique<CIfoCommand>());
    EXPECT_FALSE(counts.serialise().ok());
    CIfoPgc p;
    EXPECT_EQ(serialised(p).size(), 2048u);
    for (int i = 0; i < 80; ++i) p.AddCell(cellEntry(), 1, 1, false);
    EXPECT_EQ(serialised(p).size(), 4096u);
}

TEST(BcdFrames, WordsAndFrameCountsBothWays) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {0x01000040, 25u * 3600},
        {0x010000C0, 30u * 3600},
        {0x12345664, 24 + 56 * 25 + 34 * 25 * 60 + 12u * 25 * 3600},
        {0x012345D9, 19 + 45 * 30 + 23 * 30 * 60 + 1u * 30 * 3600},
        {0x00000040, 0}};
    for (const auto& [word, frames] : cases) {
        EXPECT_EQ(bcdTimeToFrames(word), frames) << std::hex << word;
        EXPECT_EQ(framesToBcdTime(frames, frameRateOf(static_cast<std::uint8_t>(word))), word);
    }
    EXPECT_EQ(bcdTimeToFrames(0x00000110), 30u + 10);
    EXPECT_EQ(bcdTimeToFrames(0x00000190), 30u + 10);
    EXPECT_EQ(framesToBcdTime(31, 24), 0x000001C1u);
    EXPECT_EQ(framesToBcdTime(123u * 3600 * 25, 25), 0x23000040u);
}

TEST(BcdFrames, ConversionsAreInverseAtBothRates) {
    for (unsigned rate : {25u, 30u}) {
        for (std::uint32_t frames = 0; frames < 100 * 3600 * rate; frames += 7919) {
            const std::uint32_t word = framesToBcdTime(frames, rate);
            ASSERT_EQ(bcdTimeToFrames(word), frames) << rate;
            ASSERT_EQ(frameRateOf(static_cast<std::uint8_t>(word)), rate);
        }
    }
}

}  // namespace
}  // namespace navtab::test
