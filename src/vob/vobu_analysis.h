// The per-sector analysis of a stream of VOB sectors, handed in one at a time in stream order.
// It finds the VOBU boundaries at the NAV packs and, from the video and audio packets, the facts
// the navigation packs must state: the frames each VOBU shows, where its first three reference
// pictures end and in which sector the audio of each stream first reaches the VOBU's start time.
#pragma once

#include "vob/vob_job.h"

namespace navtab::vob {

// The full analysis of the sector numbered job.sector. The caller moves job.sector on by one
// after each sector.
void AnalyseVobSector(VobJob& job, SectorBytes sector);

// The light form: only the VOBU boundaries (each NAV pack parsed into the list, the length of
// the VOBU before it settled); it moves job.sector on by itself.
void TrackVobuBounds(VobJob& job, SectorBytes sector);

}  // namespace navtab::vob
