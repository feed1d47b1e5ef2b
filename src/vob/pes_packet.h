// The PES packet that follows the pack header of a VOB sector, seen without copying: its stream
// id, its payload and its presentation time stamp. A damaged sector can claim a header or a
// packet longer than the sector; the payload is then cut at the sector's end, so nothing that
// reads it can step outside the sector.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace navtab::vob {

struct PesPacket {
    std::uint8_t streamId = 0;
    std::uint32_t length = 0;  // as the packet says: the bytes after the length field
    std::span<const std::uint8_t> payload;
    std::optional<std::uint64_t> pts;  // 33-bit, 90 kHz
};

// The 33-bit time stamp coded in five bytes: 4 marker-interleaved groups of 3, 15 and 15 bits.
std::uint64_t decodePts(const std::uint8_t* five);

// The packet at byte 14 of an MPEG-2 pack sector; nothing when the sector is too short to hold a
// PES header. Only streams with the extended MPEG-2 header (video, audio, private stream 1) have
// a meaningful payload here.
std::optional<PesPacket> pesPacketOf(std::span<const std::uint8_t> sector);

}  // namespace navtab::vob
