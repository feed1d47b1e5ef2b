#include "core/ifo_classes_address.h"

#include <algorithm>
#include <limits>

namespace navtab {
namespace {

constexpr std::size_t kMaxEndAddress = std::numeric_limits<std::uint32_t>::max();

// Whole records of `recordSize` from `first` up to and including the end address.
std::size_t recordsBelowEnd(const ByteReader& in, std::size_t first, std::size_t recordSize,
                            std::uint32_t endAddress) {
    return recordsInside(in, first, recordSize, std::size_t{endAddress} + 1,
                         std::numeric_limits<std::size_t>::max());
}

}  // namespace

CIfoCellAdr::CIfoCellAdr(ByteSpan table, std::size_t offset) {
    const ByteReader in(table);
    vobId = in.u16(offset + c_adt::kVobId);
    cellId = in.u8(offset + c_adt::kCellId);
    startSector = in.u32(offset + c_adt::kStartSector);
    lastSector = in.u32(offset + c_adt::kEndSector);
}

void CIfoCellAdr::write(ByteWriter& out, std::size_t offset) const {
    out.u16(offset + c_adt::kVobId, vobId);
    out.u8(offset + c_adt::kCellId, cellId);
    out.u32(offset + c_adt::kStartSector, startSector);
    out.u32(offset + c_adt::kEndSector, lastSector);
}

CIfoCadt::CIfoCadt(ByteSpan table) {
    const ByteReader in(table);
    header = ListHeader::parse(in, 0);
    const std::size_t n =
        recordsBelowEnd(in, c_adt::kFirstCell, CIfoCellAdr::kSize, header.endAddress);
    cells.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        cells.push_back(
            std::make_unique<CIfoCellAdr>(table, c_adt::kFirstCell + i * CIfoCellAdr::kSize));
}

std::size_t CIfoCadt::vobCount() const {
    std::size_t runs = 0;
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (i == 0 || cells[i]->vobId != cells[i - 1]->vobId) ++runs;
    return runs;
}

Serialised CIfoCadt::serialise() {
    std::string error = limitError("C_ADT", "number of VOBs", vobCount(), 0xFFFF);
    if (error.empty()) error = limitError("C_ADT", "size in bytes", size(), kMaxEndAddress);
    return serialiseTable(error, size(), [&](ByteWriter& out) {
        header.store(out, 0, vobCount(), size());
        for (std::size_t i = 0; i < cells.size(); ++i)
            cells[i]->write(out, c_adt::kFirstCell + i * CIfoCellAdr::kSize);
    });
}

CIfoCellAdr* CIfoCadt::AddCell(std::uint16_t vobId, std::uint8_t cellId, std::uint32_t startSector,
                               std::uint32_t lastSector) {
    cells.push_back(std::make_unique<CIfoCellAdr>(vobId, cellId, startSector, lastSector));
    return cells.back().get();
}

void CIfoCadt::SortByVob() {
    // Moving each out-of-order entry in front of its predecessor until none is left is a stable
    // sort by VOB id; the standard one gives the same order without the quadratic passes.
    std::stable_sort(cells.begin(), cells.end(),
                     [](const auto& a, const auto& b) { return a->vobId < b->vobId; });
}

CIfoVobuAdmap::CIfoVobuAdmap(ByteSpan table) {
    const ByteReader in(table);
    endAddress = in.u32(vobu_admap::kEndByte);
    const std::size_t n = recordsBelowEnd(in, kHeaderSize, vobu_admap::kVobuSize, endAddress);
    sectors.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        sectors.push_back(in.u32(kHeaderSize + i * vobu_admap::kVobuSize));
}

Serialised CIfoVobuAdmap::serialise() {
    const std::string error = limitError("VOBU_ADMAP", "size in bytes", size(), kMaxEndAddress);
    return serialiseTable(error, size(), [&](ByteWriter& out) {
        endAddress = static_cast<std::uint32_t>(size() - 1);
        out.u32(vobu_admap::kEndByte, endAddress);
        for (std::size_t i = 0; i < sectors.size(); ++i)
            out.u32(kHeaderSize + i * vobu_admap::kVobuSize, sectors[i]);
    });
}

}  // namespace navtab
