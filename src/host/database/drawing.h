// The drawing database: the records of a DXF file organised as the host sees
// them (header, tables, block definitions, model space and layouts, objects),
// with stable entity ids and the walk order of the entity functions.
//
// Records are kept as text: a view into the file buffer while unchanged, an
// owned string once changed. Writing emits unchanged records byte for byte.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dxf/document.h"
#include "dxf/tag.h"
#include "dxf/tag_index.h"
#include "host/database/handle_table.h"
#include "host/host_only.h"

namespace host {

using EntityId = uint32_t;
constexpr EntityId kNoEntity = UINT32_MAX;
using ContainerId = uint32_t;
constexpr ContainerId kNoContainer = UINT32_MAX;
using TableRecordId = uint32_t;
constexpr TableRecordId kNoRecord = UINT32_MAX;

// A record's text: either a view into the file buffer or a block of its own,
// with its tag index (dxf/tag_index.h) where the record's form allows one.
// Kept to 24 bytes: a drawing holds one per entity.
class RecordText {
 public:
  RecordText() = default;
  // A view: the text and the index stay where they are. Records come from a
  // file of at most 4 GiB, so a size fits in 32 bits.
  explicit RecordText(std::string_view view, const uint8_t* index = nullptr)
      : data_(view.data()), index_(index), size_(static_cast<uint32_t>(view.size())) {}
  RecordText(RecordText&& other) noexcept { *this = std::move(other); }
  RecordText& operator=(RecordText&& other) noexcept;
  RecordText(const RecordText&) = delete;
  RecordText& operator=(const RecordText&) = delete;
  ~RecordText() { Release(); }

  std::string_view text() const { return std::string_view(data_, size_); }
  // Takes a copy of text and its index, in one block of exactly their size
  // (a conversion replaces every record of a drawing).
  void Replace(std::string_view text);
  // The same with the text's index made already (empty: it has none).
  void Replace(std::string_view text, std::string_view index);
  bool changed() const { return owned_; }
  // A record that reads as this one: a view of the same bytes where this
  // one views bytes it does not own (a file buffer), a copy where it owns
  // them.
  RecordText ViewOrCopy() const;
  // The tag index, or nullptr where the text has a form it does not describe.
  const uint8_t* index() const { return index_; }
  // The record's tags, viewing its text.
  void Split(std::vector<dxf::TagView>* tags) const;
  // The tags of a copy of the text, viewing the copy.
  void SplitCopy(std::string_view copy, std::vector<dxf::TagView>* tags) const;
  // The value of the first tag, without surrounding blanks.
  std::string_view Type() const;
  // The first value of a code after the "0" tag, up to the extended data
  // (1001), or nullopt.
  std::optional<std::string_view> Find(int code) const;
  // Calls visit(tag) for each tag in order until it returns false.
  template <class Visit>
  void VisitTags(Visit visit) const {
    if (index_ != nullptr) return dxf::VisitIndexedTags(text(), index_, visit);
    dxf::TagCursor cursor(text());
    dxf::TagView tag;
    while (cursor.Next(&tag))
      if (!visit(tag)) return;
  }

 private:
  void Release();
  const char* data_ = nullptr;
  const uint8_t* index_ = nullptr;  // in the same block when owned, else the file's
  uint32_t size_ = 0;
  bool owned_ = false;
};

enum class ContainerKind {
  kModelSpace,  // entities of model space
  kLayout,      // entities of one paper-space layout
  kBlock,       // a block definition (entities and its ENDBLK)
};

struct Container {
  ContainerKind kind = ContainerKind::kBlock;
  // Names in the program's code page 1252 (decoded from the file).
  std::string block_name;   // "*Model_Space", "*Paper_Space0", "2dCenter1", "$MODEL_SPACE" ...
  std::string layout_name;  // "Model", "Layout1", ...; empty for blocks
  std::string block_record_handle;  // owner handle for entities (R13+); empty in R12
  bool active_layout = false;       // the layout whose entities sit in ENTITIES
  // The BLOCK and ENDBLK records of the definition in the BLOCKS section
  // (absent for a space the file has no block for). For a block definition
  // (kBlock) endblk_record stays empty: its ENDBLK is the entity `endblk`.
  std::optional<RecordText> block_record;
  std::optional<RecordText> endblk_record;
  uint32_t block_line = 0;
  // Entities of a block definition in order, ENDBLK last (as an entity, so
  // that a walk through the definition ends with it). Model space and layout
  // entities are not listed here: they live in the drawing's walk list.
  std::vector<EntityId> entities;
  EntityId endblk = kNoEntity;
  bool erased = false;
  // For a block definition: counts the changes to its entities (records
  // set, entities erased or added), so that what was derived from them can
  // tell whether it still holds. Read with BlockRevision.
  uint32_t revision = 0;
};

// The entity types drawn from a dimension block of their own.
bool IsDimensionType(std::string_view type);

// The common entity types by number (1 up), 0 for any other type; and the
// type of a number.
uint8_t KnownEntityType(std::string_view type);
std::string_view KnownEntityTypeName(uint8_t number);

struct Entity {
  RecordText text;
  ContainerId container = kNoContainer;
  uint32_t position = 0;  // index in the walk list or in the block's entity list
  uint32_t line = 0;      // line in the input, 0 for entities made in the session
  bool erased = false;
  // A dimension (see IsDimensionType): known without reading the record,
  // which for a large selection would be a cache miss an entity.
  bool dimension = false;
  // The record's type when it is one of the common ones (KnownEntityType),
  // for the same reason; 0 for any other, which is read from the record.
  uint8_t known_type = 0;
  // The main entity a VERTEX/ATTRIB/SEQEND belongs to, kNoEntity otherwise.
  EntityId parent = kNoEntity;
  // Read inside the BLOCK of model space or of the active layout rather than
  // in ENTITIES (some writers put them there): written back where it was
  // read, so that an unchanged drawing is written as it was read.
  bool in_space_block = false;
};

struct TableRecord {
  RecordText text;
  uint32_t line = 0;
  bool erased = false;
};

struct Table {
  std::string name;  // "LAYER", "LTYPE", "STYLE", "DIMSTYLE", "BLOCK_RECORD", ...
  RecordText head;   // the "0 TABLE" record
  std::vector<TableRecordId> records;
  RecordText endtab;
  std::string handle;  // the table's handle (owner of its records)
};

// A section kept as its records (CLASSES, OBJECTS, THUMBNAILIMAGE, unknown).
struct OpaqueSection {
  std::vector<RecordText> records;  // from "0 SECTION" to "0 ENDSEC"
};

class Drawing {
 public:
  // Builds the database from a read file. The file's buffer moves into the
  // drawing. Fails (with err) on structure the host cannot work with: a
  // block without ENDBLK, an ENDBLK outside a block, a table without ENDTAB.
  static std::unique_ptr<Drawing> Load(dxf::RawFile file, dxf::Error* err);

  // Writes the drawing as ASCII DXF; unchanged records come out byte for byte.
  void Write(dxf::OutputFile* out) const;
  // Handles issued raise $HANDSEED only when the header is next read or
  // written; this brings it up to date, after which reading and writing the
  // drawing change nothing in it: for threads that read it at once.
  void ReadyForReaders() const { SyncHandseed(); }
  std::string WriteToString() const;
  // A copy that reads as this drawing reads now, for reading it on another
  // thread while this one goes on changing it. Its records view the bytes
  // this drawing read from its file: a change gives a record a text of its
  // own and leaves those bytes as they were. Records changed already are
  // copied. Valid while this drawing lives; it is not for changing or
  // writing. Lookups made on first use are made anew in the copy.
  std::unique_ptr<Drawing> ViewCopy() const;

  const std::string& version() const { return file_.version; }
  bool is_r12() const { return file_.version <= "AC1009"; }
  bool has_handles() const { return has_handles_; }  // R13+ always; R12 when $HANDLING is 1
  const dxf::TextStyle& style() const { return file_.style; }
  const dxf::Encoding& encoding() const { return encoding_; }
  const std::string& file_name() const { return file_.name; }
  // A number no other drawing of this process has had, so that what was
  // remembered of a drawing is not taken for one made later at the same
  // address.
  uint64_t serial() const { return serial_; }

  // ---- entities ----
  Entity& entity(EntityId id) { return entities_[id]; }
  const Entity& entity(EntityId id) const { return entities_[id]; }
  size_t entity_count() const { return entities_.size(); }
  // Walk order of model space and the layouts: the ENTITIES section in file
  // order, then the entities of the other layouts (file order), then those
  // added or moved in the session; subentities right after their main
  // entity. Erased ones are skipped; stepping on from an erased entity works.
  // For an entity of a block definition NextEntity is NextInBlock.
  EntityId FirstEntity() const;
  EntityId NextEntity(EntityId id) const;
  // Walk through one block definition: its entities in order, the ENDBLK
  // last, then kNoEntity. Erased entities are skipped.
  EntityId FirstInBlock(ContainerId block) const;
  EntityId NextInBlock(EntityId id) const;
  // Tags of an entity's record (views valid until the entity changes).
  void EntityTags(EntityId id, std::vector<dxf::TagView>* tags) const;
  std::string_view EntityType(EntityId id) const;
  // Replaces the entity's record with these tags, written in the file's style.
  // The records of different entities may be set from several threads at
  // once, as long as nothing else in the drawing changes meanwhile.
  void SetEntityTags(EntityId id, const dxf::Tags& tags);
  // The same when the record's current tags are at hand (as EntityTags gave
  // them): the record is not split again.
  void SetEntityTags(EntityId id, const dxf::Tags& tags,
                     const std::vector<dxf::TagView>& current_tags);
  // The same with views into current_text, which holds the record's bytes
  // (the record itself or a copy of it).
  void SetEntityTags(EntityId id, const dxf::Tags& tags, std::string_view current_text,
                     const std::vector<dxf::TagView>& current_tags);
  // The same with the new tags given as views (of current_tags where they are
  // kept, of other text where not).
  void SetEntityTags(EntityId id, const std::vector<dxf::TagView>& tags,
                     std::string_view current_text, const std::vector<dxf::TagView>& current_tags);
  // Erases (or, with false, restores) an entity together with its
  // subentities. A block's ENDBLK cannot be erased.
  void EraseEntity(EntityId id, bool erased = true);
  // Moves a main entity (with its subentities; a subentity's id moves its
  // main entity) to another model-space/layout container. It then comes
  // last in the walk, as an entity the host pasted there would. Its
  // record's 67/330/410 are updated by the caller.
  void MoveToContainer(EntityId id, ContainerId container);
  // Room at the end of the walk for this many more entities, for a caller
  // about to move a whole drawing's entities there one by one (growing by
  // doubling would take up to twice the room, and both for a moment). The
  // room still grows by half at least, so that many small moves do not
  // copy the walk each time.
  void ReserveWalk(size_t more) {
    if (walk_.capacity() - walk_.size() < more)
      walk_.reserve(std::max(walk_.size() + more, walk_.capacity() + walk_.capacity() / 2));
  }
  // Adds an entity at the end of the walk (container model space or layout)
  // or at the end of a block definition before its ENDBLK. A VERTEX, ATTRIB
  // or SEQEND added right after its POLYLINE/INSERT (or a sibling) becomes
  // its subentity. The caller supplies every tag (handle, owner, 67).
  EntityId AddEntity(ContainerId container, const dxf::Tags& tags);

  // Cheap facts for selection filters and the entity functions.
  std::string_view EntityHandle(EntityId id) const;  // code 5; "" when absent
  std::string EntityLayer(EntityId id) const;        // code 8, decoded; "0" when absent
  bool InPaperSpace(EntityId id) const;              // in a layout container
  // The entity with that handle (hex, without regard to case), or kNoEntity.
  // The index is built on first use.
  EntityId FindEntityByHandle(std::string_view handle) const;
  // The record as the file had it, for the entities whose first state is
  // kept (dimensions, and the texts of anonymous blocks, which draw
  // dimensions): what a dimension's regeneration matches its drawn text
  // against. Empty for other entities and those made in the session.
  std::string_view LoadedRecord(EntityId id) const;
  // What the host derives from the records and keeps with the drawing (the
  // dimensions' first states, once read), owned by the drawing.
  struct Derived {
    virtual ~Derived() = default;
  };
  Derived* derived() const { return derived_.get(); }
  void set_derived(std::unique_ptr<Derived> derived) const { derived_ = std::move(derived); }

  // ---- containers (spaces and block definitions) ----
  Container& container(ContainerId id) { return containers_[id]; }
  const Container& container(ContainerId id) const { return containers_[id]; }
  size_t container_count() const { return containers_.size(); }
  ContainerId model_space() const { return model_space_; }
  ContainerId active_layout() const { return active_layout_; }  // kNoContainer if none
  ContainerId FindBlock(std::string_view name) const;           // without regard to case
  // The revision of a block definition (see Container::revision); safe to
  // read while other blocks' entities are set from another thread.
  uint32_t BlockRevision(ContainerId id) const;
  // Block definitions other than model space and layouts, in file order.
  std::vector<ContainerId> BlockDefinitions() const;
  // The block-definition header tags (0 BLOCK ...) of a container; empty
  // when the container has no BLOCK record.
  void BlockTags(ContainerId id, std::vector<dxf::TagView>* tags) const;
  // Paper-space layouts, the active one first, then in file order.
  std::vector<ContainerId> Layouts() const;
  // "Model" for model space, the layout's name for a layout, "" for a block.
  const std::string& LayoutNameOf(ContainerId id) const;
  // The container whose BLOCK_RECORD has this handle (an entity's 330), or
  // kNoContainer.
  ContainerId FindContainerByBlockRecordHandle(std::string_view handle) const;

  // ---- tables ----
  Table* FindTable(std::string_view name);  // "LAYER", ... without regard to case
  const Table* FindTable(std::string_view name) const;
  TableRecord& table_record(TableRecordId id) { return table_records_[id]; }
  const TableRecord& table_record(TableRecordId id) const { return table_records_[id]; }
  // The record of that name (group 2, without regard to case), or kNoRecord.
  // The name is in code page 1252; erased records are not found.
  TableRecordId FindTableRecord(std::string_view table, std::string_view name) const;
  void TableRecordTags(TableRecordId id, std::vector<dxf::TagView>* tags) const;
  void SetTableRecordTags(TableRecordId id, const dxf::Tags& tags);
  // Appends a record to a table (creating the table is not supported) and
  // keeps the table's count (70) right. The caller supplies every tag
  // (handle, owner). kNoRecord when the drawing has no such table.
  TableRecordId AddTableRecord(std::string_view table, const dxf::Tags& tags);

  // ---- header ----
  // The tags after "9 $NAME" up to the next variable, or nullopt. The name
  // is found without regard to case; the leading "$" may be left out.
  // Values are the file's text (file encoding, blanks kept).
  std::optional<dxf::Tags> HeaderVar(std::string_view name) const;
  // The first value of a variable without surrounding blanks ("$TILEMODE"
  // -> "1"), or nullopt.
  std::optional<std::string> HeaderValue(std::string_view name) const;
  // Replaces the variable's values, or adds the variable at the end of the
  // header. Nothing else in the header changes. A drawing without a HEADER
  // section keeps none (nothing is added).
  void SetHeaderVar(std::string_view name, const dxf::Tags& values);

  // ---- objects ----
  OpaqueSection* objects() { return objects_; }  // nullptr when there is none (R12)
  // Appends an object record to the OBJECTS section (created after ENTITIES
  // if missing). R12 has no objects: false, and nothing is added.
  bool AddObject(const dxf::Tags& tags);
  // The OBJECTS record with this handle (code 5), or nullptr.
  RecordText* FindObject(std::string_view handle);
  // Every section kept as its records (CLASSES, OBJECTS, THUMBNAILIMAGE and
  // sections the host does not know), in file order.
  std::vector<const OpaqueSection*> OpaqueSections() const {
    std::vector<const OpaqueSection*> sections;
    for (const std::unique_ptr<OpaqueSection>& section : opaque_) sections.push_back(section.get());
    return sections;
  }
  // The table head records and block-definition records have handles too.
  size_t table_count() const { return tables_.size(); }
  const Table& table(size_t index) const { return tables_[index]; }

  // ---- handles ----
  // A fresh handle (hex, upper case) above every handle in use (codes 5, and
  // 105 in DIMSTYLE), starting at $HANDSEED when that is higher; $HANDSEED
  // stays above every handle handed out. Empty in an R12 file without
  // handles.
  std::string NewHandle();

 private:
  Drawing() = default;

  enum class SectionKind { kHeader, kTables, kBlocks, kEntities, kOpaque };
  // A section in file order. Header, tables, blocks and entities keep their
  // SECTION and ENDSEC records here (the header's variables live in
  // header_); other sections are kept whole as an OpaqueSection.
  struct Section {
    SectionKind kind = SectionKind::kOpaque;
    RecordText head;
    RecordText end;
    size_t opaque = 0;  // index into opaque_ for kOpaque
  };
  // Lookup of a table's records by upper-case name, built on first use.
  struct NameIndex {
    bool built = false;
    std::unordered_map<std::string, TableRecordId> by_name;
  };

  EntityId AddSeqend(EntityId main);
  // Counts a change to an entity of the container, when it is a block.
  void NoteChangeIn(ContainerId container);
  void CloseOpenSequenceAtWalkEnd();
  void BuildNameIndex(size_t table) const;
  void UpdateTableCount(Table* table);
  // The highest handle there is: a drawing that uses it has no room above.
  static constexpr uint64_t kTopHandle = UINT64_MAX;
  void ScanHandles(std::vector<uint64_t>* in_use = nullptr);
  uint64_t FreeHandleBelowTop();
  void SyncHandseed() const;

  static uint64_t NextSerial();
  const uint64_t serial_ = NextSerial();
  dxf::RawFile file_;  // buffer, style, version; its records are dropped after loading
  dxf::Encoding encoding_;
  std::vector<Section> sections_;
  mutable RecordText header_;  // "0 SECTION / 2 HEADER" and every variable
  RecordText eof_;
  std::vector<std::unique_ptr<OpaqueSection>> opaque_;
  std::vector<Entity> entities_;
  // LoadedRecord's records, by ascending id.
  std::vector<std::pair<EntityId, std::string_view>> loaded_records_;
  mutable std::unique_ptr<Derived> derived_;
  // The walk: entity ids in walk order; kNoEntity where an entity moved away.
  std::vector<EntityId> walk_;
  std::vector<Container> containers_;
  std::vector<ContainerId> block_order_;  // containers in BLOCKS section order
  std::unordered_map<std::string, ContainerId> block_by_name_;  // upper-case name
  std::vector<Table> tables_;
  std::vector<TableRecord> table_records_;
  mutable std::vector<NameIndex> table_index_;  // parallel to tables_
  // Entities by handle, built on the first search: by number, and by
  // upper-case text the few handles that are not plain hex numbers.
  mutable HandleTable<EntityId> entity_by_handle_;
  mutable std::unordered_map<std::string, EntityId> entity_by_odd_handle_;
  mutable bool entity_index_built_ = false;
  void IndexEntityHandle(std::string_view handle, EntityId id) const;
  ContainerId model_space_ = kNoContainer;
  ContainerId active_layout_ = kNoContainer;
  OpaqueSection* objects_ = nullptr;
  bool has_handles_ = false;
  bool has_space_block_entities_ = false;  // some entity has in_space_block
  bool handles_scanned_ = false;
  uint64_t next_handle_ = 1;
  std::vector<uint64_t> handles_in_use_;  // sorted; only once the top handle is used
  uint64_t free_handle_ = 1;              // where FreeHandleBelowTop looks next
  mutable bool handseed_dirty_ = false;
  friend class DrawingLoader;
  friend class DrawingWriter;
};

}  // namespace host
