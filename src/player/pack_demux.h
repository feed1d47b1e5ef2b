// Splits a 2048-byte VOB pack into the PES packets it holds and names the stream each belongs to.
// A DVD pack is an MPEG-2 program stream pack: the 14-byte pack header (plus up to 7 stuffing
// bytes), then one or more PES packets. Private stream 1 packets carry a sub-stream byte that
// says which audio or sub-picture stream they belong to, and audio sub-streams have a small
// header of their own after it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace navtab::player {

enum class StreamKind : std::uint8_t { Video, MpegAudio, Ac3, Dts, Lpcm, SubPicture, Nav, Other };

struct StreamPacket {
    StreamKind kind = StreamKind::Other;
    int number = 0;  // 0..7 for audio, 0..31 for sub-pictures, 0 for video
    // For LPCM the three header bytes (emphasis and frame number, quantisation, sampling
    // frequency and channels, dynamic range) come first, as libavcodec's DVD PCM decoder wants
    // them; for AC-3 and DTS the frame count and first access unit pointer are removed; for
    // sub-pictures the sub-stream byte is.
    std::span<const std::uint8_t> payload;
    std::optional<std::int64_t> pts;  // 90 kHz
};

struct PackContents {
    std::vector<StreamPacket> packets;
    // The system clock reference of the pack header (90 kHz part): the moment the pack is due
    // at the decoder. Everything a picture with time stamp t needs has arrived by a pack whose
    // clock is t. Nothing without a valid pack header.
    std::optional<std::int64_t> clock;
    bool damaged = false;  // not a pack, or a packet that claims more bytes than the pack has
};

// True when the 2048 bytes are a NAV pack: a pack header, the system header, and the PCI and DSI
// packets of private stream 2 where they belong.
bool isNavPack(std::span<const std::uint8_t> sector);

// The packets of one pack. Nothing is read outside `sector`; a packet cut short by the end of
// the pack is dropped and marks the pack damaged.
PackContents demuxPack(std::span<const std::uint8_t> sector);

}  // namespace navtab::player
