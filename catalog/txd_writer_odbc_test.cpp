// The TXD writer over the real SQLite and PostgreSQL test sources, through the catalog
// readers and the statement object, checked for structure by the test reader.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "catalog/catalog_queues.h"
#include "catalog/catalog_readers.h"
#include "catalog/field_types.h"
#include "catalog/globals.h"
#include "catalog/txd_odbc_testing.h"
#include "catalog/txd_test_support.h"
#include "catalog/txd_writer.h"
#include "platform/core/paths.h"
#include "platform/core/process.h"
#include "platform/files/file_test_support.h"
#include "platform/testing/odbc_sources.h"

namespace catalog {
namespace {

using platform::testing::OdbcBackendParamName;

class TxdWriterOdbcTest : public TxdOdbcTest {
 protected:
  void MakeSchema() override {
    ASSERT_TRUE(RunSql({
        "CREATE TABLE customers (id INTEGER NOT NULL, name VARCHAR(50), created TIMESTAMP, "
        "amount NUMERIC(10,2), PRIMARY KEY (id))",
        "CREATE INDEX customers_lower_name ON customers (lower(name))",
        "CREATE TABLE \"order lines\" (order_id INTEGER NOT NULL, line_no INTEGER NOT NULL, "
        "qty INTEGER, note VARCHAR(200), PRIMARY KEY (order_id, line_no))",
        "CREATE INDEX lines_qty_desc ON \"order lines\" (qty DESC)",
        "CREATE UNIQUE INDEX lines_note ON \"order lines\" (note)",
        "CREATE TABLE \"o'brien\" (b INTEGER)",
        "CREATE VIEW v_customers AS SELECT id, name FROM customers",
    }));
  }
};

TEST_P(TxdWriterOdbcTest, WritesAStructurallyValidDictionary) {
  // As the dictionary window does: read the tables, then write.
  const std::unique_ptr<CatalogSource> source = MakeQueryObjectCatalog();
  source->ReadTables(/*system_tables=*/false, /*tables_only=*/true, "");
  ASSERT_GE(TablesQueue.Records(), 3u);
  WriteTXD();
  EXPECT_EQ(Glo.TXDFilename.str(), dir_.File("Clarion.txd"));
  ASSERT_EQ(opener_.calls().size(), 1u);

  const std::string text = dir_.Read("Clarion.txd");
  const testing::TxdDocument doc = testing::ReadTxd(text);
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;
  ASSERT_EQ(doc.files.size(), TablesQueue.Records() + 1) << text;

  auto file = [&](std::string_view label) -> const testing::TxdFile* {
    for (const testing::TxdFile& f : doc.files) {
      if (f.label == label) return &f;
    }
    return nullptr;
  };
  ASSERT_NE(file("GlobalVariables"), nullptr);
  EXPECT_EQ(file("v_customers"), nullptr) << "a view with tables only set";

  for (size_t i = 1; i < doc.files.size(); ++i) {
    EXPECT_FALSE(doc.files[i].fields.empty()) << doc.files[i].label;
  }

  const bool postgres = backend() == platform::testing::OdbcBackend::kPostgres;
  const testing::TxdFile* customers = file("customers");
  ASSERT_NE(customers, nullptr) << text;
  std::vector<std::string> labels;
  for (const testing::TxdField& f : customers->fields) labels.push_back(f.label);
  // SQLite reports the type as declared, TIMESTAMP; PostgreSQL "timestamp". Both are
  // timestamps by their type code, which brings the date/time group.
  const std::vector<std::string> expected_labels = {
      "id", "name", "created", "created_GROUP", "created_DATE", "created_TIME", "amount"};
  EXPECT_EQ(labels, expected_labels) << text;
  EXPECT_EQ(customers->fields[2].type, "STRING(8)");
  ASSERT_FALSE(customers->keys.empty()) << text;
  for (const testing::TxdKey& k : customers->keys) {
    EXPECT_EQ(k.line.find("lower"), std::string::npos) << "expression index written: " << k.line;
  }

  const testing::TxdFile* lines = file("order_lines");
  ASSERT_NE(lines, nullptr) << text;
  EXPECT_NE(text.find("NAME('order lines')"), std::string::npos);
  EXPECT_EQ(lines->fields.size(), 4u);
  EXPECT_EQ(lines->keys.size(), 3u) << text;
  // The SQLite driver reports every index column as ascending.
  const std::string qty_key = postgres ? "lines_qty_desc KEY(-ord:qty),NOCASE,OPT,DUP"
                                       : "lines_qty_desc KEY(+ord:qty),NOCASE,OPT,DUP";
  EXPECT_TRUE(std::any_of(lines->keys.begin(), lines->keys.end(), [&](const testing::TxdKey& k) {
    return k.line == qty_key;
  })) << text;

  ASSERT_NE(file("o_brien"), nullptr) << text;
  EXPECT_NE(text.find("NAME('o''brien')"), std::string::npos);
}

// Names with line breaks, which both sources keep. (Neither driver reports column remarks,
// and the dictionary does not carry them; see the writer test for one with a line break.)
class TxdLineBreakOdbcTest : public TxdOdbcTest {
 protected:
  void MakeSchema() override {}
};

TEST_P(TxdLineBreakOdbcTest, LineBreaksInNamesKeepTheDictionaryValid) {
  ASSERT_TRUE(RunSql({"DROP TABLE IF EXISTS \"line\nbreaks\"",
                      "CREATE TABLE \"line\nbreaks\" (id INTEGER, \"order\r\ndate\" DATE, "
                      "note VARCHAR(20))"}));

  GetColumns(q(), ColumnsQueue, "line\nbreaks");
  ASSERT_EQ(ColumnsQueue.Records(), 3u);
  EXPECT_EQ(ColumnsQueue.entry(2).COLUMNNAME, "order\r\ndate");

  const std::unique_ptr<CatalogSource> source = MakeQueryObjectCatalog();
  source->ReadTables(/*system_tables=*/false, /*tables_only=*/true, "");
  WriteTXD();
  const std::string text = dir_.Read("Clarion.txd");
  ASSERT_TRUE(RunSql({"DROP TABLE \"line\nbreaks\""}));

  const testing::TxdDocument doc = testing::ReadTxd(text);
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;
  const auto file = std::find_if(doc.files.begin(), doc.files.end(), [](const testing::TxdFile& f) {
    return f.label == "line_breaks";
  });
  ASSERT_NE(file, doc.files.end()) << text;
  ASSERT_EQ(file->fields.size(), 3u) << text;
  EXPECT_EQ(file->fields[1].label, "order__date");
  EXPECT_EQ(file->fields[1].type, "DATE");
  // NAME names the real table and column: the line breaks are character codes.
  EXPECT_NE(text.find("NAME('line<10>breaks')"), std::string::npos) << text;
  EXPECT_NE(text.find("order__date DATE,NAME('order<13><10>date')\r\n"), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Drivers, TxdLineBreakOdbcTest,
                         ::testing::ValuesIn(platform::testing::kOdbcBackends),
                         OdbcBackendParamName);

INSTANTIATE_TEST_SUITE_P(Drivers, TxdWriterOdbcTest,
                         ::testing::ValuesIn(platform::testing::kOdbcBackends),
                         OdbcBackendParamName);

}  // namespace
}  // namespace catalog
