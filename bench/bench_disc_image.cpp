// The disc image run against the image program run by hand on the same folder of 1 GB: the sample
// NTSC disc with its title VOB repeated to 1 GB and the IFO files' sector addresses corrected to
// match (the image program refuses a folder whose addresses disagree with its files). The folder
// is made in the temporary folder at the first run and removed at the end; each run writes its
// image beside it. The run adds the scratch folder of links, the temporary name and the rename.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <chrono>
#include <functional>

#include "bench_support.h"
#include "core/document.h"
#include "format/file_tree.h"
#include "image/disc_image.h"
#include "image/image_programs.h"
#include "repair/sector_correction.h"

namespace navtab::bench {
namespace {

namespace fs = std::filesystem;

// The 1 GB folder: ROOT/VIDEO_TS. Removed when the program ends.
struct BigFolder {
    BigFolder() {
        root = (fs::temp_directory_path() / ("navtab-bench-image-" + std::to_string(getpid())))
                   .string();
        const std::string videoTs = root + "/VIDEO_TS";
        fs::create_directories(videoTs);
        fs::copy(sample("ntsc43/VIDEO_TS"), videoTs);
        writeRepeated(videoTs + "/VTS_01_1.VOB", fileBytes(sample("ntsc43/VIDEO_TS/VTS_01_1.VOB")),
                      1ull << 30, false);
        Workspace workspace;
        SilentInteraction ui(true);
        WorkspaceDocuments source(workspace, ui);
        const auto listing = repair::DiscListing::read(videoTs);
        repair::CorrectAllIfoFiles(workspace, source, videoTs, listing->withMissingBackups(), ui);
    }
    ~BigFolder() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    std::string root;
};

const BigFolder& bigFolder() {
    static const BigFolder folder;
    return folder;
}

const std::string& builder() {
    static const std::string found = image::discoverImageBuilder({}, image::environmentPath());
    return found;
}

// Both write a new image: the one of the turn before is removed first, and the disk is given
// the pages left dirty, so that neither pays for the other.
double secondsOf(const std::function<bool()>& run, const std::string& image, bool& ok) {
    std::remove(image.c_str());
    sync();
    const auto start = std::chrono::steady_clock::now();
    ok = run() && ok;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration runs the image program by hand and then the image run, so that both meet the
// same load of the machine and the same state of the disk cache. The counters give the fastest
// of each and their ratio (the run's time over the program's), which is the figure to meet: no
// more than 1.2.
void BM_DiscImageAgainstByHand(benchmark::State& state) {
    if (builder().empty()) return state.SkipWithError("genisoimage is not installed");
    const std::string root = bigFolder().root;
    const std::string handImage = root + ".by-hand.img";
    const std::string command = builder() + " -dvd-video -udf -V NTSC43 -o '" + handImage + "' '" +
                                root + "' >/dev/null 2>&1";
    const image::DiscImageRequest request{builder(), root + "/VIDEO_TS", root + ".run.img", ""};
    const auto byHand = [&] { return std::system(command.c_str()) == 0; };
    const auto imageRun = [&] { return image::buildDiscImage(request, {}, nullptr).done(); };
    double hand = 1e9, run = 1e9;
    bool ok = true;
    int turn = 0;
    for (auto _ : state) {
        // The order changes every time, so that neither always follows the other.
        const bool handFirst = ++turn % 2 == 1;
        if (handFirst) hand = std::min(hand, secondsOf(byHand, handImage, ok));
        run = std::min(run, secondsOf(imageRun, request.imagePath, ok));
        if (!handFirst) hand = std::min(hand, secondsOf(byHand, handImage, ok));
    }
    if (!ok) state.SkipWithError("a build failed");
    state.counters["by_hand_ms"] = hand * 1000;
    state.counters["run_ms"] = run * 1000;
    state.counters["ratio"] = run / hand;
    std::remove(handImage.c_str());
    std::remove(request.imagePath.c_str());
}

BENCHMARK(BM_DiscImageAgainstByHand)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace
}  // namespace navtab::bench
