// The decode command: navigation commands given as hex on the command line, decoded to text.
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "navcmd/nav_command.h"

namespace navtab::cli {
namespace {

using CommandBytes = std::array<std::uint8_t, kNavCommandSize>;

int hexDigitValue(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

bool isBlank(char ch) {
    return ch == ' ' || ch == '\t';
}

// Reads one command: 16 hex digits, optionally with blanks between whole bytes ("7100000F" and
// "71 00 00 0F" alike). On a malformed argument says why in `why` and returns nothing.
std::optional<CommandBytes> parseCommand(const std::string& text, std::string& why) {
    CommandBytes bytes{};
    std::size_t digits = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (isBlank(ch)) {
            if (digits % 2 != 0) {
                why = "a blank splits a byte";
                return std::nullopt;
            }
            continue;
        }
        const int value = hexDigitValue(ch);
        if (value < 0) {
            why = std::string("'") + ch + "' is not a hex digit";
            return std::nullopt;
        }
        if (digits < 2 * kNavCommandSize) {
            auto& byte = bytes[digits / 2];
            byte = static_cast<std::uint8_t>(byte << 4 | value);
        }
        ++digits;
    }
    if (digits != 2 * kNavCommandSize) {
        why = "it has " + std::to_string(digits) + " hex digits, a command has " +
              std::to_string(2 * kNavCommandSize);
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

int runDecode(const Args& args) {
    if (args.empty()) return fail(kExitUsage, "decode needs at least one HEX command");
    // Every argument is checked before anything is printed, so a usage error prints no text.
    std::vector<CommandBytes> commands;
    for (const auto& arg : args) {
        std::string why;
        auto bytes = parseCommand(arg, why);
        if (!bytes)
            return fail(kExitUsage, "decode: '" + arg + "' is not an 8-byte command: " + why);
        commands.push_back(*bytes);
    }
    for (const auto& bytes : commands) std::printf("%s\n", DecodeNavCommand(bytes.data()).c_str());
    return kExitOk;
}

}  // namespace navtab::cli
