#include "host/api/layer_records.h"

#include "host/api/text_util.h"
#include "host/database/record_scan.h"

namespace host::api {

std::string RecordName(const Drawing& drawing, TableRecordId id) {
  // Looked up for every entity that is given a layer: read up to the name.
  std::optional<std::string_view> name = drawing.table_record(id).text.Find(2);
  return name ? std::string(TrimBlanks(*name)) : std::string();
}

TableRecordId FindLiveRecord(const Drawing& drawing, std::string_view table,
                             std::string_view name) {
  TableRecordId id = drawing.FindTableRecord(table, name);
  if (id == kNoRecord || drawing.table_record(id).erased) return kNoRecord;
  return id;
}

std::string ContinuousLinetype(const Drawing& drawing) {
  TableRecordId id = FindLiveRecord(drawing, "LTYPE", "CONTINUOUS");
  if (id == kNoRecord) return "CONTINUOUS";
  std::string name = RecordName(drawing, id);
  return name.empty() ? std::string("CONTINUOUS") : name;
}

namespace {

// The plot-style handle (390) of the first layer that has one. From 2000 on
// every layer points at the "Normal" placeholder object; a new layer without
// it is one that some readers refuse.
std::string PlotStyleOfOtherLayers(const Drawing& drawing, const Table& table) {
  std::vector<dxf::TagView> tags;
  for (TableRecordId id : table.records) {
    tags.clear();
    drawing.TableRecordTags(id, &tags);
    for (const dxf::TagView& tag : tags) {
      if (tag.code == 390) return std::string(TrimBlanks(tag.value));
    }
  }
  return std::string();
}

}  // namespace

TableRecordId CreateLayer(Drawing& drawing, std::string_view name, int color,
                          std::string_view linetype) {
  const Table* table = drawing.FindTable("LAYER");
  if (table == nullptr) return kNoRecord;
  dxf::Tags tags;
  tags.emplace_back(0, "LAYER");
  if (drawing.is_r12()) {
    if (drawing.has_handles()) tags.emplace_back(5, drawing.NewHandle());
    tags.emplace_back(2, std::string(name));
    tags.emplace_back(70, "0");
    tags.emplace_back(62, dxf::FormatInt(color));
    tags.emplace_back(6, std::string(linetype));
  } else {
    std::string plot_style = PlotStyleOfOtherLayers(drawing, *table);
    tags.emplace_back(5, drawing.NewHandle());
    if (!table->handle.empty()) tags.emplace_back(330, table->handle);
    tags.emplace_back(100, "AcDbSymbolTableRecord");
    tags.emplace_back(100, "AcDbLayerTableRecord");
    tags.emplace_back(2, std::string(name));
    tags.emplace_back(70, "0");
    tags.emplace_back(62, dxf::FormatInt(color));
    tags.emplace_back(6, std::string(linetype));
    tags.emplace_back(370, "-3");
    if (!plot_style.empty()) tags.emplace_back(390, plot_style);
  }
  return drawing.AddTableRecord("LAYER", tags);
}

}  // namespace host::api
