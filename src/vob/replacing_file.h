// A file written through a temporary file in the target's folder that replaces the target only
// when the whole content has been written; a failed or abandoned write leaves the target as it
// was.
#pragma once

#include <string>
#include <string_view>

namespace navtab::vob {

class ReplacingFile {
  public:
    ReplacingFile() = default;
    ~ReplacingFile();  // discards an uncommitted write
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file beside `target`; false when that is not possible.
    bool open(const std::string& target);
    // False once any write has failed.
    bool write(std::string_view bytes);
    // Flushes and puts the file in the target's place; false (target untouched) on failure.
    bool commit();
    void discard();

  private:
    int fd_ = -1;
    bool ok_ = true;
    std::string temp_;
    std::string target_;
};

}  // namespace navtab::vob
