#include "session/browser_session.h"

#include <algorithm>

#include "core/bytes.h"
#include "core/user_interaction.h"
#include "format/describe.h"
#include "format/file_tree.h"
#include "format/value_format.h"
#include "repair/delete_playback.h"
#include "repair/folder_fit.h"
#include "repair/prohibited_uops.h"
#include "repair/sector_correction.h"
#include "vob/create_ifos.h"
#include "vob/extras_run.h"

namespace navtab {

IfoDocument* BrowserSession::OnOpen() {
    const std::string path = ui_.chooseFileToOpen(kIfoFilter);
    if (path.empty()) return nullptr;
    return openFile(path);
}

IfoDocument* BrowserSession::openFile(const std::string& path) {
    IfoHandle ifo = openIfoFile(path, ui_);
    if (!ifo) return nullptr;
    return &AddFileToTree(workspace_, path, std::move(ifo));
}

IfoDocument* BrowserSession::documentOf(const TreeNode& node) const {
    const TreeNode* root = &node;
    while (root->parent != nullptr) root = root->parent;
    for (const auto& doc : workspace_.documents())
        if (&doc->root == root) return doc.get();
    return nullptr;
}

void BrowserSession::ShowSelected(TreeNode* node) {
    currentNode_ = nullptr;
    currentDoc_ = nullptr;
    if (node == nullptr) return;
    IfoDocument* doc = documentOf(*node);
    if (doc == nullptr || !doc->ifo) return;
    currentNode_ = node;
    currentDoc_ = doc;

    const std::size_t children = node->children.size();
    if (listener_) listener_->listAboutToChange();
    edited_.clear();
    // A node without a describer of its own shows an empty list.
    DescribeNode(*doc->ifo, list_, *node, &doc->angles);
    if (listener_) listener_->listChanged();
    if (listener_ && node->children.size() != children) listener_->treeChanged(*doc);
}

void BrowserSession::OnShowReserved(bool checked) {
    list_.showReserved = checked;
    refresh();
}

const std::string& BrowserSession::decText(int index) const {
    auto it = edited_.find(index);
    return it != edited_.end() ? it->second.dec : row(index).dec;
}

const std::string& BrowserSession::hexText(int index) const {
    auto it = edited_.find(index);
    return it != edited_.end() ? it->second.hex : row(index).hex;
}

std::string BrowserSession::CopyToClipboardText() {
    list_.copyMode = true;
    list_.copyText.clear();
    list_.copyLineEnd = "\r\n";
    refresh();
    std::string text = std::move(list_.copyText);
    list_.copyText.clear();
    list_.copyMode = false;
    return text;
}

void BrowserSession::markModified() {
    if (currentDoc_ != nullptr) workspace_.markModified(*currentDoc_);
}

void BrowserSession::setRowValues(int index, ValueColumns values) {
    edited_[index] = std::move(values);
    if (listener_) listener_->rowChanged(index);
}

void BrowserSession::OnListDoubleClick(int index) {
    if (index < 0 || index >= rowCount() || currentDoc_ == nullptr) return;
    const FieldRow row = list_.rows()[static_cast<std::size_t>(index)];
    const RowEditor editor = editorForRow(row);
    if (editor == RowEditor::NotEditable || !row.data) {
        ui_.message("Item is not editable.");
        return;
    }
    if (editor == RowEditor::Bytes)
        editByteRun(index, row);
    else
        editNumber(index, row, editor);
}

void BrowserSession::editNumber(int index, const FieldRow& row, RowEditor editor) {
    ifo_t& ifo = *currentDoc_->ifo;
    const std::optional<std::uint32_t> value = readNumberField(ifo, *row.data, row.kind);
    if (!value) return;
    std::uint32_t typed = 0;
    if (editor == RowEditor::VideoAttributes) {
        auto word = editors_.editVideoAttributes(static_cast<std::uint16_t>(*value));
        if (!word) return;
        typed = *word;
    } else if (editor == RowEditor::UserOperations) {
        auto mask = editors_.editUserOperations(*value);
        if (!mask) return;
        typed = *mask;
    } else {
        auto text = editors_.enterNewValue(formatWithInt("%d", *value));
        if (!text) return;
        typed = atoiBits(*text);
    }
    storeNumberField(ifo, *row.data, row.kind, typed);
    markModified();
    // The row shows what was stored, so a text that was no number shows its 0 at once.
    setRowValues(index, numberColumns(row.kind, *readNumberField(ifo, *row.data, row.kind)));
}

void BrowserSession::editByteRun(int index, const FieldRow& row) {
    ifo_t& ifo = *currentDoc_->ifo;
    const std::span<const std::uint8_t> bytes = byteRun(ifo, *row.data, row.length);
    if (bytes.size() != row.length) return;
    const auto edited = editors_.editBytes(bytes);
    if (!edited) return;
    writeByteRun(ifo, *row.data, row.length, *edited);
    markModified();
    setRowValues(index, byteRunColumns(byteRun(ifo, *row.data, row.length)));
}

void BrowserSession::HexEditTable() {
    TreeNode* node = currentNode_;
    if (node == nullptr || currentDoc_ == nullptr) return;
    if (node->kind == NodeKind::Pgc) {
        ui_.message("HexEdit for pgc not implemented yet!");
        return;
    }
    ifo_t& ifo = *currentDoc_->ifo;
    // An absent table has no bytes to edit.
    if (node->kind != NodeKind::Table || !ifo.has(node->tableId)) {
        ui_.message("HexEdit for this tree item not implemented yet or not possible!");
        return;
    }
    auto& buffer = ifo.table[node->tableId];
    const std::size_t length = node->tableId == ID_MAT
                                   ? std::min<std::size_t>(kSectorSize, buffer.size())
                                   : ifoTableSize(&ifo, node->tableId);
    const std::span<std::uint8_t> table(buffer.data(), length);
    const auto edited = editors_.editBytes(table);
    if (!edited) return;
    copyIntoTable(table, *edited);
    markModified();
    refresh();
}

bool BrowserSession::refuseRepair() {
    if (currentDoc_ == nullptr) return true;
    const std::string refusal = repair::repairRefusal(*currentDoc_->ifo, currentDoc_->path);
    if (refusal.empty()) return false;
    ui_.message(refusal);
    return true;
}

void BrowserSession::RemoveProhibitedUops() {
    if (refuseRepair()) return;
    const repair::UopRemoval removal = repair::RemoveProhibitedUops(*currentDoc_->ifo);
    if (removal.changed) markModified();
    ui_.message(repair::uopRemovalMessage(removal));
    refresh();
}

void BrowserSession::DeletePlayback(int index) {
    if (refuseRepair()) return;
    // Only the overview's menu lines name a menu PGC; a field row of the PGC itself might point
    // at its first byte too.
    const bool overview = currentNode_ != nullptr && currentNode_->kind == NodeKind::File;
    if (!overview || index < 0 || index >= rowCount() || !row(index).data ||
        !repair::DeletePlayback(*currentDoc_->ifo, *row(index).data)) {
        ui_.message(repair::kWrongItemMessage);
        return;
    }
    markModified();
    refresh();
}

// The all-files mode of "Get VTS sectors" works on the documents already open, so that the tree
// never shows two branches for one file, and opens the others into the tree.
class BrowserSession::FolderDocuments : public DocumentSource {
  public:
    explicit FolderDocuments(BrowserSession& session) : session_(session) {}
    IfoDocument* documentFor(const std::string& path) override {
        for (const auto& doc : session_.workspace_.documents())
            if (doc->path == path) return doc.get();
        IfoDocument* doc = session_.openFile(path);
        if (doc != nullptr && session_.listener_) session_.listener_->documentAdded(*doc);
        return doc;
    }
    bool reload(IfoDocument& doc) override {
        // The old tree nodes go; nothing may keep pointing at them.
        if (session_.currentDoc_ == &doc) session_.currentNode_ = &doc.root;
        if (!ReloadDocument(session_.workspace_, doc, session_.ui_)) return false;
        if (session_.listener_) session_.listener_->documentReloaded(doc);
        return true;
    }

  private:
    BrowserSession& session_;
};

IfoDocument* BrowserSession::OnGetVtsSectors() {
    if (currentDoc_ == nullptr) return nullptr;
    if (refuseRepair()) return currentDoc_;
    FolderDocuments source(*this);
    IfoDocument* shown = repair::OnGetVtsSectors(workspace_, currentDoc_, source, ui_);
    refresh();
    return shown;
}

// The VOB commands run with the documents of the workspace and the files of their folders, and
// the list shows what they changed.
void BrowserSession::runVobCommand(vob::VobCommandUi& dialogs,
                                   const std::function<void(vob::ExtrasContext&)>& run) {
    FolderDocuments source(*this);
    vob::ExtrasContext ctx{workspace_, source, dialogs, ui_};
    run(ctx);
    refresh();
}

void BrowserSession::OnVobExtras(vob::VobCommandUi& dialogs) {
    if (currentDoc_ == nullptr) return;
    runVobCommand(dialogs, [&](vob::ExtrasContext& ctx) { vob::VobExtras(ctx, *currentDoc_); });
}

void BrowserSession::OnMenuExtras(vob::VobCommandUi& dialogs) {
    if (currentDoc_ == nullptr) return;
    runVobCommand(dialogs, [&](vob::ExtrasContext& ctx) { vob::MenuExtras(ctx, *currentDoc_); });
}

void BrowserSession::OnCreateIfos(vob::VobCommandUi& dialogs) {
    runVobCommand(dialogs, [](vob::ExtrasContext& ctx) { vob::CreateIfos(ctx); });
}

void BrowserSession::OnSave() {
    if (currentDoc_ == nullptr) return;
    const std::string path = ui_.chooseFileToSave(currentDoc_->path, kIfoFilter);
    if (path.empty()) return;
    SaveIfo(path);
}

bool BrowserSession::SaveIfo(const std::string& path) {
    if (currentDoc_ == nullptr) return false;
    return static_cast<bool>(navtab::SaveIfo(workspace_, *currentDoc_, path, ui_));
}

bool BrowserSession::confirmQuit() {
    if (workspace_.modifiedCount() == 0) return true;
    return ui_.askYesNo("Some files have changed?\nReally exit without saving?");
}

}  // namespace navtab
