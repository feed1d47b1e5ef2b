// Text as a JSON string literal. Bytes that are not valid UTF-8 (a disc's Latin-1 provider name,
// say) are taken as Latin-1 characters, so the output is always valid JSON.
#pragma once

#include <string>
#include <string_view>

namespace navtab {

std::string jsonString(std::string_view text);

}  // namespace navtab
