// Generated catalogs for tests and benchmarks of the dictionary writer: many tables of one
// shape, each with a primary key, two indexes and foreign keys to other tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/testing/odbc_sources.h"

namespace platform::testing {

struct CatalogShape {
  int tables = 100;
  int columns = 20;  // at least 6
  // Besides each table's one foreign key: tables created in a shuffled order, composite and
  // repeated foreign keys, foreign keys without their columns and, on SQLite, referred tables
  // written in another case. Drawn from `seed`.
  bool varied = false;
  uint32_t seed = 1;
};

// The table names of the catalog, in the order they are created.
std::vector<std::string> GeneratedTableNames(const CatalogShape& shape);

// The CREATE statements of the catalog for `backend`: table i (from 1) has id as its primary
// key, ref as a foreign key to table i / 2 (table 1 to itself), two indexes over other
// columns, and columns of integer, text, decimal, date and timestamp types.
std::vector<std::string> GeneratedCatalogStatements(const CatalogShape& shape, OdbcBackend backend);

}  // namespace platform::testing
