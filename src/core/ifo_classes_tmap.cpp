#include "core/ifo_classes_tmap.h"

#include <limits>

namespace navtab {
namespace {

constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

}  // namespace

CIfoTmap::CIfoTmap(ByteSpan table, std::size_t offset) {
    const ByteReader in(table);
    timeUnit = in.u8(offset + tmapti::kTimeUnit);
    reserved = in.u8(offset + tmapti::kMapReserved);
    const std::size_t first = offset + tmapti::kFirstEntry;
    const std::size_t n = recordsInside(in, first, tmapti::kEntrySize, kNoLimit,
                                        in.u16(offset + tmapti::kEntryCount));
    entries.reserve(n);
    for (std::size_t i = 0; i < n; ++i) entries.push_back(in.u32(first + i * tmapti::kEntrySize));
}

void CIfoTmap::write(ByteWriter& out, std::size_t offset) const {
    out.u8(offset + tmapti::kTimeUnit, timeUnit);
    out.u8(offset + tmapti::kMapReserved, reserved);
    out.u16(offset + tmapti::kEntryCount, static_cast<std::uint16_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i)
        out.u32(offset + tmapti::kFirstEntry + i * tmapti::kEntrySize, entries[i]);
}

CIfoTmapt::CIfoTmapt(ByteSpan table) {
    const ByteReader in(table);
    header = ListHeader::parse(in, 0);
    const std::size_t n =
        recordsInside(in, tmapti::kFirstMap, kPointerSize, kNoLimit, header.count);
    ParseBudget budget(table.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto map = std::make_unique<CIfoTmap>(table, in.u32(tmapti::kFirstMap + i * kPointerSize));
        if (!budget.spend(kPointerSize + map->size(), 1)) break;
        maps.push_back(std::move(map));
    }
}

std::size_t CIfoTmapt::size() const {
    std::size_t n = ListHeader::kSize;
    for (const auto& map : maps) n += kPointerSize + map->size();
    return n;
}

std::string CIfoTmapt::layoutError() const {
    if (std::string e = limitError("VTS_TMAPTI", "number of time maps", maps.size(), 0xFFFF);
        !e.empty())
        return e;
    for (const auto& map : maps)
        if (std::string e =
                limitError("VTS_TMAPTI", "number of map entries", map->entries.size(), 0xFFFF);
            !e.empty())
            return e;
    return limitError("VTS_TMAPTI", "size in bytes (16-bit offsets)", size(), kMax16BitTable);
}

Serialised CIfoTmapt::serialise() {
    return serialiseTable(layoutError(), size(), [&](ByteWriter& out) {
        header.store(out, 0, maps.size(), size());
        std::size_t running = tmapti::kFirstMap + kPointerSize * maps.size();
        for (std::size_t i = 0; i < maps.size(); ++i) {
            out.u32(tmapti::kFirstMap + i * kPointerSize, static_cast<std::uint32_t>(running));
            maps[i]->write(out, running);
            running += maps[i]->size();
        }
    });
}

CIfoTmap* CIfoTmapt::AddMap() {
    maps.push_back(std::make_unique<CIfoTmap>());
    return maps.back().get();
}

}  // namespace navtab
