#include "player_support.h"

#include <cstring>
#include <sstream>

extern "C" {
#include <libavutil/md5.h>
}

namespace navtab::test {

std::vector<std::span<const std::uint8_t>> sectorsOf(const Bytes& file) {
    std::vector<std::span<const std::uint8_t>> out;
    for (std::size_t at = 0; at + 2048 <= file.size(); at += 2048)
        out.emplace_back(file.data() + at, 2048);
    return out;
}

void feedAll(player::MediaPipeline& pipeline, const Bytes& file) {
    for (auto s : sectorsOf(file)) pipeline.feedSector(s);
    pipeline.drain();
}

std::string md5Hex(const std::vector<std::uint8_t>& bytes) {
    std::uint8_t sum[16];
    av_md5_sum(sum, bytes.data(), static_cast<int>(bytes.size()));
    char text[33];
    for (int i = 0; i < 16; ++i) std::snprintf(text + 2 * i, 3, "%02x", sum[i]);
    return text;
}

std::vector<std::string> ffmpegFrameMd5(const std::string& path) {
    const auto r =
        runCommand("ffmpeg -hide_banner -nostdin -loglevel error -threads 1 -i '" + path +
                   "' -map 0:v:0 -fps_mode passthrough -pix_fmt yuv420p -f framemd5 -");
    std::vector<std::string> sums;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line[0] != '#') sums.push_back(line.substr(line.rfind(' ') + 1));
    return sums;
}

std::vector<std::int16_t> ffmpegAudio(const std::string& path, int index) {
    const auto r = runCommand("ffmpeg -hide_banner -nostdin -loglevel error -threads 1 -i '" +
                              path + "' -map 0:a:" + std::to_string(index) + " -f s16le -");
    std::vector<std::int16_t> samples(r.out.size() / 2);
    std::memcpy(samples.data(), r.out.data(), samples.size() * 2);
    return samples;
}

}  // namespace navtab::test
