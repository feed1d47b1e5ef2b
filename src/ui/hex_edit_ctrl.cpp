#include "ui/hex_edit_ctrl.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "ui/fixed_font.h"

namespace navtab::ui {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

std::span<const std::uint8_t> asBytes(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

}  // namespace

HexEditCtrl::HexEditCtrl(QWidget* parent) : QAbstractScrollArea(parent) {
    const QFont font = fixedFont();
    setFont(font);
    viewport()->setFont(font);
    const QFontMetrics metrics(font);
    charWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
    lineHeight_ = std::max(1, metrics.height());
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Wide enough for sixteen bytes a row with every column shown.
    HexLayout widest;
    widest.bytesPerRow = HexEditBuffer::kMaxBytesPerRow;
    setMinimumWidth((widest.width() + 1) * charWidth_ + verticalScrollBar()->sizeHint().width() +
                    2 * frameWidth());
}

void HexEditCtrl::SetData(std::span<const std::uint8_t> bytes) {
    buffer_.setData(bytes);
    changed();
}

std::size_t HexEditCtrl::GetData(std::uint8_t* destination, std::size_t capacity) const {
    return buffer_.getData(destination, capacity);
}

void HexEditCtrl::SetOptions(bool showAddress, bool showHex, bool showText, bool wideAddresses) {
    buffer_.setOptions(showAddress, showHex, showText, wideAddresses);
    changed();
}

void HexEditCtrl::SetBytesPerRow(int n) {
    buffer_.setBytesPerRow(n);
    changed();
}

void HexEditCtrl::changed() {
    updateScrollBar();
    viewport()->update();
}

void HexEditCtrl::updateScrollBar() {
    syncingScrollBar_ = true;
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, buffer_.rowCount() - buffer_.pageRows()));
    bar->setPageStep(buffer_.pageRows());
    bar->setSingleStep(1);
    bar->setValue(buffer_.top() / buffer_.layout().bytesPerRow);
    QScrollBar* across = horizontalScrollBar();
    across->setRange(
        0, std::max(0, (buffer_.layout().width() + 1) * charWidth_ - viewport()->width()));
    across->setPageStep(viewport()->width());
    across->setSingleStep(charWidth_);
    syncingScrollBar_ = false;
}

void HexEditCtrl::scrollContentsBy(int, int) {
    if (!syncingScrollBar_) buffer_.scrollToRow(verticalScrollBar()->value());
    viewport()->update();
}

void HexEditCtrl::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    buffer_.setPageRows(viewport()->height() / lineHeight_);
    updateScrollBar();
}

void HexEditCtrl::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const QPalette& pal = palette();
    p.fillRect(viewport()->rect(), pal.color(QPalette::Base));
    p.translate(-horizontalScrollBar()->value(), 0);
    const QFontMetrics metrics(font());
    const HexLayout& layout = buffer_.layout();
    const int perRow = layout.bytesPerRow;
    const int ascent = metrics.ascent();
    const bool hexCaret = buffer_.inHexColumn();
    const bool textCaret = buffer_.mode() == HexCaretMode::Text;

    auto cell = [&](int column, int y, const QString& text, bool selected) {
        const QRect r(column * charWidth_, y, static_cast<int>(text.size()) * charWidth_,
                      lineHeight_);
        if (selected) p.fillRect(r, pal.color(QPalette::Highlight));
        p.setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
        p.drawText(r.x(), y + ascent, text);
    };

    const int rows = viewport()->height() / lineHeight_ + 1;
    for (int row = 0; row < rows; ++row) {
        const int first = buffer_.top() + row * perRow;
        if (first >= buffer_.length()) break;
        const int y = row * lineHeight_;
        if (layout.showAddress)
            cell(0, y,
                 QStringLiteral("%1")
                     .arg(first, layout.addressDigits(), 16, QLatin1Char('0'))
                     .toUpper(),
                 false);
        for (int i = 0; i < perRow && first + i < buffer_.length(); ++i) {
            const int offset = first + i;
            const std::uint8_t b = buffer_.bytes()[static_cast<std::size_t>(offset)];
            const bool selected = buffer_.isSelected(offset);
            if (layout.showHex) {
                const QString text = QString(QLatin1Char(kDigits[b >> 4])) +
                                     QLatin1Char(kDigits[b & 0x0F]) + QLatin1Char(' ');
                cell(layout.hexColumn() + 3 * i, y, text, selected && hexCaret);
            }
            if (layout.showText) {
                const QChar c = HexEditBuffer::printable(b) ? QChar(b) : QLatin1Char('.');
                cell(layout.textColumn() + i, y, QString(c), selected && textCaret);
            }
        }
    }

    // The caret: a bar before the nibble or character it is on.
    const int caret = buffer_.caret();
    const int caretRow = (caret - buffer_.top()) / perRow;
    if (hasFocus() && caret >= buffer_.top() && caretRow < rows) {
        const int i = caret % perRow;
        int column = 0;
        switch (buffer_.mode()) {
            case HexCaretMode::Address:
                column = 0;
                break;
            case HexCaretMode::Text:
                column = layout.textColumn() + i;
                break;
            case HexCaretMode::HexHigh:
                column = layout.hexColumn() + 3 * i;
                break;
            case HexCaretMode::HexLow:
                column = layout.hexColumn() + 3 * i + 1;
                break;
        }
        p.fillRect(column * charWidth_, caretRow * lineHeight_, 2, lineHeight_,
                   pal.color(QPalette::Text));
    }
}

bool HexEditCtrl::event(QEvent* e) {
    // Tab switches columns here instead of moving the focus.
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            buffer_.switchColumn();
            changed();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void HexEditCtrl::keyPressEvent(QKeyEvent* e) {
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (ctrl && (e->key() == Qt::Key_C || e->key() == Qt::Key_X || e->key() == Qt::Key_V ||
                 e->key() == Qt::Key_Z || e->key() == Qt::Key_A)) {
        if (e->key() == Qt::Key_C) Copy();  // both only with a selection
        if (e->key() == Qt::Key_X) Cut();
        if (e->key() == Qt::Key_V) Paste();
        if (e->key() == Qt::Key_A) SelectAll();
        return;  // Ctrl+Z: there is nothing to undo
    }
    auto move = [&](HexMove how) { buffer_.move(how, shift); };
    switch (e->key()) {
        case Qt::Key_Left:
            move(HexMove::Left);
            break;
        case Qt::Key_Right:
            move(HexMove::Right);
            break;
        case Qt::Key_Up:
            move(HexMove::Up);
            break;
        case Qt::Key_Down:
            move(HexMove::Down);
            break;
        case Qt::Key_PageUp:
            move(HexMove::PageUp);
            break;
        case Qt::Key_PageDown:
            move(HexMove::PageDown);
            break;
        case Qt::Key_Home:
            move(ctrl ? HexMove::First : HexMove::RowStart);
            break;
        case Qt::Key_End:
            move(ctrl ? HexMove::Last : HexMove::RowEnd);
            break;
        case Qt::Key_Insert:
            if (e->modifiers() != Qt::NoModifier) return QAbstractScrollArea::keyPressEvent(e);
            buffer_.insertZeros();
            break;
        case Qt::Key_Delete:
            buffer_.deleteKey();
            break;
        case Qt::Key_Backspace:
            buffer_.backspace();
            break;
        default: {
            // Escape, Enter and the menu key belong to the window and the context menu.
            const QString text = e->text();
            if (ctrl || (e->modifiers() & Qt::AltModifier) || text.size() != 1)
                return QAbstractScrollArea::keyPressEvent(e);
            const char16_t c = text[0].unicode();
            if (c < 0x20 || c == 0x7F || c > 0xFF) return QAbstractScrollArea::keyPressEvent(e);
            buffer_.typeCharacter(static_cast<std::uint8_t>(c));
            break;
        }
    }
    changed();
}

std::optional<HexHit> HexEditCtrl::hitAt(QPoint pos) const {
    if (pos.y() < 0) return std::nullopt;
    const int x = pos.x() + horizontalScrollBar()->value();
    if (x < 0) return std::nullopt;
    return buffer_.hitTest(x / charWidth_, pos.y() / lineHeight_);
}

void HexEditCtrl::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(e);
    setFocus(Qt::MouseFocusReason);
    pressed_ = true;
    dragging_ = false;
    pressPos_ = e->position().toPoint();
    if (auto hit = hitAt(pressPos_)) buffer_.press(*hit, e->modifiers() & Qt::ShiftModifier);
    changed();
}

void HexEditCtrl::mouseMoveEvent(QMouseEvent* e) {
    if (!pressed_ || !(e->buttons() & Qt::LeftButton)) return;
    QPoint pos = e->position().toPoint();
    if (!dragging_ && (pos - pressPos_).manhattanLength() < QApplication::startDragDistance())
        return;
    dragging_ = true;
    // Leaving the window at the top or the bottom scrolls by a row.
    const int topRow = buffer_.top() / buffer_.layout().bytesPerRow;
    if (pos.y() < 0) {
        buffer_.scrollToRow(topRow - 1);
        pos.setY(0);
    } else if (pos.y() >= viewport()->height()) {
        buffer_.scrollToRow(topRow + 1);
        pos.setY(std::max(0, buffer_.pageRows() - 1) * lineHeight_);
    }
    if (auto hit = hitAt(pos)) buffer_.dragTo(*hit);
    changed();
}

void HexEditCtrl::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QAbstractScrollArea::mouseReleaseEvent(e);
    pressed_ = dragging_ = false;
    e->accept();
}

void HexEditCtrl::Copy() {
    if (!buffer_.hasSelection()) return;
    const std::vector<std::uint8_t> bytes = buffer_.selectedBytes();
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kBinaryFormat),
                  QByteArray(reinterpret_cast<const char*>(bytes.data()),
                             static_cast<qsizetype>(bytes.size())));
    mime->setText(QString::fromStdString(buffer_.selectedText()));
    QApplication::clipboard()->setMimeData(mime);
}

void HexEditCtrl::Cut() {
    if (!buffer_.hasSelection()) return;
    Copy();
    buffer_.removeSelection();
    changed();
}

void HexEditCtrl::Paste() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (mime == nullptr) return;
    QByteArray bytes;
    if (mime->hasFormat(QString::fromLatin1(kBinaryFormat)))
        bytes = mime->data(QString::fromLatin1(kBinaryFormat));
    else if (mime->hasText())
        bytes = mime->text().toUtf8();  // the characters themselves, not read as hexadecimal
    else
        return;
    buffer_.paste(asBytes(bytes));
    changed();
}

void HexEditCtrl::Delete() {
    buffer_.removeSelection();
    changed();
}

void HexEditCtrl::SelectAll() {
    buffer_.selectAll();
    changed();
}

QMenu* HexEditCtrl::createContextMenu() {
    auto* menu = new QMenu(this);
    const bool selection = buffer_.hasSelection();
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    const bool pastable =
        mime != nullptr && (mime->hasText() || mime->hasFormat(QString::fromLatin1(kBinaryFormat)));
    menu->addAction(QStringLiteral("&Undo"))->setEnabled(false);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Cu&t"), this, &HexEditCtrl::Cut)->setEnabled(selection);
    menu->addAction(QStringLiteral("&Copy"), this, &HexEditCtrl::Copy)->setEnabled(selection);
    menu->addAction(QStringLiteral("&Paste"), this, &HexEditCtrl::Paste)->setEnabled(pastable);
    menu->addAction(QStringLiteral("&Delete"), this, &HexEditCtrl::Delete)->setEnabled(selection);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Select &All"), this, &HexEditCtrl::SelectAll);
    return menu;
}

void HexEditCtrl::contextMenuEvent(QContextMenuEvent* e) {
    // From the keyboard the menu opens just inside the top-left corner.
    const QPoint at = e->reason() == QContextMenuEvent::Keyboard ? QPoint(5, 5) : e->pos();
    QMenu* menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(viewport()->mapToGlobal(at));
}

}  // namespace navtab::ui
