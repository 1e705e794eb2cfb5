// What the SDK functions keep between calls: per session and drawing, the
// serial that marks this session's names, the table walks, the selection
// sets, the objects open through the database classes and the working
// database object.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/api/entity_names.h"
#include "host/database/drawing.h"
#include "host/host_only.h"
#include "host/session.h"
#include "sdk/arx.h"

namespace host::api {

constexpr int kMaxSelectionSets = 128;

struct SelectionSet {
  bool used = false;
  uint64_t serial = 0;  // unique for every set made, so a freed set's name is stale
  std::vector<EntityId> members;
};

// Where acdbTblNext stands in one table.
struct TableCursor {
  std::string table;  // upper case
  bool loaded = false;
  std::vector<uint32_t> entries;  // records (or block containers) as of the last rewind
  size_t next = 0;                // index of the entry acdbTblNext gives next
};

// How often an object of the database classes is open.
struct OpenCount {
  int readers = 0;
  bool writer = false;
};

class ApiState {
 public:
  ApiState(Session* session, Drawing* drawing, uint64_t serial);

  Session& session() { return *session_; }
  Drawing& drawing() { return *drawing_; }
  uint64_t serial() const { return serial_; }
  bool Binds(const Session* session, const Drawing* drawing) const {
    return session_ == session && drawing_ == drawing;
  }

  // ---- names ----
  void EntityName(EntityId id, ads_name out) const;
  void ContainerName(ContainerId id, ads_name out) const;
  void HandleName(std::string_view handle_text, ads_name out) const;
  // The same for a handle already read (as ParseHandle reads it).
  void HandleName(uint64_t handle, ads_name out) const {
    MakeName(NameKind::kHandle, static_cast<long>(handle), serial_, out);
  }
  // The entity a name stands for, or kNoEntity when the name is not an entity
  // name of this session.
  EntityId EntityOfName(const ads_name name) const;
  ContainerId ContainerOfName(const ads_name name) const;

  // ---- table walks ----
  TableCursor& Cursor(const std::string& upper_table);

  // ---- selection sets ----
  // A free slot, or -1 when kMaxSelectionSets sets are open.
  int FreeSelectionSlot() const;
  SelectionSet& selection_set(int slot) { return selection_sets_[slot]; }
  // The set a name stands for, or null.
  SelectionSet* SetOfName(const ads_name name);
  static uint64_t NextSetSerial();

  // ---- objects open through the database classes ----
  std::unordered_map<uint64_t, OpenCount>& open_objects() { return open_objects_; }
  AcDbDatabase* database() { return &database_; }

 private:
  Session* session_;
  Drawing* drawing_;
  uint64_t serial_;
  std::vector<TableCursor> cursors_;
  std::array<SelectionSet, kMaxSelectionSets> selection_sets_;
  std::unordered_map<uint64_t, OpenCount> open_objects_;
  AcDbDatabase database_;
};

// The state of the current session's drawing, made afresh when the session or
// its drawing has changed since the last call; null outside a session.
ApiState* CurrentState();

}  // namespace host::api

namespace host {
// Drops the SDK functions' state (table walks, selection sets, open objects).
// The session calls it when it ends or replaces its drawing, so that names
// handed out before are refused from then on.
void ForgetApiState();
}  // namespace host
