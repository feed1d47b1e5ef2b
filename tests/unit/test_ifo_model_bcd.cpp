// The BCD playback time word and frame counts, both ways, at 25 and 30 frames per second.
#include <gtest/gtest.h>

#include "core/bcd_frames.h"

namespace navtab {
namespace {

TEST(BcdFrames, OneHourCountsTheFramesOfItsRate) {
    EXPECT_EQ(bcdTimeToFrames(0x01000040), 25u * 3600);
    EXPECT_EQ(bcdTimeToFrames(0x010000C0), 30u * 3600);
}

TEST(BcdFrames, EveryFieldIsReadAsTwoDecimalDigits) {
    // 12:34:56.24 at 25 fps and 01:23:45.19 at 30 fps.
    EXPECT_EQ(bcdTimeToFrames(0x12345664), 24 + 56 * 25 + 34 * 25 * 60 + 12u * 25 * 3600);
    EXPECT_EQ(bcdTimeToFrames(0x012345D9), 19 + 45 * 30 + 23 * 30 * 60 + 1u * 30 * 3600);
}

TEST(BcdFrames, TheIllegalRateCodesCountAsThirty) {
    EXPECT_EQ(bcdTimeToFrames(0x00000110), 30u + 10);
    EXPECT_EQ(bcdTimeToFrames(0x00000190), 30u + 10);
}

TEST(BcdFrames, FramesBecomeTheTimeWordOfTheirRate) {
    EXPECT_EQ(framesToBcdTime(25 * 3600, 25), 0x01000040u);
    EXPECT_EQ(framesToBcdTime(30 * 3600, 30), 0x010000C0u);
    EXPECT_EQ(framesToBcdTime(24 + 56 * 25 + 34 * 25 * 60 + 12 * 25 * 3600, 25), 0x12345664u);
    EXPECT_EQ(framesToBcdTime(19 + 45 * 30 + 23 * 30 * 60 + 1 * 30 * 3600, 30), 0x012345D9u);
    EXPECT_EQ(framesToBcdTime(0, 25), 0x00000040u);
    EXPECT_EQ(framesToBcdTime(0, 30), 0x000000C0u);
}

TEST(BcdFrames, AnyOtherRateIsTakenAsThirty) {
    EXPECT_EQ(framesToBcdTime(31, 0), 0x000001C1u);
    EXPECT_EQ(framesToBcdTime(31, 24), 0x000001C1u);
}

TEST(BcdFrames, ConversionsAreInverseAtBothRates) {
    for (unsigned rate : {25u, 30u}) {
        for (std::uint32_t frames = 0; frames < 100 * 3600 * rate; frames += 7919) {
            const std::uint32_t word = framesToBcdTime(frames, rate);
            EXPECT_EQ(bcdTimeToFrames(word), frames) << rate << " " << frames;
            EXPECT_EQ(frameRateOf(static_cast<std::uint8_t>(word)), rate);
        }
    }
}

TEST(BcdFrames, HoursBeyondTheTwoDigitsKeepTheirLastTwo) {
    EXPECT_EQ(framesToBcdTime(123u * 3600 * 25, 25), 0x23000040u);
}

}  // namespace
}  // namespace navtab
