// "DVD Play" on the sample discs, offscreen and without sound: the transport states, scanning,
// the sub-picture "Off" entry, the played-titles report, a menu answered in the video window,
// "Prohibited", and the main window around it.
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>

#include "core/layout/pgc_layout.h"
#include "ui/dvd_play_dlg.h"
#include "ui/playback_engine.h"
#include "ui/video_window.h"
#include "ui_test_support.h"

using navigator::Domain;
using navigator::Status;

namespace {

const QString kFolder = QFileInfo(sample("ntsc43", "VIDEO_TS.IFO")).absolutePath();

const navigator::Navigator& nav(CDvdPlayDlg& dlg) {
    return *dlg.player()->navigator();
}

// Waits until the first menu of the disc waits for a button, with its picture shown.
bool waitForMenu(CDvdPlayDlg& dlg) {
    return QTest::qWaitFor(
        [&] { return nav(dlg).status() == Status::Menu && dlg.engine()->picturesShown() > 0; },
        10000);
}

// Plays title `t` from the title list and waits until `seconds` of it have played.
bool playTitle(CDvdPlayDlg& dlg, int t, int seconds = 0) {
    dlg.titleList()->activated(t - 1);
    const QString title = QString::number(t), time = QString::asprintf("00:00:%02d", seconds);
    const auto played = [&] {
        return dlg.titleField()->text() == title && dlg.timeField()->text() >= time;
    };
    return QTest::qWaitFor(played, 10000);
}

// Clicks the buttons one after another and returns the status line.
QString click(CDvdPlayDlg& dlg, const QStringList& labels) {
    for (const QString& label : labels) QTest::mouseClick(dlg.button(label), Qt::LeftButton);
    return dlg.statusLine()->text();
}

QString closeAndReport(CDvdPlayDlg& dlg) {
    return messageAfter([&] { QTest::mouseClick(dlg.button("Exit"), Qt::LeftButton); });
}

}  // namespace

class DvdPlayTest : public QObject {
    Q_OBJECT

  private slots:
    void transportStreamListsTitleMenuAndThePlayedTitlesReport() {
        CDvdPlayDlg dlg(nullptr, kFolder, false);
        QVERIFY(waitForMenu(dlg));
        QVERIFY(dlg.videoWindow()->isVisible());
        QCOMPARE(dlg.statusLine()->text().left(7), QStringLiteral("Playing"));
        QCOMPARE(nav(dlg).position().domain, Domain::VmgMenu);
        QCOMPARE(dlg.titleList()->itemText(2), QStringLiteral("Title 3"));
        // First play set g0 = 1 and g1 = 3; the menu's pre-commands g2 = g1 * 4.
        QCOMPARE(dlg.registerField(0)->text(), QStringLiteral("GPreg<0>=1"));
        QCOMPARE(dlg.registerField(2)->text(), QStringLiteral("GPreg<2>=12"));
        QVERIFY(playTitle(dlg, 1, 1));
        QCOMPARE(click(dlg, {"Stop"}), QStringLiteral("Stopped - resume possible"));
        const QString stoppedAt = dlg.timeField()->text();
        QTest::qWait(300);
        QCOMPARE(dlg.timeField()->text(), stoppedAt);
        QCOMPARE(click(dlg, {"Play"}), QStringLiteral("Playing"));
        QVERIFY(QTest::qWaitFor([&] { return dlg.timeField()->text() > stoppedAt; }, 5000));
        QCOMPARE(dlg.titleField()->text(), QStringLiteral("1"));
        QCOMPARE(click(dlg, {">", ">", ">"}), QStringLiteral("Scanning 2.500000 x"));
        QCOMPARE(dlg.player()->rate(), 2.5);
        QCOMPARE(click(dlg, {"Play"}), QStringLiteral("Playing"));
        // Title 1's pre-commands chose audio 0 and sub-picture 0, shown.
        dlg.fillSubpictureList();
        QCOMPARE(dlg.subpictureList()->count(), 3);
        QCOMPARE(dlg.subpictureList()->itemText(0), QStringLiteral("Off"));
        QCOMPARE(dlg.subpictureList()->itemText(2), QStringLiteral("German"));
        QCOMPARE(dlg.subpictureList()->currentIndex(), 1);
        dlg.fillAudioList();
        QCOMPARE(dlg.audioList()->itemText(1), QStringLiteral("French"));
        // "Off" hides sub-pictures and keeps the stream; German shows the other stream.
        dlg.subpictureList()->activated(0);
        QCOMPARE(nav(dlg).registers().sprm[navigator::kSubpictureStream], 0);
        dlg.fillSubpictureList();
        QCOMPARE(dlg.subpictureList()->currentIndex(), 0);
        dlg.subpictureList()->activated(2);
        QCOMPARE(nav(dlg).registers().sprm[navigator::kSubpictureStream], 0x41);
        QTimer::singleShot(200, [] {
            QWidget* menu = QApplication::activePopupWidget();
            QVERIFY(menu);
            QCOMPARE(static_cast<QMenu*>(menu)->actions().size(), 3);
            for (int i = 0; i < 3; ++i) QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        dlg.popUpTitleMenu(dlg.titleLabel()->mapToGlobal(QPoint(2, 2)));
        QVERIFY(QTest::qWaitFor([&] { return dlg.titleField()->text() == "3"; }, 5000));
        QCOMPARE(dlg.chapterList()->count(), 2);
        // Two Stops stop completely; Play starts the disc over from its first play.
        QCOMPARE(click(dlg, {"Stop", "Stop"}), QStringLiteral("Stopped"));
        click(dlg, {"Play"});
        QVERIFY(waitForMenu(dlg));
        QCOMPARE(nav(dlg).position().domain, Domain::VmgMenu);
        QCOMPARE(dlg.titleField()->text(), QStringLiteral("0"));
        QCOMPARE(closeAndReport(dlg), QStringLiteral("Played Titles:\n\nTitle 1\nTitle 3\n"));
    }
    // Button 2 of the disc's menu by a click on it, and again by Down and Enter: both lead to
    // title 2 with the same registers, the ones the window's navigator holds (what they are after
    // a button is held against libdvdnav in tests/unit).
    void menuButtonInTheVideoWindowSetsTheRegisters() {
        QStringList shown[2];
        for (const bool click : {true, false}) {
            CDvdPlayDlg dlg(nullptr, kFolder, false);
            QVERIFY(waitForMenu(dlg));
            auto* video = static_cast<CVideoWindow*>(dlg.videoWindow());
            if (click) {
                // Button 2 lies at (96,88)-(256,124) of the 352x240 picture, shown 4:3 at the
                // window's size.
                const QRect picture = video->pictureRect();
                const QPoint at(picture.left() + 176 * picture.width() / 352,
                                picture.top() + 106 * picture.height() / 240);
                QTest::mouseClick(video, Qt::LeftButton, {}, at);
            } else {
                QTest::keyClick(video, Qt::Key_Down);
                QCOMPARE(nav(dlg).highlightedButton(), 2);
                QTest::keyClick(video, Qt::Key_Return);
            }
            QVERIFY(QTest::qWaitFor([&] { return dlg.titleField()->text() == "2"; }, 5000));
            for (int g = 0; g < 16; ++g) {
                shown[click] << dlg.registerField(g)->text();
                QCOMPARE(shown[click].back(),
                         QString::asprintf("GPreg<%d>=%d", g, nav(dlg).registers().gprm[g]));
            }
            closeAndReport(dlg);
        }
        QCOMPARE(shown[0], shown[1]);
    }
    // From the main window, minimised meanwhile, on a copy whose title 1 forbids Next Chapter.
    void dvdPlayButtonAndAnOperationTheDiscForbids() {
        ScratchCopies copies("ntsc43");
        patchFile(copies.path("VTS_01_0.IFO"), [](QByteArray& bytes) {
            const qsizetype pgcit = 2 * 2048;
            const qsizetype pgc =
                pgcit + be32At(bytes, pgcit + pgc::kListEntries + pgc::kSrpPgcStart);
            qToBigEndian<quint32>(1u << navigator::kUopNextProgram,
                                  bytes.data() + pgc + pgc::kProhibitedUops);
        });
        CNavtabDlg main;
        QVERIFY(!main.button("DVD Play")->isEnabled());
        main.show();
        main.openFiles({copies.path("VTS_01_0.IFO")});
        QTest::mouseClick(main.button("DVD Play"), Qt::LeftButton);
        CDvdPlayDlg* play = main.playWindow();
        QVERIFY(play);
        QVERIFY(main.isMinimized());
        QVERIFY(waitForMenu(*play));
        QVERIFY(playTitle(*play, 1));
        QCOMPARE(click(*play, {">>"}), QStringLiteral("Prohibited"));
        QCOMPARE(play->chapterField()->text(), QStringLiteral("1"));
        QCOMPARE(closeAndReport(*play), QStringLiteral("Played Titles:\n\nTitle 1\n"));
        QVERIFY(QTest::qWaitFor([&] { return main.playWindow() == nullptr; }, 2000));
        QVERIFY(!main.isMinimized());
    }
};

QTEST_MAIN(DvdPlayTest)
#include "test_dvd_play.moc"
