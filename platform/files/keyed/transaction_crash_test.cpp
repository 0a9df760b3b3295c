// Processes killed in the middle of a transaction, and two processes sharing a file. Each
// test forks; the child works on the files and reports through a pipe, the parent kills it
// (SIGKILL, no clean-up of any kind) and then checks what the files hold.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/core/error_state.h"
#include "platform/files/keyed/file_system.h"
#include "platform/files/keyed/keyed_test_support.h"
#include "platform/files/keyed/transaction.h"

namespace platform::files {
namespace {

using keyed_test::AddRow;
using keyed_test::Child;
using keyed_test::Key;
using keyed_test::KeyedFile;
using keyed_test::kName;
using keyed_test::ReadOn;
using keyed_test::Row;
using keyed_test::RowFile;
using keyed_test::ScratchDir;
using Tags = std::vector<std::string>;

bool KilledBySigkill(int status) { return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL; }
bool ExitedCleanly(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

// A record big enough that a few hundred of them overflow SQLite's page cache, so the
// database file itself is written before the transaction commits.
struct BigRow {
  CString<21> NAME;
  int32_t NUMBER = 0;
  FixedString<4000> BODY;
  static const RecordLayout& Layout() {
    static const RecordLayout layout =
        MakeLayout<BigRow>("BIG", Field<&BigRow::NAME>("NAME"), Field<&BigRow::NUMBER>("NUMBER"),
                           Field<&BigRow::BODY>("BODY"));
    return layout;
  }
};

std::vector<FileKey> Keys() { return {Key({{kName, false}}, false, true)}; }

class CrashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"ZOVConditionalSet", "ZOVConditional", "ZOVRestyle"}) {
      paths_.push_back(dir_ / name);
    }
  }
  // Each file new, holding "before" 1 and `fillers` big records "filler<n>" n.
  void Prepare(int fillers = 0) {
    std::vector<std::unique_ptr<File>> files;
    BigRow rows[3];
    for (size_t i = 0; i < 3; ++i) {
      files.push_back(KeyedFile(paths_[i], BigRow::Layout(), &rows[i], Keys()));
      ASSERT_TRUE(files[i]->Create());
      ASSERT_TRUE(files[i]->Open());
    }
    ASSERT_TRUE(Logout(1, {files[0].get(), files[1].get(), files[2].get()}));
    for (size_t i = 0; i < 3; ++i) {
      files[i]->Clear();
      rows[i].NAME = "before";
      rows[i].NUMBER = 1;
      ASSERT_TRUE(files[i]->Add());
      for (int n = 0; n < fillers; ++n) {
        rows[i].NAME = "filler" + std::to_string(n);
        rows[i].NUMBER = n;
        rows[i].BODY = std::string(4000, 'f');
        ASSERT_TRUE(files[i]->Add());
      }
    }
    ASSERT_TRUE(Commit());
  }
  // The records of file `i` in key order: name, number and the first byte of the body.
  Tags Content(size_t i) { return ContentOf(paths_[i], kReadWrite | kDenyNone); }
  // The same of the file at `path`, opened with `mode`.
  Tags ContentOf(const std::string& path, uint32_t mode) {
    BigRow row;
    auto file = KeyedFile(path, BigRow::Layout(), &row, Keys(), /*create=*/false);
    if (!file->Open(mode)) return {"open failed: " + Error()};
    Tags out;
    (void)file->SetKey(0, false);
    while (file->Next()) {
      out.push_back(row.NAME.str() + std::to_string(row.NUMBER));
      if (!row.BODY.empty()) out.back() += ":" + row.BODY.str().substr(0, 1);
    }
    return out;
  }
  void KillInTheMiddleOfATransaction(std::vector<Tags>& before_content);
  off_t Size(size_t i) {
    struct stat st;
    return ::stat(paths_[i].c_str(), &st) == 0 ? st.st_size : -1;
  }

  ScratchDir dir_;
  std::vector<std::string> paths_;
};

// In the child: the three files open, a LOGOUT over them, "before" changed to 2 in each and
// `added` big records added to each. Answers 0 when all of that worked.
struct ChildFiles {
  BigRow rows[3];
  std::vector<std::unique_ptr<File>> files;

  int OpenAndChange(const std::vector<std::string>& paths, int added) {
    for (size_t i = 0; i < 3; ++i) {
      files.push_back(KeyedFile(paths[i], BigRow::Layout(), &rows[i], Keys(), false));
      if (!files[i]->Open(kReadWrite | kDenyNone)) return 10;
      files[i]->SetProperty(kPropLogoutOrder, i == 0 ? "1" : "2");
    }
    if (!Logout(1)) return 11;
    for (size_t i = 0; i < 3; ++i) {
      // Every record rewritten: "before" gets 2, the fillers another body.
      if (!files[i]->SetKey(0, false)) return 12;
      while (files[i]->Next()) {
        if (rows[i].NAME == "before") {
          rows[i].NUMBER = 2;
        } else {
          rows[i].BODY = std::string(4000, 'x');
        }
        if (!files[i]->Put()) return 13;
      }
      for (int n = 0; n < added; ++n) {
        rows[i].NAME = "added" + std::to_string(n);
        rows[i].NUMBER = n;
        rows[i].BODY = std::string(4000, static_cast<char>('a' + n % 26));
        if (!files[i]->Add()) return 14;
      }
    }
    return 0;
  }
};

// The files prepared with many records, then a child that changes all of them in one
// transaction and is killed before COMMIT. `before_content`: each file's records before.
void CrashTest::KillInTheMiddleOfATransaction(std::vector<Tags>& before_content) {
  Prepare(/*fillers=*/400);
  for (size_t i = 0; i < 3; ++i) before_content.push_back(Content(i));
  ASSERT_EQ(before_content[0].size(), 401u);
  const off_t before = Size(0);
  Child child([&](Child& self) {
    ChildFiles c;
    if (int rc = c.OpenAndChange(paths_, /*added=*/1500); rc != 0) return rc;
    self.Tell('w');  // written, not committed
    self.Await();    // never answered: the parent kills us here
    return 0;
  });
  ASSERT_TRUE(child.started());
  ASSERT_EQ(child.Await(), 'w');
  // The transaction outgrew the cache: the file itself already holds some of it, and
  // rewritten pages in it were overwritten.
  EXPECT_GT(Size(0), before);
  child.Kill();
  ASSERT_TRUE(KilledBySigkill(child.Wait()));
}

TEST_F(CrashTest, KilledInTheMiddleOfATransactionLeavesEveryFileAsItWas) {
  std::vector<Tags> before_content;
  ASSERT_NO_FATAL_FAILURE(KillInTheMiddleOfATransaction(before_content));
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(paths_[i]);
    EXPECT_EQ(Content(i), before_content[i]);
  }
}

// What the killed process left in each file (its hot journal) is rolled back by whatever
// reads the file first, also an OPEN with read-only access or a COPY, as the style manager
// does on 47 before it creates a file anew.
TEST_F(CrashTest, AfterAKillReadOnlyOpenAndCopyFindEveryFileAsItWas) {
  std::vector<Tags> before_content;
  ASSERT_NO_FATAL_FAILURE(KillInTheMiddleOfATransaction(before_content));
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(paths_[i]);
    const std::string journal = paths_[i] + "-journal";
    const std::string bak = paths_[i] + ".bak";
    ASSERT_TRUE(Exists(journal));
    // The first file is copied before anything else reads it; the others are opened
    // read-only first.
    if (i == 0) {
      EXPECT_TRUE(Copy(paths_[i], bak)) << Error() << " " << FileError();
      EXPECT_EQ(ContentOf(paths_[i], kReadOnly | kDenyNone), before_content[i]);
    } else {
      EXPECT_EQ(ContentOf(paths_[i], kReadOnly | kDenyNone), before_content[i]);
      EXPECT_TRUE(Copy(paths_[i], bak)) << Error() << " " << FileError();
    }
    EXPECT_EQ(ContentOf(bak, kReadOnly | kDenyNone), before_content[i]);
    EXPECT_FALSE(Exists(journal));
  }
}

// A file the user may not write cannot be rolled back by him: as long as the killed
// transaction's journal lies beside it, OPEN with read-only access and COPY answer 5 "Access
// Denied" and leave it alone, for a user who may write it to roll it back.
TEST_F(CrashTest, AfterAKillAFileThatMayNotBeWrittenAnswersAccessDenied) {
  std::vector<Tags> before_content;
  ASSERT_NO_FATAL_FAILURE(KillInTheMiddleOfATransaction(before_content));
  const std::string& path = paths_[0];
  ASSERT_TRUE(Exists(path + "-journal"));
  // The directory may be written, so only the file's own permission keeps the user out.
  ASSERT_EQ(::chmod((dir_ / "").c_str(), 0777), 0);
  auto check = [&] {
    if (::chmod(path.c_str(), 0444) != 0) return 1;
    BigRow row;
    auto file = KeyedFile(path, BigRow::Layout(), &row, Keys(), /*create=*/false);
    if (file->Open(kReadOnly | kDenyNone) || ErrorCode() != 5) return 2;
    if (Copy(path, path + ".bak") || ErrorCode() != 5) return 3;
    if (Exists(path + ".bak") || !Exists(path + "-journal")) return 4;
    return 0;
  };
  if (geteuid() != 0) {
    EXPECT_EQ(check(), 0);
  } else {
    // Root may write anything: the check runs in a child that has become "nobody".
    Child child([&](Child&) {
      if (::chown(path.c_str(), 65534, 65534) != 0 || ::setgid(65534) != 0 ||
          ::setuid(65534) != 0) {
        return 9;
      }
      return check();
    });
    ASSERT_TRUE(child.started());
    const int status = child.Wait();
    EXPECT_TRUE(ExitedCleanly(status)) << status;
  }
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
  EXPECT_EQ(Content(0), before_content[0]);
}

TEST_F(CrashTest, KilledAfterCommitKeepsEveryCommittedRecord) {
  Prepare();
  Child child([&](Child& self) {
    ChildFiles c;
    if (int rc = c.OpenAndChange(paths_, /*added=*/3); rc != 0) return rc;
    if (!Commit()) return 20;
    // The next transaction is open and has changes when the end comes, as in the program.
    if (!Logout(1)) return 21;
    c.rows[0].NAME = "uncommitted";
    if (!c.files[0]->Add()) return 22;
    self.Tell('c');
    self.Await();
    return 0;
  });
  ASSERT_TRUE(child.started());
  ASSERT_EQ(child.Await(), 'c');
  child.Kill();
  ASSERT_TRUE(KilledBySigkill(child.Wait()));
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(paths_[i]);
    EXPECT_EQ(Content(i), (Tags{"added00:a", "added11:b", "added22:c", "before2"}));
  }
}

// A file system under SQLite that kills the process at the k-th write, sync, truncate or
// delete once armed. It is installed in the child only, as the default.
namespace crash_vfs {

sqlite3_vfs* base = nullptr;
int countdown = -1;  // -1: not armed

void Step() {
  if (countdown < 0) return;
  if (countdown-- == 0) ::raise(SIGKILL);
}

struct WrappedFile {
  sqlite3_file file;
  sqlite3_file* real;  // lives right behind this struct, in the space SQLite gives us
};
sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<WrappedFile*>(f)->real; }

int Close(sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); }
int Read(sqlite3_file* f, void* buf, int n, sqlite3_int64 off) {
  return Real(f)->pMethods->xRead(Real(f), buf, n, off);
}
int Write(sqlite3_file* f, const void* buf, int n, sqlite3_int64 off) {
  Step();
  return Real(f)->pMethods->xWrite(Real(f), buf, n, off);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
  Step();
  return Real(f)->pMethods->xTruncate(Real(f), size);
}
int Sync(sqlite3_file* f, int flags) {
  Step();
  return Real(f)->pMethods->xSync(Real(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
  return Real(f)->pMethods->xFileSize(Real(f), size);
}
int Lock(sqlite3_file* f, int level) { return Real(f)->pMethods->xLock(Real(f), level); }
int Unlock(sqlite3_file* f, int level) { return Real(f)->pMethods->xUnlock(Real(f), level); }
int CheckReservedLock(sqlite3_file* f, int* out) {
  return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
  return Real(f)->pMethods->xFileControl(Real(f), op, arg);
}
int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
int DeviceCharacteristics(sqlite3_file* f) {
  return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
}

// Version 1: no shared memory and no memory mapping, which a rollback journal does not need.
const sqlite3_io_methods kMethods = {1,
                                     &Close,
                                     &Read,
                                     &Write,
                                     &Truncate,
                                     &Sync,
                                     &FileSize,
                                     &Lock,
                                     &Unlock,
                                     &CheckReservedLock,
                                     &FileControl,
                                     &SectorSize,
                                     &DeviceCharacteristics,
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     nullptr};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* out_flags) {
  auto* w = reinterpret_cast<WrappedFile*>(f);
  w->real = reinterpret_cast<sqlite3_file*>(w + 1);
  const int rc = base->xOpen(base, name, w->real, flags, out_flags);
  w->file.pMethods = (rc == SQLITE_OK && w->real->pMethods) ? &kMethods : nullptr;
  return rc;
}
int Delete(sqlite3_vfs*, const char* name, int sync_dir) {
  Step();
  return base->xDelete(base, name, sync_dir);
}

void Install() {
  static sqlite3_vfs vfs;
  base = sqlite3_vfs_find(nullptr);
  vfs = *base;
  vfs.zName = "crashvfs";
  vfs.szOsFile = static_cast<int>(sizeof(WrappedFile)) + base->szOsFile;
  vfs.xOpen = &Open;
  vfs.xDelete = &Delete;
  sqlite3_vfs_register(&vfs, /*makeDflt=*/1);
}

}  // namespace crash_vfs

// The child dies at every single step of COMMIT in turn: each time, either all three files
// hold the transaction or none of them does.
TEST_F(CrashTest, KilledAtAnyStepOfCommitLeavesAllFilesOrNone) {
  const Tags kBefore = {"before1"};
  const Tags kAfter = {"added00:a", "added11:b", "before2"};
  int crashed_before = 0, crashed_after = 0;
  bool completed = false;
  for (int step = 0; step < 500 && !completed; ++step) {
    SCOPED_TRACE("killed at step " + std::to_string(step));
    Prepare();
    Child child([&](Child&) {
      crash_vfs::Install();
      ChildFiles c;
      if (int rc = c.OpenAndChange(paths_, /*added=*/2); rc != 0) return rc;
      crash_vfs::countdown = step;
      return Commit() ? 0 : 20;
    });
    ASSERT_TRUE(child.started());
    const int status = child.Wait();
    completed = ExitedCleanly(status);
    ASSERT_TRUE(completed || KilledBySigkill(status)) << "status " << status;
    const Tags first = Content(0);
    ASSERT_TRUE(first == kBefore || first == kAfter) << first.size();
    EXPECT_EQ(Content(1), first);
    EXPECT_EQ(Content(2), first);
    if (!completed) ++(first == kBefore ? crashed_before : crashed_after);
  }
  EXPECT_TRUE(completed);
  // Deaths before the commit point and after it (while cleaning up) both happened.
  EXPECT_GT(crashed_before, 0);
  EXPECT_GT(crashed_after, 0);
}

TEST(KeyedFileProcesses, OneWritesTheOtherReadsWhatWasCommitted) {
  ScratchDir dir;
  const std::string path = dir / "AGNTSET";
  {
    Row row;
    auto file = RowFile(path, row, Keys());
    ASSERT_TRUE(file->Open());
    ASSERT_TRUE(AddRow(*file, row, "Language", 1043));
  }
  Child writer([&](Child& self) {
    Row row;
    auto file = RowFile(path, row, Keys(), false);
    if (!file->Open(kReadWrite | kDenyNone)) return 10;
    if (!Logout(1, {file.get()})) return 11;
    if (!AddRow(*file, row, "SpeakSpeed", 5)) return 12;
    row.NAME = "Language";
    if (!file->Get(0)) return 13;
    row.NUMBER = 1033;
    if (!file->Put()) return 14;
    self.Tell('w');  // written inside the transaction
    if (self.Await() != 'c') return 15;
    if (!Commit()) return 16;
    self.Tell('c');  // committed
    if (self.Await() != 'r') return 18;
    // Outside a transaction a change is committed at once.
    if (!AddRow(*file, row, "TypeSnelheid", 10)) return 17;
    self.Tell('a');
    return 0;
  });
  ASSERT_TRUE(writer.started());
  Row row;
  auto reader = RowFile(path, row, Keys(), false);
  ASSERT_TRUE(reader->Open(kReadWrite | kDenyNone));
  auto read_all = [&] {
    EXPECT_TRUE(reader->SetKey(0, false));
    return ReadOn(*reader, row);
  };
  ASSERT_EQ(writer.Await(), 'w');
  EXPECT_EQ(read_all(), Tags{"Language1043"});  // nothing committed yet
  writer.Tell('c');
  ASSERT_EQ(writer.Await(), 'c');
  EXPECT_EQ(read_all(), (Tags{"Language1033", "SpeakSpeed5"}));
  writer.Tell('r');
  ASSERT_EQ(writer.Await(), 'a');
  EXPECT_EQ(read_all(), (Tags{"Language1033", "SpeakSpeed5", "TypeSnelheid10"}));
  EXPECT_TRUE(ExitedCleanly(writer.Wait()));
}

// Two program instances starting at once on a directory without the file: both create it
// through OPEN, and neither loses what it wrote to the other's creation.
TEST(KeyedFileProcesses, TwoOpeningAMissingFileAtOnceShareOneFile) {
  ScratchDir dir;
  const std::string path = dir / "AGNTFILE";
  auto start = [&](const char* name) {
    return std::make_unique<Child>([&path, name](Child& self) {
      if (self.Await() != 'g') return 9;
      Row row;
      auto file = RowFile(path, row, Keys(), /*create=*/true);
      if (!file->Open(kReadWrite | kDenyNone)) return 10;
      if (!AddRow(*file, row, name, 1)) return 11;
      return 0;
    });
  };
  auto first = start("first");
  auto second = start("second");
  ASSERT_TRUE(first->started() && second->started());
  first->Tell('g');
  second->Tell('g');
  EXPECT_TRUE(ExitedCleanly(first->Wait()));
  EXPECT_TRUE(ExitedCleanly(second->Wait()));
  Row row;
  auto file = RowFile(path, row, Keys(), false);
  ASSERT_TRUE(file->Open());
  ASSERT_TRUE(file->SetKey(0, false));
  EXPECT_EQ(ReadOn(*file, row), (Tags{"first1", "second1"}));
}

}  // namespace
}  // namespace platform::files
