#include "catalog/catalog_rows.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalog/catalog_queues.h"
#include "platform/files/odbc/odbc_handle.h"

namespace catalog {
namespace {

using Row = std::vector<std::optional<std::string>>;

// A result set made up by the test, for rows no real driver produces on demand. Each fetch
// answers SQL_SUCCESS while there are rows and SQL_NO_DATA after them, unless the test gives
// the answers: then fetch i answers answers[i] (and SQL_NO_DATA past them), and the row it
// moved to is row i.
class FakeRows final : public CatalogRows {
 public:
  explicit FakeRows(std::vector<Row> rows, std::vector<FetchResult> answers = {})
      : rows_(std::move(rows)), answers_(std::move(answers)) {}
  FetchResult Fetch() override {
    ++current_;
    if (!answers_.empty()) return current_ < answers_.size() ? answers_[current_] : SQL_NO_DATA;
    return current_ < rows_.size() ? SQL_SUCCESS : SQL_NO_DATA;
  }
  bool Read(int32_t n, char* buffer, int32_t length) override {
    const Row& row = rows_[current_];
    if (n < 1 || static_cast<size_t>(n) > row.size() || !row[n - 1]) return false;
    const std::string& v = *row[n - 1];
    const size_t bytes = std::min(v.size(), static_cast<size_t>(length - 1));
    std::memcpy(buffer, v.data(), bytes);
    buffer[bytes] = '\0';
    return true;
  }

 private:
  std::vector<Row> rows_;
  std::vector<FetchResult> answers_;
  size_t current_ = static_cast<size_t>(-1);
};

std::vector<Row> TableRows() {
  return {
      {"db", "dbo", "Customers", "TABLE", "people"},
      {"db", "DBO", "Orders", "table", std::nullopt},
      {"db", "dbo2", "Prices", "TABLE", ""},
      {"db", "sys", "sysobjects", "SYSTEM TABLE", ""},
      {"db", "dbo", "CustomerView", "VIEW", ""},
      {"db", std::nullopt, "Loose", "TABLE", ""},
  };
}

std::string Names(const platform::Queue<TablesQueueRecord>& q) {
  std::string out;
  for (size_t i = 1; i <= q.Records(); ++i) {
    if (!out.empty()) out += ",";
    out += q.entry(i).TABLENAME.str();
  }
  return out;
}

TEST(GetTablesFilter, DropsRowsByTypeAndOwner) {
  struct Case {
    std::string_view name;
    uint8_t system_tables, system_tables2, owner_filter_off, type_filter_off, tables_only;
    std::string_view owner_filter;
    std::string_view kept;
  };
  const Case kCases[] = {
      {"nothing set drops system tables", 0, 0, 0, 0, 0, "",
       "Customers,Orders,Prices,CustomerView,Loose"},
      {"system tables set keeps them", 1, 0, 0, 0, 0, "",
       "Customers,Orders,Prices,sysobjects,CustomerView,Loose"},
      {"the second flag keeps them too", 0, 1, 0, 0, 0, "",
       "Customers,Orders,Prices,sysobjects,CustomerView,Loose"},
      {"tables only keeps TABLE in any case", 0, 0, 0, 0, 1, "", "Customers,Orders,Prices,Loose"},
      {"tables only drops system tables even when they are asked for", 1, 0, 0, 0, 1, "",
       "Customers,Orders,Prices,Loose"},
      {"tables only counts only as exactly 1", 0, 0, 0, 0, 2, "",
       "Customers,Orders,Prices,CustomerView,Loose"},
      {"type filter off ignores tables only", 1, 0, 0, 1, 1, "",
       "Customers,Orders,Prices,sysobjects,CustomerView,Loose"},
      {"owner matches whole, any case", 0, 0, 0, 0, 0, "dbo", "Customers,Orders,CustomerView"},
      {"owner filter with trailing blanks, upper case", 0, 0, 0, 0, 0, "DBO  ",
       "Customers,Orders,CustomerView"},
      {"an owner beginning with the filter is dropped", 0, 0, 0, 0, 0, "dbo2", "Prices"},
      {"a filter of blanks filters nothing", 0, 0, 0, 0, 0, "   ",
       "Customers,Orders,Prices,CustomerView,Loose"},
      {"owner filter off ignores the filter", 0, 0, 1, 0, 0, "dbo",
       "Customers,Orders,Prices,CustomerView,Loose"},
      {"the dictionary window's arguments", 0, 0, 0, 0, 1, "dbo", "Customers,Orders"},
      {"the query builder's arguments", 0, 0, 1, 1, 0, "",
       "Customers,Orders,Prices,CustomerView,Loose"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    platform::Queue<TablesQueueRecord> queue;
    FakeRows rows(TableRows());
    char buffer[512];
    ReadRows(rows, queue, 5, buffer, sizeof buffer,
             TablesFilter(c.system_tables, c.system_tables2, c.owner_filter_off, c.type_filter_off,
                          c.tables_only, c.owner_filter));
    EXPECT_EQ(Names(queue), c.kept);
  }
}

TEST(ReadRows, NullsAndMissingColumnsGiveEmptyTextsAndZeros) {
  platform::Queue<ColumnsQueueRecord> queue;
  // A driver that answers fewer than 18 columns, and NULL remarks and digits.
  FakeRows rows(
      {{"db", "own", "t", "c", "4", "INTEGER", "10", "4", std::nullopt, "10", "1", std::nullopt}});
  char buffer[512];
  ReadRows(rows, queue, 18, buffer, sizeof buffer);
  ASSERT_EQ(queue.Records(), 1u);
  const ColumnsQueueRecord& r = queue.entry(1);
  EXPECT_EQ(r.COLUMNNAME, "c");
  EXPECT_EQ(r.NCOLUMNTYPE, 4);
  EXPECT_EQ(r.COLUMNSIZE, 10);
  EXPECT_EQ(r.DECIMALDIGITS, 0);
  EXPECT_EQ(r.REMARKS, "");
  EXPECT_EQ(r.DEFAULTVALUE, "");
  EXPECT_EQ(r.ORDINALPOSITION, 0);
  EXPECT_EQ(r.ISNULLABLE, "");
  EXPECT_EQ(r.MARK, 0);
}

TEST(ReadRows, ValuesAreCutToTheBufferAndThenToTheField) {
  platform::Queue<TablesQueueRecord> queue;
  FakeRows rows({{"", "", std::string(700, 'n'), "TABLE", std::string(600, 'r')}});
  char buffer[512];
  ReadRows(rows, queue, 5, buffer, sizeof buffer);
  ASSERT_EQ(queue.Records(), 1u);
  EXPECT_EQ(queue.entry(1).TABLENAME.size(), 511u);  // the buffer's 511: names are held whole
  EXPECT_EQ(queue.entry(1).REMARKS.size(), 254u);
  EXPECT_EQ(queue.entry(1).ORGINALTABLENAME, "");
}

// The reading loop of every reader: a row fetched with a warning is a row, and any answer but
// the two successes ends the reading, whatever would come after it.
TEST(ReadRows, GoesOnAfterEverySuccessAndStopsAtAnyOtherFetchResult) {
  struct Case {
    std::string_view name;
    std::vector<FetchResult> answers;
    std::string_view kept;
  };
  const Case kCases[] = {
      {"successes to the end", {SQL_SUCCESS, SQL_SUCCESS, SQL_SUCCESS}, "r1,r2,r3"},
      {"a warning in the middle goes on",
       {SQL_SUCCESS, SQL_SUCCESS_WITH_INFO, SQL_SUCCESS},
       "r1,r2,r3"},
      {"a warning on the first and last rows",
       {SQL_SUCCESS_WITH_INFO, SQL_SUCCESS_WITH_INFO},
       "r1,r2"},
      {"no data ends it", {SQL_SUCCESS, SQL_NO_DATA, SQL_SUCCESS}, "r1"},
      {"an error ends it", {SQL_SUCCESS, SQL_ERROR, SQL_SUCCESS}, "r1"},
      {"an invalid handle ends it", {SQL_SUCCESS_WITH_INFO, SQL_INVALID_HANDLE, SQL_SUCCESS}, "r1"},
      {"a statement still executing ends it",
       {SQL_SUCCESS, SQL_STILL_EXECUTING, SQL_SUCCESS},
       "r1"},
      {"an error on the first fetch", {SQL_ERROR, SQL_SUCCESS}, ""},
      {"no rows at all", {SQL_NO_DATA}, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<Row> rows;
    for (size_t i = 1; i <= c.answers.size(); ++i) {
      std::string name = "r";
      name += std::to_string(i);
      rows.push_back({"db", "dbo", name, "TABLE", ""});
    }
    platform::Queue<TablesQueueRecord> queue;
    FakeRows fake(rows, c.answers);
    char buffer[512];
    ReadRows(fake, queue, 5, buffer, sizeof buffer);
    EXPECT_EQ(Names(queue), c.kept);
  }
}

// Where a driver has no search-pattern escape, `t_1` still matches `t11` (and `T_1`, and a
// name of any length beginning with `t`, for `%`): only the table asked for keeps its rows.
TEST(ExactTableNameFilter, KeepsOnlyTheRowsOfTheTableAskedFor) {
  const std::string long_name(600, 'l');
  const std::string name_120(120, 'm');
  const std::vector<Row> rows = {
      {"", "", "t_1", "x1", "4"},        {"", "", "t11", "y1", "4"},
      {"", "", "t11", "y2", "4"},        {"", "", "T_1", "z1", "4"},
      {"", "", "t_1 ", "w1", "4"},       {"", "", "t_1", "x2", "4"},
      {"", "", "t%", "p1", "4"},         {"", "", "tx", "q1", "4"},
      {"", "", long_name, "n1", "4"},    {"", "", long_name + "x", "n2", "4"},
      {"", "", name_120, "m1", "4"},     {"", "", name_120 + "x", "m2", "4"},
      {"", "", std::nullopt, "u1", "4"}, {"", "", "", "e1", "4"},
  };
  struct Case {
    std::string name;
    std::vector<std::string> columns;
  };
  const Case kCases[] = {
      {"t_1", {"x1", "x2"}},
      {"t11", {"y1", "y2"}},
      {"t%", {"p1"}},
      {"nothing", {}},
      // A name of 120 bytes is held whole, and tells itself from a longer one.
      {name_120, {"m1"}},
      // A held name of 600 bytes, longer than a catalog value can be read: its rows, cut alike,
      // are kept, and so are those of a longer name cut to the same text.
      {long_name.substr(0, 511), {"n1", "n2"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    platform::Queue<ColumnsQueueRecord> queue;
    FakeRows fake(rows);
    char buffer[512];
    ReadRows(fake, queue, 18, buffer, sizeof buffer, ExactTableNameFilter(c.name, 3));
    std::vector<std::string> columns;
    for (size_t i = 1; i <= queue.Records(); ++i) {
      EXPECT_EQ(queue.entry(i).TABLE.str(), c.name.substr(0, 511));
      columns.push_back(queue.entry(i).COLUMNNAME.str());
    }
    EXPECT_EQ(columns, c.columns);
  }
}

// The filter looks only at the field it is given, and leaves the row as it was read.
TEST(ExactTableNameFilter, LeavesTheRowsItKeepsAsRead) {
  platform::Queue<ColumnsQueueRecord> queue;
  FakeRows fake({{"db", "own", "t_1", "x1", "4", "INTEGER"}, {"db", "own", "t11", "t_1", "4"}});
  char buffer[512];
  ReadRows(fake, queue, 18, buffer, sizeof buffer, ExactTableNameFilter("t_1", 3));
  ASSERT_EQ(queue.Records(), 1u);
  const ColumnsQueueRecord& r = queue.entry(1);
  EXPECT_EQ(r.DATABASE, "db");
  EXPECT_EQ(r.OWNER, "own");
  EXPECT_EQ(r.TABLE, "t_1");
  EXPECT_EQ(r.COLUMNNAME, "x1");
  EXPECT_EQ(r.NCOLUMNTYPE, 4);
  EXPECT_EQ(r.COLUMNTYPE, "INTEGER");
}

TEST(EscapeSearchPattern, EscapesWildcardsAndTheEscapeItself) {
  struct Case {
    std::string_view name;
    std::string_view escape;
    std::string_view pattern;
  };
  constexpr Case kCases[] = {
      {"orders", "\\", "orders"}, {"t_1", "\\", "t\\_1"}, {"100%", "\\", "100\\%"},
      {"a\\b", "\\", "a\\\\b"},   {"x_y", "!", "x!_y"},   {"", "\\", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EscapeSearchPattern(c.name, c.escape), c.pattern);
  }
}

}  // namespace
}  // namespace catalog
