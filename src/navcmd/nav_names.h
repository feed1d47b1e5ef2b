// The fixed names used in decoded navigation commands: operators, link targets and menus. Each
// lookup takes the raw bit field and answers for every value the field can hold, so no command
// byte can index past a table.
#pragma once

#include <string>
#include <string_view>

namespace navtab::navcmd {

// Compare operator, 3 bits (0..7); 0 is "none".
std::string_view compareOperatorName(int code);

// Set operator, 4 bits (0..15). Codes 12..15 are undefined in the command format; they come back
// as "invalid-op<n>" so that a command using one still reads as a set with an unknown operator.
std::string setOperatorName(int code);

// True for the set operators the format defines (1..11, "mov" to "xor").
bool isDefinedSetOperator(int code);

// Link-subset target, 5 bits (0..31), as in "(Link subset) LinkTailPGC".
std::string_view linkSubsetName(int code);

// Menu of a JumpSS or CallSS, 4 bits (0..15), as in "Jump to VMG title-menu". Codes 8..15 name
// no menu; they come back as "invalid-menu<n>".
std::string menuName(int code);

}  // namespace navtab::navcmd
