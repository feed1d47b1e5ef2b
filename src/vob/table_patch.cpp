#include "vob/table_patch.h"

#include <algorithm>

#include "core/bytes.h"
#include "core/ifo_classes_common.h"
#include "core/layout/address_tables_layout.h"

namespace navtab::vob {

bool putInside(std::vector<std::uint8_t>& table, std::size_t offset, std::uint32_t value) {
    if (offset > table.size() || table.size() - offset < 4) return false;
    put32(table.data() + offset, value);
    return true;
}

std::vector<TimeMapEntries> timeMapEntriesOf(const std::vector<std::uint8_t>& table) {
    std::vector<TimeMapEntries> maps;
    const ByteReader in(table);
    const std::size_t limit =
        std::min<std::size_t>(table.size(), std::size_t{in.u32(tmapti::kEndByte)} + 1);
    const unsigned count = in.u16(tmapti::kMapCount);
    for (unsigned m = 0; m < count; ++m) {
        const std::size_t map = in.u32(tmapti::kFirstMap + 4 * m);
        const std::size_t first = map + tmapti::kFirstEntry;
        maps.push_back(
            {first,
             recordsInside(in, first, tmapti::kEntrySize, limit, in.u16(map + tmapti::kEntryCount)),
             in.u8(map + tmapti::kTimeUnit)});
    }
    return maps;
}

}  // namespace navtab::vob
