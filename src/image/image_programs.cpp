#include "image/image_programs.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>

namespace navtab::image {

std::string cannotLocateText(const std::string& program) {
    return "ERROR: Can't locate " + program;
}

bool isRunnableFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

std::string findOnPath(const std::string& name, const std::string& searchPath) {
    if (name.empty()) return {};
    if (name.find('/') != std::string::npos) return isRunnableFile(name) ? name : std::string();
    std::size_t start = 0;
    for (;;) {
        const auto colon = searchPath.find(':', start);
        std::string folder = searchPath.substr(
            start, colon == std::string::npos ? std::string::npos : colon - start);
        if (folder.empty()) folder = ".";
        const std::string candidate = folder + "/" + name;
        if (isRunnableFile(candidate)) return candidate;
        if (colon == std::string::npos) return {};
        start = colon + 1;
    }
}

std::string discoverImageBuilder(const std::string& setting, const std::string& searchPath) {
    if (!setting.empty()) return setting;
    for (const char* name : {kDefaultBuilderName, "mkisofs"}) {
        std::string found = findOnPath(name, searchPath);
        if (!found.empty()) return found;
    }
    return {};
}

std::string environmentPath() {
    const char* path = std::getenv("PATH");
    return path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
}

std::string firstOpticalDrive(const std::string& devFolder) {
    for (int n = 0; n < 16; ++n) {
        const std::string device = devFolder + "/sr" + std::to_string(n);
        struct stat st {};
        if (stat(device.c_str(), &st) == 0 && S_ISBLK(st.st_mode)) return device;
    }
    return {};
}

std::string burnUnavailableReason(const std::string& burner, const std::string& drive) {
    if (burner.empty()) return "growisofs (dvd+rw-tools) is not installed.";
    if (drive.empty()) return "No optical drive (/dev/sr0, /dev/sr1, ...) was found.";
    return {};
}

}  // namespace navtab::image
