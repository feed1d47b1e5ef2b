// The browser behind the main window: the open files, the selected node, the field list it shows,
// and every command a user gives on them (open, show, copy, edit a field, hex-edit a table, save,
// quit). The window draws this state and forwards clicks; the dialogs reach the session through
// UserInteraction and FieldEditors.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "core/document.h"
#include "format/field_edit.h"
#include "format/field_editors.h"
#include "format/field_list.h"

namespace navtab {

class UserInteraction;
namespace vob {
class VobCommandUi;
struct ExtrasContext;
}  // namespace vob

// Told about changes so that a view can follow them.
class SessionListener {
  public:
    virtual ~SessionListener() = default;
    virtual void listAboutToChange() {}
    virtual void listChanged() {}
    virtual void rowChanged(int /*row*/) {}
    // A describer may have added program-chain nodes to this document's tree.
    virtual void treeChanged(IfoDocument& /*doc*/) {}
    // A command opened another file; its tree is ready to be shown.
    virtual void documentAdded(IfoDocument& /*doc*/) {}
    // A command read this document's file anew: its tree was made anew.
    virtual void documentReloaded(IfoDocument& /*doc*/) {}
};

class BrowserSession {
  public:
    // The filter of the open and save dialogs.
    static constexpr const char* kIfoFilter =
        "IFO Files (*.ifo)|*.ifo|BUP Files (*.bup)|*.bup|All Files (*.*)|*.*||";

    BrowserSession(UserInteraction& ui, FieldEditors& editors) : ui_(ui), editors_(editors) {}

    void setListener(SessionListener* listener) { listener_ = listener; }
    Workspace& workspace() { return workspace_; }

    // "Open": asks for a file and opens it. The new document, or null when cancelled or failed.
    IfoDocument* OnOpen();
    // Opens one file as if it had been chosen; the user is told when it cannot be read.
    IfoDocument* openFile(const std::string& path);

    // Shows a node (of any open document) in the list; null shows nothing and keeps the list.
    void ShowSelected(TreeNode* node);
    // Shows the node shown last again, so that the list follows changed bytes.
    void refresh() { ShowSelected(currentNode_); }
    TreeNode* currentNode() const { return currentNode_; }
    IfoDocument* currentDocument() const { return currentDoc_; }
    IfoDocument* documentOf(const TreeNode& node) const;

    bool showReserved() const { return list_.showReserved; }
    void OnShowReserved(bool checked);

    // The rows shown; a row edited in place shows its new values through these.
    const FieldList& list() const { return list_; }
    int rowCount() const { return list_.rowCount(); }
    const FieldRow& row(int index) const { return list_.rows()[static_cast<std::size_t>(index)]; }
    const std::string& decText(int index) const;
    const std::string& hexText(int index) const;

    // The text "Copy2Clipboard" puts on the clipboard: the shown node's rows rebuilt, one line
    // each ended by "\r\n".
    std::string CopyToClipboardText();

    // A double-click on row `index` (-1: none selected): the number, attribute, user-operation or
    // hex editor, then the new bytes go into the table and the document is marked modified.
    void OnListDoubleClick(int index);
    // "HexEdit": the whole table of the selected table node in the hex editor.
    void HexEditTable();

    // "Remove P-UPs": clears the prohibited-user-operations masks of the shown document's PGCs
    // and tells what it did.
    void RemoveProhibitedUops();
    // "Delete Playback" on row `index` (-1: none selected) of the shown overview; only a menu
    // PGC's line is accepted.
    void DeletePlayback(int index);
    // "Get VTS sectors" on the shown document. In all-files mode every IFO file of its folder is
    // corrected and saved, opening those not open yet. Returns the document to show at the end.
    IfoDocument* OnGetVtsSectors();

    // "VOB Extras" on the shown title set and "Menu Extras" on the shown file, through `dialogs`.
    // Files saved into the destination are opened beside the source, which is read anew.
    void OnVobExtras(vob::VobCommandUi& dialogs);
    void OnMenuExtras(vob::VobCommandUi& dialogs);
    // "Create IFOs": asks for the first VOB and the new VIDEO_TS.IFO, and opens the new files
    // into the tree (needs no open file).
    void OnCreateIfos(vob::VobCommandUi& dialogs);

    // "Save": asks for the target (the document's own path proposed) and saves the shown document.
    void OnSave();
    bool SaveIfo(const std::string& path);

    // Quit's question while any file is modified; true when the window may close.
    bool confirmQuit();

  private:
    void runVobCommand(vob::VobCommandUi& dialogs,
                       const std::function<void(vob::ExtrasContext&)>& run);
    class FolderDocuments;
    // The repairs refuse a file of neither kind and one that did not load as a whole, with a
    // message; true when refused.
    bool refuseRepair();
    void markModified();
    void setRowValues(int index, ValueColumns values);
    void editNumber(int index, const FieldRow& row, RowEditor editor);
    void editByteRun(int index, const FieldRow& row);

    UserInteraction& ui_;
    FieldEditors& editors_;
    SessionListener* listener_ = nullptr;
    Workspace workspace_;
    FieldList list_;
    TreeNode* currentNode_ = nullptr;
    IfoDocument* currentDoc_ = nullptr;
    std::map<int, ValueColumns> edited_;  // rows whose values changed since they were listed
};

}  // namespace navtab
