#include "vob/create_ifos.h"

#include <algorithm>
#include <cctype>

#include "core/new_ifo_save.h"
#include "core/path_parts.h"
#include "core/user_interaction.h"
#include "vob/title_vob_pass.h"
#include "vob/vob_files.h"

namespace navtab::vob {
namespace {

using Result = ExtrasOutcome::Result;

// `name` in lower case when the destination's file name has lower-case letters and no capital:
// a folder copied with lower-case names keeps them.
std::string inCaseOf(std::string name, const std::string& destination) {
    const std::string given = fileNameOf(destination);
    const auto has = [&](int (*test)(int)) {
        return std::any_of(given.begin(), given.end(),
                           [&](char c) { return test(static_cast<unsigned char>(c)) != 0; });
    };
    if (has(::islower) && !has(::isupper))
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// The source files: the numbered set `firstVob` belongs to, or `firstVob` alone.
std::vector<std::string> sourceVobs(const std::string& firstVob) {
    std::vector<std::string> files = titleVobPaths(firstVob);
    if (std::find(files.begin(), files.end(), firstVob) == files.end()) return {firstVob};
    return files;
}

// The new title set names its title VOB files VTS_01_1.VOB, VTS_01_2.VOB, ...; when the folder
// does not hold the sources under those names, the user learns what to copy there.
void tellWhereVobsBelong(ExtrasContext& ctx, const std::vector<std::string>& sources,
                         const std::string& vtsPath) {
    const std::vector<std::string> there = titleVobPaths(vtsPath);
    bool same = there.size() == sources.size();
    for (std::size_t i = 0; same && i < there.size(); ++i)
        same = sectorCount(there[i]) == sectorCount(sources[i]);
    if (same) return;
    ctx.ui.message("The new IFO files describe " + std::to_string(sources.size()) +
                   " title VOB file(s) named VTS_01_1.VOB, VTS_01_2.VOB, ... in " +
                   folderOf(vtsPath) + ". Copy the source VOB files there under those names.");
}

}  // namespace

bool SaveNewIfoFiles(ExtrasContext& ctx, const NewTitleSet& set, const VobuList& vobus,
                     const std::vector<std::string>& titleVobs, const std::string& destination,
                     ExtrasOutcome& outcome) {
    outcome.result = Result::Failed;
    NewIfoFiles files = BuildNewIfoFiles(set, vobus);
    if (!files.manager) {
        ctx.ui.message("The new IFO files could not be built: " + files.error);
        return false;
    }
    const std::string folder = folderPart(destination);
    const std::string vmgPath = folder + inCaseOf("VIDEO_TS.IFO", destination);
    const std::string vtsPath = folder + inCaseOf("VTS_01_0.IFO", destination);
    // The folder may hold a disc's own IFO files; they are replaced only when the user agrees.
    if ((TitleVobExists(vmgPath) || TitleVobExists(vtsPath)) &&
        !ctx.ui.askYesNo(fileNameOf(vmgPath) + " or " + fileNameOf(vtsPath) + " exists in " +
                         (folder.empty() ? std::string("./") : folder) +
                         "\nReplace them with the new files?")) {
        outcome.result = Result::Cancelled;
        return false;
    }
    if (!saveNewIfoFiles({{vmgPath, files.manager.get()}, {vtsPath, files.titleSet.get()}}, ctx.ui))
        return false;
    outcome.result = Result::Done;
    for (const std::string& path : {vmgPath, vtsPath}) {
        outcome.saved.push_back(path);
        // A file of that name already open shows what it held before; it is read anew.
        const auto& docs = ctx.workspace.documents();
        const auto open =
            std::find_if(docs.begin(), docs.end(), [&](const auto& d) { return d->path == path; });
        if (open != docs.end())
            ctx.documents.reload(**open);
        else
            ctx.documents.documentFor(path);
    }
    tellWhereVobsBelong(ctx, titleVobs, vtsPath);
    return true;
}

ExtrasOutcome CreateIfos(ExtrasContext& ctx) {
    ExtrasOutcome outcome;
    outcome.result = Result::Cancelled;
    const std::string firstVob = ctx.ui.chooseFileToOpen(kVobFilter);
    if (firstVob.empty()) return outcome;
    const std::string destination = ctx.ui.chooseFileToSave("VIDEO_TS.IFO", kNewIfoFilter);
    if (destination.empty()) return outcome;
    return CreateIfosFrom(ctx, firstVob, destination);
}

ExtrasOutcome CreateIfosFrom(ExtrasContext& ctx, const std::string& firstVob,
                             const std::string& destination) {
    ExtrasOutcome outcome;
    VobJob job;
    // Nothing is stripped or written: the light VOBU analysis and the stream collection only.
    job.options.stripStreams = false;
    job.options.remux = false;
    job.options.correctNavPacks = false;
    CollectedStreams streams;
    const std::vector<std::string> sources = sourceVobs(firstVob);
    auto progress = ctx.dialogs.showProgress("Processing source VOB ");
    const VobPassResult r = ProcessVobSectors(VobPass{sources, progress.get(), nullptr, false},
                                              ctx.ui, [&](std::span<std::uint8_t> s) {
                                                  CollectStreams(streams, s);
                                                  return ProcessSector(job, s, nullptr);
                                              });
    progress.reset();
    outcome.result = r == VobPassResult::Cancelled ? Result::Cancelled : Result::Failed;
    if (r != VobPassResult::Done) return outcome;
    outcome.vobus = job.vobus.size();
    if (job.vobus.empty()) {
        ctx.ui.message("No navigation pack was found in " + firstVob +
                       ": it is no DVD VOB file, and no IFO file was written.");
        return outcome;
    }
    NewTitleSet set;
    set.streams = streamsFromCollection(streams);
    set.cells = BuildCells(job);
    set.programStart = programPerCell(set.cells);
    set.titleSectors = job.sector;
    SaveNewIfoFiles(ctx, set, job.vobus, sources, destination, outcome);
    return outcome;
}

}  // namespace navtab::vob
