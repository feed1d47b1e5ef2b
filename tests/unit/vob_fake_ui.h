// A stand-in for the window's VOB dialogs: the answers are set by the test, and the progress
// window only records its texts (and can report a cancel).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vob/vob_command_ui.h"

namespace navtab::test {

class FakeDialogs : public vob::VobCommandUi {
  public:
    class NoProgress : public Progress {
      public:
        NoProgress(std::vector<std::string>& texts, bool cancelled)
            : texts_(texts), cancelled_(cancelled) {}
        void SetRange(int, int, int) override {}
        int SetPos(int) override { return 0; }
        int OffsetPos(int) override { return 0; }
        int StepIt() override { return 0; }
        void SetText(const std::string& t) override { texts_.push_back(t); }
        void PeekAndPump(bool) override {}
        bool Cancelled() const override { return cancelled_; }

      private:
        std::vector<std::string>& texts_;
        bool cancelled_;
    };

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
        return std::make_unique<NoProgress>(texts, cancel);
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
    std::vector<std::string> windows, texts;
};

}  // namespace navtab::test
