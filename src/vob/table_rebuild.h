// The title set's and menus' address tables, PGC cells and time maps made to agree again with
// VOB files that a VOB processing run has rewritten. From the VOBUs the run wrote (and the cells
// built from them) new tables replace the old ones, which may change their sizes; the table start
// sectors of the management table are then laid out anew.
#pragma once

#include <string>

#include "core/ifo_classes.h"
#include "core/ifo_main.h"
#include "core/user_interaction.h"
#include "vob/cell_list.h"

namespace navtab::vob {

inline constexpr const char* kNoTimeMapText =
    "There is no TimeMap table!\nSkipping TMap table creation";

// Replaces VTS_VOBU_ADMAP (Title), or VTSM_VOBU_ADMAP / VMGM_VOBU_ADMAP (Menu) with the start
// sector of every VOBU.
void RebuildVobuAdmap(ifo_t& ifo, const VobuList& vobus, TableForm form);

// Replaces VTS_C_ADT (Title) or VTSM_C_ADT / VMGM_C_ADT (Menu) with one entry per cell. The
// title form first orders `cells` by VOB id, keeping the order of equal ids; that order is then
// also the one RebuildPgcCells searches.
void RebuildCellAddressTable(ifo_t& ifo, CellList& cells, TableForm form);

// Rebuilds the cells of every title PGC from `cells`: each PGC cell takes the first cell of the
// list with its VOB id and cell id, extended over the further runs of the same cell. PGC cells
// the list does not hold are dropped. Returns "" or why the table could not be written (the old
// table then stays).
std::string RebuildPgcCells(ifo_t& ifo, const CellList& cells);

// Writes playback time, first sector, last VOBU start and last sector of the first matching cell
// into every cell playback entry of the menu PGCI unit table, in place.
void UpdateMenuCellSectors(ifo_t& ifo, const CellList& cells);

// Maps each VTS_TMAPTI entry, a sector of the source, to the VOBU that now stands for it: the
// first whose source sector (lbn) is at least the entry's. Without VTS_TMAPTI it says
// kNoTimeMapText and returns false.
bool RemapTimeMapsByLbn(ifo_t& ifo, const VobuList& vobus, UserInteraction& ui);

// Lays the loaded tables out one after the other from sector 1 and sets the last-sector field of
// the information file. The bytes kept from the file's last read no longer describe it and are
// dropped: a save writes exactly the management table and the tables at their new sectors.
void RelayoutIfoTables(ifo_t& ifo);

}  // namespace navtab::vob
