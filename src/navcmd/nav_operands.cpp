#include "navcmd/nav_operands.h"

#include "navcmd/nav_command.h"
#include "navcmd/nav_instruction.h"
#include "navcmd/nav_names.h"

namespace navtab::navcmd {
namespace {

// ", [button=n]": the button to highlight after the link, shown by the chapter, program and cell
// links.
std::string buttonText(const Instruction& in) {
    return ", [button=" + numberText(in.button) + "]";
}

}  // namespace

std::string operandText(const Operand& operand, const char* kind) {
    if (operand.immediate) return std::string("(") + kind + ")<" + numberText(operand.value) + ">";
    return NavRegisterName(static_cast<std::uint8_t>(operand.value));
}

std::string comparePrefix(const Instruction& in) {
    return "If " + NavRegisterName(in.compareRegister) + " " +
           std::string(compareOperatorName(in.compareOp)) + " " +
           operandText(in.compareValue, "cmp-val") + " then ";
}

std::optional<std::string> linkText(const Instruction& in) {
    switch (in.flow) {
        case Flow::LinkSubset:
            // The button field of byte 6 is not part of this text.
            return "(Link subset) " + std::string(linkSubsetName(in.subset));
        case Flow::LinkPgcn:
            return "(LinkPGCN) Link PGC " + numberText(in.pgc);
        case Flow::LinkPttn:
            return "(LinkPTTN) Link Chapter " + numberText(in.part) + buttonText(in);
        case Flow::LinkPgn:
            return "(LinkPGN) Link Program " + numberText(in.program) + buttonText(in);
        case Flow::LinkCn:
            return "(LinkCN) Link Cell " + numberText(in.cell) + buttonText(in);
        default:
            return std::nullopt;
    }
}

}  // namespace navtab::navcmd
