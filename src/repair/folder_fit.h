// Before "Get VTS sectors" rewrites every IFO file of a folder from its file sizes, it checks that
// the folder is the disc those files describe. The sizes of all files before a title set give its
// start sector, so a file that has no place on the disc (a title set the video manager does not
// list, a VOB numbered after a gap) or a title set whose video is missing would make the
// corrections point players at the wrong sectors. The same holds for an IFO file that did not
// load as a whole: its fields cannot be corrected, and its .BUP copy must not be overwritten.
#pragma once

#include <string>
#include <vector>

#include "core/ifo_main.h"
#include "repair/disc_listing.h"

namespace navtab::repair {

struct FolderIfo {
    std::string name;  // the file's name in the folder
    const ifo_t* ifo;  // as loaded; never null
};

// True when the file loaded as a whole IFO file of either kind.
bool loadedAsIfo(const ifo_t& ifo);

// Why a repair must not run on a file (`name` as the user knows it): one of neither kind, or one
// that did not load as a whole, whose repaired fields would be saved over bytes the program could
// not read. Empty when the file may be repaired.
std::string repairRefusal(const ifo_t& ifo, const std::string& name);

// One line for each thing in the folder that does not fit the disc its IFO files describe;
// empty when everything fits.
std::vector<std::string> FolderMisfits(const DiscListing& listing,
                                       const std::vector<FolderIfo>& ifos);

}  // namespace navtab::repair
