// Progress of a long pass on a terminal: a one-line bar on standard error, drawn only when
// standard error is a terminal, and Ctrl-C turned into a clean cancel that the pass notices at
// its next unit of work (the default action, ending the process at once, is restored afterwards).
#pragma once

#include <csignal>
#include <string>

#include "core/progress.h"

namespace navtab::cli {

class TerminalProgress : public Progress {
  public:
    TerminalProgress();
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void SetRange(int lower, int upper, int step) override;
    int SetPos(int pos) override;
    int OffsetPos(int delta) override;
    int StepIt() override;
    void SetText(const std::string& text) override;
    void PeekAndPump(bool cancelOnEscape = true) override;
    bool Cancelled() const override;

    // Removes the bar so that a line of text can be written; the next update draws it again.
    void clearLine();

  private:
    void draw();

    ProgressState state_;
    std::string label_;
    bool tty_ = false;
    bool shown_ = false;
    int drawnPercent_ = -1;
    std::string drawnLabel_;
    struct sigaction previous_ {};
};

}  // namespace navtab::cli
