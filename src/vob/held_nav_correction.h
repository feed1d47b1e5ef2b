// Correcting the NAV packs of a copy while its writer still holds them. A NAV pack can be
// corrected once the copy has written everything its pointers reach (the farthest search pointer
// reaches two minutes ahead) and every stream it names has settled; corrected while still in
// memory, it goes to the file right, and the rewrite after the copy only has the few left that
// had to go before they could be corrected.
#pragma once

#include <cstddef>

#include "vob/vob_job.h"

namespace navtab::vob {

class DestinationWriter;

// Memory a copy may hold back: two minutes of video at the highest DVD rate, with room.
inline constexpr std::size_t kNavCorrectionHold = std::size_t{160} << 20;

// Before the copy: the writer holds back, and the slots the strip choice empties are known.
void PrepareHeldNavCorrection(VobJob& job, DestinationWriter& writer);

// After each sector the copy wrote: corrects the NAV packs that can be, and lets the sectors
// before the first one that has to wait go on to the file. With `passEnded` every VOBU can be.
void CorrectHeldNavPacks(VobJob& job, DestinationWriter& writer, bool passEnded);

}  // namespace navtab::vob
