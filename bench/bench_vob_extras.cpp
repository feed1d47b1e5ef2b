// Stripping one audio stream from a title set of more than 1 GB and re-muxing a video stream into
// it, against a plain copy of the same files with cat to the same disk, and the NAV-pack rewrite
// of the stripped copy. The title set is
// the ntsc43 sample's title VOB repeated (its NAV packs renumbered so that the set is one sector
// numbering) and split into VTS_01_1.VOB and VTS_01_2.VOB at the DVD file limit; it is built in
// /tmp at the first run and kept there. Everything is page-cached after the first iteration.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

#include <unistd.h>

#include "bench_support.h"
#include "vob/destination_writer.h"
#include "vob/extras_run.h"
#include "vob/held_nav_correction.h"
#include "vob/m2v_reader.h"
#include "vob/nav_pack_rewrite.h"
#include "vob/nav_relocation.h"
#include "vob/title_vob_pass.h"

namespace navtab::bench {
namespace {

namespace fs = std::filesystem;
constexpr std::uintmax_t kTitleSetBytes = 1100ull << 20;
const fs::path kFolder = "/tmp/navtab-bench-extras";

std::vector<std::string> sourceVobs() {
    static const std::vector<std::string> files = [] {
        const fs::path src = kFolder / "src";
        const std::vector<std::string> names{(src / "VTS_01_1.VOB").string(),
                                             (src / "VTS_01_2.VOB").string()};
        std::error_code ec;
        if (fs::file_size(names[1], ec) > 0 && !ec) return names;
        fs::create_directories(src);
        const std::string sampleVob = fileBytes(sample("ntsc43/VIDEO_TS/VTS_01_1.VOB"));
        const auto sampleSectors = static_cast<std::uint32_t>(sampleVob.size() / 2048);
        std::ofstream out[2] = {std::ofstream(names[0], std::ios::binary),
                                std::ofstream(names[1], std::ios::binary)};
        std::uint64_t sector = 0;
        for (std::uint32_t base = 0; sector * 2048 < kTitleSetBytes; base += sampleSectors) {
            std::string copy = sampleVob;
            for (std::uint32_t s = 0; s < sampleSectors; ++s, ++sector) {
                auto* p = reinterpret_cast<std::uint8_t*>(&copy[std::size_t{s} * 2048]);
                if (p[17] == 0xBB) {
                    put32(p + 45, base + s);
                    put32(p + 1035, base + s);
                }
                out[sector < vob::kMaxSectorsPerVob ? 0 : 1].write(reinterpret_cast<const char*>(p),
                                                                   2048);
            }
        }
        return names;
    }();
    return files;
}

// The sample's own video as an elementary stream (ffmpeg copies it out), repeated as often as the
// title set repeats the sample: a new stream of exactly the source's GOPs.
std::string remuxStream() {
    static const std::string path = [] {
        const fs::path m2v = kFolder / "video.m2v", one = kFolder / "sample.m2v";
        std::error_code ec;
        if (fs::file_size(m2v, ec) > 0 && !ec) return m2v.string();
        const std::string sampleVob = sample("ntsc43/VIDEO_TS/VTS_01_1.VOB");
        const std::string copy = "ffmpeg -v error -y -i '" + sampleVob +
                                 "' -map 0:v -c:v copy -f mpeg2video '" + one.string() + "'";
        if (std::system(copy.c_str()) != 0) return std::string();
        const std::uintmax_t copies =
            (kTitleSetBytes + fs::file_size(sampleVob) - 1) / fs::file_size(sampleVob);
        writeRepeated(m2v.string(), fileBytes(one.string()), copies * fs::file_size(one));
        return m2v.string();
    }();
    return path;
}

std::int64_t titleSetBytes() {
    std::int64_t n = 0;
    for (const auto& f : sourceVobs()) n += static_cast<std::int64_t>(fs::file_size(f));
    return n;
}

class NoDialogs : public vob::VobCommandUi {
    class NoProgress : public Progress {
      public:
        void SetRange(int, int, int) override {}
        int SetPos(int) override { return 0; }
        int OffsetPos(int) override { return 0; }
        int StepIt() override { return 0; }
        void SetText(const std::string&) override {}
        void PeekAndPump(bool) override {}
        bool Cancelled() const override { return false; }
    };

  public:
    bool chooseAutoCalcTables(vob::AutoCalcTables&) override { return false; }
    bool chooseFrameTypes(vob::FrameTypes&) override { return false; }
    std::string chooseTemplateFile(const std::string&, const std::string&) override { return {}; }
    std::unique_ptr<Progress> showProgress(const std::string&) override {
        return std::make_unique<NoProgress>();
    }
};

const std::string kDestination = (kFolder / "out" / "VTS_01_1.VOB").string();

// Each timed copy starts with the previous one's output on the disk: without this, whichever run
// comes next pays for the writeback of the last one's gigabyte.
void settleWriteback(benchmark::State& state) {
    state.PauseTiming();
    ::sync();
    state.ResumeTiming();
}

void BM_CatCopy(benchmark::State& state) {
    fs::create_directories(kFolder / "out");
    const auto& f = sourceVobs();
    const std::string command = "cat '" + f[0] + "' > '" +
                                (kFolder / "out" / "VTS_01_1.VOB").string() + "' && cat '" + f[1] +
                                "' > '" + (kFolder / "out" / "VTS_01_2.VOB").string() + "'";
    for (auto _ : state) {
        settleWriteback(state);
        if (std::system(command.c_str()) != 0) state.SkipWithError("cat failed");
    }
    state.SetBytesProcessed(state.iterations() * titleSetBytes());
}

// The copy pass of VOB Extras with "Strip Stream's" leaving out audio stream 0x81 and the
// pointer option on (every written sector analysed).
vob::VobJob stripOneAudioStream() {
    vob::VobJob job;
    job.strip.keepStreamId.fill(true);
    job.strip.keepStreamId[0x81] = false;
    job.options.stripVobIds = false;
    vob::DestinationWriter writer(kDestination, false);
    vob::PrepareHeldNavCorrection(job, writer);
    SilentInteraction ui;
    vob::ProcessVobSectors({sourceVobs(), nullptr, nullptr}, ui, [&](std::span<std::uint8_t> s) {
        return vob::ProcessSector(job, s, &writer);
    });
    vob::CorrectHeldNavPacks(job, writer, true);
    writer.close();
    return job;
}

void BM_StripOneAudioStream(benchmark::State& state) {
    fs::create_directories(kFolder / "out");
    for (auto _ : state) {
        settleWriteback(state);
        benchmark::DoNotOptimize(stripOneAudioStream().vobus.size());
    }
    state.SetBytesProcessed(state.iterations() * titleSetBytes());
}

// VOB Extras with only Re-Mux: every video pack refilled from the stream, every written sector
// analysed for the NAV-pack correction.
void BM_Remux(benchmark::State& state) {
    fs::create_directories(kFolder / "out");
    const std::string m2v = remuxStream();
    if (m2v.empty()) state.SkipWithError("ffmpeg could not copy the sample's video out");
    for (auto _ : state) {
        settleWriteback(state);
        SilentInteraction ui;
        vob::M2vReader reader(m2v, ui);
        vob::VobJob job;
        job.options.stripStreams = false;
        job.remux.reader = &reader;
        vob::DestinationWriter writer(kDestination, false);
        vob::PrepareHeldNavCorrection(job, writer);
        vob::ProcessVobSectors(
            {sourceVobs(), nullptr, nullptr}, ui,
            [&](std::span<std::uint8_t> s) { return vob::ProcessSector(job, s, &writer); });
        vob::CorrectHeldNavPacks(job, writer, true);
        writer.close();
        benchmark::DoNotOptimize(job.vobus.size());
        state.counters["dropped"] = static_cast<double>(job.remux.packsDropped);
    }
    state.SetBytesProcessed(state.iterations() * titleSetBytes());
}

// The NAV-pack step of the run after the stripping copy above. The copy corrects every NAV pack
// it can while its writer still holds it (that work is part of its time); this step relocates
// and rewrites the ones left, of which `left_for_rewrite` tells.
void BM_NavPackRewrite(benchmark::State& state) {
    fs::create_directories(kFolder / "out");
    const vob::VobJob stripped = stripOneAudioStream();
    std::size_t left = 0;
    for (const auto& v : stripped.vobus) left += !v.navWritten;
    state.counters["left_for_rewrite"] = static_cast<double>(left);
    const std::vector<std::string> files{kDestination, vob::titleDestinationPath(kDestination, 2)};
    NoDialogs dialogs;
    SilentInteraction ui;
    double relocating = 0, processCpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        vob::VobJob job = stripped;
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        vob::RelocateNavPointers(job);
        relocating +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        timespec a{}, b{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
        benchmark::DoNotOptimize(vob::CorrectVobNavPacks(job, files, dialogs, ui));
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
        processCpu += static_cast<double>(b.tv_sec - a.tv_sec) * 1e3 +
                      static_cast<double>(b.tv_nsec - a.tv_nsec) / 1e6;
    }
    state.counters["process_cpu_ms"] = processCpu / static_cast<double>(state.iterations());
    state.counters["VOBUs"] = static_cast<double>(stripped.vobus.size());
    // The part of the time spent relocating pointers in memory; the rest is reading and writing,
    // whose processor time is process_cpu_ms.
    state.counters["relocate_ms"] = relocating / static_cast<double>(state.iterations());
}

BENCHMARK(BM_CatCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_StripOneAudioStream)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_Remux)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_NavPackRewrite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
}  // namespace navtab::bench
