// How fast the largest tables of a title set turn into field-list rows: a VOBU address map and a
// time map table of 100,000 entries each, built in memory, counted in rows per second.
#include <benchmark/benchmark.h>

#include "core/bytes.h"
#include "format/describe.h"

namespace navtab {
namespace {

constexpr std::uint32_t kEntries = 100000;

std::vector<std::uint8_t> sectorPadded(std::size_t bytes) {
    return std::vector<std::uint8_t>(roundToSector(bytes), 0);
}

// A map whose VOBUs start every 37 sectors.
void buildVobuAdmap(ifo_t& ifo) {
    auto& t = ifo.table[ID_VTS_VOBU_ADMAP] = sectorPadded(4 + 4 * std::size_t{kEntries});
    put32(t.data(), 4 * kEntries + 3);
    for (std::uint32_t i = 0; i < kEntries; ++i) put32(t.data() + 4 + 4 * i, 37 * i);
}

// A map holds at most 65535 entries, so the entries are split over two maps (two title PGCs) of a
// second per entry; every tenth entry follows a discontinuity.
void buildTmapti(ifo_t& ifo) {
    constexpr std::uint32_t kMaps = 2;
    constexpr std::uint32_t kPerMap = kEntries / kMaps;
    constexpr std::uint32_t kMapSize = 4 + 4 * kPerMap;
    constexpr std::uint32_t kFirstMap = 8 + 4 * kMaps;
    auto& t = ifo.table[ID_VTS_TMAPTI] = sectorPadded(kFirstMap + kMaps * kMapSize);
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

void describeTable(benchmark::State& state, int tableId, void (*build)(ifo_t&)) {
    ifo_t ifo;
    ifo.table[ID_MAT].assign(2048, 0);
    build(ifo);
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
    state.counters["rows"] = static_cast<double>(list.rowCount());
}

void BM_DescribeVtsVobuAdmap(benchmark::State& state) {
    describeTable(state, ID_VTS_VOBU_ADMAP, buildVobuAdmap);
}
void BM_DescribeVtsTmapti(benchmark::State& state) {
    describeTable(state, ID_VTS_TMAPTI, buildTmapti);
}
BENCHMARK(BM_DescribeVtsVobuAdmap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DescribeVtsTmapti)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace navtab
