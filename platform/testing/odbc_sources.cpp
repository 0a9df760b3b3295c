#include "platform/testing/odbc_sources.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

#include "platform/core/error_state.h"
#include "platform/core/process.h"
#include "platform/files/file.h"
#include "platform/files/odbc/odbc_driver.h"

namespace platform::testing {
namespace {

constexpr std::string_view kSqliteDsn = "pex_sqlite";
constexpr std::string_view kPgDsn = "pex_pg";
// The database the server was started with; this process's own database is made from it.
constexpr std::string_view kPgMainDsn = "pex_pg_main";
constexpr std::string_view kBareDsn = "pex_bare";
// A name in capitals and small letters: by its upper-case name it sorts after the others,
// by its bytes before them.
constexpr std::string_view kMixedCaseDsn = "PEX_Zed";

// Debian installs the ODBC drivers under the multiarch library directory.
std::string FindDriver(std::string_view file) {
  for (const char* dir : {"/usr/lib/x86_64-linux-gnu/odbc", "/usr/lib/aarch64-linux-gnu/odbc",
                          "/usr/lib/odbc", "/usr/local/lib/odbc"}) {
    std::filesystem::path p = std::filesystem::path(dir) / file;
    if (std::filesystem::exists(p)) return p.string();
  }
  return std::string(file);  // let the driver manager report it
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

}  // namespace

::testing::AssertionResult RunSqlOn(const std::string& connect,
                                    const std::vector<std::string>& statements) {
  files::FileDeclaration decl;
  decl.label = "SETUPFILE";
  decl.owner = connect;
  files::File file(std::move(decl), files::MakeOdbcDriver());
  if (!file.Open()) {
    return ::testing::AssertionFailure()
           << "cannot connect with \"" << connect << "\": " << Error() << " " << FileError();
  }
  for (const std::string& sql : statements) {
    file.SetProperty(files::kPropSql, sql);
    if (ErrorCode() != 0) {
      return ::testing::AssertionFailure()
             << "\"" << sql << "\" failed: " << Error() << " " << FileError();
    }
  }
  return ::testing::AssertionSuccess();
}

std::string_view OdbcBackendName(OdbcBackend backend) {
  return backend == OdbcBackend::kSqlite ? "SQLite" : "PostgreSQL";
}

std::string OdbcBackendParamName(const ::testing::TestParamInfo<OdbcBackend>& info) {
  return std::string(OdbcBackendName(info.param));
}

OdbcSources::OdbcSources() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "pex-odbc.XXXXXX").string();
  if (mkdtemp(tmpl.data()) == nullptr) {
    ADD_FAILURE() << "cannot create the ODBC test directory";
  }
  directory_ = tmpl;

  pg_host_ = Env("PEX_PG_HOST");
  pg_port_ = Env("PEX_PG_PORT");
  pg_db_ = Env("PEX_PG_DB");
  pg_user_ = Env("PEX_PG_USER");
  pg_password_ = Env("PEX_PG_PASSWORD");
  have_pg_ = !pg_host_.empty() && !pg_port_.empty() && !pg_db_.empty() && !pg_user_.empty();
  if (!have_pg_) {
    pg_error_ =
        "PostgreSQL test source missing: PEX_PG_HOST, PEX_PG_PORT, PEX_PG_DB and PEX_PG_USER "
        "are not set; run the tests under scripts/with-pg";
  }
  pg_test_db_ = "pex_test_" + std::to_string(getpid());

  // PostgreSQL through the ANSI build of its driver (psqlodbca): the program makes only
  // narrow calls and reads SQL_C_CHAR, and that build hands the server's UTF-8 bytes over
  // unchanged, cut values included. (The Unicode build passes the same tests here.)
  {
    std::ofstream inst(directory_ + "/odbcinst.ini");
    inst << "[PexSQLite]\nDriver=" << FindDriver("libsqlite3odbc.so") << "\n\n"
         << "[PexPostgreSQL]\nDriver=" << FindDriver("psqlodbca.so") << "\n";
  }
  {
    std::ofstream ini(directory_ + "/odbc.ini");
    ini << "[" << kSqliteDsn << "]\nDriver=PexSQLite\nDescription=SQLite test source\n"
        << "Database=" << directory_ << "/test.db\nTimeout=5000\n\n";
    ini << "[" << kPgDsn << "]\nDriver=PexPostgreSQL\nDescription=PostgreSQL test source\n"
        << "Servername=" << pg_host_ << "\nPort=" << pg_port_ << "\nDatabase=" << pg_test_db_
        << "\n\n";
    ini << "[" << kPgMainDsn << "]\nDriver=PexPostgreSQL\nDescription=PostgreSQL server\n"
        << "Servername=" << pg_host_ << "\nPort=" << pg_port_ << "\nDatabase=" << pg_db_ << "\n";
    // A source with neither driver nor description: listed with an empty description.
    ini << "\n[" << kBareDsn << "]\nServername=nowhere\n";
    // A SQLite source of its own, with a name in mixed case.
    ini << "\n[" << kMixedCaseDsn << "]\nDriver=PexSQLite\nDescription=SQLite, mixed case\n"
        << "Database=" << directory_ << "/zed.db\nTimeout=5000\n";
  }
  // unixODBC reads the driver list from $ODBCSYSINI/odbcinst.ini and the data sources from
  // $ODBCSYSINI/odbc.ini (system) and $ODBCINI (user); both point at our file.
  setenv("ODBCSYSINI", directory_.c_str(), 1);
  setenv("ODBCINI", (directory_ + "/odbc.ini").c_str(), 1);

  if (have_pg_) CreatePostgresDatabase();
}

namespace {

// Drops this process's PostgreSQL database at the end of the test run, while the runtime's
// per-thread state still exists (it is gone once the process exits).
class DropDatabaseAtEnd : public ::testing::Environment {
 public:
  void TearDown() override { OdbcSources::Get().DropPostgresDatabase(); }
};

}  // namespace

OdbcSources& OdbcSources::Get() {
  static OdbcSources& sources = []() -> OdbcSources& {
    static OdbcSources s;
    ::testing::AddGlobalTestEnvironment(new DropDatabaseAtEnd);  // gtest owns it
    return s;
  }();
  return sources;
}

void OdbcSources::DropPostgresDatabase() {
  if (!have_pg_) return;
  have_pg_ = false;
  pg_error_ = "the PostgreSQL test database was dropped at the end of the run";
  // Ignoring the result on purpose: the server goes away with the run in any case.
  (void)RunSqlOn("DSN=" + std::string(kPgMainDsn) + ";UID=" + pg_user_ + ";PWD=" + pg_password_,
                 {"DROP DATABASE IF EXISTS " + pg_test_db_ + " WITH (FORCE)"});
}

OdbcSources::~OdbcSources() {
  std::error_code ignored;
  std::filesystem::remove_all(directory_, ignored);
}

void OdbcSources::CreatePostgresDatabase() {
  const std::string main =
      "DSN=" + std::string(kPgMainDsn) + ";UID=" + pg_user_ + ";PWD=" + pg_password_;
  ::testing::AssertionResult r =
      RunSqlOn(main, {"DROP DATABASE IF EXISTS " + pg_test_db_ + " WITH (FORCE)",
                      "CREATE DATABASE " + pg_test_db_ + " ENCODING 'UTF8'"});
  if (!r) {
    have_pg_ = false;
    pg_error_ = std::string("cannot create the PostgreSQL test database: ") + r.message();
  }
}

::testing::AssertionResult OdbcSources::Available(OdbcBackend backend) const {
  if (backend == OdbcBackend::kPostgres && !have_pg_) {
    return ::testing::AssertionFailure() << pg_error_;
  }
  return ::testing::AssertionSuccess();
}

std::string_view OdbcSources::Dsn(OdbcBackend backend) const {
  return backend == OdbcBackend::kSqlite ? kSqliteDsn : kPgDsn;
}

std::string OdbcSources::ConnectString(OdbcBackend backend) const {
  std::string s = "DSN=" + std::string(Dsn(backend));
  if (backend == OdbcBackend::kPostgres) s += ";UID=" + pg_user_ + ";PWD=" + pg_password_;
  return s;
}

::testing::AssertionResult OdbcSources::RunSql(
    OdbcBackend backend, std::initializer_list<std::string_view> statements) const {
  if (::testing::AssertionResult a = Available(backend); !a) return a;
  return RunSql(backend, std::vector<std::string>(statements.begin(), statements.end()));
}

::testing::AssertionResult OdbcSources::RunSql(OdbcBackend backend,
                                               const std::vector<std::string>& statements) const {
  if (::testing::AssertionResult a = Available(backend); !a) return a;
  return RunSqlOn(ConnectString(backend), statements);
}

::testing::AssertionResult OdbcSources::RestartPostgresServer() const {
  if (::testing::AssertionResult a = Available(OdbcBackend::kPostgres); !a) return a;
  const std::string server = Env("PEX_PG_SERVER");
  if (server.empty()) {
    return ::testing::AssertionFailure() << "PEX_PG_SERVER is not set: run inside scripts/with-pg";
  }
  for (const char* step : {"stop", "start"}) {
    Result<int> ran = Run(server, {step}, /*wait=*/true);
    if (!ran.ok() || ran.value() != 0) {
      return ::testing::AssertionFailure()
             << server << " " << step << " failed: "
             << (ran.ok() ? "exit code " + std::to_string(ran.value()) : ran.status().ToString());
    }
  }
  return ::testing::AssertionSuccess();
}

void OdbcSourceTest::SetUp() { ASSERT_TRUE(sources().Available(backend())); }

}  // namespace platform::testing
