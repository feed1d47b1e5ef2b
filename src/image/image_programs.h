// Finding the programs a disc image run needs: the image builder (genisoimage, or mkisofs where
// that is what the system has), the disc writer growisofs, and the optical drive to write to.
#pragma once

#include <string>

namespace navtab::image {

inline constexpr const char* kDefaultBuilderName = "genisoimage";
inline constexpr const char* kBurnerName = "growisofs";

// The text shown when the image builder is not there: "ERROR: Can't locate " and its name.
std::string cannotLocateText(const std::string& program);

// True when `path` is a regular file this process may execute.
bool isRunnableFile(const std::string& path);

// The first runnable file called `name` in the folders of `searchPath` (a PATH value, folders
// separated by ':', an empty folder meaning the current one); empty when there is none. A name
// holding '/' is taken as a path and only checked.
std::string findOnPath(const std::string& name, const std::string& searchPath);

// The image builder: `setting` (the remembered path) when it is not empty, else genisoimage or
// mkisofs found on `searchPath`. Empty when neither is there. The setting is returned as it
// stands, even when nothing can run there, so that the user learns which file is missing.
std::string discoverImageBuilder(const std::string& setting, const std::string& searchPath);

// The value of PATH in this process' environment.
std::string environmentPath();

// The first optical drive of the system: /dev/sr0, /dev/sr1, ... (block devices under `devFolder`).
// Empty when there is none.
std::string firstOpticalDrive(const std::string& devFolder = "/dev");

// Why the image cannot be written to a disc here (no writer program, no drive); empty when it can.
// `burner` is the writer program found (empty when none), `drive` the drive found.
std::string burnUnavailableReason(const std::string& burner, const std::string& drive);

}  // namespace navtab::image
