#include "catalog/catalog_rows.h"

#include <string>
#include <utility>

#include "platform/core/fixed_string.h"
#include "platform/core/queue.h"
#include "platform/core/text.h"
#include "platform/files/odbc/odbc_handle.h"

namespace catalog {
namespace {

// The field's name as the filter knows it: its label without the first four characters
// ("GTQ:TABLETYPE" gives "TABLETYPE"), in upper case.
std::string FilterName(const platform::QueueBase& queue, size_t n) {
  const std::string who = queue.layout().Who(n);
  return platform::Upper(who.size() > 4 ? std::string_view(who).substr(4) : std::string_view());
}

std::string ClippedUpper(std::string_view text) {
  return platform::Upper(platform::ClipView(text));
}

}  // namespace

bool FetchGoesOn(FetchResult result) { return platform::files::OdbcOk(result); }

void ReadRows(CatalogRows& rows, platform::QueueBase& queue, int32_t columns, char* buffer,
              int32_t length, const RowFilter& drop) {
  const int32_t fields = static_cast<int32_t>(queue.FieldCount());
  while (FetchGoesOn(rows.Fetch())) {
    bool dropped = false;
    for (int32_t n = 1; n <= columns && n <= fields; ++n) {
      buffer[0] = '\0';
      if (!rows.Read(n, buffer, length)) buffer[0] = '\0';
      queue.SetText(static_cast<size_t>(n), buffer);
      if (drop && drop(queue, static_cast<size_t>(n))) dropped = true;
    }
    if (!dropped) queue.Add();
  }
}

RowFilter TablesFilter(uint8_t system_tables, uint8_t system_tables2, uint8_t owner_filter_off,
                       uint8_t type_filter_off, uint8_t tables_only,
                       std::string_view owner_filter) {
  const std::string filter = ClippedUpper(owner_filter);
  return [=](platform::QueueBase& queue, size_t n) {
    const std::string name = FilterName(queue, n);
    if (name == "TABLETYPE") {
      const std::string type = ClippedUpper(queue.GetText(n));
      if (system_tables == 0 && system_tables2 == 0 && type == "SYSTEM TABLE") return true;
      // Tables only counts only when it is exactly 1.
      if (type_filter_off == 0 && tables_only == 1 && type != "TABLE") return true;
    }
    if (name == "OWNER" && owner_filter_off == 0 && !filter.empty()) {
      return ClippedUpper(queue.GetText(n)) != filter;
    }
    return false;
  };
}

RowFilter ExactTableNameFilter(std::string table, size_t table_field) {
  return [table = std::move(table), table_field](platform::QueueBase& queue, size_t n) {
    if (n != table_field) return false;
    // The name as the field holds it: put in, read back, and the row's own value put back.
    const std::string value = queue.GetText(n);
    queue.SetText(n, table);
    const bool other = queue.GetText(n) != value;
    queue.SetText(n, value);
    return other;
  };
}

std::string EscapeSearchPattern(std::string_view name, std::string_view escape) {
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '_' || name[i] == '%' || name.substr(i, escape.size()) == escape) {
      out += escape;
    }
    out += name[i];
  }
  return out;
}

}  // namespace catalog
