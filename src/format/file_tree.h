// The fixed part of a file's tree: the root and one node per table of the file's kind.
#pragma once

#include <string>
#include <string_view>

#include "core/document.h"

namespace navtab {

// Adds an opened file to the workspace with its root caption and table nodes.
IfoDocument& AddFileToTree(Workspace& workspace, std::string path, IfoHandle ifo);
// Reads the document's file anew into it, dropping its changes, with a fresh tree. False when
// the file cannot be read (the user has been told; the document stays as it was).
bool ReloadDocument(Workspace& workspace, IfoDocument& doc, UserInteraction& ui);

// Documents for the commands that work on several files, without a window: a file already open
// in the workspace is reused, another is opened into it (its tree made, nothing shown).
class WorkspaceDocuments : public DocumentSource {
  public:
    WorkspaceDocuments(Workspace& workspace, UserInteraction& ui)
        : workspace_(workspace), ui_(ui) {}
    IfoDocument* documentFor(const std::string& path) override;
    bool reload(IfoDocument& doc) override { return ReloadDocument(workspace_, doc, ui_); }

  private:
    Workspace& workspace_;
    UserInteraction& ui_;
};

// The short name of a node: a table node's first word (VTSI_MAT, VTS_PGCITI, ...), a PGC node's
// caption without its surrounding blanks, the path for the root.
std::string nodeShortName(const TreeNode& node);

// Searches the tree depth-first for a node with the short name; null when there is none.
TreeNode* findNode(TreeNode& root, std::string_view shortName);

}  // namespace navtab
