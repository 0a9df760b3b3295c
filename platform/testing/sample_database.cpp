#include "platform/testing/sample_database.h"

#include <fstream>
#include <sstream>

namespace platform::testing {
namespace {

constexpr std::string_view kBlobMarker = "@BLOB@";

std::string BlobType(OdbcBackend backend) {
  return backend == OdbcBackend::kSqlite ? "BLOB" : "BYTEA";
}

}  // namespace

std::string SampleDatabaseFile() { return PEX_SAMPLE_DATABASE_SQL; }

std::vector<std::string> SampleStatements(std::string_view sql, OdbcBackend backend) {
  std::vector<std::string> statements;
  std::string current;
  while (!sql.empty()) {
    const size_t end = sql.find('\n');
    std::string_view line = sql.substr(0, end);
    sql = end == std::string_view::npos ? std::string_view() : sql.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.starts_with("--")) continue;
    std::string text(line);
    for (size_t at = text.find(kBlobMarker); at != std::string::npos;
         at = text.find(kBlobMarker, at)) {
      text.replace(at, kBlobMarker.size(), BlobType(backend));
    }
    if (text.ends_with(';')) {
      text.pop_back();
      current += text;
      statements.push_back(std::move(current));
      current.clear();
    } else if (!text.empty()) {
      current += text + "\n";
    }
  }
  return statements;
}

::testing::AssertionResult LoadSampleDatabase(OdbcBackend backend) {
  std::ifstream in(SampleDatabaseFile(), std::ios::binary);
  if (!in) return ::testing::AssertionFailure() << "cannot read " << SampleDatabaseFile();
  std::stringstream text;
  text << in.rdbuf();
  return OdbcSources::Get().RunSql(backend, SampleStatements(text.str(), backend));
}

}  // namespace platform::testing
