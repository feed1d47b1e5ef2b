// Big-endian number access and sector arithmetic shared by every IFO and VOB reader.
#pragma once

#include <cstddef>
#include <cstdint>

namespace navtab {

// DVD logical block: every IFO table and every VOB pack is laid out in units of this size.
inline constexpr std::size_t kSectorSize = 2048;

inline std::uint16_t be16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline std::uint32_t be32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

inline void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}

inline void put32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

// Rounds a byte count up to whole sectors; a multiple of the sector size stays as it is.
inline constexpr std::uint64_t roundToSector(std::uint64_t bytes) {
    return (bytes + kSectorSize - 1) / kSectorSize * kSectorSize;
}

}  // namespace navtab
