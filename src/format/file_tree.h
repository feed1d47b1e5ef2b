// The fixed part of a file's tree: the root and one node per table of the file's kind.
#pragma once

#include <string>
#include <string_view>

#include "core/document.h"

namespace navtab {

// Adds an opened file to the workspace with its root caption and table nodes.
IfoDocument& AddFileToTree(Workspace& workspace, std::string path, IfoHandle ifo);

// The short name of a node: a table node's first word (VTSI_MAT, VTS_PGCITI, ...), a PGC node's
// caption without its surrounding blanks, the path for the root.
std::string nodeShortName(const TreeNode& node);

// Searches the tree depth-first for a node with the short name; null when there is none.
TreeNode* findNode(TreeNode& root, std::string_view shortName);

}  // namespace navtab
