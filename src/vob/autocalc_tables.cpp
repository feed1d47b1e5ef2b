#include "vob/autocalc_tables.h"

#include <algorithm>
#include <optional>

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

}  // namespace

std::size_t RemapTimeMaps(ifo_t& ifo, const AutoCalcScan& scan) {
    auto& table = ifo.table[ID_VTS_TMAPTI];
    if (table.empty()) return 0;
    const std::vector<std::uint32_t> oldStarts = vobuAdmapOf(ifo);
    const ByteReader in(table);
    const std::size_t limit =
        std::min<std::size_t>(table.size(), std::size_t{in.u32(tmapti::kEndByte)} + 1);
    std::size_t written = 0;
    const unsigned maps = in.u16(tmapti::kMapCount);
    for (unsigned m = 0; m < maps; ++m) {
        const std::size_t map = in.u32(tmapti::kFirstMap + 4 * m);
        const std::size_t entries = recordsInside(in, map + tmapti::kFirstEntry, tmapti::kEntrySize,
                                                  limit, in.u16(map + tmapti::kEntryCount));
        std::size_t k = 0;  // search position in the old address map, kept from entry to entry
        for (std::size_t e = 0; e < entries; ++e) {
            const std::size_t at = map + tmapti::kFirstEntry + tmapti::kEntrySize * e;
            const std::uint32_t word = in.u32(at);
            const std::uint32_t sector = word & tmapti::kSectorMask;
            while (k < oldStarts.size() && oldStarts[k] != sector) ++k;
            if (k == oldStarts.size()) break;  // not an old VOBU start: the rest stays
            if (k >= scan.vobuStarts.size()) continue;
            if (putInside(table, at, scan.vobuStarts[k] | (word & tmapti::kDiscontinuity)))
                ++written;
        }
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
