#include "core/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/replacing_file.h"

namespace navtab {
namespace {

WriteFailure failure(const std::string& path, int error, std::string reason = {},
                     bool atOpen = true) {
    if (reason.empty()) reason = std::strerror(error);
    return {path, error, std::move(reason), atOpen};
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
    std::vector<ReplacingFile> written(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const PendingFile& f = files[i];
        if (!written[i].open(f.target)) return failure(f.shownPath, written[i].error());
        if (!written[i].write(f.bytes.data(), f.bytes.size()) || !written[i].flush())
            return failure(f.shownPath, written[i].error(), {}, false);
    }
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!written[i].commit()) return failure(files[i].shownPath, written[i].error(), {}, false);
    return std::nullopt;
}

}  // namespace navtab
