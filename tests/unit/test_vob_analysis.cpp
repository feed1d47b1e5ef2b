// The per-sector analysis on hand-made streams: VOBU bounds, picture counting (split start codes,
// field pictures, repeated fields), reference-picture ends, audio sync offsets, and damaged
// sectors.
#include <gtest/gtest.h>
#include <random>

#include "unit/vob_test_streams.h"
#include "vob/vobu_analysis.h"

namespace navtab::test {
namespace {

using namespace navtab::vob;

VobJob analyse(const std::vector<Sector>& sectors) {
    VobJob job;
    for (const Sector& s : sectors) {
        AnalyseVobSector(job, s);
        ++job.sector;
    }
    return job;
}

const Bytes kI = pictureHeader(kIPicture);
const Bytes kP = pictureHeader(kPPicture);
const Bytes kB = pictureHeader(kBPicture);

TEST(VobuAnalysis, VobuBoundsFollowTheNavPacks) {
    const auto job =
        analyse({navPack({.lbn = 7}), fullVideoSector(kI), fullVideoSector({}), paddingSector(),
                 navPack({.lbn = 11, .cellId = 2}), fullVideoSector(kP), paddingSector()});
    ASSERT_EQ(job.vobus.size(), 2u);
    EXPECT_EQ(job.vobus[0].sector, 0u);
    EXPECT_EQ(job.vobus[0].lbn, 7u);
    EXPECT_EQ(job.vobus[0].lastOffset, 3u);
    EXPECT_EQ(job.vobus[1].sector, 4u);
    EXPECT_EQ(job.vobus[1].cellId, 2u);
    EXPECT_EQ(job.vobus[1].lastOffset, 2u);  // the last VOBU ends at the last sector handed in
}

TEST(VobuAnalysis, TrackVobuBoundsKeepsOnlyTheBoundsAndCountsItself) {
    VobJob job;
    for (const Sector& s : {navPack({}), fullVideoSector(kI), navPack({}), paddingSector()})
        TrackVobuBounds(job, s);
    EXPECT_EQ(job.sector, 4u);
    ASSERT_EQ(job.vobus.size(), 2u);
    EXPECT_EQ(job.vobus[0].lastOffset, 1u);
    EXPECT_EQ(job.vobus[1].lastOffset, 1u);
    EXPECT_EQ(job.vobus[0].frames, 0.0);
}

TEST(VobuAnalysis, PictureStartSplitAcrossPacketsCountsOnceAndEndsThePreviousPacket) {
    // The picture start code of the P picture: 00 00 01 at the end of sector 2, the rest in 3.
    const Bytes p = concat({kP, sliceData(8)});
    const auto job = analyse({navPack({}), fullVideoSector(kI), fullVideoSector({}, {0, 0, 1}),
                              fullVideoSector(Bytes(p.begin() + 3, p.end())), paddingSector()});
    ASSERT_EQ(job.vobus.size(), 1u);
    EXPECT_EQ(job.vobus[0].frames, 2.0);
    EXPECT_EQ(job.vobus[0].refEnd[0], 2u);  // the I picture ended in the packet before the split
}

// A bottom field whose coding extension straddles two packets still pairs with its top field.
TEST(VobuAnalysis, SplitPictureCodingExtensionIsFoundToo) {
    const Bytes ext = pictureCodingExtension(kBottomField, false, false);
    const auto job = analyse(
        {navPack({}), fullVideoSector(concat({kI, pictureCodingExtension(kTopField, true, false)})),
         fullVideoSector({}, concat({kP, Bytes(ext.begin(), ext.begin() + 5)})),
         fullVideoSector(Bytes(ext.begin() + 5, ext.end()))});
    EXPECT_EQ(job.vobus[0].frames, 1.0);
}

TEST(VobuAnalysis, FieldPairsCountOneFrameWhicheverFieldComesFirst) {
    for (const auto& [first, second] :
         {std::pair{kTopField, kBottomField}, std::pair{kBottomField, kTopField}}) {
        const auto job =
            analyse({navPack({}),
                     fullVideoSector(concat({kI, pictureCodingExtension(first, false, false)})),
                     fullVideoSector(concat({kP, pictureCodingExtension(second, false, false)})),
                     fullVideoSector(concat({kP, pictureCodingExtension(3, false, false)}))});
        SCOPED_TRACE(first);
        EXPECT_EQ(job.vobus[0].frames, 2.0);
        // The second field's start is no reference end; the I frame ends where the P frame starts.
        EXPECT_EQ(job.vobus[0].refEnd[0], 2u);
        EXPECT_EQ(job.vobus[0].refEnd[1], 0u);
    }
}

TEST(VobuAnalysis, RepeatFirstFieldAddsFieldsOrFrames) {
    struct Case {
        bool progressive, topFieldFirst;
        double frames;
    };
    for (const Case c : {Case{true, true, 3.0}, Case{true, false, 2.0}, Case{false, true, 1.5}}) {
        const auto job =
            analyse({navPack({}),
                     fullVideoSector(concat({sequenceHeader(), sequenceExtension(c.progressive), kI,
                                             pictureCodingExtension(3, c.topFieldFirst, true)}))});
        EXPECT_EQ(job.vobus[0].frames, c.frames) << c.progressive << c.topFieldFirst;
    }
}

TEST(VobuAnalysis, OpenGopReferenceEnds) {
    // I B B P B B P in coding order, one picture per sector; padding behind the last P's data.
    const auto job =
        analyse({navPack({}), fullVideoSector(kI), fullVideoSector(kB), fullVideoSector(kB),
                 fullVideoSector(kP), fullVideoSector(kB), fullVideoSector(kB), fullVideoSector(kP),
                 videoSector(sliceData(100))});
    const auto& v = job.vobus[0];
    EXPECT_EQ(v.frames, 7.0);
    EXPECT_EQ(v.refEnd[0], 1u);  // where the first B starts
    EXPECT_EQ(v.refEnd[1], 4u);
    EXPECT_EQ(v.refEnd[2], 8u);  // the padding behind the second P's last packet
}

TEST(VobuAnalysis, AtMostThreeReferenceEndsPerVobu) {
    std::vector<Sector> s = {navPack({}), fullVideoSector(kI)};
    for (int i = 0; i < 6; ++i) s.push_back(fullVideoSector(kP));
    s.push_back(navPack({}));
    s.push_back(fullVideoSector(kP));
    const auto job = analyse(s);
    EXPECT_EQ(job.vobus[0].refEnd, (std::array<std::uint32_t, 3>{1, 2, 3}));
    // The counter starts again at the next NAV pack; the open reference carries over.
    EXPECT_EQ(job.vobus[1].refEnd[0], 0u);
    EXPECT_EQ(job.vobus[1].frames, 1.0);
}

// Audio stream 0 announced with an ordinary forward offset, VOBU time 90000.
NavFields withAudio(std::uint16_t word, std::uint32_t sPtm = 90000, std::uint16_t vobId = 1) {
    NavFields f;
    f.sPtm = sPtm;
    f.vobId = vobId;
    f.audioSync[0] = word;
    return f;
}

std::uint32_t sync0(const VobJob& job, std::size_t vobu = 0) {
    return job.vobus[vobu].audioSync[0].special;
}

TEST(VobuAnalysis, AudioSyncPointsAtThePacketOfTheVobuTime) {
    const Sector nav = navPack(withAudio(5));
    // A packet that starts exactly at the VOBU's time.
    EXPECT_EQ(sync0(analyse({nav, paddingSector(), privateSector(0x80, 90000)})), 2u);
    // The first packet after the NAV pack starts later.
    EXPECT_EQ(sync0(analyse({nav, paddingSector(), paddingSector(), privateSector(0x80, 95000)})),
              3u);
    // An earlier packet, then one more than a frame (2880 ticks) after the time: the earlier.
    EXPECT_EQ(sync0(analyse(
                  {nav, privateSector(0x80, 80000), paddingSector(), privateSector(0x80, 92880)})),
              1u);
    // ... within a frame after the time: the later one.
    EXPECT_EQ(sync0(analyse(
                  {nav, privateSector(0x80, 80000), paddingSector(), privateSector(0x80, 92879)})),
              3u);
    // The special words stay.
    for (std::uint16_t word : {std::uint16_t{0}, nav::kAudioSyncNone})
        EXPECT_EQ(sync0(analyse({navPack(withAudio(word)), privateSector(0x80, 90000)})), word);
}

TEST(VobuAnalysis, AudioSyncSettledByAPacketInALaterVobu) {
    // VOBU 0 sees only a packet before its time; the next packet comes after VOBU 1 has begun.
    const auto job =
        analyse({navPack(withAudio(5)), privateSector(0x80, 80000), navPack(withAudio(5, 135045)),
                 privateSector(0x80, 96000), privateSector(0x80, 140000)});
    EXPECT_EQ(sync0(job, 0), 1u);  // 96000 is more than a frame after 90000: the earlier packet
    EXPECT_EQ(sync0(job, 1), 1u);  // 140000 > 135045 + 2879: the packet before, in sector 3
}

TEST(VobuAnalysis, AudioSyncWaitingAcrossANewVobIdStaysUnsettled) {
    // Time stamps start afresh in a new VOB; a packet there says nothing of the old VOBU.
    const auto job = analyse({navPack(withAudio(5, 90000, 1)), privateSector(0x80, 80000),
                              navPack(withAudio(5, 90000, 2)), privateSector(0x80, 95000)});
    EXPECT_TRUE(job.vobus[0].audioSync[0].unsettled());
    EXPECT_EQ(sync0(job, 1), 1u);
}

TEST(VobuAnalysis, BackwardAudioSyncPointsToTheEarlierPacket) {
    const auto job = analyse(
        {privateSector(0x80, 80000), navPack(withAudio(0x8003)), privateSector(0x80, 95000)});
    EXPECT_EQ(sync0(job), 0x8001u);
}

TEST(VobuAnalysis, MpegLpcmAndDtsAudioSettleTheirStreams) {
    NavFields f;
    f.audioSync = {1, 1, 1, 1, 0, 0, 0, 0};
    const auto job =
        analyse({navPack(f), pesSector(0xC1, Bytes(100, 0x11), 90000), privateSector(0xA2, 90000),
                 privateSector(0x8B, 90000), privateSector(0x20, 90000)});
    EXPECT_EQ(job.vobus[0].audioSync[1].special, 1u);
    EXPECT_EQ(job.vobus[0].audioSync[2].special, 2u);
    EXPECT_EQ(job.vobus[0].audioSync[3].special, 3u);
    EXPECT_TRUE(job.vobus[0].audioSync[0].unsettled());
    EXPECT_EQ(job.audioPackets[1], 1u);
    EXPECT_EQ(job.subpPackets[0], 1u);
}

TEST(VobuAnalysisDamaged, PesLengthPastTheSectorEndStaysInside) {
    Sector s = fullVideoSector(concat({kI, sliceData(100), kP}));
    s[vob::pes::kLength] = 0xFF;  // 65535 bytes claimed
    s[vob::pes::kLength + 1] = 0xFF;
    const auto job = analyse({navPack({}), s});
    EXPECT_EQ(job.vobus[0].frames, 2.0);
}

TEST(VobuAnalysisDamaged, HeaderDataLengthPastTheSectorEndGivesNoPayload) {
    Sector s = fullVideoSector(kI);
    s[vob::pes::kHeaderDataLength] = 0xFF;
    const auto job = analyse({navPack({}), s, privateSector(0x80, 1), videoSector(sliceData(50))});
    EXPECT_EQ(job.vobus[0].frames, 0.0);
    EXPECT_EQ(job.vobus[0].refEnd, (std::array<std::uint32_t, 3>{}));
}

TEST(VobuAnalysisDamaged, TruncatedSectorsAreCountedAndNothingIsReadBeyondThem) {
    Sector nav = navPack({.lbn = 3, .vobId = 9});
    nav.resize(40);  // the DSI and most of the PCI are missing
    Sector video = fullVideoSector(kI);
    video.resize(30);
    Sector tiny = {0x00, 0x00, 0x01};
    const auto job = analyse({nav, video, tiny});
    ASSERT_EQ(job.vobus.size(), 1u);
    EXPECT_EQ(job.vobus[0].vobId, 0u);  // lies beyond the 40 bytes: read as zero
    EXPECT_EQ(job.vobus[0].lastOffset, 2u);
}

TEST(VobuAnalysisDamaged, ArbitraryBytesAreAnalysedWithoutHarm) {
    std::mt19937 random(7);
    VobJob job;
    for (int i = 0; i < 3000; ++i) {
        Sector s(i % 7 == 0 ? random() % 2048 : 2048);
        for (auto& b : s) b = static_cast<std::uint8_t>(random());
        if (s.size() > 17)
            s[17] = std::array<std::uint8_t, 4>{0xBB, 0xE0, 0xBD, 0xC0}[random() % 4];
        AnalyseVobSector(job, s);
        ++job.sector;
    }
    EXPECT_EQ(job.sector, 3000u);
    for (const auto& v : job.vobus) EXPECT_LE(v.refEnd[0], job.sector);
}

}  // namespace
}  // namespace navtab::test
