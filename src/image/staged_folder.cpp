#include "image/staged_folder.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/ascii_case.h"
#include "repair/disc_listing.h"

namespace navtab::image {

StagedFolder::~StagedFolder() {
    remove();
}

void StagedFolder::remove() {
    for (const std::string& link : links_) unlink(link.c_str());
    links_.clear();
    if (root_.empty()) return;
    rmdir((root_ + "/VIDEO_TS").c_str());
    rmdir((root_ + "/AUDIO_TS").c_str());
    rmdir(root_.c_str());
    root_.clear();
}

std::string StagedFolder::create(const std::string& videoTsFolder) {
    remove();
    names_.clear();
    char real[PATH_MAX];
    if (realpath(videoTsFolder.c_str(), real) == nullptr)
        return "cannot read " + videoTsFolder + ": " + std::strerror(errno);
    const auto listing = repair::DiscListing::read(real);
    if (!listing) return videoTsFolder + " holds no DVD-Video files";

    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/navtab-image-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        return "cannot make a scratch folder: " + std::string(std::strerror(errno));
    root_ = pattern;
    if (mkdir((root_ + "/VIDEO_TS").c_str(), 0755) != 0 ||
        mkdir((root_ + "/AUDIO_TS").c_str(), 0755) != 0)
        return "cannot make a scratch folder: " + std::string(std::strerror(errno));
    for (const auto& entry : listing->entries()) {
        const std::string upper = upperAscii(entry.name);
        const std::string link = root_ + "/VIDEO_TS/" + upper;
        // Of two files whose names differ only in case, the first in the listing's order (the
        // capital one) goes on the disc.
        if (symlink((std::string(real) + "/" + entry.name).c_str(), link.c_str()) != 0) {
            if (errno == EEXIST) continue;
            return "cannot make a scratch folder: " + std::string(std::strerror(errno));
        }
        links_.push_back(link);
        names_.push_back(upper);
    }
    return {};
}

}  // namespace navtab::image
