// The dialogs on their own: video attributes, user operations, the number dialog, the progress
// window with its remembered position, and the helpers for fonts and file filters.
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include "ui/enter_value_dlg.h"
#include "ui/file_filter.h"
#include "ui/fixed_font.h"
#include "ui/progress_window.h"
#include "ui/settings.h"
#include "ui/uop_dlg.h"
#include "ui/video_attr_dlg.h"

using namespace navtab;
using namespace navtab::ui;

namespace {

QStringList texts(const QList<QAbstractButton*>& buttons) {
    QStringList t;
    for (auto* b : buttons) t << b->text();
    return t;
}

QPushButton* buttonLabelled(QWidget* dialog, const QString& label) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == label) return b;
    return nullptr;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        navtabSettings()->clear();
    }

    void videoAttributesShowEveryGroup() {
        CVideoAttrDlg d(nullptr, 0x4318);
        QCOMPARE(texts(d.codingMode()->buttons()), QStringList({"MPEG-1", "MPEG-2"}));
        QCOMPARE(texts(d.standard()->buttons()), QStringList({"NTSC", "PAL"}));
        QCOMPARE(texts(d.aspectRatio()->buttons()),
                 QStringList({"4:3", "Unspecified", "Reserved", "16:9"}));
        QCOMPARE(texts(d.resolution()->buttons()),
                 QStringList({"720 x ", "704 x", "352 x", "352 x"}));
        QCOMPARE(texts(d.film()->buttons()), QStringList({"Camera", "Film"}));
        QVERIFY(!d.aspectRatio()->button(2)->isEnabled());
        QCOMPARE(d.codingMode()->checkedId(), 1);
        QCOMPARE(d.resolution()->checkedId(), 2);
        QCOMPARE(d.bitRate()->checkedId(), 1);
        QVERIFY(buttonLabelled(&d, "Abbrechen") != nullptr);
        QStringList boxes;
        for (QCheckBox* b : d.findChildren<QCheckBox*>()) boxes << b->text();
        QVERIFY(boxes.contains("Automatic Pan&&Scan"));
        QVERIFY(boxes.contains("Letterboxed (top&&botton cropped)"));
        QCOMPARE(d.word(), 0x4318);  // unchanged choices give the same word
    }

    void theStandardDecidesFilmCaptionsAndHeights() {
        CVideoAttrDlg d(nullptr, 0x5000);  // MPEG-2, PAL
        d.show();
        QVERIFY(d.filmButton()->isEnabled());
        QVERIFY(!d.ccField1()->isEnabled());
        QVERIFY(!d.ccField2()->isEnabled());
        QVERIFY(d.palHeights()[0]->isVisible());
        QVERIFY(!d.ntscHeights()[0]->isVisible());
        QCOMPARE(d.palHeights()[3]->text(), QStringLiteral("288"));
        d.standard()->button(0)->click();  // NTSC
        QVERIFY(!d.filmButton()->isEnabled());
        QVERIFY(d.ccField1()->isEnabled());
        QVERIFY(d.ntscHeights()[3]->isVisible());
        QCOMPARE(d.ntscHeights()[3]->text(), QStringLiteral("240"));
        QVERIFY(!d.palHeights()[3]->isVisible());
        QCOMPARE(d.word() >> 12 & 3, 0);
    }

    void theReservedAspectRatioIsSelectedAndKept() {
        CVideoAttrDlg d(nullptr, 0x4800);
        QCOMPARE(d.aspectRatio()->checkedId(), 2);
        QCOMPARE(d.word(), 0x4800);
        d.aspectRatio()->button(3)->click();
        QCOMPARE(d.word(), 0x4C00);
    }

    void aValueWithoutAButtonLeavesTheGroupEmpty() {
        CVideoAttrDlg d(nullptr, 0x6000);  // standard 2
        QCOMPARE(d.standard()->checkedId(), -1);
        QCOMPARE(d.word() >> 12 & 3, 3);
    }

    void userOperationsCheckAndClear() {
        CUopDlg d(nullptr, 0x80000001);
        QCOMPARE(d.box(0)->text(), QStringLiteral("Time play or search"));
        QCOMPARE(d.box(4)->text(), QStringLiteral("Goup"));
        QCOMPARE(d.box(31)->text(), QStringLiteral("Unkown"));
        QVERIFY(d.box(0)->isChecked());
        QVERIFY(d.box(31)->isChecked());
        QVERIFY(!d.box(1)->isChecked());
        QCOMPARE(d.mask(), 0x80000001u);
        buttonLabelled(&d, "Check all")->click();
        QCOMPARE(d.mask(), 0x81FFFFFFu);
        buttonLabelled(&d, "Clear All")->click();
        QCOMPARE(d.mask(), 0u);
        d.box(25)->click();
        QCOMPARE(d.mask(), 0x02000000u);
        QVERIFY(buttonLabelled(&d, "Abbrechen") != nullptr);
    }

    void theNumberDialogSelectsItsValue() {
        CEnterValueDlg d(nullptr, QStringLiteral("-12"));
        d.show();
        QCOMPARE(d.edit()->selectedText(), QStringLiteral("-12"));
        QVERIFY(d.findChild<QLabel*>()->text() == QStringLiteral("Enter new Value"));
        QTest::keyClicks(d.edit(), "7");
        QCOMPARE(d.value(), QStringLiteral("7"));
        QVERIFY(buttonLabelled(&d, "Abbrechen") != nullptr);
    }

    void progressCaptionShowsThePercentage() {
        QWidget main;
        CProgressWindow p(&main, QStringLiteral("Changing VOB navigation packs"));
        p.setRememberPosition(false);
        QCOMPARE(p.width(), CProgressWindow::kWidth);
        QCOMPARE(p.cancelButton()->text(), QStringLiteral(" Cancel "));
        QCOMPARE(p.windowTitle(), QStringLiteral("Changing VOB navigation packs"));
        p.SetRange(0, 100, 1);
        p.SetPos(41);
        QCOMPARE(p.windowTitle(), QStringLiteral("Changing VOB navigation packs [41%]"));
        QCOMPARE(p.SetPos(42), 41);
        QCOMPARE(p.windowTitle(), QStringLiteral("Changing VOB navigation packs [42%]"));
        QCOMPARE(p.bar()->value(), 42);
        p.StepIt();
        QCOMPARE(p.state().pos(), 43);
        p.SetText("file 3 of 7");
        QCOMPARE(p.messageLabel()->text(), QStringLiteral("file 3 of 7"));
        p.Clear();
        QCOMPARE(p.state().pos(), 0);
        QVERIFY(p.messageLabel()->text().isEmpty());

        CProgressWindow empty(nullptr);
        empty.setRememberPosition(false);
        empty.SetRange(0, 0, 1);
        empty.SetPos(5);
        QCOMPARE(empty.windowTitle(), QStringLiteral("Progress"));
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

    void theCancelButtonCancels() {
        CProgressWindow p(nullptr);
        p.setRememberPosition(false);
        p.cancelButton()->click();
        QVERIFY(p.Cancelled());
        p.Clear();
        QVERIFY(!p.Cancelled());
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

    void theFixedFontIsTwelvePixelsHigh() {
        const QFont f = fixedFont();
        QCOMPARE(f.pixelSize(), 12);
        QVERIFY(QFontInfo(f).fixedPitch());
    }
};

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
