// Groups 0 and 1: the commands that change the flow of playback.
#include "navcmd/nav_command.h"
#include "navcmd/nav_groups.h"
#include "navcmd/nav_names.h"

namespace navtab::navcmd {
namespace {

std::string specialCommand(const NavBytes& c) {
    switch (subcommandCode(c)) {
        case 0:
            return "NOP";
        case 1:
            return "Goto line# " + numberText(c[7]);
        case 2:
            return "Break";
        case 3:
            // Temporary parental level in byte 6 bits 3..0, the command to go to in byte 7.
            return "SetTmpPML lvl " + numberText(c[6] & 0x0F) + ", line# " + numberText(c[7]);
        default:
            return "invalid command";
    }
}

// JumpSS and CallSS share their operands: byte 5 bits 7..6 choose the target domain (first
// play, a VMG menu, a title set menu, a VMG PGC) and byte 5 bits 3..0 the menu.
int systemSpaceDomain(const NavBytes& c) {
    return c[5] >> 6;
}
std::string systemSpaceMenu(const NavBytes& c) {
    return menuName(c[5] & 0x0F);
}

std::string jumpSystemSpace(const NavBytes& c) {
    switch (systemSpaceDomain(c)) {
        case 0:
            return "(JumpSS FP) Jump to First-Play domain PGC";
        case 1:
            return "(JumpSS VMGM) Jump to VMG " + systemSpaceMenu(c) + "-menu";
        case 2:
            return "(JumpSS VTSM) Jump to TitleSet(vts): " + numberText(c[4]) +
                   ", Title(ttn): " + numberText(c[3]) + ", " + systemSpaceMenu(c) + "-menu";
        default:
            return "(JumpSS VMGM) Jump to VMG PGC: " + numberText(wordAt(c, 2));
    }
}

std::string callSystemSpace(const NavBytes& c) {
    std::string text;
    switch (systemSpaceDomain(c)) {
        case 0:
            text = "(CallSS FP) Call First-Play domain PGC";
            break;
        case 1:
            text = "(CallSS VMGM) Call VMG " + systemSpaceMenu(c) + "-menu";
            break;
        case 2:
            text = "(CallSS VTSM) Call TitleSet " + systemSpaceMenu(c) + "-menu";
            break;
        default:
            text = "(CallSS VMGM) Call VMG PGC: " + numberText(wordAt(c, 2));
            break;
    }
    // The cell to resume at when the called menu returns; 0 means the start of the PGC.
    if (c[4] != 0) text += " [Resume Cell: " + numberText(c[4]) + "]";
    return text;
}

std::string jumpCommand(const NavBytes& c) {
    switch (subcommandCode(c)) {
        case 0:
            return "NOP";
        case 1:
            return "Exit";
        case 2:
            return "(JumpTT) Jump to Title: " + numberText(c[5]);
        case 3:
            return "(JumpVTS_TT) Jump to Title: " + numberText(c[5]);
        case 5:
            // The chapter number has ten bits (byte 2 bits 1..0 and byte 3): a title can have up
            // to 999 chapters, so byte 3 alone would lose every chapter above 255. "Jumpt" is the
            // established spelling of this text and stays, so that decoded listings compare.
            return "(JumpVTS_PTT) Jumpt to Title(ttn): " + numberText(c[5]) +
                   " Chapter(pttn): " + numberText(wordAt(c, 2) & 0x3FF);
        case 6:
            return jumpSystemSpace(c);
        case 8:
            return callSystemSpace(c);
        default:
            return "invalid command";
    }
}

std::string linkCommand(const NavBytes& c) {
    const int code = subcommandCode(c);
    if (code == 0) return "NOP";
    return linkText(c, code).value_or("invalid link command");
}

}  // namespace

std::string decodeSpecial(const NavBytes& c) {
    std::string text = specialCommand(c);
    if (compareOperatorCode(c) == 0) return text;
    return comparePrefix(c, NavRegisterName(c[3]), compareValue(c, 4, 5)) + text;
}

std::string decodeJumpOrLink(const NavBytes& c) {
    if (immediateFlag(c)) {
        std::string text = jumpCommand(c);
        if (compareOperatorCode(c) == 0) return text;
        // Jumps use bytes 2..5 for their targets, so their condition compares two registers.
        return comparePrefix(c, NavRegisterName(c[6]), NavRegisterName(c[7])) + text;
    }
    std::string text = linkCommand(c);
    if (compareOperatorCode(c) == 0) return text;
    return comparePrefix(c, NavRegisterName(c[3]), compareValue(c, 4, 5)) + text;
}

}  // namespace navtab::navcmd
