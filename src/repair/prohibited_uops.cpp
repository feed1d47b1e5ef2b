#include "repair/prohibited_uops.h"

#include "core/bytes.h"
#include "core/ifo_tables.h"
#include "core/layout/pgc_layout.h"
#include "core/text_printf.h"
#include "repair/pgc_locations.h"

namespace navtab::repair {
namespace {

constexpr std::uint32_t kMaskWidth = 4;

// Clears the mask of the PGC at `offset`; true when it had any bit set.
bool clearMask(std::vector<std::uint8_t>& table, std::uint64_t offset) {
    std::uint8_t* mask = &table[offset + pgc::kProhibitedUops];
    if (be32(mask) == 0) return false;
    put32(mask, 0);
    return true;
}

void clearTable(std::vector<std::uint8_t>& table, const PgcLocations& where, const char* kind,
                const char* tableName, UopRemoval& out) {
    for (int unit : where.unitsOutside)
        out.report +=
            strprintf("Skipped Language Unit <%d>: its offset lies outside %s\n", unit, tableName);
    for (const PgcLocation& pgc : where.pgcs) {
        if (!recordBytesInside(table.size(), pgc.offset, pgc::kProhibitedUops, kMaskWidth)) {
            out.report += strprintf("Skipped %s-PGC <%d>: its offset lies outside %s\n", kind,
                                    pgc.number, tableName);
            continue;
        }
        if (!clearMask(table, pgc.offset)) continue;
        out.report += strprintf("Removed P-UOP in %s-PGC <%d>\n", kind, pgc.number);
        out.changed = true;
    }
}

}  // namespace

UopRemoval RemoveProhibitedUops(ifo_t& ifo) {
    UopRemoval out;
    const bool vmg = ifoKind(&ifo) == IfoKind::Vmg;
    if (vmg) {
        auto& mat = ifo.table[ID_MAT];
        // A start byte of 0 means the disc has no first-play PGC; it would name the identifier.
        const std::uint64_t firstPlay =
            mat.size() >= kVmgFirstPlayPgc + 4 ? be32(&mat[kVmgFirstPlayPgc]) : 0;
        if (firstPlay != 0) {
            if (!recordBytesInside(mat.size(), firstPlay, pgc::kProhibitedUops, kMaskWidth)) {
                out.report += "Skipped First Play-PGC: its offset lies outside VMGI_MAT\n";
            } else if (clearMask(mat, firstPlay)) {
                out.report += "Removed P-UOP in First Play-PGC\n";
                out.changed = true;
            }
        }
    }
    const bool vts = ifoKind(&ifo) == IfoKind::Vts;
    const int menus = vmg ? ID_VMGM_PGCI_UT : vts ? ID_VTSM_PGCI_UT : -1;
    if (ifo.has(menus)) {
        auto& table = ifo.table[menus];
        clearTable(table, menuPgcLocations(table), "Menu", vmg ? "VMGM_PGCI_UT" : "VTSM_PGCI_UT",
                   out);
    }
    if (vts && ifo.has(ID_VTS_PGCITI)) {
        auto& table = ifo.table[ID_VTS_PGCITI];
        clearTable(table, titlePgcLocations(table), "Title", "VTS_PGCITI", out);
    }
    return out;
}

std::string uopRemovalMessage(const UopRemoval& removal) {
    return removal.report.empty() ? "No P-UOPs found in this IFO" : removal.report;
}

}  // namespace navtab::repair
