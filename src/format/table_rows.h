// Rows of one table shown relative to a base position: every describer of a record or table reads
// its fields through this, so no field is ever read outside the buffer that holds the record.
#pragma once

#include <cstdint>
#include <string_view>

#include "format/field_list.h"

namespace navtab {

class TableRows {
  public:
    TableRows(FieldList& list, ByteRef base) : list_(list), base_(base) {}

    ByteRef at(std::uint32_t offset) const { return {base_.slot, base_.offset + offset}; }

    // The bytes of a field, or null when they lie outside the buffer (or the offset overflows).
    const std::uint8_t* bytes(std::uint32_t offset, std::uint32_t width) const {
        if (std::uint64_t{base_.offset} + offset > 0xFFFFFFFFu) return nullptr;
        return list_.bytesAt(at(offset), width);
    }
    bool inside(std::uint32_t offset, std::uint32_t width) const {
        return bytes(offset, width) != nullptr;
    }

    bool byte(std::string_view label, long long arg, std::uint32_t offset,
              std::string_view format = {}) {
        return field(label, arg, kFieldByte, offset, 1, format);
    }
    bool word(std::string_view label, long long arg, std::uint32_t offset,
              std::string_view format = {}) {
        return field(label, arg, kFieldWord, offset, 2, format);
    }
    bool dword(std::string_view label, long long arg, std::uint32_t offset,
               std::string_view format = {}) {
        return field(label, arg, kFieldDword, offset, 4, format);
    }
    bool run(std::string_view label, long long arg, std::uint32_t offset, std::uint32_t length,
             std::string_view label2 = {}) {
        return field(label, arg, kFieldBytes, offset, length, label2);
    }
    bool text(std::string_view label, long long arg, std::uint32_t offset, std::uint32_t width,
              std::string_view format) {
        return field(label, arg, kFieldText, offset, width, format);
    }
    // A note row; its value is shown as it is.
    void note(std::string_view label, long long arg = 0, std::string_view value = {}) {
        list_.AddFieldRow(label, arg, value, kFieldNote, std::nullopt, 0);
    }

    FieldList& list() { return list_; }

  private:
    bool field(std::string_view label, long long arg, int kind, std::uint32_t offset,
               std::uint32_t width, std::string_view format) {
        // True when the field lies inside the buffer, whether or not it is hidden as reserved.
        if (!inside(offset, width)) return false;
        const bool sized = kind == kFieldBytes || kind == kFieldText;
        list_.AddFieldRow(label, arg, format, kind, at(offset), sized ? width : 0);
        return true;
    }

    FieldList& list_;
    ByteRef base_;
};

inline std::string_view yesNo(bool b) {
    return b ? "yes" : "no";
}

}  // namespace navtab
