// How fast tables turn into field-list rows, counted in rows per second: the management tables of
// the sample disc, and a VOBU address map and a time map table of 100,000 entries each, built in
// memory.
#include <benchmark/benchmark.h>

#include "core/bytes.h"
#include "core/document.h"
#include "core/user_interaction.h"
#include "format/describe.h"
#include "format/file_tree.h"

namespace navtab {
namespace {

constexpr std::uint32_t kEntries = 100000;

void describe(benchmark::State& state, const ifo_t& ifo, TreeNode& node, bool reserved) {
    FieldList list;
    list.showReserved = reserved;
    std::int64_t rows = 0;
    for (auto _ : state) {
        DescribeNode(ifo, list, node);
        rows += list.rowCount();
        benchmark::DoNotOptimize(list.rows().data());
    }
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

class Quiet : public UserInteraction {
  public:
    void message(const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
};

void describeManagementTable(benchmark::State& state, const char* file) {
    Quiet ui;
    Workspace workspace;
    const std::string path = std::string(NAVTAB_TEST_DATA) + file;
    IfoDocument& doc = AddFileToTree(workspace, path, openIfoFile(path, ui));
    describe(state, *doc.ifo, *doc.root.children.front(), true);
}

// A map whose VOBUs start every 37 sectors.
void buildVobuAdmap(ifo_t& ifo) {
    auto& t = ifo.table[ID_VTS_VOBU_ADMAP];
    t.assign(roundToSector(4 + 4 * std::size_t{kEntries}), 0);
    put32(t.data(), 4 * kEntries + 3);
    for (std::uint32_t i = 0; i < kEntries; ++i) put32(t.data() + 4 + 4 * i, 37 * i);
}

// A map holds at most 65535 entries, so the entries are split over two maps (two title PGCs) of a
// second per entry; every tenth entry follows a discontinuity.
void buildTmapti(ifo_t& ifo) {
    constexpr std::uint32_t kMaps = 2, kPerMap = kEntries / kMaps, kMapSize = 4 + 4 * kPerMap;
    constexpr std::uint32_t kFirstMap = 8 + 4 * kMaps;
    auto& t = ifo.table[ID_VTS_TMAPTI];
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

void describeBuiltTable(benchmark::State& state, int tableId, void (*build)(ifo_t&)) {
    ifo_t ifo;
    ifo.table[ID_MAT].assign(2048, 0);
    build(ifo);
    TreeNode node;
    node.kind = NodeKind::Table;
    node.tableId = tableId;
    describe(state, ifo, node, false);
}

void BM_DescribeVtsiMat(benchmark::State& state) {
    describeManagementTable(state, "/ntsc43/VIDEO_TS/VTS_01_0.IFO");
}
void BM_DescribeVmgiMat(benchmark::State& state) {
    describeManagementTable(state, "/ntsc43/VIDEO_TS/VIDEO_TS.IFO");
}
void BM_DescribeVtsVobuAdmap(benchmark::State& state) {
    describeBuiltTable(state, ID_VTS_VOBU_ADMAP, buildVobuAdmap);
}
void BM_DescribeVtsTmapti(benchmark::State& state) {
    describeBuiltTable(state, ID_VTS_TMAPTI, buildTmapti);
}
BENCHMARK(BM_DescribeVtsiMat);
BENCHMARK(BM_DescribeVmgiMat);
BENCHMARK(BM_DescribeVtsVobuAdmap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DescribeVtsTmapti)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace navtab
