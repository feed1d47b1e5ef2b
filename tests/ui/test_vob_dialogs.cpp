// The VOB commands in the window: the template and Auto-Calc option dialogs, and the
// "Create Tmpg T." button writing a template of the loaded title set through its dialogs.
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include "ui/autocalc_dialog.h"
#include "ui/navtab_dlg.h"
#include "ui/template_dialog.h"
#include "ui_test_support.h"

using namespace navtab;
using namespace navtab::ui;
using namespace navtab::uitest;

namespace {

QStringList boxTexts(const QWidget& w) {
    QStringList texts;
    for (const QCheckBox* b : w.findChildren<QCheckBox*>()) texts << b->text();
    return texts;
}

QCheckBox* box(const QWidget& w, const QString& text) {
    for (QCheckBox* b : w.findChildren<QCheckBox*>())
        if (b->text() == text) return b;
    return nullptr;
}

}  // namespace

class VobDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void templateDialogOffersThePictureTypes() {
        CTemplateDlg d(nullptr, {true, false, true});
        QCOMPARE(boxTexts(d), (QStringList{"I frames", "P frames", "B frames"}));
        QVERIFY(!box(d, "P frames")->isChecked());
        box(d, "B frames")->setChecked(false);
        const vob::FrameTypes t = d.types();
        QVERIFY(t.i && !t.p && !t.b);
        QVERIFY(d.findChild<QPushButton*>() != nullptr);
    }

    void autoCalcDialogOffersTheTables() {
        CAutoCalcDlg d(nullptr, {});
        QCOMPARE(boxTexts(d), (QStringList{"AutoCalc: VTS_VOBU_ADMAP", "AutoCalc: VTS_C_ADT",
                                           "AutoCalc: VTS_PGCITI", "AutoCalc: VTS_TMAPTI",
                                           "AutoCorrect VOB files"}));
        QCheckBox* correct = box(d, "AutoCorrect VOB files");
        QVERIFY(!correct->isEnabled() && !correct->isChecked());
        box(d, "AutoCalc: VTS_C_ADT")->setChecked(false);
        const vob::AutoCalcTables t = d.tables();
        QVERIFY(t.vobuAdmap && !t.cellAdt && t.pgcit && t.tmapt);
        QStringList labels;
        for (const QLabel* l : d.findChildren<QLabel*>()) labels << l->text();
        QVERIFY(labels.join('\n').startsWith("Attention: This will scan ALL VTS_xx_x.VOB files"));
    }

    void createTemplateButtonWritesTheTemplate() {
        ScratchCopies copies;
        const QString ifo = copies.copy("ntsc43", "VTS_02_0.IFO");
        copies.copy("ntsc43", "VTS_02_1.VOB");
        const QString out = copies.path("frames.txt");
        CNavtabDlg dlg;
        dlg.show();
        dlg.openFiles({ifo});
        QPushButton* button = dlg.button("Create Tmpg T.");
        QVERIFY(button->isEnabled());

        QString proposed;
        onNext<QFileDialog>([&](QFileDialog* d) {
            proposed = d->selectedFiles().value(0);
            d->selectFile(out);
            static_cast<QDialog*>(d)->accept();
        });
        onNext<CTemplateDlg>([](CTemplateDlg* d) {
            box(*d, "P frames")->setChecked(false);
            d->accept();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(pendingAnswers(), 0);
        QVERIFY(proposed.endsWith("TmpgTemplate.txt"));
        QCOMPARE(readFile(out), QByteArray("0,I\n15,I\n30,I\n45,I\n60,I\n75,I\n"));
        QVERIFY(dlg.isEnabled());  // the progress window gave the window back
    }
};

QTEST_MAIN(VobDialogsTest)
#include "test_vob_dialogs.moc"
