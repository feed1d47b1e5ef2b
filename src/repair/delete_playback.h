// "Delete Playback": empties the playback of one menu program chain. The chain keeps its record,
// its commands and its tables, but has no programs, no cells and a playing time of zero
// afterwards, so a player runs its commands without showing any video.
#pragma once

#include "core/ifo_main.h"
#include "format/field_list.h"

namespace navtab::repair {

// True when `ref` names the first byte of a menu PGC record of the file (a PGC of VMGM_PGCI_UT
// or VTSM_PGCI_UT whose header lies inside the table), as the overview's menu lines do.
bool isMenuPgcStart(const ifo_t& ifo, ByteRef ref);

// Sets the menu PGC's program and cell counts and its playback time to 0 (the frame-rate bits
// stay). False, with nothing changed, when `ref` is no menu PGC start.
bool DeletePlayback(ifo_t& ifo, ByteRef ref);

// The message for a row that is not a menu PGC of an overview.
inline constexpr const char* kWrongItemMessage =
    "Wrong Item selected!\nPlease select a Menu with programs in VMG/VTS Overview.";

}  // namespace navtab::repair
