#include "platform/files/ascii_driver.h"

#include <filesystem>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/error_codes.h"
#include "platform/core/error_state.h"
#include "platform/files/file_test_support.h"

namespace platform::files {
namespace {

template <size_t N>
File LineFile(const std::string& name, LineRecord<N>& rec) {
  return File(TextFileDeclaration(name, LineRecord<N>::Layout(), &rec), MakeAsciiDriver());
}

template <size_t N>
std::vector<std::string> ReadAll(File& file, LineRecord<N>& rec) {
  std::vector<std::string> out;
  EXPECT_TRUE(file.Set());
  while (file.Next()) out.push_back(rec.LINE.str());
  EXPECT_EQ(ErrorCode(), kRecordNotAvailable);
  EXPECT_EQ(Error(), "Record Not Available");
  return out;
}

// Two fields, written side by side as the record's bytes.
struct PairRecord {
  FixedString<4> A;
  FixedString<6> B;
  static const RecordLayout& Layout() {
    static const RecordLayout layout =
        MakeLayout<PairRecord>("PAI", Field<&PairRecord::A>("A"), Field<&PairRecord::B>("B"));
    return layout;
  }
};

TEST(AsciiDriver, WritesLinesWithoutTrailingBlanksEndedByCrLf) {
  TempDirForTest dir;
  LineRecord<20> rec;
  File file = LineFile(dir.File("out.txt"), rec);
  ASSERT_TRUE(file.Create());
  ASSERT_TRUE(file.Open(kReadWrite | kDenyWrite));
  for (std::string_view line : {"  [DICTIONARY]", "abc   ", "", "Grüße an ’x’", "last"}) {
    rec.LINE = line;
    ASSERT_TRUE(file.Add()) << Error();
  }
  ASSERT_TRUE(file.Close()) << Error();
  EXPECT_EQ(dir.Read("out.txt"), "  [DICTIONARY]\r\nabc\r\n\r\nGrüße an ’x’\r\nlast\r\n");
  EXPECT_EQ(dir.Listing(), "out.txt ");
}

TEST(AsciiDriver, SeveralFieldsAreWrittenAsTheRecordsBytes) {
  TempDirForTest dir;
  PairRecord rec;
  File file(TextFileDeclaration(dir.File("p.txt"), PairRecord::Layout(), &rec), MakeAsciiDriver());
  ASSERT_TRUE(file.Create());
  ASSERT_TRUE(file.Open(kWriteOnly));
  rec.A = "ab";
  rec.B = "cd";
  ASSERT_TRUE(file.Add());
  rec.A = "wxyz";
  rec.B = "";
  ASSERT_TRUE(file.Add());
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(dir.Read("p.txt"), "ab  cd\r\nwxyz\r\n");

  ASSERT_TRUE(file.Open(kReadOnly));
  ASSERT_TRUE(file.Next());
  EXPECT_EQ(rec.A, "ab");
  EXPECT_EQ(rec.B, "cd");
  ASSERT_TRUE(file.Next());
  EXPECT_EQ(rec.A, "wxyz");
  EXPECT_EQ(rec.B, "");
  EXPECT_TRUE(file.Close());
}

TEST(AsciiDriver, ReadsLinesCutToTheRecordLength) {
  struct Case {
    std::string_view name;
    std::string_view content;
    std::vector<std::string> lines;  // as read into a STRING(5)
  };
  const Case kCases[] = {
      {"crlf", "one\r\ntwo\r\n", {"one", "two"}},
      {"lf", "one\ntwo\n", {"one", "two"}},
      {"mixed, no last end", "one\r\ntwo\nthree", {"one", "two", "three"}},
      {"empty lines", "\r\n\r\nx\r\n", {"", "", "x"}},
      {"empty file", "", {}},
      {"five bytes fit", "abcde\r\n", {"abcde"}},
      {"six bytes are cut", "abcdef\r\n", {"abcde"}},
      {"a character is not split", "abcdé\r\n", {"abcd"}},  // é is two bytes at 5 and 6
      {"a character that fits", "abcé\r\n", {"abcé"}},
      {"lone CR stays text", "a\rb\r\n", {"a\rb"}},
      {"byte order mark", "\xEF\xBB\xBFone\r\n", {"one"}},
      {"trailing blanks", "ab   \r\n", {"ab"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDirForTest dir;
    dir.Write("in.txt", c.content);
    LineRecord<5> rec;
    File file = LineFile(dir.File("in.txt"), rec);
    ASSERT_TRUE(file.Open(kReadOnly | kDenyNone)) << Error();
    EXPECT_EQ(ReadAll(file, rec), c.lines);
    EXPECT_TRUE(file.Close());
  }
}

TEST(AsciiDriver, NextPastTheEndAndBeforeTheFirstSet) {
  TempDirForTest dir;
  dir.Write("in.txt", "a\r\n");
  LineRecord<5> rec;
  File file = LineFile(dir.File("in.txt"), rec);
  ASSERT_TRUE(file.Open(kReadOnly));
  ASSERT_TRUE(file.Next());  // OPEN already stands before the first line
  EXPECT_EQ(rec.LINE, "a");
  EXPECT_FALSE(file.Next());
  EXPECT_EQ(ErrorCode(), kRecordNotAvailable);
  EXPECT_FALSE(file.Next());
  EXPECT_EQ(ErrorCode(), kRecordNotAvailable);
  ASSERT_TRUE(file.Set());
  EXPECT_TRUE(file.Next());
  EXPECT_EQ(ErrorCode(), 0);
}

TEST(AsciiDriver, OpenOfAMissingFileIsFileNotFound) {
  TempDirForTest dir;
  LineRecord<5> rec;
  File file = LineFile(dir.File("none.txt"), rec);
  EXPECT_FALSE(file.Open(kReadWrite | kDenyNone));
  EXPECT_EQ(ErrorCode(), kFileNotFound);
  EXPECT_EQ(Error(), "File Not Found");
  EXPECT_FALSE(file.is_open());
  EXPECT_EQ(dir.Listing(), "");
}

TEST(AsciiDriver, CreateAttributeMakesAMissingFileOnOpen) {
  TempDirForTest dir;
  LineRecord<5> rec;
  FileDeclaration decl = TextFileDeclaration(dir.File("made.txt"), LineRecord<5>::Layout(), &rec);
  decl.create = true;
  File file(std::move(decl), MakeAsciiDriver());
  ASSERT_TRUE(file.Open(kReadWrite | kDenyNone)) << Error();
  EXPECT_FALSE(file.Next());
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(dir.Listing(), "made.txt ");
  EXPECT_EQ(dir.Read("made.txt"), "");
}

TEST(AsciiDriver, CreateOfAMissingFileMakesItEmptyAtOnce) {
  TempDirForTest dir;
  LineRecord<5> rec;
  File file = LineFile(dir.File("f.ini"), rec);
  ASSERT_TRUE(file.Create());
  EXPECT_EQ(dir.Listing(), "f.ini ");
  ASSERT_TRUE(file.Open(0x42));  // read/write, deny none, as the field-types file is opened
  EXPECT_FALSE(file.Next());
  EXPECT_EQ(ErrorCode(), kRecordNotAvailable);
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(dir.Read("f.ini"), "");
}

TEST(AsciiDriver, CreateOfAnExistingFileReplacesItOnlyAtClose) {
  TempDirForTest dir;
  dir.Write("out.txt", "old 1\r\nold 2\r\n");
  LineRecord<10> rec;
  File file = LineFile(dir.File("out.txt"), rec);
  ASSERT_TRUE(file.Create());
  ASSERT_TRUE(file.Open(0x22));
  EXPECT_FALSE(file.Next());  // the created file is empty
  rec.LINE = "new";
  ASSERT_TRUE(file.Add());
  EXPECT_EQ(dir.Read("out.txt"), "old 1\r\nold 2\r\n");  // a crash now keeps the old file
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(dir.Read("out.txt"), "new\r\n");
  EXPECT_EQ(dir.Listing(), "out.txt ");
}

TEST(AsciiDriver, CreateOpenCloseLeavesAnEmptyFile) {
  TempDirForTest dir;
  dir.Write("out.txt", "old\r\n");
  LineRecord<10> rec;
  File file = LineFile(dir.File("out.txt"), rec);
  ASSERT_TRUE(file.Create());
  ASSERT_TRUE(file.Open(kWriteOnly));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(dir.Read("out.txt"), "");
}

TEST(AsciiDriver, AddWithoutCreateAppends) {
  struct Case {
    std::string_view name, before, after;
    uint32_t mode;
  };
  constexpr Case kCases[] = {
      {"after a line end", "a\r\nb\r\n", "a\r\nb\r\nc\r\n", kWriteOnly},
      {"after a last line without its end", "a\r\nb", "a\r\nb\r\nc\r\n", kWriteOnly},
      {"LF lines stay as they are", "a\nb\n", "a\nb\nc\r\n", kReadWrite},
      {"to an empty file", "", "c\r\n", kReadWrite},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDirForTest dir;
    dir.Write("log.txt", c.before);
    LineRecord<10> rec;
    File file = LineFile(dir.File("log.txt"), rec);
    ASSERT_TRUE(file.Open(c.mode));
    rec.LINE = "c";
    ASSERT_TRUE(file.Add());
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(dir.Read("log.txt"), c.after);
  }
}

TEST(AsciiDriver, OpenWithoutAddLeavesTheFileUntouched) {
  TempDirForTest dir;
  dir.Write("in.txt", "a\n");
  const std::filesystem::file_time_type before =
      std::filesystem::last_write_time(dir.File("in.txt"));
  LineRecord<10> rec;
  File file = LineFile(dir.File("in.txt"), rec);
  ASSERT_TRUE(file.Open(kReadWrite | kDenyNone));
  ASSERT_TRUE(file.Next());
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(dir.Read("in.txt"), "a\n");
  EXPECT_EQ(std::filesystem::last_write_time(dir.File("in.txt")), before);
}

TEST(AsciiDriver, AccessModesLimitReadingAndWriting) {
  TempDirForTest dir;
  dir.Write("in.txt", "a\r\n");
  LineRecord<10> rec;
  File file = LineFile(dir.File("in.txt"), rec);
  ASSERT_TRUE(file.Open(kReadOnly | kDenyWrite));
  rec.LINE = "b";
  EXPECT_FALSE(file.Add());
  EXPECT_EQ(ErrorCode(), kAccessDenied);
  ASSERT_TRUE(file.Close());
  ASSERT_TRUE(file.Open(kWriteOnly | kDenyAll));
  EXPECT_FALSE(file.Next());
  EXPECT_EQ(ErrorCode(), kAccessDenied);
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(dir.Read("in.txt"), "a\r\n");
}

TEST(AsciiDriver, StreamAndFlushWriteTheSameBytes) {
  TempDirForTest dir;
  LineRecord<10> rec;
  File file = LineFile(dir.File("out.txt"), rec);
  ASSERT_TRUE(file.Create());
  ASSERT_TRUE(file.Open(0x22));
  ASSERT_TRUE(file.Stream());
  for (int i = 0; i < 20000; ++i) {
    rec.LINE = std::to_string(i);
    ASSERT_TRUE(file.Add());
  }
  ASSERT_TRUE(file.Flush());
  ASSERT_TRUE(file.Close());
  const std::string bytes = dir.Read("out.txt");
  EXPECT_EQ(bytes.substr(0, 9), "0\r\n1\r\n2\r\n");
  EXPECT_EQ(bytes.substr(bytes.size() - 7), "19999\r\n");
}

TEST(AsciiDriver, UnwritableTargetsFailAndNeverLeaveHalfAFile) {
  TempDirForTest dir;
  std::filesystem::create_directory(dir.File("adir"));
  struct Case {
    std::string name;
    int create_code;
  };
  const Case kCases[] = {
      {dir.File("adir"), kAccessDenied},  // the target is a directory
      {dir.File("missing/out.txt"), kPathNotFound},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    LineRecord<10> rec;
    File file = LineFile(c.name, rec);
    EXPECT_FALSE(file.Create());
    EXPECT_EQ(ErrorCode(), c.create_code);
    EXPECT_FALSE(FileError().empty());
    EXPECT_FALSE(file.Open(0x22));
    // As the export sees it: the first ADD fails, so the user hears of it.
    rec.LINE = "x";
    EXPECT_FALSE(file.Add());
    EXPECT_NE(ErrorCode(), 0);
  }
  EXPECT_EQ(dir.Listing(), "adir ");
}

TEST(AsciiDriver, FailedRenameIsReportedByClose) {
  TempDirForTest dir;
  LineRecord<10> rec;
  File file = LineFile(dir.File("out.txt"), rec);
  ASSERT_TRUE(file.Create());
  ASSERT_TRUE(file.Open(0x22));
  rec.LINE = "x";
  ASSERT_TRUE(file.Add());
  std::filesystem::remove(dir.File("out.txt"));
  std::filesystem::create_directories(dir.File("out.txt/in the way"));
  EXPECT_FALSE(file.Close());
  EXPECT_EQ(ErrorCode(), kAccessDenied);
  EXPECT_FALSE(FileError().empty());
  EXPECT_FALSE(file.is_open());
  EXPECT_EQ(dir.Listing(), "out.txt ");
}

TEST(AsciiDriver, FullDiskFailsTheAddAndKeepsTheOldFile) {
  TempDirForTest dir;
  dir.Write("out.txt", "old\r\n");
  LineRecord<100> rec;
  File file = LineFile(dir.File("out.txt"), rec);
  ASSERT_TRUE(file.Create());
  ASSERT_TRUE(file.Open(0x22));
  rec.LINE = std::string(60, 'x');
  bool first = false, second = false;
  {
    FileSizeLimitForTest limit(/*bytes=*/100);
    first = file.Add();
    second = file.Add();
  }
  EXPECT_TRUE(first);
  EXPECT_FALSE(second);
  EXPECT_EQ(ErrorCode(), kFileSystemError);
  EXPECT_EQ(FileError(), "File too large");
  EXPECT_FALSE(file.Add());  // later lines are not written either
  EXPECT_FALSE(file.Close());
  EXPECT_EQ(ErrorCode(), kFileSystemError);
  EXPECT_EQ(dir.Read("out.txt"), "old\r\n");
  EXPECT_EQ(dir.Listing(), "out.txt ");
}

TEST(AsciiDriver, NoPermissionIsAccessDenied) {
  TempDirForTest dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  dir.Write("in.txt", "a\r\n");
  LineRecord<10> rec;
  File file = LineFile(dir.File("in.txt"), rec);
  auto open_fails_with_access_denied = [&](uint32_t mode) {
    return RunWithoutRoot([&] { return !file.Open(mode) && ErrorCode() == kAccessDenied ? 0 : 1; });
  };
  ASSERT_EQ(chmod(dir.File("in.txt").c_str(), 0), 0);
  EXPECT_EQ(open_fails_with_access_denied(kReadOnly), 0);
  ASSERT_EQ(chmod(dir.File("in.txt").c_str(), 0444), 0);
  EXPECT_EQ(open_fails_with_access_denied(kReadWrite), 0);
  EXPECT_EQ(dir.Read("in.txt"), "a\r\n");
}

}  // namespace
}  // namespace platform::files
