#include "host/api/database_objects.h"

#include <cstdlib>
#include <new>

#include "host/api/layer_records.h"
#include "host/api/record_values.h"
#include "host/api/text_util.h"

namespace host {

namespace {
std::array<int, 6> g_close_failures = {0, 0, 0, 0, 0, 0};
}  // namespace

void FailNextClose(DbObjectKind kind) { ++g_close_failures[static_cast<size_t>(kind)]; }

}  // namespace host

namespace host::api {

bool TakeCloseFailure(DbObjectKind kind) {
  int& pending = host::g_close_failures[static_cast<size_t>(kind)];
  if (pending == 0) return false;
  --pending;
  return true;
}

const char* TableNameOf(DbObjectKind kind) {
  switch (kind) {
    case DbObjectKind::kLayerTable:
    case DbObjectKind::kLayerRecord:
      return "LAYER";
    case DbObjectKind::kLinetypeTable:
    case DbObjectKind::kLinetypeRecord:
      return "LTYPE";
    case DbObjectKind::kDimStyleTable:
    case DbObjectKind::kDimStyleRecord:
      return "DIMSTYLE";
  }
  return "";
}

DbObjectKind RecordKindOf(DbObjectKind table_kind) {
  switch (table_kind) {
    case DbObjectKind::kLayerTable:
      return DbObjectKind::kLayerRecord;
    case DbObjectKind::kLinetypeTable:
      return DbObjectKind::kLinetypeRecord;
    case DbObjectKind::kDimStyleTable:
      return DbObjectKind::kDimStyleRecord;
    default:
      return table_kind;
  }
}

// An id: kind + 1 in the top byte, 24 bits of the state's serial, then the
// record + 1 (0 for a table).
AcDbObjectId MakeObjectId(DbObjectKind kind, uint64_t serial, TableRecordId record) {
  uint64_t low = record == kNoRecord ? 0 : uint64_t{record} + 1;
  return AcDbObjectId((uint64_t{static_cast<uint8_t>(kind)} + 1) << 56 | (serial & 0xFFFFFF) << 32 |
                      low);
}

TableRecordId RecordOfId(const ApiState& state, AcDbObjectId id, DbObjectKind kind) {
  uint64_t value = id.asUInt64();
  if ((value >> 56) != uint64_t{static_cast<uint8_t>(kind)} + 1) return kNoRecord;
  if (((value >> 32) & 0xFFFFFF) != (state.serial() & 0xFFFFFF)) return kNoRecord;
  uint64_t low = value & 0xFFFFFFFF;
  if (low == 0) return kNoRecord;
  return static_cast<TableRecordId>(low - 1);
}

ApiState* StateOf(const AcDbObjectImpl& impl) {
  ApiState* state = CurrentState();
  if (state == nullptr || impl.serial != state->serial()) return nullptr;
  return state;
}

namespace {

uint64_t OpenKey(const AcDbObjectImpl& impl) {
  uint64_t low = impl.record == kNoRecord ? 0xFFFFFFFF : impl.record;
  return uint64_t{static_cast<uint8_t>(impl.kind)} << 32 | low;
}

}  // namespace

Acad::ErrorStatus RegisterOpen(ApiState& state, AcDbObjectImpl& impl, AcDb::OpenMode mode) {
  OpenCount& count = state.open_objects()[OpenKey(impl)];
  if (count.writer) return Acad::eWasOpenForWrite;
  if (mode == AcDb::kForWrite) {
    if (count.readers > 0) return Acad::eWasOpenForRead;
    count.writer = true;
  } else {
    ++count.readers;
  }
  impl.mode = mode;
  impl.registered = true;
  return Acad::eOk;
}

void UnregisterOpen(ApiState& state, AcDbObjectImpl& impl) {
  if (!impl.registered) return;
  impl.registered = false;
  auto found = state.open_objects().find(OpenKey(impl));
  if (found == state.open_objects().end()) return;
  if (impl.mode == AcDb::kForWrite) {
    found->second.writer = false;
  } else if (found->second.readers > 0) {
    --found->second.readers;
  }
  if (!found->second.writer && found->second.readers == 0) state.open_objects().erase(found);
}

void LoadRecord(ApiState& state, AcDbObjectImpl& impl) {
  Drawing& drawing = state.drawing();
  std::vector<dxf::TagView> tags;
  drawing.TableRecordTags(impl.record, &tags);
  bool seen[3] = {false, false, false};
  for (size_t i = 1; i < tags.size() && tags[i].code != 1001; ++i) {
    const dxf::TagView& tag = tags[i];
    if (tag.code == 2 && !impl.name_set) {
      std::string raw(TrimBlanks(tag.value));
      impl.name = drawing.encoding().utf8() ? drawing.encoding().Decode(raw) : raw;
      impl.name_set = true;
    } else if (impl.kind == DbObjectKind::kLayerRecord && tag.code == 62) {
      long long color = ParseInteger(tag.value);
      impl.off = color < 0;
      impl.color = static_cast<Adesk::UInt16>(color < 0 ? -color : color);
    } else if (impl.kind == DbObjectKind::kLayerRecord && tag.code == 6) {
      std::string raw(TrimBlanks(tag.value));
      TableRecordId linetype = FindLiveRecord(
          drawing, "LTYPE", drawing.encoding().utf8() ? drawing.encoding().Decode(raw) : raw);
      impl.linetype = linetype == kNoRecord
                          ? AcDbObjectId()
                          : MakeObjectId(DbObjectKind::kLinetypeRecord, state.serial(), linetype);
    } else if (impl.kind == DbObjectKind::kDimStyleRecord && tag.code >= 176 && tag.code <= 178 &&
               !seen[tag.code - 176]) {
      seen[tag.code - 176] = true;
      impl.dimclr[tag.code - 176] = static_cast<int16_t>(ParseInteger(tag.value));
    }
  }
}

void CommitRecord(ApiState& state, AcDbObjectImpl& impl) {
  if (impl.record == kNoRecord) return;
  Drawing& drawing = state.drawing();
  std::vector<dxf::TagView> views;
  drawing.TableRecordTags(impl.record, &views);
  dxf::Tags tags;
  tags.reserve(views.size() + 3);
  for (const dxf::TagView& view : views) tags.emplace_back(view.code, std::string(view.value));
  bool dimstyle = impl.kind == DbObjectKind::kDimStyleRecord;
  bool changed = false;
  if (impl.name_changed) {
    changed |= SetRecordValue(&tags, 2, drawing.encoding().Encode(impl.name), dimstyle);
  }
  if (impl.kind == DbObjectKind::kLayerRecord) {
    if (impl.color_changed) {
      int color = impl.off ? -static_cast<int>(impl.color) : impl.color;
      changed |= SetRecordValue(&tags, 62, dxf::FormatInt(color), false);
    }
    if (impl.linetype_changed) {
      TableRecordId linetype = RecordOfId(state, impl.linetype, DbObjectKind::kLinetypeRecord);
      std::string name =
          linetype != kNoRecord ? RecordName(drawing, linetype) : ContinuousLinetype(drawing);
      changed |= SetRecordValue(&tags, 6, name, false);
    }
  }
  if (dimstyle) {
    for (int k = 0; k < 3; ++k) {
      if (!impl.dimclr_changed[k]) continue;
      changed |= SetRecordValue(&tags, 176 + k, dxf::FormatInt(impl.dimclr[k]), true);
    }
  }
  impl.name_changed = impl.color_changed = impl.linetype_changed = false;
  impl.dimclr_changed = {false, false, false};
  // A record whose values came out the same keeps its text.
  if (changed) drawing.SetTableRecordTags(impl.record, tags);
}

}  // namespace host::api

// ---- AcDbObject ------------------------------------------------------------------

AcDbObject::AcDbObject() = default;

AcDbObject::~AcDbObject() {
  if (impl_ == nullptr) return;
  // An object deleted while open (instead of closed) gives up its open
  // without committing anything.
  if (impl_->registered) {
    if (host::api::ApiState* state = host::api::StateOf(*impl_)) {
      host::api::UnregisterOpen(*state, *impl_);
    }
  }
  delete impl_;
  impl_ = nullptr;
}

void* AcDbObject::operator new(size_t size) { return ::operator new(size); }

void AcDbObject::operator delete(void* p) { ::operator delete(p); }

AcDbObjectId AcDbObject::objectId() const {
  if (impl_ == nullptr || !impl_->resident || impl_->record == host::kNoRecord) {
    return AcDbObjectId();
  }
  return host::api::MakeObjectId(impl_->kind, impl_->serial, impl_->record);
}

Acad::ErrorStatus AcDbObject::close() {
  Acad::ErrorStatus status = Acad::eOk;
  host::DbObjectKind kind = impl_ != nullptr ? impl_->kind : host::DbObjectKind::kLayerRecord;
  if (impl_ != nullptr && impl_->resident) {
    host::api::ApiState* state = host::api::StateOf(*impl_);
    if (state == nullptr) {
      status = Acad::eNotInDatabase;  // its drawing is gone
    } else {
      if (impl_->registered && impl_->mode == AcDb::kForWrite) {
        host::api::CommitRecord(*state, *impl_);
      }
      host::api::UnregisterOpen(*state, *impl_);
    }
  }
  if (impl_ != nullptr && host::api::TakeCloseFailure(kind)) status = Acad::eCloseFailed;
  // The host owns closed objects; a record never added to the database is
  // simply freed.
  delete this;
  return status;
}
