// Runs a list of navigation commands (a PGC's pre- or post-commands, a cell command, a button
// command) on the player's registers in their instruction form. Register arithmetic wraps at 16
// bits; a division or remainder by zero gives 65535, as players do; "rnd" draws from 1 to the
// operand from a seeded generator, so that runs repeat. The list ends at its last command, at a
// Break, or at the first command that links or jumps, which is handed back for the navigator to
// carry out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "navcmd/nav_instruction.h"
#include "navigator/player_state.h"

namespace navtab::navigator {

struct RegisterChange {
    std::uint16_t code = 0;  // 0..15 general, 128..151 system register
    std::uint16_t before = 0;
    std::uint16_t after = 0;
};

// "GPreg<3>=7 SPreg<...>=1024": the registers a command changed, by the decoder's names.
std::string registerChangesText(const std::vector<RegisterChange>& changes);

struct ExecutionResult {
    bool linked = false;
    navcmd::Instruction link;  // the command whose flow is to be carried out
    bool exhausted = false;    // the command budget ran out
};

class CommandExecutor {
  public:
    using Trace = std::function<void(const navcmd::NavBytes&, const std::vector<RegisterChange>&)>;

    CommandExecutor(Registers& registers, std::mt19937& random)
        : registers_(registers), random_(random) {}

    // Runs `commands` from index `first`. Each command run takes one from `budget`; when it is
    // spent, the run ends with `exhausted` set.
    ExecutionResult run(std::span<const navcmd::NavBytes> commands, std::size_t first,
                        long& budget);

    // Called after each command with the registers it changed (only while set).
    Trace trace;
    // Asked whether the player accepts a temporary parental level (SetTmpPML); while unset,
    // every level is accepted.
    std::function<bool(int level)> acceptParentalLevel;

  private:
    // Carries out one command. Returns 0 to go on, a 1-based line for Goto, -1 to end the
    // list (Break), -2 when the command links.
    int execute(const navcmd::Instruction& in, ExecutionResult& result);
    std::uint16_t value(const navcmd::Operand& operand) const;
    bool condition(const navcmd::Instruction& in) const;
    void setRegister(const navcmd::Instruction& in);
    void setSystem(const navcmd::Instruction& in);

    Registers& registers_;
    std::mt19937& random_;
};

}  // namespace navtab::navigator
