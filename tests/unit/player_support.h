// Helpers of the media pipeline tests: the sectors of a sample VOB, ffmpeg's decode of it, and
// the MD5 text of a decoded picture as ffmpeg's framemd5 writes it.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "player/media_pipeline.h"
#include "test_support.h"

namespace navtab::test {

// The 2048-byte sectors of a file (a short tail is dropped).
std::vector<std::span<const std::uint8_t>> sectorsOf(const Bytes& file);

// Feeds every sector of `file` to `pipeline` and drains it.
void feedAll(player::MediaPipeline& pipeline, const Bytes& file);

// The lower-case hexadecimal MD5 of `bytes`.
std::string md5Hex(const std::vector<std::uint8_t>& bytes);

// The hash column of `ffmpeg -f framemd5` for the first video stream of `path`.
std::vector<std::string> ffmpegFrameMd5(const std::string& path);

// ffmpeg's decode of audio stream `index` of `path` as signed 16-bit samples.
std::vector<std::int16_t> ffmpegAudio(const std::string& path, int index);

}  // namespace navtab::test
