// The host side of the database classes (AcDbObject and the symbol tables and
// records of sdk/arx.h): which object an AcDbObject stands for, how it is
// open, and the changes made through it that close() commits.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "host/api/api_state.h"
#include "host/database/drawing.h"
#include "host/host_only.h"
#include "sdk/arx.h"

namespace host {

enum class DbObjectKind : uint8_t {
  kLayerTable,
  kLinetypeTable,
  kDimStyleTable,
  kLayerRecord,
  kLinetypeRecord,
  kDimStyleRecord,
};

// Makes the next close() of an object of that kind report eCloseFailed (its
// work is done all the same), so that tests reach the paths a failing close
// takes, such as the module's acrx_abort.
void FailNextClose(DbObjectKind kind);

}  // namespace host

struct AcDbObjectImpl {
  host::DbObjectKind kind = host::DbObjectKind::kLayerRecord;
  uint64_t serial = 0;  // the API state of the drawing it belongs to; 0 while new
  host::TableRecordId record = host::kNoRecord;  // a record in the drawing
  bool resident = false;                         // a table, or a record in the drawing
  bool registered = false;                       // counted among the state's open objects
  AcDb::OpenMode mode = AcDb::kForRead;

  std::string name;  // a record's name, code page 1252
  bool name_set = false;
  bool name_changed = false;

  // Layer records.
  Adesk::UInt16 color = 7;
  bool color_changed = false;
  bool off = false;  // a negative colour in the file
  AcDbObjectId linetype;
  bool linetype_changed = false;

  // Dimension-style records: DIMCLRD, DIMCLRE, DIMCLRT (176, 177, 178).
  std::array<int16_t, 3> dimclr = {0, 0, 0};
  std::array<bool, 3> dimclr_changed = {false, false, false};
};

namespace host::api {

const char* TableNameOf(DbObjectKind kind);  // "LAYER", "LTYPE", "DIMSTYLE"
DbObjectKind RecordKindOf(DbObjectKind table_kind);

AcDbObjectId MakeObjectId(DbObjectKind kind, uint64_t serial, TableRecordId record);
// The record an id stands for in this state, or kNoRecord.
TableRecordId RecordOfId(const ApiState& state, AcDbObjectId id, DbObjectKind kind);

// The state an object belongs to, when it is still the current one.
ApiState* StateOf(const AcDbObjectImpl& impl);

// Counts an open of the object; the errors of a second open that the first
// excludes (eWasOpenForWrite, eWasOpenForRead).
Acad::ErrorStatus RegisterOpen(ApiState& state, AcDbObjectImpl& impl, AcDb::OpenMode mode);
void UnregisterOpen(ApiState& state, AcDbObjectImpl& impl);

// Fills a record object's values from its record in the drawing.
void LoadRecord(ApiState& state, AcDbObjectImpl& impl);
// Writes the changes made through a record object into its record.
void CommitRecord(ApiState& state, AcDbObjectImpl& impl);

// Whether a FailNextClose for that kind is pending (and takes it).
bool TakeCloseFailure(DbObjectKind kind);

}  // namespace host::api
