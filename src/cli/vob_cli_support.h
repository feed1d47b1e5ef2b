// What the VOB commands of navtab-cli share: loading a title set file, finding its title VOB
// files, and the log of the passes on standard error beside the progress bar.
#pragma once

#include <string>
#include <vector>

#include "cli/terminal_progress.h"
#include "core/document.h"
#include "core/user_interaction.h"
#include "vob/stream_scanner.h"

namespace navtab::cli {

// Loads a title set IFO (or BUP) file; null after printing why it cannot be used.
IfoHandle loadTitleSet(const std::string& path);

// The title VOB files beside a title set file; empty after printing that there are none.
std::vector<std::string> titleVobsOrFail(const std::string& ifoPath);

// A log sink that writes to standard error without tearing the progress bar.
vob::ScanLog stderrLog(TerminalProgress& progress);

// Keeps the messages of a pass instead of printing them, so that a failure is told in one line.
class QuietInteraction : public UserInteraction {
  public:
    void message(const std::string& text) override { last = text; }
    bool askYesNo(const std::string&) override { return false; }
    std::string last;
};

// Forwards to the one terminal progress bar of the command, which stays in place (with its Ctrl-C
// handling) from the copy to the last save.
class TerminalProgressView : public Progress {
  public:
    TerminalProgressView(TerminalProgress& bar, const std::string& title) : bar_(bar) {
        bar_.SetText(title);
        bar_.SetPos(0);
    }
    void SetRange(int lower, int upper, int step) override { bar_.SetRange(lower, upper, step); }
    int SetPos(int pos) override { return bar_.SetPos(pos); }
    int OffsetPos(int delta) override { return bar_.OffsetPos(delta); }
    int StepIt() override { return bar_.StepIt(); }
    void SetText(const std::string& text) override { bar_.SetText(text); }
    void PeekAndPump(bool cancelOnEscape) override { bar_.PeekAndPump(cancelOnEscape); }
    bool Cancelled() const override { return bar_.Cancelled(); }

  private:
    TerminalProgress& bar_;
};

// What is printed when the user pressed Ctrl-C; the exit status of such a run.
int cancelled(const std::string& what);

}  // namespace navtab::cli
