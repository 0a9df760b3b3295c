// Column indents of a list: the "(n)" after a column's width and alignment in the list's
// format ("80L(2)|M~Owner~@s40@") moves its text n dialog units in from the side it is
// aligned to. The window model keeps the format as written; the indent is only drawn.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform::qt {

// The indent of each column of `format`, in dialog units, 0 where none is given; one entry
// per column, in the order the window model numbers them.
std::vector<int32_t> ColumnIndents(std::string_view format);

}  // namespace platform::qt
