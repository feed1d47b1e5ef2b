// Stand-ins for the window's progress window, which records what it is told and can report a
// cancel, and for its VOB dialogs, whose answers are set by the test.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vob/vob_command_ui.h"

namespace navtab::test {

// A progress window that records its texts and last position, and reports a cancel once it was
// pumped `cancelAfter` times (never when negative).
class TestProgress : public Progress {
  public:
    void SetRange(int, int, int) override {}
    int SetPos(int pos) override { return last = pos; }
    int OffsetPos(int) override { return 0; }
    int StepIt() override { return 0; }
    void SetText(const std::string& t) override { texts.push_back(t); }
    void PeekAndPump(bool) override { ++pumps; }
    bool Cancelled() const override { return cancelAfter >= 0 && pumps >= cancelAfter; }
    std::vector<std::string> texts;
    int pumps = 0, cancelAfter = -1, last = -1;
};

class FakeDialogs : public vob::VobCommandUi {
  public:
    bool chooseAutoCalcTables(vob::AutoCalcTables&) override { return ++asked, answer; }
    bool chooseFrameTypes(vob::FrameTypes& t) override {
        t = types;
        return ++asked, answer;
    }
    std::string chooseTemplateFile(const std::string& proposed,
                                   const std::string& filter) override {
        fileAsked = proposed + " | " + filter;
        return templateFile;
    }
    std::unique_ptr<Progress> showProgress(const std::string& text) override {
        windows.push_back(text);
        auto progress = std::make_unique<TestProgress>();
        progress->cancelAfter = cancel ? 0 : -1;
        return progress;
    }
    // The run's options dialog: `extrasOptions` edits what it is shown.
    bool chooseExtrasOptions(vob::ExtrasDialogState& s) override {
        if (extrasOptions) extrasOptions(s);
        return answer;
    }
    bool chooseStrip(vob::StripDialog&) override { return answer; }

    std::function<void(vob::ExtrasDialogState&)> extrasOptions;
    bool answer = true;
    bool cancel = false;  // the progress windows report a cancel
    int asked = 0;
    vob::FrameTypes types;
    std::string templateFile, fileAsked;
    std::vector<std::string> windows;
};

}  // namespace navtab::test
