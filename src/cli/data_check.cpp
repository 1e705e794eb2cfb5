#include "cli/data_check.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "dxf/tag.h"
#include "host/database/handle_check.h"
#include "host/database/handle_table.h"
#include "host/database/record_scan.h"
#include "host/two_halves.h"

namespace cli {
namespace {

using host::Drawing;
using host::EntityId;

// Types whose data the host's scale and move understand. Of any other type
// only the common properties and the points (10-38) may change.
const std::unordered_set<std::string_view>& KnownTypes() {
  static const std::unordered_set<std::string_view> types = {
      "LINE",    "POINT",       "3DFACE",        "ELLIPSE",
      "XLINE",   "RAY",         "SPLINE",        "HELIX",
      "LEADER",  "TOLERANCE",   "VIEWPORT",      "IMAGE",
      "WIPEOUT", "PDFUNDERLAY", "DWFUNDERLAY",   "DGNUNDERLAY",
      "MESH",    "MLINE",       "CIRCLE",        "ARC",
      "SOLID",   "TRACE",       "SHAPE",         "SEQEND",
      "ENDBLK",  "TEXT",        "ATTRIB",        "ATTDEF",
      "MTEXT",   "INSERT",      "LWPOLYLINE",    "POLYLINE",
      "VERTEX",  "DIMENSION",   "ARC_DIMENSION", "LARGE_RADIAL_DIMENSION",
      "HATCH",   "MULTILEADER", "MLEADER"};
  return types;
}

// Codes any entity may have rewritten: layer, linetype, linetype scale,
// colours, line weight, space, owner, layout name.
bool IsPropertyCode(int code) {
  switch (code) {
    case 6:
    case 8:
    case 48:
    case 62:
    case 67:
    case 330:
    case 370:
    case 410:
    case 420:
    case 430:
    case 440:
      return true;
    default:
      return false;
  }
}

bool IsPointCoordinate(int code) { return code >= 10 && code <= 38; }

// Extended data a scale changes by its meaning: world positions,
// displacements, distances and scale factors.
bool IsScaledXdataCode(int code) {
  return code == 1011 || code == 1021 || code == 1031 || code == 1012 || code == 1022 ||
         code == 1032 || code == 1041 || code == 1042;
}

struct Parsed {
  std::string_view type;
  std::optional<uint64_t> handle;
  // Extended data of every application but "ACAD", as one text per
  // application (upper-case name), values of scaled codes left out.
  std::map<std::string, std::string> xdata;
  // For types the host does not know: the tags that must not change.
  std::string body;
};

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

void AppendTag(std::string* out, int code, std::string_view value) {
  *out += std::to_string(code);
  *out += '\n';
  *out += dxf::TrimBlanks(value);
  *out += '\n';
}

Parsed Parse(std::string_view text, bool want_body) {
  Parsed parsed;
  parsed.type = dxf::RecordType(text);
  dxf::TagCursor cursor(text);
  dxf::TagView tag;
  cursor.Next(&tag);  // the "0" tag
  std::string* app = nullptr;
  bool handle_seen = false;
  while (cursor.Next(&tag)) {
    if (tag.code == 1001) {
      std::string name = Upper(dxf::TrimBlanks(tag.value));
      app = name == "ACAD" ? nullptr : &parsed.xdata[name];
      continue;
    }
    if (tag.code >= 1000) {
      if (app) AppendTag(app, tag.code, IsScaledXdataCode(tag.code) ? "" : tag.value);
      continue;
    }
    if ((tag.code == 5 || tag.code == 105) && !handle_seen) {
      handle_seen = true;
      parsed.handle = host::ParseHandle(tag.value);
      continue;
    }
    if (want_body && !IsPropertyCode(tag.code) && !IsPointCoordinate(tag.code))
      AppendTag(&parsed.body, tag.code, tag.value);
  }
  return parsed;
}

std::string HandleText(uint64_t handle) { return host::FormatHandle(handle); }

// How a record is named in a problem: by handle, else by input line.
std::string Describe(const Parsed& parsed, uint32_t line) {
  std::string name(parsed.type);
  if (parsed.handle) return name + " " + HandleText(*parsed.handle);
  return name + " of input line " + std::to_string(line);
}

std::string_view Keep(const host::RecordText& text, DataSnapshot* snapshot) {
  if (!text.changed()) return text.text();
  snapshot->copies.emplace_back(text.text());
  return snapshot->copies.back();
}

// A record's handle (5, or 105 in DIMSTYLE), found without parsing the rest.
std::optional<uint64_t> FirstHandle(std::string_view text) {
  dxf::TagCursor cursor(text);
  dxf::TagView tag;
  cursor.Next(&tag);
  while (cursor.Next(&tag)) {
    if (tag.code == 5 || tag.code == 105) return host::ParseHandle(tag.value);
    if (tag.code == 1001) break;
  }
  return std::nullopt;
}

// False when the record surely has no extended data: its "1001" code line
// would hold these four digits however it is padded. (A value such as
// "1001.5" gives true, which only costs the full parse.)
bool MayHoldExtendedData(std::string_view text) {
  return text.find("1001") != std::string_view::npos;
}

// A record of the given type, read for its handle only.
Parsed TypeAndHandle(std::string_view type, std::string_view text) {
  Parsed parsed;
  parsed.type = type;
  parsed.handle = FirstHandle(text);
  return parsed;
}

// Erased entities counted by type, a few types for a whole drawing: kept
// as views while the entities are checked, so that counting one costs no
// string of its own, and added to the result at the end.
class ErasedTally {
 public:
  void AddTo(std::map<std::string, size_t>* deleted) const {
    for (const auto& [type, count] : counts_) (*deleted)[std::string(type)] += count;
  }

  void Add(std::string_view type) {
    for (auto& [counted, count] : counts_)
      if (counted == type) {
        ++count;
        return;
      }
    counts_.emplace_back(type, 1);
  }

 private:
  std::vector<std::pair<std::string_view, size_t>> counts_;
};

// Calls visit(text) for the text of every live record that has a handle,
// in the drawing or in the snapshot of it.
template <class Visit>
void ForEachLiveRecordText(const Drawing& d, Visit visit) {
  host::ForEachHandledRecord(d, [&](std::string_view text, uint32_t) { visit(text); });
}

template <class Visit>
void ForEachLiveRecordText(const DataSnapshot& s, Visit visit) {
  for (const auto* list : {&s.entities, &s.table_records, &s.other_handled, &s.objects})
    for (const DataSnapshot::Record& record : *list) visit(record.text());
}

// The live records' highest handle, and the handles more than one of them
// uses, ascending, each with the number of records that use it.
struct HandleUse {
  uint64_t highest = 0;
  std::vector<std::pair<uint64_t, size_t>> shared;
};

// Counts of the runs of equal handles longer than one in a sorted list,
// each given as the run's length plus extra.
std::vector<std::pair<uint64_t, size_t>> Runs(const std::vector<uint64_t>& sorted, size_t extra) {
  std::vector<std::pair<uint64_t, size_t>> runs;
  for (size_t i = 0, j; i < sorted.size(); i = j) {
    for (j = i + 1; j < sorted.size() && sorted[j] == sorted[i];) ++j;
    if (j - i + extra > 1) runs.emplace_back(sorted[i], j - i + extra);
  }
  return runs;
}

// The handles of the live records, counted. (The texts are visited, not
// listed first: a list of a million views would only add to the peak of
// memory.)
HandleUse CountHandles(const Drawing& d) {
  // Room for every record, erased ones too, so that the list never grows
  // (growing doubles it for a moment).
  size_t records = d.entity_count() + 2 * d.container_count();
  for (size_t t = 0; t < d.table_count(); ++t) records += 1 + d.table(t).records.size();
  for (const host::OpaqueSection* section : d.OpaqueSections()) records += section->records.size();
  std::vector<uint64_t> handles;
  handles.reserve(records);
  HandleUse use;
  ForEachLiveRecordText(d, [&](std::string_view text) {
    if (std::optional<uint64_t> handle = FirstHandle(text)) {
      handles.push_back(*handle);
      use.highest = std::max(use.highest, *handle);
    }
  });
  // Handles are given out one after the other, so most drawings use most
  // numbers below their highest: one bit a number then finds the handles
  // used twice, in no more room than the list, without sorting it.
  if (use.highest / 64 < handles.size()) {
    std::vector<uint64_t> seen(use.highest / 64 + 1);
    std::vector<uint64_t> again;  // each further use of a handle
    for (uint64_t handle : handles) {
      uint64_t& word = seen[handle / 64];
      uint64_t bit = uint64_t{1} << (handle % 64);
      if (word & bit) again.push_back(handle);
      word |= bit;
    }
    std::sort(again.begin(), again.end());
    use.shared = Runs(again, 1);
    return use;
  }
  std::sort(handles.begin(), handles.end());
  use.shared = Runs(handles, 0);
  return use;
}

// Whether every tag of before stands in after, in the same order: a record
// that only gained entries (a dictionary with a new name) lost nothing.
bool OnlyAdded(std::string_view before, std::string_view after) {
  std::vector<dxf::TagView> old_tags, new_tags;
  dxf::SplitTags(before, &old_tags);
  dxf::SplitTags(after, &new_tags);
  size_t j = 0;
  for (const dxf::TagView& tag : old_tags) {
    while (j < new_tags.size() &&
           (new_tags[j].code != tag.code ||
            dxf::TrimBlanks(new_tags[j].value) != dxf::TrimBlanks(tag.value)))
      ++j;
    if (j == new_tags.size()) return false;
    ++j;
  }
  return true;
}

// Adds a part's findings to what the parts before it found.
void Append(DataCheckResult&& part, DataCheckResult* result) {
  for (std::string& problem : part.problems) result->problems.push_back(std::move(problem));
  for (const auto& [type, count] : part.deleted) result->deleted[type] += count;
  result->entities_checked += part.entities_checked;
}

// The entities of a drawing by handle, live and erased, as a sorted list: a
// handle's entity is its first live one, else its first. (A list of a
// million entries takes a fraction of the room of a hash table of them, and
// the check looks up only the few entities not found where they were.)
// Handles below 2^32, which is all of them in any drawing of this world,
// are kept with the entity's id in one number: half the room, and a sort
// twice as fast.
class EntitiesByHandle {
 public:
  explicit EntitiesByHandle(const Drawing& drawing) : drawing_(drawing) {
    packed_.reserve(drawing.entity_count());
    for (EntityId id = 0; id < drawing.entity_count(); ++id) {
      std::optional<uint64_t> handle = host::ParseHandle(drawing.EntityHandle(id));
      if (!handle) continue;
      if (*handle >> 32 != 0) {
        BuildWide();
        return;
      }
      packed_.push_back(*handle << 32 | id);
    }
    if (!std::is_sorted(packed_.begin(), packed_.end())) std::sort(packed_.begin(), packed_.end());
  }

  // The entity with the handle (id, live), if any. Safe to call from two
  // threads at once.
  std::optional<std::pair<EntityId, bool>> Find(uint64_t handle) const {
    std::optional<EntityId> first, live;
    if (!wide_.empty()) {
      auto it = std::lower_bound(wide_.begin(), wide_.end(), std::make_pair(handle, EntityId{0}));
      for (; it != wide_.end() && it->first == handle && !live; ++it)
        Consider(it->second, &first, &live);
    } else if (handle >> 32 == 0) {
      auto it = std::lower_bound(packed_.begin(), packed_.end(), handle << 32);
      for (; it != packed_.end() && *it >> 32 == handle && !live; ++it)
        Consider(static_cast<EntityId>(*it & 0xFFFFFFFF), &first, &live);
    }
    if (live) return std::make_pair(*live, true);
    if (first) return std::make_pair(*first, false);
    return std::nullopt;
  }

 private:
  void Consider(EntityId id, std::optional<EntityId>* first, std::optional<EntityId>* live) const {
    if (!*first) *first = id;
    if (!drawing_.entity(id).erased) *live = id;
  }

  void BuildWide() {
    packed_ = {};
    wide_.reserve(drawing_.entity_count());
    for (EntityId id = 0; id < drawing_.entity_count(); ++id) {
      std::optional<uint64_t> handle = host::ParseHandle(drawing_.EntityHandle(id));
      if (handle) wide_.emplace_back(*handle, id);
    }
    std::sort(wide_.begin(), wide_.end());
  }

  const Drawing& drawing_;
  std::vector<uint64_t> packed_;                     // handle << 32 | id
  std::vector<std::pair<uint64_t, EntityId>> wide_;  // when a handle needs more
};

class Checker {
 public:
  Checker(const DataSnapshot& before, const Drawing& after, DataCheckResult* result)
      : before_(before), after_(after), result_(result) {}

  void Run() {
    size_t count = before_.entities.size();
    if (count < host::kTwoHalvesFrom) {
      CheckEntities(0, count);
      CheckOthers();
      return;
    }
    // A large drawing is checked on two threads. The work is cut into
    // pieces, the handle count, stretches of the entities and the other
    // records, which the threads take in turn: the handle count alone is
    // about as long as half the entities, so halves would leave one thread
    // waiting. Each piece has its findings of its own, appended in the
    // order one thread would have found them. The drawing is only read;
    // what it builds lazily (the header's seed) is made first.
    after_.HeaderValue("$HANDSEED");
    const size_t stretches = std::min<size_t>(kStretches, count / (host::kTwoHalvesFrom / 2));
    // Findings in the order of one thread: the stretches, the other
    // records, the handles. The handle count, the longest piece, is taken
    // first.
    std::vector<DataCheckResult> parts(stretches + 2);
    std::atomic<size_t> next{0};
    auto take_pieces = [&] {
      for (size_t piece; (piece = next.fetch_add(1)) < parts.size();) {
        if (piece == 0) {
          Checker(before_, after_, &parts.back()).CheckHandles();
          continue;
        }
        size_t stretch = piece - 1;
        Checker part(before_, after_, &parts[stretch]);
        part.by_handle_ = by_handle_;
        if (stretch < stretches) {
          part.CheckEntities(count * stretch / stretches, count * (stretch + 1) / stretches);
        } else {
          part.CheckTableRecords();
          part.CheckObjects();
          part.CheckSections();
        }
      }
    };
    host::RunBoth(take_pieces, take_pieces);
    for (DataCheckResult& part : parts) Append(std::move(part), result_);
  }

 private:
  // Pieces the entities of a large drawing are cut into.
  static constexpr size_t kStretches = 16;

  // The table of entities by handle, made by the first of two threads to
  // need it.
  // (A mutex, not std::call_once: memory running out while it is made
  // must unwind as any other failure does, and glibc's pthread_once would
  // first have to load the unwinder, with no memory left to load it.)
  struct SharedByHandle {
    std::mutex making;
    std::optional<EntitiesByHandle> table;
  };

  void CheckOthers() {
    CheckTableRecords();
    CheckObjects();
    CheckSections();
    CheckHandles();
  }

  void Problem(std::string text) { result_->problems.push_back(std::move(text)); }

  // After: live and erased entities by handle (id, live), built when an
  // entity is not found where it was: in a conversion, a few at most.
  const EntitiesByHandle& ByHandle() {
    std::lock_guard<std::mutex> lock(by_handle_->making);
    if (!by_handle_->table) by_handle_->table.emplace(after_);
    return *by_handle_->table;
  }

  // The entities [begin, end) of the snapshot.
  void CheckEntities(size_t begin, size_t end) {
    ErasedTally erased;
    for (size_t i = begin; i < end; ++i) {
      const DataSnapshot::Record& record = before_.entities[i];
      const EntityId id = record.number;
      const std::string_view before_text = record.text();
      ++result_->entities_checked;
      // The common case costs nothing: the entity still has the very text
      // it was read with.
      if (id < after_.entity_count()) {
        const host::Entity& entity = after_.entity(id);
        std::string_view text = entity.text.text();
        if (text.data() == before_text.data() && text.size() == before_text.size()) {
          if (entity.erased) erased.Add(entity.text.Type());
          continue;
        }
      }
      const std::string_view before_type = dxf::RecordType(before_text);
      bool unknown = !KnownTypes().count(before_type);
      // A known type without extended data has nothing to compare but its
      // type: its handle is all that needs reading (the common case, which
      // a full parse would make the dearest part of the check).
      bool light = !unknown && !MayHoldExtendedData(before_text);
      Parsed old = light ? TypeAndHandle(before_type, before_text) : Parse(before_text, unknown);
      // Entities are never taken out of the drawing: the one of that id
      // still has the input line.
      const uint32_t line = id < after_.entity_count() ? after_.entity(id).line : 0;
      EntityId now = host::kNoEntity;
      bool live = false;
      // The entity is looked for where it was (its id), and by its handle
      // when that entity no longer carries it (a paste may have made a new
      // record with the handle).
      if (id < after_.entity_count() && host::ParseHandle(after_.EntityHandle(id)) == old.handle) {
        now = id;
        live = !after_.entity(now).erased;
      }
      if (old.handle && (now == host::kNoEntity || !live)) {
        std::optional<std::pair<EntityId, bool>> found = ByHandle().Find(*old.handle);
        if (found && (now == host::kNoEntity || found->second)) std::tie(now, live) = *found;
      }
      if (now == host::kNoEntity) {
        Problem(Describe(old, line) + " (input line " + std::to_string(line) +
                ") is gone without being erased");
        continue;
      }
      if (!live) {
        erased.Add(old.type);
        continue;
      }
      std::string_view text = after_.entity(now).text.text();
      if (text.data() == before_text.data()) continue;  // untouched
      // Of a light record, only its type is compared.
      Parsed neu;
      if (light)
        neu.type = dxf::RecordType(text);
      else
        neu = Parse(text, unknown);
      if (neu.type != old.type) {
        Problem(Describe(old, line) + " became a " + std::string(neu.type));
        continue;
      }
      CompareXdata(old, neu, line);
      if (unknown && old.body != neu.body)
        Problem(Describe(old, line) +
                ": the data of this type, which the host does not know, changed");
    }
    erased.AddTo(&result_->deleted);
  }

  void CompareXdata(const Parsed& old, const Parsed& neu, uint32_t line) {
    for (const auto& [app, data] : old.xdata) {
      auto found = neu.xdata.find(app);
      if (found == neu.xdata.end())
        Problem(Describe(old, line) + ": the extended data of " + app + " is gone");
      else if (found->second != data)
        Problem(Describe(old, line) + ": the extended data of " + app + " changed");
    }
  }

  void CheckTableRecords() {
    std::unordered_map<uint64_t, std::string_view> now;
    for (size_t t = 0; t < after_.table_count(); ++t)
      for (host::TableRecordId id : after_.table(t).records) {
        const host::TableRecord& record = after_.table_record(id);
        if (record.erased) continue;
        Parsed parsed = Parse(record.text.text(), false);
        if (parsed.handle) now.emplace(*parsed.handle, record.text.text());
      }
    for (const DataSnapshot::Record& record : before_.table_records) {
      Parsed old = Parse(record.text(), false);
      if (!old.handle || old.xdata.empty()) continue;
      auto found = now.find(*old.handle);
      // Table records may be purged (the Genius layers replace others); only
      // their other applications' data is checked here.
      if (found == now.end()) continue;
      CompareXdata(old, Parse(found->second, false), record.number);
    }
  }

  void CheckObjects() {
    std::unordered_map<uint64_t, std::string_view> now;
    std::vector<std::string_view> unnamed;
    if (const host::OpaqueSection* objects = FindObjects()) {
      for (const host::RecordText& record : objects->records) {
        Parsed parsed = Parse(record.text(), false);
        if (parsed.handle)
          now.emplace(*parsed.handle, record.text());
        else
          unnamed.push_back(record.text());
      }
    }
    for (const DataSnapshot::Record& record : before_.objects) {
      const std::string_view before_text = record.text();
      Parsed old = Parse(before_text, false);
      if (!old.handle) {
        if (std::find(unnamed.begin(), unnamed.end(), before_text) == unnamed.end())
          Problem("the object " + Describe(old, record.number) + " changed or is gone");
        continue;
      }
      auto found = now.find(*old.handle);
      if (found == now.end()) {
        Problem("the object " + Describe(old, record.number) + " is gone");
      } else if (found->second != before_text && !OnlyAdded(before_text, found->second)) {
        Problem("the object " + Describe(old, record.number) + " changed");
      }
    }
  }

  const host::OpaqueSection* FindObjects() const {
    // objects() is not const; the section is found among the kept ones.
    for (const host::OpaqueSection* section : after_.OpaqueSections()) {
      if (section->records.empty()) continue;
      std::optional<std::string_view> name = host::FindValue(section->records.front().text(), 2);
      if (name && Upper(dxf::TrimBlanks(*name)) == "OBJECTS") return section;
    }
    return nullptr;
  }

  void CheckSections() {
    std::vector<std::vector<std::string_view>> now;
    for (const host::OpaqueSection* section : after_.OpaqueSections()) {
      if (section == FindObjects()) continue;
      std::vector<std::string_view> texts;
      for (const host::RecordText& record : section->records) texts.push_back(record.text());
      now.push_back(std::move(texts));
    }
    if (now != before_.sections) Problem("the CLASSES or another kept section changed");
  }

  void CheckHandles() {
    if (!before_.has_handles) return;
    auto [highest, shared] = CountHandles(after_);
    // Handles the input already shared are not the conversion's doing.
    if (!shared.empty()) {
      host::HandleTable<size_t> old_counts(shared.size());
      for (const auto& entry : shared) old_counts.Insert(entry.first, 0);
      ForEachLiveRecordText(before_, [&](std::string_view text) {
        std::optional<uint64_t> handle = FirstHandle(text);
        if (!handle) return;
        if (size_t* count = old_counts.Find(*handle)) ++*count;
      });
      for (const auto& [handle, count] : shared) {
        if (*old_counts.Find(handle) >= count) continue;
        Problem("the handle " + HandleText(handle) + " is used by " + std::to_string(count) +
                " records");
      }
    }
    std::optional<std::string> seed = after_.HeaderValue("$HANDSEED");
    if (!seed) return;
    std::optional<uint64_t> value = host::ParseHandle(*seed);
    if (value && *value > highest) return;
    // A seed the input already had too low is not the conversion's doing
    // while no handle above the input's was given out.
    if (before_.handseed && highest <= HighestHandle(before_) && *before_.handseed <= highest)
      return;
    Problem("$HANDSEED " + *seed + " is not above the highest handle " + HandleText(highest));
  }

  static uint64_t HighestHandle(const DataSnapshot& snapshot) {
    uint64_t highest = 0;
    ForEachLiveRecordText(snapshot, [&](std::string_view text) {
      highest = std::max(highest, FirstHandle(text).value_or(0));
    });
    return highest;
  }

  const DataSnapshot& before_;
  const Drawing& after_;
  DataCheckResult* result_;
  SharedByHandle own_by_handle_;
  SharedByHandle* by_handle_ = &own_by_handle_;  // a part's: the whole check's
};

}  // namespace

DataSnapshot TakeDataSnapshot(const Drawing& drawing) {
  DataSnapshot snapshot;
  snapshot.has_handles = drawing.has_handles();
  if (std::optional<std::string> seed = drawing.HeaderValue("$HANDSEED"))
    snapshot.handseed = host::ParseHandle(*seed);
  snapshot.entities.reserve(drawing.entity_count());
  for (EntityId id = 0; id < drawing.entity_count(); ++id) {
    const host::Entity& entity = drawing.entity(id);
    if (entity.erased) continue;
    snapshot.entities.emplace_back(Keep(entity.text, &snapshot), id);
  }
  for (size_t t = 0; t < drawing.table_count(); ++t) {
    const host::Table& table = drawing.table(t);
    snapshot.other_handled.emplace_back(Keep(table.head, &snapshot), 0);
    for (host::TableRecordId id : table.records) {
      const host::TableRecord& record = drawing.table_record(id);
      if (!record.erased)
        snapshot.table_records.emplace_back(Keep(record.text, &snapshot), record.line);
    }
  }
  for (host::ContainerId id = 0; id < drawing.container_count(); ++id) {
    const host::Container& c = drawing.container(id);
    if (c.erased) continue;
    if (c.block_record)
      snapshot.other_handled.emplace_back(Keep(*c.block_record, &snapshot), c.block_line);
    if (c.endblk_record) snapshot.other_handled.emplace_back(Keep(*c.endblk_record, &snapshot), 0);
  }
  bool objects_seen = false;
  for (const host::OpaqueSection* section : drawing.OpaqueSections()) {
    // The first OBJECTS section is the drawing's objects; a second one is
    // kept like any other section.
    bool objects = false;
    if (!section->records.empty() && !objects_seen) {
      std::optional<std::string_view> name = host::FindValue(section->records.front().text(), 2);
      objects = name && Upper(dxf::TrimBlanks(*name)) == "OBJECTS";
      objects_seen = objects;
    }
    std::vector<std::string_view> texts;
    for (const host::RecordText& record : section->records) {
      std::string_view text = Keep(record, &snapshot);
      if (objects)
        snapshot.objects.emplace_back(text, 0);
      else
        texts.push_back(text);
    }
    if (!objects) snapshot.sections.push_back(std::move(texts));
  }
  return snapshot;
}

DataCheckResult CheckNoDataLost(const DataSnapshot& before, const Drawing& after) {
  DataCheckResult result;
  Checker(before, after, &result).Run();
  return result;
}

std::string FormatDataCheck(const DataCheckResult& result) {
  std::string deleted;
  for (const auto& [type, count] : result.deleted)
    deleted += (deleted.empty() ? "" : ", ") + std::to_string(count) + " " + type;
  // More than the entities counted per space: block contents, vertices and
  // attributes are records of their own.
  std::string counts =
      std::to_string(result.entities_checked) +
      " entity records of all spaces and blocks, vertices and attributes included" +
      (deleted.empty() ? "" : "; deleted: " + deleted);
  if (result.ok()) return "data check: no data lost (" + counts + ")";
  std::string text = "data check: " + std::to_string(result.problems.size()) +
                     (result.problems.size() == 1 ? " problem" : " problems") + " (" + counts + ")";
  for (const std::string& problem : result.problems) text += "\n  " + problem;
  return text;
}

}  // namespace cli
