// VOB Extras and Menu Extras in the window: the options dialog follows its state through clicks,
// the strip dialog hands back its check marks, and both runs, driven through the buttons on a copy
// of a sample disc, write into the destination folder and show what they saved.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "session/browser_session.h"
#include "ui/extras_dialog.h"
#include "ui/navtab_dlg.h"
#include "ui/strip_dialog.h"
#include "ui/vob_dialogs.h"
#include "ui_test_support.h"

using namespace navtab;
using namespace navtab::ui;
using namespace navtab::uitest;
using vob::ExtrasBox;

namespace {

const QString kOverwrite =
    "You've selected to overwrite your original VOB files!\nPlease select a different directory.";

// A button, check box or label of a dialog by its text.
template <typename T>
T* childWithText(QWidget& w, const QString& text) {
    for (T* child : w.findChildren<T*>())
        if (child->text() == text) return child;
    return nullptr;
}

// A copy of the whole sample disc, and an empty destination folder beside it.
struct DiscCopy {
    DiscCopy() {
        for (const QString& name :
             QDir(QFileInfo(sample("ntsc43", "VIDEO_TS.IFO")).path()).entryList(QDir::Files))
            source.copy("ntsc43", name);
    }
    QString destination(const QString& name) const { return dest.filePath(name); }
    QStringList written() const { return QDir(dest.path()).entryList(QDir::Files, QDir::Name); }
    // Every source file unchanged?
    bool sourceUntouched() const {
        for (const QString& name :
             QDir(QFileInfo(sample("ntsc43", "VIDEO_TS.IFO")).path()).entryList(QDir::Files))
            if (readFile(source.path(name)) != readFile(sample("ntsc43", name))) return false;
        return true;
    }

    ScratchCopies source;
    QTemporaryDir dest;
};

// Plays the user while it lives: every modal dialog that appears goes to `act`, but message boxes
// and questions, which are answered Yes (or OK) and whose texts are kept.
class Player {
  public:
    explicit Player(std::function<void(QWidget*)> act) {
        QObject::connect(&timer_, &QTimer::timeout, [this, act] {
            QWidget* w = QApplication::activeModalWidget();
            if (w == nullptr || !w->isVisible()) return;
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                messages << box->text();
                QAbstractButton* yes = box->button(QMessageBox::Yes);
                if (yes == nullptr) yes = box->button(QMessageBox::Ok);
                yes != nullptr ? yes->click() : box->accept();
            } else {
                act(w);
            }
        });
        timer_.start(5);
    }
    QStringList messages;

  private:
    QTimer timer_;
};

// Clicks `button` and plays the user until the run is over: `options` fills the options dialog
// and closes it, each strip dialog is confirmed as it is shown. Returns the texts of the messages.
QStringList runExtras(CNavtabDlg& dlg, const QString& button,
                      const std::function<void(CVobExtrasDlg*)>& options, int* strips = nullptr) {
    Player player([&](QWidget* w) {
        if (auto* optionsDlg = qobject_cast<CVobExtrasDlg*>(w)) {
            options(optionsDlg);
        } else if (auto* strip = qobject_cast<CStripDlg*>(w)) {
            if (strips != nullptr) ++*strips;
            childWithText<QPushButton>(*strip, "Strip it")->click();
        }
    });
    QTest::mouseClick(dlg.button(button), Qt::LeftButton);
    return player.messages;
}

// The private stream 1 sub-stream ids of the packets that begin the sectors of a VOB file.
QSet<int> subStreams(const QString& path) {
    const QByteArray vob = readFile(path);
    QSet<int> ids;
    for (qsizetype at = 0; at + 2048 <= vob.size(); at += 2048) {
        const auto* s = reinterpret_cast<const unsigned char*>(vob.constData() + at);
        if (s[17] == 0xBD) ids.insert(s[23 + s[22]]);
    }
    return ids;
}

// Does every tree item name a node that the open documents hold now?
bool treeNamesLiveNodes(CNavtabDlg& dlg) {
    QSet<const TreeNode*> live;
    const std::function<void(const TreeNode&)> walk = [&](const TreeNode& n) {
        live.insert(&n);
        for (const auto& child : n.children) walk(*child);
    };
    for (const auto& doc : dlg.session().workspace().documents()) walk(doc->root);
    for (QTreeWidgetItemIterator it(dlg.tree()); *it; ++it)
        if (!live.contains(CNavtabDlg::nodeOf(*it))) return false;
    return true;
}

}  // namespace

class VobExtrasTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void optionsDialogFollowsTheClicks() {
        CVobExtrasDlg d(nullptr, vob::ExtrasDialogState::forVobExtras("/disc/VTS_01_0.IFO", 2));
        d.show();
        QCOMPARE(d.windowTitle(), QString("VOB Extras"));
        QCOMPARE(d.destinationEdit()->text(), QString("VTS_01_1.VOB"));
        QVERIFY(d.box(ExtrasBox::StripLanguageUnits)->isHidden());
        QVERIFY(!d.box(ExtrasBox::Remux)->isEnabled() && !d.box(ExtrasBox::Remux)->isChecked());
        QVERIFY(!d.box(ExtrasBox::CreateNew)->isEnabled());
        QVERIFY(!d.videoSourceEdit()->isEnabled() && !d.videoSourceBrowse()->isEnabled());
        QVERIFY(!d.keepAngleCombo()->isEnabled());
        QCOMPARE(d.keepAngleCombo()->count(), 2);

        // "Remove Angles" brings in VOB id stripping and the removal of the angle pointers.
        d.box(ExtrasBox::RemoveAngles)->click();
        QVERIFY(d.box(ExtrasBox::StripVobIds)->isChecked());
        QVERIFY(d.box(ExtrasBox::RemoveAnglePointers)->isChecked());
        QVERIFY(d.keepAngleCombo()->isEnabled() &&
                childWithText<QLabel>(d, "Keep Angle:")->isEnabled());
        d.box(ExtrasBox::AdjustAnglePointers)->click();
        QVERIFY(!d.box(ExtrasBox::RemoveAnglePointers)->isChecked());

        // Without the pointer option its options are disabled and back at their first values.
        d.box(ExtrasBox::CorrectNavPacks)->click();
        for (ExtrasBox b : {ExtrasBox::RemovePuops, ExtrasBox::AdjustAnglePointers,
                            ExtrasBox::AdjustVobuPointers})
            QVERIFY(!d.box(b)->isEnabled());
        QVERIFY(d.box(ExtrasBox::RemovePuops)->isChecked());
        QVERIFY(!d.box(ExtrasBox::AdjustAnglePointers)->isChecked());

        // No writing option left: the destination goes grey.
        d.box(ExtrasBox::StripStreams)->click();
        QVERIFY(d.destinationEdit()->isEnabled());
        d.box(ExtrasBox::RemoveAngles)->click();
        d.box(ExtrasBox::StripVobIds)->click();
        QVERIFY(!d.destinationEdit()->isEnabled() && !d.destinationBrowse()->isEnabled());
        QVERIFY(!childWithText<QLabel>(d, "Destination directory:")->isEnabled());

        d.box(ExtrasBox::StripVobIds)->click();
        d.box(ExtrasBox::RemoveAngles)->click();
        d.keepAngleCombo()->setCurrentIndex(1);
        d.destinationEdit()->clear();
        QTest::keyClicks(d.destinationEdit(), "/out/VTS_01_1.VOB");
        childWithText<QPushButton>(d, "OK")->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.state().options.keepAngle, 2);
        QCOMPARE(d.state().options.destination, std::string("/out/VTS_01_1.VOB"));
        QVERIFY(d.state().options.stripVobIds && !d.state().options.stripStreams);
    }

    void destinationSuffixFollowsTheWritingOptions() {
        // The create-new option cannot be clicked yet; a state that holds it shows the rule.
        auto state = vob::ExtrasDialogState::forVobExtras("/disc/VTS_05_0.IFO", 1);
        state.options.createNew = true;
        CVobExtrasDlg d(nullptr, state);
        d.box(ExtrasBox::StripStreams)->click();
        QCOMPARE(d.destinationEdit()->text(), QString("VTS_05_0.IFO"));
        d.box(ExtrasBox::StripVobIds)->click();
        QCOMPARE(d.destinationEdit()->text(), QString("VTS_05_1.VOB"));
    }

    void menuExtrasOptionsLayout() {
        CVobExtrasDlg d(nullptr, vob::ExtrasDialogState::forMenuExtras("/disc/VIDEO_TS.IFO"));
        QCOMPARE(d.windowTitle(), QString("Menu Extras"));
        QCOMPARE(d.destinationEdit()->text(), QString("VIDEO_TS.VOB"));
        QVERIFY(!d.box(ExtrasBox::StripLanguageUnits)->isHidden());
        QVERIFY(d.box(ExtrasBox::StripLanguageUnits)->isChecked());
        QVERIFY(d.box(ExtrasBox::StripVobIds)->isChecked());
        for (ExtrasBox b : {ExtrasBox::Remux, ExtrasBox::StripStreams, ExtrasBox::CreateNew,
                            ExtrasBox::RebuildPts})
            QVERIFY(!d.box(b)->isChecked() && !d.box(b)->isEnabled());
        QVERIFY(!d.videoSourceEdit()->isEnabled());
        QVERIFY(d.destinationEdit()->isEnabled());
    }

    void browsingTheHeldPathWarns() {
        QTemporaryDir dir;
        const QString held = dir.filePath("VTS_01_1.VOB");
        auto state = vob::ExtrasDialogState::forVobExtras("/disc/VTS_01_0.IFO", 1);
        state.options.destination = held.toStdString();
        CVobExtrasDlg d(nullptr, state);
        d.show();
        for (const QString& chosen : {held, dir.filePath("OTHER_1.VOB")}) {
            Player player([&](QWidget* w) {
                if (auto* f = qobject_cast<QFileDialog*>(w)) {
                    f->selectFile(chosen);
                    static_cast<QDialog*>(f)->accept();
                }
            });
            d.destinationBrowse()->click();
            QCOMPARE(player.messages, chosen == held ? QStringList{kOverwrite} : QStringList());
            QCOMPARE(d.destinationEdit()->text(), chosen);  // taken all the same
        }
    }

    void stripDialogButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QList<bool>>("kept");
        QTest::newRow("check all") << "Check All" << true << QList<bool>{true, true, true};
        QTest::newRow("uncheck all") << "Uncheck All" << true << QList<bool>{false, false, false};
        QTest::newRow("as shown") << QString() << true << QList<bool>{true, false, true};
        QTest::newRow("cancel") << "Cancel" << false << QList<bool>{true, false, true};
    }
    void stripDialogButtons() {
        QFETCH(QString, button);
        QFETCH(bool, confirmed);
        QFETCH(QList<bool>, kept);
        vob::StripChoices choices;
        choices.keepVobId[2] = false;
        vob::StripDialog strip = vob::vobIdStripDialog(3, choices);
        onNext<CStripDlg>([&](CStripDlg* d) {
            QTreeWidget* list = d->list();
            QCOMPARE(list->headerItem()->text(1), QString("Id"));
            QCOMPARE(list->headerItem()->text(2), QString("Vob"));
            QCOMPARE(list->header()->sectionSize(0), 40);
            QCOMPARE(list->topLevelItem(1)->text(2), QString("VobId 2"));
            QCheckBox* stripVob = childWithText<QCheckBox>(*d, "Strip VOB files");
            QVERIFY(stripVob->isChecked() && !stripVob->isEnabled());
            if (!button.isEmpty()) childWithText<QPushButton>(*d, button)->click();
            if (confirmed) {
                childWithText<QCheckBox>(*d, "Correct IFO tables")->click();
                childWithText<QPushButton>(*d, "Strip it")->click();
            }
        });
        QtVobDialogs dialogs(nullptr);
        QCOMPARE(dialogs.chooseStrip(strip), confirmed);
        QCOMPARE(pendingAnswers(), 0);
        for (int i = 0; i < kept.size(); ++i) QCOMPARE(strip.rows[i].keep, kept[i]);
        QCOMPARE(strip.correctIfo, !confirmed);
    }

    void vobExtrasStripsTheUnwantedStreams() {
        DiscCopy disc;
        CNavtabDlg dlg;
        dlg.show();
        dlg.openFiles({disc.source.path("VTS_01_0.IFO")});
        IfoDocument* source = dlg.session().currentDocument();
        QTreeWidgetItem* sourceRoot = dlg.itemOf(&source->root);
        select(dlg, findItem(dlg, "VTS_PGCITI", sourceRoot));  // a node the reload replaces
        int strips = 0;
        const QStringList messages = runExtras(
            dlg, "VOB Extras",
            [&](CVobExtrasDlg* d) {
                d->destinationEdit()->setText(disc.destination("VTS_01_1.VOB"));
                d->accept();
            },
            &strips);
        QCOMPARE(strips, 1);
        // The strip dialog opens with audio 0 and sub-picture 0 kept, the others left out.
        QCOMPARE(subStreams(disc.source.path("VTS_01_1.VOB")), (QSet<int>{0x20, 0x21, 0x80, 0x81}));
        QCOMPARE(subStreams(disc.destination("VTS_01_1.VOB")), (QSet<int>{0x20, 0x80}));
        // The corrected title set and its manager are saved, each with its .BUP.
        QCOMPARE(disc.written(), (QStringList{"VIDEO_TS.BUP", "VIDEO_TS.IFO", "VTS_01_0.BUP",
                                              "VTS_01_0.IFO", "VTS_01_1.VOB"}));
        QVERIFY(messages.filter("save it as .BUP").size() == 2);
        QVERIFY(disc.sourceUntouched());
        // The saved files are open, not expanded; the source documents were read anew.
        for (const char* name : {"VTS_01_0.IFO", "VIDEO_TS.IFO"}) {
            QTreeWidgetItem* saved = findItem(dlg, disc.destination(name));
            QVERIFY(saved != nullptr && saved->parent() == nullptr && !saved->isExpanded());
        }
        QCOMPARE(dlg.tree()->currentItem(), sourceRoot);
        QCOMPARE(sourceRoot->childCount(), int(source->root.children.size()));
        QVERIFY(treeNamesLiveNodes(dlg));
        QCOMPARE(dlg.session().workspace().modifiedCount(), 0);
    }

    void vobExtrasRefusesBeforeWriting_data() {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("message");
        QTest::newRow("source VOB") << "VTS_01_1.VOB" << kOverwrite;
        QTest::newRow("source VOB spelt otherwise") << "./VTS_01_1.VOB" << kOverwrite;
        QTest::newRow("empty") << QString()
                               << "Missing destination Path-Filename for output-VOB files!";
    }
    void vobExtrasRefusesBeforeWriting() {
        QFETCH(QString, destination);
        QFETCH(QString, message);
        DiscCopy disc;
        CNavtabDlg dlg;
        dlg.show();
        dlg.openFiles({disc.source.path("VTS_01_0.IFO")});
        int strips = 0;
        const QStringList messages = runExtras(
            dlg, "VOB Extras",
            [&](CVobExtrasDlg* d) {
                const QFileInfo ifo(disc.source.path("VTS_01_0.IFO"));
                d->destinationEdit()->setText(
                    destination.isEmpty() ? QString() : ifo.path() + '/' + destination);
                d->accept();
            },
            &strips);
        QCOMPARE(messages, QStringList{message});
        QCOMPARE(strips, 0);
        QVERIFY(disc.sourceUntouched());
        QCOMPARE(dlg.tree()->topLevelItemCount(), 1);
    }

    void menuExtrasKeepsTheFirstLanguageUnit() {
        DiscCopy disc;
        CNavtabDlg dlg;
        dlg.show();
        dlg.openFiles({disc.source.path("VTS_01_0.IFO")});
        int strips = 0;
        const QStringList messages = runExtras(
            dlg, "Menu Extras",
            [&](CVobExtrasDlg* d) {
                d->destinationEdit()->setText(disc.destination("VTS_01_0.VOB"));
                d->accept();
            },
            &strips);
        QCOMPARE(strips, 2);  // the language units, then the VOB ids they leave
        // The "en" unit plays VOB ids 1 and 2: the menu's first 28 sectors.
        QCOMPARE(QFileInfo(disc.destination("VTS_01_0.VOB")).size(), 28 * 2048);
        QCOMPARE(disc.written(), (QStringList{"VTS_01_0.BUP", "VTS_01_0.IFO", "VTS_01_0.VOB"}));
        QVERIFY(disc.sourceUntouched());
        QVERIFY(findItem(dlg, disc.destination("VTS_01_0.IFO")) != nullptr);
        QVERIFY(treeNamesLiveNodes(dlg));
        QVERIFY(messages.filter("save it as .BUP").size() == 1);
    }

    void buttonsFollowTheShownFile() {
        CNavtabDlg dlg;
        dlg.show();
        QVERIFY(!dlg.button("VOB Extras")->isEnabled() && !dlg.button("Menu Extras")->isEnabled());
        dlg.openFiles({sample("ntsc43", "VIDEO_TS.IFO"), sample("ntsc43", "VTS_01_0.IFO")});
        QVERIFY(dlg.button("VOB Extras")->isEnabled() && dlg.button("Menu Extras")->isEnabled());
        select(dlg, findItem(dlg, sample("ntsc43", "VIDEO_TS.IFO")));
        QVERIFY(!dlg.button("VOB Extras")->isEnabled() && dlg.button("Menu Extras")->isEnabled());
    }
};

QTEST_MAIN(VobExtrasTest)
#include "test_vob_extras.moc"
