#include "catalog/make_label.h"

#include <array>
#include <cstdint>
#include <string>

#include "platform/core/fixed_string.h"
#include "platform/core/text.h"

namespace catalog {
namespace {

constexpr size_t kMaxLabelInput = 4999;
constexpr size_t kOracleNameLength = 30;
// Column names the Oracle rules set apart with an underscore, because they are words of the
// dictionary's language.
constexpr std::array<std::string_view, 6> kOracleReservedNames = {"DATE", "TIME",  "ORDER",
                                                                  "USER", "GROUP", "COMMENT"};

bool IsAsciiLetter(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); }
bool IsAsciiDigit(char ch) { return ch >= '0' && ch <= '9'; }

// The length of the UTF-8 character that starts at `at`; 0 when the bytes there are none.
size_t Utf8SequenceLength(std::string_view text, size_t at) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(at);
  size_t length = 0;
  uint32_t code = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(at + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(at + k) & 0x3F);
  }
  // Overlong forms, surrogates and codes past U+10FFFF are no characters.
  if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
      (code >= 0xD800 && code <= 0xDFFF)) {
    return 0;
  }
  return length;
}

std::string OracleName(std::string_view name) {
  return platform::Upper(platform::CutUtf8(name, kOracleNameLength));
}

}  // namespace

std::string MakeLabel(std::string_view name) {
  const std::string_view clipped = platform::ClipView(platform::CutUtf8(name, kMaxLabelInput));
  std::string label;
  label.reserve(clipped.size());
  for (size_t i = 0; i < clipped.size();) {
    const char ch = clipped[i];
    if (IsAsciiLetter(ch) || IsAsciiDigit(ch) || ch == '_') {
      label += ch;
      ++i;
      continue;
    }
    // One underscore for each character a label cannot hold; a byte that begins no UTF-8
    // character counts as one.
    label += '_';
    const size_t length = Utf8SequenceLength(clipped, i);
    i += length == 0 ? 1 : length;
  }
  if (!label.empty() && IsAsciiDigit(label.front())) label.insert(label.begin(), '_');
  return label;
}

std::string ColumnLabel(std::string_view column_name, bool oracle) {
  if (!oracle) return MakeLabel(column_name);
  std::string name = OracleName(column_name);
  const std::string_view clipped = platform::ClipView(name);
  for (std::string_view reserved : kOracleReservedNames) {
    if (clipped == reserved) return MakeLabel(std::string(clipped) + "_");
  }
  return MakeLabel(name);
}

std::string TableLabel(std::string_view table_name, bool oracle) {
  std::string label = MakeLabel(table_name);
  return oracle ? OracleName(label) : label;
}

std::string QuoteTxd(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    const size_t length = byte < 0x80 ? 1 : Utf8SequenceLength(text, i);
    if (byte < 0x20 || byte == 0x7F || length == 0) {
      // A control character, or a byte of no UTF-8 character: its code, so that the text
      // names what the source holds and stays on its line.
      out += '<' + std::to_string(byte) + '>';
      ++i;
      continue;
    }
    const char ch = text[i];
    out.append(text.substr(i, length));
    if (ch == '\'' || ch == '{' || ch == '<') out += ch;
    i += length;
  }
  return out;
}

bool IsOracleDriver(std::string_view driver) { return platform::ClipView(driver) == "ORACLE"; }

}  // namespace catalog
