// The media pipeline against ffmpeg on the sample discs: the decoded pictures before scaling
// and the decoded sound must be what ffmpeg's own decode of the same VOB gives.
#include <gtest/gtest.h>

#include <cstdlib>

#include "player/pack_demux.h"
#include "player/video_decoder.h"
#include "player_support.h"

namespace navtab::test {
namespace {

using player::AudioCoding;

TEST(PlayerDecode, FirstHundredPicturesMatchFfmpegFrameMd5) {
    const std::string path = sampleFile("ntsc43", "VTS_01_1.VOB");
    const auto want = ffmpegFrameMd5(path);
    ASSERT_GE(want.size(), 100u) << "ffmpeg gave too few pictures";
    player::VideoDecoder decoder;
    ASSERT_TRUE(decoder.ok());
    std::vector<std::string> got;
    const Bytes file = readFile(path);
    for (auto s : sectorsOf(file)) {
        for (const auto& p : player::demuxPack(s).packets)
            if (p.kind == player::StreamKind::Video) decoder.feed(p.payload, p.pts);
        for (auto& pic : decoder.take()) got.push_back(md5Hex(player::packedPlanes(*pic.frame)));
        if (got.size() >= 100) break;
    }
    ASSERT_GE(got.size(), 100u);
    for (std::size_t i = 0; i < 100; ++i) EXPECT_EQ(got[i], want[i]) << "picture " << i;
}

struct AudioCase {
    const char* disc;
    player::AudioStreamId stream;
    int ffmpegIndex;  // the stream's place among the audio streams ffmpeg lists
    int channels;
};

class PlayerAudio : public testing::TestWithParam<AudioCase> {};

TEST_P(PlayerAudio, FirstSecondMatchesFfmpegWithinOneStep) {
    const AudioCase c = GetParam();
    const std::string path = sampleFile(c.disc, "VTS_01_1.VOB");
    const auto want = ffmpegAudio(path, c.ffmpegIndex);
    player::MediaPipeline pipeline;
    pipeline.selectAudio(c.stream);
    feedAll(pipeline, readFile(path));
    std::vector<std::int16_t> got;
    std::int64_t firstPts = -1;
    for (const auto& b : pipeline.takeAudio()) {
        ASSERT_EQ(b.channels, c.channels);
        ASSERT_EQ(b.sampleRate, 48000);
        if (firstPts < 0) firstPts = b.pts;
        got.insert(got.end(), b.samples.begin(), b.samples.end());
    }
    const std::size_t second = 48000u * static_cast<unsigned>(c.channels);
    ASSERT_GE(want.size(), second);
    ASSERT_GE(got.size(), second);
    EXPECT_GT(firstPts, 0);
    int worst = 0;
    for (std::size_t i = 0; i < second; ++i) worst = std::max(worst, std::abs(got[i] - want[i]));
    EXPECT_LE(worst, 1);
}

INSTANTIATE_TEST_SUITE_P(Samples, PlayerAudio,
                         testing::Values(AudioCase{"ntsc43", {1, AudioCoding::Ac3}, 1, 2},
                                         AudioCase{"pal169", {0, AudioCoding::Mpeg}, 0, 2},
                                         AudioCase{"pal169", {1, AudioCoding::Lpcm}, 1, 2},
                                         AudioCase{"mixed0", {0, AudioCoding::Mpeg}, 1, 1},
                                         AudioCase{"mixed0", {0, AudioCoding::Lpcm}, 2, 1}));

}  // namespace
}  // namespace navtab::test
