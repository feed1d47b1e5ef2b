// The state of a DVD-Video player that navigation commands read and change: sixteen general
// registers (each a plain value or a counter of seconds), the twenty-four system registers, the
// domain being played and where in it, and what a resume returns to.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace navtab::navigator {

enum class Domain : std::uint8_t { FirstPlay, VmgMenu, VtsMenu, Title };

// "fp", "vmgm", "vtsm", "tt".
std::string_view domainName(Domain d);

// System register numbers (register code 128 + n).
enum Sprm : int {
    kMenuLanguage = 0,
    kAudioStream = 1,
    kSubpictureStream = 2,
    kAngle = 3,
    kTitleNumber = 4,
    kVtsTitleNumber = 5,
    kTitlePgc = 6,
    kPartNumber = 7,
    kHighlightedButton = 8,  // button number times 1024
    kNavTimer = 9,
    kNavTimerPgc = 10,
    kKaraokeMode = 11,
    kParentalCountry = 12,
    kParentalLevel = 13,
    kVideoMode = 14,
    kAudioCapabilities = 15,
    kAudioLanguage = 16,
    kAudioLanguageExt = 17,
    kSubpictureLanguage = 18,
    kSubpictureLanguageExt = 19,
    kRegion = 20,
};

inline constexpr int kGeneralRegisters = 16;
inline constexpr int kSystemRegisters = 24;

// Two ASCII letters as a language register holds them.
constexpr std::uint16_t languageCode(char a, char b) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(a) << 8 |
                                      static_cast<unsigned char>(b));
}

struct Registers {
    std::array<std::uint16_t, kGeneralRegisters> gprm{};
    std::array<bool, kGeneralRegisters> counter{};
    std::array<std::uint16_t, kSystemRegisters> sprm{};

    // The start values of a player: English menus, audio and sub-pictures, stream "none
    // chosen", angle 1, button 1, parental level 15 (off), 4:3 display, region 1.
    static Registers initial();

    // The value a command operand reads: codes 0..15 general, 128..151 system registers. Other
    // codes name no register and read 0.
    std::uint16_t read(std::uint16_t code) const;

    // Counter registers count the seconds of playback.
    void advanceSeconds(unsigned seconds);
};

// Where playback stands.
struct Position {
    Domain domain = Domain::FirstPlay;
    int titleSet = 0;  // 0 in the video manager
    int pgc = 0;       // 1-based number in its table (0 for the first-play PGC)
    int program = 0;   // 1-based
    int cell = 0;      // 1-based
    int language = 0;  // index of the menu language unit in use
};

// What CallSS keeps to return to with RSM: a place in a title and the system registers of it.
struct Resume {
    bool valid = false;
    Position position;
    int cell = 0;            // the cell to resume at; 0 restarts the PGC
    std::uint32_t vobu = 0;  // the VOBU of that cell to resume at; 0 starts the cell
    std::array<std::uint16_t, 5>
        sprm{};  // registers 4..8: title, title-set title, PGC, part, button
};

}  // namespace navtab::navigator
