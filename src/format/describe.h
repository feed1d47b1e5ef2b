// The describers: each fills the field list with the rows of one table, program chain or overview
// of the shown file, and may add program-chain nodes to the file's tree the first time it runs.
#pragma once

#include "core/angle_table.h"
#include "core/ifo_main.h"
#include "core/tree_node.h"
#include "format/field_list.h"

namespace navtab {

struct DescribeContext {
    const ifo_t& ifo;
    FieldList& list;
    TreeNode& node;                // the node being shown; describers add PGC nodes under it
    AngleTable* angles = nullptr;  // where a title set's overview records its angles, if anywhere
};

// Management tables.
void DescribeVmgiMat(DescribeContext& ctx);
void DescribeVtsiMat(DescribeContext& ctx);

// Tables that point to program chains; they add the PGC nodes.
void DescribeVmgmPgciUt(DescribeContext& ctx);
void DescribeVtsmPgciUt(DescribeContext& ctx);
void DescribeVtsPgcit(DescribeContext& ctx);

// Title search, parental and title-set attribute tables.
void DescribeVmgPttSrpt(DescribeContext& ctx);
void DescribeVtsPttSrpt(DescribeContext& ctx);
void DescribeVmgPtlMait(DescribeContext& ctx);
void DescribeVmgVtsAtrt(DescribeContext& ctx);

// The text data manager of the video manager.
void DescribeVmgTxtdtMg(DescribeContext& ctx);

// Address and time-map tables. `tableId` picks the cell address table (ID_VMGM_C_ADT,
// ID_VTSM_C_ADT or ID_VTS_C_ADT) or the VOBU address map (ID_VMGM_VOBU_ADMAP, ID_VTSM_VOBU_ADMAP
// or ID_VTS_VOBU_ADMAP) to show; any other id leaves the list empty.
void DescribeCellAddressTable(DescribeContext& ctx, int tableId);
void DescribeVobuAdmap(DescribeContext& ctx, int tableId);
void DescribeVtsTmapti(DescribeContext& ctx);

// One program chain record, starting at `pgcStart`; addresses count from its first byte.
void DescribePgc(DescribeContext& ctx, ByteRef pgcStart);

enum class DescribeResult { Shown, NotBuilt };

// Runs the describer of a tree node: a table's describer, a program chain's, or the file's own.
// NotBuilt when this node has no describer yet (the list is then left empty).
DescribeResult DescribeNode(const ifo_t& ifo, FieldList& list, TreeNode& node,
                            AngleTable* angles = nullptr);

}  // namespace navtab
