// The commands that open IFO files and show or write them: tree, show, save.
#include <sys/stat.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <set>

#include "cli/cli_interaction.h"
#include "cli/commands.h"
#include "cli/json_text.h"
#include "format/describe.h"
#include "format/file_tree.h"

namespace navtab::cli {
namespace {

struct Parsed {
    std::vector<std::string> positional;
    std::set<std::string> flags;
};

// Splits arguments into positional ones and the allowed flags; nothing on an unknown option.
std::optional<Parsed> parseArgs(const Args& args, std::set<std::string> allowed) {
    Parsed p;
    for (const auto& a : args) {
        if (a.size() > 1 && a[0] == '-') {
            if (!allowed.count(a)) {
                fail(kExitUsage, "unknown option '" + a + "'");
                return std::nullopt;
            }
            p.flags.insert(a);
        } else {
            p.positional.push_back(a);
        }
    }
    return p;
}

// Opens a file into the workspace, or says in one line why it cannot be opened.
IfoDocument* loadDocument(Workspace& workspace, const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        fail(kExitFailure, "cannot open " + path + ": " + std::strerror(errno));
        return nullptr;
    }
    if (S_ISDIR(st.st_mode)) {
        fail(kExitFailure, "cannot open " + path + ": it is a folder, not an IFO file");
        return nullptr;
    }
    CliInteraction ui;
    IfoHandle ifo = openIfoFile(path, ui);
    if (!ifo) {
        fail(kExitFailure, "cannot read " + path);
        return nullptr;
    }
    IfoDocument& doc = AddFileToTree(workspace, path, std::move(ifo));
    // Describers add the program-chain nodes they find; run them once so the tree is complete.
    FieldList scratch;
    for (auto& child : doc.root.children) DescribeNode(*doc.ifo, scratch, *child);
    return &doc;
}

std::string rightTrimmed(const std::string& s) {
    const auto end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

void printTree(const TreeNode& node, int depth) {
    std::printf("%s%s\n", std::string(2 * depth, ' ').c_str(), rightTrimmed(node.caption).c_str());
    for (const auto& child : node.children) printTree(*child, depth + 1);
}

void printJson(const FieldList& list) {
    std::printf("[");
    const char* separator = "\n";
    for (const FieldRow& r : list.rows()) {
        std::string address = r.addressValue ? std::to_string(*r.addressValue) : "null";
        std::printf(
            "%s  {\"address\": %s, \"description\": %s, \"dec\": %s, \"hex\": %s, "
            "\"kind\": %d, \"length\": %u}",
            separator, address.c_str(), jsonString(r.description).c_str(),
            jsonString(r.dec).c_str(), jsonString(r.hex).c_str(), r.kind, r.length);
        separator = ",\n";
    }
    std::printf("\n]\n");
}

}  // namespace

int runTree(const Args& args) {
    auto parsed = parseArgs(args, {});
    if (!parsed) return kExitUsage;
    if (parsed->positional.empty()) return fail(kExitUsage, "tree needs at least one FILE");
    Workspace workspace;
    int status = kExitOk;
    for (const auto& path : parsed->positional) {
        IfoDocument* doc = loadDocument(workspace, path);
        if (doc == nullptr) {
            status = kExitFailure;
            continue;
        }
        printTree(doc->root, 0);
    }
    return status;
}

int runShow(const Args& args) {
    auto parsed = parseArgs(args, {"--reserved", "--json"});
    if (!parsed) return kExitUsage;
    const auto& pos = parsed->positional;
    if (pos.empty() || pos.size() > 2)
        return fail(kExitUsage, "show needs FILE and at most one NODE");

    Workspace workspace;
    IfoDocument* doc = loadDocument(workspace, pos[0]);
    if (doc == nullptr) return kExitFailure;

    TreeNode* node = nullptr;
    if (pos.size() == 2) {
        node = findNode(doc->root, pos[1]);
        if (node == nullptr) return fail(kExitFailure, "no node '" + pos[1] + "' in " + pos[0]);
    } else {
        node = &doc->root;  // the file's overview
    }

    FieldList list;
    list.showReserved = parsed->flags.count("--reserved") != 0;
    list.copyMode = true;
    list.copyLineEnd = "\n";
    if (DescribeNode(*doc->ifo, list, *node, &doc->angles) == DescribeResult::NotBuilt) {
        const std::string what = node->kind == NodeKind::File
                                     ? "the overview of " + pos[0]
                                     : "node '" + nodeShortName(*node) + "'";
        return fail(kExitFailure, "showing " + what + " is not built yet");
    }
    if (parsed->flags.count("--json"))
        printJson(list);
    else
        std::fputs(list.copyText.c_str(), stdout);
    return kExitOk;
}

int runSave(const Args& args) {
    auto parsed = parseArgs(args, {"--bup"});
    if (!parsed) return kExitUsage;
    const auto& pos = parsed->positional;
    if (pos.size() != 2) return fail(kExitUsage, "save needs FILE and OUT");
    const bool withBackup = parsed->flags.count("--bup") != 0;
    if (withBackup && backupPathFor(pos[1]).empty())
        return fail(kExitUsage, "--bup needs an OUT ending in .IFO, so that it has a .BUP name");

    Workspace workspace;
    IfoDocument* doc = loadDocument(workspace, pos[0]);
    if (doc == nullptr) return kExitFailure;
    workspace.noBackupQuestion = withBackup;
    CliInteraction ui(false);
    const SaveResult saved = SaveIfo(workspace, *doc, pos[1], ui);
    if (!saved)
        return fail(kExitFailure, "could not write " + saved.failedPath + ": " + saved.reason);
    if (saved.backupSkipped) return fail(kExitFailure, "the .BUP copy was not written");
    return kExitOk;
}

}  // namespace navtab::cli
