// The tables that locate video by sector: a cell address table (VMGM_C_ADT, VTSM_C_ADT,
// VTS_C_ADT: where each cell of each VOB lies) and a VOBU address map (the first sector of every
// video object unit).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/ifo_classes_common.h"
#include "core/layout/address_tables_layout.h"

namespace navtab {

class CIfoCellAdr {
  public:
    static constexpr std::size_t kSize = c_adt::kCellSize;

    CIfoCellAdr() = default;
    CIfoCellAdr(std::uint16_t vob, std::uint8_t cell, std::uint32_t start, std::uint32_t last)
        : vobId(vob), cellId(cell), startSector(start), lastSector(last) {}
    CIfoCellAdr(ByteSpan table, std::size_t offset);

    std::size_t size() const { return kSize; }
    void write(ByteWriter& out, std::size_t offset) const;

    std::uint16_t vobId = 0;
    std::uint8_t cellId = 0;
    std::uint32_t startSector = 0;
    std::uint32_t lastSector = 0;
};

class CIfoCadt {
  public:
    CIfoCadt() = default;
    // The entries are the whole 12-byte records below the end address; the VOB count does not
    // bound them.
    explicit CIfoCadt(ByteSpan table);

    std::size_t size() const { return ListHeader::kSize + CIfoCellAdr::kSize * cells.size(); }
    // The number of VOBs written: the runs of equal VOB ids in list order.
    std::size_t vobCount() const;
    Serialised serialise();

    CIfoCellAdr* AddCell(std::uint16_t vobId, std::uint8_t cellId, std::uint32_t startSector,
                         std::uint32_t lastSector);
    // Orders the entries by VOB id, keeping the order of entries with the same id.
    void SortByVob();

    ListHeader header;
    std::vector<std::unique_ptr<CIfoCellAdr>> cells;
};

class CIfoVobuAdmap {
  public:
    static constexpr std::size_t kHeaderSize = vobu_admap::kFirstVobu;

    CIfoVobuAdmap() = default;
    explicit CIfoVobuAdmap(ByteSpan table);

    std::size_t size() const { return kHeaderSize + vobu_admap::kVobuSize * sectors.size(); }
    Serialised serialise();

    void AddVobu(std::uint32_t startSector) { sectors.push_back(startSector); }

    std::uint32_t endAddress = 0;
    std::vector<std::uint32_t> sectors;  // first sector of each VOBU
};

}  // namespace navtab
