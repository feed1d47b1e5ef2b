// Everything the hex editor does to its bytes, without drawing: the caret that moves by nibble in
// the hexadecimal column and by byte in the text column, the selection, typing, inserting and
// deleting, and the bytes and text that go to and come from the clipboard. The window only turns
// keys, clicks and paint requests into calls of this class.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace navtab {

enum class HexCaretMode { Address = 0, Text = 1, HexHigh = 2, HexLow = 3 };

// Where the columns lie, counted in characters from the left edge.
struct HexLayout {
    int bytesPerRow = 8;
    bool showAddress = true;
    bool showHex = true;
    bool showText = true;
    bool wideAddresses = true;  // 8 address digits, else 4

    int addressDigits() const { return wideAddresses ? 8 : 4; }
    int hexColumn() const { return showAddress ? addressDigits() + 1 : 0; }
    int textColumn() const { return hexColumn() + (showHex ? 3 * bytesPerRow : 0); }
    int width() const { return textColumn() + (showText ? bytesPerRow : 0); }
};

struct HexHit {
    int offset = 0;
    HexCaretMode mode = HexCaretMode::HexHigh;
};

enum class HexMove { Left, Right, Up, Down, PageUp, PageDown, RowStart, RowEnd, First, Last };

class HexEditBuffer {
  public:
    static constexpr int kMaxBytesPerRow = 16;

    // Replaces the bytes by a copy; caret on the first high nibble, view at the top, no selection.
    void setData(std::span<const std::uint8_t> bytes);
    // Copies min(capacity, length) bytes out and returns that count.
    std::size_t getData(std::uint8_t* destination, std::size_t capacity) const;
    const std::vector<std::uint8_t>& bytes() const { return data_; }
    int length() const { return static_cast<int>(data_.size()); }

    const HexLayout& layout() const { return layout_; }
    void setOptions(bool showAddress, bool showHex, bool showText, bool wideAddresses);
    void setBytesPerRow(int n);  // held to 1..16

    int caret() const { return caret_; }
    HexCaretMode mode() const { return mode_; }
    bool inHexColumn() const {
        return mode_ == HexCaretMode::HexHigh || mode_ == HexCaretMode::HexLow;
    }
    // The selection is [start, end); both are -1 when nothing is selected.
    bool hasSelection() const { return selStart_ >= 0 && selEnd_ > selStart_; }
    int selectionStart() const { return hasSelection() ? selStart_ : -1; }
    int selectionEnd() const { return hasSelection() ? selEnd_ : -1; }
    bool isSelected(int offset) const {
        return hasSelection() && offset >= selStart_ && offset < selEnd_;
    }

    // The view: the first byte shown (a multiple of the row length) and the rows a page holds.
    int top() const { return top_; }
    int rowCount() const;
    void setPageRows(int rows);
    int pageRows() const { return pageRows_; }
    void scrollToRow(int row);
    void scrollToCaret();

    // Keys.
    void move(HexMove how, bool extendSelection);
    void switchColumn();  // Tab: between the hexadecimal and the text column
    void insertZeros();   // Insert: as many zero bytes as are selected, or one
    void deleteKey();     // Delete: the selection, or the byte at the caret
    void backspace();     // the byte before the caret
    // A typed character: the byte in the text column, a nibble ("0".."9", "a".."f") in the
    // hexadecimal one. Clears the selection. Returns whether a byte changed.
    bool typeCharacter(std::uint8_t c);

    // Clipboard and the commands of the context menu.
    std::vector<std::uint8_t> selectedBytes() const;
    // The selection as text: in the text column the bytes with every unprintable one as ".", in
    // the hexadecimal column each byte as two upper-case digits and a blank.
    std::string selectedText() const;
    void removeSelection();  // caret to the selection's start, then the selected bytes go
    void paste(std::span<const std::uint8_t> bytes);
    void selectAll();
    void clearSelection();

    // Mouse: the byte under character column `column` of visible row `row`, if any.
    std::optional<HexHit> hitTest(int column, int row) const;
    // A press sets the caret; with `extend` the selection runs from the old caret to it.
    void press(const HexHit& hit, bool extend);
    // Dragging from the press position selects every byte between it and the hit, both included.
    void dragTo(const HexHit& hit);

    static bool printable(std::uint8_t b) { return b >= 0x20 && b < 0x7F; }

  private:
    void setCaret(int offset);
    void selectBetween(int anchor, int caret, bool inclusive);
    void insertAt(int offset, std::span<const std::uint8_t> bytes);
    void erase(int from, int to);
    void clampCaret();

    std::vector<std::uint8_t> data_;
    HexLayout layout_;
    int caret_ = 0;
    HexCaretMode mode_ = HexCaretMode::HexHigh;
    int selStart_ = -1;
    int selEnd_ = -1;
    int anchor_ = 0;
    int top_ = 0;
    int pageRows_ = 1;
};

}  // namespace navtab
