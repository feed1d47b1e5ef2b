// Plays a disc the way a user without a remote control would: stills end at once, and a menu
// that waits for input is answered with the next button of a list (selected, then activated) or,
// when the list is spent, by activating the highlighted button, as pressing Enter would.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "navigator/navigator.h"

namespace navtab::navigator {

struct Script {
    int title = 0;    // start in this title instead of the first-play PGC (0: no)
    int chapter = 1;  // ... at this chapter
    int menu = 0;     // then call this menu (kRootMenu, kTitleMenu; 0: none)
    std::vector<int> presses;
    long maxCells = 1000;  // stop after this many cell events
};

// Answers a menu that waits: selects and activates `presses[next]` (and moves `next` on), or
// activates the highlighted button when the list is spent.
void AnswerMenu(Navigator& nav, const std::vector<int>& presses, std::size_t& next);

// Runs `nav` from its start through `script`, handing every event to `sink`. Returns the number
// of cell events.
long RunScript(Navigator& nav, const Script& script, const std::function<void(const Event&)>& sink);

}  // namespace navtab::navigator
