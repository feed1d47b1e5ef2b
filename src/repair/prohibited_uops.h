// "Remove P-UPs": clears the prohibited-user-operations mask of every program chain of a loaded
// file, so that a player allows every user operation (skipping, menu calls, stream changes)
// during them. Only the four mask bytes of PGC records change, in the loaded buffers.
#pragma once

#include <string>

#include "core/ifo_main.h"

namespace navtab::repair {

struct UopRemoval {
    std::string report;    // one line per PGC whose mask was cleared or that had to be skipped
    bool changed = false;  // whether any byte changed
};

// Visits the first-play PGC and the menu PGCs of a video manager, or the menu and title PGCs of a
// title set. A PGC whose start byte points outside its table is skipped and reported.
UopRemoval RemoveProhibitedUops(ifo_t& ifo);

// The text the command shows for a removal: its report, or "No P-UOPs found in this IFO".
std::string uopRemovalMessage(const UopRemoval& removal);

}  // namespace navtab::repair
