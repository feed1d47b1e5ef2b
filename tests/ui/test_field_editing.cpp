// Editing fields in the window as a user does: double-clicks, the "Enter new Value" dialog, the
// video attribute and user-operation dialogs, Save with its backup question, and Quit.
#include <QButtonGroup>
#include <QRadioButton>

#include "ui/enter_value_dlg.h"
#include "ui/uop_dlg.h"
#include "ui/video_attr_dlg.h"
#include "ui_test_support.h"

class FieldEditingTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ScratchCopies> scratch;
    std::unique_ptr<OpenWindow> dlg;
    QString vts;
    QString column(const QString& description, int c) {
        return cell(*dlg, findRow(*dlg, description), c);
    }
    // Double-clicks the row and answers the dialog of type T it opens with `act`.
    template <typename T>
    void edit(const QString& description, std::function<void(T*)> act) {
        onNext<T>(act);
        doubleClickRow(*dlg, findRow(*dlg, description));
    }
    // Types `text` into the "Enter new Value" dialog of the row (replacing the selected old value)
    // and confirms it; returns the value the dialog opened with.
    QString type(const QString& description, const QString& text) {
        QString shown;
        edit<CEnterValueDlg>(description, [&](CEnterValueDlg* d) {
            shown = d->value();
            QTest::keyClicks(d->edit(), text);
            QTest::keyClick(d->edit(), Qt::Key_Return);
        });
        return shown;
    }
    bool modified() { return dlg->session().workspace().modifiedCount() > 0; }

  private slots:
    void init() {
        scratch = std::make_unique<ScratchCopies>();
        vts = scratch->copy("ntsc43", "VTS_01_0.IFO");
        dlg = std::make_unique<OpenWindow>(QStringList{vts});
        select(*dlg, findItem(*dlg, "VTSI_MAT"));
    }
    void cleanup() {
        QCOMPARE(pendingAnswers(), 0);
        dlg.reset();
        scratch.reset();
    }
    void cancelAndTextsChangeNothing() {
        const QString name = "Last Sector of VTS";
        edit<CEnterValueDlg>(name, [](CEnterValueDlg* d) {
            QCOMPARE(d->edit()->selectedText(), QStringLiteral("500"));
            QTest::keyClicks(d->edit(), "77");
            labelled(d, "Abbrechen")->click();
        });
        QCOMPARE(column(name, FieldListModel::Dec), QStringLiteral("500"));
        // Notes and texts are not editable.
        QCOMPARE(messageAfter([&] { doubleClickRow(*dlg, findRow(*dlg, "VTS Identifier")); }),
                 QStringLiteral("Item is not editable."));
        QVERIFY(!modified());
    }
    // Every editor's result reaches the list, and Save writes the file and its backup; how typed
    // text becomes the bits of each width is tested in tests/unit.
    void savesEveryEditToDisk() {
        type("Number of audio streams in VTSM_VOBS", "3");
        QCOMPARE(type("Last Sector of VTS", "70000"), QStringLiteral("500"));
        QCOMPARE(column("Last Sector of VTS", FieldListModel::Dec), QStringLiteral("70000"));
        QCOMPARE(column("Last Sector of VTS", FieldListModel::Hex), QStringLiteral("[00011170]"));
        edit<CVideoAttrDlg>("Video attributes of VTSTT_VOBS", [](CVideoAttrDlg* d) {
            QVERIFY(!d->filmButton()->isEnabled());  // NTSC
            d->aspectRatio()->button(3)->click();    // 16:9
            labelled(d, "OK")->click();
        });
        QCOMPARE(column("Video attributes of VTSTT_VOBS", FieldListModel::Hex),
                 QStringLiteral("[4f18]"));
        select(*dlg, findItem(*dlg, "VTS_PGCITI"));
        select(*dlg, findItem(*dlg, "VTS_PGC_1"));
        type("Audio stream 3 status", "258");
        edit<CUopDlg>("Prohibited user operations", [](CUopDlg* d) {
            labelled(d, "Check all")->click();
            labelled(d, "OK")->click();
        });
        QCOMPARE(column("Prohibited user operations", FieldListModel::Dec),
                 QStringLiteral("33554431"));
        QString proposed;
        acceptNextFile({}, &proposed);
        QCOMPARE(messageAfter([&] { QTest::mouseClick(dlg->button("Save"), Qt::LeftButton); },
                              QMessageBox::Yes),
                 QStringLiteral("Do you want to save it as .BUP, aswell?\nAttention: "
                                "Existing file would be overwritten."));
        QCOMPARE(proposed, vts);
        QVERIFY(!modified());
        // What Save writes of each field is the session's (tests/unit); one field stands for all.
        const QByteArray file = readFile(vts);
        QCOMPARE(be32At(file, 12), 70000u);
        QCOMPARE(readFile(scratch->path("VTS_01_0.BUP")), file);
    }
    void quitAsksWhileAFileIsModified() {
        const QByteArray before = readFile(vts);
        type("Number of audio streams in VTSM_VOBS", "9");
        const auto quit = [&] { QTest::mouseClick(dlg->button("Quit"), Qt::LeftButton); };
        const QString question = messageAfter(quit, QMessageBox::No);
        QCOMPARE(question, QStringLiteral("Some files have changed?\nReally exit without saving?"));
        QVERIFY(dlg->isVisible());
        QCOMPARE(column("Number of audio streams in VTSM_VOBS", FieldListModel::Dec),
                 QStringLiteral("9"));
        QCOMPARE(dlg->tree()->topLevelItemCount(), 1);
        // Escape and the title bar's close button ask the same question.
        QCOMPARE(messageAfter([&] { QTest::keyClick(dlg.get(), Qt::Key_Escape); }, QMessageBox::No),
                 question);
        QCOMPARE(messageAfter([&] { dlg->close(); }, QMessageBox::No), question);
        QVERIFY(dlg->isVisible());
        messageAfter(quit, QMessageBox::Yes);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(readFile(vts), before);  // nothing was written
    }
};

QTEST_MAIN(FieldEditingTest)
#include "test_field_editing.moc"
