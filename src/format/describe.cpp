#include "format/describe.h"

#include "format/overview.h"

namespace navtab {
namespace {

struct TableDescriber {
    int tableId;
    void (*describe)(DescribeContext&);
};

// The describer of each table node other than the management table.
constexpr TableDescriber kTableDescribers[] = {
    {ID_VMGM_PGCI_UT, DescribeVmgmPgciUt},
    {ID_VTSM_PGCI_UT, DescribeVtsmPgciUt},
    {ID_VTS_PGCITI, DescribeVtsPgcit},
    {ID_VMG_PTT_SRPT, DescribeVmgPttSrpt},
    {ID_PTT_SRPTI, DescribeVtsPttSrpt},
    {ID_VMG_PTL_MAIT, DescribeVmgPtlMait},
    {ID_VMG_VTS_ATRT, DescribeVmgVtsAtrt},
    {ID_VMG_TXTDT_MG, DescribeVmgTxtdtMg},
    {ID_VMGM_C_ADT, [](DescribeContext& c) { DescribeCellAddressTable(c, ID_VMGM_C_ADT); }},
    {ID_VTSM_C_ADT, [](DescribeContext& c) { DescribeCellAddressTable(c, ID_VTSM_C_ADT); }},
    {ID_VTS_C_ADT, [](DescribeContext& c) { DescribeCellAddressTable(c, ID_VTS_C_ADT); }},
    {ID_VMGM_VOBU_ADMAP, [](DescribeContext& c) { DescribeVobuAdmap(c, ID_VMGM_VOBU_ADMAP); }},
    {ID_VTSM_VOBU_ADMAP, [](DescribeContext& c) { DescribeVobuAdmap(c, ID_VTSM_VOBU_ADMAP); }},
    {ID_VTS_VOBU_ADMAP, [](DescribeContext& c) { DescribeVobuAdmap(c, ID_VTS_VOBU_ADMAP); }},
    {ID_VTS_TMAPTI, DescribeVtsTmapti},
};

}  // namespace

DescribeResult DescribeNode(const ifo_t& ifo, FieldList& list, TreeNode& node, AngleTable* angles) {
    DescribeContext ctx{ifo, list, node, angles};
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
            for (const auto& d : kTableDescribers) {
                if (d.tableId != node.tableId) continue;
                d.describe(ctx);
                return DescribeResult::Shown;
            }
            return DescribeResult::NotBuilt;
        case NodeKind::Pgc:
            DescribePgc(ctx, ByteRef{node.pgcSlot, node.pgcOffset});
            return DescribeResult::Shown;
        case NodeKind::File:
            ShowOverview(ctx);
            return DescribeResult::Shown;
    }
    return DescribeResult::NotBuilt;
}

}  // namespace navtab
