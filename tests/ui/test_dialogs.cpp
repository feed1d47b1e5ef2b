// The dialogs on their own: video attributes, user operations, the number dialog, the template and
// Auto-Calc options, the progress window with its remembered position, and the file filters.
#include <QButtonGroup>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <tuple>

#include "ui/autocalc_dialog.h"
#include "ui/enter_value_dlg.h"
#include "ui/file_filter.h"
#include "ui/progress_window.h"
#include "ui/settings.h"
#include "ui/template_dialog.h"
#include "ui/uop_dlg.h"
#include "ui/video_attr_dlg.h"
#include "ui_test_support.h"

namespace {

QStringList boxTexts(const QWidget& w) {
    QStringList texts;
    for (const QCheckBox* b : w.findChildren<QCheckBox*>()) texts << b->text();
    return texts;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { navtabSettings()->clear(); }
    // The word's fields select the buttons and unchanged choices give the same word back; the
    // reserved ratio is kept (a value without a button is the editor's: tests/unit).
    void videoAttributesRoundTrip() {
        const std::tuple<std::uint16_t, int, int, int, std::uint16_t> cases[] = {
            {0x4318, 1, 0, 0, 0x4318}, {0x4800, 1, 2, 0, 0x4800}};
        for (const auto& [word, coding, ratio, standard, written] : cases) {
            CVideoAttrDlg d(nullptr, word);
            QCOMPARE(d.codingMode()->checkedId(), coding);
            QCOMPARE(d.aspectRatio()->checkedId(), ratio);
            QCOMPARE(d.standard()->checkedId(), standard);
            QCOMPARE(d.word(), written);
        }
        CVideoAttrDlg d(nullptr, 0x4800);
        QVERIFY(!d.aspectRatio()->button(2)->isEnabled());
        d.aspectRatio()->button(3)->click();
        QCOMPARE(d.word(), 0x4C00);
    }
    void theStandardDecidesFilmCaptionsAndHeights() {
        CVideoAttrDlg d(nullptr, 0x5000);  // MPEG-2, PAL
        d.show();
        QVERIFY(d.filmButton()->isEnabled());
        QVERIFY(!d.ccField1()->isEnabled());
        QVERIFY(d.palHeights()[3]->isVisible());
        QVERIFY(!d.ntscHeights()[3]->isVisible());
        d.standard()->button(0)->click();  // NTSC
        QVERIFY(!d.filmButton()->isEnabled());
        QVERIFY(d.ccField1()->isEnabled());
        QVERIFY(d.ntscHeights()[3]->isVisible());
        QVERIFY(!d.palHeights()[3]->isVisible());
        QCOMPARE(d.word() >> 12 & 3, 0);
    }
    void userOperationsAndTheNumberDialog() {
        CUopDlg d(nullptr, 0x80000001);
        QVERIFY(d.box(0)->isChecked() && d.box(31)->isChecked() && !d.box(1)->isChecked());
        QCOMPARE(d.mask(), 0x80000001u);
        labelled(&d, "Clear All")->click();
        d.box(25)->click();
        QCOMPARE(d.mask(), 0x02000000u);
        CEnterValueDlg number(nullptr, QStringLiteral("-12"));
        number.show();
        QCOMPARE(number.edit()->selectedText(), QStringLiteral("-12"));
        QTest::keyClicks(number.edit(), "7");
        QCOMPARE(number.value(), QStringLiteral("7"));
    }
    void templateAndAutoCalcOptions() {
        CTemplateDlg t(nullptr, {true, false, true});
        QCOMPARE(boxTexts(t), (QStringList{"I frames", "P frames", "B frames"}));
        QVERIFY(!labelled<QCheckBox>(&t, "P frames")->isChecked());
        labelled<QCheckBox>(&t, "B frames")->setChecked(false);
        QVERIFY(t.types().i && !t.types().p && !t.types().b);
        CAutoCalcDlg d(nullptr, {});
        QCheckBox* correct = labelled<QCheckBox>(&d, "AutoCorrect VOB files");
        QVERIFY(!correct->isEnabled() && !correct->isChecked());
        labelled<QCheckBox>(&d, "AutoCalc: VTS_C_ADT")->setChecked(false);
        const vob::AutoCalcTables tables = d.tables();
        QVERIFY(tables.vobuAdmap && !tables.cellAdt && tables.pgcit && tables.tmapt);
    }
    void progressCaptionShowsThePercentage() {
        QWidget main;
        CProgressWindow p(&main, QStringLiteral("Scanning"));
        p.setRememberPosition(false);
        p.SetRange(0, 100, 1);
        p.SetPos(41);
        QCOMPARE(p.SetPos(42), 41);
        QCOMPARE(p.windowTitle(), QStringLiteral("Scanning [42%]"));
        QCOMPARE(p.bar()->value(), 42);
        p.SetText("file 3 of 7");
        QCOMPARE(p.messageLabel()->text(), QStringLiteral("file 3 of 7"));
        p.cancelButton()->click();
        QVERIFY(p.Cancelled());
        p.Clear();
        QVERIFY(!p.Cancelled() && p.messageLabel()->text().isEmpty());
    }
    void escapeCancelsWhileTheToolPumps() {
        QWidget main;
        main.show();
        CProgressWindow p(&main, QStringLiteral("Scanning"));
        p.setRememberPosition(false);
        p.setModalMode(true);
        QVERIFY(!main.isEnabled());
        // The tool works in steps and pumps; the user presses Escape meanwhile.
        QTimer::singleShot(0, &main, [&] { QTest::keyClick(&main, Qt::Key_Escape); });
        for (int step = 0; step < 100 && !p.Cancelled(); ++step) {
            p.StepIt();
            p.PeekAndPump(true);
        }
        QVERIFY(p.Cancelled());
        QVERIFY(!p.isVisible());
    }
    void thePositionIsRemembered() {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QPoint place = screen->availableGeometry().topLeft() + QPoint(40, 30);
        {
            CProgressWindow p(nullptr);
            p.move(place);
        }
        auto settings = navtabSettings();
        QVERIFY(settings->fileName().endsWith("Navtab.ini"));
        QCOMPARE(settings->value("Settings/X").toInt(), place.x());
        QCOMPARE(settings->value("Settings/Y").toInt(), place.y());
        {
            CProgressWindow p(nullptr);
            QCOMPARE(p.pos(), place);
        }
        // A place no screen shows is forgotten: the window is centred.
        settings->setValue("Settings/X", -30000);
        settings->setValue("Settings/Y", -30000);
        settings->sync();
        CProgressWindow p(nullptr);
        p.setRememberPosition(false);
        QVERIFY(screen->geometry().contains(p.geometry().center()));
    }
    void fileFiltersInQtSyntax() {
        QCOMPARE(
            qtFileFilter("IFO Files (*.ifo)|*.ifo|BUP Files (*.bup)|*.bup|All Files (*.*)|*.*||"),
            QStringLiteral("IFO Files (*.ifo);;BUP Files (*.bup);;All Files (*)"));
        QCOMPARE(qtFileFilter("Text|*.txt;*.log||"), QStringLiteral("Text (*.txt *.log)"));
        QCOMPARE(qtFileFilter(""), QString());
    }
};

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
