#include "core/document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string_view>

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

// The file a save really replaces: a symbolic link is followed so the link itself stays.
std::filesystem::path saveTarget(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p(path);
    if (std::filesystem::is_symlink(p, ec)) {
        auto resolved = std::filesystem::weakly_canonical(p, ec);
        if (!ec) return resolved;
    }
    return p;
}

}  // namespace

bool writeIfoFileAtomically(const std::string& path, ifo_t& ifo, UserInteraction& ui) {
    const std::filesystem::path target = saveTarget(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";

    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = (folder / (".navtab-save-" + std::to_string(getpid()) + "-" +
                          std::to_string(attempt) + ".tmp"))
                   .string();
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;

    // An existing file keeps its permissions; a new one gets the usual ones for the user's umask.
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) fchmod(fd, st.st_mode & 07777);

    bool ok = ifoWrite(fd, &ifo, ui);
    ifo.fd = -1;
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

bool SaveIfo(Workspace& workspace, IfoDocument& doc, const std::string& path, UserInteraction& ui) {
    auto failed = [&ui](const std::string& p) {
        ui.message("Error open file.\nMaybe it is write protected!");
        std::fprintf(stderr, "error opening file %s.\n", p.c_str());
        return false;
    };
    if (!doc.ifo || !writeIfoFileAtomically(path, *doc.ifo, ui)) return failed(path);
    workspace.clearModified(doc);

    // A target without the .IFO extension has no backup name; there is nothing to ask about.
    const std::string bup = backupPathFor(path);
    if (bup.empty()) return true;
    if (!workspace.noBackupQuestion &&
        !ui.askYesNo("Do you want to save it as .BUP, aswell?\nAttention: Existing file would be "
                     "overwritten."))
        return true;
    if (!writeIfoFileAtomically(bup, *doc.ifo, ui)) return failed(bup);
    return true;
}

}  // namespace navtab
