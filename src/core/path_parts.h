// The two parts of a file path that the tools build other paths from: the folder with its
// trailing '/' (empty for a bare file name) and the file name after it. Paths are taken as they
// are spelled, never changed in case.
#pragma once

#include <string>

namespace navtab {

inline std::string folderPart(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

inline std::string fileNamePart(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace navtab
