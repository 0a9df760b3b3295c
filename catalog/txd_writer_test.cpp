#include "catalog/txd_writer.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "catalog/catalog_queues.h"
#include "catalog/field_types.h"
#include "catalog/globals.h"
#include "catalog/txd_test_support.h"
#include "platform/core/paths.h"
#include "platform/core/process.h"
#include "platform/files/file_test_support.h"
#include "platform/testing/dialog_script.h"

namespace catalog {
namespace {

using platform::files::FileSizeLimitForTest;
using platform::files::TempDirForTest;
using platform::testing::DialogScript;
using testing::Column;
using testing::CrLf;
using testing::Index;
using testing::MemoryCatalog;
using testing::PrimaryKey;
using testing::Table;

const std::vector<std::string> kHeader = {"  [DICTIONARY]",
                                          "VERSION '1.0'",
                                          "CREATED '26 SEP 2002' '10:31:14AM'",
                                          "MODIFIED '26 SEP 2002' '11:33:17AM'",
                                          "",
                                          "[FILES]"};

// The global-variables file around its two connect-string lines.
std::vector<std::string> Globals(const std::string& connectstring_line,
                                 const std::string& initial_line) {
  return {
      "GlobalVariables        FILE,DRIVER('TOPSPEED'),PRE(GLO),CREATE,THREAD",
      "!!> IDENT(1),USAGE(Global)",
      "Record                   RECORD",
      "[SCREENCONTROLS]",
      "! PROMPT('Connectstring:'),USE(?GLO:Connectstring:Prompt)",
      "! ENTRY(@s100),USE(GLO:Connectstring)",
      "[REPORTCONTROLS]",
      "! STRING(@s100),USE(GLO:Connectstring)",
      connectstring_line,
      initial_line,
      "[SCREENCONTROLS]",
      "! PROMPT('Driver Options:'),USE(?GLO:DriverOptions:Prompt)",
      "! TEXT,USE(GLO:DriverOptions)",
      "[REPORTCONTROLS]",
      "! TEXT,USE(GLO:DriverOptions)",
      "DriverOptions              CSTRING(256)",
      "!!> IDENT(3),PROMPT('Driver Options:'),HEADER('Driver Options'),PICTURE(@s255)",
      "[SCREENCONTROLS]",
      "! PROMPT('Username:'),USE(?GLO:Username:Prompt)",
      "! ENTRY(@s80),USE(GLO:Username)",
      "[REPORTCONTROLS]",
      "! STRING(@s80),USE(GLO:Username)",
      "Username                   CSTRING(81)",
      "!!> IDENT(4),PROMPT('Username:'),HEADER('Username'),PICTURE(@s80)",
      "[SCREENCONTROLS]",
      "! PROMPT('Owner:'),USE(?GLO:Owner:Prompt)",
      "! ENTRY(@s80),USE(GLO:Owner)",
      "[REPORTCONTROLS]",
      "! STRING(@s80),USE(GLO:Owner)",
      "Owner                      CSTRING(81)",
      "!!> IDENT(5),PROMPT('Owner:'),HEADER('Owner'),PICTURE(@s80)",
      "                         END",
      "                       END",
  };
}

const std::string kConnect = "DSN=Sample;UID=sa";
std::vector<std::string> SampleGlobals() {
  return Globals("Connectstring              STRING('DSN=Sample;UID=sa{83}')",
                 "!!> IDENT(2),INITIAL('DSN=Sample;UID=sa'),PROMPT('Connectstring:'),"
                 "HEADER('Connectstring'),PICTURE(@s100)");
}

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// The lines of the written file from "[FILES]" on, without the header and globals.
std::vector<std::string> TableLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find("\r\n", pos);
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  const size_t skip = kHeader.size() + SampleGlobals().size();
  if (lines.size() < skip) return {};
  return std::vector<std::string>(lines.begin() + static_cast<long>(skip), lines.end());
}

class TxdWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::TEST_SetProgramPath(dir_.File("pexolind"));
    FieldTypesQueue.Free();
    LoadCustomFieldTypes();  // creates the empty field-types file
    TablesQueue.Free();
    options_.txd_filename = dir_.File("Clarion.txd");
    options_.connect_string = kConnect;
  }
  void TearDown() override {
    platform::TEST_SetProgramPath("");
    FieldTypesQueue.Free();
    TablesQueue.Free();
  }

  // Fills TablesQueue as the dictionary window does before it writes, then writes.
  std::string Write() {
    catalog_.ReadTables(false, true, "");
    WriteTXD(options_, catalog_);
    return dir_.Read("Clarion.txd");
  }

  TempDirForTest dir_;
  platform::ProcessRecorder opener_;
  MemoryCatalog catalog_;
  TxdOptions options_;
};

TEST_F(TxdWriterTest, WorkedExampleCustomers) {
  catalog_.tables = {Table("Customers")};
  catalog_.columns["Customers"] = {Column("CustomerID", "INTEGER", 10, 0),
                                   Column("Name", "VARCHAR", 50, 0)};
  catalog_.primary_keys["Customers"] = {PrimaryKey("CustomerID", "PK_Customers")};
  IndexesQueueRecord statistics = Index("", "", true, false, /*type=*/0);
  catalog_.indexes["Customers"] = {statistics, Index("PK_Customers", "CustomerID")};

  const std::string text = Write();
  EXPECT_EQ(text, CrLf(Concat({kHeader,
                               SampleGlobals(),
                               {
                                   "Customers FILE,DRIVER('ODBC',Glo:Driveroptions),OWNER(Glo:"
                                   "ConnectString),NAME('Customers'),PRE(Cus),BINDABLE,THREAD",
                                   "!!> IDENT(2),USAGE(File)",
                                   "PK_Customers KEY(+Cus:CustomerID),NOCASE,OPT,PRIMARY",
                                   "!!> IDENT(1)",
                                   "Record RECORD",
                                   "CustomerID PDECIMAL(10),NAME('CustomerID')",
                                   "!!> IDENT(6),PROMPT('CustomerID:'),HEADER('CustomerID'),"
                                   "MESSAGE('CustomerID'),TOOLTIP('CustomerID')",
                                   "Name CSTRING(51),NAME('Name')",
                                   "!!> IDENT(7),PROMPT('Name:'),HEADER('Name'),MESSAGE('Name'),"
                                   "TOOLTIP('Name')",
                                   "    END",
                                   "  END",
                                   "",
                               }})));
  // The field-types table and file gained exactly the two built-in mappings used.
  EXPECT_EQ(dir_.Read("pexolind_fieldtypes.ini"),
            "INTEGER,10,0=PDECIMAL(10)\r\nVARCHAR,50,0=CSTRING(51)\r\n");
  EXPECT_EQ(FieldTypesQueue.Records(), 2u);
  // The row keeps the name as read and its label; the file is shown.
  EXPECT_EQ(TablesQueue.entry(1).ORGINALTABLENAME, "Customers");
  ASSERT_EQ(opener_.calls().size(), 1u);
  EXPECT_EQ(opener_.calls()[0].args, std::vector<std::string>{dir_.File("Clarion.txd")});
  EXPECT_FALSE(opener_.calls()[0].wait);
  EXPECT_EQ(dir_.Listing(), "Clarion.txd pexolind_fieldtypes.ini ");

  const testing::TxdDocument doc = testing::ReadTxd(text);
  EXPECT_TRUE(doc.errors.empty()) << doc.errors.front();
  ASSERT_EQ(doc.files.size(), 2u);
  EXPECT_EQ(doc.files[1].fields.size(), 2u);
}

// The test reader finds what makes a dictionary invalid: one line of a valid one changed.
TEST(ReadTxd, FindsTypesAndLabelsNoDictionaryHolds) {
  const std::vector<std::string> file = {
      "Customers FILE,DRIVER('ODBC',Glo:Driveroptions),OWNER(Glo:ConnectString),"
      "NAME('Customers'),PRE(Cus),BINDABLE,THREAD",
      "!!> IDENT(2),USAGE(File)",
      "PK KEY(+Cus:Id),NOCASE,OPT,PRIMARY",
      "!!> IDENT(1)",
      "Record RECORD",
      "Id LONG,NAME('Id')",
      "!!> IDENT(6)",
      "Name CSTRING(51),NAME('Name')",
      "!!> IDENT(7)",
      "    END",
      "  END",
      "",
  };
  struct Case {
    size_t line;  // in `file`
    std::string_view text;
    std::string_view fault;  // empty: none
  };
  const Case kCases[] = {
      {5, "Id PDECIMAL(31,31),NAME('Id')", ""},
      {5, "Id NVARCHAR(160),NAME('Id')", "no data type"},
      {5, "Id PDECIMAL(9,10),NAME('Id')", "more digits than size"},
      {5, "Id PDECIMAL(53,10),NAME('Id')", "more than 31 digits"},
      {5, "Id PDECIMAL(0),NAME('Id')", "more than 31 digits or none"},
      {5, "Id NUMERIC(10,2),NAME('Id')", "no data type"},
      {5, "Id CSTRING(1),NAME('Id')", "fitting size"},
      {5, "Id int4,NAME('Id')", "no data type"},
      {5, "Id LONG(4),NAME('Id')", "parameters on a plain type"},
      {5, "Name LONG,NAME('Id')", "used twice in the record"},
      {5, "1d LONG,NAME('Id')", "field label is no label"},
      {5, "{Id} LONG,NAME('Id')", "field label is no label"},
      {2, "P-K KEY(+Cus:Id),NOCASE,OPT,PRIMARY", "KEY label is no label"},
      {0,
       "Cust<1> FILE,DRIVER('ODBC',Glo:Driveroptions),OWNER(Glo:ConnectString),"
       "NAME('Customers'),PRE(Cus),BINDABLE,THREAD",
       "FILE label is no label"},
      {0,
       "Customers FILE,DRIVER('ODBC',Glo:Driveroptions),OWNER(Glo:ConnectString),"
       "NAME('Customers'),PRE(1ta),BINDABLE,THREAD",
       "prefix is no label"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    std::vector<std::string> lines = file;
    lines[c.line] = std::string(c.text);
    const testing::TxdDocument doc =
        testing::ReadTxd(CrLf(Concat({kHeader, SampleGlobals(), lines})));
    if (c.fault.empty()) {
      EXPECT_TRUE(doc.errors.empty()) << doc.errors.front();
    } else {
      ASSERT_EQ(doc.errors.size(), 1u);
      EXPECT_NE(doc.errors[0].find(c.fault), std::string::npos) << doc.errors[0];
    }
  }
  // A FILE label twice, in another case: labels match in any case.
  std::vector<std::string> twice = file;
  std::vector<std::string> second = file;
  second[0] =
      "CUSTOMERS FILE,DRIVER('ODBC',Glo:Driveroptions),OWNER(Glo:ConnectString),"
      "NAME('x'),PRE(Cus1),BINDABLE,THREAD";
  second[1] = "!!> IDENT(3),USAGE(File)";
  second[3] = "!!> IDENT(2)";
  second[6] = "!!> IDENT(8)";
  second[8] = "!!> IDENT(9)";
  const testing::TxdDocument doc =
      testing::ReadTxd(CrLf(Concat({kHeader, SampleGlobals(), twice, second})));
  ASSERT_EQ(doc.errors.size(), 1u);
  EXPECT_NE(doc.errors[0].find("FILE label used twice"), std::string::npos) << doc.errors[0];
}

TEST_F(TxdWriterTest, EmptyTablesQueueGivesHeaderAndGlobalsOnly) {
  EXPECT_EQ(Write(), CrLf(Concat({kHeader, SampleGlobals()})));
  EXPECT_EQ(opener_.calls().size(), 1u);
}

TEST_F(TxdWriterTest, RelationsAskedForFromASourceWithoutAnyAddNothing) {
  catalog_.tables = {Table("Orders")};
  catalog_.columns["Orders"] = {Column("Id", "", 0)};  // a column without a type name
  options_.no_relations = true;
  const std::string without = Write();
  options_.no_relations = false;
  EXPECT_EQ(Write(), without);
  EXPECT_NE(without.find("\r\nId CSTRING(4001),NAME('Id')\r\n"), std::string::npos) << without;
}

TEST_F(TxdWriterTest, ConnectStringLengthsSetTheCount) {
  struct Case {
    size_t length;
    std::string count;
  };
  const Case kCases[] = {{30, "70"}, {99, "1"}, {100, "0"}, {101, "-1"}, {120, "-20"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.length);
    std::string connect = "DSN=x;";
    for (size_t i = 0; connect.size() < c.length; ++i) connect += static_cast<char>('a' + i % 26);
    options_.connect_string = connect + "   ";  // trailing blanks do not count
    const std::string shown = connect.substr(0, 100);
    EXPECT_EQ(Write(), CrLf(Concat({kHeader, Globals("Connectstring              STRING('" + shown +
                                                         "{" + c.count + "}')",
                                                     "!!> IDENT(2),INITIAL('" + connect +
                                                         "'),PROMPT('Connectstring:'),HEADER('"
                                                         "Connectstring'),PICTURE(@s100)")})));
  }
}

TEST_F(TxdWriterTest, ConnectStringIsQuotedForTheDictionary) {
  options_.connect_string = "DRIVER={SQLite3};DATABASE=/tmp/O'Brien<1>.db";
  const std::string text = Write();
  EXPECT_NE(text.find("\r\nConnectstring              STRING('DRIVER={{SQLite3};DATABASE=/"
                      "tmp/O''Brien<<1>.db{56}')\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\r\n!!> IDENT(2),INITIAL('DRIVER={{SQLite3};DATABASE=/tmp/O''Brien<<1>"
                      ".db'),PROMPT("),
            std::string::npos);
}

TEST_F(TxdWriterTest, PrefixesAreMadeUnique) {
  catalog_.tables = {Table("Orders"), Table("ORDINAL"), Table("ordinary"), Table("ab"),
                     Table("Order Details")};
  const std::vector<std::string> lines = TableLines(Write());
  std::vector<std::string> file_lines;
  for (const std::string& l : lines) {
    if (l.find(" FILE,") != std::string::npos) file_lines.push_back(l);
  }
  const std::string mid = " FILE,DRIVER('ODBC',Glo:Driveroptions),OWNER(Glo:ConnectString),";
  EXPECT_EQ(file_lines, (std::vector<std::string>{
                            "Orders" + mid + "NAME('Orders'),PRE(Ord),BINDABLE,THREAD",
                            "ORDINAL" + mid + "NAME('ORDINAL'),PRE(ORD1),BINDABLE,THREAD",
                            "ordinary" + mid + "NAME('ordinary'),PRE(ord2),BINDABLE,THREAD",
                            "ab" + mid + "NAME('ab'),PRE(ab),BINDABLE,THREAD",
                            "Order_Details" + mid +
                                "NAME('Order Details'),PRE(Ord3),BINDABLE,"
                                "THREAD",
                        }));
  EXPECT_TRUE(testing::ReadTxd(dir_.Read("Clarion.txd")).errors.empty());
}

// Labels are valid and unique: per dictionary for FILEs, per record for fields (the date/time
// group's labels included). NAME keeps the real names; each FILE reads its own schema's table.
TEST_F(TxdWriterTest, LabelsAreValidAndUniqueAndEachTableIsReadInItsSchema) {
  TablesQueueRecord public_t = Table("t_1");
  public_t.OWNER = "public";
  TablesQueueRecord other_t = Table("t_1");
  other_t.OWNER = "other";
  const std::string long_name(120, 'n');
  catalog_.tables = {Table("a-b"),
                     Table("a_b"),
                     Table("A B"),
                     public_t,
                     other_t,
                     Table("   "),
                     Table("\xF0\x9F\x98\x80"
                           "x"),
                     Table("1ta"),
                     Table(long_name)};
  catalog_.columns["a-b"] = {Column("x-y", "INTEGER", 10), Column("x_y", "INTEGER", 10),
                             Column("c_DATE", "DATE", 10), Column("c", "TIMESTAMP", 23),
                             Column("{br", "INTEGER", 10)};
  catalog_.indexes["a-b"] = {Index("by x_y", "x_y")};
  catalog_.columns["public.t_1"] = {Column("p", "INTEGER", 10)};
  catalog_.columns["other.t_1"] = {Column("o", "INTEGER", 10)};
  catalog_.columns[long_name] = {Column("k", "INTEGER", 10)};
  const std::string text = Write();
  const testing::TxdDocument doc = testing::ReadTxd(text);
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;

  std::vector<std::string> labels, prefixes;
  for (size_t i = 1; i < doc.files.size(); ++i) {
    labels.push_back(doc.files[i].label);
    prefixes.push_back(doc.files[i].prefix);
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"a_b", "a_b1", "A_B2", "t_1", "t_11", "_", "_x",
                                              "_1ta", long_name}));
  EXPECT_EQ(prefixes, (std::vector<std::string>{"a_b", "a_b1", "A_B2", "t_1", "t_11", "_", "_x",
                                                "_1t", "nnn"}));
  EXPECT_NE(text.find(",NAME('A B'),"), std::string::npos);
  EXPECT_NE(text.find(",NAME('" + long_name + "'),"), std::string::npos);

  std::vector<std::string> fields;
  for (const testing::TxdField& f : doc.files[1].fields) fields.push_back(f.label);
  EXPECT_EQ(fields, (std::vector<std::string>{"x_y", "x_y1", "c_DATE", "c1", "c1_GROUP", "c1_DATE",
                                              "c1_TIME", "_br"}));
  EXPECT_EQ(doc.files[1].keys.at(0).line, "by_x_y KEY(+a_b:x_y1),NOCASE,OPT");
  EXPECT_NE(text.find("_br PDECIMAL(10),NAME('{{br')"), std::string::npos) << text;
  ASSERT_EQ(doc.files[4].fields.size(), 1u);
  EXPECT_EQ(doc.files[4].fields[0].label, "p");
  ASSERT_EQ(doc.files[5].fields.size(), 1u);
  EXPECT_EQ(doc.files[5].fields[0].label, "o");
  ASSERT_EQ(doc.files[9].fields.size(), 1u);
  EXPECT_NE(std::find(catalog_.reads.begin(), catalog_.reads.end(), "columns:other.t_1"),
            catalog_.reads.end());
}

TEST_F(TxdWriterTest, SystemTablesAreLeftOutUnlessAskedFor) {
  // A system table first, with a key, then a table whose label starts with the same three
  // letters: the prefix, file, key and field numbers show whether the system table took any.
  catalog_.tables = {Table("MSysObjects", "SYSTEM TABLE"), Table("msysnotes"), Table("Orders")};
  catalog_.columns["MSysObjects"] = {Column("Id", "INTEGER", 10)};
  catalog_.indexes["MSysObjects"] = {Index("ById", "Id")};
  catalog_.columns["msysnotes"] = {Column("Note", "VARCHAR", 20)};
  catalog_.columns["Orders"] = {Column("Id", "INTEGER", 10)};
  catalog_.indexes["Orders"] = {Index("ById", "Id")};
  const std::string mid = " FILE,DRIVER('ODBC',Glo:Driveroptions),OWNER(Glo:ConnectString),";
  const auto field = [](const std::string& label, int ident) {
    return "!!> IDENT(" + std::to_string(ident) + "),PROMPT('" + label + ":'),HEADER('" + label +
           "'),MESSAGE('" + label + "'),TOOLTIP('" + label + "')";
  };
  const std::vector<std::string> system_table = {
      "MSysObjects" + mid + "NAME('MSysObjects'),PRE(MSy),BINDABLE,THREAD",
      "!!> IDENT(2),USAGE(File)",
      "ById KEY(+MSy:Id),NOCASE,OPT",
      "!!> IDENT(1)",
      "Record RECORD",
      "Id PDECIMAL(10),NAME('Id')",
      field("Id", 6),
      "    END",
      "  END",
      "",
  };
  // The two other tables, numbered after `files` files, `keys` keys and `fields` fields.
  const auto others = [&](const std::string& notes_prefix, int files, int keys, int fields) {
    return std::vector<std::string>{
        "msysnotes" + mid + "NAME('msysnotes'),PRE(" + notes_prefix + "),BINDABLE,THREAD",
        "!!> IDENT(" + std::to_string(files + 1) + "),USAGE(File)",
        "Record RECORD",
        "Note CSTRING(21),NAME('Note')",
        field("Note", fields + 1),
        "    END",
        "  END",
        "",
        "Orders" + mid + "NAME('Orders'),PRE(Ord),BINDABLE,THREAD",
        "!!> IDENT(" + std::to_string(files + 2) + "),USAGE(File)",
        "ById KEY(+Ord:Id),NOCASE,OPT",
        "!!> IDENT(" + std::to_string(keys + 1) + ")",
        "Record RECORD",
        "Id PDECIMAL(10),NAME('Id')",
        field("Id", fields + 2),
        "    END",
        "  END",
        "",
    };
  };

  // Write() reads the tables without a filter of its own, as a source that reports them.
  options_.system_tables = false;
  std::string text = Write();
  EXPECT_EQ(text, CrLf(Concat({kHeader, SampleGlobals(), others("msy", 1, 0, 5)})));
  EXPECT_TRUE(testing::ReadTxd(text).errors.empty());
  // The skipped row still shows the rewritten names.
  EXPECT_EQ(TablesQueue.entry(1).ORGINALTABLENAME, "MSysObjects");
  EXPECT_EQ(TablesQueue.entry(1).TABLENAME, "MSysObjects");

  options_.system_tables = true;
  text = Write();
  EXPECT_EQ(text, CrLf(Concat({kHeader, SampleGlobals(), system_table, others("msy1", 2, 1, 6)})));
  EXPECT_TRUE(testing::ReadTxd(text).errors.empty());
}

TEST_F(TxdWriterTest, OracleRulesForTablesColumnsAndKeys) {
  const std::string forty = "customer_orders_of_the_northern_region_1";
  ASSERT_EQ(forty.size(), 40u);
  options_.driver = "ORACLE";
  catalog_.tables = {Table(forty)};
  catalog_.columns[forty] = {Column("date", "DATE", 7), Column("Amount", "NUMBER", 10, 2),
                             Column("Note", "VARCHAR2", 8000)};
  catalog_.indexes[forty] = {Index("ix_orders_by_date_of_the_northern_region", "date")};
  EXPECT_EQ(TableLines(Write()),
            (std::vector<std::string>{
                "CUSTOMER_ORDERS_OF_THE_NORTHER FILE,DRIVER('ORACLE',Glo:Driveroptions),OWNER("
                "Glo:ConnectString),NAME('customer_orders_of_the_northern_region_1'),PRE(CUS),"
                "BINDABLE,THREAD",
                "!!> IDENT(2),USAGE(File)",
                "IX_ORDERS_BY_DATE_OF_THE_NORTH KEY(+CUS:DATE_),NOCASE,OPT",
                "!!> IDENT(1)",
                "Record RECORD",
                "DATE_ DATE,NAME('date')",
                "!!> IDENT(6),PROMPT('DATE_:'),HEADER('DATE_'),MESSAGE('DATE_'),TOOLTIP('DATE_')",
                "AMOUNT PDECIMAL(10,2),NAME('Amount')",
                "!!> IDENT(7),PROMPT('AMOUNT:'),HEADER('AMOUNT'),MESSAGE('AMOUNT'),TOOLTIP("
                "'AMOUNT')",
                "NOTE CSTRING(4002),NAME('Note')",
                "!!> IDENT(8),PROMPT('NOTE:'),HEADER('NOTE'),MESSAGE('NOTE'),TOOLTIP('NOTE')",
                "    END",
                "  END",
                "",
            }));
  EXPECT_EQ(TablesQueue.entry(1).TABLENAME, "CUSTOMER_ORDERS_OF_THE_NORTHER");
  EXPECT_EQ(TablesQueue.entry(1).ORGINALTABLENAME.str(), forty);
}

TEST_F(TxdWriterTest, KeysFromIndexesAndThePrimaryKey) {
  catalog_.tables = {Table("Orders"), Table("Lines")};
  catalog_.columns["Orders"] = {Column("A", "INTEGER", 10), Column("B", "INTEGER", 10),
                                Column("Code", "INTEGER", 10)};
  catalog_.primary_keys["Orders"] = {PrimaryKey("A", "PK Orders")};
  catalog_.indexes["Orders"] = {
      Index("", "", true, false, /*type=*/0),  // the table's statistics
      Index("PK Orders", "A"),
      Index("ByAB", "A", true, true),
      Index("ByAB", "B", false, true),
      Index("Code", "Code"),  // named like its column: a real index
      Index("PrimaryKey", "B", true, true),
      Index("ByExpression", "B"),
      Index("ByExpression", "lower(Code)"),  // not a column: the whole index is left out
      Index("ByNothing", ""),
  };
  catalog_.columns["Lines"] = {Column("X", "INTEGER", 10)};
  catalog_.indexes["Lines"] = {Index("ByX", "X", /*ascending=*/false)};
  const std::vector<std::string> lines = TableLines(Write());
  ASSERT_GE(lines.size(), 12u);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 11),
            (std::vector<std::string>{
                "PK_Orders KEY(+Ord:A),NOCASE,OPT,PRIMARY",
                "!!> IDENT(1)",
                "ByAB KEY(+Ord:A,-Ord:B),NOCASE,OPT,DUP",
                "!!> IDENT(2)",
                "Code KEY(+Ord:Code),NOCASE,OPT",
                "!!> IDENT(3)",
                "PrimaryKey KEY(+Ord:B),NOCASE,OPT,DUP,PRIMARY",
                "!!> IDENT(4)",
                "Record RECORD",
            }));
  // Key numbers run on into the next table.
  const testing::TxdDocument doc = testing::ReadTxd(dir_.Read("Clarion.txd"));
  EXPECT_TRUE(doc.errors.empty());
  ASSERT_EQ(doc.files.size(), 3u);
  ASSERT_EQ(doc.files[2].keys.size(), 1u);
  EXPECT_EQ(doc.files[2].keys[0].line, "ByX KEY(-Lin:X),NOCASE,OPT");
  EXPECT_EQ(doc.files[2].keys[0].ident, 5);
  // The index queue keeps label-form names and the primary-key mark of the last table read.
  EXPECT_EQ(catalog_.reads, (std::vector<std::string>{
                                "tables", "columns:Orders", "primarykeys:Orders", "indexes:Orders",
                                "columns:Lines", "primarykeys:Lines", "indexes:Lines"}));
}

// A driver that names no primary key (the SQLite driver): the index over exactly the primary
// key's columns, in order, is the primary key; without one, a key is written for it.
TEST_F(TxdWriterTest, APrimaryKeyWithoutANameIsFoundByItsColumns) {
  catalog_.tables = {Table("Link"), Table("Bare")};
  catalog_.columns["Link"] = {Column("pid", "INTEGER", 10), Column("qid", "INTEGER", 10)};
  catalog_.primary_keys["Link"] = {PrimaryKey("qid", ""), PrimaryKey("pid", "")};
  catalog_.primary_keys["Link"][0].ORDINALPOSITION = 2;
  catalog_.primary_keys["Link"][1].ORDINALPOSITION = 1;
  catalog_.indexes["Link"] = {Index("by_q", "qid", true, true), Index("by_qp", "qid"),
                              Index("by_qp", "pid"), Index("auto_1", "pid"),
                              Index("auto_1", "qid")};
  catalog_.columns["Bare"] = {Column("c", "INTEGER", 10), Column("d", "INTEGER", 10)};
  catalog_.primary_keys["Bare"] = {PrimaryKey("c", "")};
  catalog_.indexes["Bare"] = {Index("by_d", "d", true, true)};
  const testing::TxdDocument doc = testing::ReadTxd(Write());
  for (const std::string& e : doc.errors) ADD_FAILURE() << e;
  ASSERT_EQ(doc.files.size(), 3u);
  std::vector<std::string> link, bare;
  for (const testing::TxdKey& k : doc.files[1].keys) link.push_back(k.line);
  for (const testing::TxdKey& k : doc.files[2].keys) bare.push_back(k.line);
  EXPECT_EQ(link, (std::vector<std::string>{"by_q KEY(+Lin:qid),NOCASE,OPT,DUP",
                                            "by_qp KEY(+Lin:qid,+Lin:pid),NOCASE,OPT",
                                            "auto_1 KEY(+Lin:pid,+Lin:qid),NOCASE,OPT,PRIMARY"}));
  EXPECT_EQ(bare, (std::vector<std::string>{"PrimaryKey KEY(+Bar:c),NOCASE,OPT,PRIMARY",
                                            "by_d KEY(+Bar:d),NOCASE,OPT,DUP"}));
}

TEST_F(TxdWriterTest, FieldsDateTimeGroupQuickCodesAndSkip) {
  options_.external_names = true;
  std::vector<ColumnsQueueRecord> columns = {
      Column("Order Date", "DATETIME", 23, 3), Column("Changed", "datetime", 23, 3),
      Column("Picture", "IMAGE", 100),         Column("Stamp", "TIMESTAMP", 8),
      Column("O'Brien", "VARCHAR", 20),
  };
  FieldTypesQueue.Free();
  AddCustomFieldType("TIMESTAMP", "SKIP", 8, 0);  // the user leaves these columns out
  catalog_.tables = {Table("Orders")};
  catalog_.columns["Orders"] = columns;
  EXPECT_EQ(TableLines(Write()),
            (std::vector<std::string>{
                "Orders FILE,DRIVER('ODBC',Glo:Driveroptions),OWNER(Glo:ConnectString),PRE(Ord),"
                "BINDABLE,THREAD",
                "!!> IDENT(2),USAGE(File)",
                "Record RECORD",
                "[QUICKCODE]",
                "!NOPOPULATE",
                "Order_Date STRING(8)",
                "!!> IDENT(6),PROMPT('Order_Date:'),HEADER('Order_Date'),MESSAGE('Order_Date'),"
                "TOOLTIP('Order_Date')",
                "Order_Date_GROUP                GROUP,OVER(Order_Date)",
                "!!> IDENT(7)",
                "Order_Date_DATE                 DATE",
                "!!> IDENT(8),PROMPT('Order Date DATE:'),HEADER('Order Date DATE'),PICTURE(@d17),"
                "JUSTIFY(RIGHT,1)",
                "Order_Date_TIME                 TIME",
                "!!> IDENT(9),PROMPT('Order Date TIME:'),HEADER('Order Date TIME'),PICTURE(@t7),"
                "JUSTIFY(RIGHT,1)",
                "  END",
                "!!> IDENT(10)",
                "Changed STRING(8)",
                "!!> IDENT(11),PROMPT('Changed:'),HEADER('Changed'),MESSAGE('Changed'),TOOLTIP("
                "'Changed')",
                "[QUICKCODE]",
                "!NOPOPULATE",
                "O_Brien CSTRING(21)",
                "!!> IDENT(12),PROMPT('O_Brien:'),HEADER('O_Brien'),MESSAGE('O_Brien'),TOOLTIP("
                "'O_Brien')",
                "    END",
                "  END",
                "",
            }));
}

TEST_F(TxdWriterTest, NamesAreQuotedAndTheDateGroupPromptsUseTheNameAsRead) {
  catalog_.tables = {Table("O'Brien's {Orders}")};
  catalog_.columns["O'Brien's {Orders}"] = {Column("Cust's <Date>", "TIMESTAMP", 23)};
  const std::vector<std::string> lines = TableLines(Write());
  ASSERT_GE(lines.size(), 13u);
  EXPECT_EQ(lines[0],
            "O_Brien_s__Orders_ FILE,DRIVER('ODBC',Glo:Driveroptions),OWNER(Glo:ConnectString),"
            "NAME('O''Brien''s {{Orders}'),PRE(O_B),BINDABLE,THREAD");
  EXPECT_EQ(lines[5], "Cust_s__Date_ STRING(8),NAME('Cust''s <<Date>')");
  EXPECT_EQ(lines[6],
            "!!> IDENT(6),PROMPT('Cust_s__Date_:'),HEADER('Cust_s__Date_'),MESSAGE('Cust_s__"
            "Date_'),TOOLTIP('Cust_s__Date_')");
  EXPECT_EQ(lines[10],
            "!!> IDENT(8),PROMPT('Cust''s <<Date> DATE:'),HEADER('Cust''s <<Date> DATE'),"
            "PICTURE(@d17),JUSTIFY(RIGHT,1)");
}

TEST_F(TxdWriterTest, LineBreaksInCatalogTextsStayInsideTheirLine) {
  options_.connect_string = "DSN=Sample;\r\nUID=sa";
  ColumnsQueueRecord column = Column("Order\nDate", "TIMESTAMP", 23);
  column.REMARKS = "first line\r\nsecond line";  // remarks are not written; nor may they break
  ColumnsQueueRecord odd_type = Column("Kind", "MY\nTYPE", 0);
  catalog_.tables = {Table("Two\r\nLines")};
  catalog_.columns["Two\r\nLines"] = {column, odd_type};
  catalog_.indexes["Two\r\nLines"] = {Index("by\ndate", "Order\nDate")};
  const std::string text = Write();
  // ReadTxd also reports a CR or LF inside a line.
  for (const std::string& e : testing::ReadTxd(text).errors) ADD_FAILURE() << e;
  EXPECT_EQ(text.find("second line"), std::string::npos);

  const std::vector<std::string> lines = TableLines(text);
  ASSERT_GE(lines.size(), 19u) << text;
  EXPECT_EQ(lines[0],
            "Two__Lines FILE,DRIVER('ODBC',Glo:Driveroptions),OWNER(Glo:ConnectString),"
            "NAME('Two<13><10>Lines'),PRE(Two),BINDABLE,THREAD");
  EXPECT_EQ(lines[2], "by_date KEY(+Two:Order_Date),NOCASE,OPT");
  EXPECT_EQ(lines[7], "Order_Date STRING(8),NAME('Order<10>Date')");
  EXPECT_EQ(lines[14],
            "!!> IDENT(9),PROMPT('Order<10>Date TIME:'),HEADER('Order<10>Date TIME'),"
            "PICTURE(@t7),JUSTIFY(RIGHT,1)");
  EXPECT_EQ(lines[17], "Kind CSTRING(4001),NAME('Kind')");
  // The texts keep the real name and connect string: the line breaks are character codes.
  EXPECT_NE(text.find("STRING('DSN=Sample;<13><10>UID=sa{81}')"), std::string::npos);
  EXPECT_NE(text.find("INITIAL('DSN=Sample;<13><10>UID=sa')"), std::string::npos);

  // The field-types file keeps one mapping a line as well.
  const std::string types = dir_.Read("pexolind_fieldtypes.ini");
  EXPECT_NE(types.find("MY TYPE,0,0=CSTRING(4001)\r\n"), std::string::npos) << types;
}

TEST_F(TxdWriterTest, TheColumnsPast150GetQuickCodes) {
  std::vector<ColumnsQueueRecord> columns;
  for (int i = 1; i <= 151; ++i) {
    std::string name = "C";
    name += std::to_string(i);
    columns.push_back(Column(name, "INTEGER", 10));
  }
  catalog_.tables = {Table("Wide")};
  catalog_.columns["Wide"] = columns;
  const std::vector<std::string> lines = TableLines(Write());
  // FILE, IDENT, Record, 150 fields of two lines, then the 151st with its quick codes.
  ASSERT_GE(lines.size(), 3u + 300u + 4u);
  EXPECT_EQ(lines[3 + 298], "C150 PDECIMAL(10),NAME('C150')");
  EXPECT_EQ(lines[3 + 300], "[QUICKCODE]");
  EXPECT_EQ(lines[3 + 301], "!NOPOPULATE");
  EXPECT_EQ(lines[3 + 302], "C151 PDECIMAL(10),NAME('C151')");
  EXPECT_EQ(lines[3 + 303].substr(0, 16), "!!> IDENT(156),P");
}

TEST_F(TxdWriterTest, ABareNameIsWrittenInTheCurrentDirectory) {
  const std::filesystem::path old = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  options_.txd_filename = "Bare.txd";
  catalog_.ReadTables(false, true, "");
  const std::string name = WriteTXD(options_, catalog_);
  std::filesystem::current_path(old);
  EXPECT_EQ(name, platform::JoinPath(dir_.path(), "Bare.txd"));
  EXPECT_EQ(dir_.Read("Bare.txd"), CrLf(Concat({kHeader, SampleGlobals()})));
  EXPECT_EQ(TxdOutputName("/data/x.txd"), "/data/x.txd");
  EXPECT_EQ(TxdOutputName(std::string(300, '/')).size(), 255u);
}

TEST_F(TxdWriterTest, TheWindowsRunTakesTheGlobalsAndWorksWithoutAConnection) {
  ASSERT_EQ(QueryObject, nullptr);
  Glo.TXDFilename = dir_.File("Window.txd");
  Glo.ConnectString = kConnect;
  TablesQueue.Free();
  WriteTXD();
  EXPECT_EQ(dir_.Read("Window.txd"), CrLf(Concat({kHeader, SampleGlobals()})));
  EXPECT_EQ(Glo.TXDFilename.str(), dir_.File("Window.txd"));
  Glo = GloGroup{};
}

// The header holds the connect string whole: with a password in it, the file is readable by
// its owner only. A replaced file keeps its own mode where that is stricter.
TEST_F(TxdWriterTest, AFileWithAPasswordIsWrittenForItsOwnerOnly) {
  const mode_t umask_now = ::umask(0);
  ::umask(umask_now);
  const mode_t new_file = 0666 & ~umask_now;
  struct Case {
    std::string_view name;
    std::string connect;
    int old_mode;  // -1: no old file
    mode_t mode;
  };
  const Case kCases[] = {
      {"no password, new file", "DSN=Sample;UID=sa", -1, new_file},
      {"no password, replaced file keeps its mode", "DSN=Sample;UID=sa", 0664, 0664},
      {"password, new file", "DSN=Sample;UID=sa;PWD=secret", -1, 0600},
      {"password in any case, with blanks", "DSN=Sample; uid=sa; Password = secret", -1, 0600},
      {"password, replaced 0644 file", "DSN=Sample;UID=sa;PWD=secret", 0644, 0600},
      {"password, replaced 0400 file stays 0400", "DSN=Sample;UID=sa;PWD=secret", 0400, 0400},
      {"password, replaced 0640 file", "DSN=Sample;UID=sa;PWD=secret", 0640, 0600},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(dir_.File("Clarion.txd"));
    if (c.old_mode >= 0) {
      dir_.Write("Clarion.txd", "old\r\n");
      ASSERT_EQ(::chmod(dir_.File("Clarion.txd").c_str(), static_cast<mode_t>(c.old_mode)), 0);
    }
    options_.connect_string = c.connect;
    const std::string written = Write();
    EXPECT_NE(written.find("INITIAL('" + c.connect + "')"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat(dir_.File("Clarion.txd").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.mode);
  }
}

TEST_F(TxdWriterTest, AFileThatCannotBeCreatedShowsAMessageAndIsNotShown) {
  options_.txd_filename = dir_.File("missing/Clarion.txd");
  DialogScript dialogs;
  dialogs.ExpectMessage("Couldn't write the TXD file!|Error:", platform::kButtonOk);
  catalog_.ReadTables(false, true, "");
  WriteTXD(options_, catalog_);
  ASSERT_EQ(dialogs.seen().size(), 1u);
  EXPECT_EQ(dialogs.seen()[0].text,
            "Couldn't write the TXD file!|Error:Path Not Found (No such file or directory)|File:" +
                dir_.File("missing/Clarion.txd"));
  EXPECT_TRUE(opener_.calls().empty());
}

TEST_F(TxdWriterTest, AFailedWriteKeepsTheOldFileAndShowsAMessage) {
  dir_.Write("Clarion.txd", "the old dictionary\r\n");
  catalog_.tables = {Table("Orders")};
  catalog_.columns["Orders"] = {Column("Id", "INTEGER", 10)};
  DialogScript dialogs;
  dialogs.ExpectMessage("Couldn't write the TXD file!|Error:", platform::kButtonOk);
  catalog_.ReadTables(false, true, "");
  {
    FileSizeLimitForTest full_disk(100);
    WriteTXD(options_, catalog_);
  }
  ASSERT_EQ(dialogs.seen().size(), 1u);
  EXPECT_EQ(dialogs.seen()[0].text,
            "Couldn't write the TXD file!|Error:File System Error (File too large)|File:" +
                dir_.File("Clarion.txd"));
  EXPECT_EQ(dir_.Read("Clarion.txd"), "the old dictionary\r\n");
  EXPECT_EQ(dir_.Listing(), "Clarion.txd pexolind_fieldtypes.ini ");
  EXPECT_TRUE(opener_.calls().empty());
}

}  // namespace
}  // namespace catalog
