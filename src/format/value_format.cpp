#include "format/value_format.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace navtab {
namespace {

struct Conversion {
    bool leftAlign = false;
    bool zeroPad = false;
    bool plusSign = false;
    bool space = false;
    bool alternate = false;
    std::size_t width = 0;
    std::optional<std::size_t> precision;
    char type = 0;
};

// Parses the conversion that starts after a '%'; returns the position after it, or nothing when
// the text is not a conversion we understand.
std::optional<std::size_t> parseConversion(std::string_view f, std::size_t i, Conversion& c) {
    for (; i < f.size(); ++i) {
        char ch = f[i];
        if (ch == '-')
            c.leftAlign = true;
        else if (ch == '0')
            c.zeroPad = true;
        else if (ch == '+')
            c.plusSign = true;
        else if (ch == ' ')
            c.space = true;
        else if (ch == '#')
            c.alternate = true;
        else
            break;
    }
    auto digits = [&](std::size_t& n) {
        while (i < f.size() && f[i] >= '0' && f[i] <= '9' && n < 1000) n = n * 10 + (f[i++] - '0');
        while (i < f.size() && f[i] >= '0' && f[i] <= '9') ++i;
    };
    digits(c.width);
    if (i < f.size() && f[i] == '.') {
        ++i;
        std::size_t p = 0;
        digits(p);
        c.precision = p;
    }
    while (i < f.size() && (f[i] == 'l' || f[i] == 'h')) ++i;
    if (i >= f.size()) return std::nullopt;
    switch (f[i]) {
        case 'd':
        case 'i':
        case 'u':
        case 'x':
        case 'X':
        case 'c':
        case 's':
            c.type = f[i];
            return i + 1;
        default:
            return std::nullopt;
    }
}

void pad(std::string& out, const Conversion& c, std::string_view body, std::string_view sign = {}) {
    std::size_t len = body.size() + sign.size();
    if (len >= c.width) {
        out += sign;
        out += body;
    } else if (c.leftAlign) {
        out += sign;
        out += body;
        out.append(c.width - len, ' ');
    } else if (c.zeroPad && c.type != 's' && c.type != 'c' && !c.precision) {
        out += sign;
        out.append(c.width - len, '0');
        out += body;
    } else {
        out.append(c.width - len, ' ');
        out += sign;
        out += body;
    }
}

std::string digitsOf(std::uint64_t v, unsigned base, bool upper) {
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char digits[24];
    char* end = digits + sizeof digits;
    char* first = end;
    do {
        *--first = set[v % base];
        v /= base;
    } while (v != 0);
    return std::string(first, end);
}

void emitInt(std::string& out, const Conversion& c, long long value) {
    std::string_view sign;
    std::string body;
    switch (c.type) {
        case 'd':
        case 'i': {
            auto v = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
            std::uint64_t magnitude = v < 0 ? std::uint64_t(-(std::int64_t)v) : std::uint64_t(v);
            body = digitsOf(magnitude, 10, false);
            if (v < 0)
                sign = "-";
            else if (c.plusSign)
                sign = "+";
            else if (c.space)
                sign = " ";
            break;
        }
        case 'u':
            body = digitsOf(static_cast<std::uint32_t>(value), 10, false);
            break;
        case 'x':
        case 'X': {
            auto v = static_cast<std::uint32_t>(value);
            body = digitsOf(v, 16, c.type == 'X');
            if (c.alternate && v != 0) sign = c.type == 'X' ? "0X" : "0x";
            break;
        }
        case 'c':
            body = std::string(1, static_cast<char>(value));
            break;
        default:
            break;
    }
    if (c.precision && c.type != 'c') {
        if (*c.precision == 0 && body == "0") body.clear();
        if (body.size() < *c.precision) body.insert(0, *c.precision - body.size(), '0');
    }
    pad(out, c, body, sign);
}

template <typename Emit>
std::string formatEach(std::string_view f, Emit emit) {
    std::string out;
    out.reserve(f.size() + 16);
    for (std::size_t i = 0; i < f.size();) {
        if (f[i] != '%') {
            // Text up to the next conversion goes in as one piece; rows are formatted by the
            // hundred thousand.
            const std::size_t next = std::min(f.find('%', i), f.size());
            out.append(f.substr(i, next - i));
            i = next;
            continue;
        }
        if (i + 1 < f.size() && f[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        Conversion c;
        auto next = parseConversion(f, i + 1, c);
        if (!next) {
            out += f[i++];
            continue;
        }
        emit(out, c);
        i = *next;
    }
    return out;
}

}  // namespace

std::string formatWithInt(std::string_view format, long long value) {
    // Most descriptions are plain text.
    if (format.find('%') == std::string_view::npos) return std::string(format);
    return formatEach(format, [value](std::string& out, const Conversion& c) {
        if (c.type != 's') emitInt(out, c, value);
    });
}

std::string formatWithText(std::string_view format, std::string_view text) {
    return formatEach(format, [text](std::string& out, const Conversion& c) {
        if (c.type != 's') return;
        pad(out, c, c.precision ? text.substr(0, *c.precision) : text);
    });
}

}  // namespace navtab
