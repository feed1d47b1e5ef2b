// Decoding a NAV pack into its VobuInfo record: the elapsed-time word, search pointers and sync
// offsets with their reserved values, the step pointers' order, and a short sector. The fields of
// the samples' NAV packs are checked through navtab-cli vobus (test_vob_cli.cpp).
#include <gtest/gtest.h>

#include "core/bytes.h"
#include "unit/vob_test_streams.h"
#include "vob/vobu_info.h"

namespace navtab::test {
namespace {

using namespace navtab::vob;

// The elapsed time (00, 10 and 11 all mean 30 frames per second; BCD digits read as decimal
// ones), search pointers and sync offsets with their special values.
TEST(NavPack, TimeSearchAndSyncWords) {
    const ElapsedTime pal = decodeElapsedTime(0x01020344);  // 1:02:03, frame 4, 25 fps
    EXPECT_EQ(pal.rate, 25u);
    EXPECT_EQ(pal.frames, 3723u * 25 + 4);
    for (std::uint32_t flag : {0xC0u, 0x00u, 0x80u}) EXPECT_EQ(decodeElapsedTime(flag).rate, 30u);
    EXPECT_EQ(decodeElapsedTime(0x00005900 | 0xC0 | 0x29).frames, 59u * 30 + 29);

    for (std::uint32_t w : {nav::kSearchNone, nav::kSearchSpecial7F, nav::kSearchSpecialBF})
        EXPECT_EQ(decodeSearchPointer(w, false).special, w);
    // 0x80000000 is special only for the 38 step pointers.
    EXPECT_EQ(decodeSearchPointer(0x80000000u, true).special, 0x80000000u);
    EXPECT_EQ(decodeSearchPointer(0x80000000u, false).special, SearchPointer::kOrdinary);
    const SearchPointer p = decodeSearchPointer(0x40000123u, true);
    EXPECT_EQ(p.flags, 0x40000000u);
    EXPECT_EQ(p.distance, 0x123u);

    EXPECT_EQ(decodeAudioSync(0x3FFF).special, 0x3FFFu);
    EXPECT_EQ(decodeAudioSync(0x8005).special, SyncOffset::kBackward);
    EXPECT_EQ(decodeAudioSync(0x8005).distance, 5u);
    EXPECT_EQ(decodeSubpSync(0x7FFFFFFF).special, 0x7FFFFFFFu);
    EXPECT_EQ(decodeSubpSync(0x80000010).distance, 0x10u);
    EXPECT_EQ(decodeSubpSync(0x40000010).distance, 0x40000010u);
}

TEST(NavPack, StepPointersAreKeptNearestFirst) {
    Sector s = navPack({});
    for (std::uint32_t i = 0; i < nav::kStepCount; ++i) {
        put32(&s[nav::kForward + 4 * i], 100 - i);   // the farthest first
        put32(&s[nav::kBackward + 4 * i], 200 + i);  // the nearest first
    }
    const VobuInfo v = ParseNavPackFull(s);
    EXPECT_EQ(v.forward[0].distance, 82u);
    EXPECT_EQ(v.forward[18].distance, 100u);
    EXPECT_EQ(v.backward[0].distance, 200u);
    EXPECT_EQ(v.backward[18].distance, 218u);

    Sector cut = navPack({.lbn = 5, .vobId = 3});
    cut.resize(50);  // a short sector reads as zeros past its end
    EXPECT_EQ(ParseNavPackFull(cut).lbn, 5u);
    EXPECT_EQ(ParseNavPackFull(cut).vobId, 0u);
    EXPECT_FALSE(isNavPack(Sector(17, 0)));
}

}  // namespace
}  // namespace navtab::test
