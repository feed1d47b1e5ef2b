// The time map table of a title set: for each title PGC, the sector that playback reaches after
// every further time unit, which players use for time search.
#include <string>

#include "core/layout/address_tables_layout.h"
#include "format/table_describer.h"

namespace navtab {
namespace {

using namespace tmapti;

void describeEntry(TableRows& rows, std::uint32_t e, std::uint32_t offset, std::uint32_t value) {
    if ((value & kDiscontinuity) == 0) {
        rows.dword("        Entry %d: at sector", e, offset);
        return;
    }
    // The dec column shows the sector without the flag, the hex column the whole entry. The value
    // format is the sector already written out: a format without conversions prints as it is.
    rows.dword("        Discontinuity Entry %d: at sector", e, offset,
               std::to_string(value & kSectorMask));
}

void describeMap(FieldList& list, std::uint32_t start, EntryBudget& budget) {
    TableRows rows(list, ByteRef{ID_VTS_TMAPTI, start});
    rows.byte("    Time unit (in seconds)", 0, kTimeUnit);
    rows.byte("    Reserved", 0, kMapReserved);
    rows.word("    number of entries in time map", 0, kEntryCount);
    // A map that starts outside the table has no count to follow.
    const std::uint32_t count = readNumber(rows, kEntryCount, 2).value_or(0);
    for (std::uint32_t e = 1; e <= count; ++e) {
        const std::uint32_t offset = kFirstEntry + (e - 1) * kEntrySize;
        const auto value = readNumber(rows, offset, kEntrySize);
        if (!value || !budget.take()) return;
        describeEntry(rows, e, offset, *value);
    }
}

}  // namespace

void DescribeVtsTmapti(DescribeContext& ctx) {
    if (!beginTable(ctx, ID_VTS_TMAPTI, "There is no VTS_TMAPTI table")) return;
    TableRows rows(ctx.list, ByteRef{ID_VTS_TMAPTI, 0});
    rows.word("Number of VTS_TMAPs", 0, kMapCount);
    rows.word("Reserved", 0, kReserved);
    rows.dword("End byte of VTS_TMAPs table", 0, kEndByte);

    const std::uint32_t count = readNumber(rows, kMapCount, 2).value_or(0);
    // Maps of different PGCs never share entries in a well-formed table.
    EntryBudget budget(ctx.ifo.table[ID_VTS_TMAPTI].size(), kEntrySize);
    for (std::uint32_t m = 1; m <= count; ++m) {
        const auto start = readStartByte(rows, kFirstMap, m);
        if (!start) break;
        rows.dword("  Time map %d: start byte", m, kFirstMap + (m - 1) * kStartByteSize);
        describeMap(ctx.list, *start, budget);
    }
}

}  // namespace navtab
