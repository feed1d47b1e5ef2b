// The stream attribute records that the management tables and VMG_VTS_ATRT keep for every audio
// and sub-picture stream: the bytes as they stand, plus a tag the stream tools may set.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ifo_classes_common.h"

namespace navtab {

// One audio stream attribute record (8 bytes). The top three bits of byte 0 are the coding mode.
class CIfoAudioAttr {
  public:
    static constexpr std::size_t kSize = 8;

    CIfoAudioAttr() = default;
    // Copies the record at `offset`; bytes beyond the end of `table` read as zero.
    CIfoAudioAttr(std::span<const std::uint8_t> table, std::size_t offset);

    std::size_t size() const { return kSize; }
    void write(ByteWriter& out, std::size_t offset) const { out.bytes(offset, bytes); }
    std::uint8_t codingMode() const { return static_cast<std::uint8_t>(bytes[0] >> 5); }

    std::array<std::uint8_t, kSize> bytes{};
    std::uint16_t tag = 0;  // free for the stream tools; never parsed or written
};

// One sub-picture stream attribute record (6 bytes).
class CIfoSubpAttr {
  public:
    static constexpr std::size_t kSize = 6;

    CIfoSubpAttr() = default;
    CIfoSubpAttr(std::span<const std::uint8_t> table, std::size_t offset);

    std::size_t size() const { return kSize; }
    void write(ByteWriter& out, std::size_t offset) const { out.bytes(offset, bytes); }

    std::array<std::uint8_t, kSize> bytes{};
    std::uint32_t tag = 0;  // free for the stream tools; never parsed or written
};

// The attribute lists of the management tables and of VTS_ATRT, which store their records back to
// back from a first offset.
template <typename Attr>
using AttrList = std::vector<std::unique_ptr<Attr>>;

template <typename Attr>
void parseAttrRecords(ByteSpan table, std::size_t first, std::size_t count, AttrList<Attr>& out) {
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(std::make_unique<Attr>(table, first + i * Attr::kSize));
}

template <typename Attr>
void writeAttrRecords(ByteWriter& out, std::size_t first, const AttrList<Attr>& records) {
    for (std::size_t i = 0; i < records.size(); ++i)
        records[i]->write(out, first + i * Attr::kSize);
}

// Empty when each stream list fits the room the table has for it, else the first that does not.
// The lists are given as (records held, room) in table order.
std::string streamRecordsError(std::string_view table,
                               std::initializer_list<std::pair<std::size_t, std::size_t>> lists);

template <typename Attr>
Attr* addAttrRecord(AttrList<Attr>& records) {
    records.push_back(std::make_unique<Attr>());
    return records.back().get();
}

}  // namespace navtab
