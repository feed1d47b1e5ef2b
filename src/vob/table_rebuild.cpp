#include "vob/table_rebuild.h"

#include <algorithm>

#include "core/bytes.h"
#include "core/ifo_classes_address.h"
#include "core/ifo_classes_pgci.h"
#include "core/layout/address_tables_layout.h"
#include "core/layout/pgc_layout.h"
#include "vob/pgc_cell_rewrite.h"
#include "vob/table_patch.h"

namespace navtab::vob {
namespace {

// The slot a form of a table occupies in this file: the title tables exist only in a title set,
// the menu ones under their VTSM or VMGM name. -1 when the file holds no such table.
int slotFor(const ifo_t& ifo, TableForm form, int title, int titleSetMenu, int managerMenu) {
    switch (ifoKind(&ifo)) {
        case IfoKind::Vts:
            return form == TableForm::Title ? title : titleSetMenu;
        case IfoKind::Vmg:
            return form == TableForm::Menu ? managerMenu : -1;
        case IfoKind::Unknown:
            break;
    }
    return -1;
}

int menuPgciUtSlot(const ifo_t& ifo) {
    return slotFor(ifo, TableForm::Menu, -1, ID_VTSM_PGCI_UT, ID_VMGM_PGCI_UT);
}

// Puts a serialised table into its slot; the old buffer goes. Returns the refusal, if any.
std::string replaceTable(ifo_t& ifo, int slot, Serialised table) {
    if (!table.ok()) return table.error;
    ifo.table[static_cast<std::size_t>(slot)] = std::move(table.bytes);
    return {};
}

const CIfoCellPlayback* firstCellNamed(const CellList& cells, std::uint32_t vobId,
                                       std::uint32_t cellId) {
    for (const CIfoCellPlayback& c : cells)
        if (c.vobId == vobId && c.cellId == cellId) return &c;
    return nullptr;
}

// The cell of the list a PGC cell plays: the first with its ids, extended over every further
// run of the same cell (a cell the rewrite split where VOBUs were left out) up to its last.
std::optional<CIfoCellPlayback> mergedCell(const CellList& cells, std::uint32_t vobId,
                                           std::uint32_t cellId) {
    std::optional<CIfoCellPlayback> merged;
    for (const CIfoCellPlayback& c : cells) {
        if (c.vobId != vobId || c.cellId != cellId) continue;
        if (!merged) {
            merged = c;
            continue;
        }
        merged->playbackTime = c.playbackTime;
        merged->lastVobuStartSector = c.lastVobuStartSector;
        merged->lastSector = c.lastSector;
    }
    return merged;
}

}  // namespace

void RebuildVobuAdmap(ifo_t& ifo, const VobuList& vobus, TableForm form) {
    const int slot = slotFor(ifo, form, ID_VTS_VOBU_ADMAP, ID_VTSM_VOBU_ADMAP, ID_VMGM_VOBU_ADMAP);
    if (slot < 0) return;
    CIfoVobuAdmap admap;
    admap.sectors.reserve(vobus.size());
    for (const VobuInfo& v : vobus) admap.AddVobu(v.sector);
    replaceTable(ifo, slot, admap.serialise());
}

void RebuildCellAddressTable(ifo_t& ifo, CellList& cells, TableForm form) {
    const int slot = slotFor(ifo, form, ID_VTS_C_ADT, ID_VTSM_C_ADT, ID_VMGM_C_ADT);
    if (slot < 0) return;
    if (form == TableForm::Title)
        std::stable_sort(cells.begin(), cells.end(),
                         [](const auto& a, const auto& b) { return a.vobId < b.vobId; });
    CIfoCadt cadt;
    for (const CIfoCellPlayback& c : cells)
        cadt.AddCell(static_cast<std::uint16_t>(c.vobId), static_cast<std::uint8_t>(c.cellId),
                     c.firstSector, c.lastSector);
    Serialised table = cadt.serialise();
    if (!table.ok()) return;
    // The VOB count is the number of times the VOB id changes along the list, starting from 0:
    // a first cell of VOB id 0 (no valid id) does not count.
    std::uint16_t vobs = 0;
    std::uint32_t previous = 0;
    for (const CIfoCellPlayback& c : cells) {
        if (c.vobId != previous) ++vobs;
        previous = c.vobId;
    }
    put16(table.bytes.data() + c_adt::kVobCount, vobs);
    replaceTable(ifo, slot, std::move(table));
}

std::string RebuildPgcCells(ifo_t& ifo, const CellList& cells) {
    if (!ifo.has(ID_VTS_PGCITI)) return {};
    const auto& old = ifo.table[ID_VTS_PGCITI];
    const ByteReader in(old);
    CIfoPgcit pgcit(old);
    for (const auto& srp : pgcit.srps) {
        const PgcCellEntries entries = pgcCellEntriesAt(in, srp->pgcStart);
        RebuildCellsOf(*srp->pgc, entries, [&](const PgcCellEntry& e) {
            std::optional<CIfoCellPlayback> cell = mergedCell(cells, e.vobId, e.cellId);
            // The stream gives the first category byte; restriction, still time and cell
            // command number are the PGC's own and stay.
            if (cell)
                for (std::size_t b = 1; b < cell->category.size(); ++b)
                    cell->category[b] = in.u8(e.playbackEntry + pgc::kCellCategory + b);
            return cell;
        });
    }
    return replaceTable(ifo, ID_VTS_PGCITI, pgcit.serialise());
}

void UpdateMenuCellSectors(ifo_t& ifo, const CellList& cells) {
    const int slot = menuPgciUtSlot(ifo);
    if (slot < 0 || !ifo.has(slot)) return;
    auto& table = ifo.table[static_cast<std::size_t>(slot)];
    const CIfoPgciUt ut(table);
    for (const auto& unit : ut.units)
        for (const auto& srp : unit->srps) {
            const std::size_t pgcAt = std::size_t{unit->unitStart} + srp->pgcStart;
            for (const PgcCellEntry& e : pgcCellEntriesAt(ByteReader(table), pgcAt).cells) {
                const CIfoCellPlayback* c = firstCellNamed(cells, e.vobId, e.cellId);
                if (c == nullptr) continue;
                // pgcCellEntriesAt gave only entries wholly inside the table.
                putInside(table, e.playbackEntry + pgc::kCellPlaybackTime, c->playbackTime);
                putInside(table, e.playbackEntry + pgc::kCellFirstSector, c->firstSector);
                putInside(table, e.playbackEntry + pgc::kCellLastVobuStart, c->lastVobuStartSector);
                putInside(table, e.playbackEntry + pgc::kCellLastSector, c->lastSector);
            }
        }
}

bool RemapTimeMapsByLbn(ifo_t& ifo, const VobuList& vobus, UserInteraction& ui) {
    if (!ifo.has(ID_VTS_TMAPTI)) {
        ui.message(kNoTimeMapText);
        return false;
    }
    // With no VOBU left there is nothing an entry could name: the maps stay as they are.
    if (vobus.empty()) return true;
    auto& table = ifo.table[ID_VTS_TMAPTI];
    for (const TimeMapEntries& map : timeMapEntriesOf(table)) {
        std::size_t at = 0;
        for (std::size_t e = 0; e < map.count; ++e) {
            const std::size_t offset = map.first + tmapti::kEntrySize * e;
            const std::uint32_t word = ByteReader(table).u32(offset);
            const std::uint32_t sector = word & tmapti::kSectorMask;
            // The position only moves on, as the entries of a map ascend; a PGC that plays a
            // cell again goes back in the stream, and the search then starts over.
            if (at > 0 && vobus[at - 1].lbn >= sector) at = 0;
            while (at + 1 < vobus.size() && vobus[at].lbn < sector) ++at;
            putInside(table, offset,
                      (vobus[at].sector & tmapti::kSectorMask) | (word & tmapti::kDiscontinuity));
        }
    }
    return true;
}

void RelayoutIfoTables(ifo_t& ifo) {
    const IfoKind kind = ifoKind(&ifo);
    if (kind == IfoKind::Unknown || ifo.table[ID_MAT].size() < kSectorSize) return;
    std::uint8_t* mat = ifo.table[ID_MAT].data();
    std::uint32_t next = 1;  // sector 0 is the management table
    for (const TableLocation& t : tablesOf(kind)) {
        if (!ifo.has(t.id)) {
            put32(mat + t.matPointer, 0);
            continue;
        }
        put32(mat + t.matPointer, next);
        next += static_cast<std::uint32_t>(roundToSector(ifoTableSize(&ifo, t.id)) / kSectorSize);
    }
    put32(mat + kMatLastSectorOfIfo, next - 1);
    // The file's old bytes would put the tables' old places and gaps back around the new
    // layout; from now on the tables are the whole file.
    ifo.image.clear();
    ifo.imageKept = true;
}

}  // namespace navtab::vob
