#include "format/bcd_time.h"

#include <cstdio>

namespace navtab {

std::string FormatBcdTime(const std::uint8_t* t) {
    // The BCD bytes printed in hexadecimal show their decimal digits.
    char text[32];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x.%02x", t[0], t[1], t[2], t[3] & 0x3F);
    switch (t[3] >> 6) {
        case 1:
            return std::string(text) + " / 25 fps";
        case 3:
            return std::string(text) + " / 30 fps";
        default:
            return std::string(text) + " / illegal fps";
    }
}

}  // namespace navtab
