// One renderer per command group; DecodeNavCommand picks the one that byte 0 names. Each renders
// the instruction form that DecodeInstruction took apart.
#pragma once

#include <string>

#include "navcmd/nav_instruction.h"

namespace navtab::navcmd {

// Group 0: NOP, Goto, Break and SetTmpPML, optionally conditional.
std::string decodeSpecial(const Instruction& in);

// Group 1: jumps and calls between domains (immediate flag set) or links inside the domain
// (immediate flag clear), optionally conditional.
std::string decodeJumpOrLink(const Instruction& in);

// Group 2: setting system parameters (stream numbers, timer, register mode, karaoke mode,
// highlighted button), with a condition or a link.
std::string decodeSetSystem(const Instruction& in);

// Group 3: arithmetic on a general register, with a condition or a link.
std::string decodeSetRegister(const Instruction& in);

// Groups 4..6: a set and a compare on the same register, with an optional link-subset suffix.
std::string decodeSetCompareLink(const Instruction& in);

}  // namespace navtab::navcmd
