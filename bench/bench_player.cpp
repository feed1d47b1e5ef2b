// Decoding and scaling of 720x576 MPEG-2 video as the player does it, on one thread: a PAL DVD
// program stream of 8 seconds (made with ffmpeg at the first run, kept in /tmp) goes through the
// media pipeline, which decodes every picture and scales it to a 768x576 RGB32 frame (the 4:3
// picture in square pixels). The counter "realtime" is how many times faster than playback
// (25 pictures a second) that runs; the player needs at least 4.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "bench_support.h"
#include "player/media_pipeline.h"

namespace navtab::bench {
namespace {

namespace fs = std::filesystem;
constexpr int kSeconds = 8;
constexpr double kPicturesPerSecond = 25;

const std::string& palStream() {
    static const std::string path = [] {
        const std::string out = "/tmp/navtab-bench-player/pal-720x576.mpg";
        std::error_code ec;
        if (fs::file_size(out, ec) > 0 && !ec) return out;
        fs::create_directories(fs::path(out).parent_path());
        // A moving test picture at a usual DVD video rate, without sound.
        const std::string command =
            "ffmpeg -hide_banner -nostdin -loglevel error -y -threads 1 -f lavfi -i "
            "testsrc2=s=720x576:r=25:d=" +
            std::to_string(kSeconds) + " -target pal-dvd -b:v 6000k -an '" + out +
            ".part.mpg' && mv '" + out + ".part.mpg' '" + out + "'";
        if (std::system(command.c_str()) != 0) return std::string();
        return out;
    }();
    return path;
}

void BM_DecodeAndScalePal(benchmark::State& state) {
    const std::string bytes = fileBytes(palStream());
    if (bytes.size() < 2048) {
        state.SkipWithError("ffmpeg could not make the PAL test stream");
        return;
    }
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
    state.counters["realtime"] = benchmark::Counter(
        static_cast<double>(pictures) / kPicturesPerSecond, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeAndScalePal)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace navtab::bench
