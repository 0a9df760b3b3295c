// TXD export benchmark: WriteTXD over generated catalogs of 100, 1,000 and 5,000 tables (20
// columns, a primary key, two indexes and one foreign key each), without and with relations,
// against the bare ODBC catalog calls the run needs (SQLTables once, then per table
// SQLColumns, SQLPrimaryKeys and SQLStatistics, and for the relations SQLForeignKeys), each
// result fetched and read as text, then discarded. Prints one table per data source.
//
//   pex_txd_export_bench [--backend=sqlite|postgres] [--sizes=100,1000,5000]
//                        [--bare-pk-limit=1000]
//
// The SQLite driver answers SQLForeignKeys by primary-key table by reading the foreign keys
// of every table, so that bare form is quadratic; it is timed only up to --bare-pk-limit
// tables there. Each catalog is generated once per size and read by every measurement.
// PostgreSQL needs the server of scripts/with-pg.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <sql.h>
#include <sqlext.h>
#include <unistd.h>

#include "catalog/catalog_queues.h"
#include "catalog/field_types.h"
#include "catalog/globals.h"
#include "catalog/odbc_query.h"
#include "catalog/txd_writer.h"
#include "catalog/txd_writer_source.h"
#include "platform/core/paths.h"
#include "platform/core/process.h"
#include "platform/core/queue.h"
#include "platform/files/odbc/odbc_handle.h"
#include "platform/testing/generated_catalog.h"
#include "platform/testing/odbc_sources.h"

namespace {

namespace files = platform::files;
using platform::testing::OdbcBackend;
using platform::testing::OdbcSources;
using Clock = std::chrono::steady_clock;

constexpr int kColumns = 20;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// A connection of its own for the bare calls.
class BareConnection {
 public:
  bool Connect(const std::string& connect) {
    auto env = files::OdbcEnvironment::Allocate(SQL_NULL_HANDLE);
    if (!env.ok()) return false;
    env_ = std::move(env).value();
    auto dbc = files::OdbcConnectionHandle::Allocate(env_.get());
    if (!dbc.ok()) return false;
    dbc_ = std::move(dbc).value();
    std::string text = connect;
    return files::OdbcOk(SQLDriverConnect(
        dbc_.get(), nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
        static_cast<SQLSMALLINT>(text.size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT));
  }
  ~BareConnection() {
    if (dbc_) (void)SQLDisconnect(dbc_.get());
  }

  // Runs `call` on a new statement, then fetches every row and reads `columns` columns of
  // each as text, as the catalog readers do. Answers the number of rows.
  template <class Call>
  int64_t Read(int columns, Call call) {
    auto stmt = files::OdbcStatement::Allocate(dbc_.get());
    if (!stmt.ok()) return 0;
    if (!files::OdbcOk(call(stmt.value().get()))) return 0;
    int64_t rows = 0;
    char buffer[512];
    while (SQLFetch(stmt.value().get()) == SQL_SUCCESS) {
      ++rows;
      for (int n = 1; n <= columns; ++n) {
        SQLLEN indicator = 0;
        (void)SQLGetData(stmt.value().get(), static_cast<SQLUSMALLINT>(n), SQL_C_CHAR, buffer,
                         sizeof buffer, &indicator);
      }
    }
    return rows;
  }

 private:
  files::OdbcEnvironment env_;
  files::OdbcConnectionHandle dbc_;
};

SQLCHAR* Text(std::string& s) { return reinterpret_cast<SQLCHAR*>(s.data()); }
SQLSMALLINT Length(const std::string& s) { return static_cast<SQLSMALLINT>(s.size()); }

struct BareTimes {
  double tables = 0;     // SQLTables, SQLColumns, SQLPrimaryKeys, SQLStatistics
  double fk_by_pk = -1;  // SQLForeignKeys by primary-key table, per table; -1 not timed
  double fk_by_fk = 0;   // SQLForeignKeys by foreign-key table, per table
  int64_t fk_rows = 0;
};

BareTimes TimeBareCalls(const std::string& connect, const std::vector<std::string>& tables,
                        bool time_fk_by_pk, bool time_fk_by_fk) {
  BareTimes t;
  BareConnection c;
  if (!c.Connect(connect)) {
    std::fprintf(stderr, "cannot connect for the bare calls\n");
    return t;
  }
  Clock::time_point start = Clock::now();
  c.Read(5,
         [](SQLHSTMT s) { return SQLTables(s, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0); });
  for (std::string name : tables) {
    c.Read(18, [&](SQLHSTMT s) {
      return SQLColumns(s, nullptr, 0, nullptr, 0, Text(name), Length(name), nullptr, 0);
    });
    c.Read(6, [&](SQLHSTMT s) {
      return SQLPrimaryKeys(s, nullptr, 0, nullptr, 0, Text(name), Length(name));
    });
    c.Read(13, [&](SQLHSTMT s) {
      return SQLStatistics(s, nullptr, 0, nullptr, 0, Text(name), Length(name), SQL_INDEX_ALL,
                           SQL_QUICK);
    });
  }
  t.tables = Seconds(start);
  if (time_fk_by_pk) {
    start = Clock::now();
    for (std::string name : tables) {
      c.Read(14, [&](SQLHSTMT s) {
        return SQLForeignKeys(s, nullptr, 0, nullptr, 0, Text(name), Length(name), nullptr, 0,
                              nullptr, 0, nullptr, 0);
      });
    }
    t.fk_by_pk = Seconds(start);
  }
  if (!time_fk_by_fk) {
    t.fk_by_fk = -1;
    return t;
  }
  start = Clock::now();
  for (std::string name : tables) {
    t.fk_rows += c.Read(14, [&](SQLHSTMT s) {
      return SQLForeignKeys(s, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0,
                            Text(name), Length(name));
    });
  }
  t.fk_by_fk = Seconds(start);
  return t;
}

// Seconds with two decimals, or "not timed" for a negative value.
std::string Figure(double seconds) {
  if (seconds < 0) return "not timed";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", seconds);
  return text;
}

struct TxdTimes {
  double seconds = 0;
  size_t bytes = 0;
};

// One run as the dictionary window makes it: the tables read anew, then WriteTXD.
TxdTimes TimeWriteTxd(const std::string& connect, const std::string& out, bool relations) {
  catalog::Glo.ConnectString = connect;
  catalog::QueryObject = std::make_shared<catalog::ODBCQueryClass>();
  catalog::QueryObject->Init(catalog::ODBCFILE);
  catalog::TxdOptions options;
  options.txd_filename = out;
  options.no_relations = !relations;
  options.connect_string = connect;
  // Connected before the clock starts, as the dictionary window's source is; the bare calls
  // are timed on a connection made beforehand too.
  (void)catalog::ODBCFILE.Open();
  TxdTimes t;
  const Clock::time_point start = Clock::now();
  {
    const std::unique_ptr<catalog::CatalogSource> source = catalog::MakeQueryObjectCatalog();
    source->ReadTables(/*system_tables=*/false, /*tables_only=*/true, "");
    catalog::WriteTXD(options, *source);
  }
  t.seconds = Seconds(start);
  t.bytes = static_cast<size_t>(std::filesystem::file_size(out));
  catalog::ODBCQueryClass::Dispose(catalog::QueryObject);
  catalog::ODBCFILE.Close();
  return t;
}

// Hands out the prefixes of `count` labels that all begin alike ("g00001", ...), as the
// table loop does: with the search for a free number starting at 1 for every table over an
// unsorted queue (linear lookups), and with the run's counters over a sorted one.
void TimePrefixes(int count) {
  std::vector<std::string> labels;
  for (int i = 1; i <= count; ++i) {
    char label[16];
    std::snprintf(label, sizeof label, "g%05d", i);
    labels.emplace_back(label);
  }
  platform::Queue<catalog::PrefixQueueRecord> plain;
  Clock::time_point start = Clock::now();
  for (const std::string& label : labels) (void)catalog::TakePrefix(plain, label);
  const double from_one = Seconds(start);
  platform::Queue<catalog::PrefixQueueRecord> sorted;
  sorted.Sort({{1, false}});
  std::unordered_map<std::string, int> counters;
  start = Clock::now();
  for (const std::string& label : labels) (void)catalog::TakePrefix(sorted, label, counters);
  const double counted = Seconds(start);
  std::printf("prefixes of %d alike labels: %.3f s searching from 1, %.4f s with counters\n", count,
              from_one, counted);
}

struct Args {
  bool sqlite = true;
  bool postgres = true;
  std::vector<int> sizes = {100, 1000, 5000};
  int bare_pk_limit = 1000;
};

Args ParseArgs(int argc, char** argv) {
  Args a;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--backend=sqlite") {
      a.postgres = false;
    } else if (arg == "--backend=postgres") {
      a.sqlite = false;
    } else if (arg.starts_with("--sizes=")) {
      a.sizes.clear();
      std::string list(arg.substr(8));
      for (size_t at = 0; at < list.size();) {
        const size_t comma = list.find(',', at);
        a.sizes.push_back(std::atoi(list.substr(at, comma - at).c_str()));
        at = comma == std::string::npos ? list.size() : comma + 1;
      }
    } else if (arg.starts_with("--bare-pk-limit=")) {
      a.bare_pk_limit = std::atoi(std::string(arg.substr(16)).c_str());
    } else {
      std::fprintf(stderr, "unknown argument %s\n", argv[i]);
      std::exit(2);
    }
  }
  return a;
}

// The catalog of `size` tables in a database of its own; answers its connect string, or
// empty when it could not be made.
std::string MakeCatalog(OdbcBackend backend, int size, const std::string& dir,
                        std::vector<std::string>& databases) {
  platform::testing::CatalogShape shape;
  shape.tables = size;
  shape.columns = kColumns;
  // In transactions of a few hundred tables: one transaction over thousands of tables runs
  // out of PostgreSQL's lock table.
  constexpr size_t kStatementsPerTransaction = 1500;
  std::vector<std::string> statements = {"BEGIN"};
  for (std::string& s : platform::testing::GeneratedCatalogStatements(shape, backend)) {
    statements.push_back(std::move(s));
    if (statements.size() % kStatementsPerTransaction == 0) {
      statements.push_back("COMMIT");
      statements.push_back("BEGIN");
    }
  }
  statements.push_back("COMMIT");
  OdbcSources& sources = OdbcSources::Get();
  std::string connect;
  if (backend == OdbcBackend::kSqlite) {
    connect = "DSN=pex_sqlite;Database=" + dir + "/catalog" + std::to_string(size) + ".db";
  } else {
    const std::string db =
        "pex_txd_bench_" + std::to_string(size) + "_" + std::to_string(static_cast<long>(getpid()));
    const ::testing::AssertionResult made = platform::testing::RunSqlOn(
        sources.ConnectString(backend),
        {"DROP DATABASE IF EXISTS " + db, "CREATE DATABASE " + db + " ENCODING 'UTF8'"});
    if (!made) {
      std::fprintf(stderr, "%s\n", made.message());
      return {};
    }
    databases.push_back(db);
    connect = sources.ConnectString(backend) + ";Database=" + db;
  }
  const ::testing::AssertionResult r = platform::testing::RunSqlOn(connect, statements);
  if (!r) {
    std::fprintf(stderr, "cannot make the catalog of %d tables: %s\n", size, r.message());
    return {};
  }
  return connect;
}

void RunBackend(OdbcBackend backend, const Args& args, const std::string& dir) {
  OdbcSources& sources = OdbcSources::Get();
  if (::testing::AssertionResult a = sources.Available(backend); !a) {
    std::printf("== %s: not available (%s)\n",
                std::string(platform::testing::OdbcBackendName(backend)).c_str(), a.message());
    return;
  }
  std::printf("\n== %s\n", std::string(platform::testing::OdbcBackendName(backend)).c_str());
  std::printf("%7s %8s | %9s %9s %6s %9s | %10s %10s %9s %9s %6s | %8s\n", "tables", "make s",
              "bare s", "txd s", "ratio", "ms/table", "fk-by-pk s", "fk-by-fk s", "txd+rel s",
              "ms/table", "rel/b", "txd MB");
  std::vector<std::string> databases;
  for (int size : args.sizes) {
    const Clock::time_point made_at = Clock::now();
    const std::string connect = MakeCatalog(backend, size, dir, databases);
    if (connect.empty()) continue;
    const double make = Seconds(made_at);
    platform::testing::CatalogShape shape;
    shape.tables = size;
    const std::vector<std::string> tables = platform::testing::GeneratedTableNames(shape);
    const bool pk_timed = backend == OdbcBackend::kPostgres || size <= args.bare_pk_limit;
    // A run first, untimed: the first one stores the field types it meets, and a new
    // database answers its first catalog reads from a cold cache (which matters for the
    // small catalogs only).
    if (size <= 1000 || size == args.sizes.front()) {
      (void)TimeWriteTxd(connect, dir + "/warm.txd", /*relations=*/size == args.sizes.front());
    }
    // Small catalogs are measured three times and the best time is kept.
    const int rounds = size <= 100 ? 3 : 1;
    // The foreign-key form is what the run uses on SQLite only.
    const bool fk_timed = backend == OdbcBackend::kSqlite;
    BareTimes bare = TimeBareCalls(connect, tables, pk_timed, fk_timed);
    TxdTimes plain = TimeWriteTxd(connect, dir + "/plain.txd", /*relations=*/false);
    TxdTimes related = TimeWriteTxd(connect, dir + "/related.txd", /*relations=*/true);
    for (int round = 1; round < rounds; ++round) {
      const BareTimes b = TimeBareCalls(connect, tables, pk_timed, fk_timed);
      bare.tables = std::min(bare.tables, b.tables);
      bare.fk_by_pk = std::min(bare.fk_by_pk, b.fk_by_pk);
      bare.fk_by_fk = std::min(bare.fk_by_fk, b.fk_by_fk);
      plain.seconds =
          std::min(plain.seconds, TimeWriteTxd(connect, dir + "/plain.txd", false).seconds);
      related.seconds =
          std::min(related.seconds, TimeWriteTxd(connect, dir + "/related.txd", true).seconds);
    }
    // The relations' bare calls: the form the run uses on this source.
    const double bare_fk = backend == OdbcBackend::kSqlite ? bare.fk_by_fk : bare.fk_by_pk;
    const std::string pk_text = Figure(bare.fk_by_pk);
    const std::string fk_text = Figure(bare.fk_by_fk);
    std::printf("%7d %8.1f | %9.2f %9.2f %6.2f %9.3f | %10s %10s %9.2f %9.3f %6.2f | %8.1f\n", size,
                make, bare.tables, plain.seconds, plain.seconds / bare.tables,
                1000 * plain.seconds / size, pk_text.c_str(), fk_text.c_str(), related.seconds,
                1000 * related.seconds / size, related.seconds / (bare.tables + bare_fk),
                static_cast<double>(related.bytes) / 1e6);
    std::fflush(stdout);
  }
  for (const std::string& db : databases) {
    (void)platform::testing::RunSqlOn(sources.ConnectString(backend),
                                      {"DROP DATABASE IF EXISTS " + db + " WITH (FORCE)"});
  }
}

}  // namespace

int main(int argc, char** argv) {
  const Args args = ParseArgs(argc, argv);
  OdbcSources& sources = OdbcSources::Get();  // the ini files, before any ODBC call
  const std::string dir = sources.directory();
  platform::TEST_SetProgramPath(dir + "/pexolind");
  catalog::LoadCustomFieldTypes();
  // WriteTXD shows the written file with the desktop's opener; nothing is started here.
  platform::ProcessRecorder no_opener;
  std::printf("bare s: SQLTables + per table SQLColumns, SQLPrimaryKeys, SQLStatistics\n");
  std::printf("txd s: WriteTXD without relations, tables read anew; ratio = txd / bare\n");
  std::printf(
      "fk-by-pk / fk-by-fk: bare SQLForeignKeys per table by primary- / foreign-key table\n");
  std::printf("txd+rel s: WriteTXD with relations; rel/b = txd+rel / (bare + the FK form used)\n");
  for (int size : args.sizes) {
    if (size <= args.bare_pk_limit) TimePrefixes(size);
  }
  if (args.sqlite) RunBackend(OdbcBackend::kSqlite, args, dir);
  if (args.postgres) RunBackend(OdbcBackend::kPostgres, args, dir);
  sources.DropPostgresDatabase();
  return 0;
}
