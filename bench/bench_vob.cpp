// Throughput of the VOB readers, in bytes per second, on one VOB of more than 500 MB made of the
// sample VOB files one after another (built in /tmp at the first run and kept there): a plain
// read of the file through 1 MiB reads, the program-stream scanner (as Auto-Calc runs it, with
// its log), and the full per-sector analysis through the VOB reading loop (what navtab-cli vobus
// does). All three read the same page-cached file in the same run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "core/user_interaction.h"
#include "vob/stream_scanner.h"
#include "vob/title_vob_pass.h"
#include "vob/vobu_analysis.h"

namespace navtab {
namespace {

constexpr std::uintmax_t kMinimumBytes = 512ull << 20;
const char* const kFolder = "/tmp/navtab-bench-vob";

std::string sample(const std::string& path) {
    return std::string(NAVTAB_TEST_DATA) + "/" + path;
}

// The big VOB, with a title set IFO beside it so that navtab-cli vobus can read it too.
const std::string& bigVob() {
    static const std::string path = [] {
        const std::string vob = std::string(kFolder) + "/VTS_01_1.VOB";
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(vob, ec);
        if (!ec && size >= kMinimumBytes) return vob;
        std::filesystem::create_directories(kFolder);
        std::filesystem::copy_file(sample("pal169/VIDEO_TS/VTS_01_0.IFO"),
                                   std::string(kFolder) + "/VTS_01_0.IFO",
                                   std::filesystem::copy_options::overwrite_existing);
        std::string parts;
        for (const char* f : {"ntsc43/VIDEO_TS/VTS_01_1.VOB", "ntsc43/VIDEO_TS/VTS_02_1.VOB",
                              "pal169/VIDEO_TS/VTS_01_1.VOB"}) {
            std::ifstream in(sample(f), std::ios::binary);
            parts.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        std::ofstream out(vob + ".part", std::ios::binary | std::ios::trunc);
        for (std::uintmax_t written = 0; written < kMinimumBytes; written += parts.size())
            out.write(parts.data(), static_cast<std::streamsize>(parts.size()));
        out.close();
        std::filesystem::rename(vob + ".part", vob);
        return vob;
    }();
    return path;
}

std::int64_t bigVobBytes() {
    return static_cast<std::int64_t>(std::filesystem::file_size(bigVob()));
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
    state.SetBytesProcessed(state.iterations() * bigVobBytes());
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
    state.SetBytesProcessed(state.iterations() * bigVobBytes());
}

class SilentInteraction : public UserInteraction {
  public:
    void message(const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
};

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
    state.SetBytesProcessed(state.iterations() * bigVobBytes());
}

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Scanner)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Analysis)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
}  // namespace navtab
