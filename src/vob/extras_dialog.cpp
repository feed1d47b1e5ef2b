#include "vob/extras_dialog.h"
#include "core/path_parts.h"

#include "core/text_printf.h"

namespace navtab::vob {
namespace {

constexpr std::string_view kVobSuffix = "_1.VOB";
constexpr std::string_view kIfoSuffix = "_0.IFO";

bool endsWith(const std::string& text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool navPackBox(ExtrasBox b) {
    switch (b) {
        case ExtrasBox::RemovePuops:
        case ExtrasBox::RebuildPts:
        case ExtrasBox::RemoveAnglePointers:
        case ExtrasBox::AdjustAnglePointers:
        case ExtrasBox::AdjustVobuPointers:
        case ExtrasBox::AdjustSyncPointers:
            return true;
        default:
            return false;
    }
}

}  // namespace

const std::vector<ExtrasBoxInfo>& extrasBoxes() {
    using O = ExtrasOptions;
    static const std::vector<ExtrasBoxInfo> boxes{
        {ExtrasBox::Remux, 1008, "Re-Mux", &O::remux},
        {ExtrasBox::StripStreams, 1011, "Strip Stream's", &O::stripStreams},
        {ExtrasBox::CorrectNavPacks, 1012,
         "Correct Vob-Unit (Navigation Pack) pointers in VOB-files", &O::correctNavPacks},
        {ExtrasBox::CorrectTables, 1013, "Correct IFO tables with new VOB-Unit information",
         &O::correctTables},
        {ExtrasBox::StripVobIds, 1014, "Strip VobID's", &O::stripVobIds},
        {ExtrasBox::StripLanguageUnits, 1015, "Strip Language Unit's", &O::stripLanguageUnits},
        {ExtrasBox::CreateNew, 1016, "Create new VIDEO_TS.IFO && VTS_01_0.IFO", &O::createNew},
        {ExtrasBox::RemovePuops, 1017, "Remove P-UOps", &O::removePuops},
        {ExtrasBox::RebuildPts, 1018, "Rebuild PTS (needed for CCE/TMpegEnc etc)", &O::rebuildPts},
        {ExtrasBox::RemoveAnglePointers, 1020, "Remove Angle pointers", &O::removeAnglePointers},
        {ExtrasBox::AdjustAnglePointers, 1023, "Adjust Angle pointers", &O::adjustAnglePointers},
        {ExtrasBox::AdjustVobuPointers, 1024, "Adjust Vob-Unit pointers", &O::adjustVobuPointers},
        {ExtrasBox::AdjustSyncPointers, 1025, "Adjust Audio/Subp point.", &O::adjustSyncPointers},
        {ExtrasBox::RemoveAngles, 1026, "Remove Angles", &O::removeAngles},
    };
    return boxes;
}

ExtrasDialogState ExtrasDialogState::forVobExtras(const std::string& ifoPath, int angles) {
    ExtrasDialogState s;
    s.angles = angles < 1 ? 1 : angles;
    s.options.destination = fileNameOf(ifoPath).substr(0, 6) + std::string(kVobSuffix);
    return s;
}

ExtrasDialogState ExtrasDialogState::forMenuExtras(const std::string& ifoPath) {
    ExtrasDialogState s;
    s.options.menu = true;
    s.options.stripLanguageUnits = true;
    s.options.stripVobIds = true;
    s.options.remux = false;
    s.options.stripStreams = false;
    s.options.createNew = false;
    s.options.rebuildPts = false;
    s.options.destination = fileNameOf(ifoPath).substr(0, 8) + ".VOB";
    return s;
}

bool& ExtrasDialogState::flag(ExtrasBox box) {
    for (const ExtrasBoxInfo& info : extrasBoxes())
        if (info.box == box) return options.*info.flag;
    return options.remux;  // every box is listed
}

bool ExtrasDialogState::checked(ExtrasBox box) const {
    return const_cast<ExtrasDialogState*>(this)->flag(box);
}

bool ExtrasDialogState::visible(ExtrasBox box) const {
    return box != ExtrasBox::StripLanguageUnits || options.menu;
}

bool ExtrasDialogState::enabled(ExtrasBox box) const {
    if (options.menu && (box == ExtrasBox::Remux || box == ExtrasBox::StripStreams ||
                         box == ExtrasBox::CreateNew || box == ExtrasBox::RebuildPts))
        return false;
    if (navPackBox(box)) {
        if (!options.correctNavPacks) return false;
        if (box == ExtrasBox::AdjustAnglePointers) return angles > 1;
    }
    return true;
}

void ExtrasDialogState::click(ExtrasBox box, bool on) {
    if (!enabled(box)) return;
    flag(box) = on;
    ExtrasOptions& o = options;
    switch (box) {
        case ExtrasBox::Remux:
            if (on) o.stripVobIds = false;
            break;
        case ExtrasBox::StripVobIds:
            if (on) o.remux = false;
            break;
        case ExtrasBox::CorrectTables:
            if (!on) o.createNew = false;
            break;
        case ExtrasBox::CreateNew:
            if (on) o.correctTables = true;
            break;
        case ExtrasBox::CorrectNavPacks:
            if (!on) {
                const ExtrasOptions first;
                o.removePuops = first.removePuops;
                o.rebuildPts = first.rebuildPts;
                o.removeAnglePointers = first.removeAnglePointers;
                o.adjustAnglePointers = first.adjustAnglePointers;
                o.adjustVobuPointers = first.adjustVobuPointers;
                o.adjustSyncPointers = first.adjustSyncPointers;
            }
            break;
        case ExtrasBox::RemoveAnglePointers:
            if (on) o.adjustAnglePointers = false;
            break;
        case ExtrasBox::AdjustAnglePointers:
            if (on) o.removeAnglePointers = false;
            break;
        case ExtrasBox::RemoveAngles:
            if (on) {
                o.stripVobIds = true;
                o.remux = false;
                o.removeAnglePointers = true;
                o.adjustAnglePointers = false;
            }
            break;
        default:
            break;
    }
    followDestinationSuffix();
}

void ExtrasDialogState::followDestinationSuffix() {
    const ExtrasOptions& o = options;
    const bool onlyCreateNew =
        o.createNew && !o.stripVobIds && !o.stripStreams && !o.remux && !o.stripLanguageUnits;
    std::string& d = options.destination;
    const std::string_view from = onlyCreateNew ? kVobSuffix : kIfoSuffix;
    const std::string_view to = onlyCreateNew ? kIfoSuffix : kVobSuffix;
    if (endsWith(d, from)) d.replace(d.size() - from.size(), from.size(), to);
}

bool ExtrasDialogState::destinationEnabled() const {
    const ExtrasOptions& o = options;
    return o.stripVobIds || o.stripStreams || o.remux || o.stripLanguageUnits || o.createNew;
}

bool ExtrasDialogState::videoSourceEnabled() const {
    return options.remux && !options.menu;
}

bool ExtrasDialogState::keepAngleEnabled() const {
    return options.removeAngles;
}

std::vector<std::string> ExtrasDialogState::keepAngleItems() const {
    std::vector<std::string> items;
    for (int a = 1; a <= angles; ++a) items.push_back(strprintf("Angle %d", a));
    return items;
}

}  // namespace navtab::vob
