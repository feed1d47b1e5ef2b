#include "navcmd/nav_command.h"

#include <algorithm>

#include "navcmd/nav_groups.h"

namespace navtab {

std::string DecodeNavCommand(const std::uint8_t* command) {
    navcmd::NavBytes c{};
    std::copy_n(command, c.size(), c.begin());
    const navcmd::Instruction in = navcmd::DecodeInstruction(c);
    switch (in.group) {
        case 0:
            return navcmd::decodeSpecial(in);
        case 1:
            return navcmd::decodeJumpOrLink(in);
        case 2:
            return navcmd::decodeSetSystem(in);
        case 3:
            return navcmd::decodeSetRegister(in);
        case 4:
        case 5:
        case 6:
            return navcmd::decodeSetCompareLink(in);
        default:
            // Group 7 is not defined by the command format.
            return "Unknown command";
    }
}

}  // namespace navtab
