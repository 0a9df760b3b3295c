#include "catalog/txd_writer_types.h"

#include <string>

#include <gtest/gtest.h>

#include "catalog/field_types.h"

namespace catalog {
namespace {

struct Stored {
  std::string_view type_name;  // empty: nothing stored before
  int32_t size = 0;
  int32_t digits = 0;
  std::string_view data_type;
};

struct Case {
  std::string_view type_name;
  int32_t size;
  int32_t digits;
  std::string_view result;  // "SKIP": the column is left out
  std::string_view row;     // the table's row for the mapping afterwards: "KEY,size,digits=type"
  bool oracle = false;
  Stored stored = {};
};

// Every built-in rule, the stored mappings with "*" and SKIP, and the keys handed on.
const Case kCases[] = {
    {"IMAGE", 16, 0, "SKIP", "IMAGE,0,0=SKIP"},
    {"bit", 1, 0, "BYTE", "BIT,0,0=BYTE"},
    {"SMALLINT", 5, 0, "SHORT", "SMALLINT,0,0=SHORT"},
    {"COUNTER", 10, 0, "LONG", "COUNTER,0,0=LONG"},
    {"NUMERIC", 10, 2, "PDECIMAL(10,2)", "NUMERIC,10,2=PDECIMAL(10,2)"},
    {"NUMERIC", 10, 0, "PDECIMAL(10)", "NUMERIC,10,0=PDECIMAL(10)"},
    {"NUMERIC", 5, 0, "LONG", "NUMERIC,5,0=LONG"},
    {"NUMERIC", 8, 0, "LONG", "NUMERIC,8,0=LONG"},
    {"NUMERIC", 9, 0, "PDECIMAL(9)", "NUMERIC,9,0=PDECIMAL(9)"},
    {"NUMERIC", 1, 0, "BYTE", "NUMERIC,1,0=BYTE"},
    {"TINYINT", 2, 0, "SHORT", "TINYINT,2,0=SHORT"},
    {"INT", 4, 0, "SHORT", "INT,4,0=SHORT"},
    {"INTEGER", 10, 0, "PDECIMAL(10)", "INTEGER,10,0=PDECIMAL(10)"},
    {"int identity", 10, 0, "PDECIMAL(10)", "INT IDENTITY,10,0=PDECIMAL(10)"},
    {"MONEY", 19, 4, "PDECIMAL(19,4)", "MONEY,19,4=PDECIMAL(19,4)"},
    // A floating type of no size that a decimal could hold is a REAL.
    {"REAL", 0, 0, "REAL", "REAL,0,0=REAL"},
    {"NUMBER", 10, 2, "PDECIMAL(10,2)", "NUMBER,10,2=PDECIMAL(10,2)"},
    // A decimal holds at most 31 digits.
    {"number", 38, 0, "PDECIMAL(31)", "NUMBER,38,0=PDECIMAL(31)"},
    {"IDENTITY", 10, 0, "PDECIMAL(10)", "IDENTITY,10,0=PDECIMAL(10)"},
    {"IDENTITY", 4, 0, "SHORT", "IDENTITY,4,0=SHORT"},
    {"DECIMAL", 18, 4, "PDECIMAL(18,4)", "DECIMAL,18,4=PDECIMAL(18,4)"},
    {"decimal", 3, 0, "SHORT", "DECIMAL,3,0=SHORT"},
    {"LONG", 6, 0, "LONG", "LONG,6,0=LONG"},
    {"LONG", 12, 0, "PDECIMAL(12)", "LONG,12,0=PDECIMAL(12)"},
    {"BYTE", 1, 0, "BYTE", "BYTE,1,0=BYTE"},
    {"BYTE", 3, 0, "SHORT", "BYTE,3,0=SHORT"},
    {"SHORT", 2, 0, "SHORT", "SHORT,2,0=SHORT"},
    {"SHORT", 5, 1, "PDECIMAL(5,1)", "SHORT,5,1=PDECIMAL(5,1)"},
    {"SREAL", 7, 0, "LONG", "SREAL,7,0=LONG"},
    {"Sreal", 24, 0, "PDECIMAL(24)", "SREAL,24,0=PDECIMAL(24)"},
    {"CURRENCY", 19, 0, "PDECIMAL(19,0)", "CURRENCY,19,0=PDECIMAL(19,0)"},
    {"CHAR", 12, 0, "STRING(12)", "CHAR,12,0=STRING(12)"},
    {"nchar", 3, 0, "STRING(3)", "NCHAR,3,0=STRING(3)"},
    {"CHARACTER", 10, 0, "STRING(10)", "CHARACTER,10,0=STRING(10)"},
    {"STRING", 20, 0, "STRING(20)", "STRING,20,0=STRING(20)"},
    {"varchar", 50, 0, "CSTRING(51)", "VARCHAR,50,0=CSTRING(51)"},
    {"CHARACTER VARYING", 20, 0, "CSTRING(21)", "CHARACTER VARYING,20,0=CSTRING(21)"},
    {"VARCHAR2", 8000, 0, "CSTRING(8001)", "VARCHAR2,8000,0=CSTRING(8001)"},
    {"VARCHAR2", 8000, 0, "CSTRING(4002)", "VARCHAR2,4001,0=CSTRING(4002)", /*oracle=*/true},
    {"VARCHAR2", 4001, 0, "CSTRING(4002)", "VARCHAR2,4001,0=CSTRING(4002)", /*oracle=*/true},
    {"NVARCHAR", 40, 0, "CSTRING(41)", "NVARCHAR,40,0=CSTRING(41)"},
    {"nvarchar", 9000, 0, "CSTRING(4002)", "NVARCHAR,4001,0=CSTRING(4002)", /*oracle=*/true},
    {"CSTRING", 80, 0, "CSTRING(81)", "CSTRING,80,0=CSTRING(81)"},
    {"CSTRING", 5000, 0, "CSTRING(4002)", "CSTRING,4001,0=CSTRING(4002)", /*oracle=*/true},
    {"CHARACTER VARYING", 4002, 0, "CSTRING(4002)", "CHARACTER VARYING,4001,0=CSTRING(4002)",
     /*oracle=*/true},
    {"text", 65535, 0, "CSTRING(4001)", "TEXT,4000,0=CSTRING(4001)"},
    {"LONGBINARY", 0, 0, "CSTRING(4001)", "LONGBINARY,4000,0=CSTRING(4001)"},
    {"NTEXT", 1073741823, 0, "CSTRING(4001)", "NTEXT,4000,0=CSTRING(4001)"},
    {"LongChar", 100, 0, "CSTRING(4001)", "LONGCHAR,4000,0=CSTRING(4001)"},
    // Only the text types are capped under the Oracle rules.
    {"CHAR", 5000, 0, "STRING(5000)", "CHAR,5000,0=STRING(5000)", /*oracle=*/true},
    {"DOUBLE", 15, 0, "REAL", "DOUBLE,15,0=REAL"},
    {"float", 53, 0, "REAL", "FLOAT,53,0=REAL"},
    {"DATE", 10, 0, "DATE", "DATE,10,0=DATE"},
    {"HUGE DATE", 10, 0, "DATE", "HUGE DATE,10,0=DATE"},
    {"TIME", 8, 0, "TIME", "TIME,8,0=TIME"},
    {"TIMESTAMP", 23, 3, "STRING(8)", "TIMESTAMP,23,3=STRING(8)"},
    {"datetime", 23, 3, "STRING(8)", "DATETIME,23,3=STRING(8)"},
    // A name no rule knows, of no known type code, is read as a text.
    {"uuid", 36, 0, "CSTRING(37)", "UUID,36,0=CSTRING(37)"},
    {"NUMERIC(10,2)", 10, 2, "PDECIMAL(10,2)", "NUMERIC(10,2),10,2=PDECIMAL(10,2)"},
    // A column without a type name becomes a text of its size (or a long text).
    {"", 30, 0, "CSTRING(31)", ",30,0=CSTRING(31)"},
    {"", 0, 0, "CSTRING(4001)", ",0,0=CSTRING(4001)"},
    // Stored mappings: "*" is the size, then the digits; cut to 20 bytes.
    {"NUMERIC",
     12,
     3,
     "PDECIMAL(12,3)",
     "NUMERIC,12,3=PDECIMAL(*,*)",
     false,
     {"NUMERIC", 12, 3, "PDECIMAL(*,*)"}},
    {"NUMERIC",
     12,
     3,
     "PDECIMAL(12)",
     "NUMERIC,12,3=PDECIMAL(*)",
     false,
     {"NUMERIC", 12, 3, "PDECIMAL(*)"}},
    {"VARCHAR",
     50,
     0,
     "STRING(50)",
     "VARCHAR,50,0=STRING(*)",
     false,
     {"VARCHAR", 50, 0, "STRING(*)"}},
    {"XML",
     10,
     0,
     "A_VERY_LONG_DATA_TYP",
     "XML,10,0=A_VERY_LONG_DATA_TYPE_NAME",
     false,
     {"XML", 10, 0, "A_VERY_LONG_DATA_TYPE_NAME"}},
    {"VARCHAR", 50, 0, "SKIP", "VARCHAR,50,0=skip", false, {"VARCHAR", 50, 0, "skip"}},
    // A rule that hands on another key finds the user's mapping under that key: IMAGE under
    // size and digits 0, TEXT under 4000 where "*" then stands for 4000.
    {"IMAGE", 16, 0, "STRING(20)", "IMAGE,0,0=STRING(20)", false, {"IMAGE", 0, 0, "STRING(20)"}},
    // Those four rules change only the key, not the size: "*" in the user's mapping stored
    // under size and digits 0 stands for the column's size (and digits) as read.
    {"BIT", 1, 0, "STRING(1)", "BIT,0,0=STRING(*)", false, {"BIT", 0, 0, "STRING(*)"}},
    {"SMALLINT",
     5,
     0,
     "PDECIMAL(5)",
     "SMALLINT,0,0=PDECIMAL(*)",
     false,
     {"SMALLINT", 0, 0, "PDECIMAL(*)"}},
    {"counter",
     10,
     0,
     "PDECIMAL(10,0)",
     "COUNTER,0,0=PDECIMAL(*,*)",
     false,
     {"COUNTER", 0, 0, "PDECIMAL(*,*)"}},
    {"IMAGE", 2048, 0, "STRING(2048)", "IMAGE,0,0=STRING(*)", false, {"IMAGE", 0, 0, "STRING(*)"}},
    {"SMALLINT",
     5,
     2,
     "PDECIMAL(5,2)",
     "SMALLINT,0,0=PDECIMAL(*,*)",
     false,
     {"SMALLINT", 0, 0, "PDECIMAL(*,*)"}},
    {"TEXT",
     65535,
     0,
     "CSTRING(4000)",
     "TEXT,4000,0=CSTRING(*)",
     false,
     {"TEXT", 4000, 0, "CSTRING(*)"}},
};

// The data type for `type` on an empty table (after storing `stored`, when it names a type),
// and the table's one row afterwards.
struct Mapped {
  std::string result;
  std::string row;
};
Mapped MapOnce(const SqlColumnType& type, bool oracle, const Stored& stored = {}) {
  FieldTypesQueue.Free();
  TEST_ForgetFieldTypesLoad();  // the table only: no file is written
  if (!stored.type_name.empty()) {
    AddCustomFieldType(stored.type_name, stored.data_type, stored.size, stored.digits);
  }
  Mapped m;
  m.result = ColumnDataType(type, oracle).value_or("SKIP");
  m.row = FieldTypesQueue.Records() == 1 ? FieldTypeFileLine(FieldTypesQueue.entry(1))
                                         : "rows: " + std::to_string(FieldTypesQueue.Records());
  FieldTypesQueue.Free();
  return m;
}

TEST(ColumnDataType, BuiltInRulesAndStoredMappings) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.type_name) + "," + std::to_string(c.size) + "," +
                 std::to_string(c.digits) + (c.oracle ? " oracle" : ""));
    const Mapped m = MapOnce({c.type_name, /*sql_type=*/0, c.size, c.digits}, c.oracle, c.stored);
    EXPECT_EQ(m.result, c.result);
    EXPECT_EQ(m.row, c.row);
  }
}

struct DriverCase {
  std::string_view type_name;
  int32_t sql_type;
  int32_t size;
  int32_t digits;
  std::string_view result;
  std::string_view row;
};

// The columns as the two drivers report them (type name, ODBC type code, size, digits).
const DriverCase kDriverCases[] = {
    // SQLite: the declared name with its parameters, and 10 digits on every column.
    {"INTEGER", 4, 9, 10, "PDECIMAL(9)", "INTEGER,9,10=PDECIMAL(9)"},
    {"INT", 4, 9, 10, "PDECIMAL(9)", "INT,9,10=PDECIMAL(9)"},
    {"NVARCHAR(160)", 12, 160, 10, "CSTRING(161)", "NVARCHAR(160),160,10=CSTRING(161)"},
    {"VARCHAR(10)", 12, 10, 10, "CSTRING(11)", "VARCHAR(10),10,10=CSTRING(11)"},
    {"CHAR(5)", 12, 5, 10, "STRING(5)", "CHAR(5),5,10=STRING(5)"},
    {"NUMERIC(10,2)", 8, 2, 10, "PDECIMAL(10,2)", "NUMERIC(10,2),2,10=PDECIMAL(10,2)"},
    {"DECIMAL(40,5)", 12, 5, 10, "PDECIMAL(31,5)", "DECIMAL(40,5),5,10=PDECIMAL(31,5)"},
    {"numeric", 8, 53, 10, "REAL", "NUMERIC,53,10=REAL"},
    {"REAL", 8, 53, 10, "REAL", "REAL,53,10=REAL"},
    {"DOUBLE", 8, 53, 10, "REAL", "DOUBLE,53,10=REAL"},
    {"BIGINT", -5, 19, 10, "DECIMAL(20)", "BIGINT,19,10=DECIMAL(20)"},
    {"BOOLEAN", -7, 1, 10, "BYTE", "BOOLEAN,0,0=BYTE"},
    {"SMALLINT", 5, 5, 10, "SHORT", "SMALLINT,0,0=SHORT"},
    {"TINYINT", -6, 3, 10, "SHORT", "TINYINT,3,10=SHORT"},
    {"VARCHAR", 12, 0, 10, "CSTRING(4001)", "VARCHAR,0,10=CSTRING(4001)"},
    {"TEXT", -1, 0, 10, "CSTRING(4001)", "TEXT,4000,10=CSTRING(4001)"},
    {"CLOB", 12, 0, 10, "CSTRING(4001)", "CLOB,0,10=CSTRING(4001)"},
    {"BLOB", -2, 0, 10, "CSTRING(4001)", "BLOB,0,10=CSTRING(4001)"},
    {"VARBINARY(10)", -3, 10, 10, "CSTRING(4001)", "VARBINARY(10),10,10=CSTRING(4001)"},
    {"MONEY", 12, 0, 10, "PDECIMAL(19,2)", "MONEY,0,10=PDECIMAL(19,2)"},
    {"DATE", 91, 0, 10, "DATE", "DATE,0,10=DATE"},
    {"TIME", 92, 0, 10, "TIME", "TIME,0,10=TIME"},
    {"TIMESTAMP", 93, 3, 10, "STRING(8)", "TIMESTAMP,3,10=STRING(8)"},
    {"", 12, 0, 10, "CSTRING(4001)", ",0,10=CSTRING(4001)"},
    // psqlODBC: the server's own names, sized by the driver.
    {"int4", 4, 10, 0, "LONG", "INT4,10,0=LONG"},
    {"int2", 5, 5, 0, "SHORT", "INT2,5,0=SHORT"},
    {"int8", -5, 19, 0, "DECIMAL(20)", "INT8,19,0=DECIMAL(20)"},
    {"oid", 4, 10, 0, "LONG", "OID,10,0=LONG"},
    {"bool", 12, 5, 0, "BYTE", "BOOL,0,0=BYTE"},
    {"float4", 7, 9, 0, "REAL", "FLOAT4,9,0=REAL"},
    {"float8", 6, 17, 0, "REAL", "FLOAT8,17,0=REAL"},
    {"bpchar", 1, 5, 0, "STRING(5)", "BPCHAR,5,0=STRING(5)"},
    {"char", 1, 1, 0, "STRING(1)", "CHAR,1,0=STRING(1)"},
    {"bytea", -4, -4, 0, "CSTRING(4001)", "BYTEA,-4,0=CSTRING(4001)"},
    {"uuid", -11, 37, 0, "CSTRING(38)", "UUID,37,0=CSTRING(38)"},
    {"json", 12, 255, 0, "CSTRING(256)", "JSON,255,0=CSTRING(256)"},
    {"xml", -1, 255, 0, "CSTRING(4001)", "XML,255,0=CSTRING(4001)"},
    {"timestamptz", 93, 26, 6, "STRING(8)", "TIMESTAMPTZ,26,6=STRING(8)"},
    {"timestamp", 93, 26, 6, "STRING(8)", "TIMESTAMP,26,6=STRING(8)"},
    {"money", 6, 10, 0, "PDECIMAL(19,2)", "MONEY,10,0=PDECIMAL(19,2)"},
    {"numeric", 2, 10, 2, "PDECIMAL(10,2)", "NUMERIC,10,2=PDECIMAL(10,2)"},
    {"numeric", 2, 28, 6, "PDECIMAL(28,6)", "NUMERIC,28,6=PDECIMAL(28,6)"},
    {"varchar", 12, 20, 0, "CSTRING(21)", "VARCHAR,20,0=CSTRING(21)"},
    {"text", -1, 8190, 0, "CSTRING(4001)", "TEXT,4000,0=CSTRING(4001)"},
    {"date", 91, 10, 0, "DATE", "DATE,10,0=DATE"},
    {"time", 92, 8, 6, "TIME", "TIME,8,6=TIME"},
    {"interval", 12, 32, 0, "CSTRING(33)", "INTERVAL,32,0=CSTRING(33)"},
    // Names no rule knows, by their type code.
    {"WHATEVER", 2, 40, 45, "PDECIMAL(31,31)", "WHATEVER,40,45=PDECIMAL(31,31)"},
    {"WHATEVER", 3, 0, 0, "PDECIMAL(31)", "WHATEVER,0,0=PDECIMAL(31)"},
    {"NCHAR2", -8, 4, 0, "STRING(4)", "NCHAR2,4,0=STRING(4)"},
    {"NTEXT2", -10, 0, 0, "CSTRING(4001)", "NTEXT2,0,0=CSTRING(4001)"},
    {"SMALLDATETIME", 11, 16, 0, "STRING(8)", "SMALLDATETIME,16,0=STRING(8)"},
    {"DATE2", 9, 10, 0, "DATE", "DATE2,10,0=DATE"},
    {"TIME2", 10, 8, 0, "TIME", "TIME2,8,0=TIME"},
    {"UNSIGNED BIG INT", -5, 20, 5, "DECIMAL(20)", "UNSIGNED BIG INT,20,5=DECIMAL(20)"},
    {"WHATEVER", 1234, 7, 0, "CSTRING(8)", "WHATEVER,7,0=CSTRING(8)"},
};

TEST(ColumnDataType, DriverTypesByNameWithoutParametersAndByTypeCode) {
  for (const DriverCase& c : kDriverCases) {
    SCOPED_TRACE(std::string(c.type_name) + " code " + std::to_string(c.sql_type) + "," +
                 std::to_string(c.size) + "," + std::to_string(c.digits));
    const Mapped m = MapOnce({c.type_name, c.sql_type, c.size, c.digits}, /*oracle=*/false);
    EXPECT_EQ(m.result, c.result);
    EXPECT_EQ(m.row, c.row);
  }
}

TEST(ColumnDataType, AStoredMappingsAsterisksTakeTheSizeOfTheTypeName) {
  FieldTypesQueue.Free();
  TEST_ForgetFieldTypesLoad();
  AddCustomFieldType("NUMERIC(10,2)", "DECIMAL(*,*)", 2, 10);
  EXPECT_EQ(ColumnDataType({"NUMERIC(10,2)", 8, 2, 10}, false), "DECIMAL(10,2)");
  FieldTypesQueue.Free();
}

TEST(ColumnDataType, TheLookupUsesTheSizeAsRead) {
  FieldTypesQueue.Free();
  TEST_ForgetFieldTypesLoad();
  // A stored row under the size as read wins over the rule.
  AddCustomFieldType("TEXT", "CSTRING(100)", 65535, 0);
  EXPECT_EQ(ColumnDataType({"TEXT", -1, 65535, 0}, false), "CSTRING(100)");
  EXPECT_EQ(FieldTypesQueue.Records(), 1u);
  // Another size: the rule, stored under its own key.
  EXPECT_EQ(ColumnDataType({"TEXT", -1, 100, 0}, false), "CSTRING(4001)");
  EXPECT_EQ(FieldTypesQueue.Records(), 2u);
  FieldTypesQueue.Free();
}

}  // namespace
}  // namespace catalog
