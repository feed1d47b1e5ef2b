// The window benchmarks, offscreen. How fast the real window shows a VOBU address map of 100,000
// entries when it is selected in the tree (describer, model reset, column sizing, painting the
// visible rows), and scrolls in it. DVD Play on the sample discs, without sound: the time from
// "DVD Play" (window made, folder loaded, Play) to the first picture, and the processor time that
// playing at the normal rate takes over three seconds of a 720x576 title, as a share of one core.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <cstring>
#include <ctime>

#include "bench_support.h"
#include "format/file_tree.h"
#include "ui/dvd_play_dlg.h"
#include "ui/field_list_model.h"
#include "ui/navtab_dlg.h"
#include "ui/playback_engine.h"

namespace navtab::ui {
namespace {

// One application for the process, made before any window; it lives until the process ends, as
// destroying it among the static objects at exit crashes in Qt.
QCoreApplication* application() {
    if (QCoreApplication::instance()) return QCoreApplication::instance();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("navtab_bench"), nullptr};
    return new QApplication(argc, argv);
}

// The window with a title set of nothing but its management table and the big VOBU map.
struct Window {
    Window() {
        auto ifo = std::make_unique<ifo_t>();
        ifo->table[ID_MAT].assign(kSectorSize, 0);
        std::memcpy(ifo->table[ID_MAT].data(), "DVDVIDEO-VTS", 12);
        bench::fillVobuAdmap(ifo->table[ID_VTS_VOBU_ADMAP], 100000);
        dlg.resize(1000, 720);
        dlg.show();
        IfoDocument& doc =
            AddFileToTree(dlg.session().workspace(), "SYNTHETIC/VTS_01_0.IFO", std::move(ifo));
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
    QCoreApplication* app = application();
    CNavtabDlg dlg;
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
        bar->setValue(step++ % 2 == 0 ? bar->maximum() / 2 : bar->value() + bar->pageStep());
        w.dlg.list()->viewport()->repaint();
    }
}

BENCHMARK(BM_ShowHundredThousandRows)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScrollHundredThousandRows)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opens "DVD Play" on a sample disc (0 ntsc43, 1 pal169) and waits for its first picture.
std::unique_ptr<CDvdPlayDlg> dvdPlay(int disc) {
    qputenv("NAVTAB_AUDIO", "none");
    application();
    QElapsedTimer clock;
    clock.start();
    const std::string folder = bench::sample(disc ? "pal169/VIDEO_TS" : "ntsc43/VIDEO_TS");
    auto dlg = std::make_unique<CDvdPlayDlg>(nullptr, QString::fromStdString(folder), false);
    while (dlg->engine()->picturesShown() == 0 && clock.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 2);
    return dlg;
}
void BM_FirstPictureAfterDvdPlay(benchmark::State& state) {
    application();  // made before the clock runs
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const auto dlg = dvdPlay(static_cast<int>(state.range(0)));
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["worst_s"] = worst;
}
BENCHMARK(BM_FirstPictureAfterDvdPlay)->Arg(0)->Arg(1)->UseManualTime()->Iterations(5);

void BM_NormalSpeedProcessorShare(benchmark::State& state) {
    double share = 0;
    long pictures = 0;
    for (auto _ : state) {
        const auto dlg = dvdPlay(1);
        // Three seconds of title 1 at the normal rate, from its first picture, in the window's own
        // event loop as the application runs it: it sleeps between events.
        const std::clock_t cpu = std::clock();  // processor time of every thread of the process
        const long shownBefore = dlg->engine()->picturesShown();
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        loop.exec();
        share = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC /
                (static_cast<double>(clock.nsecsElapsed()) / 1e9);
        pictures = dlg->engine()->picturesShown() - shownBefore;
    }
    state.counters["core_share"] = share;
    state.counters["pictures_in_3s"] = static_cast<double>(pictures);
}
BENCHMARK(BM_NormalSpeedProcessorShare)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace navtab::ui
