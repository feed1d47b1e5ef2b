#include "ui/video_window.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <utility>

namespace navtab::ui {

CVideoWindow::CVideoWindow() : QWidget(nullptr, Qt::Window) {
    setWindowTitle(QStringLiteral("Video Window"));
    setObjectName(QStringLiteral("EventWindow"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(720, 540);
}

void CVideoWindow::showPicture(QImage picture) {
    picture_ = std::move(picture);
    update();
}

QRect CVideoWindow::pictureRect() const {
    QRect r(QPoint(0, 0), picture_.size());
    r.moveCenter(rect().center());
    return r;
}

void CVideoWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect at = pictureRect();
    // Black around the picture; the pipeline draws it at the window's size, so no scaling here.
    p.fillRect(rect(), Qt::black);
    if (!picture_.isNull()) p.drawImage(at.topLeft(), picture_);
}

void CVideoWindow::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        emit clicked(e->position().toPoint() - pictureRect().topLeft());
}

void CVideoWindow::keyPressEvent(QKeyEvent* e) {
    static constexpr std::pair<int, int> kKeys[] = {
        {Qt::Key_Up, 0},    {Qt::Key_Down, 1},   {Qt::Key_Left, 2},
        {Qt::Key_Right, 3}, {Qt::Key_Return, 4}, {Qt::Key_Enter, 4},
    };
    for (const auto& [key, meaning] : kKeys) {
        if (e->key() == key) {
            emit menuKey(meaning);
            return;
        }
    }
    QWidget::keyPressEvent(e);
}

void CVideoWindow::resizeEvent(QResizeEvent*) {
    emit resized(size());
}

}  // namespace navtab::ui
