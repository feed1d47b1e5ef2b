#include "core/misc.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace navtab {

long long readAt(int fd, std::uint64_t offset, std::size_t length, void* buffer) {
    if (lseek(fd, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(-1)) {
        NAVTAB_DIAG("misc", "error in lseek\n");
        return -1;
    }
    return readFully(fd, length, buffer);
}

long long readFully(int fd, std::size_t length, void* buffer) {
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = read(fd, out + done, length - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;  // end of file: a short read is the caller's to judge
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(done);
}

long long writeAll(int fd, std::size_t length, const void* buffer) {
    const auto* in = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = write(fd, in + done, length - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) {
            errno = ENOSPC;
            return -1;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(done);
}

namespace {
bool quietDiagnostics = false;
}  // namespace

void setDiagnosticsQuiet(bool quiet) {
    quietDiagnostics = quiet;
}

bool diagnosticsQuiet() {
    return quietDiagnostics;
}

void reportSystemError(const char* what) {
    if (!quietDiagnostics) std::perror(what);
}

std::optional<std::uint64_t> fileSizeOf(int fd) {
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return static_cast<std::uint64_t>(st.st_size);
    // Block devices and the like report their size through a seek to the end.
    off_t end = lseek(fd, 0, SEEK_END);
    if (end == static_cast<off_t>(-1)) return std::nullopt;
    return static_cast<std::uint64_t>(end);
}

}  // namespace navtab
