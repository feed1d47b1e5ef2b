// VTS_TMAPTI, the time maps of a title set: for each title PGC, the sector reached after every
// further time unit, so a player can start playback at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ifo_classes_common.h"
#include "core/layout/address_tables_layout.h"

namespace navtab {

class CIfoTmap {
  public:
    CIfoTmap() = default;
    CIfoTmap(ByteSpan table, std::size_t offset);

    // The map itself; the map table adds a 4-byte pointer for it.
    std::size_t size() const { return tmapti::kFirstEntry + tmapti::kEntrySize * entries.size(); }
    void write(ByteWriter& out, std::size_t offset) const;

    // Appends an entry word: the sector, with bit 31 set at a discontinuity.
    void AddEntry(std::uint32_t entry) { entries.push_back(entry); }

    std::uint8_t timeUnit = 0;  // seconds
    std::uint8_t reserved = 0;  // kept as it stands
    std::vector<std::uint32_t> entries;
};

class CIfoTmapt {
  public:
    static constexpr std::size_t kPointerSize = 4;

    CIfoTmapt() = default;
    explicit CIfoTmapt(ByteSpan table);

    std::size_t size() const;
    std::string layoutError() const;
    Serialised serialise();

    CIfoTmap* AddMap();

    ListHeader header;
    std::vector<std::unique_ptr<CIfoTmap>> maps;
};

}  // namespace navtab
