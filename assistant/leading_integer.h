// How the assistant reads a number from a text (a stored setting, a value the character
// control answers): the text's leading decimal integer, a fraction dropped; a text that is no
// number gives 0.
//
//   LeadingInteger(" 12.7")   // 12
//   LeadingInteger("-3px")    // -3
//   LeadingInteger("abc")     // 0
#pragma once

#include <cstdint>
#include <string_view>

namespace assistant {

// Leading blanks are skipped; a sign may come before the digits. Beyond the range of 64 bits
// the value stays at the nearest end.
int64_t LeadingInteger(std::string_view text);

}  // namespace assistant
