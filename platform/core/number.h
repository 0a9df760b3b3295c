// Numbers as the runtime reads them from text and writes them as text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The number `text` holds: an optional sign, digits with an optional fraction, blanks around
// it ignored. nullopt when the text is not a number (the empty text included).
std::optional<double> ParseNumber(std::string_view text);

// The runtime's conversion of a text used as a number: its value, or 0 when it is none.
double TextToNumber(std::string_view text);

// A number as the runtime writes it: integers without a fraction, other values with up to
// 15 significant digits and no trailing zeros, never an exponent for ordinary magnitudes.
std::string NumberToText(double value);

}  // namespace platform
