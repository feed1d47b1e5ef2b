// The sector decision of a stripping run: which sectors of a source VOB reach the destination.
// Stream stripping drops the private stream 1 packets of the sub-streams not kept; VOB id
// stripping drops whole VOBUs, from a NAV pack up to the next, of the VOB ids not kept, and
// renumbers the VOB id in the NAV packs of those kept.
#pragma once

#include <cstdint>
#include <span>

#include "vob/vob_job.h"

namespace navtab::vob {

enum class SectorFate { Write, Drop };

// What the choices of `job` make of one 2048-byte source sector; a kept NAV pack may get its new
// VOB id. `stripStreams` and `stripVobIds` say which stripping is on.
SectorFate StripSector(VobJob& job, std::span<std::uint8_t> sector, bool stripStreams,
                       bool stripVobIds);

}  // namespace navtab::vob
