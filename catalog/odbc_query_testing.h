// Test fixture for code that runs on the program's statement object: for each test source it
// points Glo.ConnectString at the source and creates QueryObject on ODBCFILE; TearDown
// disposes it and closes the file (the connection stays for the next test).
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "catalog/globals.h"
#include "catalog/odbc_query.h"
#include "platform/testing/odbc_sources.h"

namespace catalog {

class QueryObjectTest : public platform::testing::OdbcSourceTest {
 protected:
  void SetUp() override {
    OdbcSourceTest::SetUp();
    if (HasFatalFailure()) return;
    Glo.ConnectString = ConnectString();
    QueryObject = std::make_shared<ODBCQueryClass>();
    QueryObject->Init(ODBCFILE);
  }
  void TearDown() override {
    ODBCQueryClass::Dispose(QueryObject);
    ODBCFILE.Close();
  }

  ODBCQueryClass& q() { return *QueryObject; }
};

}  // namespace catalog
