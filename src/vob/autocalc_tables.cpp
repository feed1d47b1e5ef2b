#include "vob/autocalc_tables.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <unordered_map>

#include "core/bytes.h"
#include "core/ifo_classes_address.h"
#include "core/ifo_classes_common.h"
#include "core/layout/address_tables_layout.h"
#include "core/layout/pgc_layout.h"
#include "vob/table_patch.h"
#include "vob/title_pgc_cells.h"

namespace navtab::vob {
namespace {

// The number of 12-byte entries of VTS_C_ADT, and of sector entries of VTS_VOBU_ADMAP: those
// below the end address and inside the buffer.
std::size_t cellAddressEntries(const ifo_t& ifo) {
    return CIfoCadt(ifo.table[ID_VTS_C_ADT]).cells.size();
}
std::vector<std::uint32_t> vobuAdmapOf(const ifo_t& ifo) {
    return CIfoVobuAdmap(ifo.table[ID_VTS_VOBU_ADMAP]).sectors;
}

// The start of the last VOBU of collected cell i: the VOBU before the one that opens the next
// cell, or, for the last cell, the last VOBU the address map has room for.
std::optional<std::uint32_t> lastVobuStartOf(const AutoCalcScan& scan, std::size_t i,
                                             std::size_t admapEntries) {
    const auto& starts = scan.vobuStarts;
    if (i + 1 < scan.cells.size()) {
        const auto next = std::find(starts.begin(), starts.end(), scan.cells[i + 1].start);
        if (next == starts.end() || next == starts.begin()) return std::nullopt;
        return *(next - 1);
    }
    const std::size_t n = std::min(admapEntries, starts.size());
    if (n == 0) return std::nullopt;
    return starts[n - 1];
}

// The first VOBU the scan found in each cell, by (VOB id, cell id).
using FirstVobus = std::unordered_map<unsigned, std::size_t>;

unsigned cellKey(std::uint8_t vobId, std::uint8_t cellId) {
    return (unsigned{vobId} << 8) | cellId;
}

FirstVobus firstVobusOf(const AutoCalcScan& scan) {
    FirstVobus first;
    for (std::size_t i = 0; i < std::min(scan.vobuTimes.size(), scan.vobuStarts.size()); ++i)
        first.emplace(cellKey(scan.vobuTimes[i].vobId, scan.vobuTimes[i].cellId), i);
    return first;
}

// The VOBUs the scan found (with their times), by start sector.
using VobuIndex = std::unordered_map<std::uint32_t, std::size_t>;

VobuIndex vobuIndexOf(const AutoCalcScan& scan) {
    VobuIndex index;
    for (std::size_t i = 0; i < std::min(scan.vobuTimes.size(), scan.vobuStarts.size()); ++i)
        index.emplace(scan.vobuStarts[i], i);
    return index;
}

// A cell on the time line of a PGC: when it plays, in 90 kHz ticks from the PGC's start, its
// VOBUs, [first, last) in the scan's lists, and the presentation time its first VOBU starts at.
// Within a cell the VOBUs' presentation times run on, so they place each VOBU in the cell.
struct TimelineCell {
    std::uint64_t start = 0, end = 0;
    std::size_t first = 0, last = 0;
    std::uint32_t basePtm = 0;
};

struct Timeline {
    std::vector<TimelineCell> cells;
    std::uint64_t ticksPerSecond = 0;  // 90000 at 25 fps, 90090 at 29.97 (30 frames of 3003)
};

// Ticks since `base`, or 0 for a time before it (damaged presentation times).
std::uint64_t ticksSince(std::uint32_t base, std::uint32_t time) {
    return time > base ? time - base : 0;
}

// The cells of title PGC `index` in playback order. The PGC's cell position table names each
// cell by VOB id and cell id; the cell is the run of VOBUs the scan found with those ids, from
// the first one, and it starts where the cell before it ends (a cell played again is played
// whole again). A cell the scan did not find ends the time line, since nothing tells how long it
// plays.
Timeline timelineOf(const ByteReader& pgcit, unsigned index, const AutoCalcScan& scan,
                    const FirstVobus& firstVobus) {
    Timeline line;
    const auto& times = scan.vobuTimes;
    const std::size_t n = std::min(times.size(), scan.vobuStarts.size());
    std::uint64_t start = 0;
    for (const TitlePgcCell& pc : titlePgcCells(pgcit, index)) {
        const auto found = firstVobus.find(cellKey(pc.vobId, pc.cellId));
        if (found == firstVobus.end()) break;
        TimelineCell c{start, start, found->second, found->second, times[found->second].startPtm};
        while (c.last < n && times[c.last].vobId == pc.vobId && times[c.last].cellId == pc.cellId) {
            c.end = std::max(c.end, start + ticksSince(c.basePtm, times[c.last].endPtm));
            ++c.last;
        }
        if (line.ticksPerSecond == 0)
            line.ticksPerSecond = times[c.first].rate == 25 ? 90000 : 90090;
        line.cells.push_back(c);
        start = c.end;
    }
    return line;
}

// The VOBU (its index in the scan) playing at `tick` of the time line, or none at or past its
// end: in the cell playing then, the last VOBU that starts at or before that time.
std::optional<std::size_t> vobuPlayingAt(const Timeline& line, std::uint64_t tick,
                                         const AutoCalcScan& scan) {
    const auto cell = std::find_if(line.cells.begin(), line.cells.end(),
                                   [&](const TimelineCell& c) { return tick < c.end; });
    if (cell == line.cells.end()) return std::nullopt;
    std::size_t v = cell->first;
    while (v + 1 < cell->last &&
           cell->start + ticksSince(cell->basePtm, scan.vobuTimes[v + 1].startPtm) <= tick)
        ++v;
    return v;
}

// Rebuilds the entries of one time map from the time line of its PGC, as dvdauthor writes them.
// Entry k names the VOBU playing k + 1 time units into the PGC; the time line counts the cells'
// whole presentation spans, the audio that runs on past the last picture of a VOB included. Bit 31
// marks an entry whose VOBU lies in another cell (VOB id, cell id) than the next entry's: a player
// stepping from one entry to the next cannot read on through the stream there. The last entry has
// no next one and is always marked. An entry that already names a VOBU start the scan found stays
// exactly as it is, and one at or past the PGC's end too.
std::size_t rebuildTimeMap(std::vector<std::uint8_t>& table, std::size_t firstEntry,
                           std::size_t entries, unsigned timeUnit, const Timeline& line,
                           const AutoCalcScan& scan, const VobuIndex& vobuAt) {
    if (timeUnit == 0 || line.cells.empty()) return 0;
    const ByteReader in(table);
    std::vector<std::optional<std::size_t>> named(entries);
    std::vector<bool> kept(entries, false);
    for (std::size_t e = 0; e < entries; ++e) {
        const std::uint32_t word = in.u32(firstEntry + tmapti::kEntrySize * e);
        const auto known = vobuAt.find(word & tmapti::kSectorMask);
        if (word != 0 && known != vobuAt.end()) {
            named[e] = known->second;
            kept[e] = true;
        } else {
            named[e] = vobuPlayingAt(line, line.ticksPerSecond * timeUnit * (e + 1), scan);
        }
    }
    const auto cellOf = [&](std::size_t v) {
        return cellKey(scan.vobuTimes[v].vobId, scan.vobuTimes[v].cellId);
    };
    std::size_t written = 0;
    for (std::size_t e = 0; e < entries; ++e) {
        if (kept[e] || !named[e]) continue;
        const bool nextInSameCell =
            e + 1 < entries && named[e + 1] && cellOf(*named[e + 1]) == cellOf(*named[e]);
        const std::uint32_t word = (scan.vobuStarts[*named[e]] & tmapti::kSectorMask) |
                                   (nextInSameCell ? 0 : tmapti::kDiscontinuity);
        written += putInside(table, firstEntry + tmapti::kEntrySize * e, word);
    }
    return written;
}

// Maps the entries of one time map through the old address map (see RemapTimeMaps), which
// ascends. A PGC that plays a cell again goes back in the map, so each entry is looked up in the
// whole address map.
std::size_t remapTimeMap(std::vector<std::uint8_t>& table, std::size_t firstEntry,
                         std::size_t entries, const std::vector<std::uint32_t>& oldStarts,
                         const AutoCalcScan& scan) {
    const ByteReader in(table);
    std::size_t written = 0;
    for (std::size_t e = 0; e < entries; ++e) {
        const std::size_t at = firstEntry + tmapti::kEntrySize * e;
        const std::uint32_t word = in.u32(at);
        const auto old =
            std::lower_bound(oldStarts.begin(), oldStarts.end(), word & tmapti::kSectorMask);
        if (old == oldStarts.end() || *old != (word & tmapti::kSectorMask))
            break;  // not an old VOBU start: the rest stays
        const auto k = static_cast<std::size_t>(old - oldStarts.begin());
        if (k >= scan.vobuStarts.size()) continue;
        written += putInside(table, at, scan.vobuStarts[k] | (word & tmapti::kDiscontinuity));
    }
    return written;
}

}  // namespace

const AutoCalcCell* findScannedCell(const AutoCalcScan& scan, std::uint8_t vobId,
                                    std::uint8_t cellId) {
    for (const AutoCalcCell& c : scan.cells)
        if (c.vobId == vobId && c.cellId == cellId) return &c;
    return nullptr;
}

std::size_t RemapTimeMaps(ifo_t& ifo, const AutoCalcScan& scan) {
    auto& table = ifo.table[ID_VTS_TMAPTI];
    if (table.empty()) return 0;
    // An address map names VOBUs only while its entries ascend; zeroed or scrambled, it cannot
    // say which VOBU an old entry meant.
    const std::vector<std::uint32_t> oldStarts = vobuAdmapOf(ifo);
    const bool admapNamesVobus =
        !oldStarts.empty() && std::adjacent_find(oldStarts.begin(), oldStarts.end(),
                                                 std::greater_equal<>()) == oldStarts.end();
    const ByteReader pgcit(ifo.table[ID_VTS_PGCITI]);
    const FirstVobus firstVobus = firstVobusOf(scan);
    const VobuIndex vobuAt = vobuIndexOf(scan);
    std::size_t written = 0;
    const auto maps = timeMapEntriesOf(table);
    for (unsigned m = 0; m < maps.size(); ++m) {
        const auto [first, entries, timeUnit] = maps[m];
        const ByteReader in(table);
        bool allZero = true;
        for (std::size_t e = 0; e < entries && allZero; ++e)
            allZero = in.u32(first + tmapti::kEntrySize * e) == 0;
        if (admapNamesVobus && !allZero)
            written += remapTimeMap(table, first, entries, oldStarts, scan);
        else
            written += rebuildTimeMap(table, first, entries, timeUnit,
                                      timelineOf(pgcit, m, scan, firstVobus), scan, vobuAt);
    }
    return written;
}

std::size_t WriteVobuAdmap(ifo_t& ifo, const AutoCalcScan& scan) {
    auto& table = ifo.table[ID_VTS_VOBU_ADMAP];
    const std::size_t n = std::min(vobuAdmapOf(ifo).size(), scan.vobuStarts.size());
    std::size_t written = 0;
    for (std::size_t k = 0; k < n; ++k)
        written += putInside(table, vobu_admap::kFirstVobu + vobu_admap::kVobuSize * k,
                             scan.vobuStarts[k]);
    return written;
}

std::size_t WriteCellAddresses(ifo_t& ifo, const AutoCalcScan& scan) {
    auto& table = ifo.table[ID_VTS_C_ADT];
    const std::size_t entries = cellAddressEntries(ifo);
    const std::size_t n = std::min(entries, scan.cells.size());
    std::size_t written = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t at = c_adt::kFirstCell + c_adt::kCellSize * i;
        // The table's last entry reaches to the end of the last VOBU, even when the stream has
        // cells beyond it.
        const std::uint32_t last = i + 1 == entries ? scan.lastVobuEnd : scan.cells[i].end;
        const bool ok = putInside(table, at + c_adt::kStartSector, scan.cells[i].start) &&
                        putInside(table, at + c_adt::kEndSector, last);
        written += ok;
    }
    return written;
}

std::size_t WritePgcCellSectors(ifo_t& ifo, const AutoCalcScan& scan) {
    auto& table = ifo.table[ID_VTS_PGCITI];
    if (table.empty()) return 0;
    const std::size_t admapEntries = vobuAdmapOf(ifo).size();
    std::vector<std::optional<std::uint32_t>> lastVobuStarts;
    for (std::size_t i = 0; i < scan.cells.size(); ++i)
        lastVobuStarts.push_back(lastVobuStartOf(scan, i, admapEntries));

    const ByteReader in(table);
    std::size_t written = 0;
    for (unsigned p = 0; p < titlePgcCount(in); ++p) {
        for (const TitlePgcCell& pc : titlePgcCells(in, p)) {
            const AutoCalcCell* found = findScannedCell(scan, pc.vobId, pc.cellId);
            if (found == nullptr) continue;
            const auto i = static_cast<std::size_t>(found - scan.cells.data());
            putInside(table, pc.playbackEntry + pgc::kCellFirstSector, found->start);
            putInside(table, pc.playbackEntry + pgc::kCellLastSector, found->end);
            if (lastVobuStarts[i])
                putInside(table, pc.playbackEntry + pgc::kCellLastVobuStart, *lastVobuStarts[i]);
            ++written;
        }
    }
    return written;
}

}  // namespace navtab::vob
