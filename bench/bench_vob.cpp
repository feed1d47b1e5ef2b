// Throughput of the VOB readers on one page-cached VOB of more than 500 MB made of the sample VOBs
// (built in /tmp at the first run and kept): a plain read in 1 MiB reads, the program-stream
// scanner (as Auto-Calc runs it, with its log) and the per-sector analysis through the VOB
// reading loop (what navtab-cli vobus does).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <memory>

#include "bench_support.h"
#include "vob/stream_scanner.h"
#include "vob/title_vob_pass.h"
#include "vob/vobu_analysis.h"

namespace navtab::bench {
namespace {

namespace fs = std::filesystem;

// The big VOB, with a title set IFO beside it so that navtab-cli vobus can read it too.
const std::string& bigVob() {
    static const std::string path =
        keptFile("/tmp/navtab-bench-vob/VTS_01_1.VOB", [](const std::string& part) {
            fs::copy_file(sample("pal169/VIDEO_TS/VTS_01_0.IFO"),
                          "/tmp/navtab-bench-vob/VTS_01_0.IFO",
                          fs::copy_options::overwrite_existing);
            std::string parts;
            for (const char* f : {"ntsc43/VIDEO_TS/VTS_01_1.VOB", "ntsc43/VIDEO_TS/VTS_02_1.VOB",
                                  "pal169/VIDEO_TS/VTS_01_1.VOB"})
                parts += fileBytes(sample(f));
            writeRepeated(part, parts, 512ull << 20);
            return true;
        });
    return path;
}

// Runs `pass` over the big VOB once per iteration, counting its bytes.
template <typename Pass>
void overBigVob(benchmark::State& state, const Pass& pass) {
    const std::string& vob = bigVob();
    for (auto _ : state) pass(vob);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(vob)));
}

void BM_PlainRead(benchmark::State& state) {
    auto buffer = std::make_unique<char[]>(1 << 20);
    overBigVob(state, [&buffer](const std::string& vob) {
        const int fd = open(vob.c_str(), O_RDONLY);
        std::int64_t total = 0;
        for (ssize_t n; (n = read(fd, buffer.get(), 1 << 20)) > 0;) total += n;
        close(fd);
        benchmark::DoNotOptimize(total);
    });
}

void BM_Scanner(benchmark::State& state) {
    overBigVob(state, [](const std::string& vob) {
        vob::ScanResults results;
        std::size_t logged = 0;
        benchmark::DoNotOptimize(vob::ScanStreams(
            {vob}, results,
            {vob::kScanAll, [&logged](const std::string& t) { logged += t.size(); }, nullptr}));
        benchmark::DoNotOptimize(logged);
    });
}

void BM_Analysis(benchmark::State& state) {
    SilentInteraction ui;
    overBigVob(state, [&ui](const std::string& vob) {
        vob::VobJob job;
        vob::ReadVobSectors({{vob}, nullptr, nullptr}, ui, [&job](vob::SectorBytes s) {
            vob::AnalyseVobSector(job, s);
            ++job.sector;
        });
        benchmark::DoNotOptimize(job.vobus.size());
    });
}

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Scanner)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Analysis)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
}  // namespace navtab::bench
