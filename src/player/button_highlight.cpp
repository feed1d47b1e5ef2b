#include "player/button_highlight.h"

#include <algorithm>
#include <tuple>

#include "core/bytes.h"
#include "player/pack_demux.h"
#include "vob/nav_pack_layout.h"

namespace navtab::player {
namespace {

namespace nav = vob::nav;

// The three colour tables follow the 22 bytes of the highlight's general information; each has
// a selected and an activated word of colours (16 bits) and contrasts (16 bits).
constexpr std::uint32_t kColourTables = nav::kHliStatus + 22;
constexpr std::uint32_t kColourWordSize = 4;

// Two 10-bit numbers packed in three bytes behind two flag bits: start, two spare bits, end.
std::pair<int, int> range(const std::uint8_t* b) {
    return {(b[0] & 0x3F) << 4 | b[1] >> 4, (b[1] & 0x03) << 8 | b[2]};
}

}  // namespace

std::optional<Highlight> ButtonHighlights::of(int button, bool active) const {
    if (button < 1 || button > static_cast<int>(buttons.size())) return std::nullopt;
    const ButtonLook& b = buttons[static_cast<std::size_t>(button - 1)];
    if (b.colourTable < 1 || b.colourTable > 3 || b.area.empty()) return std::nullopt;
    const auto& table = active ? activated : selected;
    return Highlight{b.area, table[static_cast<std::size_t>(b.colourTable - 1)]};
}

std::optional<ButtonHighlights> buttonHighlightsOf(std::span<const std::uint8_t> s) {
    if (!isNavPack(s) || (be16(&s[nav::kHliStatus]) & 3) == 0) return std::nullopt;
    ButtonHighlights h;
    for (std::uint32_t t = 0; t < 3; ++t) {
        const std::uint8_t* w = &s[kColourTables + t * 2 * kColourWordSize];
        h.selected[t] = colourSetOf(be16(w), be16(w + 2));
        h.activated[t] = colourSetOf(be16(w + 4), be16(w + 6));
    }
    // With two or three button groups, each has an equal share of the records.
    const int groups = std::max(1, (be16(&s[nav::kButtonMode]) >> 12) & 3);
    const int count =
        std::min<int>(s[nav::kButtonCount], static_cast<int>(nav::kMaxButtons) / groups);
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* b =
            &s[nav::kButtons + static_cast<std::uint32_t>(i) * nav::kButtonSize];
        ButtonLook look;
        look.colourTable = b[0] >> 6;
        std::tie(look.area.x0, look.area.x1) = range(b);
        std::tie(look.area.y0, look.area.y1) = range(b + 3);
        h.buttons.push_back(look);
    }
    return h;
}

}  // namespace navtab::player
