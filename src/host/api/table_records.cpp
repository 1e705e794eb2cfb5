// The symbol-table record classes: names, layer colour and linetype, the
// dimension-style colours. Changes wait in the object until close().
#include "host/api/database_objects.h"
#include "host/api/layer_records.h"
#include "host/api/text_util.h"

namespace host::api {

namespace {

AcDbObjectImpl* NewRecordImpl(host::DbObjectKind kind) {
  AcDbObjectImpl* impl = new AcDbObjectImpl;
  impl->kind = kind;
  impl->mode = AcDb::kForWrite;  // a new record may be set up freely
  return impl;
}

// Whether the object's values may be changed: a new record, or one open for
// write.
bool Writable(const AcDbObjectImpl* impl) {
  return impl != nullptr &&
         (!impl->resident || (impl->registered && impl->mode == AcDb::kForWrite));
}

}  // namespace

}  // namespace host::api

using host::api::Writable;

Acad::ErrorStatus AcDbSymbolTableRecord::setName(const char* name) {
  if (impl_ == nullptr) return Acad::eNullObjectPointer;
  if (name == nullptr || !host::api::IsValidSymbolName(name)) return Acad::eInvalidInput;
  if (!Writable(impl_)) return Acad::eNotOpenForWrite;
  if (impl_->resident) {
    host::api::ApiState* state = host::api::StateOf(*impl_);
    if (state == nullptr) return Acad::eNotInDatabase;
    host::Drawing& drawing = state->drawing();
    host::TableRecordId other =
        host::api::FindLiveRecord(drawing, host::api::TableNameOf(impl_->kind), name);
    if (other != host::kNoRecord && other != impl_->record) return Acad::eDuplicateRecordName;
    impl_->name_changed = true;
  }
  impl_->name = name;
  impl_->name_set = true;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::getName(const char*& name) const {
  if (impl_ == nullptr) return Acad::eNullObjectPointer;
  name = impl_->name.c_str();
  return Acad::eOk;
}

// ---- layers ----

AcDbLayerTableRecord::AcDbLayerTableRecord() {
  impl_ = host::api::NewRecordImpl(host::DbObjectKind::kLayerRecord);
}

void AcDbLayerTableRecord::setColor(const AcCmColor& color) {
  if (!Writable(impl_)) return;
  impl_->color = color.colorIndex();
  impl_->color_changed = true;
}

AcCmColor AcDbLayerTableRecord::color() const {
  AcCmColor color;
  if (impl_ != nullptr) color.setColorIndex(impl_->color);
  return color;
}

void AcDbLayerTableRecord::setLinetypeObjectId(AcDbObjectId id) {
  if (!Writable(impl_)) return;
  impl_->linetype = id;
  impl_->linetype_changed = true;
}

AcDbObjectId AcDbLayerTableRecord::linetypeObjectId() const {
  return impl_ != nullptr ? impl_->linetype : AcDbObjectId();
}

// ---- linetypes ----

AcDbLinetypeTableRecord::AcDbLinetypeTableRecord() {
  impl_ = host::api::NewRecordImpl(host::DbObjectKind::kLinetypeRecord);
}

// ---- dimension styles ----

AcDbDimStyleTableRecord::AcDbDimStyleTableRecord() {
  impl_ = host::api::NewRecordImpl(host::DbObjectKind::kDimStyleRecord);
}

namespace {

Acad::ErrorStatus SetDimColor(AcDbObjectImpl* impl, int which, const AcCmColor& color) {
  if (impl == nullptr) return Acad::eNullObjectPointer;
  if (!Writable(impl)) return Acad::eNotOpenForWrite;
  // 0 ByBlock, 1-255 a colour, 256 ByLayer.
  if (color.colorIndex() > 256) return Acad::eInvalidInput;
  impl->dimclr[which] = static_cast<int16_t>(color.colorIndex());
  impl->dimclr_changed[which] = true;
  return Acad::eOk;
}

AcCmColor DimColor(const AcDbObjectImpl* impl, int which) {
  AcCmColor color;
  color.setColorIndex(impl != nullptr ? static_cast<Adesk::UInt16>(impl->dimclr[which]) : 0);
  return color;
}

}  // namespace

Acad::ErrorStatus AcDbDimStyleTableRecord::setDimclrd(const AcCmColor& color) {
  return SetDimColor(impl_, 0, color);
}
Acad::ErrorStatus AcDbDimStyleTableRecord::setDimclre(const AcCmColor& color) {
  return SetDimColor(impl_, 1, color);
}
Acad::ErrorStatus AcDbDimStyleTableRecord::setDimclrt(const AcCmColor& color) {
  return SetDimColor(impl_, 2, color);
}
AcCmColor AcDbDimStyleTableRecord::dimclrd() const { return DimColor(impl_, 0); }
AcCmColor AcDbDimStyleTableRecord::dimclre() const { return DimColor(impl_, 1); }
AcCmColor AcDbDimStyleTableRecord::dimclrt() const { return DimColor(impl_, 2); }
