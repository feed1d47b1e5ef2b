// A small reader of an ISO 9660 image's directories, so that the tests can see where the image
// program put each file: the primary volume descriptor at sector 16 gives the root directory,
// whose records name each entry, its first sector and its length.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace navtab::test {

struct IsoEntry {
    std::string name;  // without the ";1" version
    std::uint32_t sector = 0;
    std::uint32_t length = 0;
    bool folder = false;
};

// The entries of the folder at `path` ("/" or "/VIDEO_TS"), in the order the directory lists
// them; nothing when the image or the folder cannot be read.
std::optional<std::vector<IsoEntry>> readIsoFolder(const std::string& image,
                                                   const std::string& path);
// The image's volume label.
std::string isoVolumeLabel(const std::string& image);

}  // namespace navtab::test
