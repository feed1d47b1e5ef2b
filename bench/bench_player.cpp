// Decoding and scaling 720x576 MPEG-2 as the player does it, on one thread: 8 seconds of a PAL DVD
// program stream (made with ffmpeg at the first run, kept in /tmp) through the media pipeline,
// every picture scaled to a 768x576 RGB32 frame (4:3 in square pixels). "realtime" is how many
// times faster than playback that runs; the player needs at least 4.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "player/media_pipeline.h"

namespace navtab::bench {
namespace {

const std::string& palStream() {
    static const std::string path =
        keptFile("/tmp/navtab-bench-player/pal-720x576.mpg", [](const std::string& out) {
            const std::string command =
                "ffmpeg -hide_banner -nostdin -loglevel error -y -threads 1 -f lavfi -i "
                "testsrc2=s=720x576:r=25:d=8 -target pal-dvd -b:v 6000k -an '" +
                out + "'";
            return std::system(command.c_str()) == 0;
        });
    return path;
}

void BM_DecodeAndScalePal(benchmark::State& state) {
    const std::string bytes = fileBytes(palStream());
    if (bytes.size() < 2048)
        return state.SkipWithError("ffmpeg could not make the PAL test stream");
    std::uint64_t pictures = 0;
    for (auto _ : state) {
        player::MediaPipeline pipeline;
        pipeline.setDisplay({768, 576, player::DisplayMode::Letterbox});
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        for (std::size_t at = 0; at + 2048 <= bytes.size(); at += 2048) {
            pipeline.feedSector({data + at, 2048});
            pictures += pipeline.takeFrames().size();
        }
        pipeline.drain();
        pictures += pipeline.takeFrames().size();
    }
    state.counters["pictures/s"] =
        benchmark::Counter(static_cast<double>(pictures), benchmark::Counter::kIsRate);
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(pictures) / 25, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeAndScalePal)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace navtab::bench
