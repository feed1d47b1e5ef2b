// Feeds arbitrary bytes to the VOB readers. The input is cut into sectors (the last one may be
// short); each sector goes, in stream order, to the NAV pack decoder, the per-sector analysis and
// the frame-type template step and the stream collection of "Create IFOs", whose new IFO files
// are then built from what was found. Then the program-stream scanner walks the whole input as a
// VOB file, and once more as a chain of two files cut in the middle.
#include "fuzz_support.h"
#include "vob/cell_list.h"
#include "vob/collected_streams.h"
#include "vob/frame_template.h"
#include "vob/new_ifo_files.h"
#include "vob/stream_scanner.h"
#include "vob/vobu_analysis.h"

namespace {

void scan(const std::vector<std::string>& paths) {
    navtab::vob::ScanResults results;
    navtab::vob::ScanStreams(paths, results,
                             {navtab::vob::kScanAll, [](const std::string&) {}, nullptr});
}

}  // namespace

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
    const MemoryFile whole(data, size);
    if (whole.ok()) scan({whole.path()});
    const std::size_t half = size / 2;
    const MemoryFile first(data, half), second(data + half, size - half);
    if (first.ok() && second.ok()) scan({first.path(), second.path()});
    return 0;
}
