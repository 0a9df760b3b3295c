#include "platform/files/odbc/connect_string.h"

#include <vector>

namespace platform::files {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits at the semicolons outside braces. Inside braces, `}}` is an escaped brace and does
// not close the value.
std::vector<std::string_view> SplitPairs(std::string_view text) {
  std::vector<std::string_view> pairs;
  size_t start = 0;
  bool in_braces = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_braces) {
      if (c == '}') {
        if (i + 1 < text.size() && text[i + 1] == '}') {
          ++i;
        } else {
          in_braces = false;
        }
      }
    } else if (c == '{') {
      in_braces = true;
    } else if (c == ';') {
      pairs.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  pairs.push_back(text.substr(start));
  return pairs;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsKeyChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsSecretKey(std::string_view key_part) {
  key_part = TrimBlanks(key_part);
  size_t start = key_part.size();
  while (start > 0 && IsKeyChar(key_part[start - 1])) --start;
  std::string key;
  for (char c : key_part.substr(start)) key += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  return key == "PWD" || key == "PASSWORD";
}

constexpr std::string_view kMasked = "*****";

}  // namespace

std::string MaskPasswords(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool first = true;
  for (std::string_view pair : SplitPairs(text)) {
    if (!first) out += ';';
    first = false;
    const size_t eq = pair.find('=');
    if (eq == std::string_view::npos || !IsSecretKey(pair.substr(0, eq))) {
      out += pair;
      continue;
    }
    out += pair.substr(0, eq + 1);
    if (!TrimBlanks(pair.substr(eq + 1)).empty()) out += kMasked;
  }
  return out;
}

std::string NormalizeConnectString(std::string_view connect) {
  std::string out;
  out.reserve(connect.size());
  bool first = true;
  for (std::string_view pair : SplitPairs(connect)) {
    if (!first) out += ';';
    first = false;
    out += TrimBlanks(pair);
  }
  return out;
}

}  // namespace platform::files
