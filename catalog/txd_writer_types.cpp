#include "catalog/txd_writer_types.h"

#include <array>

#include "catalog/field_types.h"
#include "catalog/make_label.h"
#include "platform/core/fixed_string.h"
#include "platform/core/text.h"

namespace catalog {
namespace {

using platform::ClipView;

constexpr size_t kMaxDataType = 20;
constexpr int32_t kLongTextSize = 4000;
constexpr int32_t kOracleMaxVarchar = 4001;

constexpr std::array<std::string_view, 14> kNumberTypes = {
    "NUMERIC", "NUMBER",  "MONEY", "INTEGER", "INT IDENTITY", "IDENTITY", "INT",
    "TINYINT", "DECIMAL", "LONG",  "BYTE",    "SHORT",        "SREAL",    "REAL"};
constexpr std::array<std::string_view, 4> kFixedTextTypes = {"CHARACTER", "STRING", "CHAR",
                                                             "NCHAR"};
constexpr std::array<std::string_view, 5> kVarTextTypes = {"VARCHAR", "CHARACTER VARYING",
                                                           "VARCHAR2", "NVARCHAR", "CSTRING"};
constexpr std::array<std::string_view, 4> kLongTextTypes = {"TEXT", "NTEXT", "LONGCHAR",
                                                            "LONGBINARY"};

template <size_t N>
bool OneOf(std::string_view name, const std::array<std::string_view, N>& names) {
  for (std::string_view n : names) {
    if (name == n) return true;
  }
  return false;
}

std::string Cut(std::string text) { return std::string(platform::CutUtf8(text, kMaxDataType)); }

// The first "*" of `text` replaced by `value`.
std::string ReplaceAsterisk(std::string text, int32_t value) {
  const size_t star = text.find('*');
  if (star != std::string::npos) text.replace(star, 1, std::to_string(value));
  return Cut(std::move(text));
}

BuiltInMapping Mapping(std::string data_type, int32_t size, int32_t digits) {
  return BuiltInMapping{std::move(data_type), size, digits, size};
}

// A rule that stores its mapping under size and digits 0, so that one user mapping serves
// every column of the type. Only the key changes: "*" still stands for the size as read.
BuiltInMapping MappingUnderZeroKey(std::string data_type, int32_t size) {
  return BuiltInMapping{std::move(data_type), 0, 0, size};
}

std::string Pdecimal(int32_t size, int32_t digits) {
  return "PDECIMAL(" + std::to_string(size) + "," + std::to_string(digits) + ")";
}

BuiltInMapping VariableText(int32_t size, int32_t digits) {
  return Mapping("CSTRING(" + std::to_string(size + 1) + ")", size, digits);
}

}  // namespace

BuiltInMapping BuiltInFieldType(std::string_view type_name, int32_t size, int32_t digits,
                                bool oracle) {
  const std::string_view clipped = ClipView(type_name);
  const std::string name = platform::Upper(clipped);
  if (name == "IMAGE") return MappingUnderZeroKey("SKIP", size);
  if (name == "BIT") return MappingUnderZeroKey("BYTE", size);
  if (name == "SMALLINT") return MappingUnderZeroKey("SHORT", size);
  if (name == "COUNTER") return MappingUnderZeroKey("LONG", size);
  if (OneOf(name, kNumberTypes)) {
    if (digits > 0) return Mapping(Pdecimal(size, digits), size, digits);
    if (size == 1) return Mapping("BYTE", size, digits);
    if (size >= 2 && size <= 4) return Mapping("SHORT", size, digits);
    if (size >= 5 && size <= 8) return Mapping("LONG", size, digits);
    return Mapping("PDECIMAL(" + std::to_string(size) + ")", size, digits);
  }
  if (name == "CURRENCY") return Mapping(Pdecimal(size, digits), size, digits);
  if (OneOf(name, kFixedTextTypes)) {
    return Mapping("STRING(" + std::to_string(size) + ")", size, digits);
  }
  if (OneOf(name, kVarTextTypes)) {
    if (oracle && size > kOracleMaxVarchar) size = kOracleMaxVarchar;
    return VariableText(size, digits);
  }
  // A column without a type name (an untyped SQLite column) can hold any text: it is read
  // as a variable text of its size, or of the long-text size when it has none. Written as
  // its own empty name the field line would have no type at all.
  if (OneOf(name, kLongTextTypes) || (name.empty() && size <= 0)) {
    return VariableText(kLongTextSize, digits);
  }
  if (name.empty()) return VariableText(size, digits);
  if (name == "DOUBLE" || name == "FLOAT") return Mapping("REAL", size, digits);
  if (name == "DATE" || name == "HUGE DATE") return Mapping("DATE", size, digits);
  if (name == "TIME") return Mapping("TIME", size, digits);
  if (name == "TIMESTAMP" || name == "DATETIME") return Mapping("STRING(8)", size, digits);
  return Mapping(std::string(clipped), size, digits);
}

std::optional<std::string> ColumnDataType(std::string_view type_name, int32_t size, int32_t digits,
                                          bool oracle) {
  std::string type;
  int32_t star_size = size;
  FTC.ODBCFIELDTYPE = platform::Upper(ClipView(type_name));
  FTC.COLUMNSIZE = size;
  FTC.DECIMALDIGITS = digits;
  if (FieldTypesQueue.GetByKey(FieldTypesKey())) {
    type = FTC.CLARIONFIELDTYPE.str();
  } else {
    const BuiltInMapping rule = BuiltInFieldType(type_name, size, digits, oracle);
    star_size = rule.column_size;
    AddCustomFieldType(type_name, rule.data_type, rule.key_size, rule.key_digits);
    type = FTC.CLARIONFIELDTYPE.str();
  }
  type = Cut(std::move(type));
  if (ClipView(platform::Upper(type)) == "SKIP") return std::nullopt;
  if (type.find('*') != std::string::npos) {
    type = ReplaceAsterisk(std::move(type), star_size);
    type = ReplaceAsterisk(std::move(type), digits);
  }
  return type;
}

}  // namespace catalog
