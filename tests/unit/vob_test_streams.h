// Hand-made VOB sectors for the VOB reader tests: NAV packs with chosen fields, video packets
// carrying chosen MPEG-2 start codes, audio and sub-picture packets, padding, and whole streams
// written to files.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "unit/test_support.h"
#include "vob/nav_pack_layout.h"

namespace navtab::test {

using Sector = std::vector<std::uint8_t>;  // 2048 bytes unless a test cuts it

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The 14-byte MPEG-2 pack header every sector starts with.
inline Bytes packHeader() {
    return {0x00, 0x00, 0x01, 0xBA, 0x44, 0x00, 0x04, 0x00, 0x04, 0x01, 0x01, 0x89, 0xC3, 0xF8};
}

// Pads a packed sector to 2048 bytes with one padding packet (or zero bytes when less than a
// padding header fits).
inline Sector filledWithPadding(Sector s) {
    if (const std::size_t left = kSectorSize - s.size(); left >= 6) {
        s = concat({s,
                    {0, 0, 1, vob::kPaddingStream, std::uint8_t((left - 6) >> 8),
                     std::uint8_t(left - 6)}});
        s.resize(kSectorSize, 0xFF);
    }
    s.resize(kSectorSize, 0x00);
    return s;
}

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

inline Sector navPack(const NavFields& f) {
    namespace nav = vob::nav;
    Sector s = packHeader();
    s.resize(kSectorSize, 0);
    for (const auto& [at, head] : {std::pair{nav::kSystemHeader, Bytes{0, 0, 1, 0xBB, 0x00, 0x12}},
                                   {nav::kPciPacket, Bytes{0, 0, 1, 0xBF, 0x03, 0xD4, 0x00}},
                                   {nav::kDsiPacket, Bytes{0, 0, 1, 0xBF, 0x03, 0xFA, 0x01}}})
        std::copy(head.begin(), head.end(), s.begin() + at);
    for (const auto& [at, value] : {std::pair{nav::kPciLbn, f.lbn},
                                    {nav::kVobuSPtm, f.sPtm},
                                    {nav::kVobuEPtm, f.ePtm},
                                    {nav::kPciEEltm, f.eltm},
                                    {nav::kDsiLbn, f.lbn},
                                    {nav::kVobuEa, f.vobuEa}})
        put32(&s[at], value);
    put16(&s[nav::kVobId], f.vobId);
    s[nav::kCellId] = f.cellId;
    for (unsigned n = 0; n < 8; ++n) put16(&s[nav::kAudioSync + 2 * n], f.audioSync[n]);
    for (unsigned i = 0; i < 42; ++i) put32(&s[nav::kNextVideo + 4 * i], nav::kSearchNone);
    return s;
}

// A pack with one PES packet of `streamId` holding `payload` (and the PTS when given), the rest
// of the sector filled by a padding packet.
inline Sector pesSector(std::uint8_t streamId, const Bytes& payload,
                        std::optional<std::uint64_t> pts = {}) {
    Bytes header;
    if (pts) {
        const auto b = [&](int shift) { return static_cast<std::uint8_t>(*pts >> shift); };
        header = {std::uint8_t(0x21 | (b(29) & 0x0E)), b(22), std::uint8_t(b(14) | 1), b(7),
                  std::uint8_t(b(0) << 1 | 1)};
    }
    const auto length = static_cast<std::uint16_t>(3 + header.size() + payload.size());
    return filledWithPadding(
        concat({packHeader(),
                {0, 0, 1, streamId, std::uint8_t(length >> 8), std::uint8_t(length), 0x81,
                 std::uint8_t(pts ? 0x80 : 0x00), std::uint8_t(header.size())},
                header,
                payload}));
}

inline Sector videoSector(const Bytes& payload, std::optional<std::uint64_t> pts = {}) {
    return pesSector(vob::kVideoStream, payload, pts);
}

// A video sector whose packet fills the whole sector (no padding behind it): `head`, then picture
// data, then `tail` as the last payload bytes.
inline Sector fullVideoSector(const Bytes& head, const Bytes& tail = {}) {
    Bytes payload = head;
    payload.resize(kSectorSize - vob::pes::kHeaderData - tail.size(), 0x5A);
    return pesSector(vob::kVideoStream, concat({payload, tail}));
}

// A private stream 1 packet of sub-stream `substream` with `size` payload bytes after it.
inline Sector privateSector(std::uint8_t substream, std::optional<std::uint64_t> pts,
                            std::size_t size = 200) {
    Bytes payload(size + 1, 0x55);
    payload[0] = substream;
    return pesSector(vob::kPrivateStream1, payload, pts);
}

// A pack holding only padding.
inline Sector paddingSector() {
    return filledWithPadding(packHeader());
}

// MPEG-2 video pieces.
inline Bytes pictureHeader(unsigned codingType) {
    return {0x00, 0x00, 0x01, 0x00, 0x00, std::uint8_t((codingType & 7) << 3), 0xFF, 0xF8};
}

inline Bytes pictureCodingExtension(unsigned structure, bool topFieldFirst, bool repeatFirstField) {
    const auto flags = std::uint8_t((topFieldFirst ? 0x80 : 0) | (repeatFirstField ? 0x02 : 0) | 1);
    return {0x00, 0x00, 0x01, 0xB5, 0x8F, 0xFF, std::uint8_t(0xF0 | (structure & 3)), flags, 0x80};
}

inline Bytes sequenceHeader() {
    return {0x00, 0x00, 0x01, 0xB3, 0x16, 0x00, 0xF0, 0x24, 0x0F, 0xFF, 0xE0, 0x18};
}

inline Bytes sequenceExtension(bool progressive) {
    return {0x00, 0x00, 0x01, 0xB5, 0x14, std::uint8_t(0x82 | (progressive ? 0x08 : 0)),
            0x00, 0x01, 0x00, 0x00};
}

// `n` bytes of picture data without any 00 00 01 in them.
inline Bytes sliceData(std::size_t n) {
    return Bytes(n, 0x5A);
}

inline void writeSectors(const std::string& path, const std::vector<Sector>& sectors) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const Sector& s : sectors)
        out.write(reinterpret_cast<const char*>(s.data()), static_cast<std::streamsize>(s.size()));
}

}  // namespace navtab::test
