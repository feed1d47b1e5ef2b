// The hex editor control: an address column, a hexadecimal column and a text column drawn from a
// HexEditBuffer, with a caret, mouse and keyboard selection, a context menu and the clipboard
// (the private format "BinaryData" beside plain text).
#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <cstdint>
#include <span>
#include <vector>

#include "core/hex_edit_buffer.h"

class QMenu;

namespace navtab::ui {

class HexEditCtrl : public QAbstractScrollArea {
    Q_OBJECT
  public:
    static constexpr const char* kBinaryFormat = "BinaryData";

    explicit HexEditCtrl(QWidget* parent = nullptr);

    void SetData(std::span<const std::uint8_t> bytes);
    std::size_t GetData(std::uint8_t* destination, std::size_t capacity) const;
    std::vector<std::uint8_t> data() const { return buffer_.bytes(); }
    void SetOptions(bool showAddress, bool showHex, bool showText, bool wideAddresses);
    void SetBytesPerRow(int n);

    HexEditBuffer& buffer() { return buffer_; }
    const HexEditBuffer& buffer() const { return buffer_; }

    // The commands of the context menu and of their keys.
    void Copy();
    void Cut();
    void Paste();
    void Delete();
    void SelectAll();
    // The context menu with its items enabled for the current state (not yet shown).
    QMenu* createContextMenu();

    int charWidth() const { return charWidth_; }
    int lineHeight() const { return lineHeight_; }

  protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    std::optional<HexHit> hitAt(QPoint pos) const;
    void changed();  // after any change of bytes, caret, selection or view
    void updateScrollBar();

    HexEditBuffer buffer_;
    int charWidth_ = 8;
    int lineHeight_ = 12;
    bool pressed_ = false;
    bool dragging_ = false;
    QPoint pressPos_;
    bool syncingScrollBar_ = false;
};

}  // namespace navtab::ui
