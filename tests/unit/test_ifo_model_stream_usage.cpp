// The stream usage of a title set: which streams its PGCs declare, under which MPEG ids the VOBs
// carry them, and how compacting moves the kept streams down (on the samples the ids are held
// against the packets the VOB files carry: test_vob_readers).
#include <gtest/gtest.h>

#include "core/bytes.h"
#include "core/ifo_classes.h"
#include "unit/model_support.h"

namespace navtab::test {
namespace {

using Ids = std::vector<std::uint8_t>;

struct PgcControls {
    std::vector<std::pair<std::size_t, std::uint16_t>> audio;
    std::vector<std::pair<std::size_t, std::uint32_t>> subp;
};

// A title set with the given title video byte, audio coding modes (one record per mode) and one
// title PGC per entry of `pgcs`.
ifo_t titleSet(std::uint8_t video, const std::vector<std::uint8_t>& audioModes,
               const std::vector<PgcControls>& pgcs) {
    CIfoMat mat(MatForm::TitleSet);
    mat.titleVideo = static_cast<std::uint16_t>(video << 8);
    for (std::uint8_t mode : audioModes)
        mat.AddTitleAudio()->bytes = {
            static_cast<std::uint8_t>(mode << 5), 0, 'e', 'n', 0, 0, 0, 0};
    mat.AddTitleSubp()->bytes = {0, 0, 'd', 'e', 0, 0};
    CIfoPgcit pgcit;
    for (const PgcControls& c : pgcs) {
        CIfoPgc* p = pgcit.AddSrp()->pgc.get();
        p->AddCell(Bytes(24, 0), 1, 1, true);  // with cells, so the controls are written
        for (const auto& [i, w] : c.audio) put16(p->stored.data() + pgc::kAudioControl + 2 * i, w);
        for (const auto& [i, w] : c.subp) put32(p->stored.data() + pgc::kSubpControl + 4 * i, w);
    }
    ifo_t ifo;
    ifo.table[ID_MAT] = bytesOf(mat.serialise());
    ifo.table[ID_VTS_PGCITI] = bytesOf(pgcit.serialise());
    return ifo;
}

TEST(IfoModelStreamUsage, AudioIdsFollowTheCodingModeAndTheMappedStream) {
    const ifo_t ifo = titleSet(
        0x03, {0, 4, 2}, {{{{0, 0x8000}, {1, 0x8100}}, {}}, {{{0, 0x8200}, {2, 0x0300}}, {}}});
    const CIfoStreamUsage usage(ifo);
    ASSERT_EQ(usage.pgcControls().size(), 2u);
    EXPECT_EQ(usage.audio()[0].ids, (Ids{0x80, 0x82}));
    EXPECT_EQ(usage.audio()[1].ids, (Ids{0xA1}));
    EXPECT_FALSE(usage.audio()[2].available);
    EXPECT_TRUE(usage.audio()[2].ids.empty());
    EXPECT_EQ(usage.audioIds(), (Ids{0x80, 0xA1, 0x82}));
    EXPECT_EQ(usage.availableAudioCount(), 2u);
    EXPECT_EQ(usage.audioIdCount(), 3u);
}

TEST(IfoModelStreamUsage, EachCodingModeHasItsStreamId) {
    const Ids expected = {0x83, 0x03, 0xC3, 0xCB, 0xA3, 0x8B, 0x8B, 0x03};
    for (std::uint8_t mode = 0; mode < 8; ++mode)
        EXPECT_EQ(audioStreamId(mode, 3), expected[mode]) << int{mode};
}

Ids subpIdsFor(std::uint8_t video) {
    const ifo_t ifo = titleSet(video, {}, {{{}, {{0, 0x80010203}}}});
    const CIfoStreamUsage usage(ifo);
    EXPECT_TRUE(usage.subpictures()[0].available);
    EXPECT_EQ(usage.subpictures()[0].ids, usage.subpIds());
    EXPECT_EQ(usage.availableSubpCount(), 1u);
    return usage.subpIds();
}

TEST(IfoModelStreamUsage, SubPictureIdsFollowTheDisplayModesTheVideoAllows) {
    EXPECT_EQ(subpIdsFor(0x03), (Ids{0x20}));              // 4:3
    EXPECT_EQ(subpIdsFor(0x0C), (Ids{0x21, 0x22, 0x23}));  // 16:9, letterbox and pan-scan
    EXPECT_EQ(subpIdsFor(0x0D), (Ids{0x21, 0x23}));        // 16:9, pan-scan only
    EXPECT_EQ(subpIdsFor(0x0E), (Ids{0x21, 0x22}));        // 16:9, letterbox only
    EXPECT_EQ(subpIdsFor(0x0F), (Ids{0x21}));              // 16:9, neither
    const CIfoStreamUsage usage(titleSet(0x0C, {}, {{{}, {{4, 0x80050505}}}}));
    EXPECT_EQ(usage.subpictures()[4].ids, (Ids{0x25}));
    EXPECT_EQ(usage.subpIdCount(), 1u);
}

TEST(IfoModelStreamUsage, WithoutTitlePgcsNoStreamIsAvailable) {
    ifo_t ifo = titleSet(0x03, {0}, {});
    ifo.table[ID_VTS_PGCITI].clear();
    const CIfoStreamUsage usage(ifo);
    EXPECT_EQ(usage.availableAudioCount(), 0u);
    EXPECT_EQ(usage.audio()[0].attr.bytes[2], 'e');  // the records are still there
}

TEST(IfoModelStreamUsage, CompactDropsStreamsAndMovesTheKeptOnesDown) {
    const ifo_t ifo = titleSet(0x03, {0, 0, 4},
                               {{{{0, 0x8000}, {2, 0x8200}}, {{1, 0x81000000}}},
                                {{{2, 0x8200}}, {{0, 0x80000000}, {1, 0x81000000}}}});
    CIfoStreamUsage usage(ifo);
    std::array<bool, kAudioStreamCount> audio{};
    audio.fill(true);
    audio[0] = audio[1] = false;
    std::array<bool, kSubpStreamCount> subp{};
    subp.fill(true);
    subp[0] = false;
    usage.Compact(audio, subp);
    EXPECT_EQ(usage.audio()[0].attr.codingMode(), 4);
    EXPECT_EQ(usage.audio()[2].attr.bytes, (std::array<std::uint8_t, 8>{}));
    EXPECT_EQ(usage.pgcControls()[0].audio[0], 0x8200);
    EXPECT_EQ(usage.pgcControls()[0].audio[2], 0);
    EXPECT_EQ(usage.pgcControls()[1].audio[0], 0x8200);
    EXPECT_EQ(usage.audio()[0].ids, (Ids{0xA2}));
    EXPECT_EQ(usage.pgcControls()[0].subp[0], 0x81000000u);
    EXPECT_EQ(usage.pgcControls()[1].subp[0], 0x81000000u);
    EXPECT_EQ(usage.pgcControls()[1].subp[1], 0u);
    EXPECT_EQ(usage.subpictures()[0].attr.bytes, (std::array<std::uint8_t, 6>{}));
}

}  // namespace
}  // namespace navtab::test
