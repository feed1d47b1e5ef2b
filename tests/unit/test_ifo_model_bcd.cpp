// The BCD playback time word and frame counts, both ways, at 25 and 30 frames per second.
#include <gtest/gtest.h>

#include "core/bcd_frames.h"

namespace navtab {
namespace {

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
}  // namespace navtab
