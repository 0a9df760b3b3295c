#include "platform/qt/list_indent.h"

namespace platform::qt {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The end of the part that opens with `open` at `i` and closes with `close`; the format's
// end when it does not close.
size_t Skip(std::string_view f, size_t i, char close) {
  const size_t end = f.find(close, i + 1);
  return end == std::string_view::npos ? f.size() : end + 1;
}

}  // namespace

std::vector<int32_t> ColumnIndents(std::string_view f) {
  // Columns start where the window model's format reader starts them: at a width, outside
  // headers, pictures, field numbers and bracketed parts.
  std::vector<int32_t> indents;
  size_t i = 0;
  while (i < f.size()) {
    if (!IsDigit(f[i])) {
      ++i;
      continue;
    }
    while (i < f.size() && IsDigit(f[i])) ++i;
    if (i < f.size() && IsLetter(f[i])) ++i;
    int32_t indent = 0;
    if (i < f.size() && f[i] == '(') {
      const size_t end = Skip(f, i, ')');
      for (size_t j = i + 1; j < end && IsDigit(f[j]); ++j) indent = indent * 10 + (f[j] - '0');
      i = end;
    }
    indents.push_back(indent);
    while (i < f.size() && !IsDigit(f[i]) && f[i] != '[' && f[i] != ']') {
      switch (f[i]) {
        case '(':
          i = Skip(f, i, ')');
          break;
        case '~':
          i = Skip(f, i, '~');
          if (i < f.size() && IsLetter(f[i])) ++i;  // the header's alignment
          break;
        case '@':
          i = Skip(f, i, '@');
          break;
        case '#':
          i = Skip(f, i, '#');
          break;
        default:
          ++i;
      }
    }
  }
  return indents;
}

}  // namespace platform::qt
