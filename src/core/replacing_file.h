// A file written through a temporary file in the target's folder that replaces the target only
// when the whole content has been written and flushed; a failed or abandoned write leaves the
// target as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace navtab {

class ReplacingFile {
  public:
    ReplacingFile() = default;
    ~ReplacingFile();  // discards an uncommitted write
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file beside `target`; false when that is not possible. An existing
    // target's permission bits carry over.
    bool open(const std::string& target);
    // False once any write has failed.
    bool write(std::string_view bytes);
    bool write(const void* bytes, std::size_t length);
    // Puts the written bytes on the disk and closes the temporary file; the target is not
    // touched yet, so that several files can be written in full before any of them replaces its
    // target.
    bool flush();
    // Flushes when that was not done, and puts the file in the target's place; false (target
    // untouched) on failure.
    bool commit();
    void discard();
    // The errno value of the step that failed.
    int error() const { return error_; }

  private:
    bool fail();

    int fd_ = -1;
    bool ok_ = true;
    bool flushed_ = false;
    int error_ = 0;
    std::string temp_;
    std::string target_;
};

}  // namespace navtab
