#include "vob/held_nav_correction.h"

#include <cstdint>

#include "core/bytes.h"
#include "vob/destination_writer.h"
#include "vob/nav_relocation.h"
#include "vob/pes_packet.h"

namespace navtab::vob {

void PrepareHeldNavCorrection(VobJob& job, DestinationWriter& writer) {
    writer.setHoldLimit(kNavCorrectionHold);
    if (job.options.menu || !job.options.stripStreams) return;
    // Stream stripping drops private stream 1 packets by their sub-stream id; MPEG audio is
    // never dropped.
    job.audioSlotMayFill.fill(false);
    for (unsigned id = 0; id < 256; ++id) {
        const auto slot = job.audioSlots.slotOf(static_cast<std::uint8_t>(id));
        if (slot && (id >= kMpegAudioFirst || job.strip.keepStreamId[id]))
            job.audioSlotMayFill[*slot] = true;
    }
    for (unsigned n = 0; n < nav::kSubpStreams; ++n)
        job.subpSlotMayFill[n] = job.strip.keepStreamId[substream::kSubpictureFirst + n];
}

void CorrectHeldNavPacks(VobJob& job, DestinationWriter& writer, bool passEnded) {
    const std::size_t first = job.relocation.relocated;
    // Once the first VOBU that waits has had to go to the file, correcting later ones in memory
    // is over for this pass: they can only be relocated after it, and trying again at every VOBU
    // would walk the whole list each time. The rewrite after the copy does the rest.
    if (!passEnded && first < job.vobus.size() && !writer.heldSector(job.vobus[first].sector)) {
        writer.releaseBefore(UINT64_MAX);
        return;
    }
    if (passEnded)
        RelocateNavPointers(job);
    else if (RelocateWrittenNavPointers(job) == 0)
        return;
    for (std::size_t k = first; k < job.relocation.relocated; ++k) {
        VobuInfo& r = job.vobus[k];
        if (std::uint8_t* sector = writer.heldSector(r.sector)) {
            WriteNavPack(job, std::span<std::uint8_t>(sector, kSectorSize), r);
            r.navWritten = true;
        }
    }
    if (job.relocation.relocated < job.vobus.size())
        writer.releaseBefore(job.vobus[job.relocation.relocated].sector);
}

}  // namespace navtab::vob
