#include "repair/delete_playback.h"

#include "core/bcd_frames.h"
#include "core/layout/pgc_layout.h"
#include "repair/pgc_locations.h"

namespace navtab::repair {

bool isMenuPgcStart(const ifo_t& ifo, ByteRef ref) {
    const IfoKind kind = ifoKind(&ifo);
    const int menus = kind == IfoKind::Vmg   ? ID_VMGM_PGCI_UT
                      : kind == IfoKind::Vts ? ID_VTSM_PGCI_UT
                                             : -1;
    if (ref.slot != menus || !ifo.has(menus)) return false;
    const auto& table = ifo.table[menus];
    if (!recordBytesInside(table.size(), ref.offset, 0, pgc::kProhibitedUops)) return false;
    for (const PgcLocation& pgc : menuPgcLocations(table).pgcs)
        if (pgc.offset == ref.offset) return true;
    return false;
}

bool DeletePlayback(ifo_t& ifo, ByteRef ref) {
    if (!isMenuPgcStart(ifo, ref)) return false;
    std::uint8_t* record = &ifo.table[ref.slot][ref.offset];
    record[pgc::kProgramCount] = 0;
    record[pgc::kCellCount] = 0;
    std::uint8_t* time = record + pgc::kPlaybackTime;
    time[0] = time[1] = time[2] = 0;
    time[3] &= kRateFlagMask;
    return true;
}

}  // namespace navtab::repair
