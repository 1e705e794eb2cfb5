// The drawing's entities, spaces and block definitions.

#include "host/database/drawing.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cassert>
#include <cstring>
#include <utility>

#include "dxf/record_rewrite.h"
#include "dxf/tag_index.h"
#include "dxf/text_case.h"
#include "host/database/record_scan.h"

namespace host {

RecordText& RecordText::operator=(RecordText&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    index_ = std::exchange(other.index_, nullptr);
    size_ = std::exchange(other.size_, 0);
    owned_ = std::exchange(other.owned_, false);
  }
  return *this;
}

void RecordText::Release() {
  if (owned_) delete[] data_;
  owned_ = false;
}

void RecordText::Replace(std::string_view text) {
  thread_local std::string index;
  index.clear();
  dxf::AppendTagIndex(text, &index);
  Replace(text, index);
}

void RecordText::Replace(std::string_view text, std::string_view index) {
#ifndef NDEBUG
  std::string made;
  dxf::AppendTagIndex(text, &made);
  assert(index == made && "the index given is the one the text has");
#endif
  // The text, a NUL and the index, in one block.
  char* block = new char[text.size() + 1 + index.size()];
  std::memcpy(block, text.data(), text.size());
  block[text.size()] = '\0';
  std::memcpy(block + text.size() + 1, index.data(), index.size());
  Release();
  data_ = block;
  size_ = static_cast<uint32_t>(text.size());
  index_ = index.empty() ? nullptr : reinterpret_cast<const uint8_t*>(block + text.size() + 1);
  owned_ = true;
}

std::string_view RecordText::Type() const {
  return index_ != nullptr ? dxf::IndexedRecordType(text(), index_) : dxf::RecordType(text());
}

std::optional<std::string_view> RecordText::Find(int code) const {
  std::optional<std::string_view> found;
  bool first = true;
  VisitTags([&](const dxf::TagView& tag) {
    if (first) {
      first = false;
      return true;
    }
    if (tag.code == code) found = tag.value;
    return !found && tag.code != 1001;
  });
  return found;
}

void RecordText::Split(std::vector<dxf::TagView>* tags) const { SplitCopy(text(), tags); }

void RecordText::SplitCopy(std::string_view copy, std::vector<dxf::TagView>* tags) const {
  assert(copy == text());
  if (index_ != nullptr) {
    dxf::SplitIndexedTags(copy, index_, tags);
  } else {
    dxf::SplitTags(copy, tags);
  }
}

namespace {

// Where a changed record is put together before it is copied into a block
// of its own size; one per thread.
std::string& RewriteBuffer() {
  thread_local std::string buffer;
  return buffer;
}

std::string& RewriteIndexBuffer() {
  thread_local std::string buffer;
  return buffer;
}

// Writes the new version of a record that is split into current_tags, with
// its index made on the way where the old one has an index.
template <class NewTags>
void Rewrite(RecordText* record, std::string_view current_text,
             const std::vector<dxf::TagView>& current_tags, const NewTags& tags,
             const dxf::TextStyle& style) {
  std::string& buffer = RewriteBuffer();
  if (const uint8_t* index = record->index()) {
    std::string& new_index = RewriteIndexBuffer();
    if (dxf::RewriteRecord(current_text, index, current_tags, tags, style, &buffer, &new_index)) {
      record->Replace(buffer, new_index);
      return;
    }
  } else {
    dxf::RewriteRecord(current_text, current_tags, tags, style, &buffer);
  }
  record->Replace(buffer);
}

bool IsSubentityType(std::string_view type) {
  return type == "VERTEX" || type == "ATTRIB" || type == "SEQEND";
}

}  // namespace

// ---- walking ----

EntityId Drawing::FirstEntity() const {
  for (EntityId id : walk_) {
    if (id != kNoEntity && !entities_[id].erased) return id;
  }
  return kNoEntity;
}

EntityId Drawing::NextEntity(EntityId id) const {
  if (id >= entities_.size()) return kNoEntity;
  const Entity& e = entities_[id];
  if (containers_[e.container].kind == ContainerKind::kBlock) return NextInBlock(id);
  for (size_t p = size_t{e.position} + 1; p < walk_.size(); ++p) {
    EntityId next = walk_[p];
    if (next != kNoEntity && !entities_[next].erased) return next;
  }
  return kNoEntity;
}

EntityId Drawing::FirstInBlock(ContainerId block) const {
  if (block >= containers_.size()) return kNoEntity;
  for (EntityId id : containers_[block].entities) {
    if (!entities_[id].erased) return id;
  }
  return kNoEntity;
}

EntityId Drawing::NextInBlock(EntityId id) const {
  if (id >= entities_.size()) return kNoEntity;
  const Entity& e = entities_[id];
  const Container& c = containers_[e.container];
  if (c.kind != ContainerKind::kBlock) return kNoEntity;
  for (size_t p = size_t{e.position} + 1; p < c.entities.size(); ++p) {
    if (!entities_[c.entities[p]].erased) return c.entities[p];
  }
  return kNoEntity;
}

// ---- entity records ----

void Drawing::EntityTags(EntityId id, std::vector<dxf::TagView>* tags) const {
  entities_[id].text.Split(tags);
}

std::string_view Drawing::EntityType(EntityId id) const {
  const Entity& e = entities_[id];
  return e.known_type != 0 ? KnownEntityTypeName(e.known_type) : e.text.Type();
}

namespace {

constexpr std::string_view kKnownEntityTypes[] = {"",
                                                  "LINE",
                                                  "CIRCLE",
                                                  "ARC",
                                                  "ELLIPSE",
                                                  "POLYLINE",
                                                  "VERTEX",
                                                  "SEQEND",
                                                  "LWPOLYLINE",
                                                  "SPLINE",
                                                  "TEXT",
                                                  "MTEXT",
                                                  "INSERT",
                                                  "ATTRIB",
                                                  "ATTDEF",
                                                  "DIMENSION",
                                                  "HATCH",
                                                  "SOLID",
                                                  "POINT",
                                                  "VIEWPORT",
                                                  "LEADER",
                                                  "TOLERANCE",
                                                  "3DFACE",
                                                  "TRACE",
                                                  "ARC_DIMENSION",
                                                  "LARGE_RADIAL_DIMENSION",
                                                  "ACAD_TABLE",
                                                  "MULTILEADER",
                                                  "MLINE",
                                                  "RAY",
                                                  "XLINE",
                                                  "IMAGE",
                                                  "WIPEOUT",
                                                  "REGION",
                                                  "3DSOLID",
                                                  "BODY",
                                                  "SHAPE",
                                                  "OLE2FRAME"};

}  // namespace

uint8_t KnownEntityType(std::string_view type) {
  // Asked for every record read or written: the names are looked through
  // by their first letter only.
  static const auto by_first = [] {
    std::array<std::vector<uint8_t>, 128> lists;
    for (size_t i = 1; i < std::size(kKnownEntityTypes); ++i)
      lists[static_cast<unsigned char>(kKnownEntityTypes[i][0])].push_back(static_cast<uint8_t>(i));
    return lists;
  }();
  if (type.empty() || static_cast<unsigned char>(type[0]) >= 128) return 0;
  for (uint8_t i : by_first[static_cast<unsigned char>(type[0])])
    if (kKnownEntityTypes[i] == type) return i;
  return 0;
}

std::string_view KnownEntityTypeName(uint8_t number) {
  return number < std::size(kKnownEntityTypes) ? kKnownEntityTypes[number] : std::string_view();
}

uint64_t Drawing::NextSerial() {
  static std::atomic<uint64_t> last{0};
  return ++last;
}

bool IsDimensionType(std::string_view type) {
  return type == "DIMENSION" || type == "ARC_DIMENSION" || type == "LARGE_RADIAL_DIMENSION";
}

void Drawing::SetEntityTags(EntityId id, const dxf::Tags& tags) {
  std::string& buffer = RewriteBuffer();
  dxf::RewriteRecord(entities_[id].text.text(), tags, file_.style, &buffer);
  entities_[id].text.Replace(buffer);
  entities_[id].dimension = !tags.empty() && IsDimensionType(dxf::TrimBlanks(tags[0].value));
  entities_[id].known_type = KnownEntityType(entities_[id].text.Type());
  NoteChangeIn(entities_[id].container);
}

void Drawing::SetEntityTags(EntityId id, const dxf::Tags& tags,
                            const std::vector<dxf::TagView>& current_tags) {
  SetEntityTags(id, tags, entities_[id].text.text(), current_tags);
}

void Drawing::SetEntityTags(EntityId id, const dxf::Tags& tags, std::string_view current_text,
                            const std::vector<dxf::TagView>& current_tags) {
  assert(current_text == entities_[id].text.text());
  Rewrite(&entities_[id].text, current_text, current_tags, tags, file_.style);
  entities_[id].dimension = !tags.empty() && IsDimensionType(dxf::TrimBlanks(tags[0].value));
  entities_[id].known_type = KnownEntityType(entities_[id].text.Type());
  NoteChangeIn(entities_[id].container);
}

void Drawing::SetEntityTags(EntityId id, const std::vector<dxf::TagView>& tags,
                            std::string_view current_text,
                            const std::vector<dxf::TagView>& current_tags) {
  assert(current_text == entities_[id].text.text());
  // The tags may view the old text, which the new one replaces.
  bool dimension = !tags.empty() && IsDimensionType(dxf::TrimBlanks(tags[0].value));
  Rewrite(&entities_[id].text, current_text, current_tags, tags, file_.style);
  entities_[id].dimension = dimension;
  entities_[id].known_type = KnownEntityType(entities_[id].text.Type());
  NoteChangeIn(entities_[id].container);
}

void Drawing::NoteChangeIn(ContainerId container) {
  if (container == kNoContainer || containers_[container].kind != ContainerKind::kBlock) return;
  // Entities of different blocks are set from two threads at once.
  std::atomic_ref<uint32_t>(containers_[container].revision)
      .fetch_add(1, std::memory_order_relaxed);
}

uint32_t Drawing::BlockRevision(ContainerId id) const {
  return std::atomic_ref<uint32_t>(const_cast<uint32_t&>(containers_[id].revision))
      .load(std::memory_order_relaxed);
}

void Drawing::EraseEntity(EntityId id, bool erased) {
  if (id >= entities_.size()) return;
  Entity& e = entities_[id];
  const Container& c = containers_[e.container];
  // Without its ENDBLK a block definition could not be written.
  if (c.kind == ContainerKind::kBlock && c.endblk == id) return;
  NoteChangeIn(e.container);
  e.erased = erased;
  const std::vector<EntityId>& list = c.kind == ContainerKind::kBlock ? c.entities : walk_;
  for (size_t p = size_t{e.position} + 1; p < list.size(); ++p) {
    EntityId sub = list[p];
    if (sub == kNoEntity || entities_[sub].parent != id) break;
    entities_[sub].erased = erased;
  }
}

// The position of an entity made here that is not in the walk yet.
constexpr uint32_t kNotWalked = UINT32_MAX;

// A SEQEND for the sequence of a main entity: the handle, owner and layer
// the file's version wants. Its place in the walk is the caller's.
EntityId Drawing::AddSeqend(EntityId main) {
  std::string_view main_text = entities_[main].text.text();
  dxf::Tags tags{{0, "SEQEND"}};
  std::string handle = NewHandle();
  if (!handle.empty()) tags.emplace_back(5, handle);
  if (!is_r12()) {
    std::string_view owner = EntityHandle(main);
    if (!owner.empty()) tags.emplace_back(330, std::string(owner));
    tags.emplace_back(100, "AcDbEntity");
  }
  tags.emplace_back(8, std::string(dxf::TrimBlanks(FindCommonValue(main_text, 8).value_or("0"))));
  Entity seqend;
  seqend.text.Replace(dxf::WriteTags(tags, file_.style));
  seqend.known_type = KnownEntityType(seqend.text.Type());
  ContainerId seqend_container = entities_[main].container;
  seqend.container = seqend_container;
  seqend.parent = main;
  seqend.position = kNotWalked;
  EntityId id = static_cast<EntityId>(entities_.size());
  entities_.push_back(std::move(seqend));
  NoteChangeIn(seqend_container);
  if (entity_index_built_) IndexEntityHandle(handle, id);
  return id;
}

// An entity appended to the walk is written right after the walk's last
// entity. When that ends a sequence read without its SEQEND (a POLYLINE and
// its vertices that ended with the section), the sequence is closed first,
// or it would take in what follows.
void Drawing::CloseOpenSequenceAtWalkEnd() {
  size_t p = walk_.size();
  while (p > 0 && walk_[p - 1] == kNoEntity) --p;
  if (p == 0) return;
  EntityId last = walk_[p - 1];
  if (entities_[last].erased) return;
  EntityId main = entities_[last].parent != kNoEntity ? entities_[last].parent : last;
  std::string_view type = EntityType(last);
  // A VERTEX or ATTRIB of no sequence (one read without its POLYLINE or
  // INSERT) has nothing to close.
  bool open = last == main ? type == "POLYLINE" : type == "VERTEX" || type == "ATTRIB";
  if (!open) return;
  EntityId seqend = AddSeqend(main);
  entities_[seqend].position = static_cast<uint32_t>(walk_.size());
  walk_.push_back(seqend);
}

void Drawing::MoveToContainer(EntityId id, ContainerId container) {
  if (id >= entities_.size() || container >= containers_.size()) return;
  if (entities_[id].parent != kNoEntity) id = entities_[id].parent;
  Entity& e = entities_[id];
  if (e.container == container || containers_[container].kind == ContainerKind::kBlock ||
      containers_[e.container].kind == ContainerKind::kBlock) {
    return;
  }
  std::vector<EntityId> moving{id};
  for (size_t p = size_t{e.position} + 1; p < walk_.size(); ++p) {
    EntityId sub = walk_[p];
    if (sub == kNoEntity || entities_[sub].parent != id) break;
    moving.push_back(sub);
  }
  // A sequence read without its SEQEND ended where the section did; moved
  // before other entities it would take them in. It gets its SEQEND now.
  std::string_view type = EntityType(id);
  bool sequence = type == "POLYLINE" || (type == "INSERT" && moving.size() > 1);
  if (sequence && EntityType(moving.back()) != "SEQEND") moving.push_back(AddSeqend(id));
  CloseOpenSequenceAtWalkEnd();
  for (EntityId m : moving) {
    Entity& moved = entities_[m];
    if (moved.position != kNotWalked) walk_[moved.position] = kNoEntity;
    moved.position = static_cast<uint32_t>(walk_.size());
    moved.container = container;
    moved.in_space_block = false;  // a moved entity goes where its new space's entities go
    walk_.push_back(m);
  }
}

EntityId Drawing::AddEntity(ContainerId container, const dxf::Tags& tags) {
  if (container >= containers_.size()) return kNoEntity;
  std::string_view added = tags.empty() ? std::string_view() : dxf::TrimBlanks(tags[0].value);
  if (containers_[container].kind != ContainerKind::kBlock && !IsSubentityType(added))
    CloseOpenSequenceAtWalkEnd();
  EntityId id = static_cast<EntityId>(entities_.size());
  Entity e;
  e.text.Replace(dxf::WriteTags(tags, file_.style));
  e.dimension = IsDimensionType(added);
  e.known_type = KnownEntityType(e.text.Type());
  e.container = container;
  Container& c = containers_[container];

  // The entity before the new one in its list, to attach a subentity.
  EntityId previous = kNoEntity;
  if (c.kind == ContainerKind::kBlock) {
    size_t at = c.endblk != kNoEntity ? c.entities.size() - 1 : c.entities.size();
    if (at > 0) previous = c.entities[at - 1];
    c.entities.insert(c.entities.begin() + static_cast<std::ptrdiff_t>(at), id);
    e.position = static_cast<uint32_t>(at);
    if (c.endblk != kNoEntity) entities_[c.endblk].position = static_cast<uint32_t>(at + 1);
  } else {
    for (size_t p = walk_.size(); p > 0 && previous == kNoEntity; --p) previous = walk_[p - 1];
    if (previous != kNoEntity && entities_[previous].container != container) previous = kNoEntity;
    e.position = static_cast<uint32_t>(walk_.size());
    walk_.push_back(id);
  }
  std::string_view type = tags.empty() ? std::string_view() : dxf::TrimBlanks(tags[0].value);
  if (previous != kNoEntity && IsSubentityType(type) && EntityType(previous) != "SEQEND") {
    EntityId main = entities_[previous].parent != kNoEntity ? entities_[previous].parent : previous;
    std::string_view main_type = EntityType(main);
    bool fits = type == "SEQEND" || (type == "VERTEX" && main_type == "POLYLINE") ||
                (type == "ATTRIB" && main_type == "INSERT");
    if (fits && (main_type == "POLYLINE" || main_type == "INSERT")) e.parent = main;
  }
  entities_.push_back(std::move(e));
  NoteChangeIn(container);
  if (entity_index_built_) IndexEntityHandle(EntityHandle(id), id);
  return id;
}

std::string_view Drawing::EntityHandle(EntityId id) const {
  return dxf::TrimBlanks(entities_[id].text.Find(5).value_or(""));
}

std::string Drawing::EntityLayer(EntityId id) const {
  auto layer = FindCommonValue(entities_[id].text.text(), 8);
  if (!layer) return "0";
  return encoding_.Decode(dxf::TrimBlanks(*layer));
}

bool Drawing::InPaperSpace(EntityId id) const {
  return containers_[entities_[id].container].kind == ContainerKind::kLayout;
}

namespace {

// A handle written as a plain hex number, without leading zeros: the form
// the index keeps by number ("0A" and "A" are different handles).
std::optional<uint64_t> PlainHandleNumber(std::string_view handle) {
  if (handle.size() > 1 && handle[0] == '0') return std::nullopt;
  return ParseHandle(handle);
}

}  // namespace

void Drawing::IndexEntityHandle(std::string_view handle, EntityId id) const {
  if (handle.empty()) return;
  if (std::optional<uint64_t> number = PlainHandleNumber(handle))
    entity_by_handle_.Insert(*number, id);
  else
    entity_by_odd_handle_.emplace(dxf::UpperCase1252(handle), id);
}

std::string_view Drawing::LoadedRecord(EntityId id) const {
  auto it = std::lower_bound(loaded_records_.begin(), loaded_records_.end(), id,
                             [](const std::pair<EntityId, std::string_view>& entry, EntityId key) {
                               return entry.first < key;
                             });
  return it != loaded_records_.end() && it->first == id ? it->second : std::string_view{};
}

EntityId Drawing::FindEntityByHandle(std::string_view handle) const {
  std::string_view key = dxf::TrimBlanks(handle);
  if (key.empty()) return kNoEntity;
  std::optional<uint64_t> number = PlainHandleNumber(key);
  std::string odd = number ? std::string() : dxf::UpperCase1252(key);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!entity_index_built_) {
      entity_by_handle_ = HandleTable<EntityId>(entities_.size());
      entity_by_odd_handle_.clear();
      for (EntityId id = 0; id < entities_.size(); ++id) IndexEntityHandle(EntityHandle(id), id);
      entity_index_built_ = true;
    }
    const EntityId* found = nullptr;
    if (number) {
      found = entity_by_handle_.Find(*number);
    } else if (auto it = entity_by_odd_handle_.find(odd); it != entity_by_odd_handle_.end()) {
      found = &it->second;
    }
    // A record changed since the index was built may carry another handle
    // now; then the index is built afresh once.
    if (found && dxf::EqualNoCase(EntityHandle(*found), key)) return *found;
    if (attempt == 0) entity_index_built_ = false;
  }
  return kNoEntity;
}

// ---- containers ----

ContainerId Drawing::FindBlock(std::string_view name) const {
  auto found = block_by_name_.find(dxf::UpperCase1252(name));
  if (found == block_by_name_.end() || containers_[found->second].erased) return kNoContainer;
  return found->second;
}

std::vector<ContainerId> Drawing::BlockDefinitions() const {
  std::vector<ContainerId> blocks;
  for (ContainerId id : block_order_) {
    const Container& c = containers_[id];
    if (c.kind == ContainerKind::kBlock && !c.erased) blocks.push_back(id);
  }
  return blocks;
}

void Drawing::BlockTags(ContainerId id, std::vector<dxf::TagView>* tags) const {
  tags->clear();
  const Container& c = containers_[id];
  if (c.block_record) c.block_record->Split(tags);
}

std::vector<ContainerId> Drawing::Layouts() const {
  std::vector<ContainerId> layouts;
  if (active_layout_ != kNoContainer) layouts.push_back(active_layout_);
  for (ContainerId id = 0; id < containers_.size(); ++id) {
    if (containers_[id].kind == ContainerKind::kLayout && id != active_layout_) {
      layouts.push_back(id);
    }
  }
  return layouts;
}

const std::string& Drawing::LayoutNameOf(ContainerId id) const {
  static const std::string kNone;
  if (id >= containers_.size()) return kNone;
  return containers_[id].layout_name;
}

ContainerId Drawing::FindContainerByBlockRecordHandle(std::string_view handle) const {
  handle = dxf::TrimBlanks(handle);
  if (handle.empty()) return kNoContainer;
  for (ContainerId id = 0; id < containers_.size(); ++id) {
    if (dxf::EqualNoCase(containers_[id].block_record_handle, handle)) return id;
  }
  return kNoContainer;
}

// ---- objects ----

bool Drawing::AddObject(const dxf::Tags& tags) {
  if (is_r12()) return false;
  if (objects_ == nullptr) {
    auto section = std::make_unique<OpaqueSection>();
    std::string head, end;
    dxf::AppendTag(&head, 0, "SECTION", file_.style);
    dxf::AppendTag(&head, 2, "OBJECTS", file_.style);
    dxf::AppendTag(&end, 0, "ENDSEC", file_.style);
    section->records.emplace_back();
    section->records.back().Replace(std::move(head));
    section->records.emplace_back();
    section->records.back().Replace(std::move(end));
    Section entry;
    entry.kind = SectionKind::kOpaque;
    entry.opaque = opaque_.size();
    objects_ = section.get();
    opaque_.push_back(std::move(section));
    size_t at = sections_.size();
    for (size_t i = 0; i < sections_.size(); ++i) {
      if (sections_[i].kind == SectionKind::kEntities) at = i + 1;
    }
    sections_.insert(sections_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
  }
  RecordText record;
  record.Replace(dxf::WriteTags(tags, file_.style));
  // Before the section's ENDSEC.
  objects_->records.insert(objects_->records.end() - 1, std::move(record));
  return true;
}

RecordText* Drawing::FindObject(std::string_view handle) {
  if (objects_ == nullptr) return nullptr;
  handle = dxf::TrimBlanks(handle);
  for (RecordText& object : objects_->records) {
    auto value = FindValue(object.text(), 5);
    if (value && dxf::EqualNoCase(dxf::TrimBlanks(*value), handle)) return &object;
  }
  return nullptr;
}

}  // namespace host
