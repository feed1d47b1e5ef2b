// Rebuilding the cells of one PGC from its old cells, some of which are kept (perhaps changed)
// and some dropped: the PGC tools of the table rebuild and the VOB id renumbering share it.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "core/ifo_classes_pgc.h"
#include "vob/title_pgc_cells.h"

namespace navtab::vob {

// What becomes of one old cell: nothing (dropped), or the cell to append, whose working words
// vobId and cellId give its position entry.
using CellChoice = std::function<std::optional<CIfoCellPlayback>(const PgcCellEntry&)>;

// Appends to `pgc`, which holds no cells yet, the cells `choose` keeps from `old`, in order, with
// the program map rebuilt. A program lives on while at least one of its cells is kept and then
// begins at the first of them; dropping only a program's first cell must not merge the rest of it
// into the program before (nor leave the PGC's first cells outside any program). Returns the
// numbers (1-based) of the old programs that lost every cell, in ascending order.
std::vector<unsigned> RebuildCellsOf(CIfoPgc& pgc, const PgcCellEntries& old,
                                     const CellChoice& choose);

}  // namespace navtab::vob
