// The main window: the tree of open files and their tables above, the field list below, and the
// row of command buttons at the bottom, laid out by the fixed layout table whenever the window is
// wider than 600 pixels. Every command is carried out by the BrowserSession; the window only shows
// its state.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include "session/browser_session.h"
#include "ui/qt_interaction.h"

class QCheckBox;
class QGroupBox;
class QMenuBar;
class QModelIndex;
class QPushButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace navtab::ui {

class FieldListModel;
class CDvdPlayDlg;

class CNavtabDlg : public QDialog, private SessionListener {
    Q_OBJECT
  public:
    static constexpr int kMinLayoutWidth = 600;  // narrower windows keep their controls in place

    explicit CNavtabDlg(QWidget* parent = nullptr);
    ~CNavtabDlg() override;

    // Opens each file as if it had been chosen with Open.
    void openFiles(const QStringList& paths);
    // Adds the tree items of an opened document; `expand` opens its branch and shows its nodes.
    QTreeWidgetItem* AddFileToTree(IfoDocument& doc, bool expand);
    // Shows the selected tree node in the list.
    void ShowSelected();

    BrowserSession& session() { return session_; }
    QTreeWidget* tree() const { return tree_; }
    QTreeView* list() const { return list_; }
    FieldListModel* model() const { return model_; }
    QCheckBox* showReservedBox() const { return showReserved_; }
    QMenuBar* menuBar() const { return menuBar_; }
    QWidget* client() const { return client_; }
    // A command button by its label.
    QPushButton* button(const QString& label) const;
    // The tree item of a node, or null.
    QTreeWidgetItem* itemOf(const TreeNode* node) const;
    static TreeNode* nodeOf(const QTreeWidgetItem* item);

    void OnOpen();
    void OnSave();
    void OnShowReserved(bool checked);
    void OnListDoubleClick();
    void OnHexEdit();
    void OnCopyToClipboard();
    void OnGetVtsSectors();
    void DeletePlayback();
    void RemoveProhibitedUops();
    void OnVobExtras();
    void OnMenuExtras();
    void OnCreateIfos();
    // "DVD Play": the playback window for the folder of the current file.
    void OnDvdPlay();
    // Minimises this window and plays `folder` (a VIDEO_TS folder) in the playback window,
    // which restores this window when it closes.
    void playFolder(const QString& folder);
    CDvdPlayDlg* playWindow() const;
    void OnAbout();
    void OnQuit();

    // Every way of closing the window (Quit, Escape, Enter, the title bar) asks first while a
    // file is modified.
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    QPushButton* addButton(const QString& label, bool enabled);
    void createMenus();
    void layoutControls(int w, int h);
    void sizeColumns();
    void syncTree(QTreeWidgetItem* item, TreeNode& node);
    // "VOB Extras" needs a title set shown, "Menu Extras" any IFO file.
    void enableVobTools();

    void listAboutToChange() override;
    void listChanged() override;
    void rowChanged(int row) override;
    void treeChanged(IfoDocument& doc) override;
    void documentAdded(IfoDocument& doc) override;
    void documentReloaded(IfoDocument& doc) override;

    QtInteraction interaction_;
    BrowserSession session_;
    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QTreeView* list_ = nullptr;
    FieldListModel* model_ = nullptr;
    QCheckBox* showReserved_ = nullptr;
    QGroupBox* extrasFrame_ = nullptr;
    bool laidOut_ = false;
    QPointer<CDvdPlayDlg> play_;
};

}  // namespace navtab::ui
