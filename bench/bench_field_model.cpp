// How fast the window shows a table of 100,000 rows: a synthetic title set whose VOBU address map
// has 100,000 entries is selected in the tree of the real window, which runs the describer, resets
// the field list's model, sizes the columns and paints the visible rows. Scrolling to the middle
// and painting again is measured too.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QTreeView>
#include <QTreeWidget>
#include <cstring>

#include "bench_support.h"
#include "format/file_tree.h"
#include "ui/field_list_model.h"
#include "ui/navtab_dlg.h"

namespace navtab {
namespace {

constexpr std::uint32_t kEntries = 100000;

QApplication& application() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "navtab_bench";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// A title set with nothing but its management table and a VOBU map of kEntries entries.
IfoHandle syntheticTitleSet() {
    auto ifo = std::make_unique<ifo_t>();
    auto& mat = ifo->table[ID_MAT];
    mat.assign(kSectorSize, 0);
    std::memcpy(mat.data(), "DVDVIDEO-VTS", 12);
    bench::fillVobuAdmap(ifo->table[ID_VTS_VOBU_ADMAP], kEntries);
    return ifo;
}

struct Window {
    Window() {
        dlg.resize(1000, 720);
        dlg.show();
        IfoDocument& doc =
            AddFileToTree(dlg.session().workspace(), "SYNTHETIC/VTS_01_0.IFO", syntheticTitleSet());
        QTreeWidgetItem* root = dlg.AddFileToTree(doc, true);
        for (int i = 0; i < root->childCount(); ++i) {
            if (root->child(i)->text(0).startsWith("VTS_VOBU_ADMAP")) map = root->child(i);
            if (root->child(i)->text(0).startsWith("VTSI_MAT")) mat = root->child(i);
        }
        QApplication::processEvents();
    }
    void show(QTreeWidgetItem* item) {
        dlg.tree()->setCurrentItem(item);
        dlg.list()->viewport()->repaint();  // lays out and paints the visible rows now
    }
    QApplication& app = application();  // before any widget
    ui::CNavtabDlg dlg;
    QTreeWidgetItem* map = nullptr;
    QTreeWidgetItem* mat = nullptr;
};

void BM_ShowHundredThousandRows(benchmark::State& state) {
    Window w;
    for (auto _ : state) {
        state.PauseTiming();
        w.show(w.mat);
        state.ResumeTiming();
        w.show(w.map);
    }
    state.counters["rows"] = static_cast<double>(w.dlg.model()->rowCount());
}

void BM_ScrollHundredThousandRows(benchmark::State& state) {
    Window w;
    w.show(w.map);
    QScrollBar* bar = w.dlg.list()->verticalScrollBar();
    int step = 0;
    for (auto _ : state) {
        // Jump to a far place, then page down as a user holding the key would.
        bar->setValue(step % 2 == 0 ? bar->maximum() / 2 : bar->value() + bar->pageStep());
        w.dlg.list()->viewport()->repaint();
        ++step;
    }
    state.counters["rows"] = static_cast<double>(w.dlg.model()->rowCount());
}

BENCHMARK(BM_ShowHundredThousandRows)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScrollHundredThousandRows)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace navtab
