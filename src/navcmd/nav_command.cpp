#include "navcmd/nav_command.h"

#include <algorithm>

#include "navcmd/nav_groups.h"

namespace navtab {

std::string DecodeNavCommand(const std::uint8_t* command) {
    navcmd::NavBytes c{};
    std::copy_n(command, c.size(), c.begin());
    switch (navcmd::commandGroup(c)) {
        case 0:
            return navcmd::decodeSpecial(c);
        case 1:
            return navcmd::decodeJumpOrLink(c);
        case 2:
            return navcmd::decodeSetSystem(c);
        case 3:
            return navcmd::decodeSetRegister(c);
        case 4:
        case 5:
        case 6:
            return navcmd::decodeSetCompareLink(c);
        default:
            // Group 7 is not defined by the command format.
            return "Unknown command";
    }
}

}  // namespace navtab
