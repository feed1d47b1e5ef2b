// The image builder's own window, "DVD Image/DVD-R/DLT Builder, 1.61": three edit fields in this
// child order (the source folder, the image file, the volume label), the buttons "Create Disc
// Image" and "Create Disc Image and Write to Disc", a progress bar fed from the image program's
// percentage lines and a pane with everything the program writes. It stays open after a run and
// can be used by hand; closing it while a program runs cancels the run first.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "core/progress.h"

class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace navtab::ui {

struct BuilderPrograms {
    QString builder;  // the image program
    QString burner;   // growisofs; empty when it is not installed
    QString drive;    // the first optical drive; empty when there is none
};

class CBuilderWindow : public QWidget, public Progress {
    Q_OBJECT
  public:
    static constexpr const char* kTitle = "DVD Image/DVD-R/DLT Builder, 1.61";

    explicit CBuilderWindow(const BuilderPrograms& programs);
    ~CBuilderWindow() override;

    // The open builder window, or null.
    static CBuilderWindow* find();

    QLineEdit* sourceEdit() const { return source_; }
    QLineEdit* imageEdit() const { return image_; }
    QLineEdit* labelEdit() const { return label_; }
    QPushButton* createButton() const { return create_; }
    QPushButton* createAndWriteButton() const { return createAndWrite_; }
    QProgressBar* bar() const { return bar_; }
    QPlainTextEdit* log() const { return log_; }
    bool running() const { return running_; }
    // The outcome of the last run ("" before any).
    QString lastResult() const { return lastResult_; }
    bool lastRunSucceeded() const { return lastOk_; }

    // Builds the image from the fields and, with `write`, writes it to the disc.
    void run(bool write);

    void SetRange(int lower, int upper, int step) override;
    int SetPos(int pos) override;
    int OffsetPos(int delta) override;
    int StepIt() override;
    void SetText(const std::string& text) override;
    void PeekAndPump(bool cancelOnEscape = true) override;
    bool Cancelled() const override { return cancelled_; }

  signals:
    void runFinished(bool ok);

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    void appendLog(const QString& line);
    void setRunning(bool running);
    bool finish(bool ok, const QString& text);

    BuilderPrograms programs_;
    QLineEdit* source_;
    QLineEdit* image_;
    QLineEdit* label_;
    QPushButton* create_;
    QPushButton* createAndWrite_;
    QPushButton* cancel_;
    QProgressBar* bar_;
    QPlainTextEdit* log_;
    QString writeUnavailable_;
    QString lastResult_;
    bool lastOk_ = false;
    bool running_ = false;
    bool cancelled_ = false;
    bool closeAfterRun_ = false;
};

}  // namespace navtab::ui
