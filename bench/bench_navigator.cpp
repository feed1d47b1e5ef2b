// The DVD navigator: commands executed per second on a typical mix (register arithmetic,
// compares, conditional sets and a Goto loop), and the whole navigation of the ntsc43 sample disc
// without decoding: loading its IFO files, the session from first play and every title played
// from its first chapter, with the NAV packs of every cell read.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "navigator/scripted_session.h"

namespace navtab::navigator {
namespace {

void BM_NavigatorCommands(benchmark::State& state) {
    const std::vector<navcmd::NavBytes> commands = {
        {0x71, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00},  // GPRM1 = 0
        {0x73, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00},  // GPRM1 += 1 (line 2)
        {0x61, 0x00, 0x00, 0x02, 0x00, 0x01, 0x00, 0x00},  // GPRM2 = GPRM1
        {0x75, 0x00, 0x00, 0x02, 0x00, 0x03, 0x00, 0x00},  // GPRM2 *= 3
        {0x77, 0x00, 0x00, 0x02, 0x00, 0x07, 0x00, 0x00},  // GPRM2 %= 7
        {0x71, 0xA0, 0x02, 0x03, 0x00, 0x05, 0x00, 0x01},  // if GPRM2 == 1 then GPRM3 = 5
        {0x93, 0x32, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00},  // GPRM2 += 1, compare
        {0x00, 0xF1, 0x00, 0x01, 0x00, 0x40, 0x00, 0x02},  // if GPRM1 < 64 goto line 2
    };
    Registers r = Registers::initial();
    std::mt19937 random(1);
    CommandExecutor exec(r, random);
    std::int64_t executed = 0;
    for (auto _ : state) {
        long budget = 1'000'000;
        exec.run(commands, 0, budget);
        executed += 1'000'000 - budget;
        benchmark::DoNotOptimize(r.gprm[3]);
    }
    state.SetItemsProcessed(executed);
}
BENCHMARK(BM_NavigatorCommands);

void BM_WholeDiscNavigation(benchmark::State& state) {
    const std::string folder = std::string(NAVTAB_TEST_DATA) + "/ntsc43/VIDEO_TS";
    std::int64_t cells = 0;
    for (auto _ : state) {
        const Disc disc = LoadDisc(folder);
        Navigator nav(disc);
        const auto count = [&](const Event& e) { cells += e.kind == EventKind::Cell; };
        RunScript(nav, Script{.presses = {}, .maxCells = 24}, count);
        for (int t = 1; t <= static_cast<int>(disc.titles.size()); ++t)
            RunScript(nav, Script{.title = t, .presses = {}, .maxCells = 8}, count);
    }
    state.counters["cells"] =
        benchmark::Counter(static_cast<double>(cells), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WholeDiscNavigation)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace navtab::navigator
