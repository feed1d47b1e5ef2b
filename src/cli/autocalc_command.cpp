// navtab-cli autocalc: Auto-Calc on a title set file, saved (atomically) unless --dry-run.
#include <algorithm>
#include <cstdio>

#include "cli/cli_interaction.h"
#include "cli/commands.h"
#include "cli/option_args.h"
#include "cli/vob_cli_support.h"
#include "core/ascii_case.h"
#include "vob/autocalc.h"

namespace navtab::cli {
namespace {

// "VTS_VOBU_ADMAP,VTS_C_ADT,..." (any case, the "VTS_" may be left out); nothing when a name is
// unknown.
std::optional<vob::AutoCalcTables> parseTables(const std::string& list) {
    vob::AutoCalcTables t{false, false, false, false};
    std::size_t from = 0;
    while (from <= list.size()) {
        const auto comma = std::min(list.find(',', from), list.size());
        std::string name = upperAscii(list.substr(from, comma - from));
        if (name.rfind("VTS_", 0) == 0) name.erase(0, 4);
        if (name == "VOBU_ADMAP")
            t.vobuAdmap = true;
        else if (name == "C_ADT")
            t.cellAdt = true;
        else if (name == "PGCITI" || name == "PGCIT")
            t.pgcit = true;
        else if (name == "TMAPTI" || name == "TMAPT")
            t.tmapt = true;
        else
            return std::nullopt;
        from = comma + 1;
    }
    return t;
}

std::size_t bytesChanged(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) n += a[i] != b[i];
    return n;
}

}  // namespace

int runAutocalc(const Args& args) {
    auto o = parseOptions(args, {"--dry-run", "--force"}, {"--tables"});
    if (!o) return kExitUsage;
    if (o->positional.size() != 1) return fail(kExitUsage, "autocalc needs one title set IFO file");
    vob::AutoCalcTables tables;
    if (o->values.count("--tables")) {
        auto parsed = parseTables(o->values["--tables"]);
        if (!parsed)
            return fail(
                kExitUsage,
                "--tables takes names from VTS_VOBU_ADMAP, VTS_C_ADT, VTS_PGCITI, VTS_TMAPTI");
        tables = *parsed;
    }
    const std::string& path = o->positional[0];
    Workspace workspace;
    IfoHandle loaded = loadTitleSet(path);
    if (!loaded) return kExitFailure;
    if (titleVobsOrFail(path).empty()) return kExitFailure;
    IfoDocument& doc = workspace.add(path, std::move(loaded));
    const auto before = doc.ifo->table;

    // The progress bar's Ctrl-C handling stays in place until the end, so that Ctrl-C during the
    // save waits for the complete file instead of leaving its temporary behind.
    TerminalProgress progress;
    const bool force = o->has("--force");
    const vob::AutoCalcOutcome out = vob::RunAutoCalc(
        *doc.ifo, path, tables, {vob::kScanAll, stderrLog(progress), &progress}, force);
    progress.clearLine();
    using Result = vob::AutoCalcOutcome::Result;
    if (out.result == Result::Cancelled) return cancelled(path + " not changed");
    if (out.result == Result::TablesMissing)
        return fail(kExitFailure, path + " has no VTS_VOBU_ADMAP or no VTS_C_ADT");
    for (const std::string& line : out.disagreements)
        std::fprintf(stderr, "navtab-cli: %s%s\n", force ? "warning: " : "", line.c_str());
    if (out.result == Result::Disagrees)
        return fail(kExitFailure, "the VOB files do not fit " + path +
                                      "; nothing written (--force writes the tables anyway)");

    std::printf("Scanned %zu VOB file%s: %llu VOBUs, %llu cells, last VOBU ends at sector %u\n",
                out.files.size(), out.files.size() == 1 ? "" : "s",
                static_cast<unsigned long long>(out.vobusFound),
                static_cast<unsigned long long>(out.cellsFound), out.scan.lastVobuEnd);
    struct Row {
        bool chosen;
        int id;
        const char* name;
        std::size_t written;
        const char* unit;
    };
    const Row rows[] = {
        {tables.tmapt, ID_VTS_TMAPTI, "VTS_TMAPTI", out.timeMapEntries, "time map entries"},
        {tables.vobuAdmap, ID_VTS_VOBU_ADMAP, "VTS_VOBU_ADMAP", out.vobuEntries, "entries"},
        {tables.cellAdt, ID_VTS_C_ADT, "VTS_C_ADT", out.cellAddressEntries, "entries"},
        {tables.pgcit, ID_VTS_PGCITI, "VTS_PGCITI", out.pgcCells, "PGC cells"},
    };
    std::size_t changed = 0;
    for (const Row& r : rows) {
        if (!r.chosen) continue;
        const std::size_t n = bytesChanged(before[r.id], doc.ifo->table[r.id]);
        changed += n;
        std::printf("%-15s %zu %s written, %zu bytes changed\n", r.name, r.written, r.unit, n);
    }

    if (o->has("--dry-run")) {
        std::printf("Dry run: %s not changed\n", path.c_str());
        return kExitOk;
    }
    if (changed == 0) {
        std::printf("Nothing to change: %s left as it was\n", path.c_str());
        return kExitOk;
    }
    if (progress.Cancelled()) return cancelled(path + " not changed");
    CliInteraction ui;
    if (!writeIfoFileAtomically(path, *doc.ifo, ui))
        return fail(kExitFailure, "could not write " + path);
    std::printf("Saved %s (its .BUP copy was not touched)\n", path.c_str());
    return kExitOk;
}

}  // namespace navtab::cli
