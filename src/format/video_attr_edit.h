// The video attribute word as the attribute editor shows it: one choice per bit group. A group
// whose stored value has no button of its own is left without a choice, and a group without a
// choice is written back with all of its bits set.
#pragma once

#include <cstdint>

namespace navtab {

inline constexpr int kNoChoice = -1;

struct VideoAttrChoices {
    int codingMode = kNoChoice;       // 0 MPEG-1, 1 MPEG-2
    int standard = kNoChoice;         // 0 NTSC, 1 PAL
    int aspectRatio = kNoChoice;      // 0 4:3, 1 unspecified, 2 reserved, 3 16:9
    bool automaticPanScan = false;    // checked: the "not permitted" bit is clear
    bool automaticLetterbox = false;  // checked: the "not permitted" bit is clear
    bool ccField1 = false;            // closed caption for line 21, field 1 in GOP
    bool ccField2 = false;            // closed caption for line 21, field 2 in GOP
    int bitRate = kNoChoice;          // 0 VBR, 1 CBR
    int resolution = kNoChoice;       // 0 720, 1 704, 2 352, 3 352 at half height
    bool letterboxed = false;         // letterboxed source picture
    int film = kNoChoice;             // 0 camera, 1 film
};

// `word` holds byte 0 of the stored attribute in its high half.
VideoAttrChoices decodeVideoAttr(std::uint16_t word);

// Builds the word from the choices; the reserved bit 5 of byte 1 comes from `oldWord`.
std::uint16_t encodeVideoAttr(const VideoAttrChoices& choices, std::uint16_t oldWord);

}  // namespace navtab
