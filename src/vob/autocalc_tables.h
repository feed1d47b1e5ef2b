// The four table writers of Auto-Calc. They bring the address tables of a loaded title set back
// into agreement with what a scan of its VOB files found, in place: only sector words change
// (with a time map entry's discontinuity bit), never a table's size, end address, counts, ids,
// times, time units or categories. Entries for which the scan found nothing stay as they are, and
// what the scan found beyond the tables' entries is ignored. Each returns the number of entries
// it wrote.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/ifo_main.h"

namespace navtab::vob {

// A cell as the scan met it in the stream.
struct AutoCalcCell {
    std::uint8_t vobId = 0;  // low 8 bits: the ids are stored and compared by them only
    std::uint8_t cellId = 0;
    std::uint32_t start = 0;
    std::uint32_t end = 0;  // the next cell's start - 1; the last cell's: the last VOBU's end
};

// Where a VOBU lies in time, from its NAV pack: its start and end presentation times (90 kHz).
struct AutoCalcVobuTime {
    std::uint8_t vobId = 0;  // low 8 bits, as with the cells
    std::uint8_t cellId = 0;
    std::uint32_t rate = 30;  // 25, or 30 for NTSC's 29.97, from the cell elapsed time
    std::uint32_t startPtm = 0;
    std::uint32_t endPtm = 0;
};

// What the scan collected, in stream order and in the sector numbering of the title VOB files.
struct AutoCalcScan {
    std::vector<std::uint32_t> vobuStarts;
    std::vector<AutoCalcCell> cells;
    std::uint32_t lastVobuEnd = 0;
    std::vector<AutoCalcVobuTime> vobuTimes;  // those of vobuStarts, in the same order
};

// The first cell the scan found with the VOB id (low 8 bits) and cell id, or null.
const AutoCalcCell* findScannedCell(const AutoCalcScan& scan, std::uint8_t vobId,
                                    std::uint8_t cellId);

// Each time map entry names a VOBU by its sector. Normally the entry is mapped through the old
// VTS_VOBU_ADMAP to that VOBU's number, which then gives its new sector (with the discontinuity
// bit kept); an entry that is no old VOBU start ends the mapping of its map. When the old map
// cannot name VOBUs (it is empty, or its entries do not ascend, as after zeroing), and for a
// time map whose entries are all zero, the map is rebuilt from the VOBUs' times instead, the way
// dvdauthor builds it: time map m belongs to title PGC m, and entry k names the VOBU playing k + 1
// time units into the PGC (see autocalc_tables.cpp for the discontinuity bit).
// A rebuilt map keeps every entry that already names a VOBU start the scan found. Run it before
// WriteVobuAdmap.
std::size_t RemapTimeMaps(ifo_t& ifo, const AutoCalcScan& scan);
// Entry k of VTS_VOBU_ADMAP becomes the k-th VOBU start.
std::size_t WriteVobuAdmap(ifo_t& ifo, const AutoCalcScan& scan);
// Entry i of VTS_C_ADT gets the i-th cell's first and last sector; the last entry ends at the end
// of the last VOBU.
std::size_t WriteCellAddresses(ifo_t& ifo, const AutoCalcScan& scan);
// Every cell of every title PGC gets the first sector, last VOBU start and last sector of the
// first cell found with its VOB id and cell id.
std::size_t WritePgcCellSectors(ifo_t& ifo, const AutoCalcScan& scan);

}  // namespace navtab::vob
