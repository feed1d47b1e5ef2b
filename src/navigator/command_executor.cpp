#include "navigator/command_executor.h"

#include "navcmd/nav_command.h"

namespace navtab::navigator {

using navcmd::Flow;
using navcmd::Instruction;
using navcmd::SystemSet;

namespace {

bool compare(int op, std::uint16_t a, std::uint16_t b) {
    switch (op) {
        case 1:
            return (a & b) != 0;
        case 2:
            return a == b;
        case 3:
            return a != b;
        case 4:
            return a >= b;
        case 5:
            return a > b;
        case 6:
            return a <= b;
        case 7:
            return a < b;
        default:
            return true;
    }
}

// A link subset the format defines; any other code links nowhere.
bool definedSubset(int code) {
    return (code >= 1 && code <= 3) || (code >= 5 && code <= 7) || (code >= 9 && code <= 13) ||
           code == navcmd::kLinkResume;
}

bool isLink(const Instruction& in) {
    switch (in.flow) {
        case Flow::None:
        case Flow::Goto:
        case Flow::Break:
        case Flow::SetTmpPml:
        case Flow::Invalid:
            return false;
        case Flow::LinkSubset:
            return definedSubset(in.subset);
        default:
            return true;
    }
}

std::array<std::uint16_t, kGeneralRegisters + kSystemRegisters> snapshot(const Registers& r) {
    std::array<std::uint16_t, kGeneralRegisters + kSystemRegisters> s{};
    std::copy(r.gprm.begin(), r.gprm.end(), s.begin());
    std::copy(r.sprm.begin(), r.sprm.end(), s.begin() + kGeneralRegisters);
    return s;
}

}  // namespace

std::string registerChangesText(const std::vector<RegisterChange>& changes) {
    std::string out;
    for (const RegisterChange& c : changes) {
        if (!out.empty()) out += ' ';
        out += NavRegisterName(static_cast<std::uint8_t>(c.code)) + "=" + std::to_string(c.after);
    }
    return out;
}

std::uint16_t CommandExecutor::value(const navcmd::Operand& operand) const {
    return operand.immediate ? operand.value : registers_.read(operand.value);
}

bool CommandExecutor::condition(const Instruction& in) const {
    if (in.compareOp == 0) return true;
    return compare(in.compareOp, registers_.read(in.compareRegister), value(in.compareValue));
}

void CommandExecutor::setRegister(const Instruction& in) {
    const int reg = in.setRegister & 0x0F;
    const std::uint16_t data = value(in.setValue);
    const std::uint32_t old = registers_.gprm[reg];
    std::uint32_t result = old;
    switch (in.setOp) {
        case 1:
            result = data;
            break;
        case 2:
            // Swap: the second register gets the old value; with an immediate operand this is
            // a plain move.
            if (!in.setValue.immediate && in.setValue.value < kGeneralRegisters)
                registers_.gprm[in.setValue.value] = static_cast<std::uint16_t>(old);
            result = data;
            break;
        case 3:
            result = old + data;
            break;
        case 4:
            result = old - data;
            break;
        case 5:
            result = old * data;
            break;
        case 6:
            result = data == 0 ? 0xFFFF : old / data;
            break;
        case 7:
            result = data == 0 ? 0xFFFF : old % data;
            break;
        case 8:
            result = 1 + (data == 0 ? 0u : static_cast<std::uint32_t>(random_() % data));
            break;
        case 9:
            result = old & data;
            break;
        case 10:
            result = old | data;
            break;
        case 11:
            result = old ^ data;
            break;
        default:
            return;  // no operator, or one the format leaves undefined
    }
    registers_.gprm[reg] = static_cast<std::uint16_t>(result);
}

void CommandExecutor::setSystem(const Instruction& in) {
    auto& sprm = registers_.sprm;
    switch (in.system) {
        case SystemSet::Streams: {
            const navcmd::StreamSetting* streams[] = {&in.audio, &in.subpicture, &in.angle};
            for (int i = 0; i < 3; ++i)
                if (streams[i]->set) sprm[kAudioStream + i] = value(streams[i]->number);
            break;
        }
        case SystemSet::NavTimer:
            sprm[kNavTimer] = value(in.systemValue);
            sprm[kNavTimerPgc] = in.timerPgc;
            break;
        case SystemSet::GprmMode:
            if (in.modeRegister < kGeneralRegisters) {
                registers_.counter[in.modeRegister] = in.counterMode;
                registers_.gprm[in.modeRegister] = value(in.systemValue);
            }
            break;
        case SystemSet::KaraokeMode:
            sprm[kKaraokeMode] = value(in.systemValue);
            break;
        case SystemSet::Button:
            sprm[kHighlightedButton] = value(in.systemValue);
            break;
        default:
            break;
    }
}

int CommandExecutor::execute(const Instruction& in, ExecutionResult& result) {
    auto linkIf = [&](bool when) {
        if (!when || !isLink(in)) return 0;
        result.linked = true;
        result.link = in;
        return -2;
    };
    switch (in.group) {
        case 0: {
            if (!condition(in)) return 0;
            switch (in.flow) {
                case Flow::Goto:
                    return in.line;
                case Flow::Break:
                    return -1;
                case Flow::SetTmpPml:
                    // A declined level leaves the register and goes on with the next command.
                    if (acceptParentalLevel && !acceptParentalLevel(in.level)) return 0;
                    registers_.sprm[kParentalLevel] = static_cast<std::uint16_t>(in.level);
                    return in.line;
                default:
                    return 0;
            }
        }
        case 1:
            return linkIf(condition(in));
        case 2: {
            const bool holds = condition(in);
            if (holds) setSystem(in);
            return linkIf(holds);
        }
        case 3: {
            const bool holds = condition(in);
            if (holds) setRegister(in);
            return linkIf(holds);
        }
        case 4:
            setRegister(in);
            return linkIf(condition(in));
        case 5:
        case 6: {
            const bool holds = condition(in);
            if (holds) setRegister(in);
            return linkIf(holds || in.linkAlways);
        }
        default:
            return 0;
    }
}

ExecutionResult CommandExecutor::run(std::span<const navcmd::NavBytes> commands, std::size_t first,
                                     long& budget) {
    ExecutionResult result;
    std::size_t line = first;
    while (line < commands.size()) {
        if (budget <= 0) {
            result.exhausted = true;
            return result;
        }
        --budget;
        const Instruction in = navcmd::DecodeInstruction(commands[line]);
        int next;
        if (trace) {
            const auto before = snapshot(registers_);
            next = execute(in, result);
            const auto after = snapshot(registers_);
            std::vector<RegisterChange> changes;
            for (std::size_t i = 0; i < before.size(); ++i) {
                if (before[i] == after[i]) continue;
                const auto code = static_cast<std::uint16_t>(
                    i < kGeneralRegisters ? i : 128 + (i - kGeneralRegisters));
                changes.push_back({code, before[i], after[i]});
            }
            trace(commands[line], changes);
        } else {
            next = execute(in, result);
        }
        if (next == -2 || next == -1) return result;
        // Goto line n (1-based); a line outside the list ends it.
        line = next > 0 ? static_cast<std::size_t>(next - 1) : line + 1;
    }
    return result;
}

}  // namespace navtab::navigator
