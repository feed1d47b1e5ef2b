#include "cli/vob_cli_support.h"

#include <sys/stat.h>
#include <cstdio>

#include "cli/cli_interaction.h"
#include "cli/commands.h"
#include "vob/vob_files.h"

namespace navtab::cli {

IfoHandle loadTitleSet(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        fail(kExitFailure, "cannot open " + path + ": no such file");
        return nullptr;
    }
    CliInteraction ui;
    IfoHandle ifo = openIfoFile(path, ui);
    if (!ifo) {
        fail(kExitFailure, "cannot read " + path);
        return nullptr;
    }
    if (ifoKind(ifo.get()) != IfoKind::Vts) {
        fail(kExitFailure, path + " is not a title set IFO file (VTS_nn_0.IFO)");
        return nullptr;
    }
    return ifo;
}

std::vector<std::string> titleVobsOrFail(const std::string& ifoPath) {
    auto files = vob::titleVobPaths(ifoPath);
    if (files.empty())
        fail(kExitFailure, "no title VOB files (VTS_nn_1.VOB ...) beside " + ifoPath);
    return files;
}

vob::ScanLog stderrLog(TerminalProgress& progress) {
    return [&progress](const std::string& text) {
        progress.clearLine();
        std::fputs(text.c_str(), stderr);
    };
}

int cancelled(const std::string& what) {
    return fail(kExitFailure, "cancelled; " + what);
}

}  // namespace navtab::cli
