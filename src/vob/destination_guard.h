// The check that keeps a run from writing over what it reads. Comparing path texts is not enough:
// "./VTS_01_1.VOB", a symbolic link or another letter case on a case-insensitive mount name the
// same file in other words, and the run would then truncate the very VOB it is reading. Files are
// compared instead, by device and inode, for every file the run may create.
#pragma once

#include <string>

namespace navtab::vob {

// True when a run on the IFO file `sourceIfo` with `destination` would write over one of the
// source's VOB files (any title VOB number 1 to 9, or the menu VOB), or, when `savesIfo`, would
// save its IFO file into the source folder itself.
bool destinationOverwritesSource(const std::string& sourceIfo, const std::string& destination,
                                 bool menu, bool savesIfo);

}  // namespace navtab::vob
