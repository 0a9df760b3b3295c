#include "catalog/field_types.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/paths.h"
#include "platform/files/file_test_support.h"
#include "platform/testing/dialog_script.h"

namespace catalog {
namespace {

using platform::files::FileSizeLimitForTest;
using platform::files::TempDirForTest;
using platform::testing::DialogScript;

// The program lives in a fresh directory, so its field-types file is
// <dir>/pexolind_fieldtypes.ini.
class FieldTypesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::TEST_SetProgramPath(dir_.File("pexolind"));
    FieldTypesQueue.Free();
    FieldTypesQueue.ClearBuffer();
    TEST_ForgetFieldTypesLoad();
  }
  void TearDown() override {
    platform::TEST_SetProgramPath("");
    FieldTypesQueue.Free();
  }

  std::string FileName() const { return dir_.File("pexolind_fieldtypes.ini"); }
  void WriteFile(std::string_view bytes) const { dir_.Write("pexolind_fieldtypes.ini", bytes); }
  std::string ReadFile() const { return dir_.Read("pexolind_fieldtypes.ini"); }

  // The table as file lines, in queue order.
  static std::vector<std::string> Rows() {
    std::vector<std::string> out;
    for (size_t i = 1; i <= FieldTypesQueue.Records(); ++i) {
      out.push_back(FieldTypeFileLine(FieldTypesQueue.entry(i)));
    }
    return out;
  }

  TempDirForTest dir_;
};

TEST(FieldTypeLine, ParsesKeysAndDataTypes) {
  struct Case {
    std::string_view line;
    bool mapping;
    std::string_view type_name;
    int32_t size;
    int32_t digits;
    std::string_view data_type;
  };
  const Case kCases[] = {
      {"VARCHAR,50,0=CSTRING(51)", true, "VARCHAR", 50, 0, "CSTRING(51)"},
      {"varchar,50,0=STRING(50)", true, "VARCHAR", 50, 0, "STRING(50)"},
      {"NUMERIC,10,2=PDECIMAL(*,*)", true, "NUMERIC", 10, 2, "PDECIMAL(*,*)"},
      {"MONEY=PDECIMAL(19,4)", true, "MONEY", 0, 0, "PDECIMAL(19,4)"},
      {"CHAR,12=STRING(*)", true, "CHAR", 12, 0, "STRING(*)"},
      {"TIMESTAMP,16,3=", true, "TIMESTAMP", 16, 3, "TIMESTAMP"},
      {"TIMESTAMP,16,3=   ", true, "TIMESTAMP", 16, 3, "TIMESTAMP"},
      {"text , 65535 , 0 =CSTRING(*)", true, "TEXT ", 65535, 0, "CSTRING(*)"},
      // A type name with commas of its own keeps them; size and digits are the last parts.
      {"NUMERIC(10,2),10,2=PDECIMAL(10,2)", true, "NUMERIC(10,2)", 10, 2, "PDECIMAL(10,2)"},
      {"numeric(10,2),10,2=", true, "NUMERIC(10,2)", 10, 2, "NUMERIC(10,2)"},
      {",50,0=CSTRING(51)", true, "", 50, 0, "CSTRING(51)"},
      {"IMAGE,0,0=SKIP", true, "IMAGE", 0, 0, "SKIP"},
      {"VARCHAR,12.9,-3.9=X", true, "VARCHAR", 12, -3, "X"},  // whole numbers
      // Past LONG's range: wrapped as any assignment to a LONG, never undefined.
      {"VARCHAR,99999999999,1000000000000000000000000000000=X", true, "VARCHAR", 1215752191, -1,
       "X"},
      {"A=B=C", true, "A", 0, 0, "B=C"},
      {" !BIT,0,0=LONG", true, " !BIT", 0, 0, "LONG"},  // only a "!" in front is a comment
      {"!BIT,0,0=LONG", false, "", 0, 0, ""},
      {";BIT,0,0=LONG", false, "", 0, 0, ""},
      {"VARCHAR,50,0", false, "", 0, 0, ""},
      {"", false, "", 0, 0, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.line);
    const std::optional<FieldTypeLine> got = ParseFieldTypeLine(c.line);
    ASSERT_EQ(got.has_value(), c.mapping);
    if (!got) continue;
    EXPECT_EQ(got->type_name, c.type_name);
    EXPECT_EQ(got->size, c.size);
    EXPECT_EQ(got->digits, c.digits);
    EXPECT_EQ(got->data_type, c.data_type);
  }
}

TEST_F(FieldTypesTest, MissingFileIsCreatedEmpty) {
  LoadCustomFieldTypes();
  EXPECT_EQ(FieldTypesQueue.Records(), 0u);
  ASSERT_TRUE(std::filesystem::exists(FileName()));
  EXPECT_EQ(ReadFile(), "");
}

TEST_F(FieldTypesTest, LoadSkipsCommentsUpperCasesAndKeepsTheFirstLineOfAKey) {
  WriteFile(
      "! the user's own mappings\r\n"
      "; another comment=with an equals sign\r\n"
      "\r\n"
      "varchar,50,0=STRING(50)\r\n"
      "VARCHAR,50,0=CSTRING(51)\n"  // a line ended by LF alone
      "NUMERIC,10,2=PDECIMAL(*,*)\r\n"
      "NUMERIC,10,0=LONG\r\n"
      "no equals sign here\r\n"
      "MONEY=PDECIMAL(19,4)\r\n"
      "TIMESTAMP,16,3=\r\n"
      "NUMERIC(10,2),10,2=PDECIMAL(10,2)\r\n");
  LoadCustomFieldTypes();
  EXPECT_EQ(Rows(), (std::vector<std::string>{
                        "MONEY,0,0=PDECIMAL(19,4)",
                        "NUMERIC,10,0=LONG",
                        "NUMERIC,10,2=PDECIMAL(*,*)",
                        "NUMERIC(10,2),10,2=PDECIMAL(10,2)",
                        "TIMESTAMP,16,3=TIMESTAMP",
                        "VARCHAR,50,0=STRING(50)",
                    }));
  // Loading again replaces the table instead of adding to it.
  LoadCustomFieldTypes();
  EXPECT_EQ(FieldTypesQueue.Records(), 6u);
}

TEST_F(FieldTypesTest, AddingANewMappingRewritesTheFileInKeyOrder) {
  WriteFile("! comment\r\nVARCHAR,50,0=STRING(50)\r\nTEXT,4000,0=CSTRING(4001)\r\n");
  LoadCustomFieldTypes();
  AddCustomFieldType("integer", "PDECIMAL(10)", 10, 0);
  EXPECT_EQ(FTC.ODBCFIELDTYPE, "INTEGER");
  EXPECT_EQ(FTC.CLARIONFIELDTYPE, "PDECIMAL(10)");
  EXPECT_EQ(ReadFile(),
            "INTEGER,10,0=PDECIMAL(10)\r\n"
            "TEXT,4000,0=CSTRING(4001)\r\n"
            "VARCHAR,50,0=STRING(50)\r\n");
  EXPECT_EQ(dir_.Listing(), "pexolind_fieldtypes.ini ");  // no temporary left behind
}

TEST_F(FieldTypesTest, AnExistingKeyAnswersTheStoredTypeAndLeavesTheFile) {
  const std::string content = "! keep me\r\nvarchar,50,0=STRING(50)\r\n";
  WriteFile(content);
  LoadCustomFieldTypes();
  AddCustomFieldType("VarChar", "CSTRING(51)", 50, 0);
  EXPECT_EQ(FTC.CLARIONFIELDTYPE, "STRING(50)");
  EXPECT_EQ(FieldTypesQueue.Records(), 1u);
  EXPECT_EQ(ReadFile(), content);
}

TEST_F(FieldTypesTest, AnEmptyDataTypeStoresTheTypeNameInItsOwnCase) {
  LoadCustomFieldTypes();
  AddCustomFieldType("Geometry  ", "", 0, 0);
  EXPECT_EQ(FTC.ODBCFIELDTYPE, "GEOMETRY");
  EXPECT_EQ(FTC.CLARIONFIELDTYPE, "Geometry");
  EXPECT_EQ(ReadFile(), "GEOMETRY,0,0=Geometry\r\n");
}

TEST_F(FieldTypesTest, ATypeNameWithCommasRoundTripsThroughTheFile) {
  LoadCustomFieldTypes();
  AddCustomFieldType("NUMERIC(10,2)", "NUMERIC(10,2)", 10, 2);
  EXPECT_EQ(ReadFile(), "NUMERIC(10,2),10,2=NUMERIC(10,2)\r\n");
  LoadCustomFieldTypes();
  ASSERT_EQ(FieldTypesQueue.Records(), 1u);
  EXPECT_EQ(FieldTypesQueue.entry(1).ODBCFIELDTYPE, "NUMERIC(10,2)");
  EXPECT_EQ(FieldTypesQueue.entry(1).COLUMNSIZE, 10);
  EXPECT_EQ(FieldTypesQueue.entry(1).DECIMALDIGITS, 2);
  // Found again under the same key: the file is not written a second time with a new row.
  AddCustomFieldType("NUMERIC(10,2)", "SOMETHING", 10, 2);
  EXPECT_EQ(FTC.CLARIONFIELDTYPE, "NUMERIC(10,2)");
  EXPECT_EQ(FieldTypesQueue.Records(), 1u);
}

TEST_F(FieldTypesTest, AFileThatCannotBeReadIsNeverRewritten) {
  // A directory in the file's place cannot be opened as a text file.
  std::filesystem::create_directory(FileName());
  DialogScript dialogs;
  dialogs.ExpectMessage("Couldn't retrieve the custom field types!|Error:", platform::kButtonOk);
  LoadCustomFieldTypes();
  EXPECT_EQ(FieldTypesQueue.Records(), 0u);
  ASSERT_EQ(dialogs.seen().size(), 1u);
  EXPECT_EQ(dialogs.seen()[0].text,
            "Couldn't retrieve the custom field types!|Error:Access Denied (Is a directory)|File:" +
                FileName());
  EXPECT_EQ(dialogs.seen()[0].caption, "");
  EXPECT_EQ(dialogs.seen()[0].icon, "");

  // The mapping is still answered and used, but nothing is written: no further message.
  AddCustomFieldType("VARCHAR", "CSTRING(51)", 50, 0);
  EXPECT_EQ(FTC.CLARIONFIELDTYPE, "CSTRING(51)");
  EXPECT_EQ(FieldTypesQueue.Records(), 1u);
  EXPECT_TRUE(std::filesystem::is_directory(FileName()));
}

TEST_F(FieldTypesTest, WithoutALoadTheFileIsNotOverwritten) {
  const std::string content = "VARCHAR,50,0=STRING(50)\r\nBIT,0,0=LONG\r\n";
  WriteFile(content);
  AddCustomFieldType("INTEGER", "PDECIMAL(10)", 10, 0);
  EXPECT_EQ(FTC.CLARIONFIELDTYPE, "PDECIMAL(10)");
  EXPECT_EQ(ReadFile(), content);
}

TEST_F(FieldTypesTest, AFailedRewriteShowsTheAddMessageAndKeepsTheOldFile) {
  const std::string content = "VARCHAR,50,0=STRING(50)\r\n";
  WriteFile(content);
  LoadCustomFieldTypes();
  DialogScript dialogs;
  dialogs.ExpectMessage("Couldn't add the custom field types!|Error:", platform::kButtonOk);
  {
    FileSizeLimitForTest full_disk(8);
    AddCustomFieldType("INTEGER", "PDECIMAL(10)", 10, 0);
  }
  ASSERT_EQ(dialogs.seen().size(), 1u);
  EXPECT_EQ(dialogs.seen()[0].text,
            "Couldn't add the custom field types!|Error:File System Error (File too large)|File:" +
                FileName() + "|Custom field type:INTEGER");
  EXPECT_EQ(FTC.CLARIONFIELDTYPE, "PDECIMAL(10)");  // still used
  EXPECT_EQ(FieldTypesQueue.Records(), 2u);
  EXPECT_EQ(ReadFile(), content);
  EXPECT_EQ(dir_.Listing(), "pexolind_fieldtypes.ini ");
}

}  // namespace
}  // namespace catalog
