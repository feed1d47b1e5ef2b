#include "vob/remux_pack.h"

#include <algorithm>
#include <cstring>

#include "core/bytes.h"
#include "vob/m2v_reader.h"
#include "vob/pes_packet.h"
#include "vob/picture_scan.h"
#include "vob/remux_video_pack.h"

namespace navtab::vob {
namespace {

constexpr std::uint64_t kStampMask = (std::uint64_t{1} << 33) - 1;
constexpr std::int64_t kClock = 90000;
constexpr std::uint8_t kDtsPresent = 0x40;
constexpr std::uint32_t kDtsAt = pes::kHeaderData + pes::kPtsSize;

// The frame rate that the elapsed-time flags of a NAV pack name: 25, or 30 for anything else.
std::int64_t navRate(const std::uint8_t* nav) {
    return (nav[nav::kPciEEltm + 3] & 0xC0) == 0x40 ? 25 : 30;
}

// The chunk is used up: read the next one and decide whether it belongs to this VOB unit too
// (it is then pending at once) or is carried to the next.
void nextChunk(RemuxState& m, M2vReader& r) {
    m.pending = false;
    m.framesOut += r.lastChunkFrames();
    const int g1 = r.GopTimeFrames();
    const int c = r.chunkFrames();
    if (r.ReadChunk() <= 0) return;
    const int g2 = r.GopTimeFrames();
    if (m.mode == RemuxCounting::Undecided) {
        m.mode = g2 == 0 || g2 - g1 == c ? RemuxCounting::Frames : RemuxCounting::GopTimeCodes;
        if (m.mode == RemuxCounting::GopTimeCodes) m.framesWritten = 0;
    }
    m.carry = r.chunkFrames();
    if (m.mode == RemuxCounting::GopTimeCodes) {
        m.framesWritten += g2 - g1;
        if (m.framesWritten < m.vobuFrames - 1) {
            m.carry = 0;
            m.pending = true;
        }
    } else if (m.framesWritten + m.carry <= m.vobuFrames) {
        m.framesWritten += m.carry;
        m.carry = 0;
        m.pending = true;
    }
}

// Writes the next bytes of the pending chunk into the video pack `pack`.
void fillFromChunk(RemuxState& m, std::span<std::uint8_t> pack) {
    M2vReader& r = *m.reader;
    std::optional<VideoPackStamps> stamps;
    if (r.untouched()) {
        const RemuxTimeBase base = m.base.value_or(RemuxTimeBase{});
        stamps = VideoPackStamps{(r.pts() + base.pts) & kStampMask,
                                 (r.dts() + base.dts) & kStampMask, m.firstPack};
        m.firstPack = false;
    }
    r.consume(FillVideoPack(pack, r.remaining(), stamps));
    if (r.remaining().empty()) nextChunk(m, r);
}

// The rest of the pending chunk, in video packs added here.
bool flushPending(RemuxState& m, const KeepSector& keep) {
    std::array<std::uint8_t, kSectorSize> pack{};
    while (m.pending) {
        const auto& header = m.haveHeldOther      ? m.heldOther
                             : m.haveHeldSequence ? m.heldSequence
                                                  : m.lastNavHeader;
        std::copy(header.begin(), header.end(), pack.begin());
        fillFromChunk(m, pack);
        ++m.packsAdded;
        if (!keep(pack, false)) return false;
    }
    return true;
}

bool navPack(VobJob& job, std::span<std::uint8_t> sector, const KeepSector& keep) {
    RemuxState& m = job.remux;
    M2vReader& r = *m.reader;
    if (!flushPending(m, keep)) return false;
    const std::uint8_t* s = sector.data();
    std::copy_n(s, kPackHeaderSize, m.lastNavHeader.begin());
    const std::uint16_t vobId = be16(s + nav::kVobId);
    if (m.vobId != vobId) {
        // A new VOB starts its own time line: its chunks are timed from its first source video
        // time stamps.
        m.vobId = vobId;
        m.base.reset();
        r.restartTime();
        r.setTotalFrames(r.lastChunkFrames());
        m.firstPack = true;
    }
    m.vobuStampsTaken = false;
    const std::int64_t ticks =
        std::int64_t{be32(s + nav::kVobuEPtm)} - std::int64_t{be32(s + nav::kVobuSPtm)};
    m.vobuFrames = static_cast<int>(ticks * navRate(s) / kClock);
    m.framesWritten = 0;
    if (m.carry == 0) {
        if (r.ReadChunk() > 0) {
            if (m.mode != RemuxCounting::GopTimeCodes) m.framesWritten = r.chunkFrames();
            m.pending = true;
        }
    } else {
        // The chunk carried over from the last VOB unit opens this one.
        if (m.mode == RemuxCounting::Frames) m.framesWritten = m.carry;
        m.carry = 0;
        m.pending = true;
    }
    return keep(sector, true);
}

// The first time stamps of the VOB unit, from a source pack that opens a sequence; the first
// ones of a VOB become its time base. A packet without a DTS decodes when it presents.
void takeStamps(RemuxState& m, const std::uint8_t* s) {
    const std::uint8_t flags = s[pes::kFlags2];
    const std::uint8_t headerData = s[pes::kHeaderDataLength];
    if (!(flags & pes::kPtsPresent) || headerData < pes::kPtsSize) return;
    const std::uint64_t pts = decodePts(s + pes::kHeaderData);
    const bool dts = (flags & kDtsPresent) && headerData >= 2 * pes::kPtsSize;
    m.vobuStampsTaken = true;
    if (!m.base) m.base = RemuxTimeBase{pts, dts ? decodePts(s + kDtsAt) : pts};
}

bool videoPack(VobJob& job, std::span<std::uint8_t> sector, const KeepSector& keep) {
    RemuxState& m = job.remux;
    if (!m.pending) {
        ++m.packsDropped;
        return true;
    }
    const auto packet = pesPacketOf(sector);
    const bool opensSequence = packet && beginsWithSequenceHeader(packet->payload);
    auto& held = opensSequence ? m.heldSequence : m.heldOther;
    std::copy_n(sector.begin(), kPackHeaderSize, held.begin());
    (opensSequence ? m.haveHeldSequence : m.haveHeldOther) = true;
    if (opensSequence && !m.vobuStampsTaken) takeStamps(m, sector.data());
    fillFromChunk(m, sector);
    return keep(sector, true);
}

}  // namespace

bool RemuxPack(VobJob& job, std::span<std::uint8_t> sector, const KeepSector& keep) {
    if (job.remux.reader == nullptr || sector.size() != kSectorSize) return keep(sector, true);
    switch (sector[kStreamIdByte]) {
        case kSystemHeaderCode:
            return navPack(job, sector, keep);
        case kVideoStream:
            return videoPack(job, sector, keep);
        default:
            return keep(sector, true);
    }
}

bool FinishRemux(VobJob& job, const KeepSector& keep) {
    // The chunks that the last VOB unit took; those beyond have no unit to go into.
    return job.remux.reader == nullptr || flushPending(job.remux, keep);
}

}  // namespace navtab::vob
