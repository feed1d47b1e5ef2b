// Groups 0 and 1: the commands that change the flow of playback.
#include "navcmd/nav_command.h"
#include "navcmd/nav_groups.h"
#include "navcmd/nav_names.h"

namespace navtab::navcmd {
namespace {

std::string specialCommand(const Instruction& in) {
    switch (in.flow) {
        case Flow::None:
            return "NOP";
        case Flow::Goto:
            return "Goto line# " + numberText(in.line);
        case Flow::Break:
            return "Break";
        case Flow::SetTmpPml:
            return "SetTmpPML lvl " + numberText(in.level) + ", line# " + numberText(in.line);
        default:
            return "invalid command";
    }
}

std::string jumpSystemSpace(const Instruction& in) {
    switch (in.systemDomain) {
        case kSsFirstPlay:
            return "(JumpSS FP) Jump to First-Play domain PGC";
        case kSsVmgMenu:
            return "(JumpSS VMGM) Jump to VMG " + menuName(in.menu) + "-menu";
        case kSsVtsMenu:
            return "(JumpSS VTSM) Jump to TitleSet(vts): " + numberText(in.titleSet) +
                   ", Title(ttn): " + numberText(in.title) + ", " + menuName(in.menu) + "-menu";
        default:
            return "(JumpSS VMGM) Jump to VMG PGC: " + numberText(in.pgc);
    }
}

std::string callSystemSpace(const Instruction& in) {
    std::string text;
    switch (in.systemDomain) {
        case kSsFirstPlay:
            text = "(CallSS FP) Call First-Play domain PGC";
            break;
        case kSsVmgMenu:
            text = "(CallSS VMGM) Call VMG " + menuName(in.menu) + "-menu";
            break;
        case kSsVtsMenu:
            text = "(CallSS VTSM) Call TitleSet " + menuName(in.menu) + "-menu";
            break;
        default:
            text = "(CallSS VMGM) Call VMG PGC: " + numberText(in.pgc);
            break;
    }
    // The cell to resume at when the called menu returns; 0 means the start of the PGC.
    if (in.resumeCell != 0) text += " [Resume Cell: " + numberText(in.resumeCell) + "]";
    return text;
}

std::string jumpCommand(const Instruction& in) {
    switch (in.flow) {
        case Flow::None:
            return "NOP";
        case Flow::Exit:
            return "Exit";
        case Flow::JumpTT:
            return "(JumpTT) Jump to Title: " + numberText(in.title);
        case Flow::JumpVtsTT:
            return "(JumpVTS_TT) Jump to Title: " + numberText(in.title);
        case Flow::JumpVtsPtt:
            // "Jumpt" is the established spelling of this text and stays, so that decoded
            // listings compare.
            return "(JumpVTS_PTT) Jumpt to Title(ttn): " + numberText(in.title) +
                   " Chapter(pttn): " + numberText(in.part);
        case Flow::JumpSS:
            return jumpSystemSpace(in);
        case Flow::CallSS:
            return callSystemSpace(in);
        default:
            return "invalid command";
    }
}

std::string conditional(const Instruction& in, std::string text) {
    if (in.compareOp == 0) return text;
    return comparePrefix(in) + text;
}

}  // namespace

std::string decodeSpecial(const Instruction& in) {
    return conditional(in, specialCommand(in));
}

std::string decodeJumpOrLink(const Instruction& in) {
    if (immediateFlag(in.bytes)) return conditional(in, jumpCommand(in));
    if (in.flow == Flow::None) return conditional(in, "NOP");
    return conditional(in, linkText(in).value_or("invalid link command"));
}

}  // namespace navtab::navcmd
