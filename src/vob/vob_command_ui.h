// What the VOB commands need from the user interface beyond messages and questions: their option
// dialogs, the template's Save As dialog and a progress window. The window implements it with its
// dialogs, navtab-cli from its options and a progress bar on the terminal.
#pragma once

#include <memory>
#include <string>

#include "core/progress.h"
#include "vob/extras_dialog.h"
#include "vob/strip_choice.h"

namespace navtab::vob {

// Dialog 131: the tables Auto-Calc rewrites (all four on by default).
struct AutoCalcTables {
    bool vobuAdmap = true;  // "AutoCalc: VTS_VOBU_ADMAP"
    bool cellAdt = true;    // "AutoCalc: VTS_C_ADT"
    bool pgcit = true;      // "AutoCalc: VTS_PGCITI"
    bool tmapt = true;      // "AutoCalc: VTS_TMAPTI"
};

// Dialog 142: the picture types the encoder template lists.
struct FrameTypes {
    bool i = true;  // "I frames"
    bool p = true;  // "P frames"
    bool b = true;  // "B frames"
};

class VobCommandUi {
  public:
    virtual ~VobCommandUi() = default;
    // Each shows its dialog with the given choices ticked; false when the user cancelled.
    virtual bool chooseAutoCalcTables(AutoCalcTables& tables) = 0;
    virtual bool chooseFrameTypes(FrameTypes& types) = 0;
    // The Save As dialog of the template: `proposed` is the name it starts with, `filter` as for
    // UserInteraction; an existing file is taken only after the user agreed to replace it. Empty
    // when the user cancelled.
    virtual std::string chooseTemplateFile(const std::string& proposed,
                                           const std::string& filter) = 0;
    // The options dialog of VOB Extras and Menu Extras, and the strip dialog in the mode `dialog`
    // gives. Each edits what it is given; false when the user cancelled. Without such dialogs a
    // run is cancelled.
    virtual bool chooseExtrasOptions(ExtrasDialogState& /*state*/) { return false; }
    virtual bool chooseStrip(StripDialog& /*dialog*/) { return false; }
    // A progress window showing `text`, open until the result is destroyed.
    virtual std::unique_ptr<Progress> showProgress(const std::string& text) = 0;
};

}  // namespace navtab::vob
