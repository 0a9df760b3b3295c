#include "platform/core/paths.h"

#include <string_view>

#include <gtest/gtest.h>
#include <unistd.h>

namespace platform {
namespace {

class ProgramPathOverride {
 public:
  explicit ProgramPathOverride(std::string path) { TEST_SetProgramPath(std::move(path)); }
  ~ProgramPathOverride() { TEST_SetProgramPath({}); }
};

TEST(Paths, BareNames) {
  struct Case {
    std::string_view name;
    bool bare;
  };
  constexpr Case kCases[] = {
      {"Clarion.txd", true},    {"", true},
      {"a\\b.txd", true},  // a backslash is a character
      {"./Clarion.txd", false}, {"/tmp/x", false},
      {"dir/", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsBareName(c.name), c.bare);
  }
}

TEST(Paths, JoinUsesOneSlash) {
  struct Case {
    std::string_view dir, name, joined;
  };
  constexpr Case kCases[] = {
      {"/home/u", "Result.csv", "/home/u/Result.csv"},
      {"/home/u/", "Result.csv", "/home/u/Result.csv"},
      {"/", "Result.csv", "/Result.csv"},  // the root already ends with one
      {"", "Result.csv", "Result.csv"},
      {"/home/u", "", "/home/u/"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.dir) + " + " + std::string(c.name));
    EXPECT_EQ(JoinPath(c.dir, c.name), c.joined);
  }
}

TEST(Paths, DirectoryAndBaseName) {
  struct Case {
    std::string_view path, dir, base;
  };
  constexpr Case kCases[] = {
      {"/home/u/a.ini", "/home/u", "a.ini"},
      {"/a.ini", "/", "a.ini"},
      {"a.ini", ".", "a.ini"},
      {"/home/u/", "/home/u", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(DirName(c.path), c.dir);
    EXPECT_EQ(BaseName(c.path), c.base);
  }
}

TEST(Paths, ExeIsStrippedOnlyWhenPresent) {
  struct Case {
    std::string_view path, stripped;
  };
  constexpr Case kCases[] = {
      {"/opt/x/bin/pexolind", "/opt/x/bin/pexolind"},
      {"/opt/x/bin/pexolind.exe", "/opt/x/bin/pexolind"},
      {"/opt/x/bin/exe", "/opt/x/bin/exe"},
      {".exe", ""},
      {"exe", "exe"},
      {"/opt/x/bin/pexolind.exe.bak", "/opt/x/bin/pexolind.exe.bak"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(WithoutExe(c.path), c.stripped);
  }
}

TEST(Paths, SiblingNamesComeFromTheProgramPath) {
  {
    ProgramPathOverride program("/opt/x/bin/pexolind");
    EXPECT_EQ(ProgramSiblingName("_dns.ini"), "/opt/x/bin/pexolind_dns.ini");
  }
  {
    ProgramPathOverride program("/opt/x/bin/pexolind.exe");
    EXPECT_EQ(ProgramSiblingName("_fieldtypes.ini"), "/opt/x/bin/pexolind_fieldtypes.ini");
  }
}

TEST(Paths, ProgramPathIsTheRunningFile) {
  const std::string path = ProgramPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  EXPECT_EQ(access(path.c_str(), X_OK), 0);
}

TEST(Paths, BareNamesLiveInTheCurrentDirectory) {
  const std::string cwd = LongPath();
  EXPECT_EQ(cwd.front(), '/');
  EXPECT_EQ(InCurrentDirectory("Result.csv"), JoinPath(cwd, "Result.csv"));
  EXPECT_EQ(InCurrentDirectory("/tmp/Result.csv"), "/tmp/Result.csv");
  EXPECT_EQ(InCurrentDirectory("sub/Result.csv"), "sub/Result.csv");
}

TEST(Paths, DataDirectoryOfAnInstalledProgram) {
  ProgramPathOverride program("/opt/x/bin/pexolind");
  EXPECT_EQ(DataDirectory(), "/opt/x/share/pexolind");
  TEST_SetDataDirectory("/tmp/data/");
  EXPECT_EQ(DataDirectory(), "/tmp/data");
  TEST_SetDataDirectory({});
  EXPECT_EQ(DataDirectory(), "/opt/x/share/pexolind");
}

TEST(Paths, DataDirectoryOfTheBuildTree) {
  // This test binary runs from the build tree.
  const std::string dir = DataDirectory();
  EXPECT_TRUE(dir.ends_with("/share")) << dir;
}

}  // namespace
}  // namespace platform
