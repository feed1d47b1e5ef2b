#include "vob/autocalc.h"

#include "core/ifo_classes_address.h"
#include "core/user_interaction.h"
#include "vob/vob_files.h"
#include "vob/vobu_info.h"

namespace navtab::vob {
namespace {

// A VOBU's times in frames: the cell elapsed time names its first frame at the nominal rate, and
// its presentation times span whole frames of 3600 (25 fps) or 3003 (29.97 fps) 90 kHz ticks.
AutoCalcVobuTime vobuTime(const ScanVobuTime& nav) {
    const ElapsedTime elapsed = decodeElapsedTime(nav.cellElapsed);
    const std::uint32_t ticksPerFrame = elapsed.rate == 25 ? 3600 : 3003;
    const std::uint32_t ticks = nav.endPtm > nav.startPtm ? nav.endPtm - nav.startPtm : 0;
    return {static_cast<std::uint8_t>(nav.vobId), nav.cellId, elapsed.rate, elapsed.frames,
            (ticks + ticksPerFrame / 2) / ticksPerFrame};
}

}  // namespace

AutoCalcScan collectAutoCalcScan(const ScanResults& results) {
    AutoCalcScan scan;
    scan.vobuStarts = results.vobuStarts;
    scan.lastVobuEnd = results.lastVobuEnd;
    for (const ScanVobuTime& t : results.vobuTimes) scan.vobuTimes.push_back(vobuTime(t));
    for (std::size_t i = 0; i < results.cells.size(); ++i) {
        const ScanCell& c = results.cells[i];
        const std::uint32_t end =
            i + 1 < results.cells.size() ? results.cells[i + 1].start - 1 : results.lastVobuEnd;
        scan.cells.push_back({static_cast<std::uint8_t>(c.vobId), c.cellId, c.start, end});
    }
    return scan;
}

AutoCalcOutcome RunAutoCalc(ifo_t& ifo, const std::string& ifoPath, const AutoCalcTables& tables,
                            const ScanOptions& scanOptions) {
    using Result = AutoCalcOutcome::Result;
    AutoCalcOutcome out;
    if (ifoKind(&ifo) != IfoKind::Vts) {
        out.result = Result::NotTitleSet;
        return out;
    }
    if (!ifo.has(ID_VTS_VOBU_ADMAP) || !ifo.has(ID_VTS_C_ADT)) {
        out.result = Result::TablesMissing;
        return out;
    }
    out.admapEntries = CIfoVobuAdmap(ifo.table[ID_VTS_VOBU_ADMAP]).sectors.size();
    out.cellEntries = CIfoCadt(ifo.table[ID_VTS_C_ADT]).cells.size();

    // Room for one more VOBU and cell than the tables hold: the cell after the last one tells
    // where that one ends.
    ScanResults results;
    results.vobuCapacity = out.admapEntries + 1;
    results.cellCapacity = out.cellEntries + 1;
    out.files = titleVobPaths(ifoPath);
    out.scanStatus = ScanStreams(out.files, results, scanOptions);
    if (out.scanStatus == ScanStatus::Cancelled) {
        out.result = Result::Cancelled;
        return out;
    }
    out.vobusFound = results.vobusFound;
    out.cellsFound = results.cellsFound;
    out.scan = collectAutoCalcScan(results);

    if (tables.tmapt) out.timeMapEntries = RemapTimeMaps(ifo, out.scan);
    if (tables.vobuAdmap) out.vobuEntries = WriteVobuAdmap(ifo, out.scan);
    if (tables.cellAdt) out.cellAddressEntries = WriteCellAddresses(ifo, out.scan);
    if (tables.pgcit) out.pgcCells = WritePgcCellSectors(ifo, out.scan);
    return out;
}

bool OnAutoCalc(Workspace& workspace, IfoDocument* doc, VobCommandUi& dialogs, UserInteraction& ui,
                const ScanLog& log) {
    if (doc == nullptr || !doc->ifo || ifoKind(doc->ifo.get()) != IfoKind::Vts) return false;
    AutoCalcTables tables;
    if (!dialogs.chooseAutoCalcTables(tables)) return false;
    AutoCalcOutcome outcome;
    {
        const auto window =
            dialogs.showProgress("Collecting information from .VOBs, please wait...");
        outcome = RunAutoCalc(*doc->ifo, doc->path, tables, {kScanAll, log, window.get()});
    }
    if (outcome.result != AutoCalcOutcome::Result::Done) return false;
    workspace.markModified(*doc);
    ui.message("AutoCalc finished!");
    return true;
}

}  // namespace navtab::vob
