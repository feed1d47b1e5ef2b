// The browser's tree of one opened file: the file's root, one node per table, and the program-chain
// nodes that describers add under the table that holds them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace navtab {

enum class NodeKind { File, Table, Pgc };

struct TreeNode {
    NodeKind kind = NodeKind::File;
    std::string caption;
    int tableId = -1;             // table nodes: the table shown (0 for the management table)
    int pgcSlot = -1;             // PGC nodes: the table buffer that holds the PGC record ...
    std::uint32_t pgcOffset = 0;  // ... and the record's byte offset in it
    TreeNode* parent = nullptr;
    std::vector<std::unique_ptr<TreeNode>> children;

    TreeNode& addChild(NodeKind childKind, std::string childCaption) {
        auto node = std::make_unique<TreeNode>();
        node->kind = childKind;
        node->caption = std::move(childCaption);
        node->parent = this;
        children.push_back(std::move(node));
        return *children.back();
    }
};

}  // namespace navtab
