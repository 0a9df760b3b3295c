#include "catalog/txd_test_support.h"

#include <cctype>
#include <set>
#include <utility>

#include "platform/core/fixed_string.h"

namespace catalog::testing {
namespace {

template <class R>
void Fill(platform::Queue<R>& queue, const std::vector<R>* rows) {
  queue.Free();
  queue.ClearBuffer();
  if (rows == nullptr) return;
  for (const R& row : *rows) {
    queue.buffer = row;
    queue.Add();
  }
  queue.ClearBuffer();
}

template <class M>
const typename M::mapped_type* Find(const M& map, std::string_view key,
                                    std::string_view owner = {}) {
  if (!owner.empty()) {
    auto it = map.find(std::string(owner) + "." + std::string(key));
    if (it != map.end()) return &it->second;
  }
  auto it = map.find(key);
  return it == map.end() ? nullptr : &it->second;
}

// "what:table", or "what:owner.table" for a read with an owner.
std::string ReadName(std::string_view what, std::string_view table, std::string_view owner) {
  std::string out(what);
  out += ':';
  if (!owner.empty()) out += std::string(owner) + ".";
  out += table;
  return out;
}

}  // namespace

template <class R>
void MemoryCatalog::Read(std::string_view what, platform::Queue<R>& queue,
                         const std::map<std::string, std::vector<R>, std::less<>>& rows,
                         std::string_view table, std::string_view owner) {
  reads.push_back(ReadName(what, table, owner));
  Fill(queue, Find(rows, table, owner));
}

namespace {

bool StartsWith(std::string_view text, std::string_view lead) { return text.starts_with(lead); }

// The number in "!!> IDENT(n)..."; -1 when the line is no identification line.
int32_t IdentOf(std::string_view line) {
  constexpr std::string_view kLead = "!!> IDENT(";
  if (!StartsWith(line, kLead)) return -1;
  line.remove_prefix(kLead.size());
  const size_t close = line.find(')');
  if (close == std::string_view::npos || close == 0) return -1;
  int32_t n = 0;
  for (char ch : line.substr(0, close)) {
    if (!std::isdigit(static_cast<unsigned char>(ch))) return -1;
    n = n * 10 + (ch - '0');
  }
  return n;
}

// The text between `open` and the last ")" of `line`, when the line is `lead` followed by
// `open`...")".
bool Between(std::string_view line, std::string_view lead, std::string_view open,
             std::string& out) {
  if (!line.starts_with(lead)) return false;
  line.remove_prefix(lead.size());
  if (!line.starts_with(open) || !line.ends_with(')')) return false;
  out = std::string(line.substr(open.size(), line.size() - open.size() - 1));
  return true;
}

// "LABEL<blanks to 29> FILE(" ...: the label and the text in the brackets.
bool BlockFileLine(std::string_view line, std::string_view word, std::string& label,
                   std::string& key) {
  const std::string open = " " + std::string(word) + "(";
  const size_t at = line.find(open);
  if (at == std::string_view::npos || !line.ends_with(')')) return false;
  label = std::string(platform::ClipView(line.substr(0, at)));
  if (label.size() < 29 && at != 29) return false;
  if (label.size() >= 29 && at != label.size()) return false;
  key = std::string(line.substr(at + open.size(), line.size() - at - open.size() - 1));
  return true;
}

// A label: an ASCII letter or underscore, then letters, digits and underscores.
bool IsLabel(std::string_view text) {
  if (text.empty() || std::isdigit(static_cast<unsigned char>(text.front()))) return false;
  for (char ch : text) {
    if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '_') return false;
    if (static_cast<unsigned char>(ch) >= 0x80) return false;
  }
  return true;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return out;
}

// Why `type` is no data type of a field, or empty when it is one: a name of the dictionary's
// types, its size and digits in range, nothing else in it.
std::string TypeFault(std::string_view type) {
  const size_t open = type.find('(');
  const std::string name(type.substr(0, open));
  std::vector<long> numbers;
  if (open != std::string_view::npos) {
    if (!type.ends_with(')')) return "text after the parameters";
    std::string_view list = type.substr(open + 1, type.size() - open - 2);
    while (true) {
      const size_t comma = list.find(',');
      const std::string_view part = list.substr(0, comma);
      if (part.empty() || part.size() > 9) return "a parameter that is no number";
      long n = 0;
      for (char ch : part) {
        if (!std::isdigit(static_cast<unsigned char>(ch))) return "a parameter that is no number";
        n = n * 10 + (ch - '0');
      }
      numbers.push_back(n);
      if (comma == std::string_view::npos) break;
      list.remove_prefix(comma + 1);
    }
  }
  static const std::set<std::string> kPlain = {"BYTE",  "SHORT",  "USHORT",   "LONG",
                                               "ULONG", "SIGNED", "UNSIGNED", "REAL",
                                               "SREAL", "DATE",   "TIME"};
  if (kPlain.contains(name)) return numbers.empty() ? "" : "parameters on a plain type";
  if (name == "STRING" || name == "CSTRING" || name == "PSTRING") {
    const long least = name == "STRING" ? 1 : 2;
    if (numbers.size() != 1 || numbers[0] < least) return "a text without a fitting size";
    return "";
  }
  if (name == "DECIMAL" || name == "PDECIMAL") {
    if (numbers.empty() || numbers.size() > 2) return "a decimal without its size";
    if (numbers[0] < 1 || numbers[0] > 31) return "a decimal of more than 31 digits or none";
    if (numbers.size() == 2 && numbers[1] > numbers[0]) return "more digits than size";
    return "";
  }
  return "no data type";
}

// The text of the first '...' after `lead` in `line`, its quoting undone: '' is ', {{ is {,
// << is <, and <n> the character of code n. `found` tells whether there was one.
std::string QuotedAfter(std::string_view line, std::string_view lead, bool& found) {
  found = false;
  const size_t at = line.find(lead);
  if (at == std::string_view::npos) return {};
  std::string out;
  for (size_t i = at + lead.size(); i < line.size(); ++i) {
    const char ch = line[i];
    const char next = i + 1 < line.size() ? line[i + 1] : '\0';
    if (ch == '\'') {
      if (next != '\'') {
        found = true;
        return out;
      }
      out += '\'';
      ++i;
    } else if ((ch == '{' || ch == '<') && next == ch) {
      out += ch;
      ++i;
    } else if (ch == '<') {
      const size_t close = line.find('>', i);
      if (close == std::string_view::npos) return out;
      int code = 0;
      for (size_t k = i + 1; k < close; ++k) code = code * 10 + (line[k] - '0');
      out += static_cast<char>(code);
      i = close;
    } else {
      out += ch;
    }
  }
  return out;
}

void ReadRelations(const std::vector<std::string>& lines, size_t i, TxdDocument& doc) {
  auto error = [&doc](std::string what, size_t line_no) {
    doc.errors.push_back("line " + std::to_string(line_no + 1) + ": " + std::move(what));
  };
  auto at = [&](size_t k) -> std::string_view {
    return k < lines.size() ? std::string_view(lines[k]) : std::string_view();
  };
  std::set<std::string> prefixes;
  for (const TxdFile& f : doc.files) {
    std::string upper;
    for (char ch : f.prefix) upper += static_cast<char>(std::toupper(ch));
    prefixes.insert(upper);
  }
  auto check_prefix = [&](const std::string& reference, size_t line_no) {
    const std::string prefix = reference.substr(0, reference.find(':'));
    if (!prefixes.contains(prefix)) error("prefix of no FILE: " + reference, line_no);
  };
  doc.has_relations = true;
  if (at(i + 1) != "" || at(i + 2) != "") error("two empty lines expected", i + 1);
  i += 3;
  const std::string block(28, ' ');
  const std::string part(30, ' ');
  while (i < lines.size()) {
    if (at(i) != block + "RELATION,MANY:ONE") {
      error("RELATION expected: " + std::string(at(i)), i);
      return;
    }
    TxdRelation r;
    if (!BlockFileLine(at(i + 1), "FILE", r.file, r.file_key)) error("FILE line", i + 1);
    if (!BlockFileLine(at(i + 2), "RELATED_FILE", r.related, r.related_key)) {
      error("RELATED_FILE line", i + 2);
    }
    if (!r.file_key.empty()) check_prefix(r.file_key, i + 1);
    if (!r.related_key.empty()) check_prefix(r.related_key, i + 2);
    i += 3;
    if (at(i) == part + "FILE_TO_RELATED_KEY") {
      if (!Between(at(i + 1), std::string(34, ' '), "FIELD(", r.file_to_related) ||
          at(i + 2) != part + "END") {
        error("FILE_TO_RELATED_KEY part", i + 1);
      }
      if (r.related_key.empty()) error("FILE_TO_RELATED_KEY without a related key", i);
      i += 3;
    } else if (!r.related_key.empty()) {
      error("FILE_TO_RELATED_KEY expected", i);
    }
    if (at(i) != part + "RELATED_FILE_TO_KEY" ||
        !Between(at(i + 1), std::string(32, ' '), "FIELD(", r.related_to_file) ||
        at(i + 2) != part + "END") {
      error("RELATED_FILE_TO_KEY part", i);
    }
    check_prefix(r.related_to_file, i + 1);
    i += 3;
    if (at(i) != block + "END" || i + 1 >= lines.size() || at(i + 1) != "") {
      error("END and an empty line expected", i);
    }
    i += 2;
    doc.relations.push_back(std::move(r));
  }
}

}  // namespace

std::string CrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

void MemoryCatalog::ReadTables(bool, bool, std::string_view) {
  reads.push_back("tables");
  Fill(TablesQueue, &tables);
}
void MemoryCatalog::ReadColumns(std::string_view table, std::string_view owner) {
  Read("columns", ColumnsQueue, columns, table, owner);
}
void MemoryCatalog::ReadPrimaryKeys(std::string_view table, std::string_view owner) {
  Read("primarykeys", PrimaryKeysQueue, primary_keys, table, owner);
}
void MemoryCatalog::ReadIndexes(std::string_view table, std::string_view owner) {
  Read("indexes", IndexesQueue, indexes, table, owner);
}
void MemoryCatalog::ReadForeignKeys(std::string_view table, std::string_view owner) {
  Read("foreignkeys", ForeignKeysQueue, foreign_keys, table, owner);
}
void MemoryCatalog::ReadForeignKeysOf(std::string_view table, std::string_view owner) {
  Read("foreignkeysof", ForeignKeysQueue, foreign_keys_of, table, owner);
}
void MemoryCatalog::ReadSysrel(platform::QueueBase& relations) {
  reads.push_back("sysrel");
  if (!has_sysrel) return;
  for (const std::vector<std::string>& row : sysrel) {
    for (size_t n = 1; n <= row.size(); ++n) relations.SetText(n, row[n - 1]);
    relations.Add();
  }
}

ForeignKeysQueueRecord ForeignKey(std::string_view pk_table, std::string_view pk_column,
                                  std::string_view fk_table, std::string_view fk_column,
                                  int key_seq) {
  ForeignKeysQueueRecord r;
  r.PKTABLE_NAME = pk_table;
  r.PKCOLUMN_NAME = pk_column;
  r.FKTABLE_NAME = fk_table;
  r.FKCOLUMN_NAME = fk_column;
  r.KEY_SEQ = std::to_string(key_seq);
  return r;
}

TablesQueueRecord Table(std::string_view name, std::string_view type) {
  TablesQueueRecord r;
  r.TABLENAME = name;
  r.TABLETYPE = type;
  return r;
}

ColumnsQueueRecord Column(std::string_view name, std::string_view type, int32_t size,
                          int32_t digits) {
  ColumnsQueueRecord r;
  r.COLUMNNAME = name;
  r.COLUMNTYPE = type;
  r.COLUMNSIZE = size;
  r.DECIMALDIGITS = digits;
  return r;
}

IndexesQueueRecord Index(std::string_view name, std::string_view column, bool ascending,
                         bool non_unique, uint8_t type) {
  IndexesQueueRecord r;
  r.INDEX_NAME = name;
  r.COLUMN_NAME = column;
  r.ASC_OR_DESC = ascending ? "A" : "D";
  r.NON_UNIQUE = non_unique ? 1 : 0;
  r.INDEXTYPE = type;
  return r;
}

PrimaryKeysQueueRecord PrimaryKey(std::string_view column, std::string_view name) {
  PrimaryKeysQueueRecord r;
  r.COLUMNNAME = column;
  r.INDEX_NAME = name;
  return r;
}

TxdDocument ReadTxd(std::string_view text) {
  TxdDocument doc;
  auto error = [&doc](std::string what, size_t line_no) {
    doc.errors.push_back("line " + std::to_string(line_no + 1) + ": " + std::move(what));
  };
  std::vector<std::string> lines;
  while (!text.empty()) {
    const size_t end = text.find("\r\n");
    if (end == std::string_view::npos) {
      error("not ended by CR LF", lines.size());
      lines.emplace_back(text);
      break;
    }
    lines.emplace_back(text.substr(0, end));
    if (lines.back().find_first_of("\r\n") != std::string::npos) {
      error("CR or LF inside the line", lines.size() - 1);
    }
    text.remove_prefix(end + 2);
  }
  const std::vector<std::string> header = {"  [DICTIONARY]",
                                           "VERSION '1.0'",
                                           "CREATED '26 SEP 2002' '10:31:14AM'",
                                           "MODIFIED '26 SEP 2002' '11:33:17AM'",
                                           "",
                                           "[FILES]"};
  size_t i = 0;
  for (; i < header.size(); ++i) {
    if (i >= lines.size() || lines[i] != header[i]) {
      error("header differs", i);
      return doc;
    }
  }
  int32_t last_field = 1, last_key = 0;
  std::set<std::string> prefixes;
  std::set<std::string> file_labels;  // upper case: labels match in any case
  auto at = [&](size_t k) -> std::string_view {
    return k < lines.size() ? std::string_view(lines[k]) : std::string_view();
  };
  while (i < lines.size()) {
    std::string_view line = at(i);
    if (line == "[RELATIONS]") break;
    const size_t file_pos = line.find(" FILE,DRIVER(");
    if (file_pos == std::string_view::npos) {
      error("FILE expected: " + std::string(line), i);
      return doc;
    }
    TxdFile file;
    file.label = std::string(platform::ClipView(line.substr(0, file_pos)));
    if (!IsLabel(file.label)) error("FILE label is no label: " + file.label, i);
    if (!file_labels.insert(UpperAscii(file.label)).second) {
      error("FILE label used twice: " + file.label, i);
    }
    bool named = false;
    file.name = QuotedAfter(line, ",NAME('", named);
    const size_t pre = line.find(",PRE(");
    if (pre != std::string_view::npos) {
      const size_t close = line.find(')', pre);
      file.prefix = std::string(line.substr(pre + 5, close - pre - 5));
      std::string upper;
      for (char ch : file.prefix) upper += static_cast<char>(std::toupper(ch));
      if (!prefixes.insert(upper).second) error("prefix used twice: " + file.prefix, i);
      if (!IsLabel(file.prefix)) error("prefix is no label: " + file.prefix, i);
    } else {
      error("FILE without PRE", i);
    }
    file.ident = IdentOf(at(++i));
    const int32_t expected_file = doc.files.empty() ? 1 : doc.files.back().ident + 1;
    if (file.ident != expected_file) error("file number out of order", i);
    ++i;
    const bool global = doc.files.empty();
    std::set<std::string> field_labels;
    // Keys up to the record.
    while (i < lines.size() && at(i).find(" KEY(") != std::string_view::npos) {
      TxdKey key{std::string(at(i)), IdentOf(at(i + 1))};
      const std::string key_label = key.line.substr(0, key.line.find(" KEY("));
      if (!IsLabel(key_label)) error("KEY label is no label: " + key_label, i);
      if (key.line.ends_with(",PRIMARY")) ++file.primary_keys;
      if (key.ident != last_key + 1) error("key number out of order", i + 1);
      last_key = key.ident;
      file.keys.push_back(std::move(key));
      i += 2;
    }
    if (platform::ClipView(at(i)) !=
        (global ? "Record                   RECORD" : "Record RECORD")) {
      error("Record RECORD expected", i);
      return doc;
    }
    ++i;
    const std::string_view record_end = global ? "                         END" : "    END";
    while (i < lines.size() && at(i) != record_end) {
      line = at(i);
      if (line == "[QUICKCODE]" || line == "!NOPOPULATE" || line == "[SCREENCONTROLS]" ||
          line == "[REPORTCONTROLS]" || StartsWith(line, "! ")) {
        ++i;
        continue;
      }
      const int32_t ident = IdentOf(at(i + 1));
      if (ident < 0) {
        error("identification line expected after: " + std::string(line), i + 1);
        return doc;
      }
      if (ident != last_field + 1) error("field number out of order", i + 1);
      last_field = ident;
      if (line == "  END") {  // the end of a group
        i += 2;
        continue;
      }
      const size_t blank = line.find(' ');
      TxdField field;
      field.label = std::string(line.substr(0, blank));
      if (blank != std::string_view::npos) {
        std::string_view rest = line.substr(blank);
        while (rest.starts_with(' ')) rest.remove_prefix(1);
        field.type = std::string(rest.substr(0, rest.find(",NAME(")));
      }
      if (field.label.empty() || field.type.empty()) error("field without label or type", i);
      if (!global) {
        bool named = false;
        field.name = QuotedAfter(line, ",NAME('", named);
        field.group_part = !named && (field.type.starts_with("GROUP,OVER(") ||
                                      field.type == "DATE" || field.type == "TIME");
        const std::string fault =
            field.type.starts_with("GROUP,OVER(") ? std::string() : TypeFault(field.type);
        if (!fault.empty()) error(fault + ": " + field.type, i);
        if (!IsLabel(field.label)) error("field label is no label: " + field.label, i);
        if (!field_labels.insert(UpperAscii(field.label)).second) {
          error("field label used twice in the record: " + field.label, i);
        }
      }
      field.ident = ident;
      file.fields.push_back(std::move(field));
      i += 2;
    }
    ++i;
    if (global) {
      if (at(i) != "                       END") error("closing END expected", i);
      ++i;
    } else {
      if (at(i) != "  END" || at(i + 1) != "") error("closing END and empty line expected", i);
      i += 2;
    }
    doc.files.push_back(std::move(file));
  }
  if (i < lines.size()) ReadRelations(lines, i, doc);
  return doc;
}

}  // namespace catalog::testing
