// Names of the item codes of the text items in VMG_TXTDT_MG (volume, title, chapter ...).
#pragma once

#include <string_view>

namespace navtab {

// The name of item code 0x00 to 0xFE; codes without a name, and any code outside that range
// (0xFF included), give the empty text. No name contains a percent sign.
std::string_view TextItemName(int code);

}  // namespace navtab
