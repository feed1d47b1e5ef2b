// One decoder per command group; DecodeNavCommand picks the one that byte 0 names.
#pragma once

#include <string>

#include "navcmd/nav_operands.h"

namespace navtab::navcmd {

// Group 0: NOP, Goto, Break and SetTmpPML, optionally conditional.
std::string decodeSpecial(const NavBytes& c);

// Group 1: jumps and calls between domains (immediate flag set) or links inside the domain
// (immediate flag clear), optionally conditional.
std::string decodeJumpOrLink(const NavBytes& c);

// Group 2: setting system parameters (stream numbers, timer, register mode, karaoke mode,
// highlighted button), with a condition or a link.
std::string decodeSetSystem(const NavBytes& c);

// Group 3: arithmetic on a general register, with a condition or a link.
std::string decodeSetRegister(const NavBytes& c);

// Groups 4..6: a set and a compare on the same register, with an optional link-subset suffix.
std::string decodeSetCompareLink(const NavBytes& c);

}  // namespace navtab::navcmd
