// What the navigator tells its user while it plays: one event per change a player would show.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "navigator/player_state.h"

namespace navtab::navigator {

enum class EventKind : std::uint8_t {
    Domain,     // the domain or the title set changed
    Title,      // a title of the disc starts
    Chapter,    // a part of the title starts (`part`)
    Cell,       // a cell starts; `first` and `last` are its sectors
    Vobu,       // a VOBU is played: sectors `first` to `last`
    Still,      // `still` seconds of still picture (255 until ended); 0 when the still ends
    Highlight,  // the highlighted button changed to `button`
    Stream,     // the audio, sub-picture or angle register changed (`text` names which)
    Stop,       // playback ended
    Warning,    // `text`, e.g. an illegal navigation command
    Error,      // `text`, e.g. a file that cannot be read
    Command,    // a command ran: `text` its decoded text, `registers` what it changed
};

// "domain", "title", "chapter", "cell", "vobu", "still", "highlight", "stream", "stop",
// "warning", "error", "command".
std::string_view eventName(EventKind kind);

struct Event {
    EventKind kind = EventKind::Stop;
    Domain domain = Domain::FirstPlay;
    int titleSet = 0;
    int title = 0;  // the disc's title number; 0 outside the title domain
    int pgc = 0;
    int cell = 0;
    int part = 0;
    int button = 0;
    int still = 0;
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    std::string text;
    std::string registers;
};

// The warning a navigator gives for a command it cannot carry out or a loop without progress.
inline constexpr std::string_view kIllegalCommandText =
    "DVD Warning: An illegal navigation command was encountered.";

// The error a navigator gives when the player's parental level allows no version of a title.
inline constexpr std::string_view kParentalTooLowText =
    "Player parental level is set lower than the lowest parental\nlevel available in this "
    "DVD-Video content.\nCannot playback this DVD-Video disc.";

}  // namespace navtab::navigator
