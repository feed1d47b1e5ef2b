// The playback window on the sample discs, offscreen and without sound: the time from "DVD Play"
// (the window made, the folder loaded, Play) to the first picture in the video window, and the
// processor time that playing at the normal rate takes, over three seconds of a 720x576 title,
// as a share of one core (both threads of the player counted).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "ui/dvd_play_dlg.h"
#include "ui/playback_engine.h"

namespace navtab::ui {
namespace {

// One application for the process, made by whichever window benchmark runs first; it lives until
// the process ends, as destroying it among the static objects at exit crashes in Qt.
void application() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "navtab_bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

QString discFolder(int disc) {
    static const char* discs[] = {"ntsc43", "pal169"};
    return QStringLiteral(NAVTAB_TEST_DATA "/%1/VIDEO_TS").arg(QString::fromLatin1(discs[disc]));
}

double processSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_FirstPictureAfterDvdPlay(benchmark::State& state) {
    qputenv("NAVTAB_AUDIO", "none");
    application();
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        CDvdPlayDlg dlg(nullptr, discFolder(static_cast<int>(state.range(0))), false);
        while (dlg.engine()->picturesShown() == 0 && clock.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 2);
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["worst_s"] = worst;
}
BENCHMARK(BM_FirstPictureAfterDvdPlay)->Arg(0)->Arg(1)->UseManualTime()->Iterations(5);

void BM_NormalSpeedProcessorShare(benchmark::State& state) {
    qputenv("NAVTAB_AUDIO", "none");
    application();
    double share = 0;
    long pictures = 0;
    for (auto _ : state) {
        CDvdPlayDlg dlg(nullptr, discFolder(1), false);
        QElapsedTimer clock;
        clock.start();
        while (dlg.engine()->picturesShown() == 0 && clock.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 2);
        // Three seconds of title 1 at the normal rate, from its first picture.
        const double cpu = processSeconds();
        const long shownBefore = dlg.engine()->picturesShown();
        clock.restart();
        // The window's own event loop, as the application runs it: it sleeps between events.
        QEventLoop loop;
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        loop.exec();
        share = (processSeconds() - cpu) / (static_cast<double>(clock.nsecsElapsed()) / 1e9);
        pictures = dlg.engine()->picturesShown() - shownBefore;
    }
    state.counters["core_share"] = share;
    state.counters["pictures_in_3s"] = static_cast<double>(pictures);
}
BENCHMARK(BM_NormalSpeedProcessorShare)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace navtab::ui
