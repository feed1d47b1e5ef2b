// navtab-cli scan: the program-stream scanner over one VOB file or a chain of them.
#include <cstdio>

#include "cli/commands.h"
#include "cli/json_text.h"
#include "cli/option_args.h"
#include "cli/vob_cli_support.h"
#include "core/text_printf.h"
#include "vob/autocalc.h"
#include "vob/nav_pack_layout.h"
#include "vob/stream_names.h"
#include "vob/vob_files.h"

namespace navtab::cli {
namespace {

using vob::ScanResults;
using vob::StreamEntry;

std::string ptsText(const StreamEntry& e) {
    return e.firstPts > 0 ? ", first PTS " + vob::FormatPts(e.firstPts) : std::string();
}

void printText(const ScanResults& r, const vob::AutoCalcScan& cells) {
    std::printf("Packs: %u\n", r.packs);
    std::printf("System headers: %u\n", r.systemHeaders);
    for (unsigned id = 0; id < 256; ++id) {
        const StreamEntry& e = r.streams[id];
        if (e.packets == 0) continue;
        std::printf("Stream 0x%02X %s: %u packets, %u bytes%s\n", id,
                    vob::streamName(static_cast<std::uint8_t>(id)).c_str(), e.packets, e.bytes,
                    ptsText(e).c_str());
        if (id != vob::kPrivateStream1) continue;
        for (unsigned sub = 0; sub < 256; ++sub) {
            const StreamEntry& s = r.subStreams[sub];
            if (s.packets > 0)
                std::printf("  Sub 0x%02X: %u packets, %u bytes%s\n", sub, s.packets, s.bytes,
                            ptsText(s).c_str());
        }
    }
    if (r.sequenceFound)
        std::printf("Video: %ux%u, %s, %s\n", r.width, r.height, vob::aspectRatioName(r.aspectCode),
                    vob::frameRateName(r.frameRateCode));
    std::printf("VOBU starts: %zu\n", r.vobuStarts.size());
    for (std::size_t i = 0; i < r.vobuStarts.size(); ++i)
        std::printf("%s%u%s", i % 10 == 0 ? "  " : " ", r.vobuStarts[i],
                    i % 10 == 9 || i + 1 == r.vobuStarts.size() ? "\n" : "");
    std::printf("Cells: %zu\n", r.cells.size());
    for (std::size_t i = 0; i < r.cells.size(); ++i)
        std::printf("  VOB %u cell %u: sectors %u-%u\n", unsigned{r.cells[i].vobId},
                    unsigned{r.cells[i].cellId}, cells.cells[i].start, cells.cells[i].end);
    std::printf("Last VOBU end: %u\n", r.lastVobuEnd);
}

std::string entryJson(unsigned id, const std::string& name, const StreamEntry& e) {
    std::string s = strprintf("{\"id\": %u, ", id);
    if (!name.empty()) s += "\"name\": " + jsonString(name) + ", ";
    s += strprintf("\"packets\": %u, \"bytes\": %u, \"firstPtsMs\": ", e.packets, e.bytes);
    s += e.firstPts > 0 ? strprintf("%.3f", e.firstPts) : std::string("null");
    return s + "}";
}

void printJson(const std::vector<std::string>& files, vob::ScanStatus status, const ScanResults& r,
               const vob::AutoCalcScan& cells) {
    std::printf("{\n  \"files\": [");
    for (std::size_t i = 0; i < files.size(); ++i)
        std::printf("%s%s", i ? ", " : "", jsonString(files[i]).c_str());
    std::printf("],\n  \"status\": %d,\n  \"packs\": %u,\n  \"systemHeaders\": %u,\n",
                static_cast<int>(status), r.packs, r.systemHeaders);
    std::string streams, subs;
    for (unsigned id = 0; id < 256; ++id) {
        if (r.streams[id].packets > 0)
            streams += (streams.empty() ? "" : ",\n    ") +
                       entryJson(id, vob::streamName(static_cast<std::uint8_t>(id)), r.streams[id]);
        if (r.subStreams[id].packets > 0)
            subs += (subs.empty() ? "" : ",\n    ") + entryJson(id, "", r.subStreams[id]);
    }
    std::printf("  \"streams\": [\n    %s\n  ],\n  \"subStreams\": [\n    %s\n  ],\n",
                streams.c_str(), subs.c_str());
    if (r.sequenceFound)
        std::printf(
            "  \"video\": {\"width\": %u, \"height\": %u, \"aspect\": %s, \"frameRate\": %s},\n",
            r.width, r.height, jsonString(vob::aspectRatioName(r.aspectCode)).c_str(),
            jsonString(vob::frameRateName(r.frameRateCode)).c_str());
    else
        std::printf("  \"video\": null,\n");
    std::printf("  \"vobuStarts\": [");
    for (std::size_t i = 0; i < r.vobuStarts.size(); ++i)
        std::printf("%s%u", i ? ", " : "", r.vobuStarts[i]);
    std::printf("],\n  \"cells\": [");
    for (std::size_t i = 0; i < r.cells.size(); ++i)
        std::printf("%s\n    {\"vobId\": %u, \"cellId\": %u, \"start\": %u, \"last\": %u}",
                    i ? "," : "", unsigned{r.cells[i].vobId}, unsigned{r.cells[i].cellId},
                    cells.cells[i].start, cells.cells[i].end);
    std::printf("%s],\n  \"lastVobuEnd\": %u\n}\n", r.cells.empty() ? "" : "\n  ", r.lastVobuEnd);
}

}  // namespace

int runScan(const Args& args) {
    auto o = parseOptions(args, {"--json"}, {});
    if (!o) return kExitUsage;
    if (o->positional.empty()) return fail(kExitUsage, "scan needs at least one VOB file");
    // The scanner reads the files as one stream; a missing one would silently shorten it.
    for (const std::string& file : o->positional)
        if (!vob::sectorCount(file)) return fail(kExitFailure, "cannot read " + file);

    TerminalProgress progress;
    ScanResults results;
    const auto status =
        vob::ScanStreams(o->positional, results, {vob::kScanAll, stderrLog(progress), &progress});
    progress.clearLine();
    if (status == vob::ScanStatus::Cancelled) return cancelled("nothing printed");
    if (status == vob::ScanStatus::InputFailed)
        return fail(kExitFailure, "cannot read " + o->positional.front());

    const vob::AutoCalcScan cells = vob::collectAutoCalcScan(results);
    if (o->has("--json"))
        printJson(o->positional, status, results, cells);
    else
        printText(results, cells);
    if (status == vob::ScanStatus::LostSync)
        return fail(kExitFailure, "lost sync in the program stream; the lists above end there");
    return kExitOk;
}

}  // namespace navtab::cli
