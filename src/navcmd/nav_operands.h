// The bit fields of an eight-byte navigation command and the operand texts that several command
// groups share: compare values, set values, the "If ... then " prefix and the link instructions.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace navtab::navcmd {

// A command copied out of its table: decoding works on this copy only, so it can never read more
// than the eight bytes of the command.
using NavBytes = std::array<std::uint8_t, 8>;

// Byte 0, bits 7..5: the command group (0 special, 1 jump/call/link, 2 set system, 3 set
// register, 4..6 set with compare and link, 7 undefined).
inline int commandGroup(const NavBytes& c) {
    return c[0] >> 5;
}

// Byte 0, bit 4: in group 1 jump/call (1) versus link (0); in groups 2..6 the set or system
// operand is an immediate value (1) rather than a register (0).
inline bool immediateFlag(const NavBytes& c) {
    return (c[0] & 0x10) != 0;
}

// Byte 0, bits 3..0: the set operator of groups 3..6 and the system command of group 2.
inline int setOperatorCode(const NavBytes& c) {
    return c[0] & 0x0F;
}

// Byte 1, bit 7: the second compare operand is an immediate value (1) rather than a register (0).
inline bool compareImmediateFlag(const NavBytes& c) {
    return (c[1] & 0x80) != 0;
}

// Byte 1, bits 6..4: the compare operator; 0 means the command is unconditional.
inline int compareOperatorCode(const NavBytes& c) {
    return (c[1] >> 4) & 0x07;
}

// Byte 1, bits 3..0: the special command (group 0), the jump or link code (groups 1..3) or the
// register of the set and compare (groups 4..6).
inline int subcommandCode(const NavBytes& c) {
    return c[1] & 0x0F;
}

// The unsigned big-endian 16-bit value of bytes `high` and `high` + 1.
inline int wordAt(const NavBytes& c, std::size_t high) {
    return (c[high] << 8) | c[high + 1];
}

// Numbers in command texts are plain decimal.
inline std::string numberText(int n) {
    return std::to_string(n);
}

// The button number that links carry in byte 6, bits 7..2 (0 keeps the current button).
inline int linkButton(const NavBytes& c) {
    return c[6] >> 2;
}

struct Instruction;
struct Operand;

// An operand as text: "(cmp-val)<n>" or "(set-val)<n>" (`kind` is "cmp-val" or "set-val") for an
// immediate value, the register's name for a register.
std::string operandText(const Operand& operand, const char* kind);

// "If <first> <compare operator> <second> then ", the condition put in front of a command.
std::string comparePrefix(const Instruction& in);

// The text of a subset, PGC, chapter, program or cell link, which groups 1..3 share. Nothing for
// the other flows, whose text differs by group.
std::optional<std::string> linkText(const Instruction& in);

}  // namespace navtab::navcmd
