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
    std::uint16_t fullVobId = 0;    // all 16 bits, for the tools that renumber VOB ids
    std::size_t playbackEntry = 0;  // byte offset of its 24-byte cell playback entry in the table
};

// The number of PGCs the table's header gives.
unsigned titlePgcCount(const ByteReader& pgcit);

// The cells of PGC `index` (0-based). A PGC whose header lies outside the table has none; the
// list ends at the first cell whose position or playback entry does not lie wholly inside.
std::vector<TitlePgcCell> titlePgcCells(const ByteReader& pgcit, unsigned index);

// The cells of the PGC whose record starts at byte `pgcAt` of a PGC table or PGCI unit table,
// with the same bounds.
std::vector<TitlePgcCell> pgcCellsAt(const ByteReader& table, std::size_t pgcAt);

}  // namespace navtab::vob
