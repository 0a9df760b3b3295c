#include "catalog/catalog_readers.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalog/catalog_queues.h"
#include "catalog/globals.h"
#include "catalog/odbc_query.h"
#include "catalog/odbc_query_testing.h"
#include "platform/core/error_state.h"
#include "platform/files/file.h"
#include "platform/files/odbc/odbc_driver.h"
#include "platform/files/odbc/odbc_handle.h"
#include "platform/headless/headless_backend.h"
#include "platform/testing/dialog_script.h"
#include "platform/testing/odbc_sources.h"
#include "platform/ui/codes.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"

namespace catalog {
namespace {

using platform::testing::OdbcBackend;

// Every row of `queue` as "field|field|...", for messages and whole-row comparisons.
std::vector<std::string> Dump(platform::QueueBase& queue) {
  std::vector<std::string> out;
  for (size_t i = 1; i <= queue.Records(); ++i) {
    queue.Get(i);
    std::string row;
    for (size_t n = 1; n <= queue.FieldCount(); ++n) {
      if (n > 1) row += "|";
      row += queue.GetText(n);
    }
    out.push_back(row);
  }
  return out;
}

std::string Joined(const std::vector<std::string>& rows) {
  std::string out;
  for (const std::string& r : rows) out += r + "\n";
  return out;
}

class CatalogReadersTest : public QueryObjectTest {
 protected:
  void SetUp() override {
    QueryObjectTest::SetUp();
    if (HasFatalFailure()) return;
    MakeSchema();
  }

  void MakeSchema() {
    static bool made[2] = {false, false};
    bool& done = made[static_cast<int>(backend())];
    if (done) return;
    done = true;
    ASSERT_TRUE(RunSql({
        "CREATE TABLE customers (id INTEGER NOT NULL, name VARCHAR(50), PRIMARY KEY (id))",
        "CREATE TABLE orders (region INTEGER NOT NULL, num INTEGER NOT NULL, "
        "customer_id INTEGER, parent_region INTEGER, parent_num INTEGER, note VARCHAR(200), "
        "PRIMARY KEY (region, num), "
        "CONSTRAINT fk_customer FOREIGN KEY (customer_id) REFERENCES customers (id), "
        "CONSTRAINT fk_parent FOREIGN KEY (parent_region, parent_num) "
        "REFERENCES orders (region, num))",
        "CREATE UNIQUE INDEX orders_note_u ON orders (note)",
        "CREATE INDEX orders_cust ON orders (customer_id)",
        "CREATE INDEX orders_num_desc ON orders (num DESC)",
        "CREATE TABLE \"with blank\" (a INTEGER)",
        "CREATE TABLE \"o'brien\" (b INTEGER)",
        "CREATE TABLE t_1 (x1 INTEGER)",
        "CREATE TABLE t11 (y1 INTEGER, y2 INTEGER)",
        "CREATE VIEW v_customers AS SELECT id, name FROM customers",
    }));
  }

  platform::testing::DialogScript dialogs_;
};

// The queue's rows as the driver under test reports them. "@" stands for the catalog and
// schema columns: "pex_test_<pid>|public" on PostgreSQL, "|" (both NULL) on SQLite.
std::vector<std::string> Expected(OdbcBackend backend, std::vector<std::string> rows) {
  const std::string prefix = backend == OdbcBackend::kPostgres
                                 ? platform::testing::OdbcSources::Get().pg_database() + "|public"
                                 : "|";
  for (std::string& row : rows) {
    for (size_t at = row.find('@'); at != std::string::npos; at = row.find('@', at)) {
      row.replace(at, 1, prefix);
      at += prefix.size();
    }
  }
  return rows;
}

std::vector<std::string> Column(platform::QueueBase& queue, size_t n) {
  std::vector<std::string> out;
  for (size_t i = 1; i <= queue.Records(); ++i) {
    queue.Get(i);
    out.push_back(queue.GetText(n));
  }
  return out;
}

using Rows = std::vector<std::string>;

TEST_P(CatalogReadersTest, GetTablesListsTablesAndViewsAsTheDriverReportsThem) {
  GetTables(q(), TablesQueue, 0, 0, 0, 0, 0, "");
  const Rows sqlite = {"@|customers|TABLE||", "@|orders|TABLE||", "@|with blank|TABLE||",
                       "@|o'brien|TABLE||",   "@|t_1|TABLE||",    "@|t11|TABLE||",
                       "@|v_customers|VIEW||"};
  const Rows pg = {"@|customers|TABLE||", "@|o'brien|TABLE||", "@|orders|TABLE||",
                   "@|t11|TABLE||",       "@|t_1|TABLE||",     "@|v_customers|VIEW||",
                   "@|with blank|TABLE||"};
  EXPECT_EQ(Dump(TablesQueue),
            Expected(backend(), backend() == OdbcBackend::kSqlite ? sqlite : pg));
}

TEST_P(CatalogReadersTest, GetTablesFiltersOnTheRealDrivers) {
  const std::string owner = backend() == OdbcBackend::kPostgres ? "PUBLIC" : "";
  struct Case {
    std::string_view name;
    uint8_t system_tables, owner_filter_off, type_filter_off, tables_only;
    std::string owner_filter;
    size_t rows;
  };
  const Case kCases[] = {
      {"everything", 0, 0, 0, 0, "", 7},
      {"tables only", 1, 0, 0, 1, "", 6},
      {"the query builder's arguments", 0, 1, 1, 0, "", 7},
      {"the owner in another case", 0, 0, 0, 0, owner, 7},
      {"another owner", 0, 0, 0, 0, "nobody", 0},
      {"another owner, filter off", 0, 1, 0, 0, "nobody", 7},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    GetTables(q(), TablesQueue, c.system_tables, 0, c.owner_filter_off, c.type_filter_off,
              c.tables_only, c.owner_filter);
    EXPECT_EQ(TablesQueue.Records(), c.rows) << Joined(Dump(TablesQueue));
  }
}

TEST_P(CatalogReadersTest, GetColumnsReadsTheEighteenColumnsInOrder) {
  GetColumns(q(), ColumnsQueue, "orders");
  const Rows sqlite = {"@|orders|region|4|INTEGER|9|10|10|0|0||NULL|4|0|16384|1|NO|0",
                       "@|orders|num|4|INTEGER|9|10|10|0|0||NULL|4|0|16384|2|NO|0",
                       "@|orders|customer_id|4|INTEGER|9|10|10|0|1||NULL|4|0|16384|3|YES|0",
                       "@|orders|parent_region|4|INTEGER|9|10|10|0|1||NULL|4|0|16384|4|YES|0",
                       "@|orders|parent_num|4|INTEGER|9|10|10|0|1||NULL|4|0|16384|5|YES|0",
                       "@|orders|note|12|VARCHAR(200)|200|200|10|0|1||NULL|12|0|16384|6|YES|0"};
  const Rows pg = {"@|orders|region|4|int4|10|4|0|10|0|||4|0|-1|1||0",
                   "@|orders|num|4|int4|10|4|0|10|0|||4|0|-1|2||0",
                   "@|orders|customer_id|4|int4|10|4|0|10|1|||4|0|-1|3||0",
                   "@|orders|parent_region|4|int4|10|4|0|10|1|||4|0|-1|4||0",
                   "@|orders|parent_num|4|int4|10|4|0|10|1|||4|0|-1|5||0",
                   "@|orders|note|12|varchar|200|255|0|0|1|||12|0|255|6||0"};
  EXPECT_EQ(Dump(ColumnsQueue),
            Expected(backend(), backend() == OdbcBackend::kSqlite ? sqlite : pg));
}

TEST_P(CatalogReadersTest, GetColumnsMatchesTheTableNameExactly) {
  struct Case {
    std::string_view table;
    Rows columns;
  };
  const Case kCases[] = {
      {"t_1", {"x1"}},  // not also t11's, though `_` is a wildcard in a pattern
      {"t11", {"y1", "y2"}}, {"with blank", {"a"}},
      {"o'brien", {"b"}},    {"t_1   ", {"x1"}},  // the name is clipped
      {"no_such_table", {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.table);
    GetColumns(q(), ColumnsQueue, c.table);
    EXPECT_EQ(Column(ColumnsQueue, 4), c.columns);
  }
}

TEST_P(CatalogReadersTest, GetPrimaryKeysReadsACompositeKey) {
  GetPrimaryKeys(q(), PrimaryKeysQueue, "orders");
  const Rows sqlite = {"@|orders|region|1|", "@|orders|num|2|"};
  const Rows pg = {"@|orders|region|1|orders_pkey", "@|orders|num|2|orders_pkey"};
  EXPECT_EQ(Dump(PrimaryKeysQueue),
            Expected(backend(), backend() == OdbcBackend::kSqlite ? sqlite : pg));
}

TEST_P(CatalogReadersTest, GetIndexesListsEveryIndexOrOnlyUniqueOnes) {
  GetIndexes(q(), IndexesQueue, 1, "orders");
  const Rows sqlite_all = {"@|orders|1||orders_num_desc|3|1|num|A|0|0||0",
                           "@|orders|1||orders_cust|3|1|customer_id|A|0|0||0",
                           "@|orders|0||orders_note_u|3|1|note|A|0|0||0",
                           "@|orders|0||sqlite_autoindex_orders_1|3|1|region|A|0|0||0",
                           "@|orders|0||sqlite_autoindex_orders_1|3|2|num|A|0|0||0"};
  const Rows pg_all = {"@|orders|0|public|orders_pkey|3|1|region|A|0|0||0",
                       "@|orders|0|public|orders_pkey|3|2|num|A|0|0||0",
                       "@|orders|1|public|orders_cust|3|1|customer_id|A|0|0||0",
                       "@|orders|1|public|orders_num_desc|3|1|num|D|0|0||0",
                       "@|orders|0|public|orders_note_u|3|1|note|A|0|0||0"};
  EXPECT_EQ(Dump(IndexesQueue),
            Expected(backend(), backend() == OdbcBackend::kSqlite ? sqlite_all : pg_all));

  GetIndexes(q(), IndexesQueue, 0, "orders");
  const Rows sqlite_unique = {sqlite_all[2], sqlite_all[3], sqlite_all[4]};
  const Rows pg_unique = {pg_all[0], pg_all[1], pg_all[4]};
  EXPECT_EQ(Dump(IndexesQueue),
            Expected(backend(), backend() == OdbcBackend::kSqlite ? sqlite_unique : pg_unique));
}

TEST_P(CatalogReadersTest, GetForeignKeysListsTheKeysThatReferToTheTable) {
  GetForeignKeys(q(), ForeignKeysQueue, "customers");
  const Rows sqlite_customers = {"@|customers|id|@|orders|customer_id|1|3|3|||7"};
  const Rows pg_customers = {
      "@|customers|id|@|orders|customer_id|1|3|3|fk_customer|customers_pkey|7"};
  EXPECT_EQ(
      Dump(ForeignKeysQueue),
      Expected(backend(), backend() == OdbcBackend::kSqlite ? sqlite_customers : pg_customers));

  // A composite key of the table to itself.
  GetForeignKeys(q(), ForeignKeysQueue, "orders");
  const Rows sqlite_orders = {"@|orders|region|@|orders|parent_region|1|3|3|||7",
                              "@|orders|num|@|orders|parent_num|2|3|3|||7"};
  const Rows pg_orders = {"@|orders|region|@|orders|parent_region|1|3|3|fk_parent|orders_pkey|7",
                          "@|orders|num|@|orders|parent_num|2|3|3|fk_parent|orders_pkey|7"};
  EXPECT_EQ(Dump(ForeignKeysQueue),
            Expected(backend(), backend() == OdbcBackend::kSqlite ? sqlite_orders : pg_orders));

  GetForeignKeys(q(), ForeignKeysQueue, "t11");
  EXPECT_EQ(ForeignKeysQueue.Records(), 0u);
}

TEST_P(CatalogReadersTest, TwoReadsInARowGiveTheSameQueue) {
  GetColumns(q(), ColumnsQueue, "orders");
  const Rows first = Dump(ColumnsQueue);
  GetColumns(q(), ColumnsQueue, "orders");
  EXPECT_EQ(Dump(ColumnsQueue), first);
  EXPECT_EQ(first.size(), 6u);
}

TEST_P(CatalogReadersTest, ReadersLeaveNoStatementAllocatedAndKeepTheConnection) {
  const int64_t before = platform::files::OdbcStatement::TEST_live_count();
  GetTables(q(), TablesQueue, 0, 0, 0, 0, 0, "");
  GetColumns(q(), ColumnsQueue, "orders");
  GetPrimaryKeys(q(), PrimaryKeysQueue, "orders");
  GetIndexes(q(), IndexesQueue, 1, "orders");
  GetForeignKeys(q(), ForeignKeysQueue, "orders");
  EXPECT_EQ(platform::files::OdbcStatement::TEST_live_count(), before);
  EXPECT_TRUE(ODBCFILE.is_open());
  EXPECT_NE(ODBCFILE.GetProperty(platform::files::kPropConnectionHandle), "0");
}

TEST_P(CatalogReadersTest, FailingCatalogCallLeavesTheQueueEmptyAndShowsNothing) {
  GetColumns(q(), ColumnsQueue, "orders");
  ASSERT_EQ(ColumnsQueue.Records(), 6u);
  Glo.ConnectString = "DSN=no_such_source";
  const int64_t before = platform::files::OdbcStatement::TEST_live_count();
  GetTables(q(), TablesQueue, 0, 0, 0, 0, 0, "");
  GetColumns(q(), ColumnsQueue, "orders");
  GetPrimaryKeys(q(), PrimaryKeysQueue, "orders");
  GetIndexes(q(), IndexesQueue, 1, "orders");
  GetForeignKeys(q(), ForeignKeysQueue, "orders");
  for (platform::QueueBase* queue : std::initializer_list<platform::QueueBase*>{
           &TablesQueue, &ColumnsQueue, &PrimaryKeysQueue, &IndexesQueue, &ForeignKeysQueue}) {
    EXPECT_EQ(queue->Records(), 0u);
  }
  EXPECT_EQ(platform::files::OdbcStatement::TEST_live_count(), before);
  EXPECT_TRUE(dialogs_.seen().empty());
}

// The sources of the test ini files; one has neither driver nor description.
TEST_P(CatalogReadersTest, GetDataSourcesListsTheSourcesByUpperCaseName) {
  DataSourceQueue.Free();
  DataSourceQueue.buffer.DISPLAY = "stale";
  DataSourceQueue.Add();
  GetDataSources(DataSourceQueue);
  // PEX_Zed comes last by its upper-case name, though by its bytes it would come first.
  EXPECT_EQ(Dump(DataSourceQueue),
            (Rows{"pex_bare ()|pex_bare|PEX_BARE", "pex_pg (PexPostgreSQL)|pex_pg|PEX_PG",
                  "pex_pg_main (PexPostgreSQL)|pex_pg_main|PEX_PG_MAIN",
                  "pex_sqlite (PexSQLite)|pex_sqlite|PEX_SQLITE",
                  "PEX_Zed (PexSQLite)|PEX_Zed|PEX_ZED"}));
}

// A reader of the file's connection, and the queue it fills.
struct Reader {
  std::string_view name;
  platform::QueueBase* queue;
  std::function<void(ODBCQueryClass&)> run;
};

std::vector<Reader> Readers() {
  return {
      {"GetTables", &TablesQueue,
       [](ODBCQueryClass& q) { GetTables(q, TablesQueue, 0, 0, 0, 0, 0, ""); }},
      {"GetColumns", &ColumnsQueue,
       [](ODBCQueryClass& q) { GetColumns(q, ColumnsQueue, "orders"); }},
      {"GetPrimaryKeys", &PrimaryKeysQueue,
       [](ODBCQueryClass& q) { GetPrimaryKeys(q, PrimaryKeysQueue, "orders"); }},
      {"GetIndexes", &IndexesQueue,
       [](ODBCQueryClass& q) { GetIndexes(q, IndexesQueue, 1, "orders"); }},
      {"GetForeignKeys", &ForeignKeysQueue,
       [](ODBCQueryClass& q) { GetForeignKeys(q, ForeignKeysQueue, "orders"); }},
      {"GetForeignKeysOf", &ForeignKeysQueue,
       [](ODBCQueryClass& q) { GetForeignKeysOf(q, ForeignKeysQueue, "orders"); }},
  };
}

// A catalog call that fails after its statement was allocated, for a real cause that the
// file does not notice at OPEN. On PostgreSQL the server ends the file's connection: OPEN
// keeps the connection it has, and the call is the first to use it. On SQLite another
// connection holds the database locked, and the file's connection waits only 100 ms for it.
class CatalogCallFailureTest : public CatalogReadersTest {
 protected:
  void SetUp() override {
    CatalogReadersTest::SetUp();
    if (HasFatalFailure()) return;
    if (backend() == OdbcBackend::kSqlite) Glo.ConnectString = ConnectString() + ";Timeout=100";
  }
  void TearDown() override {
    locker_.reset();
    // The next test connects again instead of finding a dead connection.
    ODBCFILE.SetProperty(platform::files::kPropDisconnect, "1");
    CatalogReadersTest::TearDown();
  }

  // Makes the next catalog call on ODBCFILE's connection fail.
  void Break() {
    if (backend() == OdbcBackend::kPostgres) {
      ASSERT_FALSE(q().Execute("SELECT pg_backend_pid()"));
      ASSERT_FALSE(q().Next());
      const std::string pid = q().ColumnValue(1);
      ASSERT_TRUE(RunSql({"DO $$ BEGIN IF NOT pg_terminate_backend(" + pid +
                          ", 10000) THEN RAISE EXCEPTION 'backend " + pid +
                          " still runs'; END IF; END $$"}));
    } else {
      platform::files::FileDeclaration decl;
      decl.label = "LOCKER";
      decl.owner = ConnectString();
      locker_ = std::make_unique<platform::files::File>(std::move(decl),
                                                        platform::files::MakeOdbcDriver());
      ASSERT_TRUE(locker_->Open());
      locker_->SetProperty(platform::files::kPropSql, "BEGIN EXCLUSIVE");
      ASSERT_EQ(platform::ErrorCode(), 0) << platform::FileError();
    }
  }
  // Ends what Break did on SQLite (its connection ends, and the lock with it); on PostgreSQL
  // the next reader's connection is a new one anyway.
  void Mend() { locker_.reset(); }

  std::unique_ptr<platform::files::File> locker_;
};

TEST_P(CatalogCallFailureTest, CallFailingAfterAllocationLeavesTheQueueEmptyAndShowsNothing) {
  using platform::files::OdbcStatement;
  for (const Reader& reader : Readers()) {
    SCOPED_TRACE(reader.name);
    // A new connection, with every queue filled through it.
    ODBCFILE.SetProperty(platform::files::kPropDisconnect, "1");
    for (const Reader& fill : Readers()) {
      fill.run(q());
      ASSERT_GT(fill.queue->Records(), 0u) << fill.name;
    }
    Break();
    if (HasFatalFailure()) return;
    ODBCFILE.Close();  // frees any statement of the file, so only the reader's is counted

    const int64_t live = OdbcStatement::TEST_live_count();
    const int64_t allocated = OdbcStatement::TEST_allocated_count();
    reader.run(q());
    EXPECT_EQ(reader.queue->Records(), 0u) << Joined(Dump(*reader.queue));
    EXPECT_EQ(OdbcStatement::TEST_allocated_count(), allocated + 1);
    EXPECT_EQ(OdbcStatement::TEST_live_count(), live);
    for (const Reader& other : Readers()) {
      if (other.queue != reader.queue) {
        EXPECT_GT(other.queue->Records(), 0u) << other.name;
      }
    }
    Mend();
  }
  EXPECT_TRUE(dialogs_.seen().empty());
}

std::string_view CursorName(platform::ui::Cursor cursor) {
  return cursor == platform::ui::Cursor::kWait ? "wait" : "normal";
}

// The ODBC file driver, noting the cursor of the calling runtime thread at every OPEN, which
// the readers make in the middle of their work.
class CursorAtOpen final : public platform::files::Driver {
 public:
  CursorAtOpen(const platform::headless::HeadlessBackend& display, std::string& seen)
      : display_(display), seen_(seen) {}

  platform::Status Open(platform::files::File& file, uint32_t mode) override {
    seen_ += std::string(CursorName(display_.CursorOf(platform::ui::Thread()))) + " at open, ";
    return odbc_->Open(file, mode);
  }
  platform::Status Close(platform::files::File& file) override { return odbc_->Close(file); }
  std::string GetProperty(platform::files::File& file, int32_t prop, int32_t index,
                          bool& handled) override {
    return odbc_->GetProperty(file, prop, index, handled);
  }
  platform::Status SetProperty(platform::files::File& file, int32_t prop, int32_t index,
                               std::string_view value, bool& handled) override {
    return odbc_->SetProperty(file, prop, index, value, handled);
  }

 private:
  const platform::headless::HeadlessBackend& display_;
  std::string& seen_;
  std::unique_ptr<platform::files::Driver> odbc_ = platform::files::MakeOdbcDriver();
};

class CatalogReadersCursorTest : public CatalogReadersTest {
 protected:
  platform::headless::HeadlessBackend display_;
  platform::ui::Runtime runtime_{display_};
};

// On a runtime thread a reader shows the wait cursor while it works, and takes back only its
// own: the normal cursor after it, or still the wait cursor of work around it. A reader that
// cannot connect restores the cursor as well.
TEST_P(CatalogReadersCursorTest, ReadersShowTheWaitCursorWhileTheyWorkAndRestoreIt) {
  using platform::ui::Cursor;
  std::string seen;  // what the current step saw
  platform::files::FileDeclaration decl;
  decl.label = "PROBEFILE";
  decl.owner = ConnectString();
  platform::files::File file(std::move(decl), std::make_unique<CursorAtOpen>(display_, seen));
  ODBCQueryClass query;
  query.Init(file);
  std::vector<Reader> readers = Readers();
  readers.push_back({"GetDataSources", &DataSourceQueue,
                     [](ODBCQueryClass&) { GetDataSources(DataSourceQueue); }});

  std::vector<std::string> steps;
  runtime_.StartMain([&] {
    // The step's name, what it saw, whether its queue has rows, and the cursor after it.
    const auto step = [&](std::string_view name, const platform::QueueBase& queue) {
      steps.push_back(
          std::string(name) + ": " + seen + (queue.Records() > 0 ? "rows, " : "no rows, ") +
          std::string(CursorName(display_.CursorOf(platform::ui::Thread()))) + " after");
      seen.clear();
    };
    for (const Reader& reader : readers) {
      reader.run(query);
      step(reader.name, *reader.queue);
    }
    platform::ui::SetCursor(Cursor::kWait);  // work of the caller around a reader
    GetColumns(query, ColumnsQueue, "orders");
    step("GetColumns inside other work", ColumnsQueue);
    platform::ui::SetCursor(Cursor::kNormal);
    step("that work ended", ColumnsQueue);
    file.set_owner("DSN=no_such_source");
    GetColumns(query, ColumnsQueue, "orders");
    step("GetColumns without a connection", ColumnsQueue);
  });
  runtime_.Join();
  EXPECT_EQ(steps, (std::vector<std::string>{
                       "GetTables: wait at open, rows, normal after",
                       "GetColumns: wait at open, rows, normal after",
                       "GetPrimaryKeys: wait at open, rows, normal after",
                       "GetIndexes: wait at open, rows, normal after",
                       "GetForeignKeys: wait at open, rows, normal after",
                       "GetForeignKeysOf: wait at open, rows, normal after",
                       "GetDataSources: rows, normal after",
                       "GetColumns inside other work: wait at open, rows, wait after",
                       "that work ended: rows, normal after",
                       "GetColumns without a connection: wait at open, no rows, normal after",
                   }));
  EXPECT_TRUE(dialogs_.seen().empty());
}

// A second schema holding a table of the same name as one in public, and one of its own: each
// read with an owner reads that schema's table only.
class CatalogReadersSchemaTest : public CatalogReadersTest {};

TEST_P(CatalogReadersSchemaTest, ReadsWithAnOwnerReadTheTableOfThatSchema) {
  ASSERT_TRUE(RunSql({
      "DROP SCHEMA IF EXISTS other_s CASCADE",
      "CREATE SCHEMA other_s",
      "CREATE TABLE other_s.t_1 (z1 INTEGER NOT NULL, z2 INTEGER, PRIMARY KEY (z1))",
      "CREATE INDEX other_t_1_z2 ON other_s.t_1 (z2)",
      "CREATE TABLE other_s.only_here (w INTEGER, z_ref INTEGER REFERENCES other_s.t_1 (z1))",
  }));
  GetColumns(q(), ColumnsQueue, "t_1", "other_s");
  EXPECT_EQ(Column(ColumnsQueue, 4), (Rows{"z1", "z2"}));
  GetColumns(q(), ColumnsQueue, "t_1", "public");
  EXPECT_EQ(Column(ColumnsQueue, 4), (Rows{"x1"}));
  GetColumns(q(), ColumnsQueue, "only_here", "other_s");
  EXPECT_EQ(Column(ColumnsQueue, 4), (Rows{"w", "z_ref"}));
  GetColumns(q(), ColumnsQueue, "only_here", "public");
  EXPECT_EQ(Column(ColumnsQueue, 4), Rows{});

  GetPrimaryKeys(q(), PrimaryKeysQueue, "t_1", "other_s");
  EXPECT_EQ(Column(PrimaryKeysQueue, 4), (Rows{"z1"}));
  GetPrimaryKeys(q(), PrimaryKeysQueue, "t_1", "public");
  EXPECT_EQ(Column(PrimaryKeysQueue, 4), Rows{});
  GetIndexes(q(), IndexesQueue, /*unique=*/1, "t_1", "other_s");
  EXPECT_EQ(Column(IndexesQueue, 6), (Rows{"t_1_pkey", "other_t_1_z2"}));
  GetForeignKeys(q(), ForeignKeysQueue, "t_1", /*all=*/0, "other_s");
  EXPECT_EQ(Column(ForeignKeysQueue, 7), (Rows{"only_here"}));
  GetForeignKeys(q(), ForeignKeysQueue, "t_1", /*all=*/0, "public");
  EXPECT_EQ(Column(ForeignKeysQueue, 7), Rows{});
  GetForeignKeysOf(q(), ForeignKeysQueue, "only_here", "other_s");
  EXPECT_EQ(Column(ForeignKeysQueue, 3), (Rows{"t_1"}));
  EXPECT_EQ(Column(ForeignKeysQueue, 2), (Rows{"other_s"}));
  ASSERT_TRUE(RunSql({"DROP SCHEMA other_s CASCADE"}));
}

INSTANTIATE_TEST_SUITE_P(Drivers, CatalogReadersTest,
                         ::testing::ValuesIn(platform::testing::kOdbcBackends),
                         platform::testing::OdbcBackendParamName);
INSTANTIATE_TEST_SUITE_P(Drivers, CatalogCallFailureTest,
                         ::testing::ValuesIn(platform::testing::kOdbcBackends),
                         platform::testing::OdbcBackendParamName);
// The cursor does not depend on the driver.
INSTANTIATE_TEST_SUITE_P(Drivers, CatalogReadersCursorTest, ::testing::Values(OdbcBackend::kSqlite),
                         platform::testing::OdbcBackendParamName);

INSTANTIATE_TEST_SUITE_P(Drivers, CatalogReadersSchemaTest,
                         ::testing::Values(OdbcBackend::kPostgres),
                         platform::testing::OdbcBackendParamName);

}  // namespace
}  // namespace catalog
