#include "catalog/txd_writer_types.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

#include "catalog/field_types.h"
#include "platform/core/fixed_string.h"
#include "platform/core/text.h"

namespace catalog {
namespace {

using platform::ClipView;

constexpr size_t kMaxDataType = 20;
constexpr int32_t kLongTextSize = 4000;
constexpr int32_t kOracleMaxVarchar = 4001;
// The most digits a DECIMAL or PDECIMAL of the dictionary holds.
constexpr int32_t kMaxDecimalDigits = 31;
// A 64-bit integer needs 20 digits with its sign.
constexpr int32_t kBigintDigits = 20;
// A money type whose driver reports no scale holds cents, in 19 digits (a 64-bit count of
// cents).
constexpr int32_t kMoneyDigits = 19;
constexpr int32_t kMoneyScale = 2;

// ODBC's type codes (DATA_TYPE of SQLColumns), spelled here so that the writer needs no ODBC
// header. The date, time and timestamp codes come in the ODBC 3 form and the older one.
constexpr int32_t kSqlChar = 1;
constexpr int32_t kSqlNumeric = 2;
constexpr int32_t kSqlDecimal = 3;
constexpr int32_t kSqlInteger = 4;
constexpr int32_t kSqlSmallint = 5;
constexpr int32_t kSqlFloat = 6;
constexpr int32_t kSqlReal = 7;
constexpr int32_t kSqlDouble = 8;
constexpr int32_t kSqlDate = 9;
constexpr int32_t kSqlTime = 10;
constexpr int32_t kSqlTimestamp = 11;
constexpr int32_t kSqlVarchar = 12;
constexpr int32_t kSqlTypeDate = 91;
constexpr int32_t kSqlTypeTime = 92;
constexpr int32_t kSqlTypeTimestamp = 93;
constexpr int32_t kSqlLongVarchar = -1;
constexpr int32_t kSqlBinary = -2;
constexpr int32_t kSqlVarbinary = -3;
constexpr int32_t kSqlLongVarbinary = -4;
constexpr int32_t kSqlBigint = -5;
constexpr int32_t kSqlTinyint = -6;
constexpr int32_t kSqlBit = -7;
constexpr int32_t kSqlWchar = -8;
constexpr int32_t kSqlWvarchar = -9;
constexpr int32_t kSqlWlongVarchar = -10;
constexpr int32_t kSqlGuid = -11;

constexpr std::array<std::string_view, 14> kNumberTypes = {
    "NUMERIC", "NUMBER",  "MONEY", "INTEGER", "INT IDENTITY", "IDENTITY", "INT",
    "TINYINT", "DECIMAL", "LONG",  "BYTE",    "SHORT",        "SREAL",    "REAL"};
// Number types that hold floating-point values: a size or scale that no decimal can hold
// makes them REAL.
constexpr std::array<std::string_view, 2> kFloatingNumberTypes = {"SREAL", "REAL"};
constexpr std::array<std::string_view, 4> kFixedTextTypes = {"CHARACTER", "STRING", "CHAR",
                                                             "NCHAR"};
constexpr std::array<std::string_view, 5> kVarTextTypes = {"VARCHAR", "CHARACTER VARYING",
                                                           "VARCHAR2", "NVARCHAR", "CSTRING"};
constexpr std::array<std::string_view, 4> kLongTextTypes = {"TEXT", "NTEXT", "LONGCHAR",
                                                            "LONGBINARY"};
// Names of the one-byte truth type, stored under size and digits 0 as BIT is.
constexpr std::array<std::string_view, 3> kBitTypes = {"BIT", "BOOL", "BOOLEAN"};

template <size_t N>
bool OneOf(std::string_view name, const std::array<std::string_view, N>& names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsIntegerCode(int32_t code) {
  return code == kSqlBit || code == kSqlTinyint || code == kSqlSmallint || code == kSqlInteger ||
         code == kSqlBigint;
}

bool IsFloatingCode(int32_t code) {
  return code == kSqlFloat || code == kSqlReal || code == kSqlDouble;
}

std::string Cut(std::string text) { return std::string(platform::CutUtf8(text, kMaxDataType)); }

// The first "*" of `text` replaced by `value`.
std::string ReplaceAsterisk(std::string text, int32_t value) {
  const size_t star = text.find('*');
  if (star != std::string::npos) text.replace(star, 1, std::to_string(value));
  return Cut(std::move(text));
}

std::string Sized(std::string_view type, int32_t size) {
  return std::string(type) + "(" + std::to_string(size) + ")";
}

std::string Pdecimal(int32_t size, int32_t digits) {
  return "PDECIMAL(" + std::to_string(size) + "," + std::to_string(digits) + ")";
}

// A type name split into its name and its parameter list: "NUMERIC(10,2)" is NUMERIC with
// the numbers 10 and 2. Parameters that are not numbers ("VARCHAR(MAX)") count as none.
struct TypeName {
  std::string base;  // upper case, clipped
  std::vector<int32_t> parameters;
};

TypeName SplitTypeName(std::string_view type_name) {
  const std::string name = platform::Upper(ClipView(type_name));
  const size_t open = name.find('(');
  if (open == std::string::npos) return TypeName{name, {}};
  TypeName split{std::string(ClipView(std::string_view(name).substr(0, open))), {}};
  const size_t close = name.find(')', open);
  std::string_view list = std::string_view(name).substr(
      open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
  while (!list.empty()) {
    const size_t comma = list.find(',');
    std::string_view part = list.substr(0, comma);
    while (part.starts_with(' ')) part.remove_prefix(1);
    part = ClipView(part);
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (ec != std::errc() || end != part.data() + part.size() || value < 0) {
      split.parameters.clear();
      break;
    }
    split.parameters.push_back(value);
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return split;
}

// What the rules decide by: the name without its parameters, and the size and digits, which a
// parameter list gives better than some drivers' own columns do (the SQLite driver reports
// NUMERIC(10,2) with size 2 and every column with 10 digits). An integer has no digits.
struct RuleInput {
  std::string base;
  int32_t code = 0;
  int32_t size = 0;
  int32_t digits = 0;
};

RuleInput RuleInputOf(const SqlColumnType& type) {
  TypeName name = SplitTypeName(type.name);
  RuleInput in{std::move(name.base), type.sql_type, type.size, type.digits};
  if (!name.parameters.empty()) {
    in.size = name.parameters[0];
    in.digits = name.parameters.size() > 1 ? name.parameters[1] : 0;
  }
  if (IsIntegerCode(in.code)) in.digits = 0;
  return in;
}

// A mapping stored under the size and digits as read, so that the next lookup finds it.
BuiltInMapping Mapping(std::string data_type, const SqlColumnType& type, const RuleInput& in) {
  return BuiltInMapping{std::move(data_type), type.size, type.digits, in.size, in.digits};
}

// A rule that stores its mapping under size and digits 0, so that one user mapping serves
// every column of the type. Only the key changes: "*" still stands for the size as read.
BuiltInMapping MappingUnderZeroKey(std::string data_type, const RuleInput& in) {
  return BuiltInMapping{std::move(data_type), 0, 0, in.size, in.digits};
}

// A long text: CSTRING(4001), with "*" standing for 4000.
BuiltInMapping LongText(const SqlColumnType& type, const RuleInput& in) {
  BuiltInMapping m = Mapping(Sized("CSTRING", kLongTextSize + 1), type, in);
  m.column_size = kLongTextSize;
  return m;
}

// A variable text of the column's size; of the long-text size when the source gives none.
BuiltInMapping VariableText(const SqlColumnType& type, const RuleInput& in) {
  if (in.size <= 0) return LongText(type, in);
  return Mapping(Sized("CSTRING", in.size + 1), type, in);
}

// A decimal of `size` and `digits` within what the dictionary holds: 1 to 31 digits, the
// scale never above them. A source that gives no size gets the most.
std::string ClampedPdecimal(int32_t size, int32_t digits) {
  size = size < 1 ? kMaxDecimalDigits : std::min(size, kMaxDecimalDigits);
  digits = std::clamp(digits, 0, size);
  return digits > 0 ? Pdecimal(size, digits) : Sized("PDECIMAL", size);
}

BuiltInMapping NumberRule(const SqlColumnType& type, const RuleInput& in) {
  const int32_t size = in.size;
  const int32_t digits = in.digits;
  const bool fits = size >= 1 && size <= kMaxDecimalDigits && digits <= size;
  if (in.base == "MONEY" && (digits <= 0 || !fits)) {
    // The driver tells nothing of its cents; written as it reports, the money loses them.
    return Mapping(Pdecimal(kMoneyDigits, kMoneyScale), type, in);
  }
  if (digits > 0 || !(size >= 1 && size <= 8)) {
    if (fits) {
      return Mapping(digits > 0 ? Pdecimal(size, digits) : Sized("PDECIMAL", size), type, in);
    }
    if (IsFloatingCode(in.code) || OneOf(in.base, kFloatingNumberTypes)) {
      return Mapping("REAL", type, in);
    }
    return Mapping(ClampedPdecimal(size, digits), type, in);
  }
  if (size == 1) return Mapping("BYTE", type, in);
  if (size <= 4) return Mapping("SHORT", type, in);
  return Mapping("LONG", type, in);
}

// The rules by type name; nullopt for a name they do not know.
std::optional<BuiltInMapping> NameRule(const SqlColumnType& type, const RuleInput& in,
                                       bool oracle) {
  const std::string& name = in.base;
  if (name == "IMAGE") return MappingUnderZeroKey("SKIP", in);
  if (OneOf(name, kBitTypes)) return MappingUnderZeroKey("BYTE", in);
  if (name == "SMALLINT") return MappingUnderZeroKey("SHORT", in);
  if (name == "COUNTER") return MappingUnderZeroKey("LONG", in);
  if (OneOf(name, kNumberTypes)) return NumberRule(type, in);
  if (name == "CURRENCY") {
    const bool fits = in.size >= 1 && in.size <= kMaxDecimalDigits && in.digits <= in.size;
    return Mapping(
        fits ? Pdecimal(in.size, std::max(in.digits, 0)) : ClampedPdecimal(in.size, in.digits),
        type, in);
  }
  if (OneOf(name, kFixedTextTypes)) {
    if (in.size <= 0) return std::nullopt;
    return Mapping(Sized("STRING", in.size), type, in);
  }
  if (OneOf(name, kVarTextTypes)) {
    if (oracle && in.size > kOracleMaxVarchar) {
      RuleInput capped = in;
      capped.size = kOracleMaxVarchar;
      BuiltInMapping m = Mapping(Sized("CSTRING", kOracleMaxVarchar + 1), type, capped);
      m.key_size = kOracleMaxVarchar;
      return m;
    }
    return VariableText(type, in);
  }
  if (OneOf(name, kLongTextTypes)) {
    BuiltInMapping m = LongText(type, in);
    m.key_size = kLongTextSize;
    return m;
  }
  if (name == "DOUBLE" || name == "FLOAT") return Mapping("REAL", type, in);
  if (name == "DATE" || name == "HUGE DATE") return Mapping("DATE", type, in);
  if (name == "TIME") return Mapping("TIME", type, in);
  if (name == "TIMESTAMP" || name == "DATETIME") return Mapping("STRING(8)", type, in);
  return std::nullopt;
}

// The rules by ODBC type code; nullopt for a code they do not know.
std::optional<BuiltInMapping> CodeRule(const SqlColumnType& type, const RuleInput& in) {
  switch (in.code) {
    case kSqlBit:
    case kSqlTinyint:
      return Mapping("BYTE", type, in);
    case kSqlSmallint:
      return Mapping("SHORT", type, in);
    case kSqlInteger:
      return Mapping("LONG", type, in);
    case kSqlBigint:
      return Mapping(Sized("DECIMAL", kBigintDigits), type, in);
    case kSqlNumeric:
    case kSqlDecimal:
      return Mapping(ClampedPdecimal(in.size, in.digits), type, in);
    case kSqlFloat:
    case kSqlReal:
    case kSqlDouble:
      return Mapping("REAL", type, in);
    case kSqlChar:
    case kSqlWchar:
      if (in.size <= 0) return LongText(type, in);
      return Mapping(Sized("STRING", in.size), type, in);
    case kSqlVarchar:
    case kSqlWvarchar:
    case kSqlGuid:
      return VariableText(type, in);
    case kSqlLongVarchar:
    case kSqlWlongVarchar:
    // Binary values are held as the long binary type of the rules is: as a long text.
    case kSqlBinary:
    case kSqlVarbinary:
    case kSqlLongVarbinary:
      return LongText(type, in);
    case kSqlDate:
    case kSqlTypeDate:
      return Mapping("DATE", type, in);
    case kSqlTime:
    case kSqlTypeTime:
      return Mapping("TIME", type, in);
    case kSqlTimestamp:
    case kSqlTypeTimestamp:
      return Mapping("STRING(8)", type, in);
    default:
      return std::nullopt;
  }
}

}  // namespace

bool IsTimestampCode(int32_t sql_type) {
  return sql_type == kSqlTimestamp || sql_type == kSqlTypeTimestamp;
}

BuiltInMapping BuiltInFieldType(const SqlColumnType& type, bool oracle) {
  const RuleInput in = RuleInputOf(type);
  if (std::optional<BuiltInMapping> m = NameRule(type, in, oracle)) return *std::move(m);
  if (std::optional<BuiltInMapping> m = CodeRule(type, in)) return *std::move(m);
  // Neither name nor code tells (an untyped SQLite column has neither): any value can be
  // read as a text.
  return VariableText(type, in);
}

std::optional<std::string> ColumnDataType(const SqlColumnType& type, bool oracle) {
  std::string data_type;
  FTC.ODBCFIELDTYPE = platform::Upper(ClipView(type.name));
  FTC.COLUMNSIZE = type.size;
  FTC.DECIMALDIGITS = type.digits;
  int32_t star_size = type.size;
  int32_t star_digits = type.digits;
  if (FieldTypesQueue.GetByKey(FieldTypesKey())) {
    data_type = FTC.CLARIONFIELDTYPE.str();
    // A stored mapping's "*" stands for the size and digits the type name gives, where it
    // gives them.
    const RuleInput in = RuleInputOf(type);
    star_size = in.size;
    star_digits = in.digits;
  } else {
    const BuiltInMapping rule = BuiltInFieldType(type, oracle);
    star_size = rule.column_size;
    star_digits = rule.column_digits;
    AddCustomFieldType(type.name, rule.data_type, rule.key_size, rule.key_digits);
    data_type = FTC.CLARIONFIELDTYPE.str();
  }
  data_type = Cut(std::move(data_type));
  if (ClipView(platform::Upper(data_type)) == "SKIP") return std::nullopt;
  if (data_type.find('*') != std::string::npos) {
    data_type = ReplaceAsterisk(std::move(data_type), star_size);
    data_type = ReplaceAsterisk(std::move(data_type), star_digits);
  }
  return data_type;
}

}  // namespace catalog
