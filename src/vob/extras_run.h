// VOB Extras and Menu Extras: copy the title VOB files (or the menu VOB) of the open file to a
// destination while leaving out streams, VOB ids, language units or angles, or while putting the
// video of a new MPEG-2 elementary stream into the video packs (re-mux); correct every NAV
// pack of what was written; rebuild the IFO tables to describe it; and save the IFO files into the
// destination folder. The source folder is never written to unless the run writes no VOB file
// (nothing stripped): then the tables and NAV packs of the open title set are corrected in place.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/document.h"
#include "vob/vob_command_ui.h"
#include "vob/vob_job.h"

namespace navtab::vob {

// What a re-mux did.
struct RemuxReport {
    double frames = 0;  // frames of the new stream written
    std::uint64_t packsAdded = 0;
    std::uint64_t packsDropped = 0;
    bool streamLeft = false;  // the stream goes on beyond the source's last VOB unit
};

struct ExtrasOutcome {
    enum class Result {
        NotPossible,  // no fitting file is open
        Cancelled,    // a dialog was cancelled or the user stopped the copy
        Refused,      // a check of the options ended the run before anything was written
        Failed,       // a read or write failed; the user was told what was left
        Done,
    };
    Result result = Result::NotPossible;
    // The VOB files written. A run that ended Done without any corrected the open file's own
    // tables and NAV packs in place (a copy that keeps nothing does not end Done).
    std::vector<std::string> written;
    std::vector<std::string> saved;  // the IFO files saved
    std::size_t vobus = 0;           // VOBUs collected
    std::optional<RemuxReport> remux;
};

// What a run works with: the documents, the dialogs and the user.
struct ExtrasContext {
    Workspace& workspace;
    DocumentSource& documents;
    VobCommandUi& dialogs;
    UserInteraction& ui;
};

// Needs an open title set (VTSI); does nothing otherwise.
ExtrasOutcome VobExtras(ExtrasContext& ctx, IfoDocument& doc);
// Needs an open IFO file with a menu VOB beside it.
ExtrasOutcome MenuExtras(ExtrasContext& ctx, IfoDocument& doc);

// One sector of the copy: the stripping, then the VOBU analysis and the writer. False when the
// write failed.
class DestinationWriter;
bool ProcessSector(VobJob& job, std::span<std::uint8_t> sector, DestinationWriter* writer);

}  // namespace navtab::vob
