#include "platform/core/text.h"

#include <algorithm>

#include "platform/core/fixed_string.h"
#include "platform/core/number.h"

namespace platform {
namespace {

// The characters of codes 80h-9Fh in Windows-1252; 0 where it assigns none.
constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

std::string Clip(std::string_view text) { return std::string(ClipView(text)); }

std::string Sub(std::string_view text, int64_t start, int64_t length) {
  const int64_t size = static_cast<int64_t>(text.size());
  if (length <= 0) return {};
  if (start < 0) start = size + start + 1;
  // Cut the requested range [start, start + length) to the bytes 1..size. Each step keeps
  // the arithmetic inside int64_t, whatever the arguments.
  if (start < 1) {
    if (length <= 1 - start) return {};
    length -= 1 - start;
    start = 1;
  }
  if (start > size) return {};
  const int64_t first = start;
  const int64_t end = length > size + 1 - start ? size + 1 : start + length;  // exclusive
  return std::string(text.substr(static_cast<size_t>(first - 1), static_cast<size_t>(end - first)));
}

std::string Left(std::string_view text, int64_t length) {
  const size_t size = length < 0 ? text.size() : static_cast<size_t>(length);
  const size_t lead = std::min(text.find_first_not_of(' '), text.size());
  std::string out(CutUtf8(text.substr(lead), size));
  out.resize(size, ' ');
  return out;
}

std::string All(std::string_view text, int64_t length) {
  if (text.empty() || length <= 0) return {};
  const size_t size = static_cast<size_t>(length);
  std::string out;
  out.reserve(size);
  while (out.size() + text.size() <= size) out.append(text);
  out.append(CutUtf8(text, size - out.size()));
  return out;
}

int64_t InString(std::string_view sub, std::string_view text, int64_t step, int64_t start) {
  if (sub.empty() || step < 1) return 0;
  if (start < 1) start = 1;
  const int64_t size = static_cast<int64_t>(text.size());
  const int64_t sub_size = static_cast<int64_t>(sub.size());
  for (int64_t pos = start; pos + sub_size - 1 <= size; pos += step) {
    if (text.compare(static_cast<size_t>(pos - 1), sub.size(), sub) == 0) {
      return (pos - 1) / step + 1;
    }
    if (pos > size - step) break;  // the next step would overflow or pass the end
  }
  return 0;
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

int64_t Len(std::string_view text) { return static_cast<int64_t>(text.size()); }

bool Numeric(std::string_view text) { return ParseNumber(text).has_value(); }

int64_t InList(std::string_view needle, std::span<const std::string_view> list) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (TextEqual(needle, list[i])) return static_cast<int64_t>(i) + 1;
  }
  return 0;
}

int64_t InList(std::string_view needle, std::initializer_list<std::string_view> list) {
  return InList(needle, std::span<const std::string_view>(list.begin(), list.size()));
}

std::string Chr(int64_t code) {
  if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
  char32_t c = static_cast<char32_t>(code);
  if (code >= 0x80 && code <= 0x9F) {
    c = kWindows1252High[code - 0x80];
    if (c == 0) return {};
  }
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

}  // namespace platform
