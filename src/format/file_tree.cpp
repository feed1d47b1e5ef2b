#include "format/file_tree.h"

#include <span>

#include "core/ifo_tables.h"

namespace navtab {
namespace {

struct TableCaption {
    int tableId;
    std::string_view caption;
};

// The blanks align the descriptions in the fixed-pitch font; they are part of the captions.
constexpr TableCaption kVmgCaptions[] = {
    {ID_MAT, "VMGM_MAT           -Video Manager Information Managment Table        "},
    {ID_VMG_PTT_SRPT, "VMG_PTT_SRPT       -Video Manager Title Play Map Table               "},
    {ID_VMGM_PGCI_UT, "VMGM_PGCI_UT       -Video Manager Menu PGCI(Program Chain) Unit Table"},
    {ID_VMG_PTL_MAIT, "VMG_PTL_MAIT       -Parental Managment Information Table             "},
    {ID_VMG_VTS_ATRT,
     "VMG_VTS_ATRT       -Video Title set Attribute Table (copies of VTS audio/sub-picture "
     "attributes)                "},
    {ID_VMG_TXTDT_MG, "VMG_TXTDT_MG       -Text Data Manager information                    "},
    {ID_VMGM_C_ADT, "VMGM_C_ADT         -VMGM Cell Address Table information              "},
    {ID_VMGM_VOBU_ADMAP, "VMGM_VOBU_ADMAP    -Video Manager Menu VOBU Address Map              "},
};

constexpr TableCaption kVtsCaptions[] = {
    {ID_MAT, "VTSI_MAT           -Video Title Set Information Managment Table      "},
    {ID_PTT_SRPTI, "PTT_SRPTI          -Video Title Set Title search pointer Table (PTT) "},
    {ID_VTS_PGCITI, "VTS_PGCITI         -Video Title Set Program Chain Information Table  "},
    {ID_VTSM_PGCI_UT, "VTSM_PGCI_UT       -Video Title Set Menu PGCI Unit Table             "},
    {ID_VTS_TMAPTI, "VTS_TMAPTI         -Video Title Set Time Map Table                   "},
    {ID_VTSM_C_ADT, "VTSM_C_ADT         -Video Title Set Menu Cell Address Table          "},
    {ID_VTSM_VOBU_ADMAP, "VTSM_VOBU_ADMAP    -Video Title Set Menu VOBU Address Table          "},
    {ID_VTS_C_ADT, "VTS_C_ADT          -Video Title Set Cell Address Table               "},
    {ID_VTS_VOBU_ADMAP, "VTS_VOBU_ADMAP     -Video Title Set Menu VOBU Address Map Table      "},
};

}  // namespace

namespace {

// The table nodes of a file's kind under its root.
void addTableNodes(IfoDocument& doc) {
    std::span<const TableCaption> captions;
    switch (ifoKind(doc.ifo.get())) {
        case IfoKind::Vmg:
            captions = kVmgCaptions;
            break;
        case IfoKind::Vts:
            captions = kVtsCaptions;
            break;
        case IfoKind::Unknown:
            break;  // a file of neither kind has only its root
    }
    // Every table node is there whether or not the file holds the table.
    for (const auto& c : captions)
        doc.root.addChild(NodeKind::Table, std::string(c.caption)).tableId = c.tableId;
}

}  // namespace

IfoDocument& AddFileToTree(Workspace& workspace, std::string path, IfoHandle ifo) {
    IfoDocument& doc = workspace.add(std::move(path), std::move(ifo));
    addTableNodes(doc);
    return doc;
}

bool ReloadDocument(Workspace& workspace, IfoDocument& doc, UserInteraction& ui) {
    IfoHandle ifo = openIfoFile(doc.path, ui);
    if (!ifo) return false;
    doc.ifo = std::move(ifo);
    doc.angles.clear();
    doc.root.children.clear();
    addTableNodes(doc);
    workspace.clearModified(doc);
    return true;
}

IfoDocument* WorkspaceDocuments::documentFor(const std::string& path) {
    for (const auto& doc : workspace_.documents())
        if (doc->path == path) return doc.get();
    IfoHandle ifo = openIfoFile(path, ui_);
    return ifo ? &AddFileToTree(workspace_, path, std::move(ifo)) : nullptr;
}

std::string nodeShortName(const TreeNode& node) {
    const std::string& c = node.caption;
    switch (node.kind) {
        case NodeKind::File:
            return c;
        case NodeKind::Table:
            return c.substr(0, c.find(' '));
        case NodeKind::Pgc: {
            const auto first = c.find_first_not_of(' ');
            if (first == std::string::npos) return {};
            return c.substr(first, c.find_last_not_of(' ') - first + 1);
        }
    }
    return c;
}

TreeNode* findNode(TreeNode& root, std::string_view shortName) {
    if (nodeShortName(root) == shortName) return &root;
    for (auto& child : root.children)
        if (TreeNode* found = findNode(*child, shortName)) return found;
    return nullptr;
}

}  // namespace navtab
