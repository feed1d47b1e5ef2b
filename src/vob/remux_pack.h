// The re-mux of a new MPEG-2 video elementary stream into the packs of a VOB copy. For every
// source sector in order: a NAV pack starts a VOB unit and decides, from the frames that the
// source's unit shows, which chunks of the new stream it takes; every video pack of the source is
// refilled with chunk bytes (with new PES headers and time stamps), or dropped when the unit's
// chunks are written; what a unit's chunks need beyond its video packs goes into video packs
// added before the next NAV pack. Navigation, audio and sub-picture packs pass unchanged.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "vob/vob_job.h"

namespace navtab::vob {

// Takes one sector the re-mux keeps: `fromSource` is false for a video pack the re-mux added.
// False ends the pass (the write failed).
using KeepSector = std::function<bool(std::span<std::uint8_t> sector, bool fromSource)>;

// One source sector, with job.remux.reader open. False when `keep` failed.
bool RemuxPack(VobJob& job, std::span<std::uint8_t> sector, const KeepSector& keep);

// After the last source sector: the chunk the last VOB unit took is written to its end in added
// video packs, so that the copy never ends inside a picture.
bool FinishRemux(VobJob& job, const KeepSector& keep);

}  // namespace navtab::vob
