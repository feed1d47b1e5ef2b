// Editing fields in the window as a user does: double-clicks, the "Enter new Value" dialog, the
// video attribute and user-operation dialogs, Save with its backup question, and Quit.
#include <QButtonGroup>
#include <QRadioButton>

#include "ui/enter_value_dlg.h"
#include "ui/uop_dlg.h"
#include "ui/video_attr_dlg.h"
#include "ui_test_support.h"

namespace {

// Types `text` into the "Enter new Value" dialog that the next double-click opens and confirms it;
// the value it opened with lands in `shown`.
void typeNextValue(const QString& text, QString* shown = nullptr) {
    onNext<CEnterValueDlg>([=](CEnterValueDlg* d) {
        if (shown != nullptr) *shown = d->value();
        QTest::keyClicks(d->edit(), text);  // replaces the selected old value
        QTest::keyClick(d->edit(), Qt::Key_Return);
    });
}

}  // namespace

class FieldEditingTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ScratchCopies> scratch;
    std::unique_ptr<CNavtabDlg> dlg;
    QString vts;
    int row(const QString& description) {
        const int r = findRow(*dlg, description);
        if (r < 0) qWarning("no row %s", qPrintable(description));
        return r;
    }
    QString dec(const QString& description) {
        return cell(*dlg, row(description), FieldListModel::Dec);
    }
    QString hex(const QString& description) {
        return cell(*dlg, row(description), FieldListModel::Hex);
    }
    void showPgc1() {
        select(*dlg, findItem(*dlg, "VTS_PGCITI"));
        select(*dlg, findItem(*dlg, "VTS_PGC_1"));
    }
    bool modified() { return dlg->session().workspace().modifiedCount() > 0; }
    void type(const QString& description, const QString& text) {
        typeNextValue(text);
        doubleClickRow(*dlg, row(description));
    }

  private slots:
    void init() {
        scratch = std::make_unique<ScratchCopies>();
        vts = scratch->copy("ntsc43", "VTS_01_0.IFO");
        dlg = std::make_unique<CNavtabDlg>();
        dlg->show();
        dlg->openFiles({vts});
        select(*dlg, findItem(*dlg, "VTSI_MAT"));
    }
    void cleanup() {
        QCOMPARE(pendingAnswers(), 0);
        dlg.reset();
        scratch.reset();
    }
    void cancelAndTextsChangeNothing() {
        const QString name = "Last Sector of VTS";
        onNext<CEnterValueDlg>([&](CEnterValueDlg* d) {
            QCOMPARE(d->edit()->selectedText(), QStringLiteral("500"));
            QTest::keyClicks(d->edit(), "77");
            labelled(d, "Abbrechen")->click();
        });
        doubleClickRow(*dlg, row(name));
        QCOMPARE(dec(name), QStringLiteral("500"));
        // Notes and texts are not editable.
        QString text;
        answerNextMessage(QMessageBox::Ok, &text);
        doubleClickRow(*dlg, row("VTS Identifier"));
        QCOMPARE(text, QStringLiteral("Item is not editable."));
        QVERIFY(!modified());
    }
    // Every editor's result reaches the list and the saved file; how typed text becomes the
    // bits of each width is tested in tests/unit.
    void savesEveryEditToDisk() {
        type("Number of audio streams in VTSM_VOBS", "3");
        QString shown;
        typeNextValue("70000", &shown);
        doubleClickRow(*dlg, row("Last Sector of VTS"));
        QCOMPARE(shown, QStringLiteral("500"));
        QCOMPARE(dec("Last Sector of VTS"), QStringLiteral("70000"));
        QCOMPARE(hex("Last Sector of VTS"), QStringLiteral("[00011170]"));
        onNext<CVideoAttrDlg>([](CVideoAttrDlg* d) {
            QVERIFY(!d->filmButton()->isEnabled());  // NTSC
            d->aspectRatio()->button(3)->click();    // 16:9
            labelled(d, "OK")->click();
        });
        doubleClickRow(*dlg, row("Video attributes of VTSTT_VOBS"));
        QCOMPARE(hex("Video attributes of VTSTT_VOBS"), QStringLiteral("[4f18]"));
        showPgc1();
        type("Audio stream 3 status", "258");
        onNext<CUopDlg>([](CUopDlg* d) {
            labelled(d, "Check all")->click();
            labelled(d, "OK")->click();
        });
        doubleClickRow(*dlg, row("Prohibited user operations"));
        QCOMPARE(dec("Prohibited user operations"), QStringLiteral("33554431"));
        QString proposed, question;
        acceptNextFile({}, &proposed);
        answerNextMessage(QMessageBox::Yes, &question);
        QTest::mouseClick(dlg->button("Save"), Qt::LeftButton);
        QCOMPARE(proposed, vts);
        QCOMPARE(question, QStringLiteral("Do you want to save it as .BUP, aswell?\nAttention: "
                                          "Existing file would be overwritten."));
        QVERIFY(!modified());
        const QByteArray file = readFile(vts);
        QCOMPARE(static_cast<int>(file[0x103]), 3);
        QCOMPARE(be32At(file, 12), 70000u);
        QCOMPARE(be16At(file, 0x200), 0x4318 | 0x0C00);
        // The first PGC lies in VTS_PGCIT, whose sector VTSI_MAT gives at 0xCC.
        const TreeNode* pgc = CNavtabDlg::nodeOf(findItem(*dlg, "VTS_PGC_1"));
        const qsizetype pgcAt = qsizetype{be32At(file, 0xCC)} * 2048 + pgc->pgcOffset;
        QCOMPARE(be16At(file, pgcAt + 16), 258);
        QCOMPARE(be32At(file, pgcAt + 8), 0x01FFFFFFu);
        QCOMPARE(readFile(scratch->path("VTS_01_0.BUP")), file);
    }
    void quitAsksWhileAFileIsModified() {
        const QByteArray before = readFile(vts);
        type("Number of audio streams in VTSM_VOBS", "9");
        QString question;
        answerNextMessage(QMessageBox::No, &question);
        QTest::mouseClick(dlg->button("Quit"), Qt::LeftButton);
        QCOMPARE(question, QStringLiteral("Some files have changed?\nReally exit without saving?"));
        QVERIFY(dlg->isVisible());
        QCOMPARE(dec("Number of audio streams in VTSM_VOBS"), QStringLiteral("9"));
        QCOMPARE(dlg->tree()->topLevelItemCount(), 1);
        // Escape and the title bar's close button ask the same question.
        answerNextMessage(QMessageBox::No);
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        QVERIFY(dlg->isVisible());
        answerNextMessage(QMessageBox::No);
        dlg->close();
        QVERIFY(dlg->isVisible());
        answerNextMessage(QMessageBox::Yes);
        QTest::mouseClick(dlg->button("Quit"), Qt::LeftButton);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(readFile(vts), before);  // nothing was written
    }
};

QTEST_MAIN(FieldEditingTest)
#include "test_field_editing.moc"
