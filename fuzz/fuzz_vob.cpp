// Arbitrary bytes for the VOB readers, cut into sectors (the last may be short); each goes in
// stream order to the NAV pack decoder, the per-sector analysis, the frame-type template step and
// the stream collection of "Create IFOs", whose IFO files are then built. Then the program-stream
// scanner walks the input as one VOB file, and as a chain of two files cut in the middle.
#include "fuzz_support.h"
#include "vob/cell_list.h"
#include "vob/collected_streams.h"
#include "vob/frame_template.h"
#include "vob/new_ifo_files.h"
#include "vob/stream_scanner.h"
#include "vob/vobu_analysis.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace navtab::vob;
    VobJob job;
    CollectedStreams streams;
    for (std::size_t at = 0; at < size; at += 2048) {
        const SectorBytes sector(data + at, std::min<std::size_t>(2048, size - at));
        ParseNavPackFull(sector);
        AnalyseVobSector(job, sector);
        TemplatePack(job, sector);
        CollectStreams(streams, sector);
        ++job.sector;
    }
    NewTitleSet set;
    set.streams = streamsFromCollection(streams);
    set.cells = BuildCells(job);
    set.programStart = programPerCell(set.cells);
    set.titleSectors = job.sector;
    BuildNewIfoFiles(set, job.vobus);
    const auto scan = [](const std::vector<std::string>& paths) {
        ScanResults results;
        ScanStreams(paths, results, {kScanAll, [](const std::string&) {}, nullptr});
    };
    const MemoryFile whole(data, size);
    if (whole.ok()) scan({whole.path()});
    const std::size_t half = size / 2;
    const MemoryFile first(data, half), second(data + half, size - half);
    if (first.ok() && second.ok()) scan({first.path(), second.path()});
    return 0;
}
