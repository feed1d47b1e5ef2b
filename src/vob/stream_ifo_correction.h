// The IFO corrections after stream stripping: the streams kept move down over those left out, in
// the title attributes of VTSI_MAT, in every title PGC's stream control words and in the title
// set's entry of the video manager's VMG_VTS_ATRT. The MPEG stream numbers inside the control
// words stay, so they still name the sub-streams of the copied VOB files.
#pragma once

#include "core/ifo_main.h"
#include "core/ifo_stream_usage.h"

namespace navtab::vob {

// The title set number of a VTS_nn_0.IFO (or .BUP) path, any case; 0 when the name has none.
int titleSetNumberOf(const std::string& path);

// Writes `compacted` (the title set's usage after Compact) into the title set and, when `vmg` is
// given, into entry `titleSet` of its VMG_VTS_ATRT. Nothing is written outside a table buffer or
// past a VMG_VTS_ATRT entry's end. True when a byte changed in `vts`; `vmgChanged` tells the
// same of the manager.
bool CorrectStreamAttributes(ifo_t& vts, ifo_t* vmg, int titleSet, const CIfoStreamUsage& compacted,
                             bool& vmgChanged);

}  // namespace navtab::vob
