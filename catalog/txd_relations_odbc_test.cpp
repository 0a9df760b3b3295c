// The whole dictionary writer, relations included, over the real SQLite and PostgreSQL test
// sources: the sample order-entry database, generated catalogs read both ways, and a table
// sysrel on a source without foreign keys.
#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "catalog/catalog_queues.h"
#include "catalog/catalog_readers.h"
#include "catalog/field_types.h"
#include "catalog/globals.h"
#include "catalog/txd_odbc_testing.h"
#include "catalog/txd_relations.h"
#include "catalog/txd_test_support.h"
#include "catalog/txd_writer.h"
#include "platform/core/paths.h"
#include "platform/core/process.h"
#include "platform/files/file_test_support.h"
#include "platform/testing/generated_catalog.h"
#include "platform/testing/odbc_sources.h"
#include "platform/testing/sample_database.h"

namespace catalog {
namespace {

using platform::testing::OdbcBackend;
using platform::testing::OdbcBackendParamName;

// The statement object's catalog, with the way of collecting relations chosen by the test.
class ChosenReading final : public CatalogSource {
 public:
  ChosenReading(std::unique_ptr<CatalogSource> source, bool through_foreign_key_tables)
      : source_(std::move(source)), through_foreign_key_tables_(through_foreign_key_tables) {}

  void ReadTables(bool s, bool t, std::string_view o) override { source_->ReadTables(s, t, o); }
  void ReadColumns(std::string_view t, std::string_view o) override { source_->ReadColumns(t, o); }
  void ReadPrimaryKeys(std::string_view t, std::string_view o) override {
    source_->ReadPrimaryKeys(t, o);
  }
  void ReadIndexes(std::string_view t, std::string_view o) override { source_->ReadIndexes(t, o); }
  void ReadForeignKeys(std::string_view t, std::string_view o) override {
    source_->ReadForeignKeys(t, o);
  }
  void ReadForeignKeysOf(std::string_view t, std::string_view o) override {
    source_->ReadForeignKeysOf(t, o);
  }
  bool ForeignKeysScanCatalog() override { return through_foreign_key_tables_; }
  std::string ReadError() override { return source_->ReadError(); }
  void ReadSysrel(platform::QueueBase& r) override { source_->ReadSysrel(r); }

 private:
  std::unique_ptr<CatalogSource> source_;
  const bool through_foreign_key_tables_;
};

class TxdRelationsOdbcTest : public TxdOdbcTest {
 protected:
  void SetUp() override {
    TxdOdbcTest::SetUp();
    Glo.NoRelations = 0;
  }
  void MakeSchema() override { ASSERT_TRUE(platform::testing::LoadSampleDatabase(backend())); }

  // The tables read anew, then the file written, as the dictionary window does.
  std::string WriteWith(CatalogSource& source, const std::string& file) {
    source.ReadTables(/*system_tables=*/false, /*tables_only=*/true, "");
    TxdOptions options;
    options.txd_filename = dir_.File(file);
    options.no_relations = false;
    options.connect_string = Glo.ConnectString.str();
    WriteTXD(options, source);
    return dir_.Read(file);
  }
  std::string WriteReading(bool through_foreign_key_tables, const std::string& file) {
    ChosenReading source(MakeQueryObjectCatalog(), through_foreign_key_tables);
    return WriteWith(source, file);
  }

  // A SQLite database of its own in the test directory, created by `statements`.
  void UseSqliteDatabase(const std::string& name, const std::vector<std::string>& statements) {
    const std::string connect = "DSN=pex_sqlite;Database=" + dir_.File(name);
    ASSERT_TRUE(platform::testing::RunSqlOn(connect, statements));
    Glo.ConnectString = connect;
  }
};

std::string Upper(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return s;
}
std::string Lower(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

// The FILE whose label is `label` in any case: PostgreSQL folds the names the sample writes
// without quotes to lower case.
const testing::TxdFile* FileOf(const testing::TxdDocument& doc, std::string_view label) {
  for (const testing::TxdFile& f : doc.files) {
    if (Lower(f.label) == Lower(std::string(label))) return &f;
  }
  return nullptr;
}

// The text before "[RELATIONS]" followed by the relation blocks in sorted order.
std::vector<std::string> SortedBlocks(const std::string& text) {
  const size_t start = text.find("[RELATIONS]");
  std::vector<std::string> blocks;
  const std::string head = std::string(28, ' ') + "RELATION,MANY:ONE";
  for (size_t at = text.find(head, start); at != std::string::npos;) {
    const size_t next = text.find(head, at + 1);
    blocks.push_back(text.substr(at, next == std::string::npos ? next : next - at));
    at = next;
  }
  std::sort(blocks.begin(), blocks.end());
  blocks.insert(blocks.begin(), text.substr(0, start));
  return blocks;
}

// A key of the sample schema: its index name as each driver reports it (in lower case), its
// components without the prefix, and what it is.
enum class KeyKind { kPrimary, kUnique, kDuplicate };
struct SampleKey {
  std::string_view table;  // label in lower case
  std::string_view sqlite_name;
  std::string_view pg_name;  // empty: as on SQLite
  std::string_view components;
  KeyKind kind;
};
// Every primary key, unique constraint and index of share/sample/orders.sql. SQLite names an
// INTEGER PRIMARY KEY "sqlite_autoindex_0" and its other automatic indexes after the table;
// PostgreSQL names them after the table and column.
constexpr KeyKind kPrimary = KeyKind::kPrimary;
constexpr KeyKind kUnique = KeyKind::kUnique;
constexpr KeyKind kDuplicate = KeyKind::kDuplicate;
const SampleKey kSampleKeys[] = {
    {"customers", "sqlite_autoindex_0", "customers_pkey", "+customerid", kPrimary},
    {"customers", "ux_customers_company", "", "+companyname", kUnique},
    {"customers", "ix_customers_phone", "", "+phone", kDuplicate},
    {"addresses", "sqlite_autoindex_addresses_1", "addresses_pkey", "+customerid,+addressno",
     kPrimary},
    {"addresses", "ix_addresses_city", "", "+country,+city", kDuplicate},
    {"employees", "sqlite_autoindex_0", "employees_pkey", "+employeeid", kPrimary},
    {"employees", "ix_employees_name", "", "+lastname,+firstname", kDuplicate},
    {"categories", "sqlite_autoindex_0", "categories_pkey", "+categoryid", kPrimary},
    {"categories", "sqlite_autoindex_categories_1", "categories_categoryname_key", "+categoryname",
     kUnique},
    {"suppliers", "sqlite_autoindex_0", "suppliers_pkey", "+supplierid", kPrimary},
    {"shippers", "sqlite_autoindex_0", "shippers_pkey", "+shipperid", kPrimary},
    {"products", "sqlite_autoindex_0", "products_pkey", "+productid", kPrimary},
    {"products", "ix_products_name", "", "+productname", kDuplicate},
    {"products", "ix_products_price", "", "-unitprice", kDuplicate},
    {"orders", "sqlite_autoindex_0", "orders_pkey", "+orderid", kPrimary},
    {"orders", "ix_orders_date", "", "+orderdate", kDuplicate},
    {"order_details", "sqlite_autoindex_order_details_1", "order_details_pkey",
     "+orderid,+productid", kPrimary},
    {"shipments", "sqlite_autoindex_0", "shipments_pkey", "+shipmentid", kPrimary},
    {"customer_s_notes", "sqlite_autoindex_0", "customer_s_notes_pkey", "+noteid", kPrimary},
};

// The key lines `backend` should give for the sample, in lower case and without prefixes,
// by table label in lower case.
std::map<std::string, std::set<std::string>> ExpectedSampleKeys(OdbcBackend backend) {
  const bool sqlite = backend == OdbcBackend::kSqlite;
  std::map<std::string, std::set<std::string>> keys;
  for (const SampleKey& k : kSampleKeys) {
    std::string name(sqlite || k.pg_name.empty() ? k.sqlite_name : k.pg_name);
    std::string components(k.components);
    // The SQLite driver reports every component as ascending.
    if (sqlite) std::replace(components.begin(), components.end(), '-', '+');
    std::string line = name + " key(" + components + "),nocase,opt";
    if (k.kind == kDuplicate) line += ",dup";
    // The SQLite driver gives the primary key no name (PK_NAME is NULL); the index over its
    // columns is found by them.
    if (k.kind == kPrimary) line += ",primary";
    keys[std::string(k.table)].insert(line);
  }
  return keys;
}

// A written key line in lower case with the file's prefix taken out of its components.
std::string KeyWithoutPrefix(const std::string& line, const std::string& prefix) {
  std::string out = Lower(line);
  const std::string mark = Lower(prefix) + ":";
  const size_t open = out.find(" key(");
  const size_t close = out.find(')', open);
  if (open == std::string::npos || close == std::string::npos) return out;
  std::string components = out.substr(open + 5, close - open - 5);
  for (size_t at = components.find(mark); at != std::string::npos; at = components.find(mark)) {
    components.erase(at, mark.size());
  }
  return out.substr(0, open + 5) + components + out.substr(close);
}

TEST_P(TxdRelationsOdbcTest, SampleDatabaseGivesEveryTableKeyAndForeignKey) {
  const std::unique_ptr<CatalogSource> source = MakeQueryObjectCatalog();
  EXPECT_EQ(source->ForeignKeysScanCatalog(), backend() == OdbcBackend::kSqlite);
  source->ReadTables(false, true, "");
  WriteTXD();
  const std::string text = dir_.Read("Clarion.txd");
  const testing::TxdDocument doc = testing::ReadTxd(text);
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;

  const std::vector<std::string> tables = {
      "Customers", "Addresses", "Employees",     "Categories", "Suppliers",       "Shippers",
      "Products",  "Orders",    "Order_Details", "Shipments",  "Customer_s_Notes"};
  std::map<std::string, std::string> prefix;  // label in lower case -> upper-case prefix
  for (const std::string& label : tables) {
    const testing::TxdFile* f = FileOf(doc, label);
    ASSERT_NE(f, nullptr) << label << "\n" << text;
    prefix[Lower(label)] = Upper(f->prefix);
    EXPECT_FALSE(f->fields.empty()) << label;
    ASSERT_FALSE(f->keys.empty()) << label;
    for (const testing::TxdKey& k : f->keys) {
      // Every component names a field of this file with its prefix.
      const size_t open = k.line.find(" KEY(");
      const size_t close = k.line.find(')');
      ASSERT_NE(open, std::string::npos);
      std::string components = k.line.substr(open + 5, close - open - 5) + ",";
      for (size_t at = 0; at < components.size();) {
        const size_t comma = components.find(',', at);
        const std::string part = components.substr(at, comma - at);
        at = comma + 1;
        ASSERT_GE(part.size(), 2u) << k.line;
        const std::string lead = part.substr(1, f->prefix.size() + 1);
        EXPECT_EQ(lead, f->prefix + ":") << k.line;
        const std::string field = part.substr(f->prefix.size() + 2);
        EXPECT_TRUE(std::any_of(f->fields.begin(), f->fields.end(),
                                [&](const testing::TxdField& x) { return x.label == field; }))
            << k.line;
      }
    }
  }
  EXPECT_EQ(FileOf(doc, "OrderTotals"), nullptr) << "a view with tables only set";
  // The keys of every table are exactly the schema's primary keys and indexes.
  std::map<std::string, std::set<std::string>> written_keys;
  for (size_t i = 1; i < doc.files.size(); ++i) {
    std::set<std::string>& keys = written_keys[Lower(doc.files[i].label)];
    for (const testing::TxdKey& k : doc.files[i].keys) {
      EXPECT_TRUE(keys.insert(KeyWithoutPrefix(k.line, doc.files[i].prefix)).second) << k.line;
    }
  }
  EXPECT_EQ(written_keys, ExpectedSampleKeys(backend())) << text;
  // The composite primary key of Addresses, in key order.
  const testing::TxdFile* addresses = FileOf(doc, "Addresses");
  EXPECT_TRUE(std::any_of(addresses->keys.begin(), addresses->keys.end(), [&](const auto& k) {
    return Lower(k.line).find("key(+add:customerid,+add:addressno)") != std::string::npos;
  })) << text;

  // Every foreign key pair but the self-reference of Employees, many side first.
  using Pair = std::tuple<std::string, std::string, std::string, std::string>;
  const std::set<Pair> expected = {
      {"addresses", "customerid", "customers", "customerid"},
      {"products", "supplierid", "suppliers", "supplierid"},
      {"products", "categoryid", "categories", "categoryid"},
      {"orders", "customerid", "customers", "customerid"},
      {"orders", "employeeid", "employees", "employeeid"},
      {"orders", "shipvia", "shippers", "shipperid"},
      {"order_details", "orderid", "orders", "orderid"},
      {"order_details", "productid", "products", "productid"},
      {"shipments", "orderid", "order_details", "orderid"},
      {"shipments", "productid", "order_details", "productid"},
      {"customer_s_notes", "customerid", "customers", "customerid"},
  };
  std::set<Pair> written;
  for (const testing::TxdRelation& r : doc.relations) {
    SCOPED_TRACE(r.file + " -> " + r.related);
    const std::string file = Lower(r.file);
    const std::string related = Lower(r.related);
    ASSERT_TRUE(prefix.contains(file) && prefix.contains(related));
    const std::string p1 = prefix[file];
    const std::string p2 = prefix[related];
    // RELATED_FILE_TO_KEY reads "P2:column,P1:column".
    const size_t comma = r.related_to_file.find(',');
    const std::string related_column =
        r.related_to_file.substr(p2.size() + 1, comma - p2.size() - 1);
    const std::string column = r.related_to_file.substr(comma + 1 + p1.size() + 1);
    EXPECT_EQ(r.related_to_file, p2 + ":" + related_column + "," + p1 + ":" + column);
    // The one side is found by its key over the column: each referred column is indexed.
    EXPECT_FALSE(r.related_key.empty());
    if (!r.related_key.empty()) {
      EXPECT_EQ(r.file_to_related, p1 + ":" + column + "," + p2 + ":" + related_column);
    }
    EXPECT_TRUE(written.emplace(file, Lower(column), related, Lower(related_column)).second)
        << "written twice";
  }
  EXPECT_EQ(written, expected) << text;
}

TEST_P(TxdRelationsOdbcTest, BothWaysOfCollectingGiveTheSameFileOnTheSample) {
  const std::string by_primary = WriteReading(false, "by_primary.txd");
  const std::string by_foreign = WriteReading(true, "by_foreign.txd");
  ASSERT_NE(by_primary.find("[RELATIONS]"), std::string::npos);
  if (backend() == OdbcBackend::kSqlite) {
    EXPECT_EQ(by_foreign, by_primary);
  } else {
    // PostgreSQL lists the keys referring to a table in an order of its own, so only the
    // blocks are the same; the program reads it by primary-key table.
    EXPECT_EQ(SortedBlocks(by_foreign), SortedBlocks(by_primary));
  }
}

TEST_P(TxdRelationsOdbcTest, BothWaysOfCollectingGiveTheSameFileOnGeneratedCatalogs) {
  if (backend() != OdbcBackend::kSqlite) GTEST_SKIP() << "collected by primary-key table";
  for (uint32_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    platform::testing::CatalogShape shape;
    shape.tables = 60;
    shape.columns = 8;
    shape.varied = true;
    shape.seed = seed;
    const std::string db = "generated" + std::to_string(seed) + ".db";
    UseSqliteDatabase(db, platform::testing::GeneratedCatalogStatements(shape, backend()));
    if (HasFatalFailure()) return;
    const std::string by_primary = WriteReading(false, "by_primary.txd");
    const std::string by_foreign = WriteReading(true, "by_foreign.txd");
    const testing::TxdDocument doc = testing::ReadTxd(by_primary);
    for (const std::string& e : doc.errors) ADD_FAILURE() << e;
    EXPECT_GT(doc.relations.size(), 60u);
    EXPECT_EQ(by_foreign, by_primary);
  }
}

TEST_P(TxdRelationsOdbcTest, SysrelGivesTheRelationsOfASourceWithoutForeignKeys) {
  if (backend() != OdbcBackend::kSqlite) GTEST_SKIP() << "a SQLite source of its own";
  UseSqliteDatabase(
      "sysrel.db",
      {"CREATE TABLE Customers (CustomerID INTEGER NOT NULL, Name VARCHAR(40))",
       "CREATE UNIQUE INDEX PrimaryKey ON Customers (CustomerID)",
       "CREATE TABLE Orders (OrderID INTEGER NOT NULL, CustomerID INTEGER)",
       "CREATE INDEX CustomersOrders ON Orders (CustomerID)",
       "CREATE TABLE sysrel (ccolumn NUMERIC(11,0), grbit NUMERIC(11,0), icolumn NUMERIC(11,0), "
       "szColumn VARCHAR(255), szObject VARCHAR(255), szReferencedColumn VARCHAR(255), "
       "szReferencedObject VARCHAR(255), szRelationship VARCHAR(255))",
       "INSERT INTO sysrel VALUES (1, 0, 0, 'CustomerID', 'Orders', 'CustomerID', 'Customers', "
       "'CustomersOrders')"});
  if (HasFatalFailure()) return;
  const std::unique_ptr<CatalogSource> source = MakeQueryObjectCatalog();
  const std::string text = WriteWith(*source, "sysrel.txd");
  const testing::TxdDocument doc = testing::ReadTxd(text);
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;
  ASSERT_EQ(doc.relations.size(), 1u) << text;
  EXPECT_EQ(doc.relations[0].file, "Orders");
  EXPECT_EQ(doc.relations[0].file_key, "ORD:CustomersOrders");
  EXPECT_EQ(doc.relations[0].related, "Customers");
  EXPECT_EQ(doc.relations[0].related_key, "CUS:PrimaryKey");
  EXPECT_EQ(doc.relations[0].file_to_related, "ORD:CustomerID,CUS:CustomerID");

  // Without rows in sysrel there is no section; without the table neither.
  ASSERT_TRUE(platform::testing::RunSqlOn(Glo.ConnectString.str(), {"DELETE FROM sysrel"}));
  EXPECT_EQ(WriteWith(*source, "empty.txd").find("[RELATIONS]"), std::string::npos);
  ASSERT_TRUE(platform::testing::RunSqlOn(Glo.ConnectString.str(), {"DROP TABLE sysrel"}));
  EXPECT_EQ(WriteWith(*source, "none.txd").find("[RELATIONS]"), std::string::npos);
}

// The written dictionary against the catalog it was written from: every FILE names its table
// and holds that table's columns in order (the date/time group's lines aside), and a table with
// a primary key has exactly one key marked PRIMARY.
void ExpectTheCatalogWhole(const testing::TxdDocument& doc) {
  ODBCQueryClass& query = *QueryObject;
  // The run left the labels in TABLENAME and the names as read in ORGINALTABLENAME.
  std::vector<TablesQueueRecord> tables;
  for (size_t n = 1; n <= TablesQueue.Records(); ++n) tables.push_back(TablesQueue.entry(n));
  for (const TablesQueueRecord& table : tables) {
    const std::string label(platform::ClipView(table.TABLENAME));
    const std::string name(platform::ClipView(table.ORGINALTABLENAME));
    const std::string owner(platform::ClipView(table.OWNER));
    SCOPED_TRACE(owner + "." + name);
    const testing::TxdFile* file = nullptr;
    for (const testing::TxdFile& f : doc.files) {
      if (f.label == label) file = &f;
    }
    ASSERT_NE(file, nullptr) << label;
    EXPECT_EQ(file->name, name);
    GetColumns(query, ColumnsQueue, name, owner);
    std::vector<std::string> columns;
    for (size_t c = 1; c <= ColumnsQueue.Records(); ++c) {
      columns.emplace_back(platform::ClipView(ColumnsQueue.entry(c).COLUMNNAME));
    }
    std::vector<std::string> fields;
    for (const testing::TxdField& f : file->fields) {
      if (!f.group_part) fields.push_back(f.name);
    }
    EXPECT_EQ(fields, columns);
    EXPECT_FALSE(columns.empty());
    GetPrimaryKeys(query, PrimaryKeysQueue, name, owner);
    EXPECT_EQ(file->primary_keys, PrimaryKeysQueue.Records() > 0 ? 1 : 0);
  }
}

// Names and types as a user meets them, beside the sample tables: blanks, quotes, braces, "<",
// "%", non-ASCII letters, leading digits, long names, labels that collide, a link table with a
// composite primary key, a composite foreign key, every column type of the driver and, on
// PostgreSQL, a second schema with a table named like one in public.
std::vector<std::string> EdgeSchema(OdbcBackend backend, const std::string& long_name) {
  const bool sqlite = backend == OdbcBackend::kSqlite;
  std::vector<std::string> sql = {
      "CREATE TABLE \"a b\" (id INTEGER NOT NULL PRIMARY KEY, \"x-y\" INTEGER, x_y INTEGER, "
      "\"x y\" VARCHAR(10), c TIMESTAMP, \"c_DATE\" DATE, \"  \" INTEGER)",
      "CREATE TABLE \"a-b\" (v INTEGER)",
      "CREATE TABLE a_b (v INTEGER)",
      "CREATE TABLE \"q'uote\" (\"it's\" INTEGER)",
      "CREATE TABLE \"{br}\" (\"{x}\" INTEGER)",
      "CREATE TABLE \"<lt>\" (\"<y>\" INTEGER)",
      "CREATE TABLE \"50%\" (\"%\" INTEGER)",
      "CREATE TABLE \"Grüße\" (\"Straße\" VARCHAR(20))",
      "CREATE TABLE \"1ta\" (\"2col\" INTEGER)",
      "CREATE TABLE \"\xF0\x9F\x98\x80"
      "e\" (\"\xF0\x9F\x98\x80\" INTEGER)",
      "CREATE TABLE \"" + long_name + "\" (\"" + long_name + "\" INTEGER)",
      "CREATE TABLE p (id INTEGER NOT NULL PRIMARY KEY)",
      "CREATE TABLE q (id INTEGER NOT NULL PRIMARY KEY)",
      "CREATE TABLE link (pid INTEGER NOT NULL REFERENCES p (id), "
      "qid INTEGER NOT NULL REFERENCES q (id), PRIMARY KEY (pid, qid))",
      "CREATE INDEX link_qid ON link (qid)",
      "CREATE TABLE head (h1 INTEGER NOT NULL, h2 INTEGER NOT NULL, PRIMARY KEY (h1, h2))",
      "CREATE TABLE tail (t INTEGER NOT NULL PRIMARY KEY, h1 INTEGER, h2 INTEGER, "
      "FOREIGN KEY (h1, h2) REFERENCES head (h1, h2))",
  };
  if (sqlite) {
    sql.push_back(
        "CREATE TABLE types (a INTEGER, b NVARCHAR(160), c NUMERIC(10,2), d REAL, e BIGINT, "
        "f BOOLEAN, g CHAR(5), h TEXT, i BLOB, j DATE, k TIMESTAMP, l, m VARCHAR, n DOUBLE, "
        "o SMALLINT, p TINYINT, q TIME, r DATETIME, s FLOAT, t DECIMAL(40,5), u INT, "
        "v VARCHAR(10), w numeric, x CLOB, y VARBINARY(10), z MONEY, aa uuid, ab JSON, "
        "ac UNSIGNED BIG INT, ad INTEGER(8), ae NCHAR(3), af DECIMAL)");
  } else {
    sql.push_back(
        "CREATE TABLE types (a int4, b int2, c int8, d bool, e float4, f float8, g bpchar(5), "
        "h bytea, i uuid, j json, k timestamptz, l timestamp, m money, n varchar, "
        "o varchar(20), p text, q numeric(10,2), r numeric, s date, t time, u timetz, "
        "v interval, w jsonb, x inet, y serial, z char, aa \"char\", ab bit(3), ac varbit, "
        "ad xml, ae oid, af name, ag point, ah int4[], ai cidr, aj macaddr, ak smallserial, "
        "al bigserial, am tsvector, an real, ao double precision, ap numeric(40,5))");
    sql.push_back("CREATE SCHEMA other");
    sql.push_back("CREATE TABLE other.p (other_id INTEGER NOT NULL PRIMARY KEY, extra TEXT)");
    sql.push_back("CREATE TABLE other.only_other (o INTEGER REFERENCES other.p (other_id))");
  }
  return sql;
}

TEST_P(TxdRelationsOdbcTest, EdgeNamesAndEveryTypeGiveAValidDictionaryOfTheWholeCatalog) {
  const bool sqlite = backend() == OdbcBackend::kSqlite;
  // PostgreSQL keeps 63 bytes of a name.
  const std::string long_name(sqlite ? 120 : 63, 'n');
  ASSERT_TRUE(RunSql(
      {"DROP TABLE IF EXISTS tail", "DROP TABLE IF EXISTS head", "DROP TABLE IF EXISTS link"}));
  ASSERT_TRUE(
      platform::testing::RunSqlOn(Glo.ConnectString.str(), EdgeSchema(backend(), long_name)));
  std::vector<std::string> drop = {"DROP TABLE tail",
                                   "DROP TABLE head",
                                   "DROP TABLE link",
                                   "DROP TABLE p",
                                   "DROP TABLE q",
                                   "DROP TABLE types",
                                   "DROP TABLE \"a b\"",
                                   "DROP TABLE \"a-b\"",
                                   "DROP TABLE a_b",
                                   "DROP TABLE \"q'uote\"",
                                   "DROP TABLE \"{br}\"",
                                   "DROP TABLE \"<lt>\"",
                                   "DROP TABLE \"50%\"",
                                   "DROP TABLE \"Grüße\"",
                                   "DROP TABLE \"1ta\"",
                                   "DROP TABLE \"\xF0\x9F\x98\x80"
                                   "e\"",
                                   "DROP TABLE \"" + long_name + "\""};
  if (!sqlite) drop.push_back("DROP SCHEMA other CASCADE");

  const std::unique_ptr<CatalogSource> source = MakeQueryObjectCatalog();
  const std::string text = WriteWith(*source, "edge.txd");
  const testing::TxdDocument doc = testing::ReadTxd(text);
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;
  ExpectTheCatalogWhole(doc);

  auto file = [&](std::string_view name) -> const testing::TxdFile* {
    for (const testing::TxdFile& f : doc.files) {
      if (f.name == name) return &f;
    }
    return nullptr;
  };
  const testing::TxdFile* ab = file("a b");
  ASSERT_NE(ab, nullptr) << text;
  std::vector<std::string> labels;
  for (const testing::TxdField& f : ab->fields) labels.push_back(f.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"id", "x_y", "x_y1", "x_y2", "c", "c_GROUP", "c_DATE",
                                              "c_TIME", "c_DATE1", "_"}))
      << text;
  for (std::string_view name : {"{br}", "<lt>", "50%", "Grüße", "1ta", "q'uote"}) {
    EXPECT_NE(file(name), nullptr) << name << "\n" << text;
  }
  ASSERT_NE(file(long_name), nullptr) << text;
  EXPECT_EQ(file(long_name)->label, long_name);

  // The link table's relation on qid takes the index that starts with qid; the composite
  // foreign key gives one block per column pair, each on the primary key of head.
  std::map<std::string, std::string> link_keys;
  int tail_blocks = 0;
  for (const testing::TxdRelation& r : doc.relations) {
    if (r.file == "link") link_keys[r.file_to_related] = r.file_key;
    if (r.file == "tail") {
      ++tail_blocks;
      EXPECT_FALSE(r.related_key.empty()) << text;
    }
  }
  EXPECT_EQ(link_keys["LIN:qid,Q:id"], "LIN:link_qid") << text;
  EXPECT_EQ(tail_blocks, 2) << text;

  if (!sqlite) {
    // Two FILEs for the two tables named p, each with its own columns.
    int p_files = 0;
    for (const testing::TxdFile& f : doc.files) p_files += f.name == "p" ? 1 : 0;
    EXPECT_EQ(p_files, 2) << text;
  }
  ASSERT_TRUE(platform::testing::RunSqlOn(Glo.ConnectString.str(), drop));
}

TEST_P(TxdRelationsOdbcTest, TheSampleGivesAValidDictionaryOfTheWholeCatalog) {
  const std::unique_ptr<CatalogSource> source = MakeQueryObjectCatalog();
  const testing::TxdDocument doc = testing::ReadTxd(WriteWith(*source, "sample.txd"));
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;
  EXPECT_EQ(doc.files.size(), 12u);
  ExpectTheCatalogWhole(doc);
}

INSTANTIATE_TEST_SUITE_P(Drivers, TxdRelationsOdbcTest,
                         ::testing::ValuesIn(platform::testing::kOdbcBackends),
                         OdbcBackendParamName);

}  // namespace
}  // namespace catalog
