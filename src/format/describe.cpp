#include "format/describe.h"

namespace navtab {

DescribeResult DescribeNode(const ifo_t& ifo, FieldList& list, TreeNode& node) {
    DescribeContext ctx{ifo, list, node};
    list.ClearFieldList();
    switch (node.kind) {
        case NodeKind::Table:
            if (node.tableId == ID_MAT) {
                if (ifoKind(&ifo) == IfoKind::Vmg)
                    DescribeVmgiMat(ctx);
                else
                    DescribeVtsiMat(ctx);
                return DescribeResult::Shown;
            }
            return DescribeResult::NotBuilt;
        case NodeKind::Pgc:
        case NodeKind::File:
            return DescribeResult::NotBuilt;
    }
    return DescribeResult::NotBuilt;
}

}  // namespace navtab
