#include "vob/destination_guard.h"

#include <sys/stat.h>
#include <optional>
#include <vector>

#include "core/ascii_case.h"
#include "core/path_parts.h"
#include "vob/destination_writer.h"
#include "vob/vob_files.h"

namespace navtab::vob {
namespace {

struct FileId {
    dev_t device;
    ino_t inode;
    bool operator==(const FileId&) const = default;
};

std::optional<FileId> fileId(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileId{st.st_dev, st.st_ino};
}

// The folder a path lies in, "." for a bare file name.
std::string folderOrHere(const std::string& path) {
    const std::string folder = folderPart(path);
    return folder.empty() ? "." : folder;
}

}  // namespace

bool destinationOverwritesSource(const std::string& sourceIfo, const std::string& destination,
                                 bool menu, bool savesIfo) {
    const auto sourceFolder = fileId(folderOrHere(sourceIfo));
    const bool sameFolder = sourceFolder && fileId(folderOrHere(destination)) == sourceFolder;
    if (sameFolder && savesIfo) return true;

    std::vector<std::string> sources = titleVobPaths(sourceIfo);
    if (auto m = menuVobPath(sourceIfo)) sources.push_back(*m);
    std::vector<std::string> targets;
    if (menu) {
        targets.push_back(menuDestinationPath(destination));
    } else {
        for (int n = 1; n <= kMaxTitleVobs; ++n)
            targets.push_back(titleDestinationPath(destination, n));
    }
    for (const std::string& target : targets) {
        const auto id = fileId(target);
        for (const std::string& source : sources) {
            if (id && id == fileId(source)) return true;
            // A case-insensitive mount may show one file under names of other case.
            if (sameFolder && equalIgnoringAsciiCase(fileNameOf(target), fileNameOf(source)))
                return true;
        }
    }
    return false;
}

}  // namespace navtab::vob
