// The cells a title PGC plays, read from VTS_PGCITI as loaded: for each cell of the PGC, in
// playback order, the (VOB id, cell id) its cell position entry names and where its cell playback
// entry lies. Auto-Calc matches them with the cells a scan of the VOB files found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/ifo_classes_common.h"

namespace navtab::vob {

struct TitlePgcCell {
    std::uint8_t vobId = 0;  // low 8 bits, as Auto-Calc stores and compares them
    std::uint8_t cellId = 0;
    std::size_t playbackEntry = 0;  // byte offset of its 24-byte cell playback entry in the table
};

// The number of PGCs the table's header gives.
unsigned titlePgcCount(const ByteReader& pgcit);

// The cells of PGC `index` (0-based). A PGC whose header lies outside the table has none; the
// list ends at the first cell whose position or playback entry does not lie wholly inside.
std::vector<TitlePgcCell> titlePgcCells(const ByteReader& pgcit, unsigned index);

}  // namespace navtab::vob
