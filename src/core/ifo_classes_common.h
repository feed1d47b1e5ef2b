// What every table object of the IFO object model shares: a reader that never leaves the bytes it
// was given, a writer that never leaves the buffer it fills, the header of the list tables and the
// result of serialising a table.
//
// Parsing trusts no count or offset of the source: a record that would lie outside the bytes is
// not parsed (the list ends there), and a sub-table whose start lies outside reads as zeros, so a
// damaged table yields a smaller object, never a read outside its buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace navtab {

using ByteSpan = std::span<const std::uint8_t>;

class ByteReader {
  public:
    explicit ByteReader(ByteSpan bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    // True when `length` bytes from `offset` lie inside.
    bool has(std::size_t offset, std::size_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    // Numbers read big-endian; a number not wholly inside reads as 0.
    std::uint8_t u8(std::size_t offset) const;
    std::uint16_t u16(std::size_t offset) const;
    std::uint32_t u32(std::size_t offset) const;
    // Copies `out.size()` bytes from `offset`; bytes outside read as 0.
    void copy(std::size_t offset, std::span<std::uint8_t> out) const;

  private:
    ByteSpan bytes_;
};

// Writes into a buffer sized from the objects being written. Every write is checked: one that
// would leave the buffer means the size computation is wrong, and the program stops rather than
// corrupt memory.
class ByteWriter {
  public:
    explicit ByteWriter(std::span<std::uint8_t> out) : out_(out) {}

    void u8(std::size_t offset, std::uint8_t v);
    void u16(std::size_t offset, std::uint16_t v);
    void u32(std::size_t offset, std::uint32_t v);
    void bytes(std::size_t offset, ByteSpan src);
    void zero(std::size_t offset, std::size_t length);

  private:
    std::uint8_t* at(std::size_t offset, std::size_t length);
    std::span<std::uint8_t> out_;
};

// The header of the list tables (TT_SRPT, VTS_PTT_SRPT, PGC tables, PGCI unit tables, time map
// table, VTS_ATRT, cell address tables): a 16-bit count, a reserved word and the 32-bit end
// address (offset of the last byte).
struct ListHeader {
    static constexpr std::size_t kSize = 8;

    std::uint16_t count = 0;
    std::uint16_t reserved = 0;
    std::uint32_t endAddress = 0;

    static ListHeader parse(const ByteReader& in, std::size_t offset);
    void write(ByteWriter& out, std::size_t offset) const;
    // Stores the count of `entries` and the end address of a table of `tableSize` bytes, then
    // writes the header.
    void store(ByteWriter& out, std::size_t offset, std::size_t entries, std::size_t tableSize);
};

// A damaged table can point many records at the same bytes (every title of VTS_PTT_SRPT at one
// long run of entries, every search pointer at one PGC with many commands), which would make the
// object many times larger than the bytes it came from. The list parsers charge what they make
// against this budget, each entry object at its bytes plus kObjectCost for keeping it, and stop
// adding records once it is spent. It allows 64 times the table's bytes, which leaves room for
// language units that share their PGCs; no real table comes near it.
class ParseBudget {
  public:
    static constexpr std::size_t kObjectCost = 32;

    explicit ParseBudget(std::size_t tableBytes) : left_(64 * tableBytes + 4096) {}

    // Takes `bytes` and `objects` entry objects from the budget; false (and the budget spent)
    // when they are not left.
    bool spend(std::size_t bytes, std::size_t objects) {
        const std::size_t cost = bytes + kObjectCost * objects;
        if (cost > left_) {
            left_ = 0;
            return false;
        }
        left_ -= cost;
        return true;
    }

  private:
    std::size_t left_;
};

// A serialised table: its bytes padded with zeros to whole sectors, or, when the table cannot be
// written in its format (a count or an offset would not fit its field), no bytes and the reason.
struct Serialised {
    std::vector<std::uint8_t> bytes;
    std::string error;

    bool ok() const { return error.empty(); }
    static Serialised failure(std::string why);
};

// Largest byte size of the tables whose offsets are laid out as 16-bit running offsets.
inline constexpr std::size_t kMax16BitTable = 0xFFFF;

// An empty text when `value` fits `limit`, else the text "TABLE: WHAT VALUE exceeds LIMIT".
std::string limitError(std::string_view table, std::string_view what, std::uint64_t value,
                       std::uint64_t limit);

// A zero-filled buffer of `size` bytes rounded up to whole sectors.
std::vector<std::uint8_t> sectorBuffer(std::size_t size);

// Serialises a table of `size` bytes through `fill`, which writes it into a zero-filled buffer of
// whole sectors; or refuses it when `error` is not empty.
template <typename Fill>
Serialised serialiseTable(const std::string& error, std::size_t size, Fill&& fill) {
    if (!error.empty()) return Serialised::failure(error);
    Serialised result;
    result.bytes = sectorBuffer(size);
    ByteWriter out(result.bytes);
    fill(out);
    return result;
}

// Number of fixed-size records from `offset` up to `limit` (exclusive) that lie wholly inside
// the reader, at most `wanted`.
std::size_t recordsInside(const ByteReader& in, std::size_t offset, std::size_t recordSize,
                          std::size_t limit, std::size_t wanted);

}  // namespace navtab
