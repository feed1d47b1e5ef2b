// Changing the bytes behind a field-list row: which editor a row gets, the number typed for an 8-,
// 16- or 32-bit field, and runs of bytes coming back from the hex editor. Every write stays inside
// the table buffer it names; a table never changes its size.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "format/field_list.h"

namespace navtab {

enum class RowEditor { NotEditable, Bytes, VideoAttributes, UserOperations, Number };

// What a double-click on the row opens.
RowEditor editorForRow(const FieldRow& row);

// The bytes a number field of this kind covers: 1, 2 or 4; 0 for every other kind.
std::uint32_t numberWidth(int kind);

// Reads typed text the way atoi does: leading white space, an optional sign, then decimal digits
// up to the first other character; no digits gives 0, so "0x10" is 0. A number too large for a
// long is held at the long's limit. The result is the low 32 bits of that number.
std::uint32_t atoiBits(std::string_view text);

// The big-endian number of a kind 1, 2 or 3 field, or nothing when its bytes lie outside the
// buffer.
std::optional<std::uint32_t> readNumberField(const ifo_t& ifo, ByteRef at, int kind);

// Stores the low 8, 16 or 32 bits of `value` big-endian; false (nothing written) when the field
// does not lie inside its buffer.
bool storeNumberField(ifo_t& ifo, ByteRef at, int kind, std::uint32_t value);

struct ValueColumns {
    std::string dec;
    std::string hex;
};

// The value columns of an edited number field: "%d" (a 32-bit value read as signed) and the value
// in brackets as 2, 4 or 8 hexadecimal digits.
ValueColumns numberColumns(int kind, std::uint32_t value);

// The value columns of a run of bytes: each byte as "%d " and, in brackets, as "%02x ".
ValueColumns byteRunColumns(std::span<const std::uint8_t> bytes);

// The `length` bytes of a run, or an empty span when they do not lie inside the buffer.
std::span<const std::uint8_t> byteRun(const ifo_t& ifo, ByteRef at, std::uint32_t length);

// Writes the first min(edited size, length) bytes of `edited` over the run at `at`; the rest of the
// run keeps its bytes. Returns the count written (0 when the run lies outside the buffer).
std::size_t writeByteRun(ifo_t& ifo, ByteRef at, std::uint32_t length,
                         std::span<const std::uint8_t> edited);

// Puts hex-edited bytes back into a table of fixed size: the first min(edited size, table size)
// bytes are replaced, a shortened edit leaves the rest as it was, a lengthened one is cut.
std::size_t copyIntoTable(std::span<std::uint8_t> table, std::span<const std::uint8_t> edited);

}  // namespace navtab
