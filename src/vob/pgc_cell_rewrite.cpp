#include "vob/pgc_cell_rewrite.h"

namespace navtab::vob {

std::vector<unsigned> RebuildCellsOf(CIfoPgc& pgc, const PgcCellEntries& old,
                                     const CellChoice& choose) {
    const auto& map = old.programMap;
    std::vector<bool> programKept(map.size(), false);
    std::size_t k = 0;          // programs begun so far
    bool startPending = false;  // the program begun last has no kept cell yet
    for (std::size_t j = 1; j <= old.cells.size(); ++j) {
        // Program map entries name cells by number; a damaged map whose entries do not ascend
        // or point past the cells simply begins no further program.
        if (k < map.size() && map[k] == j) {
            ++k;
            startPending = true;
        }
        const std::optional<CIfoCellPlayback> cell = choose(old.cells[j - 1]);
        if (!cell) continue;
        pgc.AddCell(*cell, startPending);
        if (startPending) programKept[k - 1] = true;
        startPending = false;
    }
    std::vector<unsigned> lost;
    for (std::size_t q = 0; q < k; ++q)
        if (!programKept[q]) lost.push_back(static_cast<unsigned>(q + 1));
    return lost;
}

}  // namespace navtab::vob
