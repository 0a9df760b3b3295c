#include "platform/files/keyed/transaction.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/core/error_state.h"
#include "platform/files/keyed/keyed_test_support.h"

namespace platform::files {
namespace {

using keyed_test::AddRow;
using keyed_test::Key;
using keyed_test::kName;
using keyed_test::ReadOn;
using keyed_test::Row;
using keyed_test::RowFile;
using keyed_test::ScratchDir;
using Tags = std::vector<std::string>;

// Three files as the configuration transaction has them, each holding one record.
class TransactionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"ZOVConditionalSet", "ZOVConditional", "ZOVRestyle"}) {
      paths_.push_back(dir_ / name);
    }
    for (size_t i = 0; i < 3; ++i) {
      files_.push_back(RowFile(paths_[i], rows_[i], Keys()));
      ASSERT_TRUE(files_[i]->Open(kReadWrite | kDenyNone)) << Error();
      ASSERT_TRUE(AddRow(*files_[i], rows_[i], "before", 1));
    }
  }
  void TearDown() override {
    // Leaves no transaction behind for the next test, whatever happened.
    if (InTransaction()) (void)Rollback();
  }
  static std::vector<FileKey> Keys() { return {Key({{kName, false}}, false, true)}; }

  // A change of every kind: an ADD in file 0, a PUT in file 1, a DELETE in file 2.
  void ChangeAll() {
    ASSERT_TRUE(AddRow(*files_[0], rows_[0], "added", 2)) << Error();
    rows_[1].NAME = "before";
    ASSERT_TRUE(files_[1]->Get(0));
    rows_[1].NUMBER = 5;
    ASSERT_TRUE(files_[1]->Put()) << Error();
    rows_[2].NAME = "before";
    ASSERT_TRUE(files_[2]->Get(0));
    ASSERT_TRUE(files_[2]->Delete()) << Error();
  }

  // The records of file `i` as read through a File of its own.
  Tags Content(size_t i) {
    Row row;
    auto file = RowFile(paths_[i], row, Keys(), /*create=*/false);
    if (!file->Open(kReadOnly | kDenyNone)) return {"open failed: " + Error()};
    (void)file->SetKey(0, false);
    return ReadOn(*file, row);
  }

  std::vector<File*> Files() { return {files_[0].get(), files_[1].get(), files_[2].get()}; }

  ScratchDir dir_;
  std::vector<std::string> paths_;
  Row rows_[3];
  std::vector<std::unique_ptr<File>> files_;
};

TEST_F(TransactionTest, CommitMakesTheChangesOfAllFilesLasting) {
  ASSERT_TRUE(Logout(1, Files())) << Error() << " " << FileError();
  EXPECT_TRUE(InTransaction());
  ChangeAll();
  // Inside the transaction its own changes are seen; outside, nothing has happened yet.
  ASSERT_TRUE(files_[0]->SetKey(0, false));
  EXPECT_EQ(ReadOn(*files_[0], rows_[0]), (Tags{"added2", "before1"}));
  EXPECT_EQ(files_[2]->Records(), 0);
  EXPECT_EQ(Content(0), Tags{"before1"});
  EXPECT_EQ(Content(1), Tags{"before1"});
  EXPECT_EQ(Content(2), Tags{"before1"});

  ASSERT_TRUE(Commit()) << Error() << " " << FileError();
  EXPECT_FALSE(InTransaction());
  EXPECT_EQ(Content(0), (Tags{"added2", "before1"}));
  EXPECT_EQ(Content(1), Tags{"before5"});
  EXPECT_EQ(Content(2), Tags{});
  // The files go on outside any transaction.
  EXPECT_TRUE(AddRow(*files_[2], rows_[2], "after", 3));
  EXPECT_EQ(Content(2), Tags{"after3"});
}

TEST_F(TransactionTest, RollbackUndoesTheChangesOfAllFiles) {
  ASSERT_TRUE(Logout(1, Files()));
  ChangeAll();
  ASSERT_TRUE(Rollback()) << Error();
  EXPECT_FALSE(InTransaction());
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Content(i), Tags{"before1"});
    ASSERT_TRUE(files_[i]->SetKey(0, false));
    EXPECT_EQ(ReadOn(*files_[i], rows_[i]), Tags{"before1"});
  }
}

TEST_F(TransactionTest, LogoutWithoutFilesTakesTheEnrolledOpenFiles) {
  // The configuration window's enrolment: condition sets 1, conditions and restyle 2.
  files_[0]->SetProperty(kPropLogoutOrder, "1");
  files_[1]->SetProperty(kPropLogoutOrder, "2");
  files_[2]->SetProperty(kPropLogoutOrder, "2");
  EXPECT_EQ(files_[1]->GetProperty(kPropLogoutOrder), "2");
  Row other_row;
  auto other = RowFile(dir_ / "ZOVProperties", other_row, Keys());  // never enrolled
  ASSERT_TRUE(other->Open());

  ASSERT_TRUE(Logout(1)) << Error();
  ChangeAll();
  ASSERT_TRUE(AddRow(*other, other_row, "outside", 1));
  ASSERT_TRUE(Rollback());
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(Content(i), Tags{"before1"});
  ASSERT_TRUE(other->SetKey(0, false));
  EXPECT_EQ(ReadOn(*other, other_row), Tags{"outside1"});  // was never part of it

  // Order 0 takes a file off the list, and a closed file is left out.
  files_[0]->SetProperty(kPropLogoutOrder, "0");
  EXPECT_EQ(files_[0]->GetProperty(kPropLogoutOrder), "0");
  ASSERT_TRUE(files_[2]->Close());
  ASSERT_TRUE(Logout(1));
  ASSERT_TRUE(AddRow(*files_[0], rows_[0], "outside", 2));
  ASSERT_TRUE(AddRow(*files_[1], rows_[1], "inside", 2));
  ASSERT_TRUE(Rollback());
  EXPECT_EQ(Content(0), (Tags{"before1", "outside2"}));
  EXPECT_EQ(Content(1), Tags{"before1"});
}

TEST_F(TransactionTest, ASecondLogoutFailsAndTheWritesJoinTheFirst) {
  for (File* f : Files()) f->SetProperty(kPropLogoutOrder, "1");
  ASSERT_TRUE(Logout(1));
  ASSERT_TRUE(AddRow(*files_[0], rows_[0], "first", 2));
  EXPECT_FALSE(Logout(1));
  EXPECT_EQ(ErrorCode(), 56);
  EXPECT_EQ(Error(), "LOGOUT Already Active");
  EXPECT_FALSE(Logout(1, {files_[1].get()}));
  EXPECT_EQ(ErrorCode(), 56);
  ASSERT_TRUE(AddRow(*files_[0], rows_[0], "second", 3));
  ASSERT_TRUE(Commit());
  EXPECT_EQ(Content(0), (Tags{"before1", "first2", "second3"}));
}

TEST_F(TransactionTest, CommitAndRollbackWithoutLogoutOnlyPostAnError) {
  EXPECT_FALSE(Commit());
  EXPECT_EQ(ErrorCode(), 91);
  EXPECT_EQ(Error(), "No LOGOUT Active");
  EXPECT_FALSE(Rollback());
  EXPECT_EQ(ErrorCode(), 91);
  // A LOGOUT over nothing enrolled is a transaction all the same.
  ASSERT_TRUE(Logout(1));
  EXPECT_TRUE(Commit());
}

TEST_F(TransactionTest, LogoutNeedsOpenKeyedFilesItCanLock) {
  ASSERT_TRUE(files_[2]->Close());
  EXPECT_FALSE(Logout(1, Files()));
  EXPECT_EQ(ErrorCode(), 37);
  EXPECT_FALSE(InTransaction());

  class PlainDriver : public Driver {
    Status Open(File& f, uint32_t) override {
      f.set_open(true);
      return Status();
    }
    Status Close(File& f) override {
      f.set_open(false);
      return Status();
    }
  };
  File plain(FileDeclaration{}, std::make_unique<PlainDriver>());
  ASSERT_TRUE(plain.Open());
  EXPECT_FALSE(Logout(1, {files_[0].get(), &plain}));
  EXPECT_EQ(ErrorCode(), 48);

  // Another connection holds the write lock: LOGOUT gives up after its time-out.
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(paths_[1].c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_FALSE(Logout(0, {files_[0].get(), files_[1].get()}));
  EXPECT_EQ(ErrorCode(), 48);
  EXPECT_FALSE(InTransaction());
  sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  EXPECT_TRUE(Logout(0, {files_[0].get(), files_[1].get()})) << Error();
  EXPECT_TRUE(Commit());
}

TEST_F(TransactionTest, AFileClosedOrDestroyedInsideKeepsItsChangesInTheTransaction) {
  ASSERT_TRUE(Logout(1, Files()));
  ChangeAll();
  ASSERT_TRUE(files_[0]->Close());
  files_[1].reset();
  ASSERT_TRUE(Commit()) << Error();
  EXPECT_EQ(Content(0), (Tags{"added2", "before1"}));
  EXPECT_EQ(Content(1), Tags{"before5"});
  EXPECT_EQ(Content(2), Tags{});
}

TEST_F(TransactionTest, ClosingTheLastFileRollsTheTransactionBack) {
  ASSERT_TRUE(Logout(1, {files_[0].get(), files_[1].get()}));
  ASSERT_TRUE(AddRow(*files_[0], rows_[0], "lost", 2));
  ASSERT_TRUE(files_[0]->Close());
  EXPECT_TRUE(InTransaction());  // file 1 still takes part
  ASSERT_TRUE(files_[1]->Close());
  EXPECT_FALSE(InTransaction());
  EXPECT_EQ(Content(0), Tags{"before1"});
  // Nothing is left locked: the files take changes again at once.
  ASSERT_TRUE(files_[0]->Open());
  EXPECT_TRUE(AddRow(*files_[0], rows_[0], "later", 3)) << Error();
  EXPECT_FALSE(Commit());
  EXPECT_EQ(ErrorCode(), 91);
}

}  // namespace
}  // namespace platform::files
