// Auto-Calc: brings the address tables of a loaded title set (VTS_TMAPTI, VTS_VOBU_ADMAP,
// VTS_C_ADT and the cell sectors of VTS_PGCITI) back into agreement with its title VOB files,
// without changing any table's size. The VOB files are walked with the program-stream scanner,
// which collects every VOBU start and every cell start; the chosen tables are then rewritten in
// the loaded buffers. The file itself changes only when the user saves it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "core/document.h"
#include "vob/autocalc_tables.h"
#include "vob/stream_scanner.h"
#include "vob/vob_command_ui.h"

namespace navtab::vob {

// Turns what the scanner collected into the Auto-Calc collection: the VOBU starts, and the cells
// with their end sectors (each cell ends where the next begins; the last at the last VOBU's end).
AutoCalcScan collectAutoCalcScan(const ScanResults& results);

struct AutoCalcOutcome {
    enum class Result {
        Done,           // the chosen tables were rewritten
        NotTitleSet,    // no title set file
        TablesMissing,  // VTS_VOBU_ADMAP or VTS_C_ADT is not loaded
        Cancelled,      // the user stopped the scan; nothing was changed
        Disagrees,      // the scan does not fit the title set; nothing was changed
    };
    Result result = Result::Done;
    ScanStatus scanStatus = ScanStatus::End;
    std::vector<std::string> files;  // the title VOB files scanned
    AutoCalcScan scan;
    std::uint64_t vobusFound = 0;  // including those beyond the tables' entries
    std::uint64_t cellsFound = 0;
    std::size_t admapEntries = 0;
    std::size_t cellEntries = 0;
    // Where the scan and the title set disagree, one line each (see ScanDisagreements).
    std::vector<std::string> disagreements;
    // Entries written: time maps, VOBU address map, cell addresses, PGC cells.
    std::size_t timeMapEntries = 0, vobuEntries = 0, cellAddressEntries = 0, pgcCells = 0;
};

// Tables written from a scan that lost step with the files (a damaged VOB, NAV packs found in
// junk) would be wrong everywhere, so the scan is first held against the title set: a count of
// VOBUs other than VTS_VOBU_ADMAP's entries, of cells other than VTS_C_ADT's, a cell that a title
// PGC plays and the scan did not find, and a scan that lost sync. One line for each.
std::vector<std::string> ScanDisagreements(const ifo_t& ifo, const AutoCalcOutcome& scanned);

// The first half of the command: scans the title VOB files beside `ifoPath` and fills the
// outcome with what was found and the disagreements; `ifo` is not changed.
AutoCalcOutcome ScanForAutoCalc(const ifo_t& ifo, const std::string& ifoPath,
                                const ScanOptions& scan);

// The second half: rewrites the chosen tables of `ifo` from the scan (time maps first, since they
// may be mapped through the old VOBU address map) and counts the entries written.
void WriteAutoCalcTables(ifo_t& ifo, const AutoCalcTables& tables, AutoCalcOutcome& outcome);

// Both halves without any question. When the scan disagrees with the title set nothing is
// written (Result::Disagrees) unless `force` is set.
AutoCalcOutcome RunAutoCalc(ifo_t& ifo, const std::string& ifoPath, const AutoCalcTables& tables,
                            const ScanOptions& scan, bool force = false);

// The "Auto-Calc Sector's" command: dialog 131, the scan under the window "Collecting
// information from .VOBs, please wait...", the tables, the modified mark and "AutoCalc
// finished!". Nothing happens without a loaded title set file. When the scan disagrees with the
// title set, the user is asked first and No leaves every table as it was. True when the tables
// were rewritten (the field list then needs showing anew).
bool OnAutoCalc(Workspace& workspace, IfoDocument* doc, VobCommandUi& dialogs, UserInteraction& ui,
                const ScanLog& log);

}  // namespace navtab::vob
