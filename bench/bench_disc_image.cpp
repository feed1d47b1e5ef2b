// The disc image run (with its scratch folder of links, temporary name and rename) against the
// image program run by hand on the same 1 GB folder, made in the temporary folder for the run: the
// ntsc43 title VOB repeated to 1 GB, the IFO files' sector addresses corrected to match (the image
// program refuses a folder whose addresses disagree with its files).
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <chrono>

#include "bench_support.h"
#include "core/document.h"
#include "format/file_tree.h"
#include "image/disc_image.h"
#include "image/image_programs.h"
#include "repair/sector_correction.h"

namespace navtab::bench {
namespace {

namespace fs = std::filesystem;

void makeBigFolder(const std::string& root) {
    const std::string videoTs = root + "/VIDEO_TS";
    fs::create_directories(videoTs);
    fs::copy(sample("ntsc43/VIDEO_TS"), videoTs);
    writeRepeated(videoTs + "/VTS_01_1.VOB", fileBytes(sample("ntsc43/VIDEO_TS/VTS_01_1.VOB")),
                  1ull << 30, false);
    Workspace workspace;
    SilentInteraction ui;
    ui.yes = true;
    WorkspaceDocuments source(workspace, ui);
    const auto listing = repair::DiscListing::read(videoTs);
    repair::CorrectAllIfoFiles(workspace, source, videoTs, listing->withMissingBackups(), ui);
}

// Both write a new image: the one of the turn before is removed first, and the disk is given
// the pages left dirty, so that neither pays for the other.
template <typename Run>
double secondsOf(const Run& run, const std::string& image, bool& ok) {
    std::remove(image.c_str());
    sync();
    const auto start = std::chrono::steady_clock::now();
    ok = run() && ok;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration runs both, in an order that changes every time, so that both meet the same load
// and disk cache. The counters give the fastest of each and the ratio to meet (no more than 1.2).
void BM_DiscImageAgainstByHand(benchmark::State& state) {
    const std::string builder = image::discoverImageBuilder({}, image::environmentPath());
    if (builder.empty()) return state.SkipWithError("genisoimage is not installed");
    const std::string root =
        (fs::temp_directory_path() / ("navtab-bench-image-" + std::to_string(getpid()))).string();
    makeBigFolder(root);
    const std::string handImage = root + ".by-hand.img";
    const std::string command = builder + " -dvd-video -udf -V NTSC43 -o '" + handImage + "' '" +
                                root + "' >/dev/null 2>&1";
    const image::DiscImageRequest request{builder, root + "/VIDEO_TS", root + ".run.img", ""};
    const auto byHand = [&] { return std::system(command.c_str()) == 0; };
    const auto imageRun = [&] { return image::buildDiscImage(request, {}, nullptr).done(); };
    double hand = 1e9, run = 1e9;
    bool ok = true, handFirst = false;
    for (auto _ : state) {
        handFirst = !handFirst;
        if (handFirst) hand = std::min(hand, secondsOf(byHand, handImage, ok));
        run = std::min(run, secondsOf(imageRun, request.imagePath, ok));
        if (!handFirst) hand = std::min(hand, secondsOf(byHand, handImage, ok));
    }
    if (!ok) state.SkipWithError("a build failed");
    state.counters["by_hand_ms"] = hand * 1000;
    state.counters["run_ms"] = run * 1000;
    state.counters["ratio"] = run / hand;
    std::error_code ec;
    for (const std::string& p : {root, handImage, request.imagePath}) fs::remove_all(p, ec);
}

BENCHMARK(BM_DiscImageAgainstByHand)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace
}  // namespace navtab::bench
