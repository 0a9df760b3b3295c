// The sample order-entry database (share/sample/orders.sql) loaded into a test source. The
// file is written for both SQLite and PostgreSQL: @BLOB@ stands for the binary type of the
// target, and every statement ends with a semicolon at the end of a line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/odbc_sources.h"

namespace platform::testing {

// The path of share/sample/orders.sql in the source tree.
std::string SampleDatabaseFile();

// The statements of `sql` for `backend`, in order: lines starting with "--" dropped, @BLOB@
// replaced by BLOB (SQLite) or BYTEA (PostgreSQL), and a statement ended by each line whose
// last character is a semicolon (the semicolon itself left out).
std::vector<std::string> SampleStatements(std::string_view sql, OdbcBackend backend);

// Creates the sample tables with their rows in the backend's test source. Fails naming the
// statement that failed, or when the file cannot be read.
::testing::AssertionResult LoadSampleDatabase(OdbcBackend backend);

}  // namespace platform::testing
