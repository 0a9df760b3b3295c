// Fill and export benchmark of the query window's result: ODBCQueryClass::FillQueue of a
// large result against a bare SQLFetch/SQLGetData loop over the same rows and columns, the
// peak memory of the filled queue against the result's text size, and the export of the
// queue to a semicolon file through the BASIC driver. Prints one table per data source.
//
//   pex_fill_export_bench [--backend=sqlite|postgres] [--rows=N] [--rounds=N]
//
// PostgreSQL needs the server of scripts/with-pg; scripts/bench runs both.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <malloc.h>
#include <sql.h>
#include <sqlext.h>
#include <unistd.h>

#include "catalog/odbc_query.h"
#include "platform/core/error_state.h"
#include "platform/core/fixed_string.h"
#include "platform/core/message.h"
#include "platform/core/queue.h"
#include "platform/core/record.h"
#include "platform/files/basic_driver.h"
#include "platform/files/file.h"
#include "platform/files/odbc/odbc_driver.h"
#include "platform/files/odbc/odbc_handle.h"
#include "platform/testing/odbc_sources.h"

namespace {

namespace files = platform::files;
using platform::FixedString;
using platform::testing::OdbcBackend;
using platform::testing::OdbcSources;
using Clock = std::chrono::steady_clock;

constexpr size_t kResultFields = 25;
constexpr size_t kColumns = 10;
constexpr std::string_view kTable = "bench_rows";
constexpr std::string_view kSelect =
    "SELECT id, name, street, city, country, email, note, code, qty, price FROM bench_rows";

// The window's result queue and the export file's record share this layout: 25 STRING(255)
// fields, so a queue row is copied into the file's record whole.
struct ResultRecord {
  std::array<FixedString<255>, kResultFields> FIELD;
  static const platform::RecordLayout& Layout();
};

template <size_t I>
platform::FieldInfo ResultField() {
  static const std::string name = "FIELD" + std::to_string(I + 1);
  return platform::FieldInfo{
      name, platform::FieldType::kString, 255, 0, [](void* r) -> void* {
        return static_cast<platform::TextBase*>(&static_cast<ResultRecord*>(r)->FIELD[I]);
      }};
}

template <size_t... I>
std::vector<platform::FieldInfo> ResultFields(std::index_sequence<I...>) {
  return {ResultField<I>()...};
}

const platform::RecordLayout& ResultRecord::Layout() {
  static const platform::RecordLayout layout(
      "ODB", ResultFields(std::make_index_sequence<kResultFields>()));
  return layout;
}

// Texts of 5 to 30 bytes cut from this line at offsets and lengths that vary by row, the same
// expression on both servers.
constexpr std::string_view kWords =
    "Amsterdam Rotterdam Utrecht Eindhoven Groningen Tilburg Almere Breda Nijmegen Apeldoorn "
    "Haarlem Arnhem Zaanstad";

std::string TextColumn(int mul, int add) {
  return "substr('" + std::string(kWords) + "', 1 + (i * " + std::to_string(mul) + " + " +
         std::to_string(add) + ") % 70, 5 + (i * " + std::to_string(mul + 4) + " + " +
         std::to_string(add) + ") % 26)";
}

std::string InsertSelect() {
  return "SELECT i, " + TextColumn(7, 1) + ", " + TextColumn(11, 3) + ", " + TextColumn(13, 5) +
         ", " + TextColumn(17, 7) + ", " + TextColumn(19, 11) + ", " + TextColumn(23, 13) + ", " +
         TextColumn(29, 17) + ", (i * 37) % 1000, (i % 100000) / 100.0";
}

bool CreateRows(OdbcBackend backend, int64_t rows) {
  const std::string create =
      "CREATE TABLE bench_rows (id INTEGER, name VARCHAR(40), street VARCHAR(40), "
      "city VARCHAR(40), country VARCHAR(40), email VARCHAR(40), note VARCHAR(40), "
      "code VARCHAR(40), qty INTEGER, price NUMERIC(10,2))";
  const std::string n = std::to_string(rows);
  const std::string insert =
      backend == OdbcBackend::kSqlite
          ? "INSERT INTO bench_rows WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
            "FROM s WHERE i < " +
                n + ") " + InsertSelect() + " FROM s"
          : "INSERT INTO bench_rows " + InsertSelect() + " FROM generate_series(1, " + n +
                ") AS s(i)";
  const std::string drop = "DROP TABLE IF EXISTS " + std::string(kTable);
  ::testing::AssertionResult r = OdbcSources::Get().RunSql(backend, {drop, create, insert});
  if (!r) std::fprintf(stderr, "cannot create the rows: %s\n", r.message());
  if (r && backend == OdbcBackend::kPostgres) {
    // Fresh statistics, so the first measured scan is like every later one.
    (void)OdbcSources::Get().RunSql(backend, {"VACUUM ANALYZE bench_rows"});
  }
  return static_cast<bool>(r);
}

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// A line of /proc/self/status in bytes ("VmRSS", "VmHWM").
int64_t ProcStatusBytes(std::string_view key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.compare(0, key.size(), key) == 0 && line.size() > key.size() &&
        line[key.size()] == ':') {
      return std::atoll(line.c_str() + key.size() + 1) * 1024;
    }
  }
  return -1;
}

// The bytes malloc has handed out and not taken back, its own overhead included.
int64_t HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return static_cast<int64_t>(m.uordblks + m.hblkhd);
}

// Starts a new peak: VmHWM becomes the current VmRSS.
void ResetPeakRss() { std::ofstream("/proc/self/clear_refs") << "5"; }

struct LoopResult {
  double seconds = 0;
  double execute_seconds = 0;  // of `seconds`, the statement until its first fetch
  int64_t rows = 0;
  int64_t text_bytes = 0;  // the bytes of every column value of every row
  bool ok = false;
};

// The bare loop: its own connection, SQLExecDirect, then SQLFetch and SQLGetData(SQL_C_CHAR)
// into one buffer for every column of every row.
LoopResult BareLoop(const std::string& connect) {
  LoopResult r;
  auto env = files::OdbcEnvironment::Allocate(SQL_NULL_HANDLE);
  if (!env.ok()) return r;
  auto dbc = files::OdbcConnectionHandle::Allocate(env.value().get());
  if (!dbc.ok()) return r;
  std::string conn = connect;
  if (!files::OdbcOk(SQLDriverConnect(dbc.value().get(), nullptr,
                                      reinterpret_cast<SQLCHAR*>(conn.data()), SQL_NTS, nullptr, 0,
                                      nullptr, SQL_DRIVER_NOPROMPT))) {
    return r;
  }
  {
    auto stmt = files::OdbcStatement::Allocate(dbc.value().get());
    if (!stmt.ok()) return r;
    SQLHSTMT h = stmt.value().get();
    std::string sql(kSelect);
    const Clock::time_point start = Clock::now();
    if (!files::OdbcOk(SQLExecDirect(h, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS))) {
      return r;
    }
    r.execute_seconds = Seconds(start);
    char buffer[512];
    while (files::OdbcOk(SQLFetch(h))) {
      for (SQLUSMALLINT c = 1; c <= kColumns; ++c) {
        SQLLEN indicator = 0;
        if (files::OdbcOk(SQLGetData(h, c, SQL_C_CHAR, buffer, sizeof buffer, &indicator)) &&
            indicator > 0) {
          r.text_bytes += indicator;
        }
      }
      ++r.rows;
    }
    r.seconds = Seconds(start);
    r.ok = true;
  }
  (void)SQLDisconnect(dbc.value().get());
  return r;
}

struct FillResult {
  double seconds = 0;
  double execute_seconds = 0;  // of `seconds`, Execute
  int64_t rows = 0;            // result rows, without the header
  int64_t peak_growth = 0;
  int64_t queue_heap = 0;  // heap bytes in use for the queue once the statement is closed
  bool ok = false;
};

// Execute and FillQueue, unlimited, as the query window runs them; the queue keeps the rows.
// `cold` first hands the free memory back to the system, so the queue grows in new pages.
FillResult Fill(files::File& odbc_file, platform::Queue<ResultRecord>& queue, bool cold) {
  FillResult r;
  catalog::ODBCQueryClass query;
  query.Init(odbc_file);
  queue.Free();
  if (cold) malloc_trim(0);
  const int64_t heap_before = HeapInUse();
  const Clock::time_point start = Clock::now();
  if (query.Execute(kSelect)) return r;
  r.execute_seconds = Seconds(start);
  // The peak is taken from here on: a driver that reads the whole result at once (the
  // PostgreSQL driver) has done so, and what grows now is the queue.
  const int64_t rss_before = ProcStatusBytes("VmRSS");
  ResetPeakRss();
  query.FillQueue(queue, 0, /*unlimited=*/true);
  r.seconds = Seconds(start);
  r.peak_growth = ProcStatusBytes("VmHWM") - rss_before;
  r.rows = static_cast<int64_t>(queue.Records()) - 1;
  odbc_file.Close();
  r.queue_heap = HeapInUse() - heap_before;
  r.ok = true;
  return r;
}

struct ExportResult {
  double seconds = 0;
  int64_t bytes = 0;
  bool ok = false;
};

// The window's export of the filled queue: the header row goes back to position 1, then
// CREATE, OPEN 22h, STREAM, SET, GET and ADD of every row, FLUSH and CLOSE, and the header
// row leaves the queue again.
ExportResult Export(platform::Queue<ResultRecord>& queue, const std::string& path) {
  ExportResult r;
  ResultRecord record;
  files::FileDeclaration decl;
  decl.label = "ExportFile";
  decl.name = path;
  decl.driver_options = "/COMMA=59";
  decl.layout = &ResultRecord::Layout();
  decl.record = &record;
  files::File out(std::move(decl), files::MakeBasicDriver());

  const Clock::time_point start = Clock::now();
  queue.AddAt(1);  // the buffer holds the header row, as the window's column headers do
  if (!out.Create() || !out.Open(files::kReadWrite | files::kDenyWrite)) return r;
  out.Stream();
  out.Set();
  for (size_t i = 1; i <= queue.Records(); ++i) {
    queue.Get(i);
    record = queue.buffer;
    if (!out.Add()) {
      std::fprintf(stderr, "ADD failed on row %zu: %s\n", i, platform::Error().c_str());
      return r;
    }
  }
  out.Flush();
  if (!out.Close()) return r;
  r.seconds = Seconds(start);
  queue.Get(1);
  queue.Delete();
  std::error_code ec;
  r.bytes = static_cast<int64_t>(std::filesystem::file_size(path, ec));
  r.ok = !ec;
  return r;
}

struct Options {
  std::vector<OdbcBackend> backends;
  int64_t rows = 1000000;
  int rounds = 3;
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--backend=sqlite") {
      o.backends.push_back(OdbcBackend::kSqlite);
    } else if (a == "--backend=postgres") {
      o.backends.push_back(OdbcBackend::kPostgres);
    } else if (a.starts_with("--rows=")) {
      o.rows = std::atoll(argv[i] + 7);
    } else if (a.starts_with("--rounds=")) {
      o.rounds = std::max(1, std::atoi(argv[i] + 9));
    } else {
      std::fprintf(stderr, "usage: %s [--backend=sqlite|postgres]... [--rows=N] [--rounds=N]\n",
                   argv[0]);
      std::exit(2);
    }
  }
  if (o.backends.empty()) o.backends = {OdbcBackend::kSqlite, OdbcBackend::kPostgres};
  return o;
}

double Mb(int64_t bytes) { return static_cast<double>(bytes) / 1e6; }

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

// Runs every measurement on one source and prints its table; false when something failed.
bool RunBackend(OdbcBackend backend, const Options& o) {
  const std::string_view name = platform::testing::OdbcBackendName(backend);
  if (::testing::AssertionResult a = OdbcSources::Get().Available(backend); !a) {
    std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(name.size()), name.data(), a.message());
    return false;
  }
  std::printf("== %.*s: %lld rows of %zu columns\n", static_cast<int>(name.size()), name.data(),
              static_cast<long long>(o.rows), kColumns);
  std::fflush(stdout);
  Clock::time_point made = Clock::now();
  if (!CreateRows(backend, o.rows)) return false;
  std::printf("   rows created in %.1f s\n", Seconds(made));

  const std::string connect = OdbcSources::Get().ConnectString(backend);
  files::FileDeclaration decl;
  decl.label = "ODBCFILE";
  decl.owner = connect;
  files::File odbc_file(std::move(decl), files::MakeOdbcDriver());
  platform::Queue<ResultRecord> queue;

  // The first fill runs in a heap that has not held a result yet, so its peak is the queue's.
  const FillResult first = Fill(odbc_file, queue, /*cold=*/true);
  if (!first.ok) return false;
  // Then rounds of both loops, each starting with the queue emptied, as the window's next
  // execution does; the best of each counts.
  FillResult best_fill;
  LoopResult best_bare;
  for (int round = 0; round < o.rounds; ++round) {
    queue.Free();
    LoopResult bare = BareLoop(connect);
    if (!bare.ok) {
      std::fprintf(stderr, "the bare loop failed\n");
      return false;
    }
    if (!best_bare.ok || bare.seconds < best_bare.seconds) best_bare = bare;
    FillResult fill = Fill(odbc_file, queue, /*cold=*/false);
    if (!fill.ok) return false;
    if (!best_fill.ok || fill.seconds < best_fill.seconds) best_fill = fill;
  }
  if (best_fill.rows != best_bare.rows) {
    std::fprintf(stderr, "FillQueue read %lld rows, the bare loop %lld\n",
                 static_cast<long long>(best_fill.rows), static_cast<long long>(best_bare.rows));
    return false;
  }

  const double bare_rate = static_cast<double>(best_bare.rows) / best_bare.seconds;
  const double fill_rate = static_cast<double>(best_fill.rows) / best_fill.seconds;
  const double share = fill_rate / bare_rate;
  const double memory_factor =
      static_cast<double>(first.peak_growth) / static_cast<double>(best_bare.text_bytes);
  std::printf("   bare SQLFetch/SQLGetData loop  %8.3f s  %10.0f rows/s  (statement %.3f s)\n",
              best_bare.seconds, bare_rate, best_bare.execute_seconds);
  std::printf(
      "   Execute + FillQueue            %8.3f s  %10.0f rows/s  (statement %.3f s)  %5.1f%% of "
      "bare  (>= 70%%: %s)\n",
      best_fill.seconds, fill_rate, best_fill.execute_seconds, share * 100, Verdict(share >= 0.70));
  std::printf("   first FillQueue into fresh memory %8.3f s  %10.0f rows/s\n", first.seconds,
              static_cast<double>(first.rows) / first.seconds);
  const double heap_factor =
      static_cast<double>(first.queue_heap) / static_cast<double>(best_bare.text_bytes);
  std::printf("   result text %.1f MB; queue peak RSS growth %.1f MB, %.2f x  (<= 2 x: %s)\n",
              Mb(best_bare.text_bytes), Mb(first.peak_growth), memory_factor,
              Verdict(memory_factor <= 2.0));
  std::printf("   queue heap in use %.1f MB, %.2f x the text, %.0f bytes a row\n",
              Mb(first.queue_heap), heap_factor,
              static_cast<double>(first.queue_heap) / static_cast<double>(first.rows + 1));
  const std::string path = OdbcSources::Get().directory() + "/Result.csv";
  ExportResult best_export;
  for (int round = 0; round < o.rounds; ++round) {
    ExportResult e = Export(queue, path);
    if (!e.ok) {
      std::fprintf(stderr, "the export failed\n");
      return false;
    }
    if (!best_export.ok || e.seconds < best_export.seconds) best_export = e;
  }
  std::filesystem::remove(path);
  const double export_rate = Mb(best_export.bytes) / best_export.seconds;
  std::printf(
      "   export of %lld lines           %8.3f s  %7.1f MB/s (%.1f MB)  (>= 100 MB/s: %s)\n",
      static_cast<long long>(best_fill.rows + 1), best_export.seconds, export_rate,
      Mb(best_export.bytes), Verdict(export_rate >= 100));
  std::fflush(stdout);
  (void)OdbcSources::Get().RunSql(backend, {"DROP TABLE bench_rows"});
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  // A failed statement would show a message box; here it goes to stderr.
  platform::SetMessageHook([](const platform::MessageRequest& m) {
    std::fprintf(stderr, "message: %s\n", m.text.c_str());
    return 1;
  });
  bool ok = true;
  for (OdbcBackend backend : options.backends) ok = RunBackend(backend, options) && ok;
  OdbcSources::Get().DropPostgresDatabase();
  return ok ? 0 : 1;
}
