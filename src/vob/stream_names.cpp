#include "vob/stream_names.h"

#include <cmath>

#include "core/text_printf.h"
#include "vob/nav_pack_layout.h"

namespace navtab::vob {

std::string streamName(std::uint8_t id) {
    if (id >= kMpegAudioFirst && id <= kMpegAudioLast)
        return strprintf("MPEG1 Audio %u", unsigned{id} - kMpegAudioFirst);
    if (id >= kVideoFirst && id <= kVideoLast)
        return strprintf("Video %u", unsigned{id} - kVideoFirst);
    switch (id) {
        case kProgramStreamMap:
            return "Program Map";
        case kPrivateStream1:
            return "Private 1";
        case kPaddingStream:
            return "Padding";
        case kPrivateStream2:
            return "Private 2";
        case 0xF0:
            return "ECM";
        case 0xF1:
            return "EMM";
        case 0xF2:
            return "DSMCC";
        case 0xF8:
            return "ITU-T Rec. H.222.1 type E";
        case 0xFF:
            return "Program Directory";
        default:
            return "other";
    }
}

const char* frameRateName(unsigned code) {
    static const char* const kNames[] = {
        "[1] 23.976 (24000/1001) fps", "[2] 24 fps", "[3] 25 fps",
        "[4] 29.97 (30000/1001) fps",  "[5] 30 fps", "[6] 50 fps",
        "[7] 59.94 (60000/1001) fps",  "[8] 60 fps",
    };
    return code >= 1 && code <= 8 ? kNames[code - 1] : "[?] unknown frame-rate";
}

const char* aspectRatioName(unsigned code) {
    static const char* const kNames[] = {"[1] square pixels", "[2] 4:3 display", "[3] 16:9 display",
                                         "[4] 2.21:1 display"};
    return code >= 1 && code <= 4 ? kNames[code - 1] : "[?] unknown aspect-ratio";
}

std::string FormatPts(double milliseconds) {
    const double rounded = std::round(milliseconds);
    // Far beyond any stream time; clamped so the conversion stays defined.
    const double clamped = std::fmin(std::fabs(rounded), 9.0e15);
    const auto a = static_cast<long long>(clamped);
    const auto hours = static_cast<int>(std::min<long long>(a / 3600000, 0x7FFFFFFF));
    const auto minutes = static_cast<int>(a % 3600000 / 60000);
    const auto seconds = static_cast<int>(a % 60000 / 1000);
    const auto millis = static_cast<int>(a % 1000);
    return strprintf(milliseconds < 0 ? "-%i:%02i:%02i.%03i" : "%i:%02i:%02i.%03i", hours, minutes,
                     seconds, millis);
}

}  // namespace navtab::vob
