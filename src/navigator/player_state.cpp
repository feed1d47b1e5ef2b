#include "navigator/player_state.h"

namespace navtab::navigator {

std::string_view domainName(Domain d) {
    switch (d) {
        case Domain::FirstPlay:
            return "fp";
        case Domain::VmgMenu:
            return "vmgm";
        case Domain::VtsMenu:
            return "vtsm";
        case Domain::Title:
            return "tt";
    }
    return "fp";
}

Registers Registers::initial() {
    Registers r;
    const std::uint16_t english = languageCode('e', 'n');
    r.sprm[kMenuLanguage] = english;
    r.sprm[kAudioStream] = 15;
    r.sprm[kSubpictureStream] = 62;
    r.sprm[kAngle] = 1;
    r.sprm[kTitleNumber] = 1;
    r.sprm[kVtsTitleNumber] = 1;
    r.sprm[kTitlePgc] = 1;
    r.sprm[kPartNumber] = 1;
    r.sprm[kHighlightedButton] = 1 << 10;
    r.sprm[kParentalLevel] = 15;
    r.sprm[kVideoMode] = 0x0100;
    r.sprm[kAudioCapabilities] = 0x7CFC;
    r.sprm[kAudioLanguage] = english;
    r.sprm[kSubpictureLanguage] = english;
    r.sprm[kRegion] = 1;
    return r;
}

std::uint16_t Registers::read(std::uint16_t code) const {
    if (code < kGeneralRegisters) return gprm[code];
    if (code >= 128 && code < 128 + kSystemRegisters) return sprm[code - 128];
    return 0;
}

void Registers::advanceSeconds(unsigned seconds) {
    for (int i = 0; i < kGeneralRegisters; ++i)
        if (counter[i]) gprm[i] = static_cast<std::uint16_t>(gprm[i] + seconds);
}

}  // namespace navtab::navigator
