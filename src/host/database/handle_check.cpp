#include "host/database/handle_check.h"

#include <algorithm>
#include <cstdio>

#include "dxf/error_text.h"
#include "dxf/tag.h"
#include "host/database/handle_table.h"
#include "host/database/record_scan.h"
#include "host/two_halves.h"

namespace host {
namespace {

// The record's own handle tag: the first 5 (105 in a DIMSTYLE, whose 5 is a
// block name) ahead of the subclass markers, the 102 groups and the
// extended data; some R12 writers put it after the layer.
bool OwnHandle(std::string_view text, std::string_view type, std::string_view* handle) {
  dxf::TagCursor cursor(text);
  dxf::TagView tag;
  if (!cursor.Next(&tag)) return false;  // the "0" tag
  int code = type == "DIMSTYLE" ? 105 : 5;
  while (cursor.Next(&tag)) {
    if (tag.code == code) {
      *handle = tag.value;
      return true;
    }
    if (tag.code == 100 || tag.code == 102 || tag.code == 1001) return false;
  }
  return false;
}

// A record type as it may be printed: control bytes as \xNN, at most 40
// bytes.
std::string Printable(std::string_view type) {
  std::string out;
  for (char c : type.substr(0, 40)) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", byte);
      out += buf;
    } else {
      out += c;
    }
  }
  return out;
}

class Checker {
 public:
  explicit Checker(size_t records) : first_(records) {}

  void Record(std::string_view text, uint32_t line) {
    std::string_view type = dxf::RecordType(text);
    if (type.empty()) return;
    std::string_view value;
    if (!OwnHandle(text, type, &value)) return;
    std::optional<uint64_t> handle = ParseHandle(value);
    if (!handle || *handle == 0) {
      Add(Where(type, line) + ": the " + Printable(type) + "'s handle " + dxf::QuoteFound(value) +
          " is not a hex number from 1 to FFFFFFFFFFFFFFFF");
      return;
    }
    if (*handle > highest_) highest_ = *handle;
    auto [first, added] = first_.Insert(*handle, static_cast<uint32_t>(seen_.size()));
    if (!added) {
      const Seen& other = seen_[*first];
      Add(Where(type, line) + ": the " + Printable(type) + "'s handle " + FormatHandle(*handle) +
          " is also the handle of the " + Printable(other.type) +
          (other.line ? " at line " + std::to_string(other.line) : std::string()));
      return;
    }
    seen_.push_back(Seen{type, line});
  }

  void Seed(const std::optional<std::string>& value) {
    if (!value || seen_.empty()) return;
    std::optional<uint64_t> seed = ParseHandle(*value);
    if (!seed) {
      Add("$HANDSEED " + dxf::QuoteFound(*value) + " is not a hex number");
    } else if (*seed <= highest_) {
      Add("$HANDSEED " + FormatHandle(*seed) + " is not above the highest handle in use, " +
          FormatHandle(highest_));
    }
  }

  HandleProblems Take() { return std::move(problems_); }

 private:
  struct Seen {
    std::string_view type;  // a view into the record
    uint32_t line;
  };

  static std::string Where(std::string_view type, uint32_t line) {
    return line ? "line " + std::to_string(line) : "a " + Printable(type) + " record";
  }

  void Add(std::string text) {
    if (problems_.listed.size() < kMaxListedHandleProblems)
      problems_.listed.push_back(std::move(text));
    ++problems_.total;
  }

  HandleTable<uint32_t> first_;  // handle -> index into seen_
  std::vector<Seen> seen_;
  uint64_t highest_ = 0;
  HandleProblems problems_;
};

}  // namespace

namespace {

// The handles of a range of records, or false at the first that is no
// usable handle (then the full check names it).
struct HandleList {
  std::vector<uint64_t> handles;
  bool usable = true;
  void Add(std::string_view text) {
    std::string_view type = dxf::RecordType(text);
    if (type.empty()) return;
    std::string_view value;
    if (!OwnHandle(text, type, &value)) return;
    std::optional<uint64_t> handle = ParseHandle(value);
    if (!handle || *handle == 0) usable = false;
    if (usable) handles.push_back(*handle);
  }
};

// Whether every handle is usable and none is used twice, found from a sorted
// list of them rather than a table: the common case, and in a drawing of a
// million entities a third of the time. The entities' records are read in two
// halves at once.
bool AllHandlesDistinct(const Drawing& drawing, uint64_t* highest) {
  HandleList halves[2], others;
  ForEachHandledRecord(
      drawing, [&](std::string_view text, uint32_t) { others.Add(text); }, false);
  RunInTwoHalvesIfLong(drawing.entity_count(), [&](size_t begin, size_t end) {
    HandleList& half = halves[begin == 0 ? 0 : 1];
    half.handles.reserve(end - begin);
    for (size_t id = begin; id < end && half.usable; ++id) {
      const Entity& e = drawing.entity(static_cast<EntityId>(id));
      if (!e.erased) half.Add(e.text.text());
    }
  });
  if (!others.usable || !halves[0].usable || !halves[1].usable) return false;
  std::vector<uint64_t>& all = others.handles;
  all.reserve(all.size() + halves[0].handles.size() + halves[1].handles.size());
  for (HandleList& half : halves) {
    all.insert(all.end(), half.handles.begin(), half.handles.end());
    half.handles = {};
  }
  std::sort(all.begin(), all.end());
  if (std::adjacent_find(all.begin(), all.end()) != all.end()) return false;
  *highest = all.empty() ? 0 : all.back();
  return true;
}

}  // namespace

HandleProblems FindHandleProblems(const Drawing& drawing) {
  if (!drawing.has_handles()) return {};
  std::optional<std::string> seed = drawing.HeaderValue("$HANDSEED");
  uint64_t highest = 0;
  if (AllHandlesDistinct(drawing, &highest)) {
    // Only the seed can be wrong; with no handle at all it is not looked at.
    if (!seed || highest == 0) return {};
    std::optional<uint64_t> value = ParseHandle(*seed);
    if (value && *value > highest) return {};
  }
  Checker check(drawing.entity_count() + 1024);
  ForEachHandledRecord(drawing,
                       [&](std::string_view text, uint32_t line) { check.Record(text, line); });
  check.Seed(seed);
  return check.Take();
}

}  // namespace host
