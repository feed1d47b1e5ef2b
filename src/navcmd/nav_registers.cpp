// Register operands: one byte names either a general parameter register (the 16 registers a
// disc's commands calculate with) or a system parameter register (the player's state and
// preferences, addressed as 128 + their number).
#include <array>
#include <string_view>

#include "navcmd/nav_command.h"

namespace navtab {
namespace {

// System parameter registers are addressed with 128 + their number; the player keeps 24 of them.
constexpr int kFirstSystemRegister = 128;
constexpr std::array<std::string_view, 24> kSystemParameters = {
    "preferred menu language",
    "audio stream number (ASTN)",
    "sub-picture stream number (SPSTN)",
    "angle number (AGLN)",
    "title number in volume (TTN)",
    "title number in VTS (VTS_TTN)",
    "PGC number (TT_PGCN)",
    "PTT number (PTTN)",
    "highlighted button number (HL_BTNN)",
    "navigation timer (NVTMR) in sec.",
    "PGC jump for nav timer (NV_PGCN)",
    "Karaoke audio mixing mode (AMXMD)",
    "parental management country code (CC_PLT)",
    "parental level (PLT)",
    "video preference and current mode",
    "player audio capabilities",
    "preferred audio language",
    "preferred audio language extension",
    "preferred sub-picture language",
    "preferred sub-picture language extension",
    "player region code",
    "reserved",
    "reserved",
    "reserved for extended playback mode",
};

// There are 16 general parameter registers.
constexpr int kGeneralRegisters = 16;

}  // namespace

std::string NavRegisterName(std::uint8_t code) {
    const int n = code;
    if (n < kGeneralRegisters) return "GPreg<" + std::to_string(n) + ">";
    if (n < kFirstSystemRegister) return "invalid-GPreg<" + std::to_string(n) + ">";
    const auto system = static_cast<std::size_t>(n - kFirstSystemRegister);
    if (system < kSystemParameters.size())
        return "SPreg<" + std::string(kSystemParameters[system]) + ">";
    return "invalid-SPreg<" + std::to_string(n) + ">";
}

}  // namespace navtab
