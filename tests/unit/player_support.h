// Helpers of the media pipeline tests: the sectors of a sample VOB, ffmpeg's decode of it, and
// the MD5 text of a decoded picture as ffmpeg's framemd5 writes it.
#pragma once

#include <cstring>
#include <span>
#include <sstream>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/md5.h>
}

#include "player/media_pipeline.h"
#include "test_support.h"

namespace navtab::test {

// The 2048-byte sectors of a file (a short tail is dropped).
inline std::vector<std::span<const std::uint8_t>> sectorsOf(const Bytes& file) {
    std::vector<std::span<const std::uint8_t>> out;
    for (std::size_t at = 0; at + 2048 <= file.size(); at += 2048)
        out.emplace_back(file.data() + at, 2048);
    return out;
}

// Feeds every sector of `file` to `pipeline` and drains it.
inline void feedAll(player::MediaPipeline& pipeline, const Bytes& file) {
    for (auto s : sectorsOf(file)) pipeline.feedSector(s);
    pipeline.drain();
}

// The lower-case hexadecimal MD5 of `bytes`.
inline std::string md5Hex(const std::vector<std::uint8_t>& bytes) {
    std::uint8_t sum[16];
    av_md5_sum(sum, bytes.data(), static_cast<int>(bytes.size()));
    char text[33];
    for (int i = 0; i < 16; ++i) std::snprintf(text + 2 * i, 3, "%02x", sum[i]);
    return text;
}

// ffmpeg's decode of `path`: `options` choose the stream and the output format.
inline std::string ffmpegOutput(const std::string& path, const std::string& options) {
    return runCommand("ffmpeg -hide_banner -nostdin -loglevel error -threads 1 -i '" + path + "' " +
                      options + " -")
        .out;
}

// The hash column of `ffmpeg -f framemd5` for the first video stream of `path`.
inline std::vector<std::string> ffmpegFrameMd5(const std::string& path) {
    std::istringstream lines(
        ffmpegOutput(path, "-map 0:v:0 -fps_mode passthrough -pix_fmt yuv420p -f framemd5"));
    std::vector<std::string> sums;
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line[0] != '#') sums.push_back(line.substr(line.rfind(' ') + 1));
    return sums;
}

// ffmpeg's decode of audio stream `index` of `path` as signed 16-bit samples.
inline std::vector<std::int16_t> ffmpegAudio(const std::string& path, int index) {
    const std::string out = ffmpegOutput(path, "-map 0:a:" + std::to_string(index) + " -f s16le");
    std::vector<std::int16_t> samples(out.size() / 2);
    std::memcpy(samples.data(), out.data(), samples.size() * 2);
    return samples;
}

}  // namespace navtab::test
