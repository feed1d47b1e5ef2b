// The repair buttons of the main window on copies of the sample disc: "Remove P-UPs",
// "Delete Playback", "Get VTS sectors" with its question about all IFO files, and
// "Create Tmpg T." writing a template of the loaded title set through its dialogs.
#include "ui/template_dialog.h"
#include "ui_test_support.h"

class RepairButtonsTest : public QObject {
    Q_OBJECT
    // Clicks `button`, answering the message boxes that follow with `answers`; their texts.
    QStringList answeredClick(QPushButton* button, QList<QMessageBox::StandardButton> answers) {
        QStringList texts;
        answerMessages(answers, &texts);
        button->click();
        QTest::qWaitFor([] { return pendingAnswers() == 0; }, 10000);
        return texts;
    }

  private slots:
    void removePupsClearsTheMaskAndMarksTheFile() {
        ScratchCopies copies;
        const QString path = copies.copy("ntsc43", "VTS_01_0.IFO");
        // Give the first title PGC a mask in the file.
        patchFile(path, [](QByteArray& bytes) {
            const qsizetype pgcit = be32At(bytes, 0xCC) * 2048;
            qToBigEndian<quint32>(0x100, bytes.data() + pgcit + be32At(bytes, pgcit + 12) + 8);
        });
        const QByteArray bytes = readFile(path);
        OpenWindow dlg({path});
        QCOMPARE(answeredClick(dlg.button("Remove P-UPs"), {QMessageBox::Ok}),
                 QStringList{"Removed P-UOP in Title-PGC <1>\n"});
        QCOMPARE(dlg.session().workspace().modifiedCount(), 1);
        // Only memory changed; the file waits for Save.
        QCOMPARE(readFile(path), bytes);
    }
    // The button hands the selected overview row to the session (which rows it takes and
    // refuses is tests/unit's).
    void deletePlaybackTakesTheSelectedRow() {
        ScratchCopies copies;
        OpenWindow dlg({copies.copy("ntsc43", "VIDEO_TS.IFO")});
        int menu = -1;
        for (int r = 0; r < dlg.model()->rowCount(); ++r)
            if (cell(dlg, r, 1).trimmed().startsWith("Menu 1:")) menu = r;
        QVERIFY(menu >= 0);
        dlg.list()->setCurrentIndex(dlg.model()->index(menu, 0));
        dlg.button("Delete Playback")->click();
        QVERIFY2(cell(dlg, menu, 1).contains("(Programs: 0) (Cells: 0)"),
                 qPrintable(cell(dlg, menu, 1)));
    }
    void getVtsSectorsAsksAndCorrectsOneOrAllFiles() {
        ScratchCopies copies;
        copies.copyAll("ntsc43");
        const QString question =
            "Do you want to process ALL IFO files?\nATTENTION: This will automaticaly re-save IFO "
            "files.";
        OpenWindow dlg({copies.path("VTS_01_0.IFO")});
        QPushButton* button = dlg.button("Get VTS sectors");
        // The title set agrees with its files already.
        QCOMPARE(answeredClick(button, {QMessageBox::No, QMessageBox::Ok}),
                 (QStringList{question, "No sector's found that are different!"}));
        QCOMPARE(dlg.session().workspace().modifiedCount(), 0);
        // All files: the video manager's addresses are corrected and saved with its backup.
        const QStringList texts =
            answeredClick(button, {QMessageBox::Yes, QMessageBox::Ok, QMessageBox::Ok});
        QCOMPARE(texts.size(), 3);
        QVERIFY(texts[1].startsWith("Corrected sector addresses in table [VMGI_MAT]:\n\n"));
        QVERIFY(texts[2].startsWith("Corrected sector addresses in table [VMG_PTT_SRPT]:\n\n"));
        QCOMPARE(dlg.session().workspace().modifiedCount(), 0);
        const QByteArray vmg = readFile(copies.path("VIDEO_TS.IFO"));
        QCOMPARE(be32At(vmg, 0x0C), 25u);
        QCOMPARE(readFile(copies.path("VIDEO_TS.BUP")), vmg);
        // The files it opened joined the tree, and the last one is shown.
        QCOMPARE(dlg.tree()->topLevelItemCount(), 3);
        QVERIFY(dlg.session().currentDocument()->path.ends_with("VTS_02_0.IFO"));
    }
    void createTemplateButtonWritesTheTemplate() {
        ScratchCopies copies;
        copies.copy("ntsc43", "VTS_02_1.VOB");
        OpenWindow dlg({copies.copy("ntsc43", "VTS_02_0.IFO")});
        const QString out = copies.path("frames.txt");
        QString proposed;
        acceptNextFile(out, &proposed);
        onNext<CTemplateDlg>([](CTemplateDlg* d) {
            labelled<QCheckBox>(d, "P frames")->setChecked(false);
            d->accept();
        });
        QTest::mouseClick(dlg.button("Create Tmpg T."), Qt::LeftButton);
        QCOMPARE(pendingAnswers(), 0);
        QVERIFY(proposed.endsWith("TmpgTemplate.txt"));
        QCOMPARE(readFile(out), QByteArray("0,I\n15,I\n30,I\n45,I\n60,I\n75,I\n"));
        QVERIFY(dlg.isEnabled());  // the progress window gave the window back
    }
};

QTEST_MAIN(RepairButtonsTest)
#include "test_repair_buttons.moc"
