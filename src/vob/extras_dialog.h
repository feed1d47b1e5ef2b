// The options dialog of VOB Extras and Menu Extras as a model: which boxes are checked, shown and
// enabled, the interlocks between them and the destination text that follows them. The window
// draws it; the command line sets it from its options; the tests click it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vob/extras_options.h"

namespace navtab::vob {

enum class ExtrasBox {
    Remux,
    StripStreams,
    CorrectNavPacks,
    CorrectTables,
    StripVobIds,
    StripLanguageUnits,
    CreateNew,
    RemovePuops,
    RebuildPts,
    RemoveAnglePointers,
    AdjustAnglePointers,
    AdjustVobuPointers,
    AdjustSyncPointers,
    RemoveAngles,
};

struct ExtrasBoxInfo {
    ExtrasBox box;
    int controlId;
    std::string_view label;
    bool ExtrasOptions::*flag;
};

// Every box with its control id and label, in the order the dialog shows them.
const std::vector<ExtrasBoxInfo>& extrasBoxes();

class ExtrasDialogState {
  public:
    // VOB Extras on the title set `ifoPath` with `angles` angles; Menu Extras on `ifoPath`.
    static ExtrasDialogState forVobExtras(const std::string& ifoPath, int angles);
    static ExtrasDialogState forMenuExtras(const std::string& ifoPath);

    bool checked(ExtrasBox box) const;
    bool visible(ExtrasBox box) const;
    bool enabled(ExtrasBox box) const;
    // A click that leaves the box `checked`, with its interlocks.
    void click(ExtrasBox box, bool checked);

    bool destinationEnabled() const;
    bool videoSourceEnabled() const;
    bool keepAngleEnabled() const;
    // "Angle 1" ... "Angle n" for the "Keep Angle:" list.
    std::vector<std::string> keepAngleItems() const;

    ExtrasOptions options;
    int angles = 1;

  private:
    bool& flag(ExtrasBox box);
    // The destination ends in "_0.IFO" when only the create-new option writes, else "_1.VOB".
    void followDestinationSuffix();
};

}  // namespace navtab::vob
