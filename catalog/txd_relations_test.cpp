#include "catalog/txd_relations.h"

#include <string>
#include <unordered_map>
#include <vector>

#include <gtest/gtest.h>

#include "catalog/catalog_queues.h"
#include "catalog/field_types.h"
#include "catalog/txd_test_support.h"
#include "catalog/txd_writer.h"
#include "platform/core/paths.h"
#include "platform/core/process.h"
#include "platform/files/file_test_support.h"

namespace catalog {
namespace {

using testing::Column;
using testing::ForeignKey;
using testing::Index;
using testing::MemoryCatalog;
using testing::PrimaryKey;
using testing::Table;

const std::string k28(28, ' ');
const std::string k30(30, ' ');
const std::string k32(32, ' ');
const std::string k34(34, ' ');

// The lines from "[RELATIONS]" on; empty when the file has no such line.
std::vector<std::string> RelationLines(const std::string& text) {
  std::vector<std::string> lines;
  const size_t start = text.find("\r\n[RELATIONS]\r\n");
  if (start == std::string::npos) return lines;
  for (size_t pos = start + 2; pos < text.size();) {
    const size_t end = text.find("\r\n", pos);
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

class TxdRelationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::TEST_SetProgramPath(dir_.File("pexolind"));
    FieldTypesQueue.Free();
    LoadCustomFieldTypes();
    options_.txd_filename = dir_.File("Clarion.txd");
    options_.no_relations = false;
  }
  void TearDown() override {
    platform::TEST_SetProgramPath("");
    FieldTypesQueue.Free();
    TablesQueue.Free();
  }

  // A table with one INTEGER column per name and one index per (index, column) pair.
  void AddTable(const std::string& name, const std::vector<std::string>& columns,
                const std::vector<std::pair<std::string, std::string>>& indexes = {}) {
    catalog_.tables.push_back(Table(name));
    for (const std::string& c : columns) catalog_.columns[name].push_back(Column(c, "INTEGER", 10));
    for (const auto& [index, column] : indexes) {
      catalog_.indexes[name].push_back(Index(index, column));
    }
  }
  // A foreign key row as both reading forms give it.
  void AddForeignKey(const std::string& pk_table, const std::string& pk_column,
                     const std::string& fk_table, const std::string& fk_column, int seq = 1) {
    catalog_.foreign_keys[pk_table].push_back(
        ForeignKey(pk_table, pk_column, fk_table, fk_column, seq));
    catalog_.foreign_keys_of[fk_table].push_back(
        ForeignKey(pk_table, pk_column, fk_table, fk_column, seq));
  }

  std::string Write() {
    catalog_.ReadTables(false, true, "");
    WriteTXD(options_, catalog_);
    return dir_.Read("Clarion.txd");
  }

  platform::files::TempDirForTest dir_;
  platform::ProcessRecorder opener_;
  MemoryCatalog catalog_;
  TxdOptions options_;
};

TEST_F(TxdRelationsTest, WorkedExampleFromSysrel) {
  AddTable("Orders", {"OrderID", "CustomerID"}, {{"CustomersOrders", "CustomerID"}});
  AddTable("Customers", {"CustomerID"}, {{"PrimaryKey", "CustomerID"}});
  catalog_.has_sysrel = true;
  catalog_.sysrel = {
      {"1", "0", "0", "CustomerID", "Orders", "CustomerID", "Customers", "CustomersOrders"}};
  const std::string text = Write();
  EXPECT_EQ(RelationLines(text),
            (std::vector<std::string>{
                "[RELATIONS]", "", "", k28 + "RELATION,MANY:ONE",
                "Orders" + std::string(23, ' ') + " FILE(ORD:CustomersOrders)",
                "Customers" + std::string(20, ' ') + " RELATED_FILE(CUS:PrimaryKey)",
                k30 + "FILE_TO_RELATED_KEY", k34 + "FIELD(ORD:CustomerID,CUS:CustomerID)",
                k30 + "END", k30 + "RELATED_FILE_TO_KEY",
                k32 + "FIELD(CUS:CustomerID,ORD:CustomerID)", k30 + "END", k28 + "END", ""}))
      << text;
  // Only the foreign keys were asked first; sysrel was read because they gave nothing.
  EXPECT_NE(std::find(catalog_.reads.begin(), catalog_.reads.end(), "sysrel"),
            catalog_.reads.end());
}

TEST_F(TxdRelationsTest, ForeignKeysAreWrittenWithTheForeignKeyTableAsTheManySide) {
  AddTable("Customers", {"Id"}, {{"PK_Customers", "Id"}});
  AddTable("Orders", {"Id", "CustomerId", "ShipperId"},
           {{"PK_Orders", "Id"}, {"ix_customer", "CustomerId"}});
  AddTable("Shippers", {"Id"}, {{"PK_Shippers", "Id"}});
  AddForeignKey("Customers", "Id", "Orders", "CustomerId");
  AddForeignKey("Shippers", "Id", "Orders", "ShipperId");
  const std::string text = Write();
  const testing::TxdDocument doc = testing::ReadTxd(text);
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;
  ASSERT_EQ(doc.relations.size(), 2u) << text;
  // Customers comes first in TablesQueue, so its relation is the first block.
  EXPECT_EQ(doc.relations[0].file, "Orders");
  EXPECT_EQ(doc.relations[0].file_key, "ORD:ix_customer");
  EXPECT_EQ(doc.relations[0].related, "Customers");
  EXPECT_EQ(doc.relations[0].related_key, "CUS:PK_Customers");
  EXPECT_EQ(doc.relations[0].file_to_related, "ORD:CustomerId,CUS:Id");
  EXPECT_EQ(doc.relations[0].related_to_file, "CUS:Id,ORD:CustomerId");
  // No index over ShipperId: the first file has no key.
  EXPECT_EQ(doc.relations[1].file, "Orders");
  EXPECT_EQ(doc.relations[1].file_key, "");
  EXPECT_EQ(doc.relations[1].related, "Shippers");
  EXPECT_EQ(doc.relations[1].related_key, "SHI:PK_Shippers");
  // The section ends with the empty line of the last block.
  EXPECT_TRUE(text.ends_with(k28 + "END\r\n\r\n"));
}

TEST_F(TxdRelationsTest, AnIndexNamedLikeTheRelationshipIsTheFirstFilesKey) {
  // "FK_" + primary-key table + foreign-key table, compared as labels: the index "FK Cus Ord"
  // has the label FK_Cus_Ord... so a relationship name with a blank finds its index.
  AddTable("Cus", {"Id"}, {{"PK", "Id"}});
  AddTable("Ord", {"Id", "CusId"}, {{"ix_first", "CusId"}, {"FK_CusOrd", "CusId"}});
  AddForeignKey("Cus", "Id", "Ord", "CusId");
  const testing::TxdDocument doc = testing::ReadTxd(Write());
  ASSERT_EQ(doc.relations.size(), 1u);
  EXPECT_EQ(doc.relations[0].file_key, "ORD:FK_CusOrd");
}

// On a link table whose primary key starts with the other column, each relation takes the key
// that starts with its own column; the first index holding the column serves only when
// no key starts with it.
TEST_F(TxdRelationsTest, EachSideTakesAKeyThatStartsWithTheLinkingColumn) {
  AddTable("P", {"id"}, {{"pk_p", "id"}});
  AddTable("Q", {"id", "code"}, {{"by_code_id", "code"}, {"by_code_id", "id"}, {"pk_q", "id"}});
  AddTable("Link", {"pid", "qid"},
           {{"pk_link", "pid"}, {"pk_link", "qid"}, {"by_qid", "qid"}, {"FK_QLink", "pid"}});
  AddForeignKey("P", "id", "Link", "pid");
  AddForeignKey("Q", "id", "Link", "qid");
  const std::string text = Write();
  const testing::TxdDocument doc = testing::ReadTxd(text);
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;
  ASSERT_EQ(doc.relations.size(), 2u) << text;
  EXPECT_EQ(doc.relations[0].file_key, "LIN:pk_link");
  EXPECT_EQ(doc.relations[0].related_key, "P:pk_p");
  // FK_QLink is named like the relationship but starts with pid.
  EXPECT_EQ(doc.relations[1].file_key, "LIN:by_qid");
  EXPECT_EQ(doc.relations[1].related_key, "Q:pk_q");
}

TEST_F(TxdRelationsTest, NamesWithBlanksFindTheirKeysAsLabels) {
  AddTable("Order Lines", {"Line No", "Order ID"}, {{"ix order", "Order ID"}});
  AddTable("All Orders", {"Order ID"}, {{"pk orders", "Order ID"}});
  AddForeignKey("All Orders", "Order ID", "Order Lines", "Order ID");
  const std::string text = Write();
  const testing::TxdDocument doc = testing::ReadTxd(text);
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;
  ASSERT_EQ(doc.relations.size(), 1u) << text;
  EXPECT_EQ(doc.relations[0].file, "Order_Lines");
  EXPECT_EQ(doc.relations[0].file_key, "ORD:ix_order");
  EXPECT_EQ(doc.relations[0].related, "All_Orders");
  EXPECT_EQ(doc.relations[0].related_key, "ALL:pk_orders");
  EXPECT_EQ(doc.relations[0].related_to_file, "ALL:Order_ID,ORD:Order_ID");
}

TEST_F(TxdRelationsTest, RelatedSideWithoutAnIndexWritesNoKeyAndOnlyTheSecondPart) {
  AddTable("Parent", {"Code"});
  AddTable("Child", {"ParentCode"});
  AddForeignKey("Parent", "Code", "Child", "ParentCode");
  const std::vector<std::string> lines = RelationLines(Write());
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                "[RELATIONS]", "", "", k28 + "RELATION,MANY:ONE",
                "Child" + std::string(24, ' ') + " FILE()",
                "Parent" + std::string(23, ' ') + " RELATED_FILE()", k30 + "RELATED_FILE_TO_KEY",
                k32 + "FIELD(PAR:Code,CHI:ParentCode)", k30 + "END", k28 + "END", ""}));
}

TEST_F(TxdRelationsTest, DuplicatesSelfRelationsAndTablesWithoutAFileAreLeftOut) {
  AddTable("Emp", {"Id", "Boss"}, {{"pk", "Id"}});
  AddTable("Dept", {"Id", "Head"}, {{"pk", "Id"}});
  catalog_.tables.push_back(Table("Emp"));  // the same table listed twice
  catalog_.tables.push_back(Table("sys_log", "SYSTEM TABLE"));
  AddForeignKey("Emp", "Id", "Emp", "Boss");     // to itself
  AddForeignKey("Emp", "Id", "Dept", "Head");    // reported twice, through both Emp rows
  AddForeignKey("Emp", "Id", "sys_log", "Who");  // from a table without a FILE
  AddForeignKey("Emp", "Id", "Elsewhere", "Who");
  const testing::TxdDocument doc = testing::ReadTxd(Write());
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;
  ASSERT_EQ(doc.relations.size(), 1u);
  EXPECT_EQ(doc.relations[0].file, "Dept");
  EXPECT_EQ(doc.relations[0].related, "Emp");
}

TEST_F(TxdRelationsTest, RelationsOnlyToTablesWithoutAFileGiveNoSection) {
  AddTable("Orders", {"CustomerId"});
  AddForeignKey("Customers", "Id", "Orders", "CustomerId");  // Customers is not in the source
  catalog_.foreign_keys["Orders"] = {ForeignKey("Orders", "Id", "Archive", "OrderId")};
  const std::string text = Write();
  EXPECT_EQ(text.find("[RELATIONS]"), std::string::npos) << text;
}

TEST_F(TxdRelationsTest, ACompositeForeignKeyGivesOneBlockPerColumnPair) {
  AddTable("Lines", {"OrderId", "LineNo"}, {{"pk_lines", "OrderId"}, {"pk_lines", "LineNo"}});
  AddTable("Shipments", {"Id", "OrderId", "LineNo"},
           {{"ix_line", "OrderId"}, {"ix_line", "LineNo"}});
  AddForeignKey("Lines", "OrderId", "Shipments", "OrderId", 1);
  AddForeignKey("Lines", "LineNo", "Shipments", "LineNo", 2);
  const testing::TxdDocument doc = testing::ReadTxd(Write());
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;
  ASSERT_EQ(doc.relations.size(), 2u);
  EXPECT_EQ(doc.relations[0].file_to_related, "SHI:OrderId,LIN:OrderId");
  EXPECT_EQ(doc.relations[1].file_to_related, "SHI:LineNo,LIN:LineNo");
  for (const testing::TxdRelation& r : doc.relations) {
    EXPECT_EQ(r.file_key, "SHI:ix_line");
    EXPECT_EQ(r.related_key, "LIN:pk_lines");
  }
}

TEST_F(TxdRelationsTest, AForeignKeyWithoutItsColumnsRefersToThePrimaryKey) {
  AddTable("Zone", {"A", "B"}, {{"pk_zone", "A"}, {"pk_zone", "B"}});
  catalog_.primary_keys["Zone"] = {PrimaryKey("A", "pk_zone"), PrimaryKey("B", "pk_zone")};
  catalog_.primary_keys["Zone"][0].ORDINALPOSITION = 1;
  catalog_.primary_keys["Zone"][1].ORDINALPOSITION = 2;
  AddTable("Spot", {"ZoneA", "ZoneB"});
  AddForeignKey("Zone", "", "Spot", "ZoneA", 1);
  AddForeignKey("Zone", "", "Spot", "ZoneB", 2);
  const testing::TxdDocument doc = testing::ReadTxd(Write());
  ASSERT_EQ(doc.relations.size(), 2u);
  EXPECT_EQ(doc.relations[0].related_to_file, "ZON:A,SPO:ZoneA");
  EXPECT_EQ(doc.relations[1].related_to_file, "ZON:B,SPO:ZoneB");
}

TEST_F(TxdRelationsTest, SysrelRowsAreWrittenAsListedUnderOneHeader) {
  AddTable("A", {"X"});
  AddTable("B", {"X"});
  AddTable("C", {"X"});
  catalog_.has_sysrel = true;
  catalog_.sysrel = {{"1", "0", "0", "X", "B", "X", "A", "AB"},
                     {"1", "0", "0", "X", "C", "X", "B", "BC"},
                     {"1", "0", "0", "X", "C", "X", "A", "AC"}};
  const std::string text = Write();
  const testing::TxdDocument doc = testing::ReadTxd(text);
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;
  ASSERT_EQ(doc.relations.size(), 3u);
  EXPECT_EQ(doc.relations[0].file + doc.relations[0].related, "BA");
  EXPECT_EQ(doc.relations[1].file + doc.relations[1].related, "CB");
  EXPECT_EQ(doc.relations[2].file + doc.relations[2].related, "CA");
  EXPECT_EQ(text.find("[RELATIONS]"), text.rfind("[RELATIONS]"));

  catalog_.sysrel.clear();  // an empty sysrel table
  EXPECT_EQ(Write().find("[RELATIONS]"), std::string::npos);
}

TEST_F(TxdRelationsTest, LongLabelsAreFollowedDirectlyByTheirWord) {
  const std::string long29(29, 'p');
  const std::string long30 = "q" + std::string(29, 'r');
  const std::string long28 = "s" + std::string(27, 't');
  AddTable(long29, {"Id"});
  AddTable(long30, {"Ref"});
  AddTable(long28, {"Ref"});
  AddForeignKey(long29, "Id", long30, "Ref");
  AddForeignKey(long29, "Id", long28, "Ref");
  const std::vector<std::string> lines = RelationLines(Write());
  ASSERT_GE(lines.size(), 14u);
  EXPECT_EQ(lines[4], long30 + " FILE()");
  EXPECT_EQ(lines[5], long29 + " RELATED_FILE()");
  EXPECT_EQ(lines[12], long28 + "  FILE()");  // padded to 29, then the blank of " FILE("
}

TEST_F(TxdRelationsTest, TheLongestTableNamesFindTheirPrefixes) {
  // 99 bytes, the most a table name holds; its label is as long.
  const std::string parent = "p" + std::string(97, 'a') + "z";
  const std::string child = "c" + std::string(97, 'b') + "y";
  AddTable(parent, {"Id"}, {{"pk", "Id"}});
  AddTable(child, {"ParentId"});
  AddForeignKey(parent, "Id", child, "ParentId");
  const testing::TxdDocument doc = testing::ReadTxd(Write());
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;
  ASSERT_EQ(doc.relations.size(), 1u);
  EXPECT_EQ(doc.relations[0].file, child);
  EXPECT_EQ(doc.relations[0].related, parent);
  EXPECT_EQ(doc.relations[0].related_key, "PAA:pk");
}

TEST_F(TxdRelationsTest, OracleRulesUseTheFilesLabelsAndKeyNames) {
  options_.driver = "ORACLE";
  AddTable("customer_accounts_with_a_long_name_x", {"id"},
           {{"pk_customer_accounts_with_a_long_index_name", "id"}});
  AddTable("orders", {"account_id"});
  AddForeignKey("customer_accounts_with_a_long_name_x", "id", "orders", "account_id");
  const std::string text = Write();
  const testing::TxdDocument doc = testing::ReadTxd(text);
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;
  ASSERT_EQ(doc.relations.size(), 1u) << text;
  EXPECT_EQ(doc.relations[0].related, "CUSTOMER_ACCOUNTS_WITH_A_LONG_");
  // The key as its KEY line names it.
  EXPECT_EQ(doc.relations[0].related_key, "CUS:PK_CUSTOMER_ACCOUNTS_WITH_A_LO");
  EXPECT_NE(text.find("\r\nPK_CUSTOMER_ACCOUNTS_WITH_A_LO KEY("), std::string::npos) << text;
  EXPECT_EQ(doc.relations[0].related_to_file, "CUS:ID,ORD:ACCOUNT_ID");
}

TEST_F(TxdRelationsTest, BothReadingFormsGiveTheSameFile) {
  // Rows of the foreign-key form in the order a source lists each table's keys; the
  // primary-key form lists them per referred table, walking the tables in catalog order.
  AddTable("A", {"Id"}, {{"pk_a", "Id"}});
  AddTable("B", {"Id", "A1", "A2"}, {{"pk_b", "Id"}});
  AddTable("C", {"Id", "A", "B"}, {{"pk_c", "Id"}});
  AddForeignKey("A", "Id", "B", "A2");
  AddForeignKey("A", "Id", "B", "A1");
  AddForeignKey("B", "Id", "C", "B");
  AddForeignKey("A", "Id", "C", "A");
  // An unknown referred table in the other case of a dictionary table is matched.
  catalog_.foreign_keys_of["C"].push_back(ForeignKey("b", "Id", "C", "Id"));
  catalog_.foreign_keys["B"].push_back(ForeignKey("b", "Id", "C", "Id"));
  const std::string by_primary = Write();
  catalog_.scans_catalog = true;
  catalog_.reads.clear();
  EXPECT_EQ(Write(), by_primary);
  for (const std::string& read : catalog_.reads) {
    EXPECT_FALSE(read.starts_with("foreignkeys:")) << read;
  }
}

TEST(TakePrefix, CountersGiveThePrefixesOfTheSearchFromOne) {
  platform::Queue<PrefixQueueRecord> plain;
  platform::Queue<PrefixQueueRecord> counted;
  std::unordered_map<std::string, int> counters;
  const std::vector<std::string> labels = {"Orders", "ORDINAL", "ord",  "Ord1x", "ab", "AB1",
                                           "ab",     "Orders",  "ORD2", "ab1",   "x",  "ORD"};
  for (int round = 0; round < 30; ++round) {
    for (const std::string& label : labels) {
      SCOPED_TRACE(label);
      ASSERT_EQ(TakePrefix(counted, label, counters), TakePrefix(plain, label));
    }
  }
}

}  // namespace
}  // namespace catalog
