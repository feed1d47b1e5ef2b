// Groups 2..6: the commands that set system parameters or general registers.
#include "navcmd/nav_command.h"
#include "navcmd/nav_groups.h"
#include "navcmd/nav_names.h"

namespace navtab::navcmd {
namespace {

// SetSTN carries one field per stream kind, each with its own "set this one" flag. Only the
// first flagged stream is shown.
std::string setStreams(const Instruction& in) {
    auto stream = [](const StreamSetting& s) {
        return s.number.immediate ? numberText(s.number.value)
                                  : NavRegisterName(static_cast<std::uint8_t>(s.number.value));
    };
    if (in.audio.set) return "(SetSTN) Set Audio Stream Nr: " + stream(in.audio);
    if (in.subpicture.set) return "(SetSTN) Set Subpicture Stream Nr: " + stream(in.subpicture);
    if (in.angle.set) return "(SetSTN) Set Angle Stream Nr: " + stream(in.angle);
    // No flag set: show what byte 5 holds. The register form shows two low bits, the immediate
    // form three.
    const std::uint8_t b5 = in.bytes[5];
    const int low = immediateFlag(in.bytes) ? (b5 & 0x07) : (b5 & 0x03);
    return "(SetSTN) Set ?(" + numberText((b5 >> 3) & 1) + ") Stream Nr: " + numberText(low);
}

std::string registerName(std::uint16_t code) {
    return NavRegisterName(static_cast<std::uint8_t>(code));
}

std::string counterText(const Instruction& in) {
    return ", [COUNTER](mf=" + numberText(in.counterMode ? 1 : 0) + ")";
}

std::string setSystemImmediate(const Instruction& in) {
    const std::string value = numberText(in.systemValue.value);
    switch (in.system) {
        case SystemSet::Streams:
            return setStreams(in);
        case SystemSet::NavTimer:
            return "(SetNVTMR) Set NVTMR = (set-val) " + value + ", pgcn " +
                   numberText(in.timerPgc);
        case SystemSet::GprmMode:
            return "(SetGPRMMD) Set GPRMMD<" + registerName(in.modeRegister) + "> = (set-val) " +
                   value + counterText(in);
        case SystemSet::KaraokeMode:
            return "(SetAMXMD) Set AMXMD = (set-val) " + value;
        case SystemSet::Button:
            return "(SetHL_BTNN) Set Button Nr: (set-val) " + value;
        default:
            return "invalid command";
    }
}

std::string setSystemRegister(const Instruction& in) {
    const std::string value = registerName(in.systemValue.value);
    switch (in.system) {
        case SystemSet::None:
            return "NOP";
        case SystemSet::Streams:
            return setStreams(in);
        case SystemSet::NavTimer:
            return "(SetNVTMR) Set " + value + ", pgcn " + numberText(in.timerPgc);
        case SystemSet::GprmMode:
            return "(SetGPRMMD) Set GPRMMD = " + registerName(in.modeRegister) + " = " + value +
                   counterText(in);
        case SystemSet::KaraokeMode:
            return "(SetAMXMD) Set AMXMD = " + value;
        case SystemSet::Button:
            return "(SetHL_BTNN) Set Button Nr: " + value;
        default:
            return "invalid SetSystem";
    }
}

// Groups 2 and 3 carry a condition or a link; both at once is a conflict.
std::string withConditionOrLink(const Instruction& in, const std::string& command) {
    if (in.conflict) return command + " illegal CMP&LNK conflict";
    if (in.compareOp != 0) return comparePrefix(in) + command;
    if (in.flow != Flow::None) return command + linkText(in).value_or("invalid link");
    return command;
}

// Groups 4..6 link through a link-subset target with the button of byte 6.
std::string linkSuffix(const Instruction& in) {
    if (in.subset == 0) return "";
    return " , Link " + std::string(linkSubsetName(in.subset)) + ", [button=(" +
           numberText(in.button) + ")]";
}

}  // namespace

std::string decodeSetSystem(const Instruction& in) {
    const std::string command =
        immediateFlag(in.bytes) ? setSystemImmediate(in) : setSystemRegister(in);
    return withConditionOrLink(in, command);
}

std::string decodeSetRegister(const Instruction& in) {
    std::string command;
    if (in.setOp == 0)
        command = "NOP";
    else if (isDefinedSetOperator(in.setOp))
        command = "Set " + NavRegisterName(in.setRegister) + " " + setOperatorName(in.setOp) + " " +
                  operandText(in.setValue, "set-val");
    else
        command = "invalid Set";
    return withConditionOrLink(in, command);
}

std::string decodeSetCompareLink(const Instruction& in) {
    const int n = in.setRegister;
    const std::string reg = NavRegisterName(in.setRegister);
    const std::string setOp = setOperatorName(in.setOp);
    const std::string setVal = operandText(in.setValue, "set-val");
    const std::string compareOp(compareOperatorName(in.compareOp));
    const std::string compareVal = operandText(in.compareValue, "cmp-val");
    const std::string suffix = linkSuffix(in);

    if (in.compareOp == 0) {
        if (in.setOp != 0) return "Set " + reg + " " + setOp + " " + setVal + suffix;
        return suffix.empty() ? "NOP" : suffix;
    }
    if (in.setOp == 0) return "Cmp " + reg + " " + compareOp + " " + compareVal + suffix;
    // The three groups differ in the order of set and compare.
    switch (in.group) {
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
