// The cells a PGC plays, read from a PGC table as loaded: for each cell of the PGC, in playback
// order, the (VOB id, cell id) its cell position entry names and where its cell playback entry
// lies, and the PGC's program map. Auto-Calc matches them with the cells a scan of the VOB files
// found; the table rebuild and the VOB id renumbering rebuild the PGC's cells from them.
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

// One cell of a PGC with its whole 16-bit VOB id.
struct PgcCellEntry {
    std::uint16_t vobId = 0;
    std::uint8_t cellId = 0;
    std::size_t playbackEntry = 0;  // byte offset of its 24-byte cell playback entry in the table
};

struct PgcCellEntries {
    std::vector<std::uint8_t> programMap;  // entry cell number (1-based) of each program
    std::vector<PgcCellEntry> cells;
};

// The program map and cells of the PGC whose header starts at byte `pgcAt` of the table. The
// same bounds as titlePgcCells: nothing for a header outside, the cells up to the first entry
// that does not lie wholly inside, the program map entries that lie inside.
PgcCellEntries pgcCellEntriesAt(const ByteReader& table, std::size_t pgcAt);

}  // namespace navtab::vob
