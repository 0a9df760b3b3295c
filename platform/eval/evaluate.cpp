// The expression language of EVALUATE.
//
// Values are numbers and texts. A number is held as a double rounded to 15 significant
// digits after every step, so arithmetic behaves as decimal arithmetic of 15 digits
// (0.1 + 0.2 = 0.3 holds) and a result is written as NumberToText writes numbers.
//
// Literals
//   12, 12.5, .5, 5.     decimal numbers; no sign (a minus in front is unary minus), no exponent
//   'text'               a text; '' inside it stands for one quote: 'O''NEIL'
// Blanks (space, tab, CR, LF) separate tokens and are otherwise ignored.
//
// Operators, from the highest precedence to the lowest; all binary ones are left-associative:
//   -x  NOT x  ~x        unary minus; logical not (1 when x reads as 0, else 0)
//   ^                    power: 2^3^2 is (2^3)^2, and -2^2 is (-2)^2 = 4
//   *  /  %              multiply, divide, modulo (the sign of the left operand)
//   +  -                 add, subtract
//   &                    concatenation of the two values as texts
//   =  <>  <  >  <=  >=  comparison, answering 1 or 0
//   AND                  1 when both operands are not 0
//   OR  XOR              1 when either is not 0; when exactly one is not 0
// So NOT binds tighter than a comparison (NOT 1=2 is (NOT 1)=2); AND binds tighter than OR.
// Keywords and function names are case-insensitive.
//
// Conversions
//   A text used as a number (arithmetic, unary minus, NOT, AND, OR, XOR, numeric arguments)
//   is read as ParseNumber reads it, and as 0 when it is no number. A number used as a text
//   (&, text arguments, the result) is written by NumberToText.
//   A comparison of two texts compares texts by CompareText (case-sensitive, trailing blanks
//   ignored); of two numbers, numbers; of a text and a number, numbers when the text reads as
//   a number (blanks around it ignored), otherwise texts with the number written as text.
//   So '50'>'100' is 1 and '50'>100 is 0.
//
// Functions (text.h, format.h and clock.h give their meaning; numeric arguments are cut to
// whole numbers where a count or position is meant)
//   INSTRING(sub, text [, step [, start]])  step and start default to 1
//   UPPER(t) LOWER(t) CLIP(t) LEN(t) NUMERIC(t)
//   LEFT(t [, length])  SUB(t, start, length)  ALL(t, length)
//   INLIST(needle, item, ...)       the position of the first equal item, 0 when none
//   FORMAT(value, picture)
//   INT(x)                          the whole part, cut toward zero
//   ROUND(x, order)                 x rounded to a multiple of order: ROUND(2.675, .01) = 2.68
//   ABS(x) SQRT(x)
//   CHOOSE(n, v1, v2, ...)          v n; the last value when n is out of range, so
//                                   CHOOSE(cond, a, b) answers a when cond is 1, else b
//   TODAY() CLOCK()                 the runtime's date and time numbers
// Every argument is computed, also the ones CHOOSE does not answer.
//
// Errors (first one wins; syntax errors are found before anything is computed)
//   kBadExpression         "Empty expression", "Unclosed text at 5", "Missing ')' at 30",
//                          "Missing operand at 4", "Missing operator at 3",
//                          "Unexpected ')' at 7", "Unexpected character '#' at 2"
//   kUnknownFunction       "Unknown function XYZ at 12", "Unknown name XYZ at 1",
//                          "Wrong number of arguments for LEFT at 1"
//   kDivisionByZero        "Division by zero" (/, % and ROUND by 0)
//   kNumberOutOfRange      "Number out of range" (overflow, SQRT of a negative number, ...)
//   kExpressionTooComplex  "Expression too long" (over kMaxExpressionBytes),
//                          "Expression too deep" (over kMaxExpressionDepth nested
//                          parentheses and calls), "Expression too complex" (see below)
// Positions are 1-based byte positions in the text.
//
// Bounds. The text is lexed and parsed once, into a postfix program run on a value stack, so
// the only recursion is the parser's, one level per parenthesis or call and bounded by
// kMaxExpressionDepth. Every step of the run is charged against a budget of work that grows
// with the length of the text; a step that would need more (ALL('x', 1000000000), a search
// too large) is the error "Expression too complex" before any memory is taken. Time and
// memory are so linear in the length of the text, whatever it holds.
//
// The lexer, parser and machine stay in this one file, private to it: together they are the
// one concept of the language, and this header is its reference.
#include "platform/eval/evaluate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <new>
#include <span>
#include <utility>
#include <variant>
#include <vector>

#include "platform/core/clock.h"
#include "platform/core/error_codes.h"
#include "platform/core/error_state.h"
#include "platform/core/fixed_string.h"
#include "platform/core/format.h"
#include "platform/core/number.h"
#include "platform/core/text.h"

namespace platform {
namespace {

// Work a text may cost: a fixed allowance plus this much per byte of the text. One unit is
// about one byte produced, copied or compared.
constexpr uint64_t kWorkBase = uint64_t{1} << 20;
constexpr uint64_t kWorkPerByte = 1024;

enum class Op : uint8_t {
  kNumber,
  kText,
  kNegate,
  kNot,
  kPower,
  kMultiply,
  kDivide,
  kModulo,
  kAdd,
  kSubtract,
  kConcat,
  kEqual,
  kNotEqual,
  kLess,
  kGreater,
  kLessEqual,
  kGreaterEqual,
  kAnd,
  kOr,
  kXor,
  kCall,
};

// Binding strength of a binary operator; higher binds tighter.
int Precedence(Op op) {
  switch (op) {
    case Op::kPower:
      return 7;
    case Op::kMultiply:
    case Op::kDivide:
    case Op::kModulo:
      return 6;
    case Op::kAdd:
    case Op::kSubtract:
      return 5;
    case Op::kConcat:
      return 4;
    case Op::kEqual:
    case Op::kNotEqual:
    case Op::kLess:
    case Op::kGreater:
    case Op::kLessEqual:
    case Op::kGreaterEqual:
      return 3;
    case Op::kAnd:
      return 2;
    case Op::kOr:
    case Op::kXor:
      return 1;
    default:
      return 0;  // not a binary operator
  }
}

enum class Fn : uint8_t {
  kInstring,
  kUpper,
  kLower,
  kClip,
  kLeft,
  kSub,
  kLen,
  kAll,
  kInlist,
  kNumeric,
  kFormat,
  kInt,
  kRound,
  kAbs,
  kSqrt,
  kChoose,
  kToday,
  kClock,
};

constexpr int kAnyCount = std::numeric_limits<int>::max();

struct FunctionInfo {
  std::string_view name;  // upper case
  Fn fn;
  int min_args;
  int max_args;
};

constexpr FunctionInfo kFunctions[] = {
    {"INSTRING", Fn::kInstring, 2, 4},
    {"UPPER", Fn::kUpper, 1, 1},
    {"LOWER", Fn::kLower, 1, 1},
    {"CLIP", Fn::kClip, 1, 1},
    {"LEFT", Fn::kLeft, 1, 2},
    {"SUB", Fn::kSub, 3, 3},
    {"LEN", Fn::kLen, 1, 1},
    {"ALL", Fn::kAll, 2, 2},
    {"INLIST", Fn::kInlist, 2, kAnyCount},
    {"NUMERIC", Fn::kNumeric, 1, 1},
    {"FORMAT", Fn::kFormat, 2, 2},
    {"INT", Fn::kInt, 1, 1},
    {"ROUND", Fn::kRound, 2, 2},
    {"ABS", Fn::kAbs, 1, 1},
    {"SQRT", Fn::kSqrt, 1, 1},
    {"CHOOSE", Fn::kChoose, 2, kAnyCount},
    {"TODAY", Fn::kToday, 0, 0},
    {"CLOCK", Fn::kClock, 0, 0},
};

// ---------------------------------------------------------------------------------------
// Numbers

// `value` rounded to 15 significant digits: every number the language holds is so rounded.
double Round15(double value) {
  if (value == 0 || !std::isfinite(value)) return value == 0 ? 0.0 : value;
  char buf[48];
  const int n = std::snprintf(buf, sizeof buf, "%.15g", value);
  double out = value;
  std::from_chars(buf, buf + n, out);
  return out;
}

// A count or position argument: the whole part, kept inside int64_t.
int64_t ToInt64(double value) {
  constexpr double kLimit = 4.0e18;
  if (std::isnan(value)) return 0;
  value = std::clamp(std::trunc(value), -kLimit, kLimit);
  return static_cast<int64_t>(value);
}

Status Error(int code, std::string text) { return Status::Error(code, std::move(text)); }

Status AtError(int code, std::string_view what, size_t pos) {
  return Error(code, std::string(what) + " at " + std::to_string(pos + 1));
}

// ---------------------------------------------------------------------------------------
// Lexer

enum class TokenKind : uint8_t { kNumber, kText, kName, kOperator, kOpen, kClose, kComma, kEnd };

struct Token {
  TokenKind kind = TokenKind::kEnd;
  Op op = Op::kNumber;        // kOperator: the operator (kSubtract also serves as unary minus)
  size_t pos = 0;             // 0-based byte offset in the text
  std::string_view spelling;  // kName: the name as written
  std::string text;           // kText: the text with '' made one quote
  double number = 0;          // kNumber
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (x != b[i]) return false;
  }
  return true;
}

// Splits `text` into tokens, ending with a kEnd token at its length.
Status Lex(std::string_view text, std::vector<Token>* tokens) {
  size_t i = 0;
  const size_t n = text.size();
  while (true) {
    while (i < n && IsBlank(text[i])) ++i;
    Token t;
    t.pos = i;
    if (i == n) {
      tokens->push_back(std::move(t));
      return Status();
    }
    const char c = text[i];
    if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(text[i + 1]))) {
      size_t j = i;
      while (j < n && IsDigit(text[j])) ++j;
      if (j < n && text[j] == '.') {
        ++j;
        while (j < n && IsDigit(text[j])) ++j;
      }
      const std::optional<double> value = ParseNumber(text.substr(i, j - i));
      if (!value || !std::isfinite(*value))
        return AtError(kNumberOutOfRange, "Number out of range", i);
      t.kind = TokenKind::kNumber;
      t.number = Round15(*value);
      i = j;
    } else if (c == '\'') {
      t.kind = TokenKind::kText;
      size_t j = i + 1;
      while (true) {
        const size_t quote = text.find('\'', j);
        if (quote == std::string_view::npos) return AtError(kBadExpression, "Unclosed text", i);
        t.text.append(text.substr(j, quote - j));
        if (quote + 1 < n && text[quote + 1] == '\'') {
          t.text.push_back('\'');
          j = quote + 2;
        } else {
          j = quote + 1;
          break;
        }
      }
      i = j;
    } else if (IsLetter(c)) {
      size_t j = i;
      while (j < n && (IsLetter(text[j]) || IsDigit(text[j]))) ++j;
      t.spelling = text.substr(i, j - i);
      t.kind = TokenKind::kName;
      if (EqualsNoCase(t.spelling, "AND")) {
        t.kind = TokenKind::kOperator, t.op = Op::kAnd;
      } else if (EqualsNoCase(t.spelling, "OR")) {
        t.kind = TokenKind::kOperator, t.op = Op::kOr;
      } else if (EqualsNoCase(t.spelling, "XOR")) {
        t.kind = TokenKind::kOperator, t.op = Op::kXor;
      } else if (EqualsNoCase(t.spelling, "NOT")) {
        t.kind = TokenKind::kOperator, t.op = Op::kNot;
      }
      i = j;
    } else {
      const char next = i + 1 < n ? text[i + 1] : '\0';
      t.kind = TokenKind::kOperator;
      size_t width = 1;
      switch (c) {
        case '(':
          t.kind = TokenKind::kOpen;
          break;
        case ')':
          t.kind = TokenKind::kClose;
          break;
        case ',':
          t.kind = TokenKind::kComma;
          break;
        case '+':
          t.op = Op::kAdd;
          break;
        case '-':
          t.op = Op::kSubtract;
          break;
        case '*':
          t.op = Op::kMultiply;
          break;
        case '/':
          t.op = Op::kDivide;
          break;
        case '%':
          t.op = Op::kModulo;
          break;
        case '^':
          t.op = Op::kPower;
          break;
        case '&':
          t.op = Op::kConcat;
          break;
        case '~':
          t.op = Op::kNot;
          break;
        case '=':
          t.op = Op::kEqual;
          break;
        case '<':
          if (next == '>') {
            t.op = Op::kNotEqual, width = 2;
          } else if (next == '=') {
            t.op = Op::kLessEqual, width = 2;
          } else {
            t.op = Op::kLess;
          }
          break;
        case '>':
          if (next == '=') {
            t.op = Op::kGreaterEqual, width = 2;
          } else {
            t.op = Op::kGreater;
          }
          break;
        default: {
          // Only a printable character is quoted, so the error text stays valid text.
          if (c > ' ' && c < 0x7F) {
            return AtError(kBadExpression, std::string("Unexpected character '") + c + "'", i);
          }
          return AtError(kBadExpression, "Unexpected character", i);
        }
      }
      i += width;
    }
    tokens->push_back(std::move(t));
  }
}

// ---------------------------------------------------------------------------------------
// Parser: tokens to a postfix program

struct Instruction {
  Op op;
  Fn fn = Fn::kInstring;  // kCall
  uint32_t count = 0;     // kCall: number of arguments; kNumber, kText: literal index
};

struct Program {
  std::vector<Instruction> code;
  std::vector<double> numbers;
  std::vector<std::string> texts;
};

class Parser {
 public:
  Parser(std::vector<Token>& tokens, Program& program) : tokens_(tokens), program_(program) {}

  Status ParseAll() {
    if (Peek().kind == TokenKind::kEnd) return Error(kBadExpression, "Empty expression");
    if (Status s = ParseExpression(0); !s.ok()) return s;
    const Token& t = Peek();
    switch (t.kind) {
      case TokenKind::kEnd:
        return Status();
      case TokenKind::kClose:
        return AtError(kBadExpression, "Unexpected ')'", t.pos);
      case TokenKind::kComma:
        return AtError(kBadExpression, "Unexpected ','", t.pos);
      default:
        return AtError(kBadExpression, "Missing operator", t.pos);
    }
  }

 private:
  const Token& Peek() const { return tokens_[next_]; }
  Token& Take() { return tokens_[next_++]; }

  void Emit(Op op) { program_.code.push_back({op}); }

  static bool StartsOperand(const Token& t) {
    return t.kind == TokenKind::kNumber || t.kind == TokenKind::kText ||
           t.kind == TokenKind::kName || t.kind == TokenKind::kOpen ||
           (t.kind == TokenKind::kOperator && (t.op == Op::kNot || t.op == Op::kSubtract));
  }

  // After an expression inside parentheses: the ')' that must follow, taken.
  Status ExpectClose(bool comma_allowed, bool* comma) {
    const Token& t = Peek();
    if (t.kind == TokenKind::kClose) {
      ++next_;
      return Status();
    }
    if (comma_allowed && t.kind == TokenKind::kComma) {
      ++next_;
      *comma = true;
      return Status();
    }
    if (t.kind != TokenKind::kEnd && t.kind != TokenKind::kComma && StartsOperand(t)) {
      return AtError(kBadExpression, "Missing operator", t.pos);
    }
    return AtError(kBadExpression, "Missing ')'", t.pos);
  }

  // operand { binary-operator operand }, with precedence, at nesting `depth`. Stops at the
  // first token that is no binary operator and leaves it for the caller.
  Status ParseExpression(int depth) {
    std::vector<Op> pending;  // binary operators waiting for their right operand
    while (true) {
      if (Status s = ParseOperand(depth); !s.ok()) return s;
      const Token& t = Peek();
      if (t.kind != TokenKind::kOperator || Precedence(t.op) == 0) break;
      const int precedence = Precedence(t.op);
      while (!pending.empty() && Precedence(pending.back()) >= precedence) {
        Emit(pending.back());
        pending.pop_back();
      }
      pending.push_back(t.op);
      ++next_;
    }
    while (!pending.empty()) {
      Emit(pending.back());
      pending.pop_back();
    }
    return Status();
  }

  // { unary-operator } primary
  Status ParseOperand(int depth) {
    std::vector<Op> prefix;
    while (Peek().kind == TokenKind::kOperator &&
           (Peek().op == Op::kSubtract || Peek().op == Op::kNot)) {
      prefix.push_back(Take().op == Op::kSubtract ? Op::kNegate : Op::kNot);
    }
    if (Status s = ParsePrimary(depth); !s.ok()) return s;
    for (auto it = prefix.rbegin(); it != prefix.rend(); ++it) Emit(*it);
    return Status();
  }

  Status ParsePrimary(int depth) {
    Token& t = Take();
    switch (t.kind) {
      case TokenKind::kNumber:
        program_.code.push_back({Op::kNumber, Fn::kInstring, Index(program_.numbers.size())});
        program_.numbers.push_back(t.number);
        return Status();
      case TokenKind::kText:
        program_.code.push_back({Op::kText, Fn::kInstring, Index(program_.texts.size())});
        program_.texts.push_back(std::move(t.text));
        return Status();
      case TokenKind::kOpen: {
        if (depth >= kMaxExpressionDepth)
          return Error(kExpressionTooComplex, "Expression too deep");
        if (Status s = ParseExpression(depth + 1); !s.ok()) return s;
        return ExpectClose(/*comma_allowed=*/false, nullptr);
      }
      case TokenKind::kName:
        return ParseCall(t, depth);
      default:
        --next_;  // the end stays the last token
        return AtError(kBadExpression, "Missing operand", t.pos);
    }
  }

  Status ParseCall(const Token& name, int depth) {
    const FunctionInfo* info = nullptr;
    for (const FunctionInfo& f : kFunctions) {
      if (EqualsNoCase(name.spelling, f.name)) info = &f;
    }
    if (Peek().kind != TokenKind::kOpen) {
      return AtError(kUnknownFunction, "Unknown name " + std::string(name.spelling), name.pos);
    }
    if (info == nullptr) {
      return AtError(kUnknownFunction, "Unknown function " + std::string(name.spelling), name.pos);
    }
    if (depth >= kMaxExpressionDepth) return Error(kExpressionTooComplex, "Expression too deep");
    ++next_;  // (
    int count = 0;
    if (Peek().kind == TokenKind::kClose) {
      ++next_;
    } else {
      bool more = true;
      while (more) {
        if (Status s = ParseExpression(depth + 1); !s.ok()) return s;
        ++count;
        more = false;
        if (Status s = ExpectClose(/*comma_allowed=*/true, &more); !s.ok()) return s;
      }
    }
    if (count < info->min_args || count > info->max_args) {
      return AtError(kUnknownFunction, "Wrong number of arguments for " + std::string(info->name),
                     name.pos);
    }
    program_.code.push_back({Op::kCall, info->fn, static_cast<uint32_t>(count)});
    return Status();
  }

  static uint32_t Index(size_t i) { return static_cast<uint32_t>(i); }

  std::vector<Token>& tokens_;
  Program& program_;
  size_t next_ = 0;
};

// ---------------------------------------------------------------------------------------
// Machine: runs a program on a stack of values

using Value = std::variant<double, std::string>;

class Machine {
 public:
  explicit Machine(uint64_t budget) : budget_(budget) {}

  Status Run(const Program& program, std::string* result) {
    for (const Instruction& in : program.code) {
      if (Status s = Charge(1); !s.ok()) return s;
      Status s;
      switch (in.op) {
        case Op::kNumber:
          stack_.emplace_back(program.numbers[in.count]);
          break;
        case Op::kText:
          s = Charge(program.texts[in.count].size());
          if (s.ok()) stack_.emplace_back(program.texts[in.count]);
          break;
        case Op::kNegate:
          s = Number(Top(), &number_);
          if (s.ok()) Top() = Round15(-number_);
          break;
        case Op::kNot:
          s = Number(Top(), &number_);
          if (s.ok()) Top() = number_ == 0 ? 1.0 : 0.0;
          break;
        case Op::kCall:
          s = Call(in.fn, in.count);
          break;
        default:
          s = Binary(in.op);
          break;
      }
      if (!s.ok()) return s;
    }
    assert(stack_.size() == 1);
    return Text(stack_.back(), result);
  }

 private:
  Status Charge(uint64_t units) {
    if (units > budget_) return Error(kExpressionTooComplex, "Expression too complex");
    budget_ -= units;
    return Status();
  }

  Value& Top() { return stack_.back(); }

  // `v` read as a number.
  Status Number(const Value& v, double* out) {
    if (const double* d = std::get_if<double>(&v)) {
      *out = *d;
      return Status();
    }
    const std::string& t = std::get<std::string>(v);
    if (Status s = Charge(t.size()); !s.ok()) return s;
    *out = Round15(TextToNumber(t));
    return Status();
  }

  // `v` written as a text.
  Status Text(const Value& v, std::string* out) {
    if (const std::string* t = std::get_if<std::string>(&v)) {
      if (Status s = Charge(t->size()); !s.ok()) return s;
      *out = *t;
      return Status();
    }
    *out = NumberToText(std::get<double>(v));
    return Charge(out->size());
  }

  // A number result: rounded, and an error when it is no finite number.
  static Status Finite(double value, double* out) {
    if (!std::isfinite(value)) return Error(kNumberOutOfRange, "Number out of range");
    *out = Round15(value);
    return Status();
  }

  Status Compare(const Value& a, const Value& b, int* order) {
    const std::string* ta = std::get_if<std::string>(&a);
    const std::string* tb = std::get_if<std::string>(&b);
    if (ta != nullptr && tb != nullptr) {
      if (Status s = Charge(ta->size() + tb->size()); !s.ok()) return s;
      *order = CompareText(*ta, *tb);
      return Status();
    }
    if (ta == nullptr && tb == nullptr) {
      const double x = std::get<double>(a), y = std::get<double>(b);
      *order = x < y ? -1 : (x > y ? 1 : 0);
      return Status();
    }
    // A text and a number: as numbers when the text is one, otherwise as texts.
    const std::string& text = ta != nullptr ? *ta : *tb;
    const double number = ta != nullptr ? std::get<double>(b) : std::get<double>(a);
    if (Status s = Charge(text.size()); !s.ok()) return s;
    if (const std::optional<double> parsed = ParseNumber(text)) {
      const double x = Round15(*parsed);
      *order = x < number ? -1 : (x > number ? 1 : 0);
    } else {
      *order = CompareText(text, NumberToText(number));
    }
    if (ta == nullptr) *order = -*order;
    return Status();
  }

  Status Binary(Op op) {
    Value right = std::move(stack_.back());
    stack_.pop_back();
    Value& left = Top();
    if (op == Op::kConcat) {
      std::string r;
      if (Status s = Text(right, &r); !s.ok()) return s;
      if (std::holds_alternative<double>(left)) left = NumberToText(std::get<double>(left));
      std::get<std::string>(left).append(r);
      return Status();
    }
    if (op >= Op::kEqual && op <= Op::kGreaterEqual) {
      int order = 0;
      if (Status s = Compare(left, right, &order); !s.ok()) return s;
      bool holds = false;
      switch (op) {
        case Op::kEqual:
          holds = order == 0;
          break;
        case Op::kNotEqual:
          holds = order != 0;
          break;
        case Op::kLess:
          holds = order < 0;
          break;
        case Op::kGreater:
          holds = order > 0;
          break;
        case Op::kLessEqual:
          holds = order <= 0;
          break;
        default:
          holds = order >= 0;
          break;
      }
      left = holds ? 1.0 : 0.0;
      return Status();
    }
    double x = 0, y = 0, out = 0;
    if (Status s = Number(left, &x); !s.ok()) return s;
    if (Status s = Number(right, &y); !s.ok()) return s;
    Status s;
    switch (op) {
      case Op::kPower:
        s = Finite(std::pow(x, y), &out);
        break;
      case Op::kMultiply:
        s = Finite(x * y, &out);
        break;
      case Op::kDivide:
        s = y == 0 ? Error(kDivisionByZero, "Division by zero") : Finite(x / y, &out);
        break;
      case Op::kModulo:
        s = y == 0 ? Error(kDivisionByZero, "Division by zero") : Finite(std::fmod(x, y), &out);
        break;
      case Op::kAdd:
        s = Finite(x + y, &out);
        break;
      case Op::kSubtract:
        s = Finite(x - y, &out);
        break;
      case Op::kAnd:
        out = (x != 0 && y != 0) ? 1 : 0;
        break;
      case Op::kOr:
        out = (x != 0 || y != 0) ? 1 : 0;
        break;
      case Op::kXor:
        out = ((x != 0) != (y != 0)) ? 1 : 0;
        break;
      default:
        assert(false);
        break;
    }
    if (!s.ok()) return s;
    left = out;
    return Status();
  }

  // The arguments of a call, read as the function needs them.
  Status Texts(std::span<Value> args, std::vector<std::string>* out) {
    out->resize(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
      if (Status s = Text(args[i], &(*out)[i]); !s.ok()) return s;
    }
    return Status();
  }

  Status Call(Fn fn, uint32_t count) {
    const size_t first = stack_.size() - count;
    std::span<Value> args(stack_.data() + first, count);
    Value result;
    Status s = Apply(fn, args, &result);
    if (!s.ok()) return s;
    stack_.resize(first);
    stack_.push_back(std::move(result));
    return Status();
  }

  Status Apply(Fn fn, std::span<Value> args, Value* result) {
    double x = 0, y = 0, out = 0;
    switch (fn) {
      case Fn::kToday:
        *result = static_cast<double>(Today());
        return Status();
      case Fn::kClock:
        *result = static_cast<double>(Clock());
        return Status();
      case Fn::kInt:
      case Fn::kAbs:
      case Fn::kSqrt: {
        if (Status s = Number(args[0], &x); !s.ok()) return s;
        Status s = Finite(fn == Fn::kInt   ? std::trunc(x)
                          : fn == Fn::kAbs ? std::fabs(x)
                                           : std::sqrt(x),
                          &out);
        *result = out;
        return s;
      }
      case Fn::kRound: {
        if (Status s = Number(args[0], &x); !s.ok()) return s;
        if (Status s = Number(args[1], &y); !s.ok()) return s;
        y = std::fabs(y);
        if (y == 0) return Error(kDivisionByZero, "Division by zero");
        // The quotient is rounded to 15 digits first, so 2.675 / .01 is 267.5, not 267.4999...
        Status s = Finite(std::round(Round15(x / y)) * y, &out);
        *result = out;
        return s;
      }
      case Fn::kChoose: {
        if (Status s = Number(args[0], &x); !s.ok()) return s;
        const int64_t n = ToInt64(x);
        const int64_t last = static_cast<int64_t>(args.size()) - 1;
        *result = std::move(args[n >= 1 && n <= last ? n : last]);
        return Status();
      }
      default:
        break;
    }
    // The text functions.
    std::vector<std::string> t;
    if (Status s = Texts(args, &t); !s.ok()) return s;
    auto count_arg = [&](size_t i, int64_t fallback, int64_t* out_value) -> Status {
      if (i >= args.size()) {
        *out_value = fallback;
        return Status();
      }
      double d = 0;
      if (Status s = Number(args[i], &d); !s.ok()) return s;
      *out_value = ToInt64(d);
      return Status();
    };
    int64_t a = 0, b = 0;
    Status s;
    switch (fn) {
      case Fn::kUpper:
        *result = Upper(t[0]);
        return Charge(t[0].size());
      case Fn::kLower:
        *result = Lower(t[0]);
        return Charge(t[0].size());
      case Fn::kClip:
        *result = Clip(t[0]);
        return Charge(t[0].size());
      case Fn::kLen:
        *result = static_cast<double>(Len(t[0]));
        return Status();
      case Fn::kNumeric:
        *result = Numeric(t[0]) ? 1.0 : 0.0;
        return Charge(t[0].size());
      case Fn::kLeft:
        if (s = count_arg(1, -1, &a); !s.ok()) return s;
        if (s = Charge(t[0].size() + static_cast<uint64_t>(std::max<int64_t>(a, 0))); !s.ok()) {
          return s;
        }
        *result = Left(t[0], a);
        return Status();
      case Fn::kSub:
        if (s = count_arg(1, 0, &a); !s.ok()) return s;
        if (s = count_arg(2, 0, &b); !s.ok()) return s;
        *result = Sub(t[0], a, b);
        return Charge(t[0].size());
      case Fn::kAll:
        if (s = count_arg(1, 0, &a); !s.ok()) return s;
        if (!t[0].empty()) {
          if (s = Charge(static_cast<uint64_t>(std::max<int64_t>(a, 0))); !s.ok()) return s;
        }
        *result = All(t[0], a);
        return Status();
      case Fn::kInstring: {
        if (s = count_arg(2, 1, &a); !s.ok()) return s;
        if (s = count_arg(3, 1, &b); !s.ok()) return s;
        // Each tried position compares up to LEN(sub) bytes.
        if (a >= 1) {
          const uint64_t positions = t[1].size() / static_cast<uint64_t>(a) + 1;
          if (s = Charge(positions > budget_ ? budget_ + 1 : positions * (t[0].size() + 1));
              !s.ok()) {
            return s;
          }
        }
        *result = static_cast<double>(InString(t[0], t[1], a, b));
        return Status();
      }
      case Fn::kFormat: {
        // A picture's width is bounded (format.h), so the result is charged once it exists.
        std::string formatted = Format(t[0], t[1]);
        s = Charge(t[0].size() + t[1].size() + formatted.size());
        *result = std::move(formatted);
        return s;
      }
      case Fn::kInlist: {
        std::vector<std::string_view> list(t.begin() + 1, t.end());
        uint64_t total = 0;
        for (const std::string& item : t) total += item.size();
        if (s = Charge(total); !s.ok()) return s;
        *result = static_cast<double>(InList(t[0], list));
        return Status();
      }
      default:
        assert(false);
        return Status();
    }
  }

  uint64_t budget_;
  std::vector<Value> stack_;
  double number_ = 0;
};

}  // namespace

Result<std::string> EvaluateExpression(std::string_view text) {
  if (text.size() > kMaxExpressionBytes) {
    return Error(kExpressionTooComplex, "Expression too long");
  }
  try {
    std::vector<Token> tokens;
    if (Status s = Lex(text, &tokens); !s.ok()) return s;
    Program program;
    if (Status s = Parser(tokens, program).ParseAll(); !s.ok()) return s;
    tokens.clear();
    std::string result;
    Machine machine(kWorkBase + kWorkPerByte * text.size());
    if (Status s = machine.Run(program, &result); !s.ok()) return s;
    return result;
  } catch (const std::bad_alloc&) {
    // The budget keeps an evaluation far below any sane memory limit, so this is a system
    // that has no memory left at all; the caller gets the runtime's error for it.
    return Status::Error(kInsufficientMemory);
  }
}

std::string Evaluate(std::string_view text) {
  Result<std::string> result = EvaluateExpression(text);
  SetErrorState(result.status());
  return result.ok() ? std::move(result).value() : std::string();
}

}  // namespace platform
