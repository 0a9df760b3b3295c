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
    {"REAL", 0, 0, "PDECIMAL(0)", "REAL,0,0=PDECIMAL(0)"},
    {"NUMBER", 10, 2, "PDECIMAL(10,2)", "NUMBER,10,2=PDECIMAL(10,2)"},
    {"number", 38, 0, "PDECIMAL(38)", "NUMBER,38,0=PDECIMAL(38)"},
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
    {"uuid", 36, 0, "uuid", "UUID,36,0=uuid"},
    {"NUMERIC(10,2)", 10, 2, "NUMERIC(10,2)", "NUMERIC(10,2),10,2=NUMERIC(10,2)"},
    // A column without a type name becomes a text of its size (or a long text).
    {"", 30, 0, "CSTRING(31)", ",30,0=CSTRING(31)"},
    {"", 0, 0, "CSTRING(4001)", ",4000,0=CSTRING(4001)"},
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

TEST(ColumnDataType, BuiltInRulesAndStoredMappings) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.type_name) + "," + std::to_string(c.size) + "," +
                 std::to_string(c.digits) + (c.oracle ? " oracle" : ""));
    FieldTypesQueue.Free();
    TEST_ForgetFieldTypesLoad();  // the table only: no file is written
    if (!c.stored.type_name.empty()) {
      AddCustomFieldType(c.stored.type_name, c.stored.data_type, c.stored.size, c.stored.digits);
    }
    const std::optional<std::string> got = ColumnDataType(c.type_name, c.size, c.digits, c.oracle);
    EXPECT_EQ(got.value_or("SKIP"), c.result);
    ASSERT_EQ(FieldTypesQueue.Records(), 1u);
    EXPECT_EQ(FieldTypeFileLine(FieldTypesQueue.entry(1)), c.row);
  }
  FieldTypesQueue.Free();
}

TEST(ColumnDataType, TheLookupUsesTheSizeAsRead) {
  FieldTypesQueue.Free();
  TEST_ForgetFieldTypesLoad();
  // A stored row under the size as read wins over the rule.
  AddCustomFieldType("TEXT", "CSTRING(100)", 65535, 0);
  EXPECT_EQ(ColumnDataType("TEXT", 65535, 0, false), "CSTRING(100)");
  EXPECT_EQ(FieldTypesQueue.Records(), 1u);
  // Another size: the rule, stored under its own key.
  EXPECT_EQ(ColumnDataType("TEXT", 100, 0, false), "CSTRING(4001)");
  EXPECT_EQ(FieldTypesQueue.Records(), 2u);
  FieldTypesQueue.Free();
}

}  // namespace
}  // namespace catalog
