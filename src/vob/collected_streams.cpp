#include "vob/collected_streams.h"

#include <algorithm>

#include "vob/nav_pack_layout.h"
#include "vob/pes_packet.h"
#include "vob/picture_scan.h"

namespace navtab::vob {
namespace {

constexpr std::uint8_t kFirstSubp = 0x20, kLastSubp = 0x3F;
constexpr std::uint8_t kFirstAudio = 0x80, kLastAudio = 0xC7;
constexpr std::uint8_t kFirstMpegAudio = 0xC0;
constexpr std::size_t kAudioStreams = 8;
// The second attribute byte of a stream whose packets say nothing more: 16 bits, 48 kHz, stereo.
constexpr std::uint8_t kStereo48k = 0x01;
// A private stream 1 payload: sub-stream id, frame count, first access unit pointer (2 bytes).
constexpr std::size_t kPrivateHeader = 4;

// Coding modes of the first attribute byte (its top three bits).
enum Coding : std::uint8_t { kAc3 = 0x00, kMpeg1 = 0x40, kLpcm = 0x80, kDts = 0xC0 };

Coding codingOf(std::uint8_t id) {
    if (id >= kFirstMpegAudio) return kMpeg1;
    if (id >= 0xA0) return kLpcm;
    if (id >= 0x88) return kDts;
    return kAc3;
}

std::uint8_t withChannels(unsigned channels) {
    return static_cast<std::uint8_t>(channels == 0 ? kStereo48k : (channels - 1) & 7);
}

// AC-3: the audio coding mode of the first sync frame's bit stream information, and the LFE bit
// behind the mix levels that mode carries.
std::uint8_t ac3Format(std::span<const std::uint8_t> data) {
    static constexpr unsigned kChannels[8] = {2, 1, 2, 3, 3, 4, 4, 5};
    for (std::size_t i = 0; i + 8 <= data.size(); ++i) {
        if (data[i] != 0x0B || data[i + 1] != 0x77) continue;
        const unsigned bits = (unsigned{data[i + 6]} << 8) | data[i + 7];
        const unsigned acmod = bits >> 13;
        unsigned at = 3;
        if ((acmod & 1) != 0 && acmod != 1) at += 2;  // centre mix level
        if ((acmod & 4) != 0) at += 2;                // surround mix level
        if (acmod == 2) at += 2;                      // Dolby surround mode
        const unsigned lfe = (bits >> (15 - at)) & 1;
        return withChannels(kChannels[acmod] + lfe);
    }
    return kStereo48k;
}

// LPCM: the header behind the first access unit pointer holds quantization, sample rate and
// channels - 1 in one byte, the layout of the attribute byte.
std::uint8_t lpcmFormat(std::span<const std::uint8_t> data) {
    return data.size() > 1 ? static_cast<std::uint8_t>(data[1] & 0xF7) : kStereo48k;
}

// MPEG audio: the mode bits of the first frame header; 3 is a single channel.
std::uint8_t mpegFormat(std::span<const std::uint8_t> data) {
    for (std::size_t i = 0; i + 4 <= data.size(); ++i)
        if (data[i] == 0xFF && (data[i + 1] & 0xE0) == 0xE0 && (data[i + 1] & 0x06) != 0)
            return withChannels((data[i + 3] >> 6) == 3 ? 1 : 2);
    return kStereo48k;
}

void noteAudio(CollectedStreams& streams, std::uint8_t id, std::span<const std::uint8_t> data) {
    streams.present[id] = true;
    switch (codingOf(id)) {
        case kAc3:
            streams.format[id] = ac3Format(data);
            break;
        case kLpcm:
            streams.format[id] = lpcmFormat(data);
            break;
        case kMpeg1:
            streams.format[id] = mpegFormat(data);
            break;
        case kDts:
            streams.format[id] = kStereo48k;
            break;
    }
}

}  // namespace

std::uint16_t videoAttributeWord(const std::array<std::uint8_t, 8>& h) {
    const unsigned width = (unsigned{h[4]} << 4) | (h[5] >> 4);
    const unsigned ratio = h[7] >> 4, rate = h[7] & 0x0F;
    std::uint8_t first = 0x40;  // MPEG-2
    if (rate == 3) first |= 0x10;
    if (ratio == 2) first |= 0x03;
    if (ratio == 3) first |= 0x0E;
    std::uint8_t second = 0;
    if (width == 704) second = 0x04;
    if (width == 352) second = 0x08;
    return static_cast<std::uint16_t>((first << 8) | second);
}

void CollectStreams(CollectedStreams& streams, SectorBytes sector) {
    if (sector.size() <= kStreamIdByte) return;
    const std::uint8_t id = sector[kStreamIdByte];
    if (id != kVideoStream && id != kPrivateStream1 && (id < kFirstMpegAudio || id > kLastAudio))
        return;
    const auto packet = pesPacketOf(sector);
    if (!packet || packet->payload.empty()) return;
    const auto payload = packet->payload;
    if (id == kVideoStream) {
        if (streams.video || !beginsWithSequenceHeader(payload) || payload.size() < 8) return;
        std::array<std::uint8_t, 8> header{};
        std::copy_n(payload.begin(), header.size(), header.begin());
        streams.video = videoAttributeWord(header);
        return;
    }
    if (id != kPrivateStream1) {
        if (!streams.present[id]) noteAudio(streams, id, payload);
        return;
    }
    const std::uint8_t sub = payload[0];
    if (streams.present[sub]) return;
    if (sub >= kFirstSubp && sub <= kLastSubp) {
        streams.present[sub] = true;
        return;
    }
    // AC-3 0x80..0x87, DTS 0x88..0x8F, LPCM 0xA0..0xA7; the ids between carry no DVD audio.
    if ((sub >= kFirstAudio && sub <= 0x8F) || (sub >= 0xA0 && sub <= 0xA7))
        noteAudio(streams, sub, payload.subspan(std::min(payload.size(), kPrivateHeader)));
}

StreamListing listStreams(const CollectedStreams& streams) {
    StreamListing out;
    for (unsigned id = kFirstAudio; id <= kLastAudio && out.audio.size() < kAudioStreams; ++id) {
        if (!streams.present[id]) continue;
        out.audio.push_back({codingOf(static_cast<std::uint8_t>(id)), streams.format[id]});
        out.audioControl.push_back(static_cast<std::uint16_t>(0x8000 | ((id & 7) << 8)));
    }
    for (unsigned id = kFirstSubp; id <= kLastSubp; ++id) {
        if (!streams.present[id]) continue;
        const std::uint32_t n = id - kFirstSubp;
        out.subp.push_back({});
        out.subpControl.push_back(0x80000000u | n << 24 | n << 16 | n << 8 | n);
    }
    return out;
}

}  // namespace navtab::vob
