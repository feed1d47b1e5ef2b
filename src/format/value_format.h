// printf-style formatting of one value with a format text that comes from the describers' tables.
// Only the conversions the field list uses are understood (d i u x X c s and %%); anything else is
// copied literally, so no format text can ever read an argument that is not there.
#pragma once

#include <string>
#include <string_view>

namespace navtab {

// Every conversion takes `value`: d and i as a signed 32-bit number (so 0xFFFFFFFF shows as -1),
// u, x and X as unsigned 32-bit, c as a character; s prints nothing.
std::string formatWithInt(std::string_view format, long long value);

// Every s conversion takes `text` (width, precision and '-' honoured); numeric ones print nothing.
std::string formatWithText(std::string_view format, std::string_view text);

}  // namespace navtab
