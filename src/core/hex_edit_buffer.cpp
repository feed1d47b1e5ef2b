#include "core/hex_edit_buffer.h"

#include <algorithm>

namespace navtab {

void HexEditBuffer::setData(std::span<const std::uint8_t> bytes) {
    data_.assign(bytes.begin(), bytes.end());
    caret_ = 0;
    mode_ = HexCaretMode::HexHigh;
    top_ = 0;
    clearSelection();
}

std::size_t HexEditBuffer::getData(std::uint8_t* destination, std::size_t capacity) const {
    const std::size_t n = std::min(capacity, data_.size());
    std::copy_n(data_.begin(), n, destination);
    return n;
}

void HexEditBuffer::setOptions(bool showAddress, bool showHex, bool showText, bool wideAddresses) {
    layout_.showAddress = showAddress;
    layout_.showHex = showHex;
    layout_.showText = showText;
    layout_.wideAddresses = wideAddresses;
}

void HexEditBuffer::setBytesPerRow(int n) {
    layout_.bytesPerRow = std::clamp(n, 1, kMaxBytesPerRow);
    top_ = 0;
    scrollToCaret();
}

int HexEditBuffer::rowCount() const {
    const int perRow = layout_.bytesPerRow;
    return (length() + perRow - 1) / perRow;
}

void HexEditBuffer::setPageRows(int rows) {
    pageRows_ = std::max(1, rows);
    scrollToRow(top_ / layout_.bytesPerRow);
}

void HexEditBuffer::scrollToRow(int row) {
    const int lastTop = std::max(0, rowCount() - pageRows_);
    top_ = std::clamp(row, 0, lastTop) * layout_.bytesPerRow;
}

void HexEditBuffer::scrollToCaret() {
    const int perRow = layout_.bytesPerRow;
    const int caretRow = caret_ / perRow;
    int topRow = top_ / perRow;
    if (caretRow < topRow) topRow = caretRow;
    if (caretRow >= topRow + pageRows_) topRow = caretRow - pageRows_ + 1;
    scrollToRow(topRow);
}

void HexEditBuffer::setCaret(int offset) {
    caret_ = offset;
    clampCaret();
}

void HexEditBuffer::clampCaret() {
    caret_ = std::clamp(caret_, 0, std::max(0, length() - 1));
}

void HexEditBuffer::clearSelection() {
    selStart_ = selEnd_ = -1;
    anchor_ = caret_;
}

void HexEditBuffer::selectBetween(int anchor, int caret, bool inclusive) {
    int from = std::min(anchor, caret);
    int to = std::max(anchor, caret) + (inclusive ? 1 : 0);
    to = std::min(to, length());
    if (from >= to) {
        selStart_ = selEnd_ = -1;
        return;
    }
    selStart_ = from;
    selEnd_ = to;
}

void HexEditBuffer::move(HexMove how, bool extendSelection) {
    const int old = caret_;
    const int perRow = layout_.bytesPerRow;
    const int last = std::max(0, length() - 1);
    const bool hex = inHexColumn();
    const int page = pageRows_ * perRow;
    switch (how) {
        case HexMove::Left:
            if (hex && mode_ == HexCaretMode::HexLow) {
                mode_ = HexCaretMode::HexHigh;
            } else if (caret_ > 0) {
                --caret_;
                if (hex) mode_ = HexCaretMode::HexLow;
            }
            break;
        case HexMove::Right:
            if (hex && mode_ == HexCaretMode::HexHigh) {
                mode_ = HexCaretMode::HexLow;
            } else if (caret_ < last) {
                ++caret_;
                if (hex) mode_ = HexCaretMode::HexHigh;
            }
            break;
        case HexMove::Up:
            if (caret_ >= perRow) caret_ -= perRow;
            break;
        case HexMove::Down:
            if (caret_ + perRow <= last)
                caret_ += perRow;
            else if (caret_ / perRow < last / perRow)
                caret_ = last;
            break;
        case HexMove::PageUp:
            scrollToRow(top_ / perRow - pageRows_);
            caret_ = caret_ >= page ? caret_ - page : caret_ % perRow;
            break;
        case HexMove::PageDown:
            scrollToRow(top_ / perRow + pageRows_);
            caret_ = std::min(caret_ + page, last);
            break;
        case HexMove::RowStart:
            caret_ -= caret_ % perRow;
            break;
        case HexMove::RowEnd:
            caret_ = std::min(caret_ - caret_ % perRow + perRow - 1, last);
            break;
        case HexMove::First:
            caret_ = 0;
            break;
        case HexMove::Last:
            caret_ = last;
            break;
    }
    if (hex && (how == HexMove::RowStart || how == HexMove::First || how == HexMove::RowEnd ||
                how == HexMove::Last))
        mode_ = HexCaretMode::HexHigh;
    clampCaret();
    if (extendSelection) {
        if (!hasSelection()) anchor_ = old;
        selectBetween(anchor_, caret_, false);
    } else {
        clearSelection();
    }
    scrollToCaret();
}

void HexEditBuffer::switchColumn() {
    mode_ = mode_ == HexCaretMode::Text ? HexCaretMode::HexHigh : HexCaretMode::Text;
}

void HexEditBuffer::insertAt(int offset, std::span<const std::uint8_t> bytes) {
    offset = std::clamp(offset, 0, length());
    data_.insert(data_.begin() + offset, bytes.begin(), bytes.end());
}

void HexEditBuffer::erase(int from, int to) {
    from = std::clamp(from, 0, length());
    to = std::clamp(to, from, length());
    data_.erase(data_.begin() + from, data_.begin() + to);
}

void HexEditBuffer::insertZeros() {
    const int count = hasSelection() ? selEnd_ - selStart_ : 1;
    const std::vector<std::uint8_t> zeros(static_cast<std::size_t>(count), 0);
    insertAt(caret_, zeros);
    clearSelection();
    scrollToCaret();
}

void HexEditBuffer::deleteKey() {
    if (hasSelection()) {
        removeSelection();
        return;
    }
    erase(caret_, caret_ + 1);
    clampCaret();
    clearSelection();
    scrollToCaret();
}

void HexEditBuffer::backspace() {
    clearSelection();
    if (caret_ <= 0 || caret_ > length()) return;
    erase(caret_ - 1, caret_);
    setCaret(caret_ - 1);
    clearSelection();
    scrollToCaret();
}

bool HexEditBuffer::typeCharacter(std::uint8_t c) {
    clearSelection();
    if (data_.empty()) return false;
    std::uint8_t& byte = data_[static_cast<std::size_t>(caret_)];
    switch (mode_) {
        case HexCaretMode::Address:
            return false;
        case HexCaretMode::Text:
            byte = c;
            setCaret(caret_ + 1);
            break;
        case HexCaretMode::HexHigh:
        case HexCaretMode::HexLow: {
            // Only the digits and the lower-case letters are nibbles; "A" is not.
            int nibble = -1;
            if (c >= '0' && c <= '9') nibble = c - '0';
            if (c >= 'a' && c <= 'f') nibble = c - 'a' + 10;
            if (nibble < 0) return false;
            if (mode_ == HexCaretMode::HexHigh)
                byte = static_cast<std::uint8_t>((byte & 0x0F) | (nibble << 4));
            else
                byte = static_cast<std::uint8_t>((byte & 0xF0) | nibble);
            move(HexMove::Right, false);
            break;
        }
    }
    clearSelection();
    scrollToCaret();
    return true;
}

std::vector<std::uint8_t> HexEditBuffer::selectedBytes() const {
    if (!hasSelection()) return {};
    return {data_.begin() + selStart_, data_.begin() + selEnd_};
}

std::string HexEditBuffer::selectedText() const {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t b : selectedBytes()) {
        if (mode_ == HexCaretMode::Text) {
            text += printable(b) ? static_cast<char>(b) : '.';
        } else {
            text += kDigits[b >> 4];
            text += kDigits[b & 0x0F];
            text += ' ';
        }
    }
    return text;
}

void HexEditBuffer::removeSelection() {
    if (!hasSelection()) return;
    caret_ = selStart_;
    erase(selStart_, selEnd_);
    clampCaret();
    clearSelection();
    scrollToCaret();
}

void HexEditBuffer::paste(std::span<const std::uint8_t> bytes) {
    int at = caret_;
    if (hasSelection()) {
        at = selStart_;
        erase(selStart_, selEnd_);
    } else if (mode_ == HexCaretMode::HexLow && !data_.empty()) {
        at = caret_ + 1;  // after the byte whose low nibble the caret is on
    }
    insertAt(at, bytes);
    clampCaret();
    clearSelection();
    scrollToCaret();
}

void HexEditBuffer::selectAll() {
    anchor_ = 0;
    selectBetween(0, length(), false);
}

std::optional<HexHit> HexEditBuffer::hitTest(int column, int row) const {
    const int perRow = layout_.bytesPerRow;
    if (row < 0 || column < 0) return std::nullopt;
    const int first = top_ + row * perRow;  // the row's first byte
    if (first >= length()) return std::nullopt;
    if (layout_.showAddress && column < layout_.addressDigits())
        return HexHit{first, HexCaretMode::Address};
    if (layout_.showHex) {
        const int r = column - layout_.hexColumn();
        if (r >= 0 && r < 3 * perRow) {
            int byte = r / 3;
            HexCaretMode mode = r % 3 == 1 ? HexCaretMode::HexLow : HexCaretMode::HexHigh;
            // The blank after a byte leads to the next byte's first digit, when there is one.
            if (r % 3 == 2) {
                if (byte + 1 < perRow && first + byte + 1 < length())
                    ++byte;
                else
                    mode = HexCaretMode::HexLow;
            }
            if (first + byte >= length()) return std::nullopt;
            return HexHit{first + byte, mode};
        }
    }
    if (layout_.showText) {
        const int r = column - layout_.textColumn();
        if (r >= 0 && r < perRow && first + r < length())
            return HexHit{first + r, HexCaretMode::Text};
    }
    return std::nullopt;
}

void HexEditBuffer::press(const HexHit& hit, bool extend) {
    const bool wasSelected = hasSelection();
    const int old = caret_;
    caret_ = hit.offset;
    mode_ = hit.mode;
    clampCaret();
    if (extend) {
        if (!wasSelected) anchor_ = old;
        selectBetween(anchor_, caret_, true);
    } else {
        clearSelection();
    }
}

void HexEditBuffer::dragTo(const HexHit& hit) {
    caret_ = hit.offset;
    mode_ = hit.mode;
    clampCaret();
    selectBetween(anchor_, caret_, true);
    scrollToCaret();
}

}  // namespace navtab
