// The highlight information a NAV pack's PCI carries for menu buttons: where each button lies and
// the colours and contrasts it is drawn with while selected and while activated. The navigator
// reads the buttons' commands and neighbours; this is the part a picture needs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "player/sub_picture.h"

namespace navtab::player {

struct ButtonLook {
    Area area;
    int colourTable = 0;  // 1..3; 0 means the button is not highlighted
};

struct ButtonHighlights {
    std::vector<ButtonLook> buttons;  // button n is buttons[n - 1]
    // For each of the three colour tables: the selected and the activated colours.
    std::array<ColourSet, 3> selected{};
    std::array<ColourSet, 3> activated{};

    // The highlight of button `button` (1-based), selected or activated; nothing for a button
    // that does not exist or has no colour table.
    std::optional<Highlight> of(int button, bool activated) const;
};

// Reads the highlight information of a NAV pack sector (2048 bytes). Nothing when the sector is
// no NAV pack or its PCI has no highlight information. Buttons of later button groups (the
// other display modes) are left out, as the navigator shows the first group.
std::optional<ButtonHighlights> buttonHighlightsOf(std::span<const std::uint8_t> sector);

}  // namespace navtab::player
