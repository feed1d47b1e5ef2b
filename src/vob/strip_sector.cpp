#include "vob/strip_sector.h"

#include "core/bytes.h"
#include "vob/pes_packet.h"

namespace navtab::vob {

SectorFate StripSector(VobJob& job, std::span<std::uint8_t> sector, bool stripStreams,
                       bool stripVobIds) {
    if (sector.size() < kSectorSize) return SectorFate::Drop;
    const std::uint8_t streamId = sector[kStreamIdByte];
    // MPEG audio (0xC0..) has packet stream ids of its own and is never dropped here.
    if (stripStreams && streamId == kPrivateStream1) {
        const auto packet = pesPacketOf(sector);
        if (packet && !packet->payload.empty() && !job.strip.keepStreamId[packet->payload[0]])
            return SectorFate::Drop;
    }
    if (!stripVobIds) return SectorFate::Write;
    if (streamId == kSystemHeaderCode) {
        const std::uint16_t vobId = be16(&sector[nav::kVobId]);
        job.droppingVobu = !job.strip.vobIdKept(vobId);
        if (job.droppingVobu) return SectorFate::Drop;
        if (const std::uint16_t renumbered = job.strip.renumbered(vobId))
            put16(&sector[nav::kVobId], renumbered);
        return SectorFate::Write;
    }
    return job.droppingVobu ? SectorFate::Drop : SectorFate::Write;
}

}  // namespace navtab::vob
