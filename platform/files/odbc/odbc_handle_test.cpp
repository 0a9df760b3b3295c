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

// A value or message a driver cut at a byte count ends on a whole character.
TEST(WholeUtf8Characters, DropsOnlyALastCharacterWhoseBytesAreNotAllThere) {
  struct Case {
    std::string_view name;
    std::string_view text;
    std::string_view whole;
  };
  constexpr Case kCases[] = {
      {"empty", "", ""},
      {"ASCII", "abc", "abc"},
      {"two-byte character whole", "ab\xC3\xA9", "ab\xC3\xA9"},
      {"two-byte character, lead byte only", "ab\xC3", "ab"},
      {"three-byte character whole", "a\xE2\x82\xAC", "a\xE2\x82\xAC"},
      {"three-byte character, two bytes", "a\xE2\x82", "a"},
      {"three-byte character, lead byte only", "a\xE2", "a"},
      {"four-byte character whole", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"four-byte character, three bytes", "x\xF0\x9F\x98", "x"},
      {"four-byte character, lead byte only", "x\xF0", "x"},
      {"only a cut character", "\xE2\x82", ""},
      {"a whole character before the cut one", "\xC3\xA9\xE2\x82", "\xC3\xA9"},
      // Not UTF-8 at its end: nothing is known to be missing, so nothing is dropped.
      {"stray continuation byte after ASCII", "a\x80", "a\x80"},
      {"continuation bytes only", "\x80\x80", "\x80\x80"},
      {"a continuation byte more than the character has", "\xC3\xA9\x80", "\xC3\xA9\x80"},
      {"four continuation bytes", "a\xF0\x80\x80\x80\x80", "a\xF0\x80\x80\x80\x80"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WholeUtf8Characters(c.text), c.whole);
  }
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
