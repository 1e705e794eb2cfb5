// A copy of a drawing that views the original's records: the conversion's
// checks of the drawing as loaded read it on one thread while the host
// changes the original on another.

#include <memory>

#include "host/database/drawing.h"
#include "host/two_halves.h"

namespace host {

RecordText RecordText::ViewOrCopy() const {
  if (!owned_) return RecordText(text(), index_);
  RecordText copy;
  copy.Replace(text());
  return copy;
}

namespace {

// Each of these is copied field by field below: a field added to one of
// them must be copied there too.
static_assert(sizeof(Entity) == 48);
static_assert(sizeof(TableRecord) == 32);
static_assert(sizeof(Container) == 224);
static_assert(sizeof(Table) == 136);

Entity CopyOf(const Entity& e) {
  Entity copy;
  copy.text = e.text.ViewOrCopy();
  copy.container = e.container;
  copy.position = e.position;
  copy.line = e.line;
  copy.erased = e.erased;
  copy.dimension = e.dimension;
  copy.known_type = e.known_type;
  copy.parent = e.parent;
  copy.in_space_block = e.in_space_block;
  return copy;
}

std::optional<RecordText> CopyOf(const std::optional<RecordText>& record) {
  if (!record) return std::nullopt;
  return record->ViewOrCopy();
}

Container CopyOf(const Container& c) {
  Container copy;
  copy.kind = c.kind;
  copy.block_name = c.block_name;
  copy.layout_name = c.layout_name;
  copy.block_record_handle = c.block_record_handle;
  copy.active_layout = c.active_layout;
  copy.block_record = CopyOf(c.block_record);
  copy.endblk_record = CopyOf(c.endblk_record);
  copy.block_line = c.block_line;
  copy.entities = c.entities;
  copy.endblk = c.endblk;
  copy.erased = c.erased;
  copy.revision = c.revision;
  return copy;
}

Table CopyOf(const Table& t) {
  Table copy;
  copy.name = t.name;
  copy.head = t.head.ViewOrCopy();
  copy.records = t.records;
  copy.endtab = t.endtab.ViewOrCopy();
  copy.handle = t.handle;
  return copy;
}

TableRecord CopyOf(const TableRecord& r) {
  TableRecord copy;
  copy.text = r.text.ViewOrCopy();
  copy.line = r.line;
  copy.erased = r.erased;
  return copy;
}

template <class T>
std::vector<T> CopyOf(const std::vector<T>& items) {
  std::vector<T> copies;
  copies.reserve(items.size());
  for (const T& item : items) copies.push_back(CopyOf(item));
  return copies;
}

}  // namespace

std::unique_ptr<Drawing> Drawing::ViewCopy() const {
  std::unique_ptr<Drawing> copy(new Drawing());
  Drawing& d = *copy;
  // The file's facts, not its buffer and indexes: the records view those.
  d.file_.name = file_.name;
  d.file_.leading = file_.leading;
  d.file_.trailing = file_.trailing;
  d.file_.style = file_.style;
  d.file_.was_binary = file_.was_binary;
  d.file_.cr_line_ends = file_.cr_line_ends;
  d.file_.version = file_.version;
  d.file_.codepage = file_.codepage;
  d.encoding_ = encoding_;
  d.sections_.reserve(sections_.size());
  for (const Section& section : sections_) {
    Section& s = d.sections_.emplace_back();
    s.kind = section.kind;
    s.head = section.head.ViewOrCopy();
    s.end = section.end.ViewOrCopy();
    s.opaque = section.opaque;
  }
  d.header_ = header_.ViewOrCopy();
  d.eof_ = eof_.ViewOrCopy();
  for (const std::unique_ptr<OpaqueSection>& section : opaque_) {
    auto& s = d.opaque_.emplace_back(std::make_unique<OpaqueSection>());
    s->records.reserve(section->records.size());
    for (const RecordText& record : section->records) s->records.push_back(record.ViewOrCopy());
    if (section.get() == objects_) d.objects_ = s.get();
  }
  // The entities are most of the records: in two halves at once.
  d.entities_.resize(entities_.size());
  RunInTwoHalvesIfLong(entities_.size(), [&](size_t begin, size_t end) {
    for (size_t i = begin; i < end; ++i) d.entities_[i] = CopyOf(entities_[i]);
  });
  d.loaded_records_ = loaded_records_;
  d.walk_ = walk_;
  d.containers_ = CopyOf(containers_);
  d.block_order_ = block_order_;
  d.block_by_name_ = block_by_name_;
  d.tables_ = CopyOf(tables_);
  d.table_records_ = CopyOf(table_records_);
  d.table_index_ = table_index_;
  d.model_space_ = model_space_;
  d.active_layout_ = active_layout_;
  d.has_handles_ = has_handles_;
  d.has_space_block_entities_ = has_space_block_entities_;
  d.handles_scanned_ = handles_scanned_;
  d.next_handle_ = next_handle_;
  d.handles_in_use_ = handles_in_use_;
  d.free_handle_ = free_handle_;
  d.handseed_dirty_ = handseed_dirty_;
  return copy;
}

}  // namespace host
