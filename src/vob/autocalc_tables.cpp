#include "vob/autocalc_tables.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <unordered_map>

#include "core/bytes.h"
#include "core/ifo_classes_address.h"
#include "core/ifo_classes_common.h"
#include "format/address_tables_layout.h"
#include "format/pgc_layout.h"

namespace navtab::vob {
namespace {

// Writes a 32-bit word into a loaded table when it lies wholly inside the buffer. Offsets come
// from the table itself, so a damaged table must not steer a write outside.
bool putInside(std::vector<std::uint8_t>& table, std::size_t offset, std::uint32_t value) {
    if (offset > table.size() || table.size() - offset < 4) return false;
    put32(table.data() + offset, value);
    return true;
}

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

// A cell on the time line of a PGC: the frames it plays, counted from the PGC's start, and its
// VOBUs, [first, last) in the scan's lists.
struct TimelineCell {
    std::uint64_t start = 0, end = 0;
    std::size_t first = 0, last = 0;
};

struct Timeline {
    std::vector<TimelineCell> cells;
    std::uint32_t rate = 0;  // frames per second, from the first VOBU
};

// The cells of title PGC `index` in playback order. The PGC's cell position table names each
// cell by VOB id and cell id; the cell is the run of VOBUs the scan found with those ids, from
// the first one, and it starts where the cell before it ends. A cell the scan did not find ends
// the time line, since nothing tells how long it plays.
Timeline timelineOf(const ByteReader& pgcit, unsigned index, const AutoCalcScan& scan,
                    const FirstVobus& firstVobus) {
    Timeline line;
    if (index >= pgcit.u16(pgc::kListCount)) return line;
    const std::size_t pgcAt =
        pgcit.u32(pgc::kListEntries + pgc::kListEntrySize * index + pgc::kSrpPgcStart);
    if (!pgcit.has(pgcAt, pgc::kHeaderSize)) return line;
    const unsigned cellCount = pgcit.u8(pgcAt + pgc::kCellCount);
    const std::size_t position = pgcAt + pgcit.u16(pgcAt + pgc::kCellPositionStart);
    const auto& times = scan.vobuTimes;
    const std::size_t n = std::min(times.size(), scan.vobuStarts.size());
    std::uint64_t start = 0;
    for (unsigned j = 0; j < cellCount; ++j) {
        const std::size_t pos = position + pgc::kCellPositionSize * j;
        if (!pgcit.has(pos, pgc::kCellPositionSize)) break;
        const std::uint8_t vob = pgcit.u8(pos + pgc::kCellVobId + 1);
        const std::uint8_t cell = pgcit.u8(pos + pgc::kCellId);
        const auto found = firstVobus.find(cellKey(vob, cell));
        if (found == firstVobus.end()) break;
        TimelineCell c{start, start, found->second, found->second};
        while (c.last < n && times[c.last].vobId == vob && times[c.last].cellId == cell) {
            c.end = std::max(c.end, start + times[c.last].cellFrame + times[c.last].frames);
            ++c.last;
        }
        if (line.rate == 0) line.rate = times[c.first].rate;
        line.cells.push_back(c);
        start = c.end;
    }
    return line;
}

// Rebuilds the entries of one time map from the time line of its PGC. Entry k names the VOBU
// playing k time units into the PGC: in the cell playing then, the last VOBU starting at or
// before that frame. dvdauthor sets the discontinuity bit on every entry except one whose time
// is exactly where a cell begins, and that is what is written here. An entry at or past the
// PGC's end stays as it is.
std::size_t rebuildTimeMap(std::vector<std::uint8_t>& table, std::size_t firstEntry,
                           std::size_t entries, unsigned timeUnit, const Timeline& line,
                           const AutoCalcScan& scan) {
    if (timeUnit == 0 || line.cells.empty()) return 0;
    const auto vobuFrame = [&](const TimelineCell& c, std::size_t v) {
        return c.start + scan.vobuTimes[v].cellFrame;
    };
    std::size_t written = 0;
    std::size_t c = 0, v = line.cells[0].first;
    for (std::size_t e = 0; e < entries; ++e) {
        const std::uint64_t frame = std::uint64_t{line.rate} * timeUnit * (e + 1);
        while (c < line.cells.size() && frame >= line.cells[c].end)
            if (++c < line.cells.size()) v = line.cells[c].first;
        if (c == line.cells.size()) break;
        const TimelineCell& cell = line.cells[c];
        while (v + 1 < cell.last && vobuFrame(cell, v + 1) <= frame) ++v;
        const bool cellBegins = v == cell.first && vobuFrame(cell, v) == frame;
        const std::uint32_t word =
            (scan.vobuStarts[v] & tmapti::kSectorMask) | (cellBegins ? 0 : tmapti::kDiscontinuity);
        written += putInside(table, firstEntry + tmapti::kEntrySize * e, word);
    }
    return written;
}

// Maps the entries of one time map through the old address map (see RemapTimeMaps).
std::size_t remapTimeMap(std::vector<std::uint8_t>& table, std::size_t firstEntry,
                         std::size_t entries, const std::vector<std::uint32_t>& oldStarts,
                         const AutoCalcScan& scan) {
    const ByteReader in(table);
    std::size_t written = 0;
    std::size_t k = 0;  // search position in the old address map, kept from entry to entry
    for (std::size_t e = 0; e < entries; ++e) {
        const std::size_t at = firstEntry + tmapti::kEntrySize * e;
        const std::uint32_t word = in.u32(at);
        const std::uint32_t sector = word & tmapti::kSectorMask;
        while (k < oldStarts.size() && oldStarts[k] != sector) ++k;
        if (k == oldStarts.size()) break;  // not an old VOBU start: the rest stays
        if (k >= scan.vobuStarts.size()) continue;
        written += putInside(table, at, scan.vobuStarts[k] | (word & tmapti::kDiscontinuity));
    }
    return written;
}

}  // namespace

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
    const ByteReader in(table);
    const std::size_t limit =
        std::min<std::size_t>(table.size(), std::size_t{in.u32(tmapti::kEndByte)} + 1);
    std::size_t written = 0;
    const unsigned maps = in.u16(tmapti::kMapCount);
    for (unsigned m = 0; m < maps; ++m) {
        const std::size_t map = in.u32(tmapti::kFirstMap + 4 * m);
        const std::size_t first = map + tmapti::kFirstEntry;
        const std::size_t entries =
            recordsInside(in, first, tmapti::kEntrySize, limit, in.u16(map + tmapti::kEntryCount));
        bool allZero = true;
        for (std::size_t e = 0; e < entries && allZero; ++e)
            allZero = in.u32(first + tmapti::kEntrySize * e) == 0;
        if (admapNamesVobus && !allZero)
            written += remapTimeMap(table, first, entries, oldStarts, scan);
        else
            written += rebuildTimeMap(table, first, entries, in.u8(map + tmapti::kTimeUnit),
                                      timelineOf(pgcit, m, scan, firstVobus), scan);
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
    const unsigned pgcs = in.u16(pgc::kListCount);
    for (unsigned p = 0; p < pgcs; ++p) {
        const std::size_t pgcAt =
            in.u32(pgc::kListEntries + pgc::kListEntrySize * p + pgc::kSrpPgcStart);
        if (!in.has(pgcAt, pgc::kHeaderSize)) continue;
        const unsigned cellCount = in.u8(pgcAt + pgc::kCellCount);
        const std::size_t playback = pgcAt + in.u16(pgcAt + pgc::kCellPlaybackStart);
        const std::size_t position = pgcAt + in.u16(pgcAt + pgc::kCellPositionStart);
        for (unsigned j = 0; j < cellCount; ++j) {
            const std::size_t pos = position + pgc::kCellPositionSize * j;
            const std::size_t entry = playback + pgc::kCellPlaybackSize * j;
            if (!in.has(pos, pgc::kCellPositionSize) || !in.has(entry, pgc::kCellPlaybackSize))
                break;
            const std::uint8_t vob = in.u8(pos + pgc::kCellVobId + 1);
            const std::uint8_t cell = in.u8(pos + pgc::kCellId);
            const auto found = std::find_if(
                scan.cells.begin(), scan.cells.end(),
                [&](const AutoCalcCell& c) { return c.vobId == vob && c.cellId == cell; });
            if (found == scan.cells.end()) continue;
            const auto i = static_cast<std::size_t>(found - scan.cells.begin());
            putInside(table, entry + pgc::kCellFirstSector, found->start);
            putInside(table, entry + pgc::kCellLastSector, found->end);
            if (lastVobuStarts[i])
                putInside(table, entry + pgc::kCellLastVobuStart, *lastVobuStarts[i]);
            ++written;
        }
    }
    return written;
}

}  // namespace navtab::vob
