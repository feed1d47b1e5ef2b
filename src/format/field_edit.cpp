#include "format/field_edit.h"

#include <algorithm>
#include <climits>

#include "core/bytes.h"
#include "format/value_format.h"

namespace navtab {
namespace {

// The only rows that get their own editors; a description that merely mentions them does not.
constexpr std::string_view kVideoAttributesPrefix = "Video attributes";
constexpr std::string_view kUserOperationsRow = "  Prohibited user operations";

// The first of `width` bytes at `at`, or null unless all of them lie inside the buffer.
template <typename Ifo>
auto* fieldBytes(Ifo& ifo, ByteRef at, std::uint64_t width) {
    decltype(ifo.table[0].data()) none = nullptr;
    if (at.slot < 0 || at.slot >= kIfoTableSlots || width == 0) return none;
    auto& buffer = ifo.table[at.slot];
    if (std::uint64_t{at.offset} + width > buffer.size()) return none;
    return buffer.data() + at.offset;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

RowEditor editorForRow(const FieldRow& row) {
    if (!row.editable) return row.kind == kFieldBytes ? RowEditor::Bytes : RowEditor::NotEditable;
    if (row.kind == kFieldWord && row.description.starts_with(kVideoAttributesPrefix))
        return RowEditor::VideoAttributes;
    if (row.kind == kFieldDword && row.description == kUserOperationsRow)
        return RowEditor::UserOperations;
    return numberWidth(row.kind) != 0 ? RowEditor::Number : RowEditor::NotEditable;
}

std::uint32_t numberWidth(int kind) {
    switch (kind) {
        case kFieldByte:
            return 1;
        case kFieldWord:
            return 2;
        case kFieldDword:
            return 4;
        default:
            return 0;
    }
}

std::uint32_t atoiBits(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Accumulate as the magnitude of a long, held at the limit the sign allows.
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(LLONG_MAX) + 1 : LLONG_MAX;
    unsigned long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    const unsigned long long bits = negative ? 0ULL - magnitude : magnitude;
    return static_cast<std::uint32_t>(bits);
}

std::optional<std::uint32_t> readNumberField(const ifo_t& ifo, ByteRef at, int kind) {
    const std::uint32_t width = numberWidth(kind);
    const std::uint8_t* p = fieldBytes(ifo, at, width);
    if (p == nullptr) return std::nullopt;
    return width == 1 ? p[0] : width == 2 ? be16(p) : be32(p);
}

bool storeNumberField(ifo_t& ifo, ByteRef at, int kind, std::uint32_t value) {
    const std::uint32_t width = numberWidth(kind);
    std::uint8_t* p = fieldBytes(ifo, at, width);
    if (p == nullptr) return false;
    if (width == 1)
        p[0] = static_cast<std::uint8_t>(value);
    else if (width == 2)
        put16(p, static_cast<std::uint16_t>(value));
    else
        put32(p, value);
    return true;
}

ValueColumns numberColumns(int kind, std::uint32_t value) {
    const std::uint32_t width = numberWidth(kind);
    if (width == 1) value &= 0xFF;
    if (width == 2) value &= 0xFFFF;
    const char* hexFormat = width == 1 ? "[%02x]" : width == 2 ? "[%04x]" : "[%08x]";
    return {formatWithInt("%d", value), formatWithInt(hexFormat, value)};
}

ValueColumns byteRunColumns(std::span<const std::uint8_t> bytes) {
    ValueColumns columns{{}, "["};
    for (std::uint8_t b : bytes) {
        columns.dec += formatWithInt("%d ", b);
        columns.hex += formatWithInt("%02x ", b);
    }
    columns.hex += ']';
    return columns;
}

std::span<const std::uint8_t> byteRun(const ifo_t& ifo, ByteRef at, std::uint32_t length) {
    const std::uint8_t* p = fieldBytes(ifo, at, length);
    if (p == nullptr) return {};
    return {p, length};
}

std::size_t writeByteRun(ifo_t& ifo, ByteRef at, std::uint32_t length,
                         std::span<const std::uint8_t> edited) {
    std::uint8_t* p = fieldBytes(ifo, at, length);
    if (p == nullptr) return 0;
    const std::size_t n = std::min<std::size_t>(edited.size(), length);
    std::copy_n(edited.begin(), n, p);
    return n;
}

std::size_t copyIntoTable(std::span<std::uint8_t> table, std::span<const std::uint8_t> edited) {
    const std::size_t n = std::min(edited.size(), table.size());
    std::copy_n(edited.begin(), n, table.begin());
    return n;
}

}  // namespace navtab
