#include "platform/files/odbc/odbc_driver.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/core/error_state.h"
#include "platform/core/fixed_string.h"
#include "platform/core/record.h"
#include "platform/files/odbc/odbc_handle.h"
#include "platform/testing/odbc_sources.h"

namespace platform::files {
namespace {

using platform::testing::OdbcBackend;
using platform::testing::OdbcSourceTest;

// A record like the relations table: a number, two texts.
struct RelRecord {
  int32_t CCOLUMN = 0;
  CString<256> SZOBJECT;
  FixedString<20> SZCOLUMN;
  static const RecordLayout& Layout() {
    static const RecordLayout layout = MakeLayout<RelRecord>(
        "REL", Field<&RelRecord::CCOLUMN>("CCOLUMN"), Field<&RelRecord::SZOBJECT>("SZOBJECT"),
        Field<&RelRecord::SZCOLUMN>("SZCOLUMN"));
    return layout;
  }
};

// Column `n` of the current row of `file`'s statement, read as the program reads it.
std::string Column(File& file, SQLUSMALLINT n) {
  SQLHSTMT stmt = NumberToHandle(std::stoll(file.GetProperty(kPropStatementHandle)));
  char value[256] = {};
  SQLLEN indicator = 0;
  if (!OdbcOk(SQLGetData(stmt, n, SQL_C_CHAR, value, sizeof value, &indicator))) return "<error>";
  return indicator == SQL_NULL_DATA ? "<null>" : value;
}

// Whether every character of `text` is complete: no lead byte without its continuation bytes.
bool IsWholeUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

FileDeclaration Declare(std::string label, std::string name, std::string owner,
                        const RecordLayout* layout = nullptr, void* record = nullptr) {
  FileDeclaration d;
  d.label = std::move(label);
  d.name = std::move(name);
  d.owner = std::move(owner);
  d.layout = layout;
  d.record = record;
  return d;
}

class OdbcDriverTest : public OdbcSourceTest {
 protected:
  // A file without fields, as the program's ODBCFILE.
  std::unique_ptr<File> SqlFile(std::string owner) {
    return std::make_unique<File>(Declare("ODBCFILE", "", std::move(owner)), MakeOdbcDriver());
  }
  // The first column of the first row of `sql` on `file`, or "<error ...>".
  std::string Answer(File& file, std::string_view sql) {
    file.SetProperty(kPropSql, sql);
    if (ErrorCode() != 0 || !file.Next()) return "<error " + Error() + FileError() + ">";
    return Column(file, 1);
  }
};

TEST_P(OdbcDriverTest, RunsStatementsAndFetchesRowsOneAtATime) {
  ASSERT_TRUE(RunSql({"CREATE TABLE pets (name VARCHAR(20))", "INSERT INTO pets VALUES ('cat')",
                      "INSERT INTO pets VALUES ('dog')"}));
  std::unique_ptr<File> file = SqlFile(ConnectString());
  ASSERT_TRUE(file->Open(kReadWrite | kDenyWrite)) << Error() << FileError();
  EXPECT_TRUE(file->Buffer(200));  // accepted, rows still come one by one
  file->SetProperty(kPropSql, "SELECT name FROM pets ORDER BY name");
  ASSERT_EQ(ErrorCode(), 0) << FileError();
  ASSERT_TRUE(file->Next());
  EXPECT_EQ(Column(*file, 1), "cat");
  ASSERT_TRUE(file->Next());
  EXPECT_EQ(Column(*file, 1), "dog");
  EXPECT_FALSE(file->Next());
  EXPECT_EQ(ErrorCode(), 33);
  EXPECT_EQ(Error(), "Record Not Available");
}

TEST_P(OdbcDriverTest, StatementWithoutResultThatTouchesNoRowSucceeds) {
  ASSERT_TRUE(RunSql({"CREATE TABLE empty_t (a INTEGER)"}));
  std::unique_ptr<File> file = SqlFile(ConnectString());
  ASSERT_TRUE(file->Open());
  file->SetProperty(kPropSql, "UPDATE empty_t SET a = 1 WHERE a = 2");
  EXPECT_EQ(ErrorCode(), 0) << Error() << " " << FileError();
  file->SetProperty(kPropSql, "DELETE FROM empty_t");
  EXPECT_EQ(ErrorCode(), 0) << Error() << " " << FileError();
}

TEST_P(OdbcDriverTest, FailingStatementPostsTheDriversDiagnosticAndLeavesNoStatement) {
  std::unique_ptr<File> file = SqlFile(ConnectString());
  ASSERT_TRUE(file->Open());
  file->SetProperty(kPropSql, "SELECT 1");
  EXPECT_NE(file->GetProperty(kPropStatementHandle), "0");
  file->SetProperty(kPropSql, "SELECT * FROM no_such_table");
  EXPECT_EQ(ErrorCode(), 90);
  EXPECT_EQ(Error(), "File System Error");
  EXPECT_NE(FileError().find("no_such_table"), std::string::npos) << FileError();
  EXPECT_FALSE(FileErrorCode().empty());
  EXPECT_EQ(file->GetProperty(kPropStatementHandle), "0");
  EXPECT_FALSE(file->Next());
  EXPECT_EQ(ErrorCode(), 33);
}

TEST_P(OdbcDriverTest, LongDiagnosticComesBackWholeAndNeverCutInsideACharacter) {
  std::unique_ptr<File> file = SqlFile(ConnectString());
  ASSERT_TRUE(file->Open());
  // A value of 3,001 characters, most of them two bytes, that each driver repeats in its
  // message, so the message is cut and the cut lands inside a character.
  std::string value = "t";
  for (int i = 0; i < 3000; ++i) value += "\xC3\xA9";
  file->SetProperty(kPropSql, GetParam() == OdbcBackend::kPostgres
                                  ? "SELECT CAST('" + value + "' AS INTEGER)"
                                  : "SELECT * FROM \"" + value + "\"");
  EXPECT_EQ(ErrorCode(), 90);
  // Both drivers keep only the start of a long message (SQLite 512 bytes, PostgreSQL 4095),
  // cut at a byte count: the text shown must still end on a whole character.
  EXPECT_NE(FileError().find(value.substr(0, 101)), std::string::npos) << FileError().size();
  EXPECT_TRUE(IsWholeUtf8(FileError()));
}

TEST_P(OdbcDriverTest, SqlOnAClosedFileIsFileNotOpen) {
  std::unique_ptr<File> file = SqlFile(ConnectString());
  file->SetProperty(kPropSql, "SELECT 1");
  EXPECT_EQ(ErrorCode(), 37);
}

TEST_P(OdbcDriverTest, HandlesAreNumbersWhileConnected) {
  std::unique_ptr<File> file = SqlFile(ConnectString());
  EXPECT_EQ(file->GetProperty(kPropConnectionHandle), "0");
  EXPECT_EQ(file->GetProperty(kPropStatementHandle), "0");
  EXPECT_EQ(file->GetProperty(kPropFieldCount), "0");
  ASSERT_TRUE(file->Open());
  file->SetProperty(kPropSql, "SELECT 1");
  for (int32_t prop : {kPropConnectionHandle, kPropStatementHandle}) {
    const std::string text = file->GetProperty(prop);
    SCOPED_TRACE(text);
    size_t used = 0;
    const long long n = std::stoll(text, &used);
    EXPECT_EQ(used, text.size());
    EXPECT_GT(n, 0);
  }
}

TEST_P(OdbcDriverTest, ConnectionIsKeptAcrossCloseAndOpenAndReleasedOnRequest) {
  std::unique_ptr<File> file = SqlFile(ConnectString());
  ASSERT_TRUE(file->Open());
  const std::string connection = file->GetProperty(kPropConnectionHandle);
  // A temporary table lives as long as its connection.
  file->SetProperty(kPropSql, "CREATE TEMPORARY TABLE session_mark (a INTEGER)");
  ASSERT_EQ(ErrorCode(), 0) << FileError();
  ASSERT_TRUE(file->Close());
  EXPECT_EQ(file->GetProperty(kPropConnectionHandle), connection);
  ASSERT_TRUE(file->Open());
  EXPECT_EQ(file->GetProperty(kPropConnectionHandle), connection);
  file->SetProperty(kPropSql, "SELECT a FROM session_mark");
  EXPECT_EQ(ErrorCode(), 0) << FileError();

  file->SetProperty(kPropDisconnect, "1");
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_FALSE(file->is_open());
  EXPECT_EQ(file->GetProperty(kPropConnectionHandle), "0");
  ASSERT_TRUE(file->Open());
  file->SetProperty(kPropSql, "SELECT a FROM session_mark");
  EXPECT_EQ(ErrorCode(), 90) << "a new connection has no temporary table";
}

TEST_P(OdbcDriverTest, ChangedOwnerConnectsAnew) {
  std::unique_ptr<File> file = SqlFile(ConnectString());
  ASSERT_TRUE(file->Open());
  file->SetProperty(kPropSql, "CREATE TEMPORARY TABLE session_mark (a INTEGER)");
  ASSERT_EQ(ErrorCode(), 0) << FileError();
  ASSERT_TRUE(file->Close());
  file->SetProperty(kPropOwner, ConnectString() + ";");  // same source, another owner text
  ASSERT_TRUE(file->Open()) << FileError();
  file->SetProperty(kPropSql, "SELECT a FROM session_mark");
  EXPECT_EQ(ErrorCode(), 90);
}

TEST_P(OdbcDriverTest, OwnerFromAVariableIsReadAtEveryOpen) {
  std::string connect = "DSN=no_such_source";
  File file(Declare("ODBCFILE", "", ""), MakeOdbcDriver([&] { return connect; }));
  EXPECT_EQ(file.GetProperty(kPropOwner), "DSN=no_such_source");
  EXPECT_FALSE(file.Open());
  connect = ConnectString();
  EXPECT_EQ(file.GetProperty(kPropOwner), connect);
  EXPECT_TRUE(file.Open()) << FileError();
  EXPECT_EQ(file.owner(), connect);
}

TEST_P(OdbcDriverTest, UnknownSourceFailsToOpenWithTheDriverManagersMessage) {
  std::unique_ptr<File> file = SqlFile("DSN=no_such_source");
  EXPECT_FALSE(file->Open());
  EXPECT_EQ(ErrorCode(), 90);
  EXPECT_FALSE(FileError().empty());
  EXPECT_FALSE(file->is_open());
}

TEST_P(OdbcDriverTest, DeclaredRecordReadsTableWithSetAndNext) {
  ASSERT_TRUE(
      RunSql({"CREATE TABLE relrows (ccolumn INTEGER, szobject VARCHAR(255), "
              "szcolumn VARCHAR(20), extra INTEGER)",
              "INSERT INTO relrows VALUES (1, 'Orders', 'CustomerID', 7)",
              "INSERT INTO relrows VALUES (2, NULL, NULL, NULL)"}));
  RelRecord rec;
  rec.SZOBJECT = "stale";
  File file(Declare("RELFILE", "relrows", ConnectString(), &RelRecord::Layout(), &rec),
            MakeOdbcDriver());
  ASSERT_TRUE(file.Open(0x22)) << Error() << FileError();
  EXPECT_EQ(file.GetProperty(kPropFieldCount), "3");
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    ASSERT_TRUE(file.Set());
    ASSERT_TRUE(file.Next()) << FileError();
    EXPECT_EQ(rec.CCOLUMN, 1);
    EXPECT_EQ(rec.SZOBJECT, "Orders");
    EXPECT_EQ(rec.SZCOLUMN, "CustomerID");
    ASSERT_TRUE(file.Next()) << FileError();
    EXPECT_EQ(rec.CCOLUMN, 2);
    EXPECT_EQ(rec.SZOBJECT, "");  // NULL reads blank
    EXPECT_FALSE(file.Next());
    EXPECT_EQ(ErrorCode(), 33);
  }
  // A statement on the open table file fills the record by position too; fields past the
  // result's columns are cleared.
  file.SetProperty(kPropSql, "SELECT 5, 'Customers'");
  ASSERT_EQ(ErrorCode(), 0) << FileError();
  ASSERT_TRUE(file.Next());
  EXPECT_EQ(rec.CCOLUMN, 5);
  EXPECT_EQ(rec.SZOBJECT, "Customers");
  EXPECT_EQ(rec.SZCOLUMN, "");
  EXPECT_TRUE(file.Close());
}

TEST_P(OdbcDriverTest, DeclaredRecordOnAMissingTableIsFileNotFound) {
  RelRecord rec;
  File file(Declare("RELFILE", "no_such_rel", ConnectString(), &RelRecord::Layout(), &rec),
            MakeOdbcDriver());
  EXPECT_FALSE(file.Open(0x22));
  EXPECT_EQ(ErrorCode(), 2);
  EXPECT_FALSE(FileError().empty());
  EXPECT_FALSE(file.is_open());
}

TEST_P(OdbcDriverTest, Utf8ValuesComeBackAsUtf8) {
  std::unique_ptr<File> file = SqlFile(ConnectString());
  ASSERT_TRUE(file->Open());
  EXPECT_EQ(Answer(*file,
                   "SELECT 'a\xC3\xA9\xE2\x82\xAC"
                   "b'"),
            "a\xC3\xA9\xE2\x82\xAC"
            "b");
}

INSTANTIATE_TEST_SUITE_P(Drivers, OdbcDriverTest,
                         ::testing::ValuesIn(platform::testing::kOdbcBackends),
                         platform::testing::OdbcBackendParamName);

// The login of the PostgreSQL source is given only in the connect string, so these show that
// each key of "DSN=x; UID=u; PWD=p" reaches the driver despite the blanks.
class OdbcPostgresLoginTest : public OdbcDriverTest {};

TEST_P(OdbcPostgresLoginTest, BlanksAfterSemicolonsStillConnectAsTheUser) {
  const auto& src = sources();
  const std::string owner = "DSN=" + std::string(src.Dsn(backend())) + "; UID=" + src.pg_user() +
                            "; PWD=" + src.pg_password();
  std::unique_ptr<File> file = SqlFile(owner);
  ASSERT_TRUE(file->Open()) << Error() << " " << FileError();
  EXPECT_EQ(file->GetProperty(kPropOwner), owner);  // kept as built
  EXPECT_EQ(Answer(*file, "SELECT CAST(current_user AS VARCHAR(100))"), src.pg_user());
}

TEST_P(OdbcPostgresLoginTest, WrongPasswordFails) {
  const auto& src = sources();
  std::unique_ptr<File> file =
      SqlFile("DSN=" + std::string(src.Dsn(backend())) + "; UID=" + src.pg_user() + "; PWD=wrong-" +
              src.pg_password());
  EXPECT_FALSE(file->Open());
  EXPECT_EQ(ErrorCode(), 90);
  EXPECT_NE(FileError().find("password"), std::string::npos) << FileError();
}

// The server stopped and started again between two queries: the statement that meets the
// broken connection fails with the driver's message and is not run again by itself; the
// driver lets that connection go, and the next OPEN connects anew.
TEST_P(OdbcPostgresLoginTest, ALostConnectionIsLetGoAndTheNextOpenConnectsAnew) {
  auto file = SqlFile(ConnectString());
  ASSERT_TRUE(file->Open());
  EXPECT_EQ(Answer(*file, "SELECT 1"), "1");
  ASSERT_TRUE(file->Close());
  ASSERT_TRUE(sources().RestartPostgresServer());

  ASSERT_TRUE(file->Open());  // nothing yet says that the kept connection is gone
  file->SetProperty(kPropSql, "SELECT 2");
  EXPECT_EQ(ErrorCode(), 90);
  EXPECT_FALSE(FileError().empty());
  EXPECT_EQ(file->GetProperty(kPropStatementHandle), "0");
  ASSERT_TRUE(file->Close());

  ASSERT_TRUE(file->Open()) << Error() << " " << FileError();
  EXPECT_EQ(Answer(*file, "SELECT 3"), "3");
  ASSERT_TRUE(file->Close());
  ASSERT_TRUE(file->Open());
  EXPECT_EQ(Answer(*file, "SELECT 4"), "4");

  // A catalog read on the lent connection handle meets the broken connection outside the
  // driver; the next OPEN still finds it gone.
  ASSERT_TRUE(file->Close());
  ASSERT_TRUE(sources().RestartPostgresServer());
  ASSERT_TRUE(file->Open());
  SQLHDBC dbc = NumberToHandle(std::stoll(file->GetProperty(kPropConnectionHandle)));
  Result<OdbcStatement> catalog = OdbcStatement::Allocate(dbc);
  ASSERT_TRUE(catalog.ok());
  EXPECT_FALSE(
      OdbcOk(SQLTables(catalog.value().get(), nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0)));
  catalog = Status::Error(kFileSystemError);  // frees the statement
  ASSERT_TRUE(file->Close());
  ASSERT_TRUE(file->Open()) << Error() << " " << FileError();
  EXPECT_EQ(Answer(*file, "SELECT 5"), "5");
}

INSTANTIATE_TEST_SUITE_P(Drivers, OdbcPostgresLoginTest, ::testing::Values(OdbcBackend::kPostgres),
                         platform::testing::OdbcBackendParamName);

}  // namespace
}  // namespace platform::files
