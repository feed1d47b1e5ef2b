#include "unit/vob_test_streams.h"

#include <algorithm>
#include <fstream>

#include "core/bytes.h"
#include "vob/nav_pack_layout.h"

namespace navtab::test {

using namespace navtab::vob;

Bytes packHeader() {
    return {0x00, 0x00, 0x01, 0xBA, 0x44, 0x00, 0x04, 0x00, 0x04, 0x01, 0x01, 0x89, 0xC3, 0xF8};
}

namespace {

// Pads a packed sector to 2048 bytes with one padding packet (or zero bytes when less than a
// padding header fits).
void fillWithPadding(Sector& s) {
    const std::size_t left = kSectorSize - s.size();
    if (left >= 6) {
        const auto len = static_cast<std::uint16_t>(left - 6);
        s.insert(s.end(), {0x00, 0x00, 0x01, kPaddingStream, static_cast<std::uint8_t>(len >> 8),
                           static_cast<std::uint8_t>(len)});
        s.resize(kSectorSize, 0xFF);
    }
    s.resize(kSectorSize, 0x00);
}

Bytes ptsBytes(std::uint64_t pts) {
    const auto b = [pts](int shift) { return static_cast<std::uint8_t>(pts >> shift); };
    return {std::uint8_t(0x21 | (b(29) & 0x0E)), b(22), std::uint8_t(b(14) | 1), b(7),
            std::uint8_t(b(0) << 1 | 1)};
}

}  // namespace

Sector navPack(const NavFields& f) {
    Sector s = packHeader();
    s.resize(kSectorSize, 0);
    for (const auto& [at, head] : {std::pair{nav::kSystemHeader, Bytes{0, 0, 1, 0xBB, 0x00, 0x12}},
                                   {nav::kPciPacket, Bytes{0, 0, 1, 0xBF, 0x03, 0xD4, 0x00}},
                                   {nav::kDsiPacket, Bytes{0, 0, 1, 0xBF, 0x03, 0xFA, 0x01}}})
        std::copy(head.begin(), head.end(), s.begin() + at);
    put32(&s[nav::kPciLbn], f.lbn);
    put32(&s[nav::kVobuSPtm], f.sPtm);
    put32(&s[nav::kVobuEPtm], f.ePtm);
    put32(&s[nav::kPciEEltm], f.eltm);
    put32(&s[nav::kDsiLbn], f.lbn);
    put32(&s[nav::kVobuEa], f.vobuEa);
    put16(&s[nav::kVobId], f.vobId);
    s[nav::kCellId] = f.cellId;
    for (unsigned n = 0; n < 8; ++n) put16(&s[nav::kAudioSync + 2 * n], f.audioSync[n]);
    for (unsigned i = 0; i < 42; ++i) put32(&s[nav::kNextVideo + 4 * i], nav::kSearchNone);
    return s;
}

Sector pesSector(std::uint8_t streamId, const Bytes& payload, std::optional<std::uint64_t> pts) {
    Sector s = packHeader();
    const Bytes header = pts ? ptsBytes(*pts) : Bytes{};
    const auto length = static_cast<std::uint16_t>(3 + header.size() + payload.size());
    s.insert(s.end(),
             {0x00, 0x00, 0x01, streamId, static_cast<std::uint8_t>(length >> 8),
              static_cast<std::uint8_t>(length), 0x81, static_cast<std::uint8_t>(pts ? 0x80 : 0x00),
              static_cast<std::uint8_t>(header.size())});
    s.insert(s.end(), header.begin(), header.end());
    s.insert(s.end(), payload.begin(), payload.end());
    fillWithPadding(s);
    return s;
}

Sector videoSector(const Bytes& payload, std::optional<std::uint64_t> pts) {
    return pesSector(kVideoStream, payload, pts);
}

Sector fullVideoSector(const Bytes& head, const Bytes& tail) {
    constexpr std::size_t kPayload = kSectorSize - pes::kHeaderData;
    Bytes payload = head;
    payload.resize(kPayload - tail.size(), 0x5A);
    payload.insert(payload.end(), tail.begin(), tail.end());
    return pesSector(kVideoStream, payload);
}

Sector privateSector(std::uint8_t substream, std::optional<std::uint64_t> pts, std::size_t size) {
    Bytes payload(size + 1, 0x55);
    payload[0] = substream;
    return pesSector(kPrivateStream1, payload, pts);
}

Sector paddingSector() {
    Sector s = packHeader();
    fillWithPadding(s);
    return s;
}

Bytes pictureHeader(unsigned codingType) {
    return {0x00, 0x00, 0x01, 0x00, 0x00, static_cast<std::uint8_t>((codingType & 7) << 3),
            0xFF, 0xF8};
}

Bytes pictureCodingExtension(unsigned structure, bool topFieldFirst, bool repeatFirstField) {
    const auto flags = std::uint8_t((topFieldFirst ? 0x80 : 0) | (repeatFirstField ? 0x02 : 0) | 1);
    return {0x00, 0x00, 0x01, 0xB5, 0x8F, 0xFF, std::uint8_t(0xF0 | (structure & 3)), flags, 0x80};
}

Bytes sequenceHeader() {
    return {0x00, 0x00, 0x01, 0xB3, 0x16, 0x00, 0xF0, 0x24, 0x0F, 0xFF, 0xE0, 0x18};
}

Bytes sequenceExtension(bool progressive) {
    const auto flags = std::uint8_t(0x82 | (progressive ? 0x08 : 0));
    return {0x00, 0x00, 0x01, 0xB5, 0x14, flags, 0x00, 0x01, 0x00, 0x00};
}

Bytes sliceData(std::size_t n) {
    return Bytes(n, 0x5A);
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

void writeSectors(const std::string& path, const std::vector<Sector>& sectors) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const Sector& s : sectors)
        out.write(reinterpret_cast<const char*>(s.data()), static_cast<std::streamsize>(s.size()));
}

}  // namespace navtab::test
