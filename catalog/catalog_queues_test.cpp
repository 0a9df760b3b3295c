#include "catalog/catalog_queues.h"

#include <cstddef>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/record_layout_check.h"

namespace catalog {
namespace {

using platform::FieldType;
using platform::testing::CheckLayout;

constexpr FieldType kC = FieldType::kCString;
constexpr FieldType kS = FieldType::kString;
constexpr FieldType kL = FieldType::kLong;
constexpr FieldType kB = FieldType::kByte;
constexpr FieldType kSh = FieldType::kShort;

TEST(CatalogQueues, TablesQueueFields) {
  CheckLayout<TablesQueueRecord>("GTQ", {{"CATALOG", kC, 512},
                                         {"OWNER", kC, 512},
                                         {"TABLENAME", kC, 512},
                                         {"TABLETYPE", kC, 100},
                                         {"REMARKS", kC, 255},
                                         {"ORGINALTABLENAME", kC, 512}});
}

TEST(CatalogQueues, ColumnsQueueFields) {
  CheckLayout<ColumnsQueueRecord>("GCQ", {{"DATABASE", kC, 512},
                                          {"OWNER", kC, 512},
                                          {"TABLE", kC, 512},
                                          {"COLUMNNAME", kC, 512},
                                          {"NCOLUMNTYPE", kL, 4},
                                          {"COLUMNTYPE", kC, 100},
                                          {"COLUMNSIZE", kL, 4},
                                          {"BUFFERLENGTH", kL, 4},
                                          {"DECIMALDIGITS", kL, 4},
                                          {"NUMPRECRADIX", kL, 4},
                                          {"NULLABLE", kL, 4},
                                          {"REMARKS", kC, 255},
                                          {"DEFAULTVALUE", kC, 100},
                                          {"SQLDATATYPE", kL, 4},
                                          {"SQLDATETIMESUB", kL, 4},
                                          {"CHAROCTETLENGTH", kL, 4},
                                          {"ORDINALPOSITION", kL, 4},
                                          {"ISNULLABLE", kC, 10},
                                          {"MARK", kB, 1}});
}

TEST(CatalogQueues, PrimaryKeysQueueFields) {
  CheckLayout<PrimaryKeysQueueRecord>("GPQ", {{"DATABASE", kC, 512},
                                              {"OWNER", kC, 512},
                                              {"TABLE", kC, 512},
                                              {"COLUMNNAME", kC, 512},
                                              {"ORDINALPOSITION", kL, 4},
                                              {"INDEX_NAME", kC, 512}});
}

TEST(CatalogQueues, IndexesQueueFields) {
  CheckLayout<IndexesQueueRecord>("GIQ", {{"DATABASE", kC, 512},
                                          {"OWNER", kC, 512},
                                          {"TABLE", kC, 512},
                                          {"NON_UNIQUE", kB, 1},
                                          {"INDEX_QUALIFIER", kC, 512},
                                          {"INDEX_NAME", kC, 512},
                                          {"INDEXTYPE", kB, 1},
                                          {"ORDINALPOSITION", kSh, 2},
                                          {"COLUMN_NAME", kC, 512},
                                          {"ASC_OR_DESC", kS, 1},
                                          {"CARDINALITY", kL, 4},
                                          {"PAGES", kL, 4},
                                          {"FILTER_CONDITION", kC, 255},
                                          {"PRIMARYKEY", kB, 1}});
}

TEST(CatalogQueues, ForeignKeysQueueFields) {
  CheckLayout<ForeignKeysQueueRecord>("GFQ", {{"PKTABLE_CAT", kC, 512},
                                              {"PKTABLE_SCHEM", kC, 512},
                                              {"PKTABLE_NAME", kC, 512},
                                              {"PKCOLUMN_NAME", kC, 512},
                                              {"FKTABLE_CAT", kC, 512},
                                              {"FKTABLE_SCHEM", kC, 512},
                                              {"FKTABLE_NAME", kC, 512},
                                              {"FKCOLUMN_NAME", kC, 512},
                                              {"KEY_SEQ", kC, 100},
                                              {"UPDATE_RULE", kC, 100},
                                              {"DELETE_RULE", kC, 100},
                                              {"FK_NAME", kC, 512},
                                              {"PK_NAME", kC, 512},
                                              {"DEFERRABILITY", kC, 100}});
}

TEST(CatalogQueues, DataSourceQueueFields) {
  CheckLayout<DataSourceQueueRecord>(
      "DSQ", {{"DISPLAY", kS, 165}, {"DSNNAME", kC, 60}, {"UPPER", kC, 60}});
}

TEST(CatalogQueues, PrefixesAreTheQueueBuffers) {
  EXPECT_EQ(&GTQ, &TablesQueue.buffer);
  EXPECT_EQ(&GCQ, &ColumnsQueue.buffer);
  EXPECT_EQ(&GPQ, &PrimaryKeysQueue.buffer);
  EXPECT_EQ(&GIQ, &IndexesQueue.buffer);
  EXPECT_EQ(&GFQ, &ForeignKeysQueue.buffer);
  EXPECT_EQ(&DSQ, &DataSourceQueue.buffer);
}

TEST(CatalogQueues, FilledByFieldNumberAndCutToTheDeclaredSize) {
  ColumnsQueue.Free();
  ColumnsQueue.ClearBuffer();
  ColumnsQueue.SetText(4, std::string(600, 'x'));  // COLUMNNAME holds 511
  ColumnsQueue.SetText(7, "12");
  ColumnsQueue.SetText(18, "YES_AND_MORE");  // ISNULLABLE holds 9
  ColumnsQueue.Add();
  ASSERT_EQ(ColumnsQueue.Records(), 1u);
  EXPECT_EQ(ColumnsQueue.entry(1).COLUMNNAME.size(), 511u);
  EXPECT_EQ(ColumnsQueue.entry(1).COLUMNSIZE, 12);
  EXPECT_EQ(ColumnsQueue.entry(1).ISNULLABLE, "YES_AND_M");
  EXPECT_EQ(GCQ.MARK, 0);
  ColumnsQueue.Free();

  IndexesQueue.ClearBuffer();
  IndexesQueue.SetText(10, "D");
  EXPECT_EQ(GIQ.ASC_OR_DESC.Padded(), "D");
  IndexesQueue.SetText(10, "");
  EXPECT_EQ(GIQ.ASC_OR_DESC.Padded(), " ");
}

}  // namespace
}  // namespace catalog
