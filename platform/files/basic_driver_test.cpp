#include "platform/files/basic_driver.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/error_codes.h"
#include "platform/core/error_state.h"
#include "platform/files/file_test_support.h"

namespace platform::files {
namespace {

// The export's record: 25 STRING(255) fields.
struct ExportRecord {
  std::array<FixedString<255>, 25> FIELD;
  static const RecordLayout& Layout();
};

template <size_t I>
FieldInfo ExportField() {
  static const std::string name = "FIELD" + std::to_string(I + 1);
  return FieldInfo{name, FieldType::kString, 255, 0, [](void* r) -> void* {
                     return static_cast<TextBase*>(&static_cast<ExportRecord*>(r)->FIELD[I]);
                   }};
}

template <size_t... I>
std::vector<FieldInfo> ExportFields(std::index_sequence<I...>) {
  return {ExportField<I>()...};
}

const RecordLayout& ExportRecord::Layout() {
  static const RecordLayout layout("ODB", ExportFields(std::make_index_sequence<25>()));
  return layout;
}

// A small record with a number, for the separator and number cases.
struct SmallRecord {
  FixedString<10> NAME;
  int32_t COUNT = 0;
  CString<11> NOTE;
  static const RecordLayout& Layout() {
    static const RecordLayout layout = MakeLayout<SmallRecord>(
        "SMA", Field<&SmallRecord::NAME>("NAME"), Field<&SmallRecord::COUNT>("COUNT"),
        Field<&SmallRecord::NOTE>("NOTE"));
    return layout;
  }
};

File ExportFile(const std::string& name, ExportRecord& rec) {
  return File(TextFileDeclaration(name, ExportRecord::Layout(), &rec, "/COMMA=59"),
              MakeBasicDriver());
}

TEST(BasicDriver, ExportLinesQuoteEveryFieldAndSeparateBySemicolons) {
  struct Case {
    std::string_view name;
    std::vector<std::string_view> fields;  // the first fields; the rest stay blank
    std::string_view line_start;           // before the 22 or more empty fields
  };
  const Case kCases[] = {
      {"three columns", {"ID", "NAME", "CITY"}, R"("ID";"NAME";"CITY")"},
      {"trailing blanks go, leading stay", {"  a  ", "b "}, R"("  a";"b";"")"},
      {"inner quotes doubled", {R"(say "hi")", R"(")"}, R"("say ""hi""";"""";"")"},
      {"separator inside a field", {"a;b", "c,d"}, R"("a;b";"c,d";"")"},
      {"all blank", {"   "}, R"("";"";"")"},
      {"UTF-8 as is", {"Grüße", "東京"}, R"("Grüße";"東京";"")"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDirForTest dir;
    ExportRecord rec;
    for (size_t i = 0; i < c.fields.size(); ++i) rec.FIELD[i] = c.fields[i];
    File file = ExportFile(dir.File("Result.csv"), rec);
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(file.Open(0x22));
    ASSERT_TRUE(file.Stream());
    ASSERT_TRUE(file.Set());
    ASSERT_TRUE(file.Add());
    ASSERT_TRUE(file.Flush());
    ASSERT_TRUE(file.Close()) << Error();
    const std::string line = dir.Read("Result.csv");
    // 25 fields, 24 separators outside the quotes, then CR LF.
    ASSERT_TRUE(line.starts_with(c.line_start)) << line;
    std::string rest = line.substr(c.line_start.size());
    const size_t shown = std::max<size_t>(c.fields.size(), 3);
    std::string expected_rest;
    for (size_t i = shown; i < 25; ++i) expected_rest += R"(;"")";
    EXPECT_EQ(rest, expected_rest + "\r\n");
  }
}

TEST(BasicDriver, GoldenBytesOfAHeaderAndTwoRows) {
  TempDirForTest dir;
  ExportRecord rec;
  File file = ExportFile(dir.File("Result.csv"), rec);
  ASSERT_TRUE(file.Create());
  ASSERT_TRUE(file.Open(0x22));
  const std::array<std::array<std::string_view, 3>, 3> rows = {{
      {"ID", "NAME", "NOTE"},
      {"1", "O\"Brien", "a;b"},
      {"2", "", "x  "},
  }};
  for (const auto& row : rows) {
    file.Clear();
    for (size_t i = 0; i < row.size(); ++i) rec.FIELD[i] = row[i];
    ASSERT_TRUE(file.Add());
  }
  ASSERT_TRUE(file.Close());
  std::string tail;
  for (int i = 0; i < 22; ++i) tail += R"(;"")";
  EXPECT_EQ(dir.Read("Result.csv"), R"("ID";"NAME";"NOTE")" + tail + "\r\n" +
                                        R"("1";"O""Brien";"a;b")" + tail + "\r\n" +
                                        R"("2";"";"x")" + tail + "\r\n");
}

TEST(BasicDriver, SeparatorComesFromTheDriverString) {
  struct Case {
    std::string_view options;
    std::string_view line;
  };
  constexpr Case kCases[] = {
      {"", "\"ab\",-12,\"n \"\"q\"\"\"\r\n"},
      {"/COMMA=59", "\"ab\";-12;\"n \"\"q\"\"\"\r\n"},
      {"/comma=9", "\"ab\"\t-12\t\"n \"\"q\"\"\"\r\n"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.options);
    TempDirForTest dir;
    SmallRecord rec;
    File file(
        TextFileDeclaration(dir.File("s.csv"), SmallRecord::Layout(), &rec, std::string(c.options)),
        MakeBasicDriver());
    rec.NAME = "ab";
    rec.COUNT = -12;
    rec.NOTE = "n \"q\"";
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(file.Open(kReadWrite));
    ASSERT_TRUE(file.Add());
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(dir.Read("s.csv"), c.line);
  }
}

TEST(BasicDriver, InvalidSeparatorIsReported) {
  TempDirForTest dir;
  SmallRecord rec;
  File file(TextFileDeclaration(dir.File("s.csv"), SmallRecord::Layout(), &rec, "/COMMA=x"),
            MakeBasicDriver());
  EXPECT_FALSE(file.Create());
  EXPECT_EQ(ErrorCode(), kFileSystemError);
  EXPECT_EQ(dir.Listing(), "");
}

TEST(BasicDriver, ReadsItsOwnLinesBack) {
  struct Case {
    std::string_view name, content;
    std::string_view field_name, note;
    int32_t count;
  };
  constexpr Case kCases[] = {
      {"crlf", "\"ab\";7;\"x;y\"\r\n", "ab", "x;y", 7},
      {"lf", "\"ab\";7;\"x\"\n", "ab", "x", 7},
      {"doubled quotes", "\"a\"\"b\";0;\"\"\"\"\r\n", "a\"b", "\"", 0},
      {"unquoted", "ab;3;cd\r\n", "ab", "cd", 3},
      {"missing fields are cleared", "\"ab\"\r\n", "ab", "", 0},
      {"line break inside quotes", "\"a\r\nb\";1;\"\"\r\n", "a\r\nb", "", 1},
      {"cut to the field", "\"abcdefghijkl\";1;\"\"", "abcdefghij", "", 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDirForTest dir;
    dir.Write("in.csv", c.content);
    SmallRecord rec;
    rec.NOTE = "stale";
    rec.COUNT = 99;
    File file(TextFileDeclaration(dir.File("in.csv"), SmallRecord::Layout(), &rec, "/COMMA=59"),
              MakeBasicDriver());
    ASSERT_TRUE(file.Open(kReadOnly));
    ASSERT_TRUE(file.Next());
    EXPECT_EQ(rec.NAME.str(), c.field_name);
    EXPECT_EQ(rec.COUNT, c.count);
    EXPECT_EQ(rec.NOTE.str(), c.note);
    EXPECT_FALSE(file.Next());
    EXPECT_EQ(ErrorCode(), kRecordNotAvailable);
  }
}

}  // namespace
}  // namespace platform::files
