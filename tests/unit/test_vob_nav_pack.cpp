// Decoding a NAV pack into its VobuInfo record: the fields of a real one, the elapsed-time word,
// search pointers and sync offsets with their special values, and a short sector.
#include <gtest/gtest.h>

#include "core/bytes.h"
#include "unit/vob_test_streams.h"
#include "vob/vobu_info.h"

namespace navtab::test {
namespace {

using namespace navtab::vob;

Sector sampleSector(const std::string& disc, const std::string& vob, std::size_t sector) {
    const Bytes all = readFile(sampleFile(disc, vob));
    return Sector(all.begin() + static_cast<long>(sector * 2048),
                  all.begin() + static_cast<long>((sector + 1) * 2048));
}

TEST(NavPack, DecodesTheFirstNavPackOfTheNtscTitles) {
    const Sector s = sampleSector("ntsc43", "VTS_01_1.VOB", 0);
    ASSERT_TRUE(isNavPack(s));
    const VobuInfo v = ParseNavPackFull(s);
    EXPECT_EQ(v.lbn, 0u);
    EXPECT_EQ(v.vobId, 1u);
    EXPECT_EQ(v.cellId, 1u);
    EXPECT_EQ(v.sPtm, 48003u);
    EXPECT_EQ(v.ePtm, 93048u);
    EXPECT_EQ(v.eltm, 0x000000C0u);
    EXPECT_EQ(v.rate, 30u);
    // Next VOBU 46 sectors on, with the flag "VOBU has video"; no previous VOBU.
    EXPECT_EQ(v.nextVobu.special, SearchPointer::kOrdinary);
    EXPECT_EQ(v.nextVobu.flags, 0x80000000u);
    EXPECT_EQ(v.nextVobu.distance, 46u);
    EXPECT_EQ(v.prevVobu.special, nav::kSearchNone);
    EXPECT_EQ(v.audioSync[0].special, SyncOffset::kForward);
    EXPECT_EQ(v.audioSync[0].distance, 2u);
    EXPECT_EQ(v.audioSync[2].special, 0u);
    EXPECT_EQ(v.subpSync[0].distance, 0x44u);
}

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
}

TEST(NavPack, AngleAndInterleavingFields) {
    Sector s = navPack({});
    put16(&s[nav::kIlvuCategory], 0x4000);
    put32(&s[nav::kIlvuEa], 33);
    put32(&s[nav::kIlvuSa], 44);
    put16(&s[nav::kIlvuSize], 55);
    put32(&s[nav::kNsmlAngle + 8], 66);
    put32(&s[nav::kSmlAngle + 6 * 8], 77);
    put16(&s[nav::kSmlAngle + 6 * 8 + 4], 88);
    const VobuInfo v = ParseNavPackFull(s);
    EXPECT_EQ(v.ilvuCategory, 0x4000u);
    EXPECT_EQ(v.ilvuEnd, 33u);
    EXPECT_EQ(v.ilvuStart, 44u);
    EXPECT_EQ(v.ilvuSize, 55u);
    EXPECT_EQ(v.nsmlAngle[2], 66u);
    EXPECT_EQ(v.smlAngleAddress[8], 77u);
    EXPECT_EQ(v.smlAngleSize[8], 88u);
}

TEST(NavPack, ShortSectorReadsAsZeros) {
    Sector s = navPack({.lbn = 5, .vobId = 3});
    s.resize(50);
    const VobuInfo v = ParseNavPackFull(s);
    EXPECT_EQ(v.lbn, 5u);
    EXPECT_EQ(v.vobId, 0u);
    EXPECT_EQ(v.audioSync[0].special, 0u);
    EXPECT_FALSE(isNavPack(Sector(17, 0)));
}

}  // namespace
}  // namespace navtab::test
