// The describers: each fills the field list with the rows of one table, program chain or overview
// of the shown file, and may add program-chain nodes to the file's tree the first time it runs.
#pragma once

#include "core/ifo_main.h"
#include "core/tree_node.h"
#include "format/field_list.h"

namespace navtab {

struct DescribeContext {
    const ifo_t& ifo;
    FieldList& list;
    TreeNode& node;  // the node being shown; describers add PGC nodes under it
};

void DescribeVmgiMat(DescribeContext& ctx);
void DescribeVtsiMat(DescribeContext& ctx);

enum class DescribeResult { Shown, NotBuilt };

// Runs the describer of a tree node: a table's describer, a program chain's, or the file's own.
// NotBuilt when this node has no describer yet (the list is then left empty).
DescribeResult DescribeNode(const ifo_t& ifo, FieldList& list, TreeNode& node);

}  // namespace navtab
