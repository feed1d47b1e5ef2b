#include "vob/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

#include "core/misc.h"

namespace navtab::vob {

ReplacingFile::~ReplacingFile() {
    discard();
}

bool ReplacingFile::open(const std::string& target) {
    discard();
    target_ = target;
    const auto slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = folder + ".navtab-write-" + std::to_string(getpid()) + "-" +
                std::to_string(attempt) + ".tmp";
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) return false;
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) fchmod(fd_, st.st_mode & 07777);
    ok_ = true;
    return true;
}

bool ReplacingFile::write(std::string_view bytes) {
    if (fd_ < 0 || !ok_) return false;
    ok_ = writeAll(fd_, bytes.size(), bytes.data()) == static_cast<long long>(bytes.size());
    return ok_;
}

bool ReplacingFile::commit() {
    if (fd_ < 0) return false;
    bool ok = ok_ && fsync(fd_) == 0;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    ok = ok && std::rename(temp_.c_str(), target_.c_str()) == 0;
    if (!ok) unlink(temp_.c_str());
    temp_.clear();
    return ok;
}

void ReplacingFile::discard() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    unlink(temp_.c_str());
    temp_.clear();
}

}  // namespace navtab::vob
