// Real ODBC test sources for tests: a SQLite data source (a database file in a temporary
// directory) and a PostgreSQL data source on the server that scripts/with-pg starts. The
// first use writes odbcinst.ini and odbc.ini into a temporary directory and points
// ODBCSYSINI and ODBCINI at it, so it must come before the process's first ODBC call;
// OdbcSourceTest::SetUp sees to that.
//
// Each test process gets a PostgreSQL database of its own (dropped when the process ends), so
// test binaries running side by side never see each other's tables.
//
//   class MyTest : public OdbcSourceTest {};
//   TEST_P(MyTest, Works) {
//     ASSERT_TRUE(RunSql({"CREATE TABLE t (a INTEGER)"}));
//     file.set_owner(ConnectString());
//   }
//   INSTANTIATE_TEST_SUITE_P(Drivers, MyTest, ::testing::ValuesIn(kOdbcBackends),
//                            OdbcBackendParamName);
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace platform::testing {

enum class OdbcBackend { kSqlite, kPostgres };
inline constexpr OdbcBackend kOdbcBackends[] = {OdbcBackend::kSqlite, OdbcBackend::kPostgres};

// "SQLite" or "PostgreSQL", for test names and messages.
std::string_view OdbcBackendName(OdbcBackend backend);
std::string OdbcBackendParamName(const ::testing::TestParamInfo<OdbcBackend>& info);

class OdbcSources {
 public:
  // The process's sources, set up on the first call.
  static OdbcSources& Get();

  // Success when the backend's source can be used; for PostgreSQL that needs the PEX_PG_*
  // variables of scripts/with-pg, and the failure says so.
  ::testing::AssertionResult Available(OdbcBackend backend) const;

  // The data-source name: "pex_sqlite" or "pex_pg".
  std::string_view Dsn(OdbcBackend backend) const;
  // A connect string that connects: "DSN=pex_sqlite", or for PostgreSQL the DSN with the
  // test login ("DSN=pex_pg;UID=...;PWD=..."). The PostgreSQL DSN itself holds no login.
  std::string ConnectString(OdbcBackend backend) const;
  const std::string& pg_user() const { return pg_user_; }
  const std::string& pg_password() const { return pg_password_; }
  // This process's own PostgreSQL database, the one the "pex_pg" source connects to.
  const std::string& pg_database() const { return pg_test_db_; }
  // The temporary directory that holds the ini files and the SQLite database.
  const std::string& directory() const { return directory_; }

  // Runs the statements in order on a connection of their own; fails at the first error,
  // naming the statement and the driver's message.
  ::testing::AssertionResult RunSql(OdbcBackend backend,
                                    std::initializer_list<std::string_view> statements) const;
  ::testing::AssertionResult RunSql(OdbcBackend backend,
                                    const std::vector<std::string>& statements) const;

  // Drops this process's PostgreSQL database; called once at the end of the test run.
  void DropPostgresDatabase();

  // Stops the PostgreSQL server, which cuts every connection to it, and starts it again, by
  // the command scripts/with-pg names in PEX_PG_SERVER. Connections made before are broken
  // from then on; new ones work.
  ::testing::AssertionResult RestartPostgresServer() const;

  OdbcSources(const OdbcSources&) = delete;
  OdbcSources& operator=(const OdbcSources&) = delete;
  ~OdbcSources();

 private:
  OdbcSources();
  void CreatePostgresDatabase();

  std::string directory_;
  bool have_pg_ = false;
  std::string pg_host_, pg_port_, pg_db_, pg_user_, pg_password_;
  std::string pg_test_db_;  // this process's own database
  std::string pg_error_;    // why PostgreSQL cannot be used
};

// Runs the statements in order on a connection of their own made with `connect_string`;
// fails at the first error, naming the statement and the driver's message.
::testing::AssertionResult RunSqlOn(const std::string& connect_string,
                                    const std::vector<std::string>& statements);

// Base of tests parameterised over the backends. SetUp fails the test (never skips it) when
// the backend's source is missing.
class OdbcSourceTest : public ::testing::TestWithParam<OdbcBackend> {
 protected:
  void SetUp() override;

  OdbcBackend backend() const { return GetParam(); }
  OdbcSources& sources() const { return OdbcSources::Get(); }
  std::string ConnectString() const { return sources().ConnectString(backend()); }
  ::testing::AssertionResult RunSql(std::initializer_list<std::string_view> statements) const {
    return sources().RunSql(backend(), statements);
  }
};

}  // namespace platform::testing
