#include "navcmd/nav_operands.h"

#include "navcmd/nav_command.h"
#include "navcmd/nav_names.h"

namespace navtab::navcmd {
namespace {

// ", [button=n]": the button to highlight after the link, shown by the chapter, program and cell
// links.
std::string buttonText(const NavBytes& c) {
    return ", [button=" + numberText(linkButton(c)) + "]";
}

}  // namespace

std::string compareValue(const NavBytes& c, std::size_t immediateAt, std::size_t registerAt) {
    if (compareImmediateFlag(c)) return "(cmp-val)<" + numberText(wordAt(c, immediateAt)) + ">";
    return NavRegisterName(c[registerAt]);
}

std::string setValue(const NavBytes& c, std::size_t immediateAt, std::size_t registerAt) {
    if (immediateFlag(c)) return "(set-val)<" + numberText(wordAt(c, immediateAt)) + ">";
    return NavRegisterName(c[registerAt]);
}

std::string comparePrefix(const NavBytes& c, const std::string& first, const std::string& second) {
    return "If " + first + " " + std::string(compareOperatorName(compareOperatorCode(c))) + " " +
           second + " then ";
}

std::optional<std::string> linkText(const NavBytes& c, int linkCode) {
    switch (linkCode) {
        case 1:
            // The button field of byte 6 is not part of this text.
            return "(Link subset) " + std::string(linkSubsetName(c[7] & 0x1F));
        case 4:
            return "(LinkPGCN) Link PGC " + numberText(wordAt(c, 6));
        case 5:
            // The chapter number has ten bits: byte 6 bits 1..0 and byte 7.
            return "(LinkPTTN) Link Chapter " + numberText(wordAt(c, 6) & 0x3FF) + buttonText(c);
        case 6:
            return "(LinkPGN) Link Program " + numberText(c[7]) + buttonText(c);
        case 7:
            return "(LinkCN) Link Cell " + numberText(c[7]) + buttonText(c);
        default:
            return std::nullopt;
    }
}

}  // namespace navtab::navcmd
