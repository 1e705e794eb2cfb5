// Drawing::Load: sorts the records of a read file into sections, tables,
// block definitions and spaces in one pass, then names the layouts.

#include <unordered_map>

#include "dxf/error_text.h"
#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/database/drawing.h"
#include "host/database/record_scan.h"

namespace host {

class DrawingLoader {
 public:
  DrawingLoader(Drawing* drawing, dxf::Error* err) : d_(*drawing), err_(err) {}

  bool Run() {
    d_.encoding_ = dxf::Encoding::For(d_.file_.version, d_.file_.codepage);
    d_.entities_.reserve(d_.file_.records.size());
    for (const dxf::RawRecord& record : d_.file_.records) {
      if (!OnRecord(record)) return false;
    }
    FinishSpaces();
    NameLayouts();
    for (ContainerId id = 0; id < d_.containers_.size(); ++id) {
      const Container& c = d_.containers_[id];
      if (c.block_record) d_.block_by_name_.emplace(dxf::UpperCase1252(c.block_name), id);
    }
    d_.table_index_.resize(d_.tables_.size());
    d_.has_handles_ = !d_.is_r12() || d_.HeaderValue("$HANDLING") == "1";
    // The records were only needed for sorting; the drawing keeps its own
    // views into the buffer.
    d_.file_.records.clear();
    d_.file_.records.shrink_to_fit();
    return true;
  }

 private:
  enum class Area { kNone, kHeader, kTables, kBlocks, kEntities, kOpaque };

  bool Fail(uint32_t line, int code, std::string message) {
    *err_ = dxf::MakeError(d_.file_.name, line, code, std::move(message));
    return false;
  }

  const uint8_t* IndexOf(const dxf::RawRecord& record) const {
    if (record.tag_index == dxf::kNoTagIndex) return nullptr;
    return reinterpret_cast<const uint8_t*>(d_.file_.tag_index.data()) + record.tag_index;
  }

  std::string_view Value(std::string_view text, int code) {
    return dxf::TrimBlanks(FindValue(text, code).value_or(""));
  }

  bool OnRecord(const dxf::RawRecord& record) {
    std::string_view type = dxf::RecordType(record.text);
    if (type == "SECTION") return OnSection(record);
    if (type == "ENDSEC") return OnEndSection(record);
    if (type == "EOF") {
      d_.eof_ = RecordText(record.text);
      return true;
    }
    switch (area_) {
      case Area::kHeader:
        return Fail(record.line, 0,
                    "expected header variables (group code 9), found " + dxf::QuoteFound(type));
      case Area::kTables:
        return OnTableRecord(record, type);
      case Area::kBlocks:
        return OnBlockRecord(record, type);
      case Area::kEntities:
        AddEntity(record, type, kNoContainer);
        return true;
      case Area::kOpaque:
        d_.opaque_.back()->records.emplace_back(record.text);
        return true;
      case Area::kNone:
        break;
    }
    // The reader lets only SECTION and EOF stand outside a section.
    return Fail(record.line, 0, "expected SECTION, found " + dxf::QuoteFound(type));
  }

  bool OnSection(const dxf::RawRecord& record) {
    std::string name = dxf::UpperCase1252(Value(record.text, 2));
    Drawing::Section section;
    if (name == "HEADER") {
      section.kind = Drawing::SectionKind::kHeader;
      d_.header_ = RecordText(record.text);
      area_ = Area::kHeader;
    } else if (name == "TABLES") {
      section.kind = Drawing::SectionKind::kTables;
      area_ = Area::kTables;
    } else if (name == "BLOCKS") {
      section.kind = Drawing::SectionKind::kBlocks;
      area_ = Area::kBlocks;
    } else if (name == "ENTITIES") {
      section.kind = Drawing::SectionKind::kEntities;
      area_ = Area::kEntities;
    } else {
      section.kind = Drawing::SectionKind::kOpaque;
      section.opaque = d_.opaque_.size();
      d_.opaque_.push_back(std::make_unique<OpaqueSection>());
      d_.opaque_.back()->records.emplace_back(record.text);
      if (name == "OBJECTS" && d_.objects_ == nullptr) d_.objects_ = d_.opaque_.back().get();
      area_ = Area::kOpaque;
    }
    if (section.kind != Drawing::SectionKind::kOpaque) {
      // Two ENTITIES (or HEADER, ...) sections cannot be told apart once
      // their contents are sorted; such a file is refused, not mangled.
      for (const Drawing::Section& other : d_.sections_) {
        if (other.kind == section.kind) {
          // The reader has checked that the name tag follows the SECTION line.
          return Fail(record.line + 2, 2, "expected one " + name + " section, found a second one");
        }
      }
      section.head = RecordText(record.text);
    }
    d_.sections_.push_back(std::move(section));
    return true;
  }

  bool OnEndSection(const dxf::RawRecord& record) {
    if (open_table_ != kNone) {
      return Fail(record.line, 0,
                  "expected ENDTAB before ENDSEC, found ENDSEC (table " +
                      d_.tables_[open_table_].name + ")");
    }
    if (open_block_ != kNoContainer) {
      return Fail(record.line, 0,
                  "expected ENDBLK before ENDSEC, found ENDSEC (block " +
                      d_.containers_[open_block_].block_name + ")");
    }
    open_parent_ = kNoEntity;
    Drawing::Section& section = d_.sections_.back();
    if (section.kind == Drawing::SectionKind::kOpaque) {
      d_.opaque_[section.opaque]->records.emplace_back(record.text);
    } else {
      section.end = RecordText(record.text);
    }
    area_ = Area::kNone;
    return true;
  }

  bool OnTableRecord(const dxf::RawRecord& record, std::string_view type) {
    if (type == "TABLE") {
      if (open_table_ != kNone) {
        return Fail(record.line, 0,
                    "expected ENDTAB before TABLE, found TABLE (table " +
                        d_.tables_[open_table_].name + ")");
      }
      Table table;
      table.name = std::string(Value(record.text, 2));
      table.head = RecordText(record.text);
      table.handle = std::string(Value(record.text, 5));
      open_table_ = d_.tables_.size();
      d_.tables_.push_back(std::move(table));
      return true;
    }
    if (open_table_ == kNone) {
      return Fail(record.line, 0, "expected TABLE, found " + dxf::QuoteFound(type));
    }
    Table& table = d_.tables_[open_table_];
    if (type == "ENDTAB") {
      table.endtab = RecordText(record.text);
      open_table_ = kNone;
      return true;
    }
    table.records.push_back(static_cast<TableRecordId>(d_.table_records_.size()));
    TableRecord entry;
    entry.text = RecordText(record.text, IndexOf(record));
    entry.line = record.line;
    d_.table_records_.push_back(std::move(entry));
    return true;
  }

  bool OnBlockRecord(const dxf::RawRecord& record, std::string_view type) {
    if (type == "BLOCK") {
      if (open_block_ != kNoContainer) {
        return Fail(record.line, 0,
                    "expected ENDBLK before BLOCK, found BLOCK (block " +
                        d_.containers_[open_block_].block_name + ")");
      }
      Container c;
      c.block_name = d_.encoding_.Decode(Value(record.text, 2));
      c.kind = KindOfBlock(c.block_name);
      c.block_record = RecordText(record.text, IndexOf(record));
      c.block_line = record.line;
      open_block_ = static_cast<ContainerId>(d_.containers_.size());
      if (c.kind == ContainerKind::kModelSpace) {
        if (d_.model_space_ == kNoContainer) {
          d_.model_space_ = open_block_;
        } else {
          c.kind = ContainerKind::kBlock;  // a second model space is kept as a plain block
        }
      } else if (c.kind == ContainerKind::kLayout && IsActiveLayoutName(c.block_name)) {
        if (d_.active_layout_ == kNoContainer) {
          d_.active_layout_ = open_block_;
          c.active_layout = true;
        } else {
          c.kind = ContainerKind::kBlock;
        }
      }
      d_.containers_.push_back(std::move(c));
      d_.block_order_.push_back(open_block_);
      return true;
    }
    if (open_block_ == kNoContainer) {
      return Fail(record.line, 0, "expected BLOCK, found " + dxf::QuoteFound(type));
    }
    if (type == "ENDBLK") {
      open_parent_ = kNoEntity;
      Container& c = d_.containers_[open_block_];
      if (c.kind == ContainerKind::kBlock) {
        c.endblk = AddEntity(record, type, open_block_);
      } else {
        c.endblk_record = RecordText(record.text);
      }
      open_block_ = kNoContainer;
      return true;
    }
    AddEntity(record, type, open_block_);
    return true;
  }

  static bool IsActiveLayoutName(std::string_view name) {
    return dxf::EqualNoCase(name, "*Paper_Space") || dxf::EqualNoCase(name, "$PAPER_SPACE");
  }

  static ContainerKind KindOfBlock(std::string_view name) {
    if (dxf::EqualNoCase(name, "*Model_Space") || dxf::EqualNoCase(name, "$MODEL_SPACE")) {
      return ContainerKind::kModelSpace;
    }
    if (IsActiveLayoutName(name)) return ContainerKind::kLayout;
    // Further layouts: *Paper_Space0, *Paper_Space1, ...
    constexpr std::string_view kPrefix = "*Paper_Space";
    if (name.size() > kPrefix.size() && dxf::EqualNoCase(name.substr(0, kPrefix.size()), kPrefix) &&
        name.substr(kPrefix.size()).find_first_not_of("0123456789") == std::string_view::npos) {
      return ContainerKind::kLayout;
    }
    return ContainerKind::kBlock;
  }

  // Dimensions and the texts of anonymous blocks keep their first state
  // (see Drawing::LoadedRecord).
  static bool KeepsLoadedRecord(std::string_view type, const Container& c) {
    if (type == "DIMENSION" || type == "ARC_DIMENSION" || type == "LARGE_RADIAL_DIMENSION") {
      return true;
    }
    return (type == "MTEXT" || type == "TEXT") && c.kind == ContainerKind::kBlock &&
           !c.block_name.empty() && c.block_name.front() == '*';
  }

  ContainerId SpaceContainer(bool paper) {
    ContainerId* id = paper ? &d_.active_layout_ : &d_.model_space_;
    if (*id == kNoContainer) {
      *id = static_cast<ContainerId>(d_.containers_.size());
      Container c;
      c.kind = paper ? ContainerKind::kLayout : ContainerKind::kModelSpace;
      c.active_layout = paper;
      if (d_.is_r12()) {
        c.block_name = paper ? "$PAPER_SPACE" : "$MODEL_SPACE";
      } else {
        c.block_name = paper ? "*Paper_Space" : "*Model_Space";
      }
      d_.containers_.push_back(std::move(c));
    }
    return *id;
  }

  // Adds an entity record of the ENTITIES section (block == kNoContainer) or
  // of a block definition. VERTEX ... SEQEND after a POLYLINE and ATTRIB ...
  // SEQEND after an INSERT with 66=1 become its subentities.
  EntityId AddEntity(const dxf::RawRecord& record, std::string_view type, ContainerId block) {
    EntityId id = static_cast<EntityId>(d_.entities_.size());
    Entity e;
    e.text = RecordText(record.text, IndexOf(record));
    e.dimension = IsDimensionType(type);
    e.known_type = KnownEntityType(type);
    e.line = record.line;
    bool closes = false;
    if (open_parent_ != kNoEntity) {
      bool fits = parent_is_polyline_ ? type == "VERTEX" : type == "ATTRIB";
      closes = type == "SEQEND";
      if (fits || closes) {
        e.parent = open_parent_;
      } else {
        open_parent_ = kNoEntity;  // the SEQEND is missing; the sequence ends here
      }
    }
    if (e.parent != kNoEntity) {
      e.container = d_.entities_[e.parent].container;
    } else if (block != kNoContainer) {
      e.container = block;
    } else {
      auto space = FindCommonValue(record.text, 67);
      e.container = SpaceContainer(space && dxf::ParseInt(*space) == 1);
    }
    if (e.parent == kNoEntity && type == "POLYLINE") {
      open_parent_ = id;
      parent_is_polyline_ = true;
    } else if (e.parent == kNoEntity && type == "INSERT") {
      auto follows = FindValue(record.text, 66);
      if (follows && dxf::ParseInt(*follows) == 1) {
        open_parent_ = id;
        parent_is_polyline_ = false;
      }
    }
    if (closes) open_parent_ = kNoEntity;

    Container& c = d_.containers_[e.container];
    if (c.kind == ContainerKind::kBlock) {
      e.position = static_cast<uint32_t>(c.entities.size());
      c.entities.push_back(id);
    } else if (block != kNoContainer) {
      // Entities inside a space's block (the other layouts) are walked after
      // the ENTITIES section; their positions are set then.
      space_block_entities_.push_back(id);
      if (c.kind == ContainerKind::kModelSpace || c.active_layout) {
        e.in_space_block = true;
        d_.has_space_block_entities_ = true;
      }
    } else {
      e.position = static_cast<uint32_t>(d_.walk_.size());
      d_.walk_.push_back(id);
    }
    if (KeepsLoadedRecord(type, c)) d_.loaded_records_.emplace_back(id, record.text);
    d_.entities_.push_back(std::move(e));
    return id;
  }

  void FinishSpaces() {
    SpaceContainer(false);
    SpaceContainer(true);
    for (EntityId id : space_block_entities_) {
      d_.entities_[id].position = static_cast<uint32_t>(d_.walk_.size());
      d_.walk_.push_back(id);
    }
  }

  struct BlockRecordInfo {
    std::string handle;
    std::string layout_handle;
  };

  // Layout names: BLOCK_RECORD (2 name, 5 handle, 340 LAYOUT) leads to the
  // LAYOUT object (5 handle, 1 name); a LAYOUT also names its block record
  // (330 in its AcDbLayout part). Layouts found in neither are called
  // Layout1, Layout2, ... as a CAD program would name new ones.
  void NameLayouts() {
    std::unordered_map<std::string, BlockRecordInfo> records;  // upper-case block name
    if (const Table* table = d_.FindTable("BLOCK_RECORD")) {
      for (TableRecordId id : table->records) {
        std::string_view text = d_.table_records_[id].text.text();
        BlockRecordInfo info{std::string(Value(text, 5)), std::string(Value(text, 340))};
        records.emplace(dxf::UpperCase1252(d_.encoding_.Decode(Value(text, 2))), std::move(info));
      }
    }
    std::unordered_map<std::string, std::string> name_by_layout, name_by_block_record;
    if (d_.objects_) {
      for (const RecordText& object : d_.objects_->records) {
        if (dxf::RecordType(object.text()) != "LAYOUT") continue;
        LayoutObject layout = ReadLayoutObject(object.text());
        if (layout.name.empty()) continue;
        std::string name = d_.encoding_.Decode(layout.name);
        name_by_layout[dxf::UpperCase1252(Value(object.text(), 5))] = name;
        if (!layout.block_record.empty()) {
          name_by_block_record[dxf::UpperCase1252(layout.block_record)] = name;
        }
      }
    }
    for (Container& c : d_.containers_) {
      auto record = records.find(dxf::UpperCase1252(c.block_name));
      if (record != records.end()) {
        c.block_record_handle = record->second.handle;
      } else if (c.block_record) {
        c.block_record_handle = std::string(Value(c.block_record->text(), 330));
      }
      if (c.kind == ContainerKind::kModelSpace) c.layout_name = "Model";
      if (c.kind != ContainerKind::kLayout || d_.is_r12()) continue;
      if (record != records.end()) {
        auto found = name_by_layout.find(dxf::UpperCase1252(record->second.layout_handle));
        if (found != name_by_layout.end()) c.layout_name = found->second;
      }
      if (c.layout_name.empty() && !c.block_record_handle.empty()) {
        auto found = name_by_block_record.find(dxf::UpperCase1252(c.block_record_handle));
        if (found != name_by_block_record.end()) c.layout_name = found->second;
      }
    }
    int next = 1;
    for (ContainerId id : d_.Layouts()) {
      Container& c = d_.containers_[id];
      if (!c.layout_name.empty()) continue;
      std::string name;
      do {
        name = "Layout" + std::to_string(next++);
      } while (LayoutNameTaken(name));
      c.layout_name = name;
    }
  }

  bool LayoutNameTaken(std::string_view name) const {
    for (const Container& c : d_.containers_) {
      if (c.kind == ContainerKind::kLayout && dxf::EqualNoCase(c.layout_name, name)) return true;
    }
    return false;
  }

  struct LayoutObject {
    std::string_view name;
    std::string_view block_record;
  };

  // A LAYOUT's name (1) and block record (330) stand in its AcDbLayout part;
  // its AcDbPlotSettings part before has a 1 of its own (the page setup) and
  // the common part a 330 (the owner).
  static LayoutObject ReadLayoutObject(std::string_view text) {
    LayoutObject layout;
    dxf::TagCursor cursor(text);
    dxf::TagView tag;
    bool in_layout = false;
    while (cursor.Next(&tag)) {
      if (tag.code == 100) in_layout = dxf::TrimBlanks(tag.value) == "AcDbLayout";
      if (!in_layout) continue;
      if (tag.code == 1 && layout.name.empty()) layout.name = dxf::TrimBlanks(tag.value);
      if (tag.code == 330 && layout.block_record.empty()) {
        layout.block_record = dxf::TrimBlanks(tag.value);
      }
    }
    return layout;
  }

  static constexpr size_t kNone = SIZE_MAX;

  Drawing& d_;
  dxf::Error* err_;
  Area area_ = Area::kNone;
  size_t open_table_ = kNone;
  ContainerId open_block_ = kNoContainer;
  EntityId open_parent_ = kNoEntity;
  bool parent_is_polyline_ = false;
  std::vector<EntityId> space_block_entities_;
};

std::unique_ptr<Drawing> Drawing::Load(dxf::RawFile file, dxf::Error* err) {
  std::unique_ptr<Drawing> drawing(new Drawing());
  drawing->file_ = std::move(file);
  if (!DrawingLoader(drawing.get(), err).Run()) return nullptr;
  return drawing;
}

}  // namespace host
