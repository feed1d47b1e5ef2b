// The parts of a file path that the tools build other paths from: the folder with its trailing
// '/' (empty for a bare file name) or without it, and the file name after it. Paths are taken as
// they are spelled, never changed in case.
#pragma once

#include <string>

namespace navtab {

inline std::string folderPart(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

inline std::string fileNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folder without its trailing '/' ("/" for the root, empty for a bare file name).
inline std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace navtab
