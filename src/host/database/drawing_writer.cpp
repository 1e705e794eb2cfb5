// Drawing::Write: the sections in file order, every record that did not
// change exactly as it was read.

#include "dxf/tag.h"
#include "host/database/drawing.h"

namespace host {

class DrawingWriter {
 public:
  template <class Sink>
  static void Emit(const Drawing& d, Sink& out) {
    d.SyncHandseed();
    out(d.file_.leading);
    bool entities_written = false;
    for (const Drawing::Section& section : d.sections_) {
      switch (section.kind) {
        case Drawing::SectionKind::kHeader:
          out(d.header_.text());
          break;
        case Drawing::SectionKind::kTables:
          out(section.head.text());
          EmitTables(d, out);
          break;
        case Drawing::SectionKind::kBlocks:
          out(section.head.text());
          EmitBlocks(d, out);
          break;
        case Drawing::SectionKind::kEntities:
          out(section.head.text());
          EmitEntities(d, out);
          entities_written = true;
          break;
        case Drawing::SectionKind::kOpaque:
          for (const RecordText& record : d.opaque_[section.opaque]->records) out(record.text());
          continue;  // the ENDSEC is among its records
      }
      out(section.end.text());
    }
    if (!entities_written && HasSpaceEntities(d)) {
      // Entities were added to a file that had no ENTITIES section.
      std::string head, end;
      dxf::AppendTag(&head, 0, "SECTION", d.file_.style);
      dxf::AppendTag(&head, 2, "ENTITIES", d.file_.style);
      dxf::AppendTag(&end, 0, "ENDSEC", d.file_.style);
      out(head);
      EmitEntities(d, out);
      out(end);
    }
    out(d.eof_.text());
    out(d.file_.trailing);
  }

 private:
  static bool InEntitiesSection(const Drawing& d, const Entity& e) {
    return (e.container == d.model_space_ || e.container == d.active_layout_) && !e.in_space_block;
  }

  static bool HasSpaceEntities(const Drawing& d) {
    for (EntityId id : d.walk_) {
      if (id != kNoEntity && !d.entities_[id].erased && InEntitiesSection(d, d.entities_[id])) {
        return true;
      }
    }
    return false;
  }

  template <class Sink>
  static void EmitTables(const Drawing& d, Sink& out) {
    for (const Table& table : d.tables_) {
      out(table.head.text());
      for (TableRecordId id : table.records) {
        if (!d.table_records_[id].erased) out(d.table_records_[id].text.text());
      }
      out(table.endtab.text());
    }
  }

  // Model space and the active layout keep only their BLOCK/ENDBLK pair
  // here (their entities are in ENTITIES, but for those read inside the
  // pair); the other layouts hold theirs.
  template <class Sink>
  static void EmitBlocks(const Drawing& d, Sink& out) {
    std::vector<std::vector<EntityId>> layout_entities;
    bool needed = d.has_space_block_entities_;
    for (ContainerId id : d.block_order_) {
      const Container& c = d.containers_[id];
      needed = needed || (c.kind == ContainerKind::kLayout && !c.active_layout);
    }
    if (needed) layout_entities = EntitiesByLayout(d);
    for (ContainerId id : d.block_order_) {
      const Container& c = d.containers_[id];
      if (c.erased || !c.block_record) continue;
      out(c.block_record->text());
      if (c.kind == ContainerKind::kBlock) {
        for (EntityId e : c.entities) {
          if (!d.entities_[e].erased || e == c.endblk) out(d.entities_[e].text.text());
        }
      } else if (!layout_entities.empty()) {
        for (EntityId e : layout_entities[id]) out(d.entities_[e].text.text());
      }
      if (c.endblk_record) out(c.endblk_record->text());
    }
  }

  static std::vector<std::vector<EntityId>> EntitiesByLayout(const Drawing& d) {
    std::vector<std::vector<EntityId>> lists(d.containers_.size());
    for (EntityId id : d.walk_) {
      if (id == kNoEntity) continue;
      const Entity& e = d.entities_[id];
      if (!e.erased && !InEntitiesSection(d, e)) lists[e.container].push_back(id);
    }
    return lists;
  }

  template <class Sink>
  static void EmitEntities(const Drawing& d, Sink& out) {
    for (EntityId id : d.walk_) {
      if (id == kNoEntity) continue;
      const Entity& e = d.entities_[id];
      if (!e.erased && InEntitiesSection(d, e)) out(e.text.text());
    }
  }
};

namespace {

// The text with its line ends as a CR-only file writes them.
void LfToCr(char* text, size_t size) {
  for (size_t i = 0; i < size; ++i)
    if (text[i] == '\n') text[i] = '\r';
}

}  // namespace

void Drawing::Write(dxf::OutputFile* out) const {
  if (!file_.cr_line_ends) {
    auto sink = [out](std::string_view text) { out->Write(text); };
    DrawingWriter::Emit(*this, sink);
    return;
  }
  std::string chunk;
  auto sink = [out, &chunk](std::string_view text) {
    chunk.assign(text);
    LfToCr(chunk.data(), chunk.size());
    out->Write(chunk);
  };
  DrawingWriter::Emit(*this, sink);
}

std::string Drawing::WriteToString() const {
  std::string text;
  text.reserve(file_.buffer.size() + file_.buffer.size() / 8);
  auto sink = [&text](std::string_view part) { text.append(part); };
  DrawingWriter::Emit(*this, sink);
  if (file_.cr_line_ends) LfToCr(text.data(), text.size());
  return text;
}

}  // namespace host
