// DVD sub-pictures: the run-length coded overlays that carry subtitles and menu buttons. A
// sub-picture unit (SPU) is spread over the packets of one private stream 1 sub-stream
// (0x20..0x3F); its first two bytes give its size, the next two where its display control
// sequences start. The pixels are two bits each (background, pattern, emphasis 1, emphasis 2),
// coded as runs, the even lines first and the odd lines after them; the control sequences say
// when the unit is shown and hidden, where, and which of the PGC's sixteen colours and which
// contrast each of the four pixel kinds gets.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace navtab::player {

// A PGC's colour look-up table as the PGC stores it: sixteen words 0x00YYCrCb.
using Palette = std::array<std::uint32_t, 16>;

// The palette entry and the contrast (0 transparent .. 15 opaque) of each pixel kind, in the
// order background, pattern, emphasis 1, emphasis 2.
struct ColourSet {
    std::array<std::uint8_t, 4> colour{};
    std::array<std::uint8_t, 4> contrast{};
};

// The two bytes of a colour or contrast command (and of a PCI colour word half): four nibbles,
// emphasis 2 first, background last.
ColourSet colourSetOf(std::uint16_t colours, std::uint16_t contrasts);

// A rectangle of picture lines and columns, both ends included as the DVD counts them.
struct Area {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    int width() const { return x1 - x0 + 1; }
    int height() const { return y1 - y0 + 1; }
    bool empty() const { return x1 < x0 || y1 < y0; }
};

// One sub-picture unit, decoded.
struct SubPicture {
    Area area;
    // One pixel kind (0..3) per pixel of the area, row after row.
    std::vector<std::uint8_t> pixels;
    ColourSet colours;
    std::int64_t start = 0;  // 90 kHz: shown from
    // 90 kHz: hidden from; nothing when the unit does not say (it stays until the next unit).
    std::optional<std::int64_t> end;
    // Shown even while sub-pictures are switched off (forced subtitles, menu buttons).
    bool forced = false;
};

// Decodes a whole unit whose packet carried the time stamp `pts`. Nothing when the unit is
// damaged beyond use (no display command, an area outside the unit); pixel runs that end early
// leave the rest of their line background.
std::optional<SubPicture> decodeSubPicture(std::span<const std::uint8_t> unit, std::int64_t pts);

// Joins the packets of one sub-picture stream into whole units.
class SubPictureAssembler {
  public:
    struct Unit {
        std::vector<std::uint8_t> bytes;
        std::int64_t pts = 0;
    };
    // Adds the payload of one packet (after the sub-stream byte). A packet with a time stamp
    // starts a new unit; a unit is returned once all the bytes its size names have arrived.
    std::optional<Unit> add(std::span<const std::uint8_t> payload, std::optional<std::int64_t> pts);
    void reset();

  private:
    std::vector<std::uint8_t> bytes_;
    std::int64_t pts_ = 0;
    bool started_ = false;
};

// The highlight of a menu button: the button's area drawn with other colours and contrasts
// over the sub-picture that shows the buttons.
struct Highlight {
    Area area;
    ColourSet colours;
};

}  // namespace navtab::player
