// Stripping one audio stream from a title set of more than 1 GB and re-muxing a video stream into
// it, against cat copying the same files to the same disk, and the NAV-pack rewrite of the
// stripped copy. The title set, built in /tmp at the first run and kept, is the ntsc43 title VOB
// repeated and split into VTS_01_1.VOB and VTS_01_2.VOB at the DVD file limit; it is page-cached
// after the first iteration.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include "../tests/unit/vob_fake_ui.h"
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
const std::string kDestination = (kFolder / "out" / "VTS_01_1.VOB").string();

const std::vector<std::string>& sourceVobs() {
    static const std::string first = (kFolder / "src" / "VTS_01_1.VOB").string();
    static const std::vector<std::string> files{
        first, keptFile((kFolder / "src" / "VTS_01_2.VOB").string(), [](const std::string& second) {
            std::string vob = fileBytes(sample("ntsc43/VIDEO_TS/VTS_01_1.VOB"));
            const auto sectors = static_cast<std::uint32_t>(vob.size() / 2048);
            std::ofstream out[2] = {std::ofstream(first, std::ios::binary),
                                    std::ofstream(second, std::ios::binary)};
            // Whole copies of the sample, each NAV pack with its sector number in the set.
            for (std::uint32_t n = 0; n % sectors != 0 || n * 2048ull < kTitleSetBytes; ++n) {
                auto* p = reinterpret_cast<std::uint8_t*>(&vob[std::size_t{n % sectors} * 2048]);
                if (p[17] == 0xBB) {
                    put32(p + 45, n);
                    put32(p + 1035, n);
                }
                out[n < vob::kMaxSectorsPerVob ? 0 : 1].write(reinterpret_cast<const char*>(p),
                                                              2048);
            }
            return true;
        })};
    return files;
}

// The sample's own video as an elementary stream (ffmpeg copies it out), repeated as often as the
// title set repeats the sample: a new stream of exactly the source's GOPs.
const std::string& remuxStream() {
    static const std::string path =
        keptFile((kFolder / "video.m2v").string(), [](const std::string& part) {
            const std::string vob = sample("ntsc43/VIDEO_TS/VTS_01_1.VOB");
            const std::string one = (kFolder / "sample.m2v").string();
            const std::string copy = "ffmpeg -v error -y -i '" + vob +
                                     "' -map 0:v -c:v copy -f mpeg2video '" + one + "'";
            if (std::system(copy.c_str()) != 0) return false;
            const std::uintmax_t copies =
                (kTitleSetBytes + fs::file_size(vob) - 1) / fs::file_size(vob);
            writeRepeated(part, fileBytes(one), copies * fs::file_size(one));
            return true;
        });
    return path;
}

// Times `copy` of the title set into the destination folder. Each timed copy starts with the
// previous one's output on the disk: without this, whichever run comes next pays for the
// writeback of the last one's gigabyte.
template <typename Copy>
void timeCopies(benchmark::State& state, const Copy& copy) {
    fs::create_directories(kFolder / "out");
    std::int64_t bytes = 0;
    for (const auto& f : sourceVobs()) bytes += static_cast<std::int64_t>(fs::file_size(f));
    for (auto _ : state) {
        state.PauseTiming();
        ::sync();
        state.ResumeTiming();
        copy();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

// The copy pass of VOB Extras, every written sector analysed and the NAV packs corrected while
// the writer holds them.
void copyPass(vob::VobJob& job) {
    vob::DestinationWriter writer(kDestination, false);
    vob::PrepareHeldNavCorrection(job, writer);
    SilentInteraction ui;
    vob::ProcessVobSectors({sourceVobs(), nullptr, nullptr}, ui, [&](std::span<std::uint8_t> s) {
        return vob::ProcessSector(job, s, &writer);
    });
    vob::CorrectHeldNavPacks(job, writer, true);
    writer.close();
}

// "Strip Stream's" leaving out audio stream 0x81, with the pointer option on.
vob::VobJob stripOneAudioStream() {
    vob::VobJob job;
    job.strip.keepStreamId.fill(true);
    job.strip.keepStreamId[0x81] = false;
    job.options.stripVobIds = false;
    copyPass(job);
    return job;
}

void BM_CatCopy(benchmark::State& state) {
    const auto& f = sourceVobs();
    const std::string command = "cat '" + f[0] + "' > '" + kDestination + "' && cat '" + f[1] +
                                "' > '" + vob::titleDestinationPath(kDestination, 2) + "'";
    timeCopies(state, [&] {
        if (std::system(command.c_str()) != 0) state.SkipWithError("cat failed");
    });
}

void BM_StripOneAudioStream(benchmark::State& state) {
    timeCopies(state, [] { benchmark::DoNotOptimize(stripOneAudioStream().vobus.size()); });
}

// VOB Extras with only Re-Mux: every video pack refilled from the stream.
void BM_Remux(benchmark::State& state) {
    const std::string m2v = remuxStream();
    if (m2v.empty()) state.SkipWithError("ffmpeg could not copy the sample's video out");
    timeCopies(state, [&] {
        SilentInteraction ui;
        vob::M2vReader reader(m2v, ui);
        vob::VobJob job;
        job.options.stripStreams = false;
        job.remux.reader = &reader;
        copyPass(job);
        benchmark::DoNotOptimize(job.vobus.size());
        state.counters["dropped"] = static_cast<double>(job.remux.packsDropped);
    });
}

// The NAV-pack step of the run after the stripping copy above. The copy corrects every NAV pack
// it can while its writer still holds it (that work is part of its time); this step relocates
// and rewrites the ones left, of which `left_for_rewrite` tells.
void BM_NavPackRewrite(benchmark::State& state) {
    fs::create_directories(kFolder / "out");
    const vob::VobJob stripped = stripOneAudioStream();
    std::size_t left = 0;
    for (const auto& v : stripped.vobus) left += !v.navWritten;
    const std::vector<std::string> files{kDestination, vob::titleDestinationPath(kDestination, 2)};
    test::FakeDialogs dialogs;
    SilentInteraction ui;
    for (auto _ : state) {
        state.PauseTiming();
        vob::VobJob job = stripped;
        state.ResumeTiming();
        vob::RelocateNavPointers(job);
        benchmark::DoNotOptimize(vob::CorrectVobNavPacks(job, files, dialogs, ui));
    }
    state.counters["left_for_rewrite"] = static_cast<double>(left);
    state.counters["VOBUs"] = static_cast<double>(stripped.vobus.size());
}

BENCHMARK(BM_CatCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_StripOneAudioStream)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_Remux)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_NavPackRewrite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
}  // namespace navtab::bench
