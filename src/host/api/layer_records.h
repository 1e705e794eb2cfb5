// Table-record helpers shared by acdbEntMod and the database classes: record
// names, and new LAYER records written the way the drawing's version wants.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dxf/tag.h"
#include "host/database/drawing.h"
#include "host/host_only.h"

namespace host::api {

// The record's name (its 2 tag) as written in the file; empty when it has none.
std::string RecordName(const Drawing& drawing, TableRecordId id);

// A record of that name (code page 1252, without regard to case) that is not
// erased, or kNoRecord.
TableRecordId FindLiveRecord(const Drawing& drawing, std::string_view table, std::string_view name);

// The drawing's own spelling of the CONTINUOUS linetype ("CONTINUOUS" when
// the table lacks it).
std::string ContinuousLinetype(const Drawing& drawing);

// Adds a LAYER record: from R13 on 0 LAYER, 5 (new handle), 330 (the LAYER
// table), 100 AcDbSymbolTableRecord, 100 AcDbLayerTableRecord, 2, 70 0, 62,
// 6, 370 -3 (default line weight) and 390 (the plot-style placeholder other
// layers use, when there is one); in R12 0 LAYER, 5 when the file has
// handles, 2, 70 0, 62, 6. Names are in the file's encoding. kNoRecord when
// the drawing has no LAYER table.
TableRecordId CreateLayer(Drawing& drawing, std::string_view name, int color,
                          std::string_view linetype);

}  // namespace host::api
