// How fast tables turn into field-list rows, counted in rows per second: a VOBU address map and a
// time map table of 100,000 entries each, built in memory (the largest tables a disc has).
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "format/describe.h"

namespace navtab::bench {
namespace {

constexpr std::uint32_t kEntries = 100000;

// A map holds at most 65535 entries, so the entries are split over two maps (two title PGCs) of a
// second per entry; every tenth entry follows a discontinuity.
void buildTmapti(std::vector<std::uint8_t>& t, std::uint32_t) {
    constexpr std::uint32_t kMaps = 2, kPerMap = kEntries / kMaps, kMapSize = 4 + 4 * kPerMap;
    constexpr std::uint32_t kFirstMap = 8 + 4 * kMaps;
    t.assign(roundToSector(kFirstMap + kMaps * kMapSize), 0);
    put16(t.data(), kMaps);
    put32(t.data() + 4, kFirstMap + kMaps * kMapSize - 1);
    for (std::uint32_t m = 0; m < kMaps; ++m) {
        std::uint8_t* map = t.data() + kFirstMap + m * kMapSize;
        put32(t.data() + 8 + 4 * m, kFirstMap + m * kMapSize);
        map[0] = 1;
        put16(map + 2, kPerMap);
        for (std::uint32_t i = 0; i < kPerMap; ++i)
            put32(map + 4 + 4 * i, 37 * i | (i % 10 == 0 ? 0x80000000u : 0));
    }
}

void describeBuiltTable(benchmark::State& state, int tableId,
                        void (*build)(std::vector<std::uint8_t>&, std::uint32_t)) {
    ifo_t ifo;
    ifo.table[ID_MAT].assign(2048, 0);
    build(ifo.table[tableId], kEntries);
    TreeNode node;
    node.kind = NodeKind::Table;
    node.tableId = tableId;
    FieldList list;
    std::int64_t rows = 0;
    for (auto _ : state) {
        DescribeNode(ifo, list, node);
        rows += list.rowCount();
        benchmark::DoNotOptimize(list.rows().data());
    }
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(describeBuiltTable, VtsVobuAdmap, ID_VTS_VOBU_ADMAP, fillVobuAdmap)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(describeBuiltTable, VtsTmapti, ID_VTS_TMAPTI, buildTmapti)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace navtab::bench
