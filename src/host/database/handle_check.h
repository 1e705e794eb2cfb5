// Handles a drawing should not have: the same handle on two records, a
// handle that is no hex number, a $HANDSEED at or below a handle in use.
// Another program reading such a file may take one record for another; the
// host itself never hands out a handle in use whatever the file says
// (Drawing::NewHandle counts on from above every handle there is).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/database/drawing.h"

namespace host {

struct HandleProblems {
  // One line each, code page 1252: "line 812: the LINE's handle 2F is also
  // the handle of the CIRCLE at line 640". At most kMaxListed.
  std::vector<std::string> listed;
  size_t total = 0;  // all the problems found, listed or not
  bool empty() const { return total == 0; }
};

constexpr size_t kMaxListedHandleProblems = 20;

// Looks at each record's own handle (its first 5, or 105 in a DIMSTYLE,
// before the subclass data) in every section. A drawing without handles
// (R12 without $HANDLING) has none to check.
HandleProblems FindHandleProblems(const Drawing& drawing);

// Calls record(text, line) for every live record that may have a handle of
// its own: table heads and records, BLOCK and ENDBLK records, the entities
// (unless left out) and the records of the kept sections, in that order.
// line is the record's input line, 0 where it is not kept.
template <class Record>
void ForEachHandledRecord(const Drawing& drawing, Record record, bool entities = true) {
  for (size_t t = 0; t < drawing.table_count(); ++t) {
    const Table& table = drawing.table(t);
    record(table.head.text(), uint32_t{0});
    for (TableRecordId id : table.records) {
      const TableRecord& r = drawing.table_record(id);
      if (!r.erased) record(r.text.text(), r.line);
    }
  }
  for (ContainerId id = 0; id < drawing.container_count(); ++id) {
    const Container& c = drawing.container(id);
    if (c.erased) continue;
    if (c.block_record) record(c.block_record->text(), c.block_line);
    if (c.endblk_record) record(c.endblk_record->text(), uint32_t{0});
  }
  if (entities) {
    for (EntityId id = 0; id < drawing.entity_count(); ++id) {
      const Entity& e = drawing.entity(id);
      if (!e.erased) record(e.text.text(), e.line);
    }
  }
  for (const OpaqueSection* section : drawing.OpaqueSections())
    for (const RecordText& r : section->records) record(r.text(), uint32_t{0});
}

}  // namespace host
