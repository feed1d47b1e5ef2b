#include "vob/vob_files.h"
#include "core/path_parts.h"

#include <dirent.h>
#include <sys/stat.h>
#include <algorithm>
#include <memory>

#include "core/ascii_case.h"
#include "core/bytes.h"

namespace navtab::vob {
namespace {

struct Split {
    std::string folder;  // with its trailing '/', or empty for the current folder
    std::string name;
};

Split splitPath(const std::string& path) {
    return {folderPart(path), fileNameOf(path)};
}

}  // namespace

bool TitleVobExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::string> findFileIgnoringCase(const std::string& folder,
                                                const std::string& name) {
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    if (TitleVobExists(prefix + name)) return prefix + name;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(prefix.empty() ? "." : prefix.c_str()),
                                            closedir);
    if (!dir) return std::nullopt;
    // Several spellings of one name can exist side by side; the first in byte order is taken so
    // that the choice does not depend on the order the folder lists them in.
    std::optional<std::string> found;
    while (const dirent* e = readdir(dir.get())) {
        const std::string entry = e->d_name;
        if (!equalIgnoringAsciiCase(entry, name) || !TitleVobExists(prefix + entry)) continue;
        if (!found || entry < *found) found = entry;
    }
    if (!found) return std::nullopt;
    return prefix + *found;
}

std::vector<std::string> titleVobPaths(const std::string& ifoPath) {
    const Split p = splitPath(ifoPath);
    std::vector<std::string> paths;
    if (p.name.size() < 6) return paths;
    const std::string stem = p.name.substr(0, 6);
    for (int index = 1; index <= kMaxTitleVobs; ++index) {
        const std::string name = stem + "_" + std::to_string(index) + ".VOB";
        auto path = findFileIgnoringCase(p.folder, name);
        if (!path) break;
        paths.push_back(*path);
    }
    return paths;
}

std::optional<std::string> menuVobPath(const std::string& ifoPath) {
    const Split p = splitPath(ifoPath);
    const auto dot = p.name.rfind('.');
    if (dot == std::string::npos) return std::nullopt;
    const std::string stem = p.name.substr(0, dot);
    return findFileIgnoringCase(p.folder, stem + ".VOB");
}

std::optional<std::uint64_t> sectorCount(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size) / kSectorSize;
}

}  // namespace navtab::vob
