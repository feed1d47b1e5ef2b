#include "navcmd/nav_instruction.h"

#include "navcmd/nav_names.h"

namespace navtab::navcmd {
namespace {

std::uint16_t word(const NavBytes& c, std::size_t high) {
    return static_cast<std::uint16_t>(wordAt(c, high));
}

// A 16-bit immediate at `immediateAt` or the register of byte `registerAt`, as `immediate` says.
Operand operand(const NavBytes& c, bool immediate, std::size_t immediateAt,
                std::size_t registerAt) {
    if (immediate) return {true, word(c, immediateAt)};
    return {false, c[registerAt]};
}

// The condition with a register as first operand and the compare-immediate flag choosing the
// second.
void compareWith(Instruction& in, std::uint8_t first, std::size_t immediateAt,
                 std::size_t registerAt) {
    in.compareOp = compareOperatorCode(in.bytes);
    in.compareRegister = first;
    in.compareValue = operand(in.bytes, compareImmediateFlag(in.bytes), immediateAt, registerAt);
}

// The condition of the commands whose operands fill bytes 2..5: two registers, bytes 6 and 7.
void compareRegisters(Instruction& in) {
    in.compareOp = compareOperatorCode(in.bytes);
    in.compareRegister = in.bytes[6];
    in.compareValue = {false, in.bytes[7]};
}

// Link code 1 and 4..7 with targets in bytes 6..7 (groups 1..3); any other code is invalid.
void link(Instruction& in, int code) {
    const NavBytes& c = in.bytes;
    switch (code) {
        case 1:
            in.flow = Flow::LinkSubset;
            in.subset = c[7] & 0x1F;
            in.button = linkButton(c);
            break;
        case 4:
            in.flow = Flow::LinkPgcn;
            in.pgc = wordAt(c, 6);  // 15 bits are the PGC; the executor masks
            break;
        case 5:
            // Ten bits: a title can have up to 999 chapters.
            in.flow = Flow::LinkPttn;
            in.part = wordAt(c, 6) & 0x3FF;
            in.button = linkButton(c);
            break;
        case 6:
            in.flow = Flow::LinkPgn;
            in.program = c[7];
            in.button = linkButton(c);
            break;
        case 7:
            in.flow = Flow::LinkCn;
            in.cell = c[7];
            in.button = linkButton(c);
            break;
        default:
            in.flow = Flow::Invalid;
            break;
    }
}

void special(Instruction& in) {
    const NavBytes& c = in.bytes;
    compareWith(in, c[3], 4, 5);
    switch (subcommandCode(c)) {
        case 0:
            break;
        case 1:
            in.flow = Flow::Goto;
            in.line = c[7];
            break;
        case 2:
            in.flow = Flow::Break;
            break;
        case 3:
            in.flow = Flow::SetTmpPml;
            in.level = c[6] & 0x0F;
            in.line = c[7];
            break;
        default:
            in.flow = Flow::Invalid;
            break;
    }
}

void jump(Instruction& in) {
    const NavBytes& c = in.bytes;
    compareRegisters(in);
    switch (subcommandCode(c)) {
        case 0:
            break;
        case 1:
            in.flow = Flow::Exit;
            break;
        case 2:
            in.flow = Flow::JumpTT;
            in.title = c[5];
            break;
        case 3:
            in.flow = Flow::JumpVtsTT;
            in.title = c[5];
            break;
        case 5:
            in.flow = Flow::JumpVtsPtt;
            in.title = c[5];
            in.part = wordAt(c, 2) & 0x3FF;
            break;
        case 6:
            in.flow = Flow::JumpSS;
            in.systemDomain = c[5] >> 6;
            in.menu = c[5] & 0x0F;
            in.titleSet = c[4];
            in.title = c[3];
            in.pgc = wordAt(c, 2);
            break;
        case 8:
            in.flow = Flow::CallSS;
            in.systemDomain = c[5] >> 6;
            in.menu = c[5] & 0x0F;
            in.pgc = wordAt(c, 2);
            in.resumeCell = c[4];
            break;
        default:
            in.flow = Flow::Invalid;
            break;
    }
}

void linkOnly(Instruction& in) {
    compareWith(in, in.bytes[3], 4, 5);
    const int code = subcommandCode(in.bytes);
    if (code != 0) link(in, code);
}

StreamSetting stream(std::uint8_t field, bool immediate) {
    return {(field & 0x80) != 0, {immediate, static_cast<std::uint16_t>(field & 0x7F)}};
}

void setSystem(Instruction& in) {
    const NavBytes& c = in.bytes;
    const bool immediate = immediateFlag(c);
    const int op = setOperatorCode(c);
    switch (op) {
        case 0:
            // The immediate form of code 0 is not defined; the register form is a NOP.
            if (immediate) in.system = SystemSet::Invalid;
            break;
        case 1:
            in.system = SystemSet::Streams;
            in.audio = stream(c[3], immediate);
            in.subpicture = stream(c[4], immediate);
            in.angle = stream(c[5], immediate);
            break;
        case 2:
            in.system = SystemSet::NavTimer;
            in.systemValue = operand(c, immediate, 2, 3);
            in.timerPgc = word(c, 4);
            break;
        case 3:
            in.system = SystemSet::GprmMode;
            in.systemValue = operand(c, immediate, 2, 3);
            in.modeRegister = static_cast<std::uint8_t>(c[5] & 0x3F);
            in.counterMode = (c[5] & 0x80) != 0;
            break;
        case 4:
            in.system = SystemSet::KaraokeMode;
            in.systemValue = immediate ? Operand{true, word(c, 4)}
                                       : Operand{false, static_cast<std::uint8_t>(c[5] & 0x3F)};
            break;
        case 6:
            in.system = SystemSet::Button;
            in.systemValue = immediate ? Operand{true, word(c, 4)}
                                       : Operand{false, static_cast<std::uint8_t>(c[5] & 0x3F)};
            break;
        default:
            in.system = SystemSet::Invalid;
            break;
    }
}

// Groups 2 and 3 share byte 1 between a condition (bits 6..4) and a link (bits 3..0).
void conditionOrLink(Instruction& in) {
    const int code = subcommandCode(in.bytes);
    in.conflict = in.compareOp != 0 && code != 0;
    if (code != 0) link(in, code);
}

void setRegister(Instruction& in) {
    const NavBytes& c = in.bytes;
    compareWith(in, c[2], 6, 7);
    in.setOp = setOperatorCode(c);
    in.setRegister = static_cast<std::uint8_t>(c[3] & 0x0F);
    in.setValue = operand(c, immediateFlag(c), 4, 5);
    conditionOrLink(in);
}

void setCompareLink(Instruction& in) {
    const NavBytes& c = in.bytes;
    const auto reg = static_cast<std::uint8_t>(subcommandCode(c));
    compareWith(in, reg, 4, 5);
    in.setOp = setOperatorCode(c);
    in.setRegister = reg;
    in.setValue = operand(c, immediateFlag(c), 2, 3);
    in.subset = c[7] & 0x1F;
    in.button = linkButton(c);
    if (in.subset != 0) in.flow = Flow::LinkSubset;
    in.setOnlyWhenTrue = in.group != 4;
    in.linkAlways = in.group == 6;
}

}  // namespace

Instruction DecodeInstruction(const NavBytes& c) {
    Instruction in;
    in.bytes = c;
    in.group = commandGroup(c);
    switch (in.group) {
        case 0:
            special(in);
            break;
        case 1:
            if (immediateFlag(c))
                jump(in);
            else
                linkOnly(in);
            break;
        case 2:
            compareRegisters(in);
            setSystem(in);
            conditionOrLink(in);
            break;
        case 3:
            setRegister(in);
            break;
        case 4:
        case 5:
        case 6:
            setCompareLink(in);
            break;
        default:
            in.flow = Flow::Invalid;
            break;
    }
    return in;
}

}  // namespace navtab::navcmd
