// The working database and its layer, linetype and dimension-style tables.
#include "host/api/database_objects.h"
#include "host/api/layer_records.h"
#include "host/api/text_util.h"

namespace host::api {

namespace {

// The state of an open table, or null.
ApiState* OpenTableState(const AcDbObjectImpl* impl) {
  if (impl == nullptr || !impl->resident || !impl->registered) return nullptr;
  return StateOf(*impl);
}

TableRecordId FindRecord(ApiState& state, host::DbObjectKind table_kind, const char* name,
                         bool open_erased) {
  if (name == nullptr) return kNoRecord;
  // Erased records are never found: nothing in this host erases a record.
  (void)open_erased;
  return state.drawing().FindTableRecord(TableNameOf(table_kind), name);
}

template <typename Table>
Acad::ErrorStatus OpenTable(host::DbObjectKind kind, AcDbDatabase* database, Table*& table,
                            AcDb::OpenMode mode) {
  table = nullptr;
  ApiState* state = CurrentState();
  if (state == nullptr || database == nullptr || database->impl_ != &state->drawing()) {
    return Acad::eNotInDatabase;
  }
  auto* impl = new AcDbObjectImpl;
  impl->kind = kind;
  impl->serial = state->serial();
  impl->resident = true;
  Acad::ErrorStatus status = RegisterOpen(*state, *impl, mode);
  if (status != Acad::eOk) {
    delete impl;
    return status;
  }
  table = new Table;
  table->impl_ = impl;
  return Acad::eOk;
}

template <typename Record>
Acad::ErrorStatus OpenRecord(ApiState& state, host::DbObjectKind kind, TableRecordId id,
                             Record*& record, AcDb::OpenMode mode) {
  record = nullptr;
  auto* object = new Record;
  AcDbObjectImpl* impl = object->impl_;
  impl->serial = state.serial();
  impl->record = id;
  impl->resident = true;
  Acad::ErrorStatus status = RegisterOpen(state, *impl, mode);
  if (status != Acad::eOk) {
    delete object;
    return status;
  }
  LoadRecord(state, *impl);
  record = object;
  return Acad::eOk;
}

}  // namespace

}  // namespace host::api

using host::DbObjectKind;
using host::api::ApiState;

bool AcDbSymbolTable::has(const char* name) const {
  ApiState* state = host::api::OpenTableState(impl_);
  if (state == nullptr) return false;
  return host::api::FindRecord(*state, impl_->kind, name, false) != host::kNoRecord;
}

Acad::ErrorStatus AcDbLayerTable::getAt(const char* name, AcDbLayerTableRecord*& record,
                                        AcDb::OpenMode mode, bool open_erased) const {
  record = nullptr;
  ApiState* state = host::api::OpenTableState(impl_);
  if (state == nullptr) return Acad::eNotInDatabase;
  host::TableRecordId id = host::api::FindRecord(*state, impl_->kind, name, open_erased);
  if (id == host::kNoRecord) return Acad::eKeyNotFound;
  return host::api::OpenRecord(*state, DbObjectKind::kLayerRecord, id, record, mode);
}

Acad::ErrorStatus AcDbLayerTable::getAt(const char* name, AcDbObjectId& id,
                                        bool open_erased) const {
  ApiState* state = host::api::OpenTableState(impl_);
  if (state == nullptr) return Acad::eNotInDatabase;
  host::TableRecordId record = host::api::FindRecord(*state, impl_->kind, name, open_erased);
  if (record == host::kNoRecord) return Acad::eKeyNotFound;
  id = host::api::MakeObjectId(DbObjectKind::kLayerRecord, state->serial(), record);
  return Acad::eOk;
}

// Adds a new layer record; it stays open for write until it is closed.
Acad::ErrorStatus AcDbLayerTable::add(AcDbLayerTableRecord* record) {
  ApiState* state = host::api::OpenTableState(impl_);
  if (state == nullptr) return Acad::eNotInDatabase;
  if (impl_->mode != AcDb::kForWrite) return Acad::eNotOpenForWrite;
  if (record == nullptr || record->impl_ == nullptr) return Acad::eNullObjectPointer;
  AcDbObjectImpl* entry = record->impl_;
  if (entry->resident) return Acad::eAlreadyInDb;
  if (!entry->name_set) return Acad::eInvalidInput;
  host::Drawing& drawing = state->drawing();
  if (host::api::FindLiveRecord(drawing, "LAYER", entry->name) != host::kNoRecord) {
    return Acad::eDuplicateRecordName;
  }
  host::TableRecordId linetype_id = host::kNoRecord;
  if (!entry->linetype.isNull()) {
    linetype_id = host::api::RecordOfId(*state, entry->linetype, DbObjectKind::kLinetypeRecord);
    if (linetype_id == host::kNoRecord) return Acad::eInvalidInput;
  }
  std::string linetype = linetype_id != host::kNoRecord
                             ? host::api::RecordName(drawing, linetype_id)
                             : host::api::ContinuousLinetype(drawing);
  // A layer's colour is 1-255; ByLayer and ByBlock mean nothing for a layer.
  int color = entry->color >= 1 && entry->color <= 255 ? entry->color : 7;
  host::TableRecordId id =
      host::api::CreateLayer(drawing, drawing.encoding().Encode(entry->name), color, linetype);
  if (id == host::kNoRecord) return Acad::eInvalidInput;
  entry->serial = state->serial();
  entry->record = id;
  entry->resident = true;
  entry->name_changed = entry->color_changed = entry->linetype_changed = false;
  return host::api::RegisterOpen(*state, *entry, AcDb::kForWrite);
}

Acad::ErrorStatus AcDbLinetypeTable::getAt(const char* name, AcDbObjectId& id,
                                           bool open_erased) const {
  ApiState* state = host::api::OpenTableState(impl_);
  if (state == nullptr) return Acad::eNotInDatabase;
  host::TableRecordId record = host::api::FindRecord(*state, impl_->kind, name, open_erased);
  if (record == host::kNoRecord) return Acad::eKeyNotFound;
  id = host::api::MakeObjectId(DbObjectKind::kLinetypeRecord, state->serial(), record);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDimStyleTable::getAt(const char* name, AcDbDimStyleTableRecord*& record,
                                           AcDb::OpenMode mode, bool open_erased) const {
  record = nullptr;
  ApiState* state = host::api::OpenTableState(impl_);
  if (state == nullptr) return Acad::eNotInDatabase;
  host::TableRecordId id = host::api::FindRecord(*state, impl_->kind, name, open_erased);
  if (id == host::kNoRecord) return Acad::eKeyNotFound;
  return host::api::OpenRecord(*state, DbObjectKind::kDimStyleRecord, id, record, mode);
}

Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbLayerTable*& table, AcDb::OpenMode mode) {
  return host::api::OpenTable(DbObjectKind::kLayerTable, this, table, mode);
}

Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbLinetypeTable*& table, AcDb::OpenMode mode) {
  return host::api::OpenTable(DbObjectKind::kLinetypeTable, this, table, mode);
}

Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbDimStyleTable*& table, AcDb::OpenMode mode) {
  return host::api::OpenTable(DbObjectKind::kDimStyleTable, this, table, mode);
}
