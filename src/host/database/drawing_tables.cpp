// The drawing's symbol tables: lookup by name without regard to case, and
// records added in the session.

#include "dxf/text_case.h"
#include "host/database/drawing.h"
#include "host/database/record_scan.h"

namespace host {

Table* Drawing::FindTable(std::string_view name) {
  for (Table& table : tables_) {
    if (dxf::EqualNoCase(table.name, name)) return &table;
  }
  return nullptr;
}

const Table* Drawing::FindTable(std::string_view name) const {
  return const_cast<Drawing*>(this)->FindTable(name);
}

void Drawing::BuildNameIndex(size_t table) const {
  NameIndex& index = table_index_[table];
  index.by_name.clear();
  for (TableRecordId id : tables_[table].records) {
    const TableRecord& record = table_records_[id];
    if (record.erased) continue;
    auto name = FindValue(record.text.text(), 2);
    if (!name) continue;
    // The first of equal names wins (the *ACTIVE viewport configuration, for
    // one, may have several records).
    index.by_name.emplace(dxf::UpperCase1252(encoding_.Decode(dxf::TrimBlanks(*name))), id);
  }
  index.built = true;
}

TableRecordId Drawing::FindTableRecord(std::string_view table, std::string_view name) const {
  const Table* found_table = FindTable(table);
  if (found_table == nullptr) return kNoRecord;
  size_t t = static_cast<size_t>(found_table - tables_.data());
  std::string key = dxf::UpperCase1252(name);
  if (!table_index_[t].built) BuildNameIndex(t);
  auto found = table_index_[t].by_name.find(key);
  if (found != table_index_[t].by_name.end() && table_records_[found->second].erased) {
    // Erased since the index was built: look again among the others.
    BuildNameIndex(t);
    found = table_index_[t].by_name.find(key);
  }
  return found == table_index_[t].by_name.end() ? kNoRecord : found->second;
}

void Drawing::TableRecordTags(TableRecordId id, std::vector<dxf::TagView>* tags) const {
  table_records_[id].text.Split(tags);
}

void Drawing::SetTableRecordTags(TableRecordId id, const dxf::Tags& tags) {
  table_records_[id].text.Replace(dxf::WriteTags(tags, file_.style));
  // The name may have changed; the indexes are rebuilt on the next lookup.
  for (NameIndex& index : table_index_) index.built = false;
}

TableRecordId Drawing::AddTableRecord(std::string_view table_name, const dxf::Tags& tags) {
  Table* table = FindTable(table_name);
  if (table == nullptr) return kNoRecord;
  TableRecordId id = static_cast<TableRecordId>(table_records_.size());
  TableRecord record;
  record.text.Replace(dxf::WriteTags(tags, file_.style));
  table_records_.push_back(std::move(record));
  table->records.push_back(id);
  UpdateTableCount(table);
  NameIndex& index = table_index_[static_cast<size_t>(table - tables_.data())];
  if (index.built) {
    auto name = FindValue(table_records_[id].text.text(), 2);
    if (name) {
      index.by_name.emplace(dxf::UpperCase1252(encoding_.Decode(dxf::TrimBlanks(*name))), id);
    }
  }
  return id;
}

// The table head's 70 is the number of records that follow.
void Drawing::UpdateTableCount(Table* table) {
  long long count = 0;
  for (TableRecordId id : table->records) {
    if (!table_records_[id].erased) ++count;
  }
  std::string_view text = table->head.text();
  dxf::TagCursor cursor(text);
  dxf::TagView tag;
  while (cursor.Next(&tag)) {
    if (tag.code == 70) {
      table->head.Replace(ReplaceValue(text, tag, dxf::FormatInt(count)));
      return;
    }
  }
}

}  // namespace host
