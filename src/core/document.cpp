#include "core/document.h"
#include "core/new_ifo_save.h"

#include <fcntl.h>
#include <unistd.h>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <string_view>

#include "core/file_replace.h"
#include "core/user_interaction.h"

namespace navtab {

IfoDocument& Workspace::add(std::string path, IfoHandle ifo) {
    auto doc = std::make_unique<IfoDocument>();
    doc->path = std::move(path);
    doc->ifo = std::move(ifo);
    doc->root.kind = NodeKind::File;
    doc->root.caption = doc->path;
    documents_.push_back(std::move(doc));
    return *documents_.back();
}

void Workspace::markModified(IfoDocument& doc) {
    if (!doc.modified) {
        doc.modified = true;
        ++modifiedCount_;
    }
}

void Workspace::clearModified(IfoDocument& doc) {
    if (doc.modified) {
        doc.modified = false;
        --modifiedCount_;
    }
}

IfoHandle openIfoFile(const std::string& path, UserInteraction& ui) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "error opening file %s.\n", path.c_str());
        ui.message("Error opening " + path + ".\nSeems, it doesn't exist!");
        return nullptr;
    }
    IfoHandle ifo = ifoOpen(fd, 0, 0);
    close(fd);
    if (ifo) ifo->fd = -1;
    if (!ifo) {
        std::fprintf(stderr, "error initializing ifo.\n");
        ui.message("error initializing ifo!");
    }
    return ifo;
}

std::string backupPathFor(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    if (ext.size() != 3) return {};
    std::string bup = "BUP";
    for (int i = 0; i < 3; ++i) {
        const char c = ext[i];
        if (std::toupper(static_cast<unsigned char>(c)) != "IFO"[i]) return {};
        // Keep each letter's case so that a lower-case folder gets lower-case backups.
        if (std::islower(static_cast<unsigned char>(c)))
            bup[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(bup[i])));
    }
    return path.substr(0, dot + 1) + bup;
}

namespace {

// The .BUP copy of a save to `given` whose real file is `target`: beside the real file, so that
// a linked IFO keeps its copy where the file is. Empty when there is no backup name.
std::string backupTargetFor(const std::string& given, const std::string& target) {
    std::string bup = backupPathFor(target);
    if (!bup.empty() || target == given) return bup;
    const std::string givenBackup = backupPathFor(given);
    if (givenBackup.empty()) return {};
    const auto slash = target.rfind('/');
    const auto givenSlash = givenBackup.rfind('/');
    const std::string name =
        givenSlash == std::string::npos ? givenBackup : givenBackup.substr(givenSlash + 1);
    return slash == std::string::npos ? name : target.substr(0, slash + 1) + name;
}

SaveResult reportFailure(const WriteFailure& f, UserInteraction& ui) {
    if (f.atOpen) {
        std::fprintf(stderr, "error opening file %s.\n", f.path.c_str());
        ui.message("Error open file.\nMaybe it is write protected!\n\n" + f.path + ": " + f.reason);
    } else {
        std::fprintf(stderr, "error writing file %s: %s.\n", f.path.c_str(), f.reason.c_str());
        ui.message("Error writing file.\n\n" + f.path + ": " + f.reason);
    }
    SaveResult result;
    result.failedPath = f.path;
    result.reason = f.reason;
    return result;
}

SaveResult refuse(const std::string& path, const std::string& why, UserInteraction& ui) {
    ui.message(why + "\nNothing was written.");
    SaveResult result;
    result.failedPath = path;
    result.reason = why;
    return result;
}

// Resolves the targets and writes the image to all of them together.
SaveResult writeImage(const IfoFileImage& image, const std::vector<std::string>& paths,
                      const std::vector<std::string>& targets, UserInteraction& ui) {
    std::vector<PendingFile> files;
    for (std::size_t i = 0; i < paths.size(); ++i)
        files.push_back({targets[i], paths[i], image.bytes});
    if (auto failed = replaceFiles(files)) return reportFailure(*failed, ui);
    if (!image.endSectorWarning.empty()) ui.message(image.endSectorWarning);
    SaveResult result;
    result.saved = true;
    return result;
}

}  // namespace

SaveResult writeIfoFileAtomically(const std::string& path, ifo_t& ifo, UserInteraction& ui) {
    const IfoFileImage image = ifoFileImage(ifo);
    if (!image.ok()) return refuse(path, image.refusal, ui);
    auto target = resolveWriteTarget(path);
    if (auto* f = std::get_if<WriteFailure>(&target)) return reportFailure(*f, ui);
    return writeImage(image, {path}, {std::get<std::string>(target)}, ui);
}

SaveResult SaveIfo(Workspace& workspace, IfoDocument& doc, const std::string& path,
                   UserInteraction& ui) {
    if (!doc.ifo) return refuse(path, "No file is loaded.", ui);
    const IfoFileImage image = ifoFileImage(*doc.ifo);
    if (!image.ok()) return refuse(path, image.refusal, ui);
    auto target = resolveWriteTarget(path);
    if (auto* f = std::get_if<WriteFailure>(&target)) return reportFailure(*f, ui);
    std::vector<std::string> paths{path};
    std::vector<std::string> targets{std::get<std::string>(target)};

    // The question comes before anything is written, so that the file and its copy can be
    // replaced together. A target without the .IFO extension has no backup name: nothing to ask.
    const std::string bup = backupTargetFor(path, targets[0]);
    bool backupSkipped = false;
    if (!bup.empty() &&
        (workspace.noBackupQuestion ||
         ui.askYesNo("Do you want to save it as .BUP, aswell?\nAttention: Existing file would be "
                     "overwritten."))) {
        // The copy is what a player falls back on when the IFO is damaged; one written from an
        // IFO that did not load as a whole would lose that.
        if (!doc.ifo->loadProblems.empty()) {
            backupSkipped = true;
            ui.message("The .BUP copy is left as it is: " + doc.path +
                       " did not load as a whole IFO file (" + doc.ifo->loadProblems.front() +
                       ").");
        } else {
            auto bupTarget = resolveWriteTarget(bup);
            if (auto* f = std::get_if<WriteFailure>(&bupTarget)) return reportFailure(*f, ui);
            paths.push_back(bup);
            targets.push_back(std::get<std::string>(bupTarget));
        }
    }
    SaveResult result = writeImage(image, paths, targets, ui);
    result.backupSkipped = backupSkipped;
    if (result) workspace.clearModified(doc);
    return result;
}

SaveResult saveNewIfoFiles(const std::vector<std::pair<std::string, ifo_t*>>& files,
                           UserInteraction& ui) {
    std::vector<IfoFileImage> images;
    std::vector<PendingFile> pending;
    images.reserve(files.size());
    for (const auto& [path, ifo] : files) {
        images.push_back(ifoFileImage(*ifo));
        if (!images.back().ok()) return refuse(path, images.back().refusal, ui);
        for (const std::string& name : {path, backupPathFor(path)}) {
            if (name.empty()) continue;
            auto target = resolveWriteTarget(name);
            if (auto* f = std::get_if<WriteFailure>(&target)) return reportFailure(*f, ui);
            pending.push_back({std::get<std::string>(target), name, images.back().bytes});
        }
    }
    if (auto failed = replaceFiles(pending)) return reportFailure(*failed, ui);
    SaveResult result;
    result.saved = true;
    return result;
}

}  // namespace navtab
