// Rewrites the NAV packs of the VOB files a run has just written, in place, from the relocated
// VOBU list: only the NAV-pack sectors are read and written; after each one the file position
// jumps over the rest of its VOBU.
#pragma once

#include <string>
#include <vector>

#include "vob/vob_command_ui.h"
#include "vob/vob_job.h"

namespace navtab {
class UserInteraction;
}

namespace navtab::vob {

enum class NavRewriteResult {
    Finished,  // every VOBU of the list was rewritten (or the user stopped; told as finished)
    Failed,    // a read, write or synchronisation failure ended it; the user was told
};

// The title VOB files `files` (VTS_nn_1.VOB, VTS_nn_2.VOB, ... of the destination), which
// continue one sector numbering from file to file.
NavRewriteResult CorrectVobNavPacks(const VobJob& job, const std::vector<std::string>& files,
                                    VobCommandUi& dialogs, UserInteraction& ui);
// The one menu VOB file of the destination (`file` empty when it does not exist).
NavRewriteResult CorrectMenuVobNavPacks(const VobJob& job, const std::string& file,
                                        VobCommandUi& dialogs, UserInteraction& ui);

}  // namespace navtab::vob
