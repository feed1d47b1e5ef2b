// Names of the ISO 639 language codes that DVD attribute records carry.
#pragma once

#include <cstdint>
#include <string_view>

namespace navtab {

// `code` is first letter * 256 + second letter. An unknown code gives the empty text and one line
// on standard error naming the two code bytes.
std::string_view LanguageName(std::uint16_t code);

}  // namespace navtab
