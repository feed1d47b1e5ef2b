// The rows of the field list: every describer fills it through AddFieldRow, one row per field, and
// each row remembers which bytes of which table buffer it shows so that an editor can reach them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ifo_main.h"

namespace navtab {

enum FieldKind : int {
    kFieldByte = 1,   // 8-bit number
    kFieldWord = 2,   // 16-bit big-endian number
    kFieldDword = 3,  // 32-bit big-endian number
    kFieldText = 4,   // text read through the value format
    kFieldBytes = 5,  // run of `length` bytes
    kFieldNote = 6,   // heading or computed text, no bytes behind it
};

// A position inside one table buffer of the shown file: the slot (table id) and the byte offset.
// Rows hold this rather than a pointer, so a row can never outlive the bytes it names.
struct ByteRef {
    int slot = ID_MAT;
    std::uint32_t offset = 0;
    bool operator==(const ByteRef&) const = default;
};

struct FieldRow {
    int kind = kFieldNote;
    std::uint32_t length = 0;
    bool editable = false;
    std::optional<ByteRef> data;
    std::optional<std::uint32_t> addressValue;  // what the Address column shows, as a number
    std::string address;
    std::string description;
    std::string dec;
    std::string hex;

    // The row as Copy2Clipboard writes it, without the line end.
    std::string copyLine() const;
};

class FieldList {
  public:
    // Removes every row (and resets the insertion index).
    void ClearFieldList();

    // Makes the Address column count from `base` inside the file `ifo`; every row that names bytes
    // is read from that file.
    void setTableBase(const ifo_t& ifo, ByteRef base);

    // Adds one row, or none when it is a reserved row and reserved rows are hidden, or when the
    // field's bytes do not lie inside the table buffer. Returns whether a row was added.
    bool AddFieldRow(std::string_view description, long long descriptionArg,
                     std::string_view valueFormat, int kind, std::optional<ByteRef> data,
                     std::uint32_t length);

    // A note row: a heading or computed text without bytes behind it.
    bool addNote(std::string_view description, std::string_view value = {}) {
        return AddFieldRow(description, 0, value, kFieldNote, std::nullopt, 0);
    }

    // A line of text shown as it is (never read as a format) in the Description column, with the
    // bytes it stands for as its data (the Address column stays blank). Overview lines are these.
    void addLine(std::string text, std::optional<ByteRef> data = std::nullopt);

    const std::vector<FieldRow>& rows() const { return rows_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    const ifo_t* source() const { return source_; }

    // The bytes behind a reference, or null when they do not lie inside the buffer.
    const std::uint8_t* bytesAt(ByteRef ref, std::uint32_t width) const;

    bool showReserved = false;
    // While set, every added row is also appended to copyText, each line ended by copyLineEnd.
    bool copyMode = false;
    std::string copyText;
    std::string copyLineEnd = "\r\n";

  private:
    std::vector<FieldRow> rows_;
    const ifo_t* source_ = nullptr;
    ByteRef tableBase_;
};

}  // namespace navtab
