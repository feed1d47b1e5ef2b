#include "core/replacing_file.h"
#include "core/path_parts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

#include "core/misc.h"

namespace navtab {
namespace {}  // namespace

ReplacingFile::~ReplacingFile() {
    discard();
}

bool ReplacingFile::fail() {
    error_ = errno;
    ok_ = false;
    return false;
}

bool ReplacingFile::open(const std::string& target) {
    discard();
    target_ = target;
    error_ = 0;
    const std::string folder = folderPart(target);
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        const std::string temp = folder + ".navtab-write-" + std::to_string(getpid()) + "-" +
                                 std::to_string(attempt) + ".tmp";
        fd_ = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            temp_ = temp;
        else if (errno != EEXIST)
            break;
    }
    if (fd_ < 0) return fail();
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) fchmod(fd_, st.st_mode & 07777);
    ok_ = true;
    flushed_ = false;
    return true;
}

bool ReplacingFile::write(const void* bytes, std::size_t length) {
    if (fd_ < 0 || !ok_) return false;
    if (writeAll(fd_, length, bytes) != static_cast<long long>(length)) return fail();
    return true;
}

bool ReplacingFile::write(std::string_view bytes) {
    return write(bytes.data(), bytes.size());
}

bool ReplacingFile::flush() {
    if (fd_ < 0) return flushed_;
    bool ok = ok_ && (fsync(fd_) == 0 || fail());
    ok = (::close(fd_) == 0 || fail()) && ok;
    fd_ = -1;
    flushed_ = ok;
    return ok;
}

bool ReplacingFile::commit() {
    if (temp_.empty() || !flush()) {
        discard();
        return false;
    }
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
        fail();
        discard();
        return false;
    }
    temp_.clear();
    // The rename itself reaches the disk with the folder.
    const std::string folder = folderPart(target_);
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        ::close(dir);
    }
    return true;
}

void ReplacingFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) unlink(temp_.c_str());
    temp_.clear();
}

}  // namespace navtab
