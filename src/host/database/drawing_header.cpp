// The HEADER section's variables and the drawing's handles.

#include <algorithm>

#include "dxf/text_case.h"
#include "host/database/drawing.h"
#include "host/database/record_scan.h"
#include "host/two_halves.h"

namespace host {
namespace {

// Where a variable stands in the header record's text.
struct VarSpan {
  bool found = false;
  size_t values_begin = 0;  // after its "9 $NAME" tag
  size_t values_end = 0;    // at the next "9" tag or the end of the record
};

std::string VarName(std::string_view name) {
  name = dxf::TrimBlanks(name);
  return !name.empty() && name.front() == '$' ? std::string(name) : "$" + std::string(name);
}

VarSpan FindVar(std::string_view text, std::string_view name) {
  VarSpan span;
  dxf::TagCursor cursor(text);
  dxf::TagView tag;
  while (true) {
    size_t before = cursor.offset();
    if (!cursor.Next(&tag)) break;
    if (tag.code != 9) continue;
    if (span.found) {
      span.values_end = before;
      return span;
    }
    if (dxf::EqualNoCase(dxf::TrimBlanks(tag.value), name)) {
      span.found = true;
      span.values_begin = cursor.offset();
    }
  }
  span.values_end = text.size();
  return span;
}

std::string SpliceVar(std::string_view text, std::string_view name, const dxf::Tags& values,
                      const dxf::TextStyle& style) {
  VarSpan span = FindVar(text, name);
  std::string out;
  if (span.found) {
    out.append(text.substr(0, span.values_begin));
    for (const dxf::Tag& tag : values) dxf::AppendTag(&out, tag.code, tag.value, style);
    out.append(text.substr(span.values_end));
  } else {
    out.append(text);
    dxf::AppendTag(&out, 9, name, style);
    for (const dxf::Tag& tag : values) dxf::AppendTag(&out, tag.code, tag.value, style);
  }
  return out;
}

}  // namespace

// Handles issued by NewHandle raise $HANDSEED only when the header is next
// read or written, so that issuing many handles does not rewrite the header
// each time.
void Drawing::SyncHandseed() const {
  if (!handseed_dirty_) return;
  handseed_dirty_ = false;
  if (header_.text().empty()) return;
  dxf::Tags values{{5, FormatHandle(next_handle_)}};
  header_.Replace(SpliceVar(header_.text(), "$HANDSEED", values, file_.style));
}

std::optional<dxf::Tags> Drawing::HeaderVar(std::string_view name) const {
  SyncHandseed();
  std::string_view text = header_.text();
  VarSpan span = FindVar(text, VarName(name));
  if (!span.found) return std::nullopt;
  return dxf::ToTags(text.substr(span.values_begin, span.values_end - span.values_begin));
}

std::optional<std::string> Drawing::HeaderValue(std::string_view name) const {
  auto values = HeaderVar(name);
  if (!values || values->empty()) return std::nullopt;
  return std::string(dxf::TrimBlanks(values->front().value));
}

void Drawing::SetHeaderVar(std::string_view name, const dxf::Tags& values) {
  SyncHandseed();
  std::string var = VarName(name);
  if (header_.text().empty()) {
    // A file without a HEADER section: the variable has nowhere to go.
    return;
  }
  header_.Replace(SpliceVar(header_.text(), var, values, file_.style));
  if (handles_scanned_ && dxf::EqualNoCase(var, "$HANDSEED") && !values.empty()) {
    auto seed = ParseHandle(values.front().value);
    if (seed && *seed > next_handle_) next_handle_ = *seed;
  }
}

namespace {

// Raises *highest to the record's handles (code 5, and 105, which DIMSTYLE
// records carry instead); with in_use, collects them too.
void ScanRecordHandles(const RecordText& record, uint64_t* highest, std::vector<uint64_t>* in_use) {
  record.VisitTags([&](const dxf::TagView& tag) {
    if (tag.code != 5 && tag.code != 105) return true;
    auto handle = ParseHandle(tag.value);
    if (!handle) return true;
    if (*handle > *highest) *highest = *handle;
    if (in_use) in_use->push_back(*handle);
    return true;
  });
}

}  // namespace

// One scan over every record for the highest handle. With in_use, every
// handle is collected too.
void Drawing::ScanHandles(std::vector<uint64_t>* in_use) {
  uint64_t highest = 0;
  auto scan = [&highest, in_use](const RecordText& record) {
    ScanRecordHandles(record, &highest, in_use);
  };
  for (const auto& section : opaque_) {
    for (const RecordText& record : section->records) scan(record);
  }
  for (const Table& table : tables_) scan(table.head);
  for (const TableRecord& record : table_records_) scan(record.text);
  for (const Container& c : containers_) {
    if (c.block_record) scan(*c.block_record);
    if (c.endblk_record) scan(*c.endblk_record);
  }
  if (in_use || entities_.size() < kTwoHalvesFrom) {
    for (const Entity& e : entities_) scan(e.text);
  } else {
    // The entities are most of the records: in two halves at once.
    uint64_t halves[2] = {0, 0};
    RunInTwoHalves(entities_.size(), [&](size_t begin, size_t end) {
      uint64_t* top = &halves[begin == 0 ? 0 : 1];
      for (size_t i = begin; i < end; ++i) ScanRecordHandles(entities_[i].text, top, nullptr);
    });
    highest = std::max({highest, halves[0], halves[1]});
  }
  if (in_use) return;
  uint64_t seed = 0;
  if (auto value = HeaderValue("$HANDSEED")) seed = ParseHandle(*value).value_or(0);
  // Counting on from the top handle would wrap round to 0 and to handles in
  // use: a seed at the top is not followed (the written seed then drops to
  // just above the handles in use), and when a record holds the top handle
  // itself, NewHandle takes free handles below it.
  if (seed == kTopHandle) seed = 0;
  next_handle_ = highest == kTopHandle ? kTopHandle : std::max(highest + 1, seed);
  handles_scanned_ = true;
}

std::string Drawing::NewHandle() {
  if (!has_handles_) return "";
  if (!handles_scanned_) ScanHandles();
  handseed_dirty_ = true;
  if (next_handle_ == kTopHandle) return FormatHandle(FreeHandleBelowTop());
  return FormatHandle(next_handle_++);
}

// The lowest handle no record uses and none was handed out, for a drawing
// whose handles reach the top of the range. $HANDSEED stays at the top.
uint64_t Drawing::FreeHandleBelowTop() {
  if (handles_in_use_.empty()) {
    ScanHandles(&handles_in_use_);
    std::sort(handles_in_use_.begin(), handles_in_use_.end());
  }
  auto used = std::lower_bound(handles_in_use_.begin(), handles_in_use_.end(), free_handle_);
  while (used != handles_in_use_.end() && *used <= free_handle_) {
    if (*used == free_handle_) ++free_handle_;
    ++used;
  }
  return free_handle_++;
}

}  // namespace host
