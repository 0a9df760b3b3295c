#include "platform/files/ini_file.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/error_codes.h"
#include "platform/files/file_test_support.h"

namespace platform::files {
namespace {

constexpr std::string_view kSection = "Last connectstring";

TEST(Ini, GetIniReadsAsThePrivateProfileDoes) {
  constexpr std::string_view kFile =
      "; Connection\r\n"
      "[Other]\r\n"
      "Connectstring=wrong section\r\n"
      "\r\n"
      "  [ last CONNECTSTRING ]  \r\n"
      ";Connectstring=a comment\r\n"
      "  ; DNS=also a comment\r\n"
      "a line without an equals sign\n"
      "Connectstring = DSN=pg;UID=u; PWD=p;  \r\n"
      "DNS=\r\n"
      "Username=first\n"
      "username=second\r\n"
      "Password=\"quoted\"\r\n"
      "[Last connectstring]\r\n"
      "Extra=in a second section of the name\r\n";
  struct Case {
    std::string_view key, expected;
  };
  constexpr Case kCases[] = {
      {"Connectstring", "DSN=pg;UID=u; PWD=p;"},  // ';' is text; blanks around it go
      {"CONNECTSTRING", "DSN=pg;UID=u; PWD=p;"},
      {"DNS", ""},            // present and empty: not the default
      {"Username", "first"},  // the first of two wins
      {"Password", "\"quoted\""},
      {"Extra", "in a second section of the name"},
      {"Missing", "(default)"},
      {"a line without an equals sign", "(default)"},
  };
  TempDirForTest dir;
  dir.Write("x_dns.ini", kFile);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(GetIni(kSection, c.key, "(default)", dir.File("x_dns.ini")), c.expected);
  }
  EXPECT_EQ(GetIni("Other", "Connectstring", "", dir.File("x_dns.ini")), "wrong section");
  EXPECT_EQ(GetIni("None", "DNS", "(default)", dir.File("x_dns.ini")), "(default)");
  EXPECT_EQ(GetIni(kSection, "DNS", "(default)", dir.File("missing.ini")), "(default)");
  EXPECT_EQ(GetIni(kSection, "DNS", "(default)", dir.path()), "(default)");  // a directory
}

TEST(Ini, PutIniChangesOneLineAndKeepsTheRest) {
  struct Case {
    std::string_view name;
    std::string_view before;
    std::string_view section, key, value;
    std::string_view after;
  };
  constexpr Case kCases[] = {
      {"missing file", "", "Last connectstring", "DNS", "pg", "[Last connectstring]\r\nDNS=pg\r\n"},
      {"replace in place, foreign lines and comments untouched",
       "; mine\n[last connectstring]\nfoo bar\nDNS = old ; not a comment\nUsername=u\n",
       "Last connectstring", "dns", "new",
       "; mine\n[last connectstring]\nfoo bar\nDNS=new\r\nUsername=u\n"},
      {"value with ';' and '='", "[S]\r\nK=1\r\n", "S", "K", "DSN=x;UID=u;PWD=p;",
       "[S]\r\nK=DSN=x;UID=u;PWD=p;\r\n"},
      {"line breaks become blanks", "[S]\r\n", "S", "K", "a\r\nb\nc\rd", "[S]\r\nK=a b c d\r\n"},
      {"a line break cannot smuggle a section", "[S]\r\n", "S", "K", "x\r\n[T]\r\nY=1",
       "[S]\r\nK=x [T] Y=1\r\n"},
      {"append to the section after its last entry",
       "[S]\r\nA=1\r\n\r\n; about T\r\n[T]\r\nB=2\r\n", "s", "C", "3",
       "[S]\r\nA=1\r\nC=3\r\n\r\n; about T\r\n[T]\r\nB=2\r\n"},
      {"append to an empty section", "[S]\r\n[T]\r\n", "S", "C", "3", "[S]\r\nC=3\r\n[T]\r\n"},
      {"new section at the end", "[T]\r\nB=2\r\n", "S", "C", "3",
       "[T]\r\nB=2\r\n\r\n[S]\r\nC=3\r\n"},
      {"new section after a last line without its end", "[T]\nB=2", "S", "C", "3",
       "[T]\nB=2\r\n\r\n[S]\r\nC=3\r\n"},
      {"new section after a blank line", "[T]\r\nB=2\r\n\r\n", "S", "C", "3",
       "[T]\r\nB=2\r\n\r\n[S]\r\nC=3\r\n"},
      {"commented-out key is not the key", "[S]\r\n;K=old\r\n", "S", "K", "new",
       "[S]\r\nK=new\r\n;K=old\r\n"},
      {"empty value", "[S]\r\nK=1\r\n", "S", "K", "", "[S]\r\nK=\r\n"},
      {"last key line without its end", "[S]\r\nK=1", "S", "K", "2", "[S]\r\nK=2\r\n"},
      {"byte order mark kept", "\xEF\xBB\xBF[S]\r\nK=1\r\n", "S", "K", "2",
       "\xEF\xBB\xBF[S]\r\nK=2\r\n"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDirForTest dir;
    if (!c.before.empty()) dir.Write("a.ini", c.before);
    Status s = PutIni(c.section, c.key, c.value, dir.File("a.ini"));
    ASSERT_TRUE(s.ok()) << s.ToString();
    EXPECT_EQ(dir.Read("a.ini"), c.after);
    EXPECT_EQ(dir.Listing(), "a.ini ");
  }
}

TEST(Ini, WhatPutIniWritesGetIniReads) {
  TempDirForTest dir;
  const std::string ini = dir.File("pexolind_dns.ini");
  ASSERT_TRUE(PutIni(kSection, "DNS", "pg", ini).ok());
  ASSERT_TRUE(PutIni(kSection, "Username", "user", ini).ok());
  ASSERT_TRUE(PutIni(kSection, "Password", "p;w=\"d\"", ini).ok());
  ASSERT_TRUE(PutIni(kSection, "Connectstring", "DSN=pg;UID=user;PWD=p;w=\"d\"", ini).ok());
  ASSERT_TRUE(PutIni(kSection, "DNS", "pg2", ini).ok());
  EXPECT_EQ(GetIni(kSection, "DNS", "", ini), "pg2");
  EXPECT_EQ(GetIni(kSection, "Password", "", ini), "p;w=\"d\"");
  EXPECT_EQ(GetIni(kSection, "Connectstring", "", ini), "DSN=pg;UID=user;PWD=p;w=\"d\"");
  EXPECT_EQ(dir.Read("pexolind_dns.ini"),
            "[Last connectstring]\r\nDNS=pg2\r\nUsername=user\r\nPassword=p;w=\"d\"\r\n"
            "Connectstring=DSN=pg;UID=user;PWD=p;w=\"d\"\r\n");
}

TEST(Ini, ModeCanBeAskedForAFileHoldingAPassword) {
  TempDirForTest dir;
  ASSERT_TRUE(PutIni(kSection, "Password", "secret", dir.File("a.ini"), {.mode = 0600}).ok());
  struct stat st;
  ASSERT_EQ(stat(dir.File("a.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST(Ini, BareNameLivesInTheCurrentDirectory) {
  TempDirForTest dir;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  Status s = PutIni("S", "K", "v", "pexolind.INI");
  const std::string read = GetIni("S", "K", "", "pexolind.INI");
  std::filesystem::current_path(before);
  ASSERT_TRUE(s.ok()) << s.ToString();
  EXPECT_EQ(read, "v");
  EXPECT_EQ(dir.Listing(), "pexolind.INI ");
}

TEST(Ini, FailuresLeaveTheFileAsItWas) {
  TempDirForTest dir;
  std::filesystem::create_directory(dir.File("adir"));
  EXPECT_EQ(PutIni("S", "K", "v", dir.File("adir")).code(), kAccessDenied);
  EXPECT_EQ(PutIni("S", "K", "v", dir.File("missing/a.ini")).code(), kPathNotFound);

  dir.Write("a.ini", "[S]\r\nK=old\r\n");
  Status s;
  {
    FileSizeLimitForTest limit(/*bytes=*/5);
    s = PutIni("S", "K", "new", dir.File("a.ini"));
  }
  EXPECT_EQ(s.code(), kFileSystemError) << s.ToString();
  EXPECT_EQ(dir.Read("a.ini"), "[S]\r\nK=old\r\n");
  EXPECT_EQ(dir.Listing(), "a.ini adir ");
}

TEST(Ini, UnreadableFileIsNotOverwritten) {
  TempDirForTest dir;
  // The directory takes new files, so only the failed read keeps the file from being replaced.
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  dir.Write("a.ini", "[S]\r\nK=old\r\n");
  ASSERT_EQ(chmod(dir.File("a.ini").c_str(), 0222), 0);
  EXPECT_EQ(RunWithoutRoot([&] { return PutIni("S", "K", "new", dir.File("a.ini")).code(); }),
            kAccessDenied);
  EXPECT_EQ(dir.Read("a.ini"), "[S]\r\nK=old\r\n");
  EXPECT_EQ(dir.Listing(), "a.ini ");
}

}  // namespace
}  // namespace platform::files
