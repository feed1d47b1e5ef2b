// Changing words of a loaded table in place. The offsets come from the table itself, so a
// damaged table must never steer a read or a write outside its buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace navtab::vob {

// Writes a 32-bit word when it lies wholly inside the buffer; false when it does not.
bool putInside(std::vector<std::uint8_t>& table, std::size_t offset, std::uint32_t value);

// Where the entries of one time map of VTS_TMAPTI lie: the entries that are wholly inside both
// the buffer and the table's end address, at most as many as the map's count gives.
struct TimeMapEntries {
    std::size_t first = 0;  // byte offset of entry 0
    std::size_t count = 0;
    unsigned timeUnit = 0;  // seconds
};
std::vector<TimeMapEntries> timeMapEntriesOf(const std::vector<std::uint8_t>& table);

}  // namespace navtab::vob
