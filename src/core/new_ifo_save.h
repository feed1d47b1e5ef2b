// The unattended save of new IFO files (kept apart from document.h, which nearly every file
// includes; defined beside the other saves in document.cpp).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/document.h"

namespace navtab {

// Writes each handle to its path and to that path's .BUP copy, in the order given, all replaced
// together or none (a new manager never stands in a folder without the title set it names). The
// user has been told of any failure.
SaveResult saveNewIfoFiles(const std::vector<std::pair<std::string, ifo_t*>>& files,
                           UserInteraction& ui);

}  // namespace navtab
