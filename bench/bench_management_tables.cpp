// How fast a management table turns into field-list rows, counted in rows per second.
#include <benchmark/benchmark.h>

#include "core/document.h"
#include "core/user_interaction.h"
#include "format/describe.h"
#include "format/file_tree.h"

namespace navtab {
namespace {

class Quiet : public UserInteraction {
public:
    void message(const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
};

void describeManagementTable(benchmark::State& state, const char* file) {
    Quiet ui;
    Workspace workspace;
    IfoDocument& doc = AddFileToTree(workspace, std::string(NAVTAB_TEST_DATA) + file,
                                     openIfoFile(std::string(NAVTAB_TEST_DATA) + file, ui));
    TreeNode& mat = *doc.root.children.front();
    FieldList list;
    list.showReserved = true;
    std::int64_t rows = 0;
    for (auto _ : state) {
        DescribeNode(*doc.ifo, list, mat);
        rows += list.rowCount();
        benchmark::DoNotOptimize(list.rows().data());
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

void BM_DescribeVtsiMat(benchmark::State& state) {
    describeManagementTable(state, "/ntsc43/VIDEO_TS/VTS_01_0.IFO");
}
void BM_DescribeVmgiMat(benchmark::State& state) {
    describeManagementTable(state, "/ntsc43/VIDEO_TS/VIDEO_TS.IFO");
}
BENCHMARK(BM_DescribeVtsiMat);
BENCHMARK(BM_DescribeVmgiMat);

}  // namespace
}  // namespace navtab
