#include "platform/core/number.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

std::optional<double> ParseNumber(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  text = text.substr(b, e - b);
  if (text.empty()) return std::nullopt;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  // Digits, an optional point and digits; at least one digit. No exponent, no hex.
  size_t digits = 0;
  bool point = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  double value = 0;
  auto [ptr, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  return negative ? -value : value;
}

double TextToNumber(std::string_view text) { return ParseNumber(text).value_or(0.0); }

std::string NumberToText(double value) {
  if (std::isnan(value) || std::isinf(value)) return "0";
  if (value == 0) return "0";  // also -0
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    char buf[32];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value));
    (void)ec;
    return std::string(buf, ptr);
  }
  // 15 significant digits, written in fixed notation without trailing zeros.
  char buf[400];
  const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  if (magnitude >= 15) {
    // Beyond 15 digits the double's own digits mean nothing: write the 15 significant
    // ones and fill the rest of the whole number with zeros.
    std::snprintf(buf, sizeof buf, "%.14e", value);
    std::string out;
    for (const char* p = buf; *p != 'e'; ++p) {
      if (*p != '.') out += *p;
    }
    const int exponent = std::atoi(std::strchr(buf, 'e') + 1);
    const size_t digits = out.size() - (value < 0 ? 1 : 0);
    out.append(static_cast<size_t>(exponent + 1) - digits, '0');
    return out;
  }
  int decimals = 14 - magnitude;
  if (decimals < 0) decimals = 0;
  if (decimals > 330) decimals = 330;
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  std::string out(buf);
  if (out.find('.') != std::string::npos) {
    while (!out.empty() && out.back() == '0') out.pop_back();
    if (!out.empty() && out.back() == '.') out.pop_back();
  }
  // Returning a fresh text here also keeps GCC 12 from a false -Wrestrict on the assignment.
  if (out == "-0") return "0";
  return out;
}

}  // namespace platform
