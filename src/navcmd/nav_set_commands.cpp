// Groups 2..6: the commands that set system parameters or general registers.
#include "navcmd/nav_command.h"
#include "navcmd/nav_groups.h"
#include "navcmd/nav_names.h"

namespace navtab::navcmd {
namespace {

// SetSTN carries one field per stream kind (audio in byte 3, sub-picture in byte 4, angle in
// byte 5), each with bit 7 as its "set this one" flag. Only the first flagged stream is shown.
std::string setStreams(const NavBytes& c) {
    const bool immediate = immediateFlag(c);
    auto stream = [&](std::uint8_t field) {
        const int number = field & 0x7F;
        return immediate ? numberText(number) : NavRegisterName(static_cast<std::uint8_t>(number));
    };
    if (c[3] & 0x80) return "(SetSTN) Set Audio Stream Nr: " + stream(c[3]);
    if (c[4] & 0x80) return "(SetSTN) Set Subpicture Stream Nr: " + stream(c[4]);
    if (c[5] & 0x80) return "(SetSTN) Set Angle Stream Nr: " + stream(c[5]);
    // No flag set: show what byte 5 holds. The register form shows two low bits, the immediate
    // form three.
    const int low = immediate ? (c[5] & 0x07) : (c[5] & 0x03);
    return "(SetSTN) Set ?(" + numberText((c[5] >> 3) & 1) + ") Stream Nr: " + numberText(low);
}

// The register that SetGPRMMD, SetAMXMD and SetHL_BTNN name in byte 5 bits 5..0.
std::string byte5Register(const NavBytes& c) {
    return NavRegisterName(static_cast<std::uint8_t>(c[5] & 0x3F));
}

// SetGPRMMD's mode flag, byte 5 bit 7: 1 turns the register into a counter.
int counterMode(const NavBytes& c) {
    return c[5] >> 7;
}

std::string setSystemImmediate(const NavBytes& c) {
    switch (setOperatorCode(c)) {
        case 1:
            return setStreams(c);
        case 2:
            return "(SetNVTMR) Set NVTMR = (set-val) " + numberText(wordAt(c, 2)) + ", pgcn " +
                   numberText(wordAt(c, 4));
        case 3:
            return "(SetGPRMMD) Set GPRMMD<" + byte5Register(c) + "> = (set-val) " +
                   numberText(wordAt(c, 2)) + ", [COUNTER](mf=" + numberText(counterMode(c)) + ")";
        case 4:
            return "(SetAMXMD) Set AMXMD = (set-val) " + numberText(wordAt(c, 4));
        case 6:
            return "(SetHL_BTNN) Set Button Nr: (set-val) " + numberText(wordAt(c, 4));
        default:
            return "invalid command";
    }
}

std::string setSystemRegister(const NavBytes& c) {
    switch (setOperatorCode(c)) {
        case 0:
            return "NOP";
        case 1:
            return setStreams(c);
        case 2:
            return "(SetNVTMR) Set " + NavRegisterName(c[3]) + ", pgcn " + numberText(wordAt(c, 4));
        case 3:
            return "(SetGPRMMD) Set GPRMMD = " + byte5Register(c) + " = " + NavRegisterName(c[3]) +
                   ", [COUNTER](mf=" + numberText(counterMode(c)) + ")";
        case 4:
            return "(SetAMXMD) Set AMXMD = " + byte5Register(c);
        case 6:
            return "(SetHL_BTNN) Set Button Nr: " + byte5Register(c);
        default:
            return "invalid SetSystem";
    }
}

// Groups 2 and 3 share byte 1 between a condition (bits 6..4) and a link (bits 3..0); a command
// can carry one of them, not both.
std::string withConditionOrLink(const NavBytes& c, const std::string& command,
                                const std::string& first, const std::string& second) {
    const int compare = compareOperatorCode(c);
    const int link = subcommandCode(c);
    if (compare != 0 && link != 0) return command + " illegal CMP&LNK conflict";
    if (compare != 0) return comparePrefix(c, first, second) + command;
    if (link != 0) return command + linkText(c, link).value_or("invalid link");
    return command;
}

// Groups 4..6 link through byte 7 bits 4..0 (a link-subset target) with the button of byte 6.
std::string linkSuffix(const NavBytes& c) {
    const int link = c[7] & 0x1F;
    if (link == 0) return "";
    return " , Link " + std::string(linkSubsetName(link)) + ", [button=(" +
           numberText(linkButton(c)) + ")]";
}

}  // namespace

std::string decodeSetSystem(const NavBytes& c) {
    const std::string command = immediateFlag(c) ? setSystemImmediate(c) : setSystemRegister(c);
    // The operands of the system commands fill bytes 2..5, so the condition compares the
    // registers of bytes 6 and 7.
    return withConditionOrLink(c, command, NavRegisterName(c[6]), NavRegisterName(c[7]));
}

std::string decodeSetRegister(const NavBytes& c) {
    const int op = setOperatorCode(c);
    std::string command;
    if (op == 0)
        command = "NOP";
    else if (isDefinedSetOperator(op))
        command = "Set " + NavRegisterName(static_cast<std::uint8_t>(c[3] & 0x0F)) + " " +
                  setOperatorName(op) + " " + setValue(c, 4, 5);
    else
        command = "invalid Set";
    return withConditionOrLink(c, command, NavRegisterName(c[2]), compareValue(c, 6, 7));
}

std::string decodeSetCompareLink(const NavBytes& c) {
    const int n = subcommandCode(c);
    const std::string reg = NavRegisterName(static_cast<std::uint8_t>(n));
    const int op = setOperatorCode(c);
    const std::string setOp = setOperatorName(op);
    const std::string setVal = setValue(c, 2, 3);
    const std::string compareOp(compareOperatorName(compareOperatorCode(c)));
    const std::string compareVal = compareValue(c, 4, 5);
    const std::string suffix = linkSuffix(c);

    if (compareOperatorCode(c) == 0) {
        if (op != 0) return "Set " + reg + " " + setOp + " " + setVal + suffix;
        return suffix.empty() ? "NOP" : suffix;
    }
    if (op == 0) return "Cmp " + reg + " " + compareOp + " " + compareVal + suffix;
    // The three groups differ in the order of set and compare.
    switch (commandGroup(c)) {
        case 4:
            return "Set " + reg + " " + setOp + " " + setVal + ", Cmp " + reg + " " + compareOp +
                   " " + compareVal + suffix;
        case 5:
            return "Cmp G" + numberText(n) + " " + compareOp + " " + compareVal + ", Set G" +
                   numberText(n) + " " + setOp + " " + setVal + suffix;
        default:
            return "CmpSet " + reg + " " + compareOp + " " + compareVal + ", Set " + reg + " " +
                   setOp + " " + setVal + suffix;
    }
}

}  // namespace navtab::navcmd
