// VOB Extras and Menu Extras in the window: the options dialog follows its state through clicks,
// the strip dialog hands back its marks, and both runs write into the destination folder and open
// what they saved (what they write is held against the source and lsdvd in tests/unit).
#include <QComboBox>
#include <QSet>
#include <QTimer>

#include "ui/extras_dialog.h"
#include "ui/strip_dialog.h"
#include "ui/vob_dialogs.h"
#include "ui_test_support.h"

using B = vob::ExtrasBox;

namespace {

const QString kOverwrite =
    "You've selected to overwrite your original VOB files!\nPlease select a different directory.";

void chooseFile(QWidget* w, const QString& file, QStringList* filters = nullptr) {
    auto* d = qobject_cast<QFileDialog*>(w);
    if (d == nullptr) return;
    if (filters != nullptr) *filters << d->nameFilters().join(";;");
    d->selectFile(file);
    static_cast<QDialog*>(d)->accept();
}

// A window on a copy of the sample disc, with an empty destination folder.
struct ExtrasRun {
    // Clicks `button`: the options dialog gets `destination` (a name in the destination folder)
    // after `options`; each strip dialog is confirmed after `marks`.
    void click(const QString& button, const QString& destination,
               const std::function<void(CVobExtrasDlg*)>& options,
               const std::function<void(QTreeWidget*)>& marks = {}) {
        Player player([&](QWidget* w) {
            if (auto* d = qobject_cast<CVobExtrasDlg*>(w)) {
                options(d);
                d->destinationEdit()->setText(dest.filePath(destination));
                d->accept();
            } else if (auto* strip = qobject_cast<CStripDlg*>(w)) {
                ++strips;
                if (marks) marks(strip->list());
                labelled<QPushButton>(strip, "Strip it")->click();
            }
        });
        QTest::mouseClick(dlg.button(button), Qt::LeftButton);
        messages = player.messages;
    }
    // Does every tree item name a node of an open document?
    bool treeNamesLiveNodes() {
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
    ScratchCopies source{"ntsc43"};
    QTemporaryDir dest;
    OpenWindow dlg{{source.path("VTS_01_0.IFO")}};
    QStringList messages;
    int strips = 0;
};

}  // namespace

class VobExtrasTest : public QObject {
    Q_OBJECT

  private slots:
    // The rules of the boxes are the dialog state's; the clicks reach it and the widgets show it.
    void optionsDialogFollowsTheClicks() {
        CVobExtrasDlg d(nullptr, vob::ExtrasDialogState::forVobExtras("/disc/VTS_01_0.IFO", 2));
        d.show();
        QCOMPARE(d.destinationEdit()->text(), QString("VTS_01_1.VOB"));
        QVERIFY(d.box(B::StripLanguageUnits)->isHidden() && d.box(B::Remux)->isChecked());
        QVERIFY(d.videoSourceEdit()->isEnabled() && d.videoSourceBrowse()->isEnabled());
        QVERIFY(!d.keepAngleCombo()->isEnabled());
        d.box(B::RemoveAngles)->click();
        QVERIFY(d.box(B::StripVobIds)->isChecked() && d.box(B::RemoveAnglePointers)->isChecked());
        // Keeping one angle strips VOB ids, which leaves no room for a re-mux.
        QVERIFY(!d.box(B::Remux)->isChecked() && !d.videoSourceEdit()->isEnabled());
        QVERIFY(d.keepAngleCombo()->isEnabled() &&
                labelled<QLabel>(&d, "Keep Angle:")->isEnabled());
        d.box(B::AdjustAnglePointers)->click();
        QVERIFY(!d.box(B::RemoveAnglePointers)->isChecked());
        // Without the pointer option its options are disabled and back at their first values.
        d.box(B::CorrectNavPacks)->click();
        QVERIFY(!d.box(B::RemovePuops)->isEnabled() && d.box(B::RemovePuops)->isChecked());
        QVERIFY(!d.box(B::AdjustAnglePointers)->isChecked());
        // No writing option left: the destination goes grey.
        for (B b : {B::StripStreams, B::RemoveAngles, B::StripVobIds}) d.box(b)->click();
        QVERIFY(!d.destinationEdit()->isEnabled() && !d.destinationBrowse()->isEnabled());
        for (B b : {B::StripVobIds, B::RemoveAngles}) d.box(b)->click();
        d.keepAngleCombo()->setCurrentIndex(1);
        d.destinationEdit()->clear();
        QTest::keyClicks(d.destinationEdit(), "/out/VTS_01_1.VOB");
        labelled<QPushButton>(&d, "OK")->click();
        QCOMPARE(d.state().options.keepAngle, 2);
        QCOMPARE(d.state().options.destination, std::string("/out/VTS_01_1.VOB"));
        // The create-new option needs the table option (checking it checks that, clearing that
        // clears it) and enables the destination; as the only writing option it ends in _0.IFO.
        auto state = vob::ExtrasDialogState::forVobExtras("/disc/VTS_05_0.IFO", 1);
        state.options.remux = false;
        CVobExtrasDlg suffix(nullptr, state);
        for (B b : {B::CorrectTables, B::StripStreams, B::CreateNew}) suffix.box(b)->click();
        QVERIFY(suffix.box(B::CorrectTables)->isChecked() && suffix.destinationEdit()->isEnabled());
        QCOMPARE(suffix.destinationEdit()->text(), QString("VTS_05_0.IFO"));
        suffix.box(B::StripVobIds)->click();
        QCOMPARE(suffix.destinationEdit()->text(), QString("VTS_05_1.VOB"));
        suffix.box(B::CorrectTables)->click();
        QVERIFY(!suffix.box(B::CreateNew)->isChecked());
        CVobExtrasDlg menu(nullptr, vob::ExtrasDialogState::forMenuExtras("/disc/VIDEO_TS.IFO"));
        QCOMPARE(menu.destinationEdit()->text(), QString("VIDEO_TS.VOB"));
        QVERIFY(!menu.box(B::StripLanguageUnits)->isHidden());
        QVERIFY(menu.box(B::StripLanguageUnits)->isChecked() &&
                menu.box(B::StripVobIds)->isChecked());
        for (B b : {B::Remux, B::StripStreams, B::CreateNew, B::RebuildPts})
            QVERIFY(!menu.box(b)->isChecked() && !menu.box(b)->isEnabled());
    }
    void browsingTheHeldPathWarns() {
        QTemporaryDir dir;
        auto state = vob::ExtrasDialogState::forVobExtras("/disc/VTS_01_0.IFO", 1);
        state.options.destination = dir.filePath("VTS_01_1.VOB").toStdString();
        CVobExtrasDlg d(nullptr, state);
        for (const QString& chosen : {dir.filePath("./VTS_01_1.VOB"), dir.filePath("X_1.VOB")}) {
            Player player([&](QWidget* w) { chooseFile(w, chosen); });
            d.destinationBrowse()->click();
            QCOMPARE(player.messages,
                     chosen.contains("./") ? QStringList{kOverwrite} : QStringList());
            QCOMPARE(QDir::cleanPath(d.destinationEdit()->text()), QDir::cleanPath(chosen));
        }
    }
    void stripDialogButtons() {
        // Button, whether the dialog is confirmed, and the marks handed back.
        const std::tuple<QString, bool, QList<bool>> cases[] = {
            {"Check All", true, {true, true, true}},
            {"Uncheck All", true, {false, false, false}},
            {QString(), true, {true, false, true}},
            {"Cancel", false, {true, false, true}}};
        for (const auto& [button, confirmed, kept] : cases) {
            vob::StripChoices choices;
            choices.keepVobId[2] = false;
            vob::StripDialog strip = vob::vobIdStripDialog(3, choices);
            Player player([&](QWidget* w) {
                auto* d = static_cast<CStripDlg*>(w);
                QVERIFY(!labelled<QCheckBox>(d, "Strip VOB files")->isEnabled());
                if (!button.isEmpty()) labelled<QPushButton>(d, button)->click();
                if (!confirmed) return;
                labelled<QCheckBox>(d, "Correct IFO tables")->click();
                labelled<QPushButton>(d, "Strip it")->click();
            });
            QCOMPARE(QtVobDialogs(nullptr).chooseStrip(strip), confirmed);
            for (int i = 0; i < kept.size(); ++i) QCOMPARE(strip.rows[i].keep, kept[i]);
            QCOMPARE(strip.correctIfo, !confirmed);
        }
    }
    void vobExtrasStripsTheUnwantedStreams() {
        ExtrasRun run;
        IfoDocument* source = run.dlg.session().currentDocument();
        QTreeWidgetItem* sourceRoot = run.dlg.itemOf(&source->root);
        select(run.dlg, findItem(run.dlg, "VTS_PGCITI", sourceRoot));  // a node the reload drops
        run.click("VOB Extras", "VTS_01_1.VOB",
                  [](CVobExtrasDlg* d) { d->box(B::Remux)->click(); });
        // One strip dialog, which leaves audio 1 and sub-picture 1 out.
        QCOMPARE(run.strips, 1);
        QVERIFY(QFileInfo(run.dest.filePath("VTS_01_1.VOB")).size() <
                QFileInfo(run.source.path("VTS_01_1.VOB")).size());
        // The title set and its manager, corrected, are saved each with its .BUP and opened.
        QCOMPARE(QDir(run.dest.path()).entryList(QDir::Files),
                 (QStringList{"VIDEO_TS.BUP", "VIDEO_TS.IFO", "VTS_01_0.BUP", "VTS_01_0.IFO",
                              "VTS_01_1.VOB"}));
        QCOMPARE(run.messages.filter("save it as .BUP").size(), 2);
        QVERIFY(findItem(run.dlg, run.dest.filePath("VTS_01_0.IFO")) &&
                findItem(run.dlg, run.dest.filePath("VIDEO_TS.IFO")));
        // The source was read anew: its old items are gone, the root is shown.
        QCOMPARE(run.dlg.tree()->currentItem(), sourceRoot);
        QCOMPARE(sourceRoot->childCount(), int(source->root.children.size()));
        QVERIFY(run.treeNamesLiveNodes());
        QCOMPARE(run.dlg.session().workspace().modifiedCount(), 0);
    }
    void menuExtrasStripsVobIds() {
        ExtrasRun run;
        run.click(
            "Menu Extras", "VTS_01_0.VOB",
            [](CVobExtrasDlg* d) { d->box(B::StripLanguageUnits)->click(); },
            [](QTreeWidget* vobIds) {
                for (int i : {2, 3}) vobIds->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
            });
        QCOMPARE(run.strips, 1);
        // VOB ids 1 and 2, the "en" menus, are the menu's first 28 sectors.
        QCOMPARE(QFileInfo(run.dest.filePath("VTS_01_0.VOB")).size(), 28 * 2048);
        QVERIFY(findItem(run.dlg, run.dest.filePath("VTS_01_0.IFO")) != nullptr);
        QVERIFY(run.treeNamesLiveNodes());
        run.dlg.openFiles({run.source.path("VIDEO_TS.IFO")});
        QVERIFY(!run.dlg.button("VOB Extras")->isEnabled());
        QVERIFY(run.dlg.button("Menu Extras")->isEnabled());
    }
    // Which files it asks for is the command's (tests/unit); here the filters and the tree.
    void createIfosAsksForTheFilesAndOpensTheNewOnes() {
        OpenWindow dlg;
        QTemporaryDir dir;
        QVERIFY(QFile::copy(sample("pal169", "VTS_01_1.VOB"), dir.filePath("VTS_01_1.VOB")));
        QStringList filters;
        Player player([&](QWidget* w) {
            chooseFile(w, dir.filePath(filters.isEmpty() ? "VTS_01_1.VOB" : "VIDEO_TS.IFO"),
                       &filters);
        });
        QTest::mouseClick(dlg.button("Create IFOs"), Qt::LeftButton);
        QCOMPARE(filters, (QStringList{"VOB Files (*.VOB);;All Files (*)",
                                       "IFO Files (*.IFO);;All Files (*)"}));
        QCOMPARE(player.messages, QStringList{});
        QCOMPARE(dlg.tree()->topLevelItemCount(), 2);
        for (const char* name : {"VIDEO_TS.IFO", "VTS_01_0.IFO"}) {
            QTreeWidgetItem* item = findItem(dlg, dir.filePath(name));
            QVERIFY(item != nullptr && !item->isExpanded());
        }
    }
};

QTEST_MAIN(VobExtrasTest)
#include "test_vob_extras.moc"
