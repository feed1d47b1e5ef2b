// Throughput of the VOB readers, in bytes per second, on one VOB of more than 500 MB made of the
// sample VOB files one after another (built in /tmp at the first run and kept there): a plain
// read of the file through 1 MiB reads, the program-stream scanner (as Auto-Calc runs it, with
// its log), and the full per-sector analysis through the VOB reading loop (what navtab-cli vobus
// does). All three read the same page-cached file in the same run.
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
constexpr std::uintmax_t kMinimumBytes = 512ull << 20;
const std::string kFolder = "/tmp/navtab-bench-vob";

// The big VOB, with a title set IFO beside it so that navtab-cli vobus can read it too.
const std::string& bigVob() {
    static const std::string path = [] {
        const std::string vob = kFolder + "/VTS_01_1.VOB";
        std::error_code ec;
        if (fs::file_size(vob, ec) >= kMinimumBytes && !ec) return vob;
        fs::create_directories(kFolder);
        fs::copy_file(sample("pal169/VIDEO_TS/VTS_01_0.IFO"), kFolder + "/VTS_01_0.IFO",
                      fs::copy_options::overwrite_existing);
        std::string parts;
        for (const char* f : {"ntsc43/VIDEO_TS/VTS_01_1.VOB", "ntsc43/VIDEO_TS/VTS_02_1.VOB",
                              "pal169/VIDEO_TS/VTS_01_1.VOB"})
            parts += fileBytes(sample(f));
        writeRepeated(vob + ".part", parts, kMinimumBytes);
        fs::rename(vob + ".part", vob);
        return vob;
    }();
    return path;
}

void perByte(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(fs::file_size(bigVob())));
}

void BM_PlainRead(benchmark::State& state) {
    auto buffer = std::make_unique<char[]>(1 << 20);
    for (auto _ : state) {
        const int fd = open(bigVob().c_str(), O_RDONLY);
        std::int64_t total = 0;
        for (ssize_t n; (n = read(fd, buffer.get(), 1 << 20)) > 0;) total += n;
        close(fd);
        benchmark::DoNotOptimize(total);
    }
    perByte(state);
}

void BM_Scanner(benchmark::State& state) {
    for (auto _ : state) {
        vob::ScanResults results;
        std::size_t logged = 0;
        const auto status = vob::ScanStreams(
            {bigVob()}, results,
            {vob::kScanAll, [&logged](const std::string& t) { logged += t.size(); }, nullptr});
        benchmark::DoNotOptimize(status);
        benchmark::DoNotOptimize(logged);
    }
    perByte(state);
}

void BM_Analysis(benchmark::State& state) {
    SilentInteraction ui;
    for (auto _ : state) {
        vob::VobJob job;
        vob::ReadVobSectors({{bigVob()}, nullptr, nullptr}, ui, [&job](vob::SectorBytes s) {
            vob::AnalyseVobSector(job, s);
            ++job.sector;
        });
        benchmark::DoNotOptimize(job.vobus.size());
    }
    perByte(state);
}

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Scanner)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Analysis)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
}  // namespace navtab::bench
