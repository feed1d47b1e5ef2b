#include "format/field_list.h"

#include <algorithm>
#include <cstring>

#include "core/bytes.h"
#include "format/value_format.h"

namespace navtab {

std::string FieldRow::copyLine() const {
    return address + '\t' + description + '\t' + dec + '\t' + hex;
}

void FieldList::ClearFieldList() {
    rows_.clear();
}

void FieldList::setTableBase(const ifo_t& ifo, ByteRef base) {
    source_ = &ifo;
    tableBase_ = base;
}

const std::uint8_t* FieldList::bytesAt(ByteRef ref, std::uint32_t width) const {
    if (source_ == nullptr || ref.slot < 0 || ref.slot >= kIfoTableSlots) return nullptr;
    const auto& buffer = source_->table[ref.slot];
    if (std::uint64_t{ref.offset} + width > buffer.size()) return nullptr;
    return buffer.data() + ref.offset;
}

void FieldList::addLine(std::string text, std::optional<ByteRef> data) {
    // A summary line is not a field: it is never hidden as reserved, whatever its words.
    FieldRow row;
    row.kind = kFieldNote;
    row.data = data;
    row.address = "   ";
    row.description = std::move(text);
    if (copyMode) {
        copyText += row.copyLine();
        copyText += copyLineEnd;
    }
    rows_.push_back(std::move(row));
}

namespace {

// "[%08x] ": the offset of a row's bytes from the start of its table, written for every row.
std::string addressText(std::uint32_t offset) {
    std::string text = "[00000000] ";
    for (int i = 8; i >= 1; --i, offset >>= 4) text[i] = "0123456789abcdef"[offset & 0xF];
    return text;
}

}  // namespace

bool FieldList::AddFieldRow(std::string_view description, long long descriptionArg,
                            std::string_view valueFormat, int kind, std::optional<ByteRef> data,
                            std::uint32_t length) {
    if (!showReserved && description.find("Reserved") != std::string_view::npos) return false;

    FieldRow row;
    row.kind = kind;
    row.length = length;
    row.editable = kind >= kFieldByte && kind <= kFieldDword;
    row.data = data;
    row.description = formatWithInt(description, descriptionArg);
    if (data && kind != kFieldNote) {
        row.addressValue = data->offset - tableBase_.offset;
        row.address = addressText(static_cast<std::uint32_t>(*row.addressValue));
    } else {
        row.address = "   ";
    }

    const std::string_view numberFormat =
        valueFormat.empty() ? std::string_view("%d") : valueFormat;
    auto numberRow = [&](std::uint32_t width, const char* hexFormat) {
        const std::uint8_t* p = data ? bytesAt(*data, width) : nullptr;
        if (p == nullptr) return false;
        std::uint32_t value = width == 1 ? p[0] : width == 2 ? be16(p) : be32(p);
        row.dec = formatWithInt(numberFormat, value);
        row.hex = formatWithInt(hexFormat, value);
        return true;
    };

    switch (kind) {
        case kFieldByte:
            if (!numberRow(1, "[%02x]")) return false;
            break;
        case kFieldWord:
            if (!numberRow(2, "[%04x]")) return false;
            break;
        case kFieldDword:
            if (!numberRow(4, "[%08x]")) return false;
            break;
        case kFieldText: {
            // The text ends at its first zero byte, at its field width, or at the end of the
            // buffer.
            if (!data || bytesAt(*data, 1) == nullptr) return false;
            const auto& buffer = source_->table[data->slot];
            std::size_t limit = buffer.size() - data->offset;
            if (length != 0) limit = std::min<std::size_t>(limit, length);
            const auto* p = reinterpret_cast<const char*>(buffer.data() + data->offset);
            std::size_t n = 0;
            while (n < limit && p[n] != '\0') ++n;
            row.dec = formatWithText(valueFormat, std::string_view(p, n));
            break;
        }
        case kFieldBytes: {
            const std::uint8_t* p = data ? bytesAt(*data, length) : nullptr;
            if (p == nullptr && length != 0) return false;
            std::string dec;
            std::string hex = "[";
            for (std::uint32_t i = 0; i < length; ++i) {
                dec += formatWithInt("%d ", p[i]);
                hex += formatWithInt("%02x ", p[i]);
            }
            row.dec = valueFormat.empty() ? dec : std::string(valueFormat);
            row.hex = hex + "]";
            break;
        }
        default:
            row.dec = std::string(valueFormat);
            break;
    }

    if (copyMode) {
        copyText += row.copyLine();
        copyText += copyLineEnd;
    }
    rows_.push_back(std::move(row));
    return true;
}

}  // namespace navtab
