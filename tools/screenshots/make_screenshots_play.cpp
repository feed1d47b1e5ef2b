// Takes the playback window's screenshots offscreen: make_screenshots_play FOLDER writes the
// "DVD Play" window with the registers of the ntsc43 disc after its menu started title 2, the
// video window during title 1 with its English sub-picture, and the disc's menu with the second
// button highlighted.
#include <QComboBox>
#include <QLineEdit>

#include "navigator/navigator.h"
#include "ui/dvd_play_dlg.h"
#include "ui/playback_engine.h"
#include "ui/video_window.h"
#include "ui_test_support.h"

namespace {

bool waitFor(const std::function<bool()>& ready) {
    if (QTest::qWaitFor(ready, 15000)) return true;
    qWarning("the player did not get there");
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        qWarning("usage: make_screenshots_play FOLDER");
        return 2;
    }
    qputenv("NAVTAB_AUDIO", "none");
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const QString disc = QFileInfo(sample("ntsc43", "VIDEO_TS.IFO")).absolutePath();
    bool ok = true;
    CDvdPlayDlg dlg(nullptr, disc, false);
    auto* video = static_cast<CVideoWindow*>(dlg.videoWindow());
    const auto& nav = *dlg.player()->navigator();
    ok &= waitFor([&] {
        return nav.status() == navigator::Status::Menu && dlg.engine()->picturesShown() > 0;
    });
    // The menu with its second button highlighted (the Down key in the video window), once
    // its one second of pictures has played.
    QTest::qWait(1500);
    QTest::keyClick(video, Qt::Key_Down);
    QTest::qWait(300);
    ok &= saveScreenshot(*video, folder, "dvd-play-menu.png");
    // Title 1 with its English sub-picture, shown from half a second to 1.8 seconds.
    dlg.titleList()->activated(0);
    ok &= waitFor([&] { return dlg.timeField()->text() >= QStringLiteral("00:00:01"); });
    QTest::qWait(400);
    ok &= saveScreenshot(*video, folder, "dvd-play-video.png");
    // The menu again, button 2: title 2 starts with the registers its commands set.
    dlg.button("Title Menu")->click();
    ok &= waitFor([&] { return nav.status() == navigator::Status::Menu; });
    QTest::keyClick(video, Qt::Key_Down);
    QTest::keyClick(video, Qt::Key_Return);
    ok &= waitFor([&] {
        return dlg.titleField()->text() == QStringLiteral("2") &&
               dlg.timeField()->text() >= QStringLiteral("00:00:01");
    });
    ok &= saveScreenshot(dlg, folder, "dvd-play-window.png");
    answerNextMessage(QMessageBox::Ok);
    dlg.close();
    return ok ? 0 : 1;
}
