#include "platform/core/format.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "platform/core/clock.h"
#include "platform/core/fixed_string.h"
#include "platform/core/number.h"

// The pictures, as this runtime reads them (letters in either case, "@" optional):
//
// @s<n>  The text in exactly n bytes: cut on a UTF-8 boundary, then blank-padded.
//
// @n[currency][sign][fill]<width>[grouping][places][sign][currency][b]
//   currency  "$" or a text between tildes ("~EUR ~"), written where the picture has it.
//   sign      leading "-" or "(", trailing "-" or ")". "(" or ")" writes a negative number in
//             parentheses; a trailing "-" writes the minus after the number. A picture with a
//             trailing sign leaves a blank in that place for a number that is not negative,
//             so the digits of a column line up. A picture without a sign still writes a
//             leading "-" for a negative number: dropping the sign would show a different
//             number.
//   fill      "0" leading zeros (after any currency and sign), "*" leading asterisks, "_" or
//             none leading blanks.
//   width     the whole width in bytes, every sign, separator and currency included. The
//             result is right-justified in it; a result that does not fit is width times "#".
//   grouping  thousands separator: "." period, "-" hyphen (only before the places), "_"
//             blank. Without one, a comma, except after the fill "0" or "_", which group
//             nothing unless a separator is given.
//   places    the decimal separator and the number of decimals: ".2" period, "'2" comma,
//             "v2" implied (the digits without a separator). Without places, no decimals.
//   b         blank when the (rounded) value is zero.
//   The value is rounded to the places half away from zero on its decimal digits, so 2.675
//   with two places is 2.68. A value that is not a number counts as 0.
//
// @d[0]<n>[separator][<|> range][b] with the date number (1 = 29 December 1800):
//   1 mm/dd/yy   2 mm/dd/yyyy   3 MMM dd,yyyy   4 Month dd, yyyy   5 dd/mm/yy   6 dd/mm/yyyy
//   7 dd MMM yy  8 dd MMM yyyy  9 yy/mm/dd     10 yyyy/mm/dd      11 yymmdd    12 yyyymmdd
//   13 mm/yy     14 mm/yyyy     15 yy/mm       16 yyyy/mm
//   17 and 18 are the system's short and long date; this runtime writes them as 2 and 4.
//   The field a layout begins with (day or month, and the day after a month name) has no
//   leading zero unless the picture has the "0" ("@d01" gives 01/05/26, "@d1" 1/05/26); the
//   other fields always have two digits. MMM is the upper-case abbreviation ("JAN"), Month
//   the English name. The separator replaces "/": "." period, "'" comma, "-" hyphen, "_"
//   blank. The range only matters when two-digit years are read back.
//
// @t[0]<n>[separator][b] with the time number (1 = midnight, in hundredths plus 1):
//   1 hh:mm   2 hhmm   3 hh:mmXM   4 hh:mm:ss   5 hhmmss   6 hh:mm:ssXM
//   7 and 8 are the system's short and long time; this runtime writes them as 1 and 4.
//   XM is "AM" or "PM" with a 12-hour clock. The leading hour has no leading zero unless the
//   picture has the "0"; hhmm and hhmmss always have every digit. Hours are not wrapped at
//   24 in the 24-hour layouts, so a duration keeps its hours.
//
// A date or time of 0 or out of range is written as blanks of the layout's width.
//
// DEFORMAT reads the same layouts back. Two-digit years fall in the hundred years that end
// twenty years after the current year.

namespace platform {
namespace {

constexpr int kMaxPictureNumber = 65535;

constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

constexpr std::array<std::string_view, 12> kMonthAbbreviations = {
    "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// Date layouts, by picture number. Tokens: M/D month/day with the picture's leading-zero
// rule, m/d always two digits, y two-digit year, Y four-digit year, a month abbreviation,
// f month name, '/' the separator; anything else is written as it is.
struct Layout {
  std::string_view tokens;
  int width;
};
constexpr std::array<Layout, 16> kDateLayouts = {{{"M/d/y", 8},
                                                  {"M/d/Y", 10},
                                                  {"a D,Y", 11},
                                                  {"f D, Y", 18},
                                                  {"D/m/y", 8},
                                                  {"D/m/Y", 10},
                                                  {"D a y", 9},
                                                  {"D a Y", 11},
                                                  {"y/m/d", 8},
                                                  {"Y/m/d", 10},
                                                  {"ymd", 6},
                                                  {"Ymd", 8},
                                                  {"M/y", 5},
                                                  {"M/Y", 7},
                                                  {"y/m", 5},
                                                  {"Y/m", 7}}};

// Time layouts: H hour with the leading-zero rule, h hour with two digits, m minutes,
// s seconds, ':' the separator, X "AM"/"PM" (and a 12-hour clock).
constexpr std::array<Layout, 6> kTimeLayouts = {
    {{"H:m", 5}, {"hm", 4}, {"H:mX", 7}, {"H:m:s", 8}, {"hms", 6}, {"H:m:sX", 10}}};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool StartsWithDigit(std::string_view p) { return !p.empty() && IsDigit(p[0]); }

// Reads a picture number at the start of `p`. nullopt when there is no digit. Stops before
// it would pass kMaxPictureNumber, so an absurd number leaves digits behind and the picture
// counts as malformed.
std::optional<int> ReadNumber(std::string_view& p) {
  int value = 0;
  size_t n = 0;
  while (n < p.size() && IsDigit(p[n]) && value <= kMaxPictureNumber / 10) {
    value = value * 10 + (p[n] - '0');
    ++n;
  }
  if (n == 0) return std::nullopt;
  p.remove_prefix(n);
  return value;
}

// The picture without its "@", and its kind in lower case (0 when there is none).
char PictureKind(std::string_view& picture) {
  if (!picture.empty() && picture[0] == '@') picture.remove_prefix(1);
  if (picture.empty()) return 0;
  const char kind = LowerAscii(picture[0]);
  picture.remove_prefix(1);
  return kind;
}

// ----- @s -----

std::optional<int> ParseStringPicture(std::string_view p) {
  std::optional<int> width = ReadNumber(p);
  if (!width || !p.empty()) return std::nullopt;
  return width;
}

// ----- @n -----

struct NumericPicture {
  std::string currency_before;
  std::string currency_after;
  bool sign_first = false;  // the leading sign comes before the leading currency
  char sign_before = 0;     // '-', '(' or 0
  char sign_after = 0;      // '-', ')' or 0
  char fill = 0;            // '0', '*', or 0 for blanks
  int width = 0;
  char grouping = 0;      // the separator written between thousands, 0 for none
  char decimal_mark = 0;  // '.', ',' or 0 (implied)
  int decimals = 0;
  bool blank_when_zero = false;
};

// Reads "$" or "~text~" into `out`. False when a tilde text is not closed.
bool ReadCurrency(std::string_view& p, std::string& out) {
  if (p.empty()) return true;
  if (p[0] == '$') {
    out.assign(1, '$');
    p.remove_prefix(1);
  } else if (p[0] == '~') {
    const size_t end = p.find('~', 1);
    if (end == std::string_view::npos) return false;
    out = std::string(p.substr(1, end - 1));
    p.remove_prefix(end + 1);
  }
  return true;
}

bool IsPlacesAt(std::string_view p, size_t i) {
  return i + 1 < p.size() && (p[i] == '.' || p[i] == '\'' || LowerAscii(p[i]) == 'v') &&
         IsDigit(p[i + 1]);
}

std::optional<NumericPicture> ParseNumericPicture(std::string_view p) {
  NumericPicture n;
  if (!ReadCurrency(p, n.currency_before)) return std::nullopt;
  if (!p.empty() && (p[0] == '-' || p[0] == '(')) {
    n.sign_before = p[0];
    n.sign_first = n.currency_before.empty();
    p.remove_prefix(1);
    if (n.currency_before.empty() && !ReadCurrency(p, n.currency_before)) return std::nullopt;
  }
  // The fill "0" and "_" turn the default comma grouping off.
  n.grouping = ',';
  if (p.size() >= 2 && (p[0] == '0' || p[0] == '_' || p[0] == '*') && IsDigit(p[1])) {
    if (p[0] != '*') n.grouping = 0;
    n.fill = p[0] == '_' ? 0 : p[0];
    p.remove_prefix(1);
  }
  const std::optional<int> width = ReadNumber(p);
  if (!width) return std::nullopt;
  n.width = *width;
  if (!p.empty()) {
    if (p[0] == '.' && !StartsWithDigit(p.substr(1))) {
      n.grouping = '.';
      p.remove_prefix(1);
    } else if (p[0] == '_') {
      n.grouping = ' ';
      p.remove_prefix(1);
    } else if (p[0] == '-' && IsPlacesAt(p, 1)) {
      n.grouping = '-';
      p.remove_prefix(1);
    }
  }
  if (IsPlacesAt(p, 0)) {
    n.decimal_mark = p[0] == '.' ? '.' : p[0] == '\'' ? ',' : 0;
    p.remove_prefix(1);
    n.decimals = *ReadNumber(p);
  }
  if (!p.empty() && (p[0] == '-' || p[0] == ')')) {
    n.sign_after = p[0];
    p.remove_prefix(1);
  }
  if (!ReadCurrency(p, n.currency_after)) return std::nullopt;
  if (!p.empty() && LowerAscii(p[0]) == 'b') {
    n.blank_when_zero = true;
    p.remove_prefix(1);
  }
  if (!p.empty()) return std::nullopt;
  return n;
}

// A number as its decimal digits, so rounding works on what was written, not on a binary
// approximation of it.
struct Decimal {
  bool negative = false;
  std::string whole = "0";  // no leading zeros, at least one digit
  std::string fraction;
};

Decimal ToDecimal(std::string_view value) {
  Decimal d;
  if (!ParseNumber(value)) return d;  // not a number: 0
  size_t b = value.find_first_not_of(" \t");
  size_t e = value.find_last_not_of(" \t");
  value = value.substr(b, e - b + 1);
  if (value[0] == '-' || value[0] == '+') {
    d.negative = value[0] == '-';
    value.remove_prefix(1);
  }
  const size_t point = value.find('.');
  std::string_view whole = value.substr(0, point);
  if (point != std::string_view::npos) d.fraction = std::string(value.substr(point + 1));
  while (!whole.empty() && whole[0] == '0') whole.remove_prefix(1);
  if (!whole.empty()) d.whole = std::string(whole);
  return d;
}

// Rounds `d` to exactly `decimals` fraction digits, half away from zero.
void RoundTo(Decimal& d, size_t decimals) {
  if (d.fraction.size() <= decimals) {
    d.fraction.resize(decimals, '0');
  } else {
    const bool up = d.fraction[decimals] >= '5';
    d.fraction.resize(decimals);
    if (up) {
      std::string digits = d.whole + d.fraction;
      size_t i = digits.size();
      while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
      if (i == 0) {
        digits.insert(digits.begin(), '1');
      } else {
        ++digits[i - 1];
      }
      d.whole = digits.substr(0, digits.size() - decimals);
      d.fraction = digits.substr(digits.size() - decimals);
    }
  }
  if (d.whole.find_first_not_of('0') == std::string::npos &&
      d.fraction.find_first_not_of('0') == std::string::npos) {
    d.negative = false;  // no "-0"
  }
}

bool IsZero(const Decimal& d) {
  return d.whole == "0" && d.fraction.find_first_not_of('0') == std::string::npos;
}

std::string FormatNumber(std::string_view value, const NumericPicture& n) {
  const size_t width = static_cast<size_t>(n.width);
  Decimal d = ToDecimal(value);
  RoundTo(d, static_cast<size_t>(n.decimals));
  if (n.blank_when_zero && IsZero(d)) return std::string(width, ' ');

  std::string body;
  for (size_t i = 0; i < d.whole.size(); ++i) {
    if (n.grouping != 0 && i > 0 && (d.whole.size() - i) % 3 == 0) body += n.grouping;
    body += d.whole[i];
  }
  if (n.decimals > 0) {
    if (n.decimal_mark != 0) body += n.decimal_mark;
    body += d.fraction;
  }

  const bool parentheses = n.sign_before == '(' || n.sign_after == ')';
  std::string_view sign_lead, sign_trail;
  if (d.negative) {
    if (parentheses) {
      sign_lead = "(";
      sign_trail = ")";
    } else if (n.sign_after == '-') {
      sign_trail = "-";
    } else {
      sign_lead = "-";
    }
  } else if (n.sign_after != 0) {
    sign_trail = " ";
  }

  std::string lead;
  if (n.sign_first) lead.append(sign_lead);
  lead.append(n.currency_before);
  if (!n.sign_first) lead.append(sign_lead);
  std::string trail(sign_trail);
  trail.append(n.currency_after);
  const size_t used = lead.size() + body.size() + trail.size();
  if (used > width) return std::string(width, '#');
  // Zeros go between the sign or currency and the digits; blanks and asterisks in front.
  std::string out;
  out.reserve(width);
  if (n.fill != '0') out.append(width - used, n.fill == '*' ? '*' : ' ');
  out.append(lead);
  if (n.fill == '0') out.append(width - used, '0');
  out.append(body);
  out.append(trail);
  return out;
}

// ----- @d and @t -----

struct DateTimePicture {
  const Layout* layout = nullptr;
  bool leading_zero = false;
  char separator = 0;  // 0: the layout's own
};

std::optional<DateTimePicture> ParseDateTimePicture(std::string_view p, bool date) {
  DateTimePicture out;
  if (p.size() >= 2 && p[0] == '0' && IsDigit(p[1])) {
    out.leading_zero = true;
    p.remove_prefix(1);
  }
  std::optional<int> number = ReadNumber(p);
  if (!number) return std::nullopt;
  if (date) {
    if (*number == 17) number = 2;
    if (*number == 18) number = 4;
    if (*number < 1 || *number > static_cast<int>(kDateLayouts.size())) return std::nullopt;
    out.layout = &kDateLayouts[static_cast<size_t>(*number - 1)];
  } else {
    if (*number == 7) number = 1;
    if (*number == 8) number = 4;
    if (*number < 1 || *number > static_cast<int>(kTimeLayouts.size())) return std::nullopt;
    out.layout = &kTimeLayouts[static_cast<size_t>(*number - 1)];
  }
  if (!p.empty()) {
    switch (p[0]) {
      case '.':
        out.separator = '.';
        break;
      case '\'':
        out.separator = ',';
        break;
      case '-':
        out.separator = '-';
        break;
      case '_':
        out.separator = ' ';
        break;
      default:
        break;
    }
    if (out.separator != 0) p.remove_prefix(1);
  }
  if (date && !p.empty() && (p[0] == '<' || p[0] == '>')) {
    p.remove_prefix(1);
    (void)ReadNumber(p);  // the range is optional; it only steers reading two-digit years
  }
  if (!p.empty() && LowerAscii(p[0]) == 'b') p.remove_prefix(1);  // blank when 0: always so
  if (!p.empty()) return std::nullopt;
  return out;
}

void AppendNumber(std::string& out, int64_t value, int digits) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%0*lld", digits, static_cast<long long>(value));
  out += buf;
}

// The whole number a date or time value holds, or nullopt when it is no int32 number.
std::optional<int32_t> WholeValue(std::string_view value) {
  const double v = std::trunc(TextToNumber(value));
  if (v < 0 || v > 2147483647.0) return std::nullopt;
  return static_cast<int32_t>(v);
}

std::string FormatDate(std::string_view value, const DateTimePicture& pic) {
  const std::optional<int32_t> date = WholeValue(value);
  const Ymd ymd = YmdFromDate(date.value_or(0));
  if (ymd.year == 0) return std::string(static_cast<size_t>(pic.layout->width), ' ');
  const int lead_digits = pic.leading_zero ? 2 : 1;
  std::string out;
  for (char token : pic.layout->tokens) {
    switch (token) {
      case 'M':
        AppendNumber(out, ymd.month, lead_digits);
        break;
      case 'm':
        AppendNumber(out, ymd.month, 2);
        break;
      case 'D':
        AppendNumber(out, ymd.day, lead_digits);
        break;
      case 'd':
        AppendNumber(out, ymd.day, 2);
        break;
      case 'y':
        AppendNumber(out, ymd.year % 100, 2);
        break;
      case 'Y':
        AppendNumber(out, ymd.year, 4);
        break;
      case 'a':
        out += kMonthAbbreviations[static_cast<size_t>(ymd.month - 1)];
        break;
      case 'f':
        out += kMonthNames[static_cast<size_t>(ymd.month - 1)];
        break;
      case '/':
        out += pic.separator != 0 ? pic.separator : '/';
        break;
      default:
        out += token;
        break;
    }
  }
  return out;
}

std::string FormatTime(std::string_view value, const DateTimePicture& pic) {
  const std::optional<int32_t> time = WholeValue(value);
  if (!time || *time < 1) return std::string(static_cast<size_t>(pic.layout->width), ' ');
  const Hms hms = HmsFromTime(*time);
  const bool twelve_hour = pic.layout->tokens.find('X') != std::string_view::npos;
  int32_t hour = hms.hour;
  if (twelve_hour) {
    hour %= 24;
    hour = hour % 12 == 0 ? 12 : hour % 12;
  }
  std::string out;
  for (char token : pic.layout->tokens) {
    switch (token) {
      case 'H':
        AppendNumber(out, hour, pic.leading_zero ? 2 : 1);
        break;
      case 'h':
        AppendNumber(out, hour, 2);
        break;
      case 'm':
        AppendNumber(out, hms.minute, 2);
        break;
      case 's':
        AppendNumber(out, hms.second, 2);
        break;
      case ':':
        out += pic.separator != 0 ? pic.separator : ':';
        break;
      case 'X':
        out += hms.hour % 24 < 12 ? "AM" : "PM";
        break;
      default:
        out += token;
        break;
    }
  }
  return out;
}

// ----- DEFORMAT -----

std::string DeformatNumber(std::string_view text, const NumericPicture& n) {
  std::string number;
  bool negative = false;
  bool point = false;
  for (char c : text) {
    if (IsDigit(c)) {
      number += c;
    } else if (n.decimal_mark != 0 && c == n.decimal_mark && !point) {
      number += '.';
      point = true;
    } else if (c == '-' || c == '(') {
      negative = true;
    }
  }
  if (n.decimal_mark == 0 && n.decimals > 0) {
    const size_t decimals = static_cast<size_t>(n.decimals);
    std::string padded(decimals > number.size() ? decimals - number.size() : 0, '0');
    padded.append(number);
    const size_t whole = padded.size() - decimals;
    number.assign(padded, 0, whole);
    number.push_back('.');
    number.append(padded, whole, decimals);
  }
  const double value = TextToNumber(number);
  return NumberToText(negative ? -value : value);
}

bool IsDateToken(char c) { return std::string_view("MmDdyY").find(c) != std::string_view::npos; }
bool IsTimeToken(char c) { return std::string_view("Hhms").find(c) != std::string_view::npos; }

// Reads the digits of one field. In a packed layout (the next token is a field too) the
// field has its fixed number of digits; otherwise it takes the whole run of digits.
std::optional<int64_t> ReadField(std::string_view& text, size_t fixed_digits, bool packed) {
  while (!text.empty() && !IsDigit(text[0])) text.remove_prefix(1);
  size_t n = 0;
  int64_t value = 0;
  while (n < text.size() && IsDigit(text[n]) && (!packed || n < fixed_digits) && n < 9) {
    value = value * 10 + (text[n] - '0');
    ++n;
  }
  if (n == 0) return std::nullopt;
  text.remove_prefix(n);
  return value;
}

// The month a name or abbreviation begins with ("jan", "October"), 0 when none.
int32_t ReadMonthName(std::string_view& text) {
  size_t b = 0;
  while (b < text.size() && !std::isalpha(static_cast<unsigned char>(text[b]))) ++b;
  size_t e = b;
  while (e < text.size() && std::isalpha(static_cast<unsigned char>(text[e]))) ++e;
  const std::string_view word = text.substr(b, e - b);
  text.remove_prefix(e);
  if (word.size() < 3) return 0;
  for (size_t m = 0; m < kMonthAbbreviations.size(); ++m) {
    bool same = true;
    for (size_t i = 0; i < 3; ++i) {
      same = same && LowerAscii(word[i]) == LowerAscii(kMonthAbbreviations[m][i]);
    }
    if (same) return static_cast<int32_t>(m) + 1;
  }
  return 0;
}

int32_t WindowedYear(int64_t two_digits) {
  int32_t current = YmdFromDate(Today()).year;
  if (current == 0) current = 2000;
  const int32_t last = current + 20;
  int32_t year = last / 100 * 100 + static_cast<int32_t>(two_digits);
  if (year > last) year -= 100;
  return year;
}

std::string DeformatDate(std::string_view text, const DateTimePicture& pic) {
  int64_t year = 0, month = 0, day = 1;
  const std::string_view tokens = pic.layout->tokens;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const char token = tokens[i];
    if (token == 'a' || token == 'f') {
      month = ReadMonthName(text);
      if (month == 0) return "0";
      continue;
    }
    if (!IsDateToken(token)) continue;
    const bool packed = i + 1 < tokens.size() && IsDateToken(tokens[i + 1]);
    const std::optional<int64_t> field = ReadField(text, token == 'Y' ? 4 : 2, packed);
    if (!field) return "0";
    switch (token) {
      case 'M':
      case 'm':
        month = *field;
        break;
      case 'D':
      case 'd':
        day = *field;
        break;
      default:
        year = token == 'y' && *field < 100 ? WindowedYear(*field) : *field;
        break;
    }
  }
  if (month < 1 || month > 12 || day < 1 || day > 31 || year > 9999) return "0";
  const Ymd want{static_cast<int32_t>(year), static_cast<int32_t>(month),
                 static_cast<int32_t>(day)};
  const int32_t date = DateFromYmd(want.year, want.month, want.day);
  if (YmdFromDate(date) != want) return "0";  // 31 April and the like
  return std::to_string(date);
}

std::string DeformatTime(std::string_view text, const DateTimePicture& pic) {
  int64_t part[3] = {0, 0, 0};  // hour, minute, second
  const std::string_view tokens = pic.layout->tokens;
  std::string_view rest = text;
  bool any = false;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const char token = tokens[i];
    if (!IsTimeToken(token)) continue;
    const bool packed = i + 1 < tokens.size() && IsTimeToken(tokens[i + 1]);
    const std::optional<int64_t> field = ReadField(rest, 2, packed);
    if (!field) break;  // a missing minute or second counts as 0
    any = true;
    part[token == 'H' || token == 'h' ? 0 : token == 'm' ? 1 : 2] = *field;
  }
  if (!any) return "0";
  if (tokens.find('X') != std::string_view::npos) {
    bool pm = false, am = false;
    for (char c : rest) {
      pm = pm || LowerAscii(c) == 'p';
      am = am || LowerAscii(c) == 'a';
    }
    if ((pm || am) && part[0] == 12) part[0] = 0;
    if (pm) part[0] += 12;
  }
  if (part[0] > 23 || part[1] > 59 || part[2] > 59) return "0";
  return std::to_string(TimeFromHms(static_cast<int32_t>(part[0]), static_cast<int32_t>(part[1]),
                                    static_cast<int32_t>(part[2])));
}

}  // namespace

std::string Format(std::string_view value, std::string_view picture) {
  std::string_view p = picture;
  switch (PictureKind(p)) {
    case 's':
      if (const std::optional<int> width = ParseStringPicture(p)) {
        std::string out(CutUtf8(value, static_cast<size_t>(*width)));
        out.resize(static_cast<size_t>(*width), ' ');
        return out;
      }
      break;
    case 'n':
      if (const std::optional<NumericPicture> n = ParseNumericPicture(p)) {
        return FormatNumber(value, *n);
      }
      break;
    case 'd':
      if (const std::optional<DateTimePicture> d = ParseDateTimePicture(p, /*date=*/true)) {
        return FormatDate(value, *d);
      }
      break;
    case 't':
      if (const std::optional<DateTimePicture> t = ParseDateTimePicture(p, /*date=*/false)) {
        return FormatTime(value, *t);
      }
      break;
    default:
      break;
  }
  return std::string(value);
}

std::string Deformat(std::string_view text, std::string_view picture) {
  std::string_view p = picture;
  switch (PictureKind(p)) {
    case 'n':
      if (const std::optional<NumericPicture> n = ParseNumericPicture(p)) {
        return DeformatNumber(text, *n);
      }
      break;
    case 'd':
      if (const std::optional<DateTimePicture> d = ParseDateTimePicture(p, /*date=*/true)) {
        return DeformatDate(text, *d);
      }
      break;
    case 't':
      if (const std::optional<DateTimePicture> t = ParseDateTimePicture(p, /*date=*/false)) {
        return DeformatTime(text, *t);
      }
      break;
    default:
      break;
  }
  return std::string(text);
}

}  // namespace platform
