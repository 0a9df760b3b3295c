#include "platform/files/odbc/odbc_handle.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/files/file.h"
#include "platform/files/odbc/odbc_driver.h"
#include "platform/testing/odbc_sources.h"

namespace platform::files {
namespace {

// unixODBC checks every handle it is given, so a freed environment shows as an invalid parent.
bool EnvironmentIsLive(SQLHANDLE env) {
  SQLHANDLE dbc = SQL_NULL_HANDLE;
  const SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
  if (OdbcOk(rc)) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  return OdbcOk(rc);
}

TEST(OdbcHandle, FreesExactlyOnceAndAMovedFromOwnerFreesNothing) {
  platform::testing::OdbcSources::Get();
  Result<OdbcEnvironment> made = OdbcEnvironment::Allocate(SQL_NULL_HANDLE);
  ASSERT_TRUE(made.ok()) << made.status().ToString();
  SQLHANDLE raw = made.value().get();
  {
    OdbcEnvironment owner = std::move(made).value();
    {
      OdbcEnvironment moved_from = std::move(owner);
      owner = std::move(moved_from);
      EXPECT_EQ(moved_from.get(), nullptr);
    }  // the moved-from owner ends here and must not free
    EXPECT_EQ(owner.get(), raw);
    EXPECT_TRUE(EnvironmentIsLive(raw));
    owner.reset();
    EXPECT_EQ(owner.get(), nullptr);
    EXPECT_FALSE(EnvironmentIsLive(raw));
  }  // an empty owner frees nothing
}

TEST(OdbcHandle, AllocationUnderAnInvalidParentFailsWithAStatus) {
  platform::testing::OdbcSources::Get();
  Result<OdbcStatement> stmt = OdbcStatement::Allocate(SQL_NULL_HANDLE);
  EXPECT_FALSE(stmt.ok());
  EXPECT_EQ(stmt.status().code(), 90);
}

class OdbcBorrowedConnectionTest : public platform::testing::OdbcSourceTest {};

// The catalog readers allocate their statements on the file's connection handle.
TEST_P(OdbcBorrowedConnectionTest, StatementOnTheFilesConnectionRunsCatalogCalls) {
  ASSERT_TRUE(RunSql({"DROP TABLE IF EXISTS borrowed", "CREATE TABLE borrowed (a INTEGER)"}));
  FileDeclaration decl;
  decl.label = "ODBCFILE";
  decl.owner = ConnectString();
  File file(std::move(decl), MakeOdbcDriver());
  ASSERT_TRUE(file.Open()) << file.GetProperty(kPropOwner);
  const SQLHANDLE connection = NumberToHandle(std::stoll(file.GetProperty(kPropConnectionHandle)));
  Result<OdbcStatement> stmt = OdbcStatement::Allocate(connection);
  ASSERT_TRUE(stmt.ok()) << stmt.status().ToString();
  SQLCHAR table[] = "borrowed";
  ASSERT_TRUE(
      OdbcOk(SQLTables(stmt.value().get(), nullptr, 0, nullptr, 0, table, SQL_NTS, nullptr, 0)));
  ASSERT_EQ(SQLFetch(stmt.value().get()), SQL_SUCCESS);
  char name[100] = {};
  SQLLEN indicator = 0;
  ASSERT_TRUE(OdbcOk(SQLGetData(stmt.value().get(), 3, SQL_C_CHAR, name, sizeof name, &indicator)));
  EXPECT_STREQ(name, "borrowed");
  EXPECT_EQ(SQLFetch(stmt.value().get()), SQL_NO_DATA);
}

INSTANTIATE_TEST_SUITE_P(Drivers, OdbcBorrowedConnectionTest,
                         ::testing::ValuesIn(platform::testing::kOdbcBackends),
                         platform::testing::OdbcBackendParamName);

}  // namespace
}  // namespace platform::files
