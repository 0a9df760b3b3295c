#include "catalog/make_label.h"

#include <array>

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

std::string OracleName(std::string_view name) {
  return platform::Upper(platform::CutUtf8(name, kOracleNameLength));
}

}  // namespace

std::string MakeLabel(std::string_view name) {
  std::string label(platform::ClipView(platform::CutUtf8(name, kMaxLabelInput)));
  for (char& ch : label) {
    switch (ch) {
      case '/':
      case '\'':
      case '-':
      case '$':
      case ' ':
      case ',':
      case '\\':
      // A line break would end the declaration the label starts.
      case '\r':
      case '\n':
        ch = '_';
        break;
      default:
        break;
    }
  }
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
  for (char ch : text) {
    out += ch;
    if (ch == '\'' || ch == '{' || ch == '<') out += ch;
  }
  return out;
}

bool IsOracleDriver(std::string_view driver) { return platform::ClipView(driver) == "ORACLE"; }

}  // namespace catalog
