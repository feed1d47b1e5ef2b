// The instruction form of a navigation command: every field of the eight bytes that a command
// group gives a meaning, taken apart once. The text decoder renders this form and the navigator
// executes it, so the bit layout of the commands is known in exactly one place (DecodeInstruction).
#pragma once

#include <cstdint>

#include "navcmd/nav_operands.h"

namespace navtab::navcmd {

// The second operand of a compare or a set: a 16-bit value or a register code.
struct Operand {
    bool immediate = false;
    std::uint16_t value = 0;  // the value, or the register code when not immediate
};

// What a command does to the flow of playback (groups 0 and 1, and the links of groups 2..6).
enum class Flow : std::uint8_t {
    None,        // no flow change (NOP, or a set without link)
    Goto,        // line
    Break,       // ends the command list
    SetTmpPml,   // level, line
    Exit,        // stops playback
    JumpTT,      // title (of the disc)
    JumpVtsTT,   // title (of the title set)
    JumpVtsPtt,  // title (of the title set), part
    JumpSS,      // systemDomain, menu, titleSet, title, pgc
    CallSS,      // systemDomain, menu, pgc, resumeCell
    LinkSubset,  // subset, button
    LinkPgcn,    // pgc
    LinkPttn,    // part, button
    LinkPgn,     // program, button
    LinkCn,      // cell, button
    Invalid,     // a code the format leaves undefined
};

// The system settings of group 2.
enum class SystemSet : std::uint8_t {
    None,
    Streams,      // audio, sub-picture, angle (each with its own flag)
    NavTimer,     // value (seconds), pgc
    GprmMode,     // value, gprm, counter
    KaraokeMode,  // value
    Button,       // value
    Invalid,
};

// The link subset codes (byte 7 bits 4..0 of a subset link).
enum LinkSubsetCode : int {
    kLinkTopCell = 1,
    kLinkNextCell = 2,
    kLinkPrevCell = 3,
    kLinkTopPg = 5,
    kLinkNextPg = 6,
    kLinkPrevPg = 7,
    kLinkTopPgc = 9,
    kLinkNextPgc = 10,
    kLinkPrevPgc = 11,
    kLinkGoUpPgc = 12,
    kLinkTailPgc = 13,
    kLinkResume = 16,
};

// The target domain of JumpSS and CallSS (byte 5 bits 7..6).
enum SystemDomain : int { kSsFirstPlay = 0, kSsVmgMenu = 1, kSsVtsMenu = 2, kSsVmgPgc = 3 };

struct StreamSetting {
    bool set = false;
    Operand number;  // immediate stream number or a register code
};

struct Instruction {
    NavBytes bytes{};
    int group = 0;

    // The condition: first operand a register code, second an operand; op 0 is "always".
    int compareOp = 0;
    std::uint8_t compareRegister = 0;
    Operand compareValue;

    // A general register set (groups 3..6): op 0 none, 1..11 mov..xor, 12..15 undefined.
    int setOp = 0;
    std::uint8_t setRegister = 0;
    Operand setValue;

    // A system setting (group 2).
    SystemSet system = SystemSet::None;
    Operand systemValue;
    StreamSetting audio, subpicture, angle;
    std::uint16_t timerPgc = 0;
    std::uint8_t modeRegister = 0;  // SetGPRMMD's general register
    bool counterMode = false;

    // The flow change and its operands.
    Flow flow = Flow::None;
    int line = 0;
    int level = 0;
    int title = 0;
    int part = 0;
    int pgc = 0;
    int program = 0;
    int cell = 0;
    int subset = 0;
    int button = 0;  // button to highlight after a link; 0 keeps the current one
    int systemDomain = 0;
    int menu = 0;
    int titleSet = 0;
    int resumeCell = 0;

    // Groups 2 and 3 can carry a condition or a link, not both.
    bool conflict = false;
    // Groups 5 and 6 set only when the compare holds; group 6 links whatever the compare says.
    bool setOnlyWhenTrue = false;
    bool linkAlways = false;
};

// Takes the eight bytes apart. Every value is taken from its bit field as it stands; nothing is
// checked against a disc, so a command naming a register or a title that does not exist is
// decoded and left to the executor.
Instruction DecodeInstruction(const NavBytes& c);

}  // namespace navtab::navcmd
