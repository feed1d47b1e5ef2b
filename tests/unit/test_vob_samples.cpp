// The VOB readers against what dvdauthor wrote on the sample discs: the VOBU list against
// VTS_VOBU_ADMAP, VTS_C_ADT and the NAV packs, the audio sync offsets against the packets they
// point at, the frames against the playback times, and the encoder template against ffprobe.
#include <gtest/gtest.h>
#include <cstdio>
#include <map>
#include <sstream>

#include "core/bcd_frames.h"
#include "core/bytes.h"
#include "core/ifo_classes_address.h"
#include "core/ifo_stream_usage.h"
#include "core/layout/pgc_layout.h"
#include "unit/model_support.h"
#include "vob/frame_template.h"
#include "vob/pes_packet.h"
#include "vob/title_vob_pass.h"
#include "vob/vob_files.h"
#include "vob/vobu_analysis.h"

namespace navtab::test {
namespace {

using namespace navtab::vob;

// With the ids of the audio streams of the title set, by logical stream: what the VOB files
// carry (README.md of the samples), whatever the PGCs' stream numbers say.
struct TitleSet {
    const char* disc;
    const char* ifo;
    std::vector<std::uint8_t> audioIds;
    // mixed0's muxer puts padding behind video packets in the middle of a picture, where the
    // analysis takes a reference picture to end, and dvdauthor counts its audio that runs on past
    // the last picture into the PGC's playback time: its reference ends and PGC times are not
    // compared.
    bool comparePictureTiming = true;
};
const TitleSet kTitleSets[] = {{"ntsc43", "VTS_01_0.IFO", {0x80, 0x81}},
                               {"ntsc43", "VTS_02_0.IFO", {0x80}},
                               {"pal169", "VTS_01_0.IFO", {0xC0, 0xA1}},
                               {"mixed0", "VTS_01_0.IFO", {0x80, 0xC0, 0xA0}, false}};

struct Analysed {
    IfoHandle ifo;
    Bytes vob;  // the title VOB files one after the other
    VobJob job;
};

Analysed analyseSample(const TitleSet& t) {
    Analysed a;
    const std::string path = sampleFile(t.disc, t.ifo);
    a.ifo = loadSample(path);
    a.job.audioSlots = AudioStreamSlots(CIfoStreamUsage(*a.ifo));
    RecordingInteraction ui;
    const auto files = titleVobPaths(path);
    for (const auto& f : files) {
        const Bytes b = readFile(f);
        a.vob.insert(a.vob.end(), b.begin(), b.end());
    }
    const auto result = ReadVobSectors({files, nullptr, nullptr}, ui, [&](SectorBytes s) {
        AnalyseVobSector(a.job, s);
        ++a.job.sector;
    });
    EXPECT_EQ(result, VobPassResult::Done);
    return a;
}

const std::uint8_t* sectorAt(const Analysed& a, std::uint32_t sector) {
    return a.vob.data() + std::size_t{sector} * kSectorSize;
}

TEST(VobSamples, VobuListAgreesWithTheAddressMapAndNavPacksDvdauthorWrote) {
    for (const TitleSet& t : kTitleSets) {
        SCOPED_TRACE(std::string(t.disc) + " " + t.ifo);
        const Analysed a = analyseSample(t);
        const VobuList& list = a.job.vobus;
        const CIfoVobuAdmap admap(a.ifo->table[ID_VTS_VOBU_ADMAP]);
        ASSERT_EQ(list.size(), admap.sectors.size());
        for (std::size_t k = 0; k < list.size(); ++k) {
            const VobuInfo& v = list[k];
            const std::uint8_t* nav = sectorAt(a, v.sector);
            SCOPED_TRACE("VOBU at " + std::to_string(v.sector));
            EXPECT_EQ(v.sector, admap.sectors[k]);
            EXPECT_EQ(v.lbn, v.sector);
            EXPECT_EQ(v.lastOffset, be32(nav + nav::kVobuEa));
            if (t.comparePictureTiming) {
                EXPECT_EQ(v.refEnd, (std::array{be32(nav + nav::kRef1Ea), be32(nav + nav::kRef2Ea),
                                                be32(nav + nav::kRef3Ea)}));
            }
        }
        // The cells these VOBUs make are held against VTS_C_ADT by the in-place rebuild test.
    }
}

// The time stamp of the packet with audio id `id` that opens a sector (0 without a time stamp),
// read straight from the bytes: stream id at 17, for private stream 1 the sub-stream id behind
// the header data, the PTS at 23 when flagged.
std::optional<std::uint64_t> audioPts(const Analysed& a, std::uint32_t sector, std::uint8_t id) {
    const std::uint8_t* s = sectorAt(a, sector);
    const bool ours = s[17] == id || (s[17] == 0xBD && s[23 + s[22]] == id);
    if (!ours) return std::nullopt;
    return (s[21] & 0x80) ? decodePts(s + 23) : 0;
}

// After stripping, the a_synca slots follow the compacted streams (on the samples every id goes
// to the slot of its logical stream, checked by the audio sync test below).
TEST(VobSamples, AudioSlotsFollowTheCompactedStreams) {
    CIfoStreamUsage mixed(*loadSample(sampleFile("mixed0", "VTS_01_0.IFO")));
    EXPECT_EQ(AudioStreamSlots(mixed).slotOf(0x81), std::nullopt);  // declared by no stream
    std::array<bool, kSubpStreamCount> allSubp{};
    allSubp.fill(true);
    mixed.Compact({true, false, true}, allSubp);  // the MPEG stream stripped
    EXPECT_EQ(AudioStreamSlots(mixed).slotOf(0xA0), 1u);
    EXPECT_EQ(AudioStreamSlots(mixed).slotOf(0xC0), std::nullopt);
    EXPECT_EQ(AudioStreamSlots().slotOf(0x8A), 2u);  // without a title set: the stream number
}

// dvdauthor points a_synca at the packet that holds the audio frame playing at vobu_s_ptm. The
// analysis points at the packet where the first frame starting at or after vobu_s_ptm begins: the
// next packet of the stream when that one starts within one frame (2880 ticks) after the time,
// else the same packet. Where the two differ, it must be for exactly that reason.
TEST(VobSamples, AudioSyncAgreesWithDvdauthorOrIsTheNextPacketWithinOneFrame) {
    int agree = 0, nextPacket = 0;
    for (const TitleSet& t : kTitleSets) {
        SCOPED_TRACE(std::string(t.disc) + " " + t.ifo);
        const Analysed a = analyseSample(t);
        std::uint32_t previousVob = 0;
        for (const VobuInfo& v : a.job.vobus) {
            const std::uint8_t* nav = sectorAt(a, v.sector);
            for (unsigned n = 0; n < nav::kAudioStreams; ++n) {
                // Every settled offset points at a packet of its stream.
                const std::uint32_t ours = v.audioSync[n].special;
                if (!v.audioSync[n].unsettled() && ours != 0 && ours != nav::kAudioSyncNone) {
                    ASSERT_LT(n, t.audioIds.size()) << "a slot no stream has";
                    const std::uint32_t at = ours & nav::kAudioSyncBackward
                                                 ? v.sector - (ours & nav::kAudioSyncDistanceMask)
                                                 : v.sector + ours;
                    ASSERT_LT(at, a.vob.size() / kSectorSize);
                    EXPECT_TRUE(audioPts(a, at, t.audioIds[n]))
                        << "VOBU at " << v.sector << ", audio " << n << " points at " << at;
                }
                const std::uint16_t theirs = be16(nav + nav::kAudioSync + 2 * n);
                if (theirs == 0 || theirs == nav::kAudioSyncNone) continue;
                SCOPED_TRACE("VOBU at " + std::to_string(v.sector) + ", audio " +
                             std::to_string(n));
                ASSERT_FALSE(v.audioSync[n].unsettled());
                if (v.vobId != previousVob) {
                    EXPECT_EQ(ours, theirs);  // the first VOBU of a VOB
                }
                if (ours == theirs) {
                    ++agree;
                    continue;
                }
                ++nextPacket;
                const std::uint8_t id = t.audioIds[n];
                const auto before = audioPts(a, v.sector + theirs, id);
                const auto after = audioPts(a, v.sector + ours, id);
                ASSERT_TRUE(before && after);
                EXPECT_LT(*before, v.sPtm);
                EXPECT_GT(*after, v.sPtm);
                EXPECT_LE(*after - v.sPtm, 2879u);
                for (std::uint32_t s = v.sector + theirs + 1; s < v.sector + ours; ++s)
                    EXPECT_FALSE(audioPts(a, s, id)) << "a packet of the stream between, at " << s;
            }
            previousVob = v.vobId;
        }
    }
    EXPECT_GT(agree, 10);
    std::printf("audio sync: %d offsets as dvdauthor's, %d the next packet\n", agree, nextPacket);
}

TEST(VobSamples, FramesAddUpToTheCellAndPgcPlaybackTimes) {
    for (const TitleSet& t : kTitleSets) {
        SCOPED_TRACE(std::string(t.disc) + " " + t.ifo);
        const Analysed a = analyseSample(t);
        const auto& pgcit = a.ifo->table[ID_VTS_PGCITI];
        const CIfoCadt cadt(a.ifo->table[ID_VTS_C_ADT]);
        for (unsigned p = 0; p < be16(pgcit.data()); ++p) {
            const std::uint8_t* pgc = pgcit.data() + be32(pgcit.data() + 8 + 8 * p + 4);
            const std::uint8_t* playback = pgc + be16(pgc + pgc::kCellPlaybackStart);
            const std::uint8_t* position = pgc + be16(pgc + pgc::kCellPositionStart);
            double pgcFrames = 0;
            for (unsigned c = 0; c < pgc[pgc::kCellCount]; ++c) {
                const std::uint8_t* entry = playback + pgc::kCellPlaybackSize * c;
                double frames = 0;
                for (const VobuInfo& v : a.job.vobus)
                    if (v.vobId == be16(position + 4 * c) && v.cellId == position[4 * c + 3])
                        frames += v.frames;
                EXPECT_EQ(frames, bcdTimeToFrames(be32(entry + pgc::kCellPlaybackTime)))
                    << "PGC " << p + 1 << " cell " << c + 1;
                pgcFrames += frames;
            }
            if (t.comparePictureTiming) {
                EXPECT_EQ(pgcFrames, bcdTimeToFrames(be32(pgc + pgc::kPlaybackTime)))
                    << "PGC " << p + 1;
            }
        }
    }
}

// Frame types in stream order; ffprobe lists them in display order, which is the same for
// streams without B pictures, as the samples are.
std::vector<std::string> ffprobeFrames(const std::string& vob) {
    const auto r = runCommand(
        "ffprobe -v error -select_streams v:0 -show_entries "
        "frame=key_frame,pict_type -of csv=p=0 '" +
        vob + "'");
    std::vector<std::string> frames;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);)
        if (line.size() >= 3 && (line[0] == '0' || line[0] == '1') && line[1] == ',')
            frames.push_back(line.substr(0, 3));
    return frames;
}

std::vector<std::string> templateLines(const TitleSet& t, const FrameTypes& types) {
    TempDir dir;
    RecordingInteraction ui;
    const auto files = titleVobPaths(sampleFile(t.disc, t.ifo));
    EXPECT_EQ(CreateTemplate(files, types, dir.file("t.txt"), nullptr, ui),
              TemplateResult::Written);
    const Bytes text = readFile(dir.file("t.txt"));
    std::istringstream in(std::string(text.begin(), text.end()));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(VobSamples, TemplateIFramesAreTheKeyFramesFfprobeReports) {
    if (runCommand("ffprobe -version").status != 0) GTEST_SKIP() << "ffprobe is not installed";
    for (const TitleSet& t : kTitleSets) {
        SCOPED_TRACE(std::string(t.disc) + " " + t.ifo);
        const auto frames = ffprobeFrames(titleVobPaths(sampleFile(t.disc, t.ifo)).front());
        ASSERT_FALSE(frames.empty());
        std::vector<std::string> keyFrames, all;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            if (frames[i][0] == '1') keyFrames.push_back(std::to_string(i) + ",I");
            all.push_back(std::to_string(i) + "," + frames[i][2]);
        }
        EXPECT_EQ(templateLines(t, {true, false, false}), keyFrames);
        EXPECT_EQ(templateLines(t, {}), all);
    }
}

}  // namespace
}  // namespace navtab::test
