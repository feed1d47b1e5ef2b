// The player's top-level video window: the pictures of the pipeline, drawn as they come at the
// window's size, and the mouse clicks and keys that answer a menu.
#pragma once

#include <QImage>
#include <QWidget>

namespace navtab::ui {

class CVideoWindow : public QWidget {
    Q_OBJECT
  public:
    CVideoWindow();

    void showPicture(QImage picture);
    const QImage& picture() const { return picture_; }
    // Where the picture lies in the window (centred, at its own size).
    QRect pictureRect() const;

  signals:
    // A click at this point of the picture (in its pixels).
    void clicked(QPoint at);
    // Arrow keys: 0 up, 1 down, 2 left, 3 right; Enter and Return: 4.
    void menuKey(int key);
    void resized(QSize size);

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    QImage picture_;
};

}  // namespace navtab::ui
