#include "platform/files/atomic_file.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/error_codes.h"
#include "platform/files/file_test_support.h"

namespace platform::files {
namespace {

mode_t ModeOf(const std::string& path) {
  struct stat st;
  EXPECT_EQ(stat(path.c_str(), &st), 0);
  return st.st_mode & 07777;
}

TEST(AtomicFile, CommitReplacesTheTargetWhole) {
  TempDirForTest dir;
  dir.Write("a.txt", "old\r\n");
  Result<AtomicFile> out = AtomicFile::Begin(dir.File("a.txt"));
  ASSERT_TRUE(out.ok()) << out.status().ToString();
  ASSERT_TRUE(out.value().Write("new\r\n").ok());
  ASSERT_TRUE(out.value().Flush().ok());
  EXPECT_EQ(dir.Read("a.txt"), "old\r\n");  // nothing changes before Commit
  ASSERT_TRUE(out.value().Commit().ok());
  EXPECT_EQ(dir.Read("a.txt"), "new\r\n");
  EXPECT_EQ(dir.Listing(), "a.txt ");
}

TEST(AtomicFile, AbandonedWriteLeavesTheTargetAlone) {
  TempDirForTest dir;
  dir.Write("a.txt", "old\r\n");
  {
    Result<AtomicFile> out = AtomicFile::Begin(dir.File("a.txt"));
    ASSERT_TRUE(out.ok());
    ASSERT_TRUE(out.value().Write(std::string(200000, 'x')).ok());
  }
  EXPECT_EQ(dir.Read("a.txt"), "old\r\n");
  EXPECT_EQ(dir.Listing(), "a.txt ");
}

TEST(AtomicFile, KeepsTheModeOrSetsTheOneAskedFor) {
  TempDirForTest dir;
  dir.Write("kept.ini", "x");
  chmod(dir.File("kept.ini").c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(dir.File("kept.ini"), "y").ok());
  EXPECT_EQ(ModeOf(dir.File("kept.ini")), 0640u);

  ASSERT_TRUE(WriteFileAtomically(dir.File("new.ini"), "y", {.mode = 0600}).ok());
  EXPECT_EQ(ModeOf(dir.File("new.ini")), 0600u);
  ASSERT_TRUE(WriteFileAtomically(dir.File("kept.ini"), "z", {.mode = 0600}).ok());
  EXPECT_EQ(ModeOf(dir.File("kept.ini")), 0600u);

  // At most these bits: a new file gets them, a replaced one keeps what is stricter.
  const AtomicFileOptions at_most{.at_most = 0600};
  ASSERT_TRUE(WriteFileAtomically(dir.File("limited.ini"), "y", at_most).ok());
  EXPECT_EQ(ModeOf(dir.File("limited.ini")), 0600u);
  for (auto [old_mode, mode] : {std::pair{0644, 0600}, {0400, 0400}, {0604, 0600}}) {
    SCOPED_TRACE(old_mode);
    chmod(dir.File("limited.ini").c_str(), static_cast<mode_t>(old_mode));
    ASSERT_TRUE(WriteFileAtomically(dir.File("limited.ini"), "z", at_most).ok());
    EXPECT_EQ(ModeOf(dir.File("limited.ini")), static_cast<mode_t>(mode));
  }
}

TEST(AtomicFile, SymbolicLinkStaysAndItsFileIsReplaced) {
  TempDirForTest dir;
  dir.Write("real.txt", "old");
  ASSERT_EQ(symlink("real.txt", dir.File("link.txt").c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(dir.File("link.txt"), "new").ok());
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.txt")));
  EXPECT_EQ(dir.Read("real.txt"), "new");
}

TEST(AtomicFile, FailuresAreTheRuntimesErrors) {
  TempDirForTest dir;
  std::filesystem::create_directory(dir.File("sub"));
  struct Case {
    std::string name;
    int code;
  };
  const Case kCases[] = {
      {dir.File("missing/a.txt"), kPathNotFound},
      {dir.File("sub"), kAccessDenied},  // a directory cannot become a file
      {"", kFileNotFound},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Status s = WriteFileAtomically(c.name, "x");
    EXPECT_EQ(s.code(), c.code) << s.ToString();
  }
  EXPECT_EQ(dir.Listing(), "sub ");
}

TEST(AtomicFile, FailedRenameIsReportedAndCleanedUp) {
  TempDirForTest dir;
  Result<AtomicFile> out = AtomicFile::Begin(dir.File("a.txt"));
  ASSERT_TRUE(out.ok());
  ASSERT_TRUE(out.value().Write("line\r\n").ok());
  // Someone puts a directory where the file goes: the rename cannot replace it.
  std::filesystem::create_directories(dir.File("a.txt/inside"));
  Status s = out.value().Commit();
  EXPECT_EQ(s.code(), kAccessDenied) << s.ToString();
  EXPECT_FALSE(s.file_error().empty());
  EXPECT_EQ(dir.Listing(), "a.txt ");
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("a.txt")));
}

TEST(AtomicFile, WriteFailureIsStickyAndKeepsTheOldFile) {
  TempDirForTest dir;
  dir.Write("a.txt", "old\r\n");
  Result<AtomicFile> out = AtomicFile::Begin(dir.File("a.txt"));
  ASSERT_TRUE(out.ok());
  Status s;
  {
    FileSizeLimitForTest limit(/*bytes=*/10);
    s = out.value().Write(std::string(100, 'x'));
    if (s.ok()) s = out.value().Flush();
  }
  EXPECT_EQ(s.code(), kFileSystemError) << s.ToString();
  EXPECT_FALSE(s.file_error().empty());
  EXPECT_EQ(out.value().Write("more").code(), kFileSystemError);
  EXPECT_EQ(out.value().Commit().code(), kFileSystemError);
  EXPECT_EQ(dir.Read("a.txt"), "old\r\n");
  EXPECT_EQ(dir.Listing(), "a.txt ");
}

TEST(ReadWholeFile, ReadsBytesAndReportsTheRuntimesErrors) {
  TempDirForTest dir;
  dir.Write("a.txt", std::string("a\0b\r\n", 5));
  Result<std::string> r = ReadWholeFile(dir.File("a.txt"));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value(), std::string("a\0b\r\n", 5));
  EXPECT_EQ(ReadWholeFile(dir.File("none.txt")).status().code(), kFileNotFound);
  EXPECT_EQ(ReadWholeFile(dir.path()).status().code(), kAccessDenied);
}

}  // namespace
}  // namespace platform::files
