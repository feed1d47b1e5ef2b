// The progress window of a long-running tool: a message, a bar whose percentage also shows in the
// caption, and a cancel button (or Escape). Its position is remembered in the settings file under
// "Settings", "X" and "Y".
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/progress.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace navtab::ui {

class CProgressWindow : public QWidget, public Progress {
    Q_OBJECT
  public:
    static constexpr int kWidth = 390;
    static constexpr int kMargin = 10;

    // Creates and shows the window, at its remembered place when that lies on a screen, else
    // centred on `parent`.
    explicit CProgressWindow(QWidget* parent = nullptr,
                             const QString& title = QStringLiteral("Progress"),
                             bool smooth = false);
    // Saves the position (when remembered) and enables the main window again.
    ~CProgressWindow() override;

    void SetRange(int lower, int upper, int step) override;
    int SetPos(int pos) override;
    int OffsetPos(int delta) override;
    int StepIt() override;
    int SetStep(int step);
    void SetText(const std::string& text) override;
    void Clear();
    void Show();
    void Hide();
    void PeekAndPump(bool cancelOnEscape = true) override;
    bool Cancelled() const override { return cancelled_; }
    void Cancel();

    // While modal, the main window is disabled.
    void setModalMode(bool modal);
    void setRememberPosition(bool remember) { rememberPosition_ = remember; }
    void setCancelText(const QString& text);

    const ProgressState& state() const { return state_; }
    QString baseTitle() const { return title_; }
    QLabel* messageLabel() const { return message_; }
    QProgressBar* bar() const { return bar_; }
    QPushButton* cancelButton() const { return cancel_; }

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void layOut();
    void place();
    void showPercent();

    QPointer<QWidget> mainWindow_;
    QString title_;
    ProgressState state_;
    int lines_ = 4;
    bool cancelled_ = false;
    bool modal_ = false;
    bool rememberPosition_ = true;
    bool cancelOnEscape_ = false;
    QLabel* message_;
    QProgressBar* bar_;
    QPushButton* cancel_;
};

}  // namespace navtab::ui
