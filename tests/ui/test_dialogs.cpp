// The dialogs on their own: video attributes, user operations, the number dialog, the template and
// Auto-Calc options, the progress window with its remembered position, and the file filters.
#include <QButtonGroup>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include "ui/autocalc_dialog.h"
#include "ui/enter_value_dlg.h"
#include "ui/file_filter.h"
#include "ui/progress_window.h"
#include "ui/settings.h"
#include "ui/template_dialog.h"
#include "ui/uop_dlg.h"
#include "ui/video_attr_dlg.h"
#include "ui_test_support.h"

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { navtabSettings()->clear(); }
    // The word's fields select the buttons and unchanged choices give the same word back, the
    // reserved ratio included (which words: tests/unit); the standard decides film, captions and
    // heights.
    void videoAttributes() {
        for (const std::uint16_t word : {0x4318, 0x4800})
            QCOMPARE(CVideoAttrDlg(nullptr, word).word(), word);
        CVideoAttrDlg d(nullptr, 0x4800);  // MPEG-2, NTSC, the reserved ratio 2
        d.show();
        QCOMPARE(d.codingMode()->checkedId(), 1);
        QCOMPARE(d.aspectRatio()->checkedId(), 2);
        QCOMPARE(d.standard()->checkedId(), 0);
        QVERIFY(!d.aspectRatio()->button(2)->isEnabled());
        QVERIFY(!d.filmButton()->isEnabled() && d.ccField1()->isEnabled());
        QVERIFY(d.ntscHeights()[3]->isVisible() && !d.palHeights()[3]->isVisible());
        d.aspectRatio()->button(3)->click();
        QCOMPARE(d.word(), 0x4C00);
        d.standard()->button(1)->click();  // PAL
        QVERIFY(d.filmButton()->isEnabled() && !d.ccField1()->isEnabled());
        QVERIFY(d.palHeights()[3]->isVisible() && !d.ntscHeights()[3]->isVisible());
        QCOMPARE(d.word(), 0x5C00);
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
        QStringList texts;
        for (const QCheckBox* b : t.findChildren<QCheckBox*>()) texts << b->text();
        QCOMPARE(texts, (QStringList{"I frames", "P frames", "B frames"}));
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
    // When the caption changes is tests/unit's; here it reaches the window with the bar, the
    // message, Cancel and Escape while the tool pumps.
    void progressWindow() {
        QWidget main;
        main.show();
        CProgressWindow p(&main, QStringLiteral("Scanning"));
        p.setRememberPosition(false);
        p.SetRange(0, 100, 1);
        p.SetPos(42);
        QCOMPARE(p.windowTitle(), QStringLiteral("Scanning [42%]"));
        QCOMPARE(p.bar()->value(), 42);
        p.SetText("file 3 of 7");
        QCOMPARE(p.messageLabel()->text(), QStringLiteral("file 3 of 7"));
        p.cancelButton()->click();
        QVERIFY(p.Cancelled());
        p.Clear();
        QVERIFY(!p.Cancelled() && p.messageLabel()->text().isEmpty());
        p.setModalMode(true);
        QVERIFY(!main.isEnabled());
        QTimer::singleShot(0, &main, [&] { QTest::keyClick(&main, Qt::Key_Escape); });
        for (int step = 0; step < 100 && !p.Cancelled(); ++step) {
            p.StepIt();
            p.PeekAndPump(true);
        }
        QVERIFY(p.Cancelled() && !p.isVisible());
    }
    void thePositionIsRemembered() {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QPoint place = screen->availableGeometry().topLeft() + QPoint(40, 30);
        CProgressWindow(nullptr).move(place);
        auto settings = navtabSettings();
        QVERIFY(settings->fileName().endsWith("Navtab.ini"));
        QCOMPARE(settings->value("Settings/X").toInt(), place.x());
        QCOMPARE(settings->value("Settings/Y").toInt(), place.y());
        QCOMPARE(CProgressWindow(nullptr).pos(), place);
        // A place no screen shows is forgotten: the window is centred.
        settings->setValue("Settings/X", -30000);
        settings->setValue("Settings/Y", -30000);
        settings->sync();
        CProgressWindow p(nullptr);
        p.setRememberPosition(false);
        QVERIFY(screen->geometry().contains(p.geometry().center()));
    }
    // The window's dialogs show these filters (test_main_window, test_vob_extras); here a filter
    // of several patterns.
    void fileFilterOfSeveralPatterns() {
        QCOMPARE(qtFileFilter("Text|*.txt;*.log||"), QStringLiteral("Text (*.txt *.log)"));
    }
};

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
