#include "platform/testing/generated_catalog.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace platform::testing {
namespace {

// The column types cycle through these after the key columns.
constexpr const char* kColumnTypes[] = {"VARCHAR(40)", "INTEGER",      "NUMERIC(10,2)", "DATE",
                                        "TIMESTAMP",   "VARCHAR(200)", "SMALLINT"};

std::string Name(int i) {
  char text[16];
  std::snprintf(text, sizeof text, "g%05d", i);
  return text;
}

std::string Upper(std::string s) {
  for (char& ch : s) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  return s;
}

}  // namespace

std::vector<std::string> GeneratedTableNames(const CatalogShape& shape) {
  std::vector<std::string> names;
  for (int i = 1; i <= shape.tables; ++i) names.push_back(Name(i));
  if (shape.varied) {
    std::mt19937 random(shape.seed);
    // Referred tables must exist first on PostgreSQL, so only the first one stays in place
    // and the others are shuffled among themselves; the foreign keys below refer to tables
    // created earlier.
    std::shuffle(names.begin() + 1, names.end(), random);
  }
  return names;
}

std::vector<std::string> GeneratedCatalogStatements(const CatalogShape& shape,
                                                    OdbcBackend backend) {
  const std::vector<std::string> names = GeneratedTableNames(shape);
  std::mt19937 random(shape.seed);
  std::vector<std::string> statements;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    // The table referred to: half the position, so the references spread over the catalog.
    const std::string& parent = names[i / 2];
    std::string sql = "CREATE TABLE " + name + " (id INTEGER NOT NULL PRIMARY KEY";
    sql += ", ref INTEGER REFERENCES " + parent + " (id)";
    sql += ", k1 INTEGER NOT NULL, k2 INTEGER NOT NULL";
    for (int c = 5; c <= shape.columns; ++c) {
      sql += ", c" + std::to_string(c) + " " + kColumnTypes[(c + i) % std::size(kColumnTypes)];
    }
    sql += ", UNIQUE (k1, k2)";
    if (shape.varied && i > 0) {
      const std::string& other = names[random() % i];
      switch (random() % 4) {
        case 0:  // a composite key over the other table's unique pair
          sql += ", FOREIGN KEY (k1, k2) REFERENCES " + other + " (k1, k2)";
          break;
        case 1:  // the primary key, named by the table alone
          sql += ", FOREIGN KEY (k1) REFERENCES " + other;
          break;
        case 2:  // a second key to the same table as ref, in another case on SQLite
          sql += ", FOREIGN KEY (k2) REFERENCES " +
                 (backend == OdbcBackend::kSqlite ? Upper(parent) : parent) + " (id)";
          break;
        default:
          break;
      }
    }
    sql += ")";
    statements.push_back(std::move(sql));
    statements.push_back("CREATE INDEX " + name + "_i1 ON " + name + " (c5)");
    statements.push_back("CREATE INDEX " + name + "_i2 ON " + name + " (c6, k1)");
  }
  return statements;
}

}  // namespace platform::testing
