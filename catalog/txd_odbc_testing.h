// Test fixture for runs of the TXD writer on the statement object: on top of QueryObjectTest,
// the field-types file in a temporary directory and the dictionary window's options at their
// values for a run into Clarion.txd there (relations off). Subclasses make their schema in
// MakeSchema, once per fixture and source.
#pragma once

#include <set>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "catalog/catalog_queues.h"
#include "catalog/field_types.h"
#include "catalog/globals.h"
#include "catalog/odbc_query_testing.h"
#include "platform/core/paths.h"
#include "platform/core/process.h"
#include "platform/files/file_test_support.h"

namespace catalog {

class TxdOdbcTest : public QueryObjectTest {
 protected:
  void SetUp() override {
    QueryObjectTest::SetUp();
    if (HasFatalFailure()) return;
    static std::set<std::pair<std::string, int>> made;
    const std::string suite = ::testing::UnitTest::GetInstance()->current_test_suite()->name();
    if (made.emplace(suite, static_cast<int>(backend())).second) {
      MakeSchema();
      if (HasFatalFailure()) return;
    }
    platform::TEST_SetProgramPath(dir_.File("pexolind"));
    LoadCustomFieldTypes();
    Glo.TXDFilename = dir_.File("Clarion.txd");
    Glo.Driver = "ODBC";
    Glo.ExternalNames = 0;
    Glo.SystemTables = 0;
    Glo.TablesOnly = 1;
    Glo.NoRelations = 1;
  }
  void TearDown() override {
    QueryObjectTest::TearDown();
    platform::TEST_SetProgramPath("");
    FieldTypesQueue.Free();
    TablesQueue.Free();
  }

  // The schema the tests read; run once per source and process.
  virtual void MakeSchema() = 0;

  platform::files::TempDirForTest dir_;
  platform::ProcessRecorder opener_;
};

}  // namespace catalog
