#include "platform/files/atomic_file.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

// A write killed before its commit leaves its temporary file, named after the target and
// the process; the next write of the same target removes it. A temporary file of a process
// still running, or one this process is writing, stays; other names stay too.
TEST(AtomicFile, TheNextWriteRemovesATemporaryFileAKilledWriteLeft) {
  TempDirForTest dir;
  dir.Write("a.txt", "old\r\n");
  int to_parent[2];
  int to_child[2];
  ASSERT_EQ(pipe(to_parent), 0);
  ASSERT_EQ(pipe(to_child), 0);
  // Two children begin a write of a.txt; the first is killed, the second waits.
  auto start_writer = [&]() -> pid_t {
    const pid_t pid = fork();
    if (pid == 0) {
      Result<AtomicFile> out = AtomicFile::Begin(dir.File("a.txt"));
      const bool ok = out.ok() && out.value().Write("half\r\n").ok() && out.value().Flush().ok();
      (void)!write(to_parent[1], ok ? "y" : "n", 1);
      char c;
      (void)!read(to_child[0], &c, 1);
      _exit(0);
    }
    char c = 0;
    EXPECT_EQ(read(to_parent[0], &c, 1), 1);
    EXPECT_EQ(c, 'y');
    return pid;
  };
  const pid_t running = start_writer();
  const pid_t killed = start_writer();
  ASSERT_GT(running, 0);
  ASSERT_GT(killed, 0);
  kill(killed, SIGKILL);
  waitpid(killed, nullptr, 0);
  // The names in the directory that begin with `prefix`.
  auto names = [&](const std::string& prefix) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      const std::string name = e.path().filename().string();
      if (name.starts_with(prefix)) out.push_back(name);
    }
    return out;
  };
  const std::string of_killed = ".a.txt.tmp-" + std::to_string(killed) + "-";
  const std::string of_running = ".a.txt.tmp-" + std::to_string(running) + "-";
  const std::string of_mine = ".a.txt.tmp-" + std::to_string(getpid()) + "-";
  ASSERT_EQ(names(of_killed).size(), 1u);
  EXPECT_EQ(dir.Read(names(of_killed)[0]), "half\r\n");
  ASSERT_EQ(names(of_running).size(), 1u);
  // A leftover of the naming before, of a process that has ended too; and names that are
  // no temporary file of a.txt.
  const std::string older = ".a.txt.tmp" + std::to_string(killed) + "-7";
  const std::string other_target = ".b.txt.tmp-" + std::to_string(killed) + "-0";
  dir.Write(older, "older");
  dir.Write(other_target, "another target's");
  dir.Write(".a.txt.tmp-x-0", "not a temporary file's name");

  Result<AtomicFile> mine = AtomicFile::Begin(dir.File("a.txt"));
  ASSERT_TRUE(mine.ok());
  ASSERT_TRUE(WriteFileAtomically(dir.File("a.txt"), "new\r\n").ok());
  EXPECT_EQ(dir.Read("a.txt"), "new\r\n");
  EXPECT_TRUE(names(of_killed).empty());
  EXPECT_TRUE(names(older).empty());
  EXPECT_EQ(names(of_running).size(), 1u);
  EXPECT_EQ(names(of_mine).size(), 1u);  // the open write's; the committed one is gone
  EXPECT_EQ(names(other_target).size(), 1u);
  EXPECT_EQ(names(".a.txt.tmp-x-0").size(), 1u);
  // This process's own write goes on undisturbed.
  ASSERT_TRUE(mine.value().Write("mine\r\n").ok());
  ASSERT_TRUE(mine.value().Commit().ok());
  EXPECT_EQ(dir.Read("a.txt"), "mine\r\n");
  EXPECT_TRUE(names(of_mine).empty());

  (void)!write(to_child[1], "x", 1);
  waitpid(running, nullptr, 0);
  for (int fd : {to_parent[0], to_parent[1], to_child[0], to_child[1]}) close(fd);
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
