// The per-sector analysis on hand-made streams: VOBU bounds, picture counting (split start codes,
// field pictures, repeated fields), reference-picture ends, audio sync offsets, damaged sectors.
// Arbitrary bytes are fed to it by fuzz/fuzz_vob.cpp.
#include <gtest/gtest.h>

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
using RefEnds = std::array<std::uint32_t, 3>;

TEST(VobuAnalysis, VobuBoundsFollowTheNavPacks) {
    const auto job =
        analyse({navPack({.lbn = 7}), fullVideoSector(kI), fullVideoSector({}), paddingSector(),
                 navPack({.lbn = 11, .cellId = 2}), fullVideoSector(kP), paddingSector()});
    ASSERT_EQ(job.vobus.size(), 2u);
    const auto& [a, b] = std::tie(job.vobus[0], job.vobus[1]);
    EXPECT_EQ(std::tuple(a.sector, a.lbn, a.lastOffset), std::tuple(0u, 7u, 3u));
    // The last VOBU ends at the last sector handed in.
    EXPECT_EQ(std::tuple(b.sector, b.cellId, b.lastOffset), std::tuple(4u, 2u, 2u));
}

// Frames and reference-picture ends of the first VOBU of hand-made streams.
TEST(VobuAnalysis, PicturesCountFramesAndReferenceEnds) {
    auto coded = [](const Bytes& picture, unsigned structure, bool top = false, bool rff = false) {
        return concat({picture, pictureCodingExtension(structure, top, rff)});
    };
    auto repeated = [&](bool progressive, bool top) {
        return std::vector<Sector>{
            navPack({}), fullVideoSector(concat({sequenceHeader(), sequenceExtension(progressive),
                                                 coded(kI, 3, top, true)}))};
    };
    // The picture start code of the P picture: 00 00 01 at the end of sector 2, the rest in 3.
    const Bytes p = concat({kP, sliceData(8)});
    const Bytes ext = pictureCodingExtension(kBottomField, false, false);
    std::vector<Sector> manyP = {navPack({}), fullVideoSector(kI)};
    for (int i = 0; i < 6; ++i) manyP.push_back(fullVideoSector(kP));
    const struct {
        const char* what;
        std::vector<Sector> sectors;
        double frames;
        RefEnds refEnds;
    } cases[] = {
        // The split start code counts once; the I picture ended in the packet before the split.
        {"split start code",
         {navPack({}), fullVideoSector(kI), fullVideoSector({}, {0, 0, 1}),
          fullVideoSector(Bytes(p.begin() + 3, p.end())), paddingSector()},
         2.0,
         {2, 0, 0}},
        // A bottom field whose coding extension straddles two packets pairs with its top field.
        {"split coding extension",
         {navPack({}), fullVideoSector(coded(kI, kTopField, true)),
          fullVideoSector({}, concat({kP, Bytes(ext.begin(), ext.begin() + 5)})),
          fullVideoSector(Bytes(ext.begin() + 5, ext.end()))},
         1.0,
         {}},
        // Field pairs count one frame whichever field comes first; the second field's start is
        // no reference end.
        {"top field first",
         {navPack({}), fullVideoSector(coded(kI, kTopField)),
          fullVideoSector(coded(kP, kBottomField)), fullVideoSector(coded(kP, 3))},
         2.0,
         {2, 0, 0}},
        {"bottom field first",
         {navPack({}), fullVideoSector(coded(kI, kBottomField)),
          fullVideoSector(coded(kP, kTopField)), fullVideoSector(coded(kP, 3))},
         2.0,
         {2, 0, 0}},
        // Repeat first field: a progressive sequence repeats frames, an interlaced one a field.
        {"progressive, top first", repeated(true, true), 3.0, {}},
        {"progressive, bottom first", repeated(true, false), 2.0, {}},
        {"interlaced", repeated(false, true), 1.5, {}},
        // I B B P B B P in coding order, padding behind the last P's data: the first B's start,
        // the second P's start, the padding.
        {"open GOP",
         {navPack({}), fullVideoSector(kI), fullVideoSector(kB), fullVideoSector(kB),
          fullVideoSector(kP), fullVideoSector(kB), fullVideoSector(kB), fullVideoSector(kP),
          videoSector(sliceData(100))},
         7.0,
         {1, 4, 8}},
        {"at most three reference ends", manyP, 7.0, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        const auto job = analyse(c.sectors);
        ASSERT_FALSE(job.vobus.empty()) << c.what;
        EXPECT_EQ(job.vobus[0].frames, c.frames) << c.what;
        if (c.refEnds != RefEnds{}) {
            EXPECT_EQ(job.vobus[0].refEnd, c.refEnds) << c.what;
        }
    }
    // The counter starts again at the next NAV pack; the open reference carries over.
    manyP.push_back(navPack({}));
    manyP.push_back(fullVideoSector(kP));
    const auto job = analyse(manyP);
    EXPECT_EQ(job.vobus[1].refEnd[0], 0u);
    EXPECT_EQ(job.vobus[1].frames, 1.0);
}

// Audio stream 0 announced with the word `word`, VOBU time `sPtm`.
Sector navWithAudio(std::uint16_t word, std::uint32_t sPtm = 90000, std::uint16_t vobId = 1) {
    return navPack({.vobId = vobId, .sPtm = sPtm, .audioSync = {word}});
}

std::uint32_t sync0(const VobJob& job, std::size_t vobu = 0) {
    return job.vobus[vobu].audioSync[0].special;
}

// The offset points at the packet where the first audio frame starting at or after the VOBU's
// time begins: the next packet of the stream when that one starts within one frame (2880 ticks)
// after the time, else the one before.
TEST(VobuAnalysis, AudioSyncPointsAtThePacketOfTheVobuTime) {
    const Sector nav = navWithAudio(5);
    const auto a = [](std::uint64_t pts) { return privateSector(0x80, pts); };
    const std::pair<std::vector<Sector>, std::uint32_t> cases[] = {
        {{nav, paddingSector(), a(90000)}, 2},  // a packet that starts exactly at the time
        {{nav, paddingSector(), paddingSector(), a(95000)}, 3},
        {{nav, a(80000), paddingSector(), a(92880)}, 1},
        {{nav, a(80000), paddingSector(), a(92879)}, 3},
        {{navWithAudio(0), a(90000)}, 0},  // 0 and "none" stay as they are
        {{navWithAudio(nav::kAudioSyncNone), a(90000)}, nav::kAudioSyncNone},
        {{a(80000), navWithAudio(0x8003), a(95000)}, 0x8001},  // backward to the earlier packet
    };
    for (const auto& [sectors, word] : cases) EXPECT_EQ(sync0(analyse(sectors)), word);

    // VOBU 0 sees only a packet before its time; the next one comes after VOBU 1 has begun.
    const auto later =
        analyse({navWithAudio(5), a(80000), navWithAudio(5, 135045), a(96000), a(140000)});
    EXPECT_EQ(sync0(later, 0), 1u);  // 96000 is more than a frame after 90000: the earlier packet
    EXPECT_EQ(sync0(later, 1), 1u);  // 140000 > 135045 + 2879: the packet before, in sector 3
    // Time stamps start afresh in a new VOB; a packet there says nothing of the old VOBU.
    const auto newVob =
        analyse({navWithAudio(5, 90000, 1), a(80000), navWithAudio(5, 90000, 2), a(95000)});
    EXPECT_TRUE(newVob.vobus[0].audioSync[0].unsettled());
    EXPECT_EQ(sync0(newVob, 1), 1u);

    // MPEG, LPCM and DTS audio settle their streams; a sub-picture packet is counted.
    const auto job = analyse({navPack({.audioSync = {1, 1, 1, 1}}),
                              pesSector(0xC1, Bytes(100, 0x11), 90000), privateSector(0xA2, 90000),
                              privateSector(0x8B, 90000), privateSector(0x20, 90000)});
    for (unsigned n = 1; n <= 3; ++n) EXPECT_EQ(job.vobus[0].audioSync[n].special, n);
    EXPECT_TRUE(job.vobus[0].audioSync[0].unsettled());
    EXPECT_EQ(job.audioPackets[1], 1u);
    EXPECT_EQ(job.subpPackets[0], 1u);
}

TEST(VobuAnalysisDamaged, LengthsPastTheSectorEndAndTruncatedSectorsStayInside) {
    Sector longPes = fullVideoSector(concat({kI, sliceData(100), kP}));
    longPes[vob::pes::kLength] = 0xFF;  // 65535 bytes claimed
    longPes[vob::pes::kLength + 1] = 0xFF;
    EXPECT_EQ(analyse({navPack({}), longPes}).vobus[0].frames, 2.0);

    Sector longHeader = fullVideoSector(kI);  // header data past the end: no payload
    longHeader[vob::pes::kHeaderDataLength] = 0xFF;
    const auto header =
        analyse({navPack({}), longHeader, privateSector(0x80, 1), videoSector(sliceData(50))});
    EXPECT_EQ(header.vobus[0].frames, 0.0);
    EXPECT_EQ(header.vobus[0].refEnd, RefEnds{});

    Sector nav = navPack({.lbn = 3, .vobId = 9});
    nav.resize(40);  // the DSI and most of the PCI are missing
    Sector video = fullVideoSector(kI);
    video.resize(30);
    const auto cut = analyse({nav, video, Sector{0x00, 0x00, 0x01}});
    ASSERT_EQ(cut.vobus.size(), 1u);
    EXPECT_EQ(cut.vobus[0].vobId, 0u);  // lies beyond the 40 bytes: read as zero
    EXPECT_EQ(cut.vobus[0].lastOffset, 2u);
}

}  // namespace
}  // namespace navtab::test
