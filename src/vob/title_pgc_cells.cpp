#include "vob/title_pgc_cells.h"

#include "core/layout/pgc_layout.h"

namespace navtab::vob {

unsigned titlePgcCount(const ByteReader& pgcit) {
    return pgcit.u16(pgc::kListCount);
}

std::vector<TitlePgcCell> titlePgcCells(const ByteReader& pgcit, unsigned index) {
    std::vector<TitlePgcCell> cells;
    if (index >= titlePgcCount(pgcit)) return cells;
    const std::size_t pgcAt =
        pgcit.u32(pgc::kListEntries + pgc::kListEntrySize * std::size_t{index} + pgc::kSrpPgcStart);
    for (const PgcCellEntry& c : pgcCellEntriesAt(pgcit, pgcAt).cells)
        cells.push_back({static_cast<std::uint8_t>(c.vobId & 0xFF), c.cellId, c.playbackEntry});
    return cells;
}

PgcCellEntries pgcCellEntriesAt(const ByteReader& table, std::size_t pgcAt) {
    PgcCellEntries out;
    if (!table.has(pgcAt, pgc::kHeaderSize)) return out;
    const unsigned programs = table.u8(pgcAt + pgc::kProgramCount);
    const std::size_t map = pgcAt + table.u16(pgcAt + pgc::kProgramMapStart);
    for (unsigned k = 0; k < programs && table.has(map + k, 1); ++k)
        out.programMap.push_back(table.u8(map + k));

    const unsigned count = table.u8(pgcAt + pgc::kCellCount);
    const std::size_t playback = pgcAt + table.u16(pgcAt + pgc::kCellPlaybackStart);
    const std::size_t position = pgcAt + table.u16(pgcAt + pgc::kCellPositionStart);
    for (unsigned j = 0; j < count; ++j) {
        const std::size_t pos = position + pgc::kCellPositionSize * j;
        const std::size_t entry = playback + pgc::kCellPlaybackSize * j;
        if (!table.has(pos, pgc::kCellPositionSize) || !table.has(entry, pgc::kCellPlaybackSize))
            break;
        out.cells.push_back(
            {table.u16(pos + pgc::kCellVobId), table.u8(pos + pgc::kCellId), entry});
    }
    return out;
}

}  // namespace navtab::vob
