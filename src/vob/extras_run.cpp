#include "vob/extras_run.h"
#include "core/path_parts.h"

#include "core/user_interaction.h"
#include "format/describe.h"
#include "format/overview.h"
#include "vob/create_ifos.h"
#include "vob/destination_guard.h"
#include "vob/destination_writer.h"
#include "vob/held_nav_correction.h"
#include "vob/m2v_reader.h"
#include "vob/nav_pack_rewrite.h"
#include "vob/nav_relocation.h"
#include "vob/remux_pack.h"
#include "vob/stream_ifo_correction.h"
#include "vob/strip_choice.h"
#include "vob/strip_sector.h"
#include "vob/table_rebuild.h"
#include "vob/title_vob_pass.h"
#include "vob/vob_files.h"
#include "vob/vob_id_renumber.h"
#include "vob/vobu_analysis.h"

namespace navtab::vob {
namespace {

using Result = ExtrasOutcome::Result;

const std::string kOverwriteTitles =
    "You've selected to overwrite your original VOB files!\nPlease select a different directory.";
const std::string kOverwriteMenu =
    "You've selected to overwrite your original Menu VOB file!\nPlease select a different "
    "directory.";
const std::string kMissingDestination = "Missing destination Path-Filename for output-VOB files!";
const std::string kMissingVideoSource = "Missing soure .m2v file for input!";

// The angles of the title set, as its overview finds them.
AngleTable anglesOf(const IfoDocument& doc) {
    AngleTable angles;
    FieldList scratch;
    TreeNode node;
    DescribeContext ctx{*doc.ifo, scratch, node, &angles};
    ShowVtsOverview(ctx);
    return angles;
}

// "Remove Angles": every VOB id kept but those of the angles other than the one kept.
void removeAngles(VobJob& job) {
    job.strip.keepVobId.assign(StripChoices::kVobIds, true);
    for (int a = 1; a <= AngleTable::kMaxListedAngle; ++a) {
        if (a == job.options.keepAngle) continue;
        for (const std::uint32_t id : job.angles.vobIds[a - 1])
            if (id < StripChoices::kVobIds) job.strip.keepVobId[id] = false;
    }
    for (const std::uint32_t id : job.angles.vobIds[job.options.keepAngle - 1])
        if (id < StripChoices::kVobIds) job.strip.keepVobId[id] = true;
    job.options.stripVobIds = true;
}

// The message of a failed destination write: the run ends there, so that the destination never
// holds IFO files describing VOB files that were not written.
std::string writeFailure(const DestinationWriter& writer) {
    return "Error writing file!\n\n" + writer.error() +
           "\n\nThe run stopped here: no navigation pack was corrected and no IFO file was "
           "saved.";
}

// A sector the copy keeps: written, then analysed into the VOBU list. `source` is the source
// sector it stands for, kNotCopied for a video pack that the re-mux added.
bool keepSector(VobJob& job, std::span<std::uint8_t> sector, DestinationWriter* writer,
                std::uint32_t source) {
    if (writer != nullptr && !writer->WriteDestinationSector(sector)) return false;
    if (source != VobJob::kNotCopied) job.sourceToOutput[source] = job.sector;
    const std::size_t vobus = job.vobus.size();
    if (job.options.correctNavPacks) {
        AnalyseVobSector(job, sector);
        ++job.sector;
    } else {
        TrackVobuBounds(job, sector);
    }
    if (job.vobus.size() > vobus) {
        job.vobus.back().sourceSector = source;
        if (writer != nullptr && job.options.correctNavPacks)
            CorrectHeldNavPacks(job, *writer, false);
    }
    return true;
}

// The source VOB files' copy (or, without stripping, their analysis alone).
Result copySectors(ExtrasContext& ctx, VobJob& job, const std::vector<std::string>& sources,
                   DestinationWriter* writer) {
    if (writer != nullptr && job.options.correctNavPacks) PrepareHeldNavCorrection(job, *writer);
    auto progress = ctx.dialogs.showProgress("Processing source VOB ");
    VobPass pass{sources, progress.get(), writer ? &writer->currentPath() : nullptr,
                 job.options.menu};
    VobPassResult r = ProcessVobSectors(
        pass, ctx.ui, [&](std::span<std::uint8_t> s) { return ProcessSector(job, s, writer); });
    const auto added = [&](std::span<std::uint8_t> s, bool) {
        return keepSector(job, s, writer, VobJob::kNotCopied);
    };
    if (r == VobPassResult::Done && !FinishRemux(job, added)) r = VobPassResult::WriteFailed;
    if (r == VobPassResult::Done && writer != nullptr && job.options.correctNavPacks)
        CorrectHeldNavPacks(job, *writer, true);
    progress.reset();
    if (writer && !writer->close()) {
        ctx.ui.message(writeFailure(*writer));
        return Result::Failed;
    }
    switch (r) {
        case VobPassResult::Done:
            return Result::Done;
        case VobPassResult::Cancelled:
            return Result::Cancelled;
        case VobPassResult::WriteFailed:
            ctx.ui.message(writeFailure(*writer));
            return Result::Failed;
        case VobPassResult::ReadFailed:
            break;
    }
    return Result::Failed;
}

// A copy that kept nothing (every VOB id or every sector left out) wrote no file; tables that
// describe nothing would only break the open file, so the run ends there.
bool nothingKept(ExtrasContext& ctx, const DestinationWriter* writer, ExtrasOutcome& outcome) {
    if (writer == nullptr || !writer->files().empty()) return false;
    ctx.ui.message(
        "Nothing of the source was kept, so no VOB file was written and no IFO table "
        "was changed.");
    outcome.result = Result::Failed;
    return true;
}

// Saves a document into the destination folder under its own name, with the usual .BUP
// question.
bool saveInto(ExtrasContext& ctx, IfoDocument& doc, const std::string& folder,
              ExtrasOutcome& outcome) {
    const std::string path = folder + fileNameOf(doc.path);
    if (!SaveIfo(ctx.workspace, doc, path, ctx.ui)) return false;
    outcome.saved.push_back(path);
    return true;
}

// After saving into the destination the documents hold the destination's tables under the
// source's paths; the next Save would write them over the source. They are read anew from their
// files, and the saved files are opened beside them.
void followSaves(ExtrasContext& ctx, const std::vector<IfoDocument*>& sources,
                 const ExtrasOutcome& outcome) {
    for (IfoDocument* doc : sources)
        if (doc != nullptr) ctx.documents.reload(*doc);
    for (const std::string& path : outcome.saved) ctx.documents.documentFor(path);
}

// The title set's stream usage as the written files will have it: compacted by the strip choice
// when the IFO is corrected with them.
CIfoStreamUsage writtenUsage(const ifo_t& vts, const VobJob& job) {
    CIfoStreamUsage usage(vts);
    if (job.options.stripStreams && job.strip.correctIfo)
        usage.Compact(job.strip.keepAudio, job.strip.keepSubp);
    return usage;
}

RemuxReport remuxReport(const RemuxState& m) {
    return RemuxReport{m.framesOut, m.packsAdded, m.packsDropped,
                       m.pending || m.carry != 0 || !m.reader->atEnd()};
}

// The create-new option: the files written become title set 01 (VTS_05_1.VOB becomes
// VTS_01_1.VOB), the number standing eight and seven places from the end of the name.
void renameToTitleSet01(std::string& destination) {
    if (fileNameOf(destination).size() < 8) return;
    destination[destination.size() - 8] = '0';
    destination[destination.size() - 7] = '1';
}

IfoDocument* managerBeside(ExtrasContext& ctx, const IfoDocument& vts) {
    const std::string folder = folderPart(vts.path);
    const auto path = findFileIgnoringCase(folder.empty() ? "." : folder, "VIDEO_TS.IFO");
    if (!path) return nullptr;
    const std::string full = folder.empty() ? fileNameOf(*path) : *path;
    for (const auto& doc : ctx.workspace.documents())
        if (ifoKind(doc->ifo.get()) == IfoKind::Vmg && folderPart(doc->path) == folder)
            return doc.get();
    return ctx.documents.documentFor(full);
}

}  // namespace

bool ProcessSector(VobJob& job, std::span<std::uint8_t> sector, DestinationWriter* writer) {
    const ExtrasOptions& o = job.options;
    const bool stripStreams = !o.menu && o.stripStreams;
    const auto source = static_cast<std::uint32_t>(job.sourceToOutput.size());
    job.sourceToOutput.push_back(VobJob::kNotCopied);
    if (StripSector(job, sector, stripStreams, o.stripVobIds) == SectorFate::Drop) return true;
    if (job.remux.reader == nullptr) return keepSector(job, sector, writer, source);
    // One capture, so that the function object needs no allocation for each sector.
    const struct {
        VobJob& job;
        DestinationWriter* writer;
        std::uint32_t source;
    } run{job, writer, source};
    return RemuxPack(job, sector, [&run](std::span<std::uint8_t> kept, bool fromSource) {
        return keepSector(run.job, kept, run.writer, fromSource ? run.source : VobJob::kNotCopied);
    });
}

ExtrasOutcome VobExtras(ExtrasContext& ctx, IfoDocument& doc) {
    ExtrasOutcome outcome;
    if (!doc.ifo || ifoKind(doc.ifo.get()) != IfoKind::Vts) return outcome;
    VobJob job;
    job.angles = anglesOf(doc);
    ExtrasDialogState dialog = ExtrasDialogState::forVobExtras(doc.path, job.angles.highestAngle);
    outcome.result = Result::Cancelled;
    if (!ctx.dialogs.chooseExtrasOptions(dialog)) return outcome;
    job.options = dialog.options;
    ExtrasOptions& o = job.options;
    if (o.removeAngles && o.keepAngle >= 1 && o.keepAngle <= AngleTable::kMaxListedAngle)
        removeAngles(job);

    outcome.result = Result::Refused;
    const std::string firstSourceVob = doc.path.substr(0, doc.path.size() - 5) + "1.VOB";
    const bool writes = o.stripping() || o.remux;
    // The create-new option writes its IFO files into the destination's folder even when no VOB
    // file is written, so that folder is held against the source too.
    if (o.destination == firstSourceVob ||
        ((writes || o.createNew) && !o.destination.empty() &&
         destinationOverwritesSource(doc.path, o.destination, false, o.correctTables))) {
        ctx.ui.message(kOverwriteTitles);
        return outcome;
    }
    if ((writes || o.createNew) && o.destination.empty()) {
        ctx.ui.message(kMissingDestination);
        return outcome;
    }
    if (o.remux && o.videoSource.empty()) {
        ctx.ui.message(kMissingVideoSource);
        return outcome;
    }
    // Without VOB files to write only IFO work follows: on the open file itself, or, with the
    // create-new option, on new files in the destination's folder (never the source's).
    if (!writes && !o.createNew) o.destination = doc.path;
    if (o.createNew) renameToTitleSet01(o.destination);

    outcome.result = Result::Cancelled;
    CIfoStreamUsage usage(*doc.ifo);
    if (o.stripStreams) {
        StripDialog strip = streamStripDialog(usage);
        if (!ctx.dialogs.chooseStrip(strip)) return outcome;
        applyStreamChoice(strip, job.strip);
    }
    if (o.stripVobIds) {
        StripDialog strip = vobIdStripDialog(cellAddressVobIds(*doc.ifo, false), job.strip);
        if (!ctx.dialogs.chooseStrip(strip)) return outcome;
        applyVobIdChoice(strip, job.strip);
    }
    job.audioSlots = AudioStreamSlots(writtenUsage(*doc.ifo, job));
    std::unique_ptr<M2vReader> video;
    if (o.remux) {
        video = std::make_unique<M2vReader>(o.videoSource, ctx.ui);
        outcome.result = Result::Failed;
        if (!video->opened()) return outcome;
        job.remux.reader = video.get();
    }

    const std::vector<std::string> sources = titleVobPaths(doc.path);
    std::unique_ptr<DestinationWriter> writer;
    if (writes) writer = std::make_unique<DestinationWriter>(o.destination, false);
    outcome.result = copySectors(ctx, job, sources, writer.get());
    if (writer) outcome.written = writer->files();
    if (video) outcome.remux = remuxReport(job.remux);
    job.remux.reader = nullptr;
    video.reset();
    if (outcome.result != Result::Done || nothingKept(ctx, writer.get(), outcome)) return outcome;
    outcome.vobus = job.vobus.size();

    // The create-new option leaves the open file as it is: the corrections are made on a copy,
    // which only gives the streams and programs of the new files.
    IfoHandle copy = o.createNew ? std::make_unique<ifo_t>(*doc.ifo) : nullptr;
    ifo_t& ifo = copy ? *copy : *doc.ifo;
    IfoDocument* manager = nullptr;
    bool changed = false;
    if (o.stripVobIds && job.strip.correctIfo) {
        if (const std::string why = RenumberPgcVobIds(ifo, job.strip); !why.empty())
            ctx.ui.message(why);
        RelayoutIfoTables(ifo);
        changed = true;
    }
    if (o.stripStreams && job.strip.correctIfo) {
        if (!o.createNew) manager = managerBeside(ctx, doc);
        bool managerChanged = false;
        changed |= CorrectStreamAttributes(ifo, manager ? manager->ifo.get() : nullptr,
                                           titleSetNumberOf(doc.path), writtenUsage(ifo, job),
                                           managerChanged);
        if (managerChanged) ctx.workspace.markModified(*manager);
    }
    if (!job.vobus.empty()) {
        // New IFO files beside source VOB files that were not copied never change those.
        if (o.correctNavPacks && (writer || !o.createNew)) {
            RelocateNavPointers(job);
            const auto files = writer ? writer->files() : titleVobPaths(o.destination);
            if (CorrectVobNavPacks(job, files, ctx.dialogs, ctx.ui) == NavRewriteResult::Failed) {
                if (changed && !copy) ctx.workspace.markModified(doc);
                outcome.result = Result::Failed;
                return outcome;
            }
        }
        if (o.createNew) {
            NewTitleSet set;
            set.streams = streamsOfTitleSet(ifo);
            set.cells = BuildCells(job);
            set.programStart = programsOfTitleSet(set.cells, ifo);
            set.titleSectors = job.sector;
            SaveNewIfoFiles(ctx, set, job.vobus, writer ? writer->files() : sources, o.destination,
                            outcome);
            return outcome;
        }
        if (o.correctTables) {
            CellList cells = BuildCells(job);
            RebuildVobuAdmap(ifo, job.vobus, TableForm::Title);
            RebuildCellAddressTable(ifo, cells, TableForm::Title);
            if (const std::string why = RebuildPgcCells(ifo, cells); !why.empty())
                ctx.ui.message(why);
            RemapTimeMapsByLbn(ifo, job.vobus, ctx.ui);
            RelayoutIfoTables(ifo);
            changed = true;
        }
    }
    if (changed) ctx.workspace.markModified(doc);

    if (writer && !writer->files().empty() && o.correctTables && !o.createNew) {
        const std::string folder = folderPart(o.destination);
        saveInto(ctx, doc, folder, outcome);
        if (manager != nullptr) saveInto(ctx, *manager, folder, outcome);
        followSaves(ctx, {&doc, manager}, outcome);
    }
    return outcome;
}

ExtrasOutcome MenuExtras(ExtrasContext& ctx, IfoDocument& doc) {
    ExtrasOutcome outcome;
    const IfoKind kind = doc.ifo ? ifoKind(doc.ifo.get()) : IfoKind::Unknown;
    if (kind == IfoKind::Unknown) return outcome;
    const auto source = menuVobPath(doc.path);
    VobJob job;
    ExtrasDialogState dialog = ExtrasDialogState::forMenuExtras(doc.path);
    outcome.result = Result::Cancelled;
    if (!ctx.dialogs.chooseExtrasOptions(dialog)) return outcome;
    job.options = dialog.options;
    ExtrasOptions& o = job.options;
    o.menu = true;

    outcome.result = Result::Refused;
    const bool writes = o.stripVobIds || o.stripLanguageUnits;
    if ((source && o.destination == *source) ||
        (writes && !o.destination.empty() &&
         destinationOverwritesSource(doc.path, o.destination, true, o.correctTables))) {
        ctx.ui.message(kOverwriteMenu);
        return outcome;
    }
    if (writes && o.destination.empty()) {
        ctx.ui.message(kMissingDestination);
        return outcome;
    }
    if (!source) {
        ctx.ui.message("There is no menu VOB file beside " + doc.path + ".");
        outcome.result = Result::Failed;
        return outcome;
    }
    if (!writes) o.destination = *source;

    outcome.result = Result::Cancelled;
    const std::size_t vobIds = cellAddressVobIds(*doc.ifo, true);
    if (o.stripLanguageUnits) {
        StripDialog strip = languageUnitStripDialog(*doc.ifo);
        if (!ctx.dialogs.chooseStrip(strip)) return outcome;
        applyLanguageUnitChoice(strip, *doc.ifo, vobIds, job.strip);
        o.stripVobIds = true;
    }
    if (dialog.options.stripVobIds) {
        StripDialog strip = vobIdStripDialog(vobIds, job.strip);
        if (!ctx.dialogs.chooseStrip(strip)) return outcome;
        applyVobIdChoice(strip, job.strip);
    }

    std::unique_ptr<DestinationWriter> writer;
    if (writes) writer = std::make_unique<DestinationWriter>(o.destination, true);
    outcome.result = copySectors(ctx, job, {*source}, writer.get());
    if (writer) outcome.written = writer->files();
    if (outcome.result != Result::Done || nothingKept(ctx, writer.get(), outcome)) return outcome;
    outcome.vobus = job.vobus.size();

    ifo_t& ifo = *doc.ifo;
    bool changed = false;
    if (writes && job.strip.correctIfo) {
        if (const std::string why = RenumberMenuVobIds(ifo, job.strip, o.stripLanguageUnits);
            !why.empty())
            ctx.ui.message(why);
        RelayoutIfoTables(ifo);
        changed = true;
    }
    if (!job.vobus.empty()) {
        if (o.correctNavPacks) {
            RelocateNavPointers(job);
            const std::string file =
                writer ? (writer->files().empty() ? "" : writer->files()[0]) : *source;
            if (CorrectMenuVobNavPacks(job, file, ctx.dialogs, ctx.ui) ==
                NavRewriteResult::Failed) {
                if (changed) ctx.workspace.markModified(doc);
                outcome.result = Result::Failed;
                return outcome;
            }
        }
        if (o.correctTables) {
            CellList cells = BuildCells(job);
            RebuildVobuAdmap(ifo, job.vobus, TableForm::Menu);
            RebuildCellAddressTable(ifo, cells, TableForm::Menu);
            UpdateMenuCellSectors(ifo, cells);
            RelayoutIfoTables(ifo);
            changed = true;
        }
    }
    if (changed) ctx.workspace.markModified(doc);
    if (writer && !writer->files().empty() && o.correctTables) {
        saveInto(ctx, doc, folderPart(o.destination), outcome);
        followSaves(ctx, {&doc}, outcome);
    }
    return outcome;
}

}  // namespace navtab::vob
