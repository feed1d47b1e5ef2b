// Case conversion of ASCII letters only, for file names: DVD file names are ASCII, and a locale
// must never change how VIDEO_TS.IFO and video_ts.ifo compare.
#pragma once

#include <algorithm>
#include <string>

namespace navtab {

inline char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string upperAscii(std::string s) {
    for (char& c : s) c = upperAscii(c);
    return s;
}

inline bool equalIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return upperAscii(x) == upperAscii(y);
           });
}

}  // namespace navtab
