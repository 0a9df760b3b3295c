#include "platform/eval/evaluate.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/clock.h"
#include "platform/core/error_codes.h"
#include "platform/core/error_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace platform {
namespace {

struct Case {
  std::string_view expression;
  std::string_view result;  // on an error: the error text
  int code = 0;             // 0: success
};

// Every case is also a seed of fuzz_corpus/ (EveryCaseIsASeed).
constexpr Case kCases[] = {
    // The condition texts of the styling pass: rows joined by " AND " / " OR ".
    {"'ABC'='ABC' AND INSTRING('B','ABC',1,1)", "1"},
    {"'ABC'='ABD' OR INSTRING('N','P',1,1)", "0"},
    {"'BUTTON'='BUTTON' OR 'X'='Y'", "1"},
    {"'A'='A' AND 'B'='C'", "0"},
    {"'A'='A' OR 'B'='C' AND 'C'='D'", "1"},  // A OR (B AND C), not (A OR B) AND C
    {"'A'='B' AND 'B'='B' OR 'C'='C'", "1"},
    {"INSTRING('B','ABC',1,1)", "2"},
    {"INSTRING('N','P',1,1)", "0"},
    {"'10'<>'10 '", "0"},
    {"'HELLO'<'HELP'", "1"},
    // Texts against texts and numbers.
    {"'50'>'100'", "1"},
    {"'50'>100", "0"},
    {"100<'50'", "0"},
    {"'5'=5", "1"},
    {"' 5 '=5", "1"},
    {"'5x'=5", "0"},
    {"'abc'>5", "1"},
    {"'ABC '='ABC'", "1"},
    {"'abc'='ABC'", "0"},
    {"'O''NEIL'='O''NEIL'", "1"},
    {"'O''NEIL'", "O'NEIL"},
    {"''''", "'"},
    {"''", ""},
    {"2<=2", "1"},
    {"3>=4", "0"},
    {"'b'<>'a'", "1"},
    // Expression values.
    {"'Name: ' & 'X'", "Name: X"},
    {"12 * 2", "24"},
    {"UPPER('a')", "A"},
    {"1/3", "0.333333333333333"},
    {"-2^2", "4"},
    {"2^3^2", "64"},
    {"1 + 2 & 3", "33"},
    {"'a' & 1 + 2", "a3"},
    {"2 & 3 * 4", "212"},
    {"1/4 & ''", "0.25"},
    {"0.1 + 0.2 = 0.3", "1"},
    {"0.1 + 0.2", "0.3"},
    {"7 / 2", "3.5"},
    {"10 % 3", "1"},
    {"-7 % 3", "-1"},
    {"'3' + '4'", "7"},
    {"'abc' + 1", "1"},
    {"5 - -3", "8"},
    {"-'5'", "-5"},
    {"1000000 * 1000000", "1000000000000"},
    {".5", "0.5"},
    {"5.", "5"},
    {"007", "7"},
    {"1/3*3", "0.999999999999999"},
    {"99999999999999999999", "100000000000000000000"},
    {"(1 + 2) * 3", "9"},
    {"NOT 0", "1"},
    {"~1", "0"},
    {"NOT 1 = 2", "0"},  // (NOT 1) = 2
    {"NOT (1 = 2)", "1"},
    {"NOT 'abc'", "1"},
    {"1 XOR 1", "0"},
    {"1 XOR 0", "1"},
    {"1 OR 1 XOR 1", "0"},  // (1 OR 1) XOR 1
    {"1 and 0 Or 1", "1"},
    {"upper('x') & Lower('Y')", "Xy"},
    // The functions.
    {"CLIP('ab  ') & '|'", "ab|"},
    {"LEFT('  ab', 4) & '|'", "ab  |"},
    {"LEFT('  ab') & '|'", "ab  |"},
    {"SUB('ABCDEF', 2, 3)", "BCD"},
    {"LEN('abc')", "3"},
    {"LEN(12.5)", "4"},
    {"ALL('ab', 5)", "ababa"},
    {"ALL('', 1000000000)", ""},
    {"INLIST('b', 'a', 'b')", "2"},
    {"INLIST('c', 'a', 'b')", "0"},
    {"NUMERIC('12.5')", "1"},
    {"NUMERIC('x')", "0"},
    {"INT(-3.7)", "-3"},
    {"ROUND(2.675, .01)", "2.68"},
    {"ROUND(1250, 100)", "1300"},
    {"ABS(-5)", "5"},
    {"SQRT(16)", "4"},
    {"CHOOSE(2, 'a', 'b', 'c')", "b"},
    {"CHOOSE(5, 'a', 'b')", "b"},
    {"CHOOSE(1=1, 'yes', 'no')", "yes"},
    {"CHOOSE(1=2, 'yes', 'no')", "no"},
    {"INSTRING('DEF','ABCDEFGHI',3,1)", "2"},
    {"INSTRING('B','ABC')", "2"},
    {"INSTRING('B','ABC',0,1)", "0"},
    {"FORMAT(1234.5, '@n10.2')", "  1,234.50"},
    {"FORMAT('ab', '@s5') & '|'", "ab   |"},
    {"FORMAT(4, 'd6')", "1/01/1801"},
    // Errors: the empty result, the error posted.
    {"'abc", "Unclosed text at 1", kBadExpression},
    {"'A'='O'NEIL'", "Unclosed text at 12", kBadExpression},
    {"(1 + 2", "Missing ')' at 7", kBadExpression},
    {"UPPER('a'", "Missing ')' at 10", kBadExpression},
    {"(1, 2)", "Missing ')' at 3", kBadExpression},
    {"XYZ(1)", "Unknown function XYZ at 1", kUnknownFunction},
    {"1 + xyz", "Unknown name xyz at 5", kUnknownFunction},
    {"TODAY", "Unknown name TODAY at 1", kUnknownFunction},
    {"ERROR in expression - No begin bracket '{'", "Unknown name ERROR at 1", kUnknownFunction},
    {"LEFT()", "Wrong number of arguments for LEFT at 1", kUnknownFunction},
    {"x & sub('a', 1)", "Unknown name x at 1", kUnknownFunction},
    {"'' & sub('a', 1)", "Wrong number of arguments for SUB at 6", kUnknownFunction},
    {"1/0", "Division by zero", kDivisionByZero},
    {"5 % 0", "Division by zero", kDivisionByZero},
    {"ROUND(1, 0)", "Division by zero", kDivisionByZero},
    {"CHOOSE(1, 'a', 1/0)", "Division by zero", kDivisionByZero},  // every argument counts
    {"1/'abc'", "Division by zero", kDivisionByZero},
    {"", "Empty expression", kBadExpression},
    {"   ", "Empty expression", kBadExpression},
    {"1 +", "Missing operand at 4", kBadExpression},
    {"* 2", "Missing operand at 1", kBadExpression},
    {"()", "Missing operand at 2", kBadExpression},
    {"1 2", "Missing operator at 3", kBadExpression},
    {"UPPER('a' 'b')", "Missing operator at 11", kBadExpression},
    {"1 NOT 2", "Missing operator at 3", kBadExpression},
    {"(1))", "Unexpected ')' at 4", kBadExpression},
    {"1,2", "Unexpected ',' at 2", kBadExpression},
    {"1 # 2", "Unexpected character '#' at 3", kBadExpression},
    {"?SELF{Text}", "Unexpected character '?' at 1", kBadExpression},
    {"1 == 1", "Missing operand at 4", kBadExpression},
    {"+1", "Missing operand at 1", kBadExpression},
    {"1e5", "Missing operator at 2", kBadExpression},
    {"SQRT(-1)", "Number out of range", kNumberOutOfRange},
    {"10^400", "Number out of range", kNumberOutOfRange},
    {"(-8)^(1/3)", "Number out of range", kNumberOutOfRange},
    {"ALL('x', 1000000000)", "Expression too complex", kExpressionTooComplex},
    {"LEFT('x', 1000000000)", "Expression too complex", kExpressionTooComplex},
};

TEST(Evaluate, TableOfExpressions) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.expression);
    const std::string result = Evaluate(c.expression);
    EXPECT_EQ(ErrorCode(), c.code);
    if (c.code == 0) {
      EXPECT_EQ(result, c.result);
      EXPECT_EQ(Error(), "");
    } else {
      EXPECT_EQ(result, "");
      EXPECT_EQ(Error(), c.result);
      // Whatever the error, the next successful evaluation clears it.
      EXPECT_EQ(Evaluate("1"), "1");
      EXPECT_EQ(ErrorCode(), 0);
      EXPECT_EQ(Error(), "");
    }
  }
}

TEST(Evaluate, SuccessClearsThePostedError) {
  EXPECT_EQ(Evaluate("1/0"), "");
  EXPECT_EQ(ErrorCode(), kDivisionByZero);
  EXPECT_EQ(Evaluate("'a' & 'b'"), "ab");
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Error(), "");
}

TEST(Evaluate, ErrorCodesHaveTexts) {
  EXPECT_EQ(ErrorText(kBadExpression), "Bad expression");
  EXPECT_EQ(ErrorText(kDivisionByZero), "Division by zero");
  EXPECT_EQ(ErrorText(kExpressionTooComplex), "Expression too complex");
}

TEST(Evaluate, EvaluateExpressionLeavesTheErrorStateAlone) {
  PostError(kFileNotFound);
  Result<std::string> r = EvaluateExpression("'ab");
  EXPECT_EQ(r.status().code(), kBadExpression);
  EXPECT_EQ(ErrorCode(), kFileNotFound);
  ClearError();
}

TEST(Evaluate, LengthLimitIsTenThousandBytes) {
  std::string at_limit(kMaxExpressionBytes, 'x');
  at_limit.front() = at_limit.back() = '\'';
  EXPECT_EQ(Evaluate(at_limit), std::string(kMaxExpressionBytes - 2, 'x'));
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Evaluate(at_limit + " "), "");
  EXPECT_EQ(Error(), "Expression too long");
  EXPECT_EQ(ErrorCode(), kExpressionTooComplex);
}

std::string Nested(int depth, std::string_view open, std::string_view inner,
                   std::string_view close) {
  std::string out;
  for (int i = 0; i < depth; ++i) out += open;
  out += inner;
  for (int i = 0; i < depth; ++i) out += close;
  return out;
}

TEST(Evaluate, NestingIsLimitedTo200Levels) {
  struct Nest {
    std::string_view open, inner, close, result;
  };
  constexpr Nest kNests[] = {{"(", "7", ")", "7"},
                             {"UPPER(", "'a'", ")", "A"},
                             {"(1+", "1", ")", "201"},
                             {"CHOOSE(1,", "'z'", ")", "z"}};
  for (const Nest& n : kNests) {
    SCOPED_TRACE(n.open);
    const std::string deepest = Nested(kMaxExpressionDepth, n.open, n.inner, n.close);
    EXPECT_EQ(Evaluate(deepest), n.result);
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(Evaluate(Nested(kMaxExpressionDepth + 1, n.open, n.inner, n.close)), "");
    EXPECT_EQ(Error(), "Expression too deep");
  }
  // Unary operators and long chains are not nesting.
  EXPECT_EQ(Evaluate(std::string(5000, '-') + "1"), "1");
  EXPECT_EQ(Evaluate(std::string(4999, '~') + "1"), "0");
  std::string sum = "0";
  for (int i = 0; i < 4000; ++i) sum += "+1";
  EXPECT_EQ(Evaluate(sum), "4000");
  EXPECT_EQ(Evaluate(std::string(10000, '(')), "");
  EXPECT_EQ(Error(), "Expression too deep");
}

TEST(Evaluate, TooMuchWorkIsAnErrorNotAHang) {
  // Texts that grow by concatenation or search are charged by the bytes they touch.
  std::string grow = "LEN('x'";
  for (int i = 0; i < 200; ++i) grow += " & ALL('x', 60000)";
  grow += ")";
  EXPECT_EQ(Evaluate(grow), "");
  EXPECT_EQ(Error(), "Expression too complex");
  EXPECT_EQ(Evaluate("INSTRING(ALL('a', 50000) & 'b', ALL('a', 200000))"), "");
  EXPECT_EQ(Error(), "Expression too complex");
  // A legitimate large search is well inside the allowance.
  EXPECT_EQ(Evaluate("INSTRING('b', ALL('a', 5000) & 'b')"), "5001");
}

TEST(Evaluate, TodayAndClockAreTheRuntimes) {
  NowSource old = SetNowSource([] { return LocalNow{{2024, 2, 29}, {13, 5, 7, 50}}; });
  EXPECT_EQ(Evaluate("TODAY()"), std::to_string(DateFromYmd(2024, 2, 29)));
  EXPECT_EQ(Evaluate("clock()"), std::to_string(TimeFromHms(13, 5, 7, 50)));
  SetNowSource(std::move(old));
}

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> seeds;
  for (const auto& entry : std::filesystem::directory_iterator(PEX_EVAL_CORPUS_DIR)) {
    std::ifstream in(entry.path(), std::ios::binary);
    seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return seeds;
}

TEST(EvaluateFuzz, SeedCorpusPassesTheFuzzChecks) {
  const std::vector<std::string> seeds = CorpusFiles();
  ASSERT_FALSE(seeds.empty());
  for (const std::string& seed : seeds) {
    SCOPED_TRACE(seed);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(seed.data()), seed.size());
  }
}

TEST(EvaluateFuzz, EveryCaseIsASeed) {
  const std::vector<std::string> files = CorpusFiles();
  const std::set<std::string> seeds(files.begin(), files.end());
  for (const Case& c : kCases) {
    if (c.expression.empty()) continue;  // libFuzzer starts with the empty input anyway
    EXPECT_TRUE(seeds.count(std::string(c.expression))) << c.expression;
  }
}

}  // namespace
}  // namespace platform
