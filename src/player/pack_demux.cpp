#include "player/pack_demux.h"

#include "core/bytes.h"
#include "vob/nav_pack_layout.h"
#include "vob/pes_packet.h"

namespace navtab::player {
namespace {

namespace sub = vob::substream;

// Private stream 1 audio: after the sub-stream byte a frame count and a 16-bit pointer to the
// first access unit; LPCM has three bytes more that its decoder reads.
constexpr std::size_t kAudioSubHeader = 4;
constexpr std::size_t kLpcmSkip = 4;

void addPrivate1(std::span<const std::uint8_t> data, std::optional<std::int64_t> pts,
                 PackContents& out) {
    if (data.empty()) return;
    const std::uint8_t id = data[0];
    StreamPacket p;
    p.pts = pts;
    std::size_t skip = 1;
    if (id >= sub::kSubpictureFirst && id <= sub::kSubpictureLast) {
        p.kind = StreamKind::SubPicture;
        p.number = id - sub::kSubpictureFirst;
    } else if (id >= sub::kAc3First && id <= sub::kAc3Last) {
        p.kind = StreamKind::Ac3;
        p.number = id - sub::kAc3First;
        skip = kAudioSubHeader;
    } else if (id >= sub::kDtsFirst && id <= sub::kDtsLast) {
        p.kind = StreamKind::Dts;
        p.number = id - sub::kDtsFirst;
        skip = kAudioSubHeader;
    } else if (id >= sub::kLpcmFirst && id <= sub::kLpcmLast) {
        p.kind = StreamKind::Lpcm;
        p.number = id - sub::kLpcmFirst;
        skip = kLpcmSkip;
    } else {
        return;
    }
    if (data.size() < skip) {
        out.damaged = true;
        return;
    }
    p.payload = data.subspan(skip);
    out.packets.push_back(p);
}

// One PES packet whose start code begins at `at`; returns where the next one begins, or the
// sector's size when it ends the pack.
std::size_t readPacket(std::span<const std::uint8_t> s, std::size_t at, PackContents& out) {
    const std::uint8_t* p = s.data() + at;
    const std::uint8_t id = p[3];
    const std::size_t end = at + 6 + be16(p + 4);
    if (end > s.size()) {
        out.damaged = true;
        return s.size();
    }
    const bool mpeg2Header = id == vob::kPrivateStream1 ||
                             (id >= vob::kMpegAudioFirst && id <= vob::kMpegAudioLast) ||
                             (id >= vob::kVideoFirst && id <= vob::kVideoLast);
    if (id == vob::kPrivateStream2) {
        if (at + 6 < end && p[6] == vob::nav::kPciSubstreamId)
            out.packets.push_back({StreamKind::Nav, 0, s.subspan(at + 7, end - at - 7), {}});
        return end;
    }
    if (!mpeg2Header) return end;  // padding, the system header and streams a DVD does not use
    if (at + 9 > end || (p[6] & 0xC0) != 0x80) {
        out.damaged = true;
        return end;
    }
    const std::size_t data = at + 9 + p[8];
    if (data > end) {
        out.damaged = true;
        return end;
    }
    std::optional<std::int64_t> pts;
    if ((p[7] & vob::pes::kPtsPresent) && p[8] >= vob::pes::kPtsSize)
        pts = static_cast<std::int64_t>(vob::decodePts(p + 9));
    const auto payload = s.subspan(data, end - data);
    if (id == vob::kPrivateStream1) {
        addPrivate1(payload, pts, out);
    } else if (id >= vob::kVideoFirst && id <= vob::kVideoLast) {
        out.packets.push_back({StreamKind::Video, id - vob::kVideoFirst, payload, pts});
    } else {
        out.packets.push_back({StreamKind::MpegAudio, id - vob::kMpegAudioFirst, payload, pts});
    }
    return end;
}

}  // namespace

bool isNavPack(std::span<const std::uint8_t> s) {
    namespace nav = vob::nav;
    return s.size() >= 2048 && be32(s.data()) == 0x000001BAu &&
           s[vob::kStreamIdByte] == vob::kSystemHeaderCode &&
           s[nav::kPciPacket + 3] == vob::kPrivateStream2 &&
           s[nav::kPciSubstream] == nav::kPciSubstreamId &&
           s[nav::kDsiPacket + 3] == vob::kPrivateStream2 &&
           s[nav::kDsiSubstream] == nav::kDsiSubstreamId;
}

PackContents demuxPack(std::span<const std::uint8_t> s) {
    PackContents out;
    // An MPEG-2 pack header: 00 00 01 BA, then '01' in the top bits of byte 4; its last three
    // bits of byte 13 count the stuffing bytes.
    if (s.size() < vob::kPackHeaderSize || be32(s.data()) != 0x000001BAu || (s[4] & 0xC0) != 0x40) {
        out.damaged = true;
        return out;
    }
    // The 33 bits of the clock reference, in groups of 3, 2, 8, 5, 2, 8 and 5 bits between markers.
    out.clock = static_cast<std::int64_t>(
        std::uint64_t{s[4] & 0x38u} << 27 | std::uint64_t{s[4] & 0x03u} << 28 |
        std::uint64_t{s[5]} << 20 | std::uint64_t{s[6] & 0xF8u} << 12 |
        std::uint64_t{s[6] & 0x03u} << 13 | std::uint64_t{s[7]} << 5 | std::uint64_t{s[8]} >> 3);
    std::size_t at = vob::kPackHeaderSize + (s[13] & 7u);
    while (at + 6 <= s.size()) {
        if (s[at] != 0 || s[at + 1] != 0 || s[at + 2] != 1) {
            // Zero bytes may fill the rest of a pack; anything else is damage.
            for (std::size_t i = at; i < s.size(); ++i)
                if (s[i] != 0 && s[i] != 0xFF) out.damaged = true;
            break;
        }
        if (s[at + 3] == vob::kProgramEndCode) break;
        at = readPacket(s, at, out);
    }
    return out;
}

}  // namespace navtab::player
