#include "vob/title_pgc_cells.h"

#include "core/layout/pgc_layout.h"

namespace navtab::vob {

unsigned titlePgcCount(const ByteReader& pgcit) {
    return pgcit.u16(pgc::kListCount);
}

std::vector<TitlePgcCell> titlePgcCells(const ByteReader& pgcit, unsigned index) {
    std::vector<TitlePgcCell> cells;
    if (index >= titlePgcCount(pgcit)) return cells;
    return pgcCellsAt(pgcit,
                      pgcit.u32(pgc::kListEntries + pgc::kListEntrySize * std::size_t{index} +
                                pgc::kSrpPgcStart));
}

std::vector<TitlePgcCell> pgcCellsAt(const ByteReader& pgcit, std::size_t pgcAt) {
    std::vector<TitlePgcCell> cells;
    if (!pgcit.has(pgcAt, pgc::kHeaderSize)) return cells;
    const unsigned count = pgcit.u8(pgcAt + pgc::kCellCount);
    const std::size_t playback = pgcAt + pgcit.u16(pgcAt + pgc::kCellPlaybackStart);
    const std::size_t position = pgcAt + pgcit.u16(pgcAt + pgc::kCellPositionStart);
    for (unsigned j = 0; j < count; ++j) {
        const std::size_t pos = position + pgc::kCellPositionSize * j;
        const std::size_t entry = playback + pgc::kCellPlaybackSize * j;
        if (!pgcit.has(pos, pgc::kCellPositionSize) || !pgcit.has(entry, pgc::kCellPlaybackSize))
            break;
        cells.push_back({pgcit.u8(pos + pgc::kCellVobId + 1), pgcit.u8(pos + pgc::kCellId), entry,
                         pgcit.u16(pos + pgc::kCellVobId)});
    }
    return cells;
}

}  // namespace navtab::vob
