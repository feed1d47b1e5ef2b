#include "format/video_attr_edit.h"

namespace navtab {
namespace {

// A choice of a group with `buttons` buttons: the stored value when a button has it.
int choice(unsigned value, unsigned buttons) {
    return value < buttons ? static_cast<int>(value) : kNoChoice;
}

// The bits a choice writes: its value, or every bit of the group when nothing is chosen.
unsigned bits(int chosen, unsigned allOnes) {
    return chosen == kNoChoice ? allOnes : static_cast<unsigned>(chosen) & allOnes;
}

}  // namespace

VideoAttrChoices decodeVideoAttr(std::uint16_t word) {
    const unsigned b0 = word >> 8;
    const unsigned b1 = word & 0xFFu;
    VideoAttrChoices c;
    c.codingMode = choice((b0 >> 6) & 3, 2);
    c.standard = choice((b0 >> 4) & 3, 2);
    c.aspectRatio = choice((b0 >> 2) & 3, 4);
    c.automaticPanScan = (b0 & 0x02) == 0;
    c.automaticLetterbox = (b0 & 0x01) == 0;
    c.ccField1 = (b1 & 0x80) != 0;
    c.ccField2 = (b1 & 0x40) != 0;
    c.bitRate = choice((b1 >> 4) & 1, 2);
    c.resolution = choice((b1 >> 2) & 3, 4);
    c.letterboxed = (b1 & 0x02) != 0;
    c.film = choice(b1 & 1, 2);
    return c;
}

std::uint16_t encodeVideoAttr(const VideoAttrChoices& c, std::uint16_t oldWord) {
    const unsigned b0 = bits(c.codingMode, 3) * 64 + bits(c.standard, 3) * 16 +
                        bits(c.aspectRatio, 3) * 4 + (c.automaticPanScan ? 0 : 2) +
                        (c.automaticLetterbox ? 0 : 1);
    const unsigned b1 = (c.ccField1 ? 128 : 0) + (c.ccField2 ? 64 : 0) + (oldWord & 0x20u) +
                        bits(c.bitRate, 1) * 16 + bits(c.resolution, 3) * 4 +
                        (c.letterboxed ? 2 : 0) + bits(c.film, 1);
    return static_cast<std::uint16_t>((b0 << 8) | b1);
}

}  // namespace navtab
