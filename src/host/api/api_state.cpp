#include "host/api/api_state.h"

#include <memory>

#include "host/api/text_util.h"

namespace host::api {

namespace {
uint64_t g_last_state_serial = 0;
uint64_t g_last_set_serial = 0;
std::unique_ptr<ApiState> g_state;
}  // namespace

ApiState::ApiState(Session* session, Drawing* drawing, uint64_t serial)
    : session_(session), drawing_(drawing), serial_(serial) {
  database_.impl_ = drawing;
}

void ApiState::EntityName(EntityId id, ads_name out) const {
  MakeName(NameKind::kEntity, static_cast<long>(id) + 1, serial_, out);
}

void ApiState::ContainerName(ContainerId id, ads_name out) const {
  MakeName(NameKind::kContainer, static_cast<long>(id) + 1, serial_, out);
}

void ApiState::HandleName(std::string_view handle_text, ads_name out) const {
  HandleName(ParseHandle(handle_text), out);
}

EntityId ApiState::EntityOfName(const ads_name name) const {
  if (name == nullptr || KindOfName(name) != NameKind::kEntity || SerialOfName(name) != serial_) {
    return kNoEntity;
  }
  if (name[0] <= 0 || static_cast<unsigned long>(name[0]) > drawing_->entity_count()) {
    return kNoEntity;
  }
  return static_cast<EntityId>(name[0] - 1);
}

ContainerId ApiState::ContainerOfName(const ads_name name) const {
  if (name == nullptr || KindOfName(name) != NameKind::kContainer ||
      SerialOfName(name) != serial_) {
    return kNoContainer;
  }
  if (name[0] <= 0 || static_cast<unsigned long>(name[0]) > drawing_->container_count()) {
    return kNoContainer;
  }
  return static_cast<ContainerId>(name[0] - 1);
}

TableCursor& ApiState::Cursor(const std::string& upper_table) {
  for (TableCursor& cursor : cursors_) {
    if (cursor.table == upper_table) return cursor;
  }
  TableCursor cursor;
  cursor.table = upper_table;
  cursors_.push_back(std::move(cursor));
  return cursors_.back();
}

int ApiState::FreeSelectionSlot() const {
  for (int slot = 0; slot < kMaxSelectionSets; ++slot) {
    if (!selection_sets_[slot].used) return slot;
  }
  return -1;
}

SelectionSet* ApiState::SetOfName(const ads_name name) {
  if (name == nullptr || KindOfName(name) != NameKind::kSelectionSet) return nullptr;
  if (name[0] <= 0 || name[0] > kMaxSelectionSets) return nullptr;
  SelectionSet& set = selection_sets_[name[0] - 1];
  if (!set.used || set.serial != SerialOfName(name)) return nullptr;
  return &set;
}

uint64_t ApiState::NextSetSerial() { return ++g_last_set_serial & kSerialMask; }

ApiState* CurrentState() {
  Session* session = CurrentSession();
  if (session == nullptr) return nullptr;
  Drawing* drawing = &session->drawing();
  if (g_state == nullptr || !g_state->Binds(session, drawing)) {
    g_state = std::make_unique<ApiState>(session, drawing, ++g_last_state_serial);
  }
  return g_state.get();
}

}  // namespace host::api

namespace host {
void ForgetApiState() { api::g_state.reset(); }
}  // namespace host
