// Hand-made VOB sectors for the VOB reader tests: NAV packs with chosen fields, video packets
// carrying chosen MPEG-2 start codes, audio and sub-picture packets, padding, and whole streams
// written to files.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "unit/test_support.h"

namespace navtab::test {

using Sector = std::vector<std::uint8_t>;  // 2048 bytes unless a test cuts it

// The 14-byte MPEG-2 pack header every sector starts with.
Bytes packHeader();

struct NavFields {
    std::uint32_t lbn = 0;
    std::uint16_t vobId = 1;
    std::uint8_t cellId = 1;
    std::uint32_t sPtm = 90000;
    std::uint32_t ePtm = 90000 + 45045;
    std::uint32_t eltm = 0x000000C0;
    std::uint32_t vobuEa = 0;
    std::array<std::uint16_t, 8> audioSync{};  // 0: no such stream
};
Sector navPack(const NavFields& f);

// A pack with one PES packet of `streamId` holding `payload` (and the PTS when given), the rest
// of the sector filled by a padding packet.
Sector pesSector(std::uint8_t streamId, const Bytes& payload,
                 std::optional<std::uint64_t> pts = {});
Sector videoSector(const Bytes& payload, std::optional<std::uint64_t> pts = {});
// A video sector whose packet fills the whole sector (no padding behind it): `head`, then picture
// data, then `tail` as the last payload bytes.
Sector fullVideoSector(const Bytes& head, const Bytes& tail = {});
// A private stream 1 packet of sub-stream `substream` with `size` payload bytes after it.
Sector privateSector(std::uint8_t substream, std::optional<std::uint64_t> pts,
                     std::size_t size = 200);
// A pack holding only padding.
Sector paddingSector();

// MPEG-2 video pieces.
Bytes pictureHeader(unsigned codingType);
Bytes pictureCodingExtension(unsigned structure, bool topFieldFirst, bool repeatFirstField);
Bytes sequenceHeader();
Bytes sequenceExtension(bool progressive);
// `n` bytes of picture data without any 00 00 01 in them.
Bytes sliceData(std::size_t n);
Bytes concat(std::initializer_list<Bytes> parts);

void writeSectors(const std::string& path, const std::vector<Sector>& sectors);

}  // namespace navtab::test
