#include "core/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/misc.h"

namespace navtab {
namespace {

WriteFailure failure(const std::string& path, int error, std::string reason = {},
                     bool atOpen = true) {
    if (reason.empty()) reason = std::strerror(error);
    return {path, error, std::move(reason), atOpen};
}

std::string folderOfPath(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// A temporary file that is removed again unless it was renamed over its target.
struct Temporary {
    std::string path;
    int fd = -1;
    bool renamed = false;
    ~Temporary() {
        if (fd >= 0) close(fd);
        if (!path.empty() && !renamed) unlink(path.c_str());
    }
};

// Creates the temporary file beside `target` and writes and flushes `bytes` into it.
std::optional<WriteFailure> writeTemporary(const PendingFile& file, Temporary& temp) {
    const std::string folder = folderOfPath(file.target);
    for (int attempt = 0; attempt < 100 && temp.fd < 0; ++attempt) {
        const std::string name = folder + "/.navtab-save-" + std::to_string(getpid()) + "-" +
                                 std::to_string(attempt) + ".tmp";
        temp.fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (temp.fd >= 0)
            temp.path = name;
        else if (errno != EEXIST)
            return failure(file.shownPath, errno);
    }
    if (temp.fd < 0) return failure(file.shownPath, EEXIST);

    // An existing file keeps its permissions; a new one gets the usual ones for the user's umask.
    struct stat st {};
    if (stat(file.target.c_str(), &st) == 0) fchmod(temp.fd, st.st_mode & 07777);

    if (writeAll(temp.fd, file.bytes.size(), file.bytes.data()) < 0 || fsync(temp.fd) != 0)
        return failure(file.shownPath, errno, {}, false);
    const int fd = temp.fd;
    temp.fd = -1;
    if (close(fd) != 0) return failure(file.shownPath, errno, {}, false);
    return std::nullopt;
}

void syncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

std::variant<std::string, WriteFailure> resolveWriteTarget(const std::string& path) {
    std::string target = path;
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) == nullptr)
            return failure(
                path, errno,
                "the symbolic link leads nowhere (" + std::string(std::strerror(errno)) + ")");
        target = resolved;
    }
    if (stat(target.c_str(), &st) != 0) {
        if (errno == ENOENT) return target;  // a new file
        return failure(path, errno);
    }
    if (S_ISDIR(st.st_mode)) return failure(path, EISDIR);
    if (access(target.c_str(), W_OK) != 0) return failure(path, errno);
    if ((st.st_mode & 0222) == 0) return failure(path, EACCES, "the file is read-only");
    return target;
}

std::optional<WriteFailure> replaceFiles(std::span<const PendingFile> files) {
    std::vector<Temporary> temps(files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        if (auto failed = writeTemporary(files[i], temps[i])) return failed;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (std::rename(temps[i].path.c_str(), files[i].target.c_str()) != 0)
            return failure(files[i].shownPath, errno, {}, false);
        temps[i].renamed = true;
        syncFolder(folderOfPath(files[i].target));
    }
    return std::nullopt;
}

}  // namespace navtab
