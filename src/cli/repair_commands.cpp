// The repair commands of navtab-cli: remove-puops, delete-playback and get-vts-sectors. Each
// prints the report the window shows and writes a changed file together with its .BUP copy.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "cli/cli_interaction.h"
#include "cli/commands.h"
#include "cli/option_args.h"
#include "core/path_parts.h"
#include "format/describe.h"
#include "format/file_tree.h"
#include "repair/delete_playback.h"
#include "repair/folder_fit.h"
#include "repair/prohibited_uops.h"
#include "repair/sector_correction.h"

namespace navtab::cli {
namespace {

// Reports go to standard output, as the window's message boxes show them.
class ReportInteraction : public CliInteraction {
  public:
    explicit ReportInteraction(bool answerYes = false) : CliInteraction(answerYes) {}
    void message(const std::string& text) override {
        std::fputs(text.c_str(), stdout);
        if (text.empty() || text.back() != '\n') std::fputc('\n', stdout);
    }
};

IfoDocument* openDocument(Workspace& workspace, const std::string& path) {
    CliInteraction ui;
    IfoHandle ifo = openIfoFile(path, ui);
    if (!ifo) {
        fail(kExitFailure, "cannot read " + path);
        return nullptr;
    }
    return &AddFileToTree(workspace, path, std::move(ifo));
}

// A file to repair: one of neither kind, or one that did not load as a whole, is refused.
IfoDocument* openIfoDocument(Workspace& workspace, const std::string& path) {
    IfoDocument* doc = openDocument(workspace, path);
    if (doc == nullptr) return nullptr;
    const std::string refusal = repair::repairRefusal(*doc->ifo, path);
    if (refusal.empty()) return doc;
    fail(kExitFailure, refusal);
    return nullptr;
}

// What is said after a command that may have changed the file: a changed document is written to
// its own path together with its .BUP.
int finish(Workspace& workspace, IfoDocument& doc, bool dryRun) {
    if (!doc.modified) return kExitOk;
    if (dryRun) {
        std::printf("Dry run: %s not changed\n", doc.path.c_str());
        return kExitOk;
    }
    CliInteraction ui;
    workspace.noBackupQuestion = true;
    const SaveResult saved = SaveIfo(workspace, doc, doc.path, ui);
    workspace.noBackupQuestion = false;
    if (!saved)
        return fail(kExitFailure, "could not write " + saved.failedPath + ": " + saved.reason);
    const std::string backup = backupPathFor(doc.path);
    const bool withBackup = !backup.empty() && !saved.backupSkipped;
    std::printf("Saved %s%s\n", doc.path.c_str(), withBackup ? (" and " + backup).c_str() : "");
    return kExitOk;
}

}  // namespace

int runRemovePuops(const Args& args) {
    auto o = parseOptions(args, {"--dry-run"}, {});
    if (!o) return kExitUsage;
    if (o->positional.size() != 1) return fail(kExitUsage, "remove-puops needs one FILE");
    Workspace workspace;
    IfoDocument* doc = openIfoDocument(workspace, o->positional[0]);
    if (doc == nullptr) return kExitFailure;
    const repair::UopRemoval removal = repair::RemoveProhibitedUops(*doc->ifo);
    ReportInteraction ui;
    ui.message(repair::uopRemovalMessage(removal));
    if (removal.changed) workspace.markModified(*doc);
    return finish(workspace, *doc, o->has("--dry-run"));
}

int runDeletePlayback(const Args& args) {
    auto o = parseOptions(args, {"--dry-run"}, {});
    if (!o) return kExitUsage;
    if (o->positional.size() != 2) return fail(kExitUsage, "delete-playback needs FILE and ROW");
    char* end = nullptr;
    const long rowNumber = std::strtol(o->positional[1].c_str(), &end, 10);
    if (end == o->positional[1].c_str() || *end != '\0' || rowNumber < 1)
        return fail(kExitUsage, "ROW must be a row number from 1");
    Workspace workspace;
    IfoDocument* doc = openIfoDocument(workspace, o->positional[0]);
    if (doc == nullptr) return kExitFailure;

    FieldList overview;
    DescribeNode(*doc->ifo, overview, doc->root, &doc->angles);
    const auto index = static_cast<std::size_t>(rowNumber - 1);
    const bool found = index < overview.rows().size() && overview.rows()[index].data;
    const auto before =
        found ? doc->ifo->table[overview.rows()[index].data->slot] : std::vector<std::uint8_t>();
    if (!found || !repair::DeletePlayback(*doc->ifo, *overview.rows()[index].data)) {
        ReportInteraction ui;
        ui.message(repair::kWrongItemMessage);
        return kExitFailure;
    }
    // A menu whose playback was deleted before leaves the file as it is.
    if (doc->ifo->table[overview.rows()[index].data->slot] != before) workspace.markModified(*doc);
    // The overview line of the PGC as it reads now.
    DescribeNode(*doc->ifo, overview, doc->root, &doc->angles);
    std::printf("%s\n", overview.rows()[index].description.c_str());
    return finish(workspace, *doc, o->has("--dry-run"));
}

int runGetVtsSectors(const Args& args) {
    auto o = parseOptions(args, {"--all", "--dry-run", "--force"}, {});
    if (!o) return kExitUsage;
    if (o->positional.size() != 1) return fail(kExitUsage, "get-vts-sectors needs one FILE");
    const std::string& path = o->positional[0];
    const bool dryRun = o->has("--dry-run");
    const std::string folder = folderOf(path);
    const auto listing = repair::DiscListing::read(folder);
    if (!listing)
        return fail(kExitFailure, "no DVD-Video files in " + (folder.empty() ? "." : folder));

    if (!o->has("--all")) {
        Workspace workspace;
        IfoDocument* doc = openIfoDocument(workspace, path);
        if (doc == nullptr) return kExitFailure;
        ReportInteraction ui;
        repair::CorrectLoadedIfo(workspace, *doc, *listing, ui);
        return finish(workspace, *doc, dryRun);
    }
    // The file given only says which folder to work on; each IFO is read afresh. A folder that
    // does not fit its IFO files is corrected only when the user says so.
    ReportInteraction folderUi(o->has("--force"));
    Workspace all;
    CliInteraction openUi;  // why a file of the folder cannot be read
    WorkspaceDocuments source(all, openUi);
    const auto outcome =
        repair::CorrectAllIfoFiles(all, source, folder, *listing, folderUi, !dryRun);
    if (outcome.declined)
        return fail(kExitFailure,
                    "nothing written: the folder does not fit its IFO files (--force corrects it "
                    "anyway)");
    for (const std::string& changed : outcome.changed) {
        const bool failed = std::find(outcome.failed.begin(), outcome.failed.end(), changed) !=
                            outcome.failed.end();
        if (dryRun)
            std::printf("Dry run: %s not changed\n", changed.c_str());
        else if (!failed)
            std::printf("Saved %s and %s\n", changed.c_str(), backupPathFor(changed).c_str());
    }
    if (outcome.changed.empty()) folderUi.message("No sector's found that are different!");
    return outcome.failed.empty() ? kExitOk : kExitFailure;
}

}  // namespace navtab::cli
