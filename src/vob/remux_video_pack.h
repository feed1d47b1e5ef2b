// Writes chunk bytes of a new video elementary stream into a 2048-byte video pack of a VOB: a new
// PES header (with the chunk's time stamps when the pack begins a chunk, and the P-STD buffer
// size when it begins a VOB), as many bytes as fit, and, when fewer are left, PES stuffing or a
// padding packet, so that the pack stays exactly one sector whatever is left of the chunk.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace navtab::vob {

// The PES packet length of a video packet that fills the sector: 2048 less the pack header and
// the six bytes of start code and length.
inline constexpr std::uint32_t kFullVideoPesLength = 0x07EC;

// The five bytes of an MPEG-2 PES time stamp: `prefix` (0011 for a PTS followed by a DTS, 0001
// for that DTS) in the top four bits, the 33 bits of `ticks` in three marker-separated groups.
void encodeTimeStamp(std::uint8_t* five, std::uint8_t prefix, std::uint64_t ticks);

struct VideoPackStamps {
    std::uint64_t pts = 0;
    std::uint64_t dts = 0;
    bool pstdBuffer = false;  // the first pack of a VOB: P-STD buffer scale 1, size 232 KB
};

// Rewrites the PES packet of the video pack `sector` (2048 bytes; its pack header is kept) to
// carry the first bytes of `chunk`, with `stamps` when given. Returns how many chunk bytes it
// took.
std::size_t FillVideoPack(std::span<std::uint8_t> sector, std::span<const std::uint8_t> chunk,
                          const std::optional<VideoPackStamps>& stamps);

}  // namespace navtab::vob
