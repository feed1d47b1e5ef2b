// Steps that every describer of a pointer-and-entry table shares: the start of the listing, bounded
// reads of the counts and start bytes that steer it, and a budget that keeps a damaged table whose
// runs overlap from turning into an endless listing.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/bytes.h"
#include "format/describe.h"
#include "format/table_rows.h"

namespace navtab {

// Clears the list and, when the table is loaded, makes the Address column count from its first
// byte. Otherwise adds the absence note and returns false.
bool beginTable(DescribeContext& ctx, int tableId, std::string_view absentText);

// A big-endian number of 1, 2 or 4 bytes at `offset` from the rows' base, or nothing when the
// field does not lie inside the buffer.
std::optional<std::uint32_t> readNumber(const TableRows& rows, std::uint64_t offset,
                                        std::uint32_t width);

// Tables that hold several runs or records list their start bytes (offsets from the table start)
// as consecutive 32-bit numbers.
inline constexpr std::uint32_t kStartByteSize = 4;

// Start byte number `n` (counted from 1) of the list at `first`, when it lies inside the buffer.
inline std::optional<std::uint32_t> readStartByte(const TableRows& rows, std::uint32_t first,
                                                  std::uint32_t n) {
    return readNumber(rows, first + std::uint64_t{n - 1} * kStartByteSize, kStartByteSize);
}

// Adds one 32-bit row for each of `count` start bytes stored from `first` on (label argument: the
// number counted from 1), stopping at the first one outside the buffer. Returns how many were
// shown: only those can be followed.
std::uint32_t describeStartBytes(TableRows& rows, std::string_view label, std::uint32_t first,
                                 std::uint32_t count);

// The entries a table's buffer can hold at most. Well-formed tables give each entry its own bytes,
// so listing more than this many means the runs overlap; the listing then stops rather than show
// the same bytes over and over.
class EntryBudget {
  public:
    EntryBudget(std::size_t bufferSize, std::uint32_t entrySize) : left_(bufferSize / entrySize) {}
    // Uses one entry; false once the budget is spent.
    bool take() {
        if (left_ == 0) return false;
        --left_;
        return true;
    }

  private:
    std::size_t left_;
};

}  // namespace navtab
