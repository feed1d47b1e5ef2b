// Navigation commands: the eight-byte instructions of the DVD virtual machine that program chains
// carry as pre-, post- and cell commands (and menus as button commands), decoded into one line of
// readable text for the field list and the command line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace navtab {

// Every navigation command is exactly this long.
inline constexpr std::size_t kNavCommandSize = 8;

// Decodes the command in command[0..7] into one line of text. Exactly eight bytes are read. The
// decoding never fails: encodings the format leaves undefined come back as descriptive text such
// as "invalid command" or "Unknown command". The same bytes always give the same text.
std::string DecodeNavCommand(const std::uint8_t* command);

// The text of a register code as command operands name it: 0..15 the general parameter registers
// "GPreg<n>", 128..151 the system parameter registers "SPreg<name>", and "invalid-GPreg<n>" or
// "invalid-SPreg<n>" for the codes between and above.
std::string NavRegisterName(std::uint8_t code);

}  // namespace navtab
