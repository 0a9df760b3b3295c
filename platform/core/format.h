// FORMAT and DEFORMAT: a value written with one of the runtime's display pictures, and back.
// A picture may be written with or without its leading "@", in either case ("@n10.2", "N5").
//   @s<n>      text of n bytes: cut on a character boundary, blank-padded
//   @n...      numbers: width, decimals, fill, grouping, signs, currency, blank-when-zero
//   @d<n>      dates (the runtime's date number), layouts 1 to 18
//   @t<n>      times (the runtime's time number), layouts 1 to 8
// format.cpp describes each picture's options and layouts.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// FORMAT: `value` written with `picture`. A numeric picture reads `value` as TextToNumber
// does; a date or time picture reads its whole number. A number too wide for the picture's
// width gives that width of "#". A date or time of 0 (or out of range) gives blanks of the
// picture's width. An unknown or malformed picture answers `value` unchanged.
std::string Format(std::string_view value, std::string_view picture);

// DEFORMAT: the value that `text`, written with `picture`, stands for, as text: the number
// (without grouping, currency or padding) for @n, the date or time number for @d and @t
// ("0" when `text` is not a date or time of that layout), `text` itself for @s and for an
// unknown picture.
std::string Deformat(std::string_view text, std::string_view picture);

}  // namespace platform
