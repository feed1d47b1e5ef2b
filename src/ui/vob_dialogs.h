// The VOB commands in the window: the dialogs and progress windows they need (the options and strip
// dialogs of VOB Extras and Menu Extras among them), and the handlers of
// the buttons "Create Tmpg T." and (hidden) "Auto-Calc Sector's". The scanner log of Auto-Calc
// is written to the file scanLogPath() names.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "vob/vob_command_ui.h"

namespace navtab {
class BrowserSession;
}

namespace navtab::ui {

class QtVobDialogs : public vob::VobCommandUi {
  public:
    explicit QtVobDialogs(QWidget* parent) : parent_(parent) {}

    bool chooseAutoCalcTables(vob::AutoCalcTables& tables) override;
    bool chooseFrameTypes(vob::FrameTypes& types) override;
    std::string chooseTemplateFile(const std::string& proposed, const std::string& filter) override;
    bool chooseExtrasOptions(vob::ExtrasDialogState& state) override;
    bool chooseStrip(vob::StripDialog& dialog) override;
    std::unique_ptr<Progress> showProgress(const std::string& text) override;

  private:
    QPointer<QWidget> parent_;
};

// navtab-scan.log in the program's data folder (~/.local/share/Navtab on Linux).
QString scanLogPath();

void OnCreateTemplate(QWidget* window, BrowserSession& session);
void OnAutoCalc(QWidget* window, BrowserSession& session);

}  // namespace navtab::ui
