#include "catalog/txd_relations.h"

#include <charconv>
#include <map>
#include <utility>
#include <vector>

#include "catalog/catalog_queues.h"
#include "catalog/make_label.h"
#include "platform/core/fixed_string.h"
#include "platform/files/file.h"
#include "platform/files/odbc/odbc_driver.h"

namespace catalog {
namespace {

using platform::ClipView;

constexpr std::string_view kRelationshipPrefix = "FK_";
constexpr std::string_view kSystemTable = "SYSTEM TABLE";
// The labels of a block's FILE and RELATED_FILE lines are padded to this width.
constexpr size_t kLabelWidth = 29;
constexpr size_t kBlockIndent = 28;
constexpr size_t kPartIndent = 30;
constexpr size_t kFileToRelatedFieldIndent = 34;
constexpr size_t kRelatedToFileFieldIndent = 32;

std::string Blanks(size_t n) { return std::string(n, ' '); }

std::string Padded(std::string label) {
  if (label.size() < kLabelWidth) label.resize(kLabelWidth, ' ');
  return label;
}

// "PRE:key", or nothing without a key.
std::string KeyReference(std::string_view prefix, std::string_view key_label) {
  return key_label.empty() ? std::string() : std::string(prefix) + ":" + std::string(key_label);
}

// Table names as the SQLite source compares them: ASCII letters without regard to case.
std::string FoldCase(std::string_view name) {
  std::string out(name);
  for (char& ch : out) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  return out;
}

bool IsSystemTable(const TablesQueueRecord& row) { return row.TABLETYPE == kSystemTable; }

// The field label of `column` in a table written (its label as that FILE's record has it).
std::string LabelOf(const TableKeys& keys, std::string_view column, bool oracle) {
  const auto found = keys.column_labels.find(ClipView(column));
  return found != keys.column_labels.end() ? found->second : ColumnLabel(column, oracle);
}

// The label of the key on one side of a relation over the column labelled `column`. A key
// that starts with the column serves the relation; of those, the index named `relationship`
// (given for the first file) comes first. Only when no key starts with the column: the index
// named `relationship`, else the first index that holds the column at all; else none.
std::string RelationKey(const TableKeys& keys, std::string_view column,
                        std::string_view relationship, bool oracle) {
  const TableKeyRow* leading = nullptr;
  const TableKeyRow* named = nullptr;
  const TableKeyRow* holding = nullptr;
  for (const TableKeyRow& k : keys.rows) {
    const bool over_column = LabelOf(keys, k.column, oracle) == column;
    const bool is_named = !relationship.empty() && k.index_label == relationship;
    if (over_column && k.first) {
      if (is_named) return k.key_label;
      if (leading == nullptr) leading = &k;
    }
    if (is_named && named == nullptr) named = &k;
    if (over_column && holding == nullptr) holding = &k;
  }
  if (leading != nullptr) return leading->key_label;
  if (named != nullptr) return named->key_label;
  return holding != nullptr ? holding->key_label : std::string();
}

platform::files::FileDeclaration SysrelDeclaration(std::string_view connect_string,
                                                   SysrelRecord& record) {
  platform::files::FileDeclaration d;
  d.label = "SysrelFile";
  d.name = "sysrel";
  d.owner = std::string(connect_string);
  d.layout = &SysrelLayout();
  d.record = &record;
  return d;
}

template <class R>
platform::RecordLayout RelationLayout(std::string_view prefix) {
  using platform::DecimalField;
  using platform::Field;
  return platform::MakeLayout<R>(
      prefix, DecimalField<&R::CCOLUMN>("CCOLUMN", 11, 0), DecimalField<&R::GRBIT>("GRBIT", 11, 0),
      DecimalField<&R::ICOLUMN>("ICOLUMN", 11, 0), Field<&R::SZCOLUMN>("SZCOLUMN"),
      Field<&R::SZOBJECT>("SZOBJECT"), Field<&R::SZREFERENCEDCOLUMN>("SZREFERENCEDCOLUMN"),
      Field<&R::SZREFERENCEDOBJECT>("SZREFERENCEDOBJECT"),
      Field<&R::SZRELATIONSHIP>("SZRELATIONSHIP"));
}

}  // namespace

const platform::RecordLayout& RelationsQueueRecord::Layout() {
  static const platform::RecordLayout layout = RelationLayout<RelationsQueueRecord>("SRQ");
  return layout;
}

const platform::RecordLayout& SysrelLayout() {
  static const platform::RecordLayout layout = RelationLayout<SysrelRecord>("SYSREL");
  return layout;
}

void ReadSysrelTable(std::string_view connect_string, platform::QueueBase& relations) {
  SysrelRecord SYSREL;
  platform::files::File file(SysrelDeclaration(connect_string, SYSREL),
                             platform::files::MakeOdbcDriver());
  file.Close();
  // A source without the table is no error: there are simply no relations from it.
  if (!file.Open(platform::files::kReadWrite | platform::files::kDenyWrite)) return;
  const platform::RecordLayout& from = SysrelLayout();
  const platform::RecordLayout& to = relations.layout();
  if (file.Set()) {
    while (file.Next()) {
      for (size_t n = 1; n <= from.FieldCount(); ++n) {
        const size_t target = to.Find(from.field(n).name);
        if (target != 0) relations.SetText(target, platform::GetFieldText(from.field(n), &SYSREL));
      }
      relations.Add();
    }
  }
  file.Close();
}

RelationWriter::RelationWriter(CatalogSource& catalog, TxdRunState& state, bool system_tables)
    : catalog_(catalog), state_(state), system_tables_(system_tables) {}

void RelationWriter::WriteRelations(const LineSink& line) {
  RelationsQueue.Free();
  owners_.clear();
  CollectForeignKeyRelations();
  if (RelationsQueue.Records() == 0) ReadSysrel();
  if (RelationsQueue.Records() > 0) WriteRelationBlocks(line);
}

void RelationWriter::CollectForeignKeyRelations() {
  std::vector<TableName> tables;
  for (size_t n = 1; n <= TablesQueue.Records(); ++n) {
    const TablesQueueRecord row = TablesQueue.entry(n);
    if (!system_tables_ && IsSystemTable(row)) continue;
    tables.emplace_back(ClipView(row.OWNER), ClipView(row.ORGINALTABLENAME));
  }
  collected_.clear();

  if (!catalog_.ForeignKeysScanCatalog()) {
    for (const TableName& table : tables) {
      catalog_.ReadForeignKeys(table.second, table.first);
      for (size_t i = 1; i <= ForeignKeysQueue.Records(); ++i) {
        AddForeignKey(ForeignKeysQueue.entry(i), table);
      }
    }
    return;
  }

  // The same rows in the same order, read once per table through the tables that hold the
  // foreign keys: the source lists the keys referring to a table by walking its tables in
  // their catalog order (the order of TablesQueue as read), each table's keys in its own
  // order. So the rows are gathered per referred table in that walk, then taken in the order
  // of the referred tables.
  std::map<TableName, size_t> position;
  for (size_t i = 0; i < tables.size(); ++i) {
    position.emplace(TableName(tables[i].first, FoldCase(tables[i].second)), i);
  }
  std::vector<std::vector<ForeignKeysQueueRecord>> referring(tables.size());
  for (const TableName& table : tables) {
    catalog_.ReadForeignKeysOf(table.second, table.first);
    for (size_t i = 1; i <= ForeignKeysQueue.Records(); ++i) {
      ForeignKeysQueueRecord row = ForeignKeysQueue.entry(i);
      const auto found = position.find(
          TableName(ClipView(row.PKTABLE_SCHEM), FoldCase(ClipView(row.PKTABLE_NAME))));
      if (found != position.end()) referring[found->second].push_back(std::move(row));
    }
  }
  for (size_t i = 0; i < tables.size(); ++i) {
    for (const ForeignKeysQueueRecord& row : referring[i]) AddForeignKey(row, tables[i]);
  }
}

void RelationWriter::AddForeignKey(const ForeignKeysQueueRecord& row,
                                   const TableName& primary_table) {
  const TableName foreign_table(ClipView(row.FKTABLE_SCHEM), ClipView(row.FKTABLE_NAME));
  // A table without a FILE here (another owner's, a system table, one filtered out) has no
  // prefix and no keys to relate.
  if (!state_.written.contains(foreign_table)) return;
  RelationsQueueRecord& SRQ = RelationsQueue.buffer;
  SRQ = RelationsQueueRecord{};
  SRQ.SZOBJECT = foreign_table.second;
  SRQ.SZCOLUMN = row.FKCOLUMN_NAME.view();
  // The table asked for, as the dictionary names it: a source that matches names without
  // regard to case reports the name as the foreign key wrote it.
  SRQ.SZREFERENCEDOBJECT = primary_table.second;
  SRQ.SZREFERENCEDCOLUMN = row.PKCOLUMN_NAME.view();
  if (ClipView(SRQ.SZREFERENCEDCOLUMN).empty()) {
    // A foreign key written without its columns refers to the primary key; the source then
    // leaves the column out, so it is taken from the primary key by the key sequence.
    const std::vector<std::string>& primary = KeysOf(primary_table).primary_key;
    const std::string_view key_seq = ClipView(row.KEY_SEQ);
    int seq = 0;
    std::from_chars(key_seq.data(), key_seq.data() + key_seq.size(), seq);
    if (seq >= 1 && static_cast<size_t>(seq) <= primary.size()) {
      SRQ.SZREFERENCEDCOLUMN = primary[static_cast<size_t>(seq) - 1];
    }
  }
  SRQ.SZRELATIONSHIP =
      std::string(kRelationshipPrefix) + primary_table.second + foreign_table.second;
  auto names = std::make_tuple(
      std::string(ClipView(SRQ.SZCOLUMN)), std::string(ClipView(SRQ.SZOBJECT)),
      std::string(ClipView(SRQ.SZREFERENCEDCOLUMN)), std::string(ClipView(SRQ.SZREFERENCEDOBJECT)),
      foreign_table.first, primary_table.first);
  if (!collected_.insert(std::move(names)).second) return;
  RelationsQueue.Add();
  owners_.emplace_back(foreign_table.first, primary_table.first);
}

void RelationWriter::ReadSysrel() { catalog_.ReadSysrel(RelationsQueue); }

const TableKeys& RelationWriter::KeysOf(const TableName& table) {
  auto found = state_.table_keys.find(table);
  if (found != state_.table_keys.end()) return found->second;
  // A table the run did not write (a name from sysrel): read as the key writer reads it.
  catalog_.ReadColumns(table.second, table.first);
  PrepareTableKeys(catalog_, table.second, table.first);
  return state_.table_keys.emplace(table, TakeTableKeys(state_.oracle)).first->second;
}

const std::pair<const TableName, WrittenTable>* RelationWriter::WrittenFile(
    const TableName& table) const {
  const auto found = state_.written.find(table);
  if (found != state_.written.end()) return &*found;
  if (!table.first.empty()) return nullptr;
  for (const auto& entry : state_.written) {
    if (entry.first.second == table.second) return &entry;
  }
  return nullptr;
}

void RelationWriter::WriteRelationBlocks(const LineSink& line) {
  line("[RELATIONS]");
  line("");
  line("");
  const bool oracle = state_.oracle;
  for (size_t i = 1; i <= RelationsQueue.Records(); ++i) {
    const RelationsQueueRecord row = RelationsQueue.entry(i);
    const bool has_owners = i <= owners_.size();
    const TableName object(has_owners ? owners_[i - 1].first : std::string(),
                           ClipView(row.SZOBJECT));
    const TableName referenced(has_owners ? owners_[i - 1].second : std::string(),
                               ClipView(row.SZREFERENCEDOBJECT));
    if (object == referenced) continue;
    const auto* file = WrittenFile(object);
    const auto* related = WrittenFile(referenced);
    if (file == nullptr || related == nullptr) continue;
    const std::string& file_label = file->second.label;
    const std::string& related_label = related->second.label;
    const TableKeys& file_keys = KeysOf(file->first);
    const TableKeys& related_keys = KeysOf(related->first);
    const std::string column = LabelOf(file_keys, row.SZCOLUMN, oracle);
    const std::string related_column = LabelOf(related_keys, row.SZREFERENCEDCOLUMN, oracle);
    const std::string file_key =
        RelationKey(file_keys, column, MakeLabel(row.SZRELATIONSHIP), oracle);
    const std::string related_key = RelationKey(related_keys, related_column, {}, oracle);

    const std::string& p1 = file->second.prefix;
    const std::string& p2 = related->second.prefix;
    line(Blanks(kBlockIndent) + "RELATION,MANY:ONE");
    line(Padded(file_label) + " FILE(" + KeyReference(p1, file_key) + ")");
    line(Padded(related_label) + " RELATED_FILE(" + KeyReference(p2, related_key) + ")");
    if (!related_key.empty()) {
      line(Blanks(kPartIndent) + "FILE_TO_RELATED_KEY");
      line(Blanks(kFileToRelatedFieldIndent) + "FIELD(" + p1 + ":" + column + "," + p2 + ":" +
           related_column + ")");
      line(Blanks(kPartIndent) + "END");
    }
    line(Blanks(kPartIndent) + "RELATED_FILE_TO_KEY");
    line(Blanks(kRelatedToFileFieldIndent) + "FIELD(" + p2 + ":" + related_column + "," + p1 + ":" +
         column + ")");
    line(Blanks(kPartIndent) + "END");
    line(Blanks(kBlockIndent) + "END");
    line("");
  }
}

}  // namespace catalog
