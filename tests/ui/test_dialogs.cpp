// The dialogs on their own (video attributes, user operations, the template and Auto-Calc
// options, the progress window with its remembered position, the file filters); the hex editor
// driven by keys, mouse, context menu and clipboard, and HexEdit on the tables of a sample disc;
// the disc image command: its dialog, the builder window it fills and starts, a failing program.
#include <QAction>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <numeric>

#include "image/image_programs.h"
#include "ui/autocalc_dialog.h"
#include "ui/builder_window.h"
#include "ui/disc_image_command.h"
#include "ui/disc_image_dlg.h"
#include "ui/file_filter.h"
#include "ui/hex_edit_ctrl.h"
#include "ui/hex_edit_dlg.h"
#include "ui/progress_window.h"
#include "ui/settings.h"
#include "ui/template_dialog.h"
#include "ui/uop_dlg.h"
#include "ui/video_attr_dlg.h"
#include "ui_test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes counting(int n) {
    Bytes b(static_cast<std::size_t>(n));
    std::iota(b.begin(), b.end(), 0);
    return b;
}

void press(QWidget* w, std::initializer_list<QKeyCombination> keys) {
    for (const QKeyCombination k : keys) QTest::keyClick(w, k.key(), k.keyboardModifiers());
}

struct Control : HexEditCtrl {
    explicit Control(const Bytes& bytes) {
        resize(600, 300);
        show();
        SetData(bytes);
    }
    // "caret mode selection-start selection-end"; mode 0 address, 1 text, 2 high, 3 low nibble.
    QString state() const {
        const HexEditBuffer& b = buffer();
        return QString::asprintf("%d %d %d %d", int(b.caret()), int(b.mode()),
                                 int(b.selectionStart()), int(b.selectionEnd()));
    }
    // The centre of character column `column` of visible row `row`.
    QPoint at(int column, int row) const {
        return {column * charWidth() + charWidth() / 2, row * lineHeight() + lineHeight() / 2};
    }
};

QStringList enabledItems(QMenu* menu) {
    QStringList items;
    for (QAction* a : menu->actions())
        if (!a->isSeparator() && a->isEnabled()) items << a->text();
    return items;
}

QString setting(const char* key) {
    return navtabSettings()->value(QStringLiteral("SETTINGS/") + key).toString();
}

QString foundBuilder() {
    return QString::fromStdString(image::discoverImageBuilder({}, image::environmentPath()));
}

// The command's dialog will be answered with an image file (and a label).
void answerDialog(const QString& image, const QString& label = {}) {
    onNext<CDiscImageDlg>([=](CDiscImageDlg* d) {
        d->imageEdit()->setText(image);
        if (!label.isEmpty()) d->labelEdit()->setText(label);
        d->accept();
    });
}

// Triggers action `n` of the "Tools" menu (0 "Create Image", 1 "Test1") and returns the builder
// window once its run has ended.
CBuilderWindow* runTool(CNavtabDlg& dlg, int n, const QString& text) {
    QAction* action = dlg.menuBar()->actions().first()->menu()->actions().at(n);
    if (action->text() != text) return nullptr;
    action->trigger();
    CBuilderWindow* builder = CBuilderWindow::find();
    if (builder == nullptr ||
        !QTest::qWaitFor([&] { return !builder->lastResult().isEmpty(); }, 30000))
        return nullptr;
    return builder;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { navtabSettings()->clear(); }
    void cleanup() {
        if (CBuilderWindow* w = CBuilderWindow::find()) w->close();
        QApplication::processEvents();
        navtabSettings()->clear();
    }
    // The word's fields select the buttons and unchanged choices give the same word back, the
    // reserved ratio included (which words: tests/unit); the standard decides film, captions and
    // heights. The user operation mask selects its boxes and is read back from them.
    void videoAttributesAndUserOperations() {
        for (const std::uint16_t word : std::initializer_list<std::uint16_t>{0x4318, 0x4800})
            QCOMPARE(CVideoAttrDlg(nullptr, word).word(), word);
        CVideoAttrDlg d(nullptr, 0x4800);  // MPEG-2, NTSC, the reserved ratio 2
        d.show();
        QCOMPARE(d.codingMode()->checkedId(), 1);
        QCOMPARE(d.standard()->checkedId(), 0);
        QRadioButton* reserved = labelled<QRadioButton>(&d, "Reserved");  // the ratio 2
        QVERIFY(reserved->isChecked() && !reserved->isEnabled());
        QVERIFY(!d.filmButton()->isEnabled() && d.ccField1()->isEnabled());
        QVERIFY(d.ntscHeights()[3]->isVisible() && !d.palHeights()[3]->isVisible());
        labelled<QRadioButton>(&d, "16:9")->click();
        QCOMPARE(d.word(), 0x4C00);
        d.standard()->button(1)->click();  // PAL
        QVERIFY(d.filmButton()->isEnabled() && !d.ccField1()->isEnabled());
        QVERIFY(d.palHeights()[3]->isVisible() && !d.ntscHeights()[3]->isVisible());
        QCOMPARE(d.word(), 0x5C00);
        CUopDlg uop(nullptr, 0x80000001);
        QVERIFY(uop.box(0)->isChecked() && uop.box(31)->isChecked() && !uop.box(1)->isChecked());
        QCOMPARE(uop.mask(), 0x80000001u);
        labelled(&uop, "Clear All")->click();
        uop.box(25)->click();
        QCOMPARE(uop.mask(), 0x02000000u);
    }
    void templateAndAutoCalcOptions() {
        CTemplateDlg t(nullptr, {true, false, true});
        QVERIFY(labelled<QCheckBox>(&t, "I frames")->isChecked() &&
                !labelled<QCheckBox>(&t, "P frames")->isChecked());
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
        p.SetPos(41);
        QCOMPARE(p.SetPos(42), 41);  // the position before
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
    void theDialogOffersOnlyTheFolderAndRemembersTheChoices() {
        navtabSettings()->setValue("SETTINGS/IMGPATH", "/tmp/earlier.img");
        CDiscImageDlg d(nullptr, "/data/Film", "no drive");
        QCOMPARE(d.driveList()->count(), 1);
        QCOMPARE(d.driveList()->currentText(), QStringLiteral("/data/Film"));
        QVERIFY(!d.driveList()->isEnabled() && !d.burnBox()->isEnabled());
        QCOMPARE(d.imageEdit()->text(), QStringLiteral("/tmp/earlier.img"));
        QCOMPARE(d.burnBox()->toolTip(), QStringLiteral("no drive"));
        d.imageEdit()->setText("/tmp/new.img");
        d.labelEdit()->setText("MY_FILM");
        d.show();
        labelled(&d, "Create Image")->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(setting("IMGPATH"), QStringLiteral("/tmp/new.img"));
        QCOMPARE(setting("DRIVE"), QStringLiteral("/data/Film"));
        QCOMPARE(d.volumeLabel(), QStringLiteral("MY_FILM"));
        // Browse offers image files and takes the choice with its suffix; a filter of several
        // patterns is converted as well.
        QTemporaryDir dir;
        QString filters;
        acceptNextFile(dir.filePath("chosen"), nullptr, &filters);
        d.browseButton()->click();
        QCOMPARE(filters, QStringLiteral("Img Files (*.img);;All Files (*)"));
        QCOMPARE(qtFileFilter("Text|*.txt;*.log||"), QStringLiteral("Text (*.txt *.log)"));
        QCOMPARE(d.imageEdit()->text(), dir.filePath("chosen.img"));
    }
    void refusalsBeforeAnyBuild() {
        ScratchCopies dir("pal169", "DVDFILES");
        OpenWindow dlg({dir.path("DVDFILES/VIDEO_TS.IFO")});
        const auto discImage = [&] { dlg.button("Disc Image")->click(); };
        QCOMPARE(messageAfter(discImage),
                 QStringLiteral("Your files must be located in a folder named: 'VIDEO_TS'."));
        // The image program found was written back all the same.
        QCOMPARE(setting("CMDPATH"), foundBuilder());
        navtabSettings()->setValue("SETTINGS/CMDPATH", "/nonexistent/genisoimage");
        dlg.openFiles({sample("pal169", "VIDEO_TS.IFO")});
        answerDialog("/tmp/never.img");
        QCOMPARE(messageAfter(discImage),
                 QStringLiteral("ERROR: Can't locate /nonexistent/genisoimage"));
        QVERIFY(CBuilderWindow::find() == nullptr);
    }
    void theCommandFillsAndStartsTheBuilder() {
        if (foundBuilder().isEmpty()) QSKIP("genisoimage is not installed");
        ScratchCopies dir("ntsc43", "ntsc43/video_ts");
        const QString target = dir.path("ntsc 43.img");
        OpenWindow dlg({dir.path("ntsc43/video_ts/VTS_01_0.IFO")});
        answerDialog(target, "NTSC_43");
        CBuilderWindow* builder = runTool(dlg, 0, "Create Image");  // the button's command
        QVERIFY(builder != nullptr);
        QCOMPARE(builder->sourceEdit()->text(), dir.path("ntsc43"));
        QCOMPARE(builder->imageEdit()->text(), target);
        QCOMPARE(builder->labelEdit()->text(), QStringLiteral("NTSC_43"));
        QVERIFY2(builder->lastRunSucceeded(), qPrintable(builder->lastResult()));
        QVERIFY(QFileInfo(target).size() > 1000 * 2048);
        QCOMPARE(builder->bar()->value(), builder->bar()->maximum());
        QVERIFY(builder->log()->toPlainText().contains("extents written"));
    }
    void theAutomationPressesTheWriteButtonWhenBurning() {
        auto* builder = new CBuilderWindow({"/bin/true", {}, {}});
        builder->show();
        QAbstractButton* pressed = fillBuilderWindow({"/a", "/b.img", "L"}, true);
        QCOMPARE(pressed, static_cast<QAbstractButton*>(builder->createAndWriteButton()));
        QVERIFY(!pressed->isEnabled());  // no drive and no growisofs: the click does nothing
        QVERIFY(!pressed->toolTip().isEmpty());
        // The click comes once the command has returned: a refusal of the source folder.
        QAbstractButton* create = nullptr;
        QCOMPARE(messageAfter([&] {
                     create = fillBuilderWindow({"/a", "/b.img", "L"}, false);
                     QCOMPARE(pendingAnswers(), 1);  // the refusal is still to come
                 }),
                 QStringLiteral("The source folder \"/a\" holds no folder named VIDEO_TS."));
        QCOMPARE(create, static_cast<QAbstractButton*>(builder->createButton()));
        builder->close();
        QApplication::processEvents();
        QVERIFY(fillBuilderWindow({}, false) == nullptr);
    }
    // What the run keeps of the old image is tests/unit's; here the window shows the failure.
    void aFailingImageProgramShowsItsOutput() {
        ScratchCopies dir("mixed0", "VIDEO_TS");
        const QString target = dir.path("mixed.img");
        const QString script = dir.path("fake builder");
        QFile f(script);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            "#!/bin/sh\necho ' 12.00% done'\necho 'genisoimage: No space left on device'\n"
            "exit 1\n");
        f.close();
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        navtabSettings()->setValue("SETTINGS/CMDPATH", script);
        OpenWindow dlg({dir.path("VIDEO_TS/VIDEO_TS.IFO")});
        answerDialog(target);
        CBuilderWindow* builder = nullptr;
        // "Test1" takes the program the settings hold.
        const QString failure = messageAfter([&] { builder = runTool(dlg, 1, "Test1"); });
        QVERIFY(builder != nullptr && !builder->lastRunSucceeded());
        QVERIFY2(failure.contains("No space left on device"), qPrintable(failure));
        QVERIFY(builder->log()->toPlainText().contains("No space left on device"));
        QVERIFY(!QFile::exists(target));
    }
    // What each key does to the bytes is the buffer's (tests/unit); here each key reaches it.
    void keysReachTheirOperations() {
        Control c(counting(16));
        QTest::keyClicks(&c, "Aa7");  // an upper-case letter is no nibble
        QCOMPARE(c.data()[0], 0xA7);
        press(&c, {Qt::Key_Tab});  // to the text column
        QTest::keyClicks(&c, "Z");
        QCOMPARE(c.data()[1], 'Z');
        QCOMPARE(c.state(), "2 1 -1 -1");
        press(&c, {Qt::Key_Tab, Qt::ControlModifier | Qt::Key_End});
        QCOMPARE(c.state(), "15 2 -1 -1");
        QTest::keyClicks(&c, "ff");
        QCOMPARE(c.data()[15], 0xFF);
        press(&c, {Qt::Key_Home});
        QCOMPARE(c.buffer().caret(), 8);
        const auto shift = Qt::ShiftModifier;
        press(&c, {Qt::ControlModifier | Qt::Key_Home, shift | Qt::Key_Right, shift | Qt::Key_Right,
                   shift | Qt::Key_Down});
        QCOMPARE(c.state().section(' ', 2), "0 9");
        press(&c, {Qt::Key_Up});
        QVERIFY(!c.buffer().hasSelection());
        c.SetData(counting(4));
        press(&c, {Qt::ControlModifier | Qt::Key_Home, Qt::Key_Right, Qt::Key_Right, Qt::Key_Insert,
                   Qt::Key_Delete, Qt::Key_Delete, Qt::Key_Backspace});
        QCOMPARE(c.data(), (Bytes{2, 3}));
    }
    void mouseSetsTheCaretAndSelects() {
        Control c(counting(32));
        // Hexadecimal column from character 9, text column from 9 + 3 * 8.
        const auto click = [&](int column, int row, Qt::KeyboardModifiers m = {}) {
            QTest::mouseClick(c.viewport(), Qt::LeftButton, m, c.at(column, row));
            return c.state();
        };
        QCOMPARE(click(35, 2), "18 1 -1 -1");
        QCOMPARE(click(36, 3, Qt::ShiftModifier).section(' ', 2), "18 28");
        QCOMPARE(click(2, 0).section(' ', 1), "0 -1 -1");
        QTest::keyClicks(&c, "1");  // the address column takes no typing
        QCOMPARE(c.data(), counting(32));
        QTest::mousePress(c.viewport(), Qt::LeftButton, {}, c.at(9, 0));
        QMouseEvent move(QEvent::MouseMove, c.at(18, 1), c.viewport()->mapToGlobal(c.at(18, 1)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.viewport(), &move);
        QTest::mouseRelease(c.viewport(), Qt::LeftButton, {}, c.at(18, 1));
        QCOMPARE(c.state().section(' ', 2), "0 12");
    }
    void clipboardAndContextMenu() {
        Control c(Bytes{'A', 0x00, 0xFF, 'b'});
        const auto ctrl = Qt::ControlModifier;
        press(&c, {ctrl | Qt::Key_A, ctrl | Qt::Key_C});  // select all, copy
        const QMimeData* mime = QApplication::clipboard()->mimeData();
        QCOMPARE(mime->data("BinaryData"), QByteArray::fromHex("4100ff62"));
        QCOMPARE(mime->text(), QStringLiteral("41 00 FF 62 "));
        press(&c, {Qt::Key_Tab, ctrl | Qt::Key_C});
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("A..b"));
        press(&c, {ctrl | Qt::Key_X});
        QVERIFY(c.data().empty());
        press(&c, {ctrl | Qt::Key_V});
        QCOMPARE(c.data(), (Bytes{'A', 0x00, 0xFF, 'b'}));
        // Plain text is pasted as its characters, not read as hexadecimal.
        QApplication::clipboard()->setText(QStringLiteral("12 34"));
        press(&c, {ctrl | Qt::Key_Home, ctrl | Qt::Key_V});
        QCOMPARE(c.data(), (Bytes{'1', '2', ' ', '3', '4', 'A', 0x00, 0xFF, 'b'}));
        // The context menu's items follow the state; its Delete removes the selection.
        c.SetData(counting(4));
        QApplication::clipboard()->clear();
        std::unique_ptr<QMenu> menu(c.createContextMenu());
        QCOMPARE(enabledItems(menu.get()), QStringList({"Select &All"}));
        c.SelectAll();
        QApplication::clipboard()->setText(QStringLiteral("x"));
        menu.reset(c.createContextMenu());
        QCOMPARE(enabledItems(menu.get()),
                 QStringList({"Cu&t", "&Copy", "&Paste", "&Delete", "Select &All"}));
        for (QAction* a : menu->actions())
            if (a->text() == "&Delete") a->trigger();
        QVERIFY(c.data().empty());
    }
    void windowOptionsChangeTheLayout() {
        const Bytes bytes = counting(40);
        CHexEditDlg d(nullptr, bytes);
        d.show();
        const HexLayout& layout = d.control()->buffer().layout();
        d.bytesPerRow()->setValue(16);
        QCOMPARE(layout.bytesPerRow, 16);
        d.wideBox()->click();
        QCOMPARE(layout.hexColumn(), 5);
        d.addressBox()->click();
        QCOMPARE(layout.hexColumn(), 0);
        d.hexBox()->click();
        QCOMPARE(layout.textColumn(), 0);
        QCOMPARE(d.data(), bytes);
    }
    // Which bytes the editor gets and how they go back is the session's (tests/unit): here
    // Cancel leaves the table, OK rebuilds the list, and only tables are edited.
    void hexEditButtonOnTheTables() {
        OpenWindow dlg({sample("ntsc43", "VTS_01_0.IFO")});
        select(dlg, findItem(dlg, "VTS_C_ADT"));
        const auto& table = dlg.session().currentDocument()->ifo->table[ID_VTS_C_ADT];
        const Bytes before = table;
        onNext<CHexEditDlg>([&](CHexEditDlg* d) {
            QTest::keyClicks(d->control(), "ff");
            d->reject();
        });
        QTest::mouseClick(dlg.button("HexEdit"), Qt::LeftButton);
        QCOMPARE(table, before);
        QCOMPARE(dlg.session().workspace().modifiedCount(), 0);
        // Type into VTS Category (offset 34).
        select(dlg, findItem(dlg, "VTSI_MAT"));
        onNext<CHexEditDlg>([&](CHexEditDlg* d) {
            press(d->control(), {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
                                 Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right});
            QTest::keyClicks(d->control(), "7f");
            d->accept();
        });
        QTest::mouseClick(dlg.button("HexEdit"), Qt::LeftButton);
        QCOMPARE(dlg.session().workspace().modifiedCount(), 1);
        QCOMPARE(cell(dlg, findRow(dlg, "VTS Category"), FieldListModel::Hex),
                 QStringLiteral("[7f000000]"));
        select(dlg, findItem(dlg, "VTS_PGCITI"));  // adds the PGC nodes
        for (const auto& [item, expected] :
             {std::pair{dlg.tree()->topLevelItem(0),
                        "HexEdit for this tree item not implemented yet or not possible!"},
              {findItem(dlg, "VTS_PGC_2"), "HexEdit for pgc not implemented yet!"}}) {
            select(dlg, item);
            QCOMPARE(messageAfter([&] { dlg.button("HexEdit")->click(); }), QString(expected));
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
