// printf into a std::string, for line texts whose formats are literals of this program (checked by
// the compiler). Text that comes from a disc is never used as a format.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

namespace navtab {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
inline std::string
strprintf(const char* format, ...) {
    char small[256];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < sizeof small)
        return std::string(small, static_cast<std::size_t>(n));
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(out.data(), out.size(), format, args);
    va_end(args);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

}  // namespace navtab
