#include "vob/autocalc.h"

#include "core/ifo_classes_address.h"
#include "core/text_printf.h"
#include "core/user_interaction.h"
#include "vob/title_pgc_cells.h"
#include "vob/vob_files.h"
#include "vob/vobu_info.h"

namespace navtab::vob {
namespace {

AutoCalcVobuTime vobuTime(const ScanVobuTime& nav) {
    return {static_cast<std::uint8_t>(nav.vobId), nav.cellId,
            decodeElapsedTime(nav.cellElapsed).rate, nav.startPtm, nav.endPtm};
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

std::vector<std::string> ScanDisagreements(const ifo_t& ifo, const AutoCalcOutcome& scanned) {
    std::vector<std::string> lines;
    if (scanned.scanStatus == ScanStatus::LostSync)
        lines.push_back("the scan lost sync in the VOB files; the rest of them was not read");
    const auto count = [&](std::uint64_t found, const char* what, const char* table,
                           std::size_t entries) {
        if (found != entries)
            lines.push_back(strprintf("the VOB files hold %llu %s%s, %s has %zu entries",
                                      static_cast<unsigned long long>(found), what,
                                      found == 1 ? "" : "s", table, entries));
    };
    count(scanned.vobusFound, "VOBU", "VTS_VOBU_ADMAP", scanned.admapEntries);
    count(scanned.cellsFound, "cell", "VTS_C_ADT", scanned.cellEntries);
    const ByteReader pgcit(ifo.table[ID_VTS_PGCITI]);
    for (unsigned p = 0; p < titlePgcCount(pgcit); ++p)
        for (const TitlePgcCell& pc : titlePgcCells(pgcit, p))
            if (findScannedCell(scanned.scan, pc.vobId, pc.cellId) == nullptr)
                lines.push_back(
                    strprintf("title PGC %u plays cell %u/%u, which the VOB files do "
                              "not hold",
                              p + 1, unsigned{pc.vobId}, unsigned{pc.cellId}));
    return lines;
}

AutoCalcOutcome ScanForAutoCalc(const ifo_t& ifo, const std::string& ifoPath,
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
    out.disagreements = ScanDisagreements(ifo, out);
    return out;
}

void WriteAutoCalcTables(ifo_t& ifo, const AutoCalcTables& tables, AutoCalcOutcome& out) {
    if (tables.tmapt) out.timeMapEntries = RemapTimeMaps(ifo, out.scan);
    if (tables.vobuAdmap) out.vobuEntries = WriteVobuAdmap(ifo, out.scan);
    if (tables.cellAdt) out.cellAddressEntries = WriteCellAddresses(ifo, out.scan);
    if (tables.pgcit) out.pgcCells = WritePgcCellSectors(ifo, out.scan);
}

AutoCalcOutcome RunAutoCalc(ifo_t& ifo, const std::string& ifoPath, const AutoCalcTables& tables,
                            const ScanOptions& scanOptions, bool force) {
    AutoCalcOutcome out = ScanForAutoCalc(ifo, ifoPath, scanOptions);
    if (out.result != AutoCalcOutcome::Result::Done) return out;
    if (!out.disagreements.empty() && !force) {
        out.result = AutoCalcOutcome::Result::Disagrees;
        return out;
    }
    WriteAutoCalcTables(ifo, tables, out);
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
        outcome = ScanForAutoCalc(*doc->ifo, doc->path, {kScanAll, log, window.get()});
    }
    if (outcome.result != AutoCalcOutcome::Result::Done) return false;
    if (!outcome.disagreements.empty()) {
        std::string question = "The VOB files do not fit this title set:\n";
        for (const std::string& line : outcome.disagreements) question += "- " + line + "\n";
        if (!ui.askYesNo(question + "Change the tables anyway?")) return false;
    }
    WriteAutoCalcTables(*doc->ifo, tables, outcome);
    workspace.markModified(*doc);
    ui.message("AutoCalc finished!");
    return true;
}

}  // namespace navtab::vob
