// For the fuzz targets: a file in memory that the readers can open by name, and quiet
// diagnostics (what the loaders skip would be millions of lines on standard error and most of the
// fuzzer's time).
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/misc.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    navtab::setDiagnosticsQuiet(true);
    return 0;
}

class MemoryFile {
  public:
    MemoryFile(const std::uint8_t* data, std::size_t size) : fd_(memfd_create("vob", MFD_CLOEXEC)) {
        if (fd_ >= 0 && size > 0 && write(fd_, data, size) != static_cast<ssize_t>(size)) {
            close(fd_);
            fd_ = -1;
        }
    }
    ~MemoryFile() {
        if (fd_ >= 0) close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

  private:
    int fd_;
};
