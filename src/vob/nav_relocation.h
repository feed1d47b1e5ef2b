// Moving the pointers of navigation packs to a new sector numbering. When a run writes a title set
// or a menu with some sectors left out, every NAV pack's own sector number and every relative
// pointer it holds (to the end of its VOBU and reference pictures, to the VOBUs around it, to the
// first audio and sub-picture packets, to interleaved units and angle destinations) must be
// recomputed. The VOBU list of the written stream knows, for each VOBU, where it stands now
// (`sector`) and where it stood in the source (`lbn`); an old pointer names a source sector, and
// the VOBU that now stands for it is found by its `lbn`.
#pragma once

#include <span>

#include "vob/vob_job.h"

namespace navtab::vob {

// Recomputes the times and pointers of every VOBU of the job's list not relocated yet, in list
// order, for the new numbering: afterwards each `special` holds the word to be written.
void RelocateNavPointers(VobJob& job);

// The same while the pass still runs, for the VOBUs whose pointers reach only what has been
// written so far and whose streams can no longer change their words; stops at the first that
// has to wait. Gives the number relocated.
std::size_t RelocateWrittenNavPointers(VobJob& job);

// Writes the record into a 2048-byte NAV-pack sector, choosing the field groups by the job's
// navigation-pack options. A buffer shorter than a sector is left as it is.
void WriteNavPack(const VobJob& job, std::span<std::uint8_t> sector, const VobuInfo& r);

}  // namespace navtab::vob
