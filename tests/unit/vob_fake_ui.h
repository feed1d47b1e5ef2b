// A stand-in for the window's VOB dialogs: the answers are set by the test, and the progress
// window only records its texts (and can report a cancel).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vob/vob_command_ui.h"

namespace navtab::test {

// The dialogs of the command, answered by the test.
class FakeDialogs : public vob::VobCommandUi {
  public:
    class NoProgress : public Progress {
      public:
        explicit NoProgress(std::vector<std::string>& texts) : texts_(texts) {}
        void SetRange(int, int, int) override {}
        int SetPos(int) override { return 0; }
        int OffsetPos(int) override { return 0; }
        int StepIt() override { return 0; }
        void SetText(const std::string& t) override { texts_.push_back(t); }
        void PeekAndPump(bool) override {}
        bool Cancelled() const override { return cancelled; }
        bool cancelled = false;

      private:
        std::vector<std::string>& texts_;
    };

    bool chooseAutoCalcTables(vob::AutoCalcTables& t) override {
        ++asked;
        offered = t;
        return answer;
    }
    bool chooseFrameTypes(vob::FrameTypes& t) override {
        ++asked;
        t = types;
        return answer;
    }
    std::string chooseTemplateFile(const std::string& proposed,
                                   const std::string& filter) override {
        fileAsked = proposed + " | " + filter;
        return templateFile;
    }
    std::unique_ptr<Progress> showProgress(const std::string& text) override {
        windows.push_back(text);
        auto p = std::make_unique<NoProgress>(texts);
        p->cancelled = cancel;
        return p;
    }

    // The run's dialogs: each answer edits what it is shown (set by the test), or cancels.
    bool chooseExtrasOptions(vob::ExtrasDialogState& s) override {
        if (extrasOptions) extrasOptions(s);
        return answer;
    }
    bool chooseStrip(vob::StripDialog& d) override {
        stripModes.push_back(d.mode);
        if (strip) strip(d);
        return answer;
    }
    std::function<void(vob::ExtrasDialogState&)> extrasOptions;
    std::function<void(vob::StripDialog&)> strip;
    std::vector<vob::StripMode> stripModes;

    bool answer = true;
    bool cancel = false;  // the progress windows report a cancel
    int asked = 0;
    vob::AutoCalcTables offered{false, false, false, false};
    vob::FrameTypes types;
    std::string templateFile, fileAsked;
    std::vector<std::string> windows, texts;
};

}  // namespace navtab::test
