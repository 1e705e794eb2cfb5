// The no-data-lost check of a conversion: what the drawing held before is
// compared with what it holds after. A conversion may erase entities (the
// passes empty model space and erase layers; the paste drops paper-space
// viewports) and rewrite the common properties and geometry of the rest, but
// it must not lose an entity unnoticed, touch the data of other applications,
// change what the host does not understand, or leave handles that clash.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/database/drawing.h"

namespace cli {

// A cheap picture of a loaded drawing: views of its records' texts. Records
// read from the file stay valid in the file buffer whatever the conversion
// does to them (a changed record gets a text of its own), so the snapshot
// copies only records that had already changed when it was taken. It is
// valid as long as the drawing it was taken from.
struct DataSnapshot {
  // A record's text as it was, and a number: for an entity its id (the
  // entity keeps its input line), for any other record its input line.
  // Sixteen bytes: a snapshot holds one for every record of a drawing.
  struct Record {
    Record(std::string_view record_text, uint32_t id_or_line)
        : data(record_text.data()),
          size(static_cast<uint32_t>(record_text.size())),
          number(id_or_line) {}
    std::string_view text() const { return std::string_view(data, size); }
    const char* data;
    uint32_t size;
    uint32_t number;
  };
  static_assert(sizeof(Record) == 16);
  std::vector<Record> entities;       // live entities, by id
  std::vector<Record> table_records;  // live table records
  std::vector<Record> other_handled;  // table heads and BLOCK/ENDBLK records
  std::vector<Record> objects;        // the OBJECTS section's records
  // Records of the other kept sections (CLASSES, THUMBNAILIMAGE, unknown).
  std::vector<std::vector<std::string_view>> sections;
  std::deque<std::string> copies;  // texts of records changed before the snapshot
  bool has_handles = false;
  std::optional<uint64_t> handseed;  // as read; nullopt when absent or not a handle
};

DataSnapshot TakeDataSnapshot(const host::Drawing& drawing);

struct DataCheckResult {
  // Entities the conversion erased, by type ("LINE" -> 12).
  std::map<std::string, size_t> deleted;
  // What was lost or damaged, one sentence each, naming the handle (or the
  // input line) of the record.
  std::vector<std::string> problems;
  size_t entities_checked = 0;
  bool ok() const { return problems.empty(); }
};

// Compares the drawing after the conversion with the snapshot taken of it
// before (the same Drawing object, changed in place).
DataCheckResult CheckNoDataLost(const DataSnapshot& before, const host::Drawing& after);

// The result as lines without a final line end:
//   "data check: no data lost (1234 entities; deleted: 3 LINE, 1 VIEWPORT)"
// or a first line "data check: N problems" followed by one line each.
std::string FormatDataCheck(const DataCheckResult& result);

// The placement check: the entities the conversion moves and scales (those
// of the space it starts from) must keep their places relative to each
// other, p' = factor * p + t for one translation t. A sample of them, with
// their first points before (from MeasureSpace), is compared with where
// they are after; t is the median of p' - factor * p. An entity off by more
// than a millionth of the drawing's spread (times the factor) is a problem:
// the move and scale lost its precision or something else moved it.
// Entities erased or still in their space are not compared.
struct EntityPoint;
void CheckPlacement(const std::vector<EntityPoint>& sample, host::ContainerId space, double factor,
                    const host::Drawing& after, DataCheckResult* result);

// The entities CheckPlacement compares, taken from all those MeasureSpace
// found: about two thousand of those with a first point, evenly spread.
// Only these are kept through the conversion, not a point for every entity.
std::vector<EntityPoint> PlacementSample(const std::vector<EntityPoint>& measured);

}  // namespace cli
