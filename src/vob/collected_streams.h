// What "Create IFOs" learns about the streams of VOB files that have no IFO file: the video
// attribute word, from the first sequence header, and the audio and sub-picture streams whose
// packets appear, with what their first packet tells of their coding. The new title set lists
// exactly these streams.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "vob/vobu_info.h"

namespace navtab::vob {

struct CollectedStreams {
    std::optional<std::uint16_t> video;  // the video attribute word of the first sequence header
    // Indexed by the sub-stream id of private stream 1 (0x20.. sub-pictures, 0x80.. AC-3, 0x88..
    // DTS, 0xA0.. LPCM) or by the packet stream id of MPEG audio (0xC0..0xC7): met at all, and the
    // second byte of its attribute record as its first packet gives it (quantization, sample
    // rate, channels - 1; 48 kHz stereo while nothing better is known).
    std::array<bool, 256> present{};
    std::array<std::uint8_t, 256> format{};
};

// Takes what one sector tells into `streams`. A short or damaged sector is read only as far as
// it goes.
void CollectStreams(CollectedStreams& streams, SectorBytes sector);

// The video attribute word of a sequence header (the 8 bytes from its start code on): MPEG-2; PAL
// when the frame-rate code is 3 (25 fps), else NTSC; 4:3 with display mode 3 for ratio code 2,
// 16:9 letterboxed for ratio code 3; the picture size from the horizontal size.
std::uint16_t videoAttributeWord(const std::array<std::uint8_t, 8>& sequenceHeader);

// The streams in the order a title set lists them, with their attribute records and the stream
// control words a PGC gives them.
struct StreamListing {
    std::vector<std::array<std::uint8_t, 8>> audio;
    std::vector<std::uint16_t> audioControl;
    std::vector<std::array<std::uint8_t, 6>> subp;
    std::vector<std::uint32_t> subpControl;
};

// Audio: AC-3, then MPEG, LPCM and DTS streams in the order of their ids, at most 8; each record
// says the coding and the format its first packet gave, and each control word names the stream
// number in its id. Sub-pictures: every id 0x20..0x3F met, its number in all four display
// columns (4:3, wide, letterbox, pan-scan), so that a player finds it whatever it displays.
StreamListing listStreams(const CollectedStreams& streams);

}  // namespace navtab::vob
