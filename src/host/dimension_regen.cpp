#include "host/dimension_regen.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <numbers>
#include <vector>

#include "dxf/document.h"
#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/commands/tag_edit.h"
#include "host/database/record_scan.h"
#include "host/entity_slots.h"
#include "host/two_halves.h"

namespace host {

namespace {

using commands::kNoTag;

// Dimension types (70, lower bits).
constexpr int kRotated = 0;
constexpr int kAligned = 1;
constexpr int kAngular2Line = 2;
constexpr int kDiameter = 3;
constexpr int kRadius = 4;
constexpr int kAngular3Point = 5;
constexpr int kOrdinate = 6;

// Dimension variables the regeneration reads (their DIMSTYLE group codes).
constexpr int kDimpost = 3;
constexpr int kDimrnd = 45;
constexpr int kDimzin = 78;
constexpr int kDimazin = 79;
constexpr int kDimlfac = 144;
constexpr int kDimclrd = 176;
constexpr int kDimclre = 177;
constexpr int kDimclrt = 178;
constexpr int kDimadec = 179;
constexpr int kDimdec = 271;
constexpr int kDimaunit = 275;
constexpr int kDimdsep = 278;
constexpr int kDimtxsty = 340;

bool IsVariableRead(int code) {
  switch (code) {
    case kDimpost:
    case kDimrnd:
    case kDimzin:
    case kDimazin:
    case kDimlfac:
    case kDimclrd:
    case kDimclre:
    case kDimclrt:
    case kDimadec:
    case kDimdec:
    case kDimaunit:
    case kDimdsep:
    case kDimtxsty:
      return true;
    default:
      return false;
  }
}

constexpr int kByLayer = 256;
constexpr size_t kMtextChunk = 250;

struct Point {
  double x = 0, y = 0;
};

// Code/value pairs, looked up by code: a style record's variables or a
// dimension's overrides.
using Values = std::vector<std::pair<int, std::string_view>>;

const std::string_view* Find(const Values& values, int code) {
  for (const auto& [c, v] : values) {
    if (c == code) return &v;
  }
  return nullptr;
}

std::optional<double> Real(std::string_view text) {
  return dxf::ParseDouble(dxf::TrimBlanks(text));
}

// What a regeneration needs of a dimension record. The definition points
// are kept as text and read when they are needed: most reads of a
// dimension need only its value.
struct DimensionData {
  int kind = 0;
  bool arc_length = false;  // ARC_DIMENSION
  std::optional<std::string_view> override_text;
  std::string_view block;
  std::string_view style;
  std::optional<double> measurement;
  std::string_view point_text[6][2];  // 10, 11 (unused), 12 (unused), 13, 14, 15: x, y
  bool has_point[6] = {};
  Values overrides;  // the DSTYLE pairs

  Point point(int code) const {
    const std::string_view* xy = point_text[code - 10];
    return {xy[0].empty() ? 0 : Real(xy[0]).value_or(0),
            xy[1].empty() ? 0 : Real(xy[1]).value_or(0)};
  }
};

void ReadDstyle(const std::vector<dxf::TagView>& tags, size_t from, Values* out) {
  bool in_acad = false;
  for (size_t i = from; i < tags.size(); ++i) {
    const dxf::TagView& tag = tags[i];
    if (tag.code == 1001) {
      in_acad = dxf::EqualNoCase(dxf::TrimBlanks(tag.value), "ACAD");
      continue;
    }
    if (!in_acad || tag.code != 1000 || !dxf::EqualNoCase(dxf::TrimBlanks(tag.value), "DSTYLE")) {
      continue;
    }
    for (size_t k = i + 2; k + 1 < tags.size(); k += 2) {
      if (tags[k].code != 1070) break;
      std::optional<long long> code = dxf::ParseInt(dxf::TrimBlanks(tags[k].value));
      if (!code) break;
      out->emplace_back(static_cast<int>(*code), tags[k + 1].value);
    }
    return;
  }
}

DimensionData ReadDimension(const std::vector<dxf::TagView>& tags) {
  DimensionData d;
  d.arc_length = !tags.empty() && dxf::TrimBlanks(tags[0].value) == "ARC_DIMENSION";
  size_t i = 1;
  for (; i < tags.size(); ++i) {
    const dxf::TagView& tag = tags[i];
    if (tag.code == 1001 || tag.code == 101) break;
    switch (tag.code) {
      case 1:
        if (!d.override_text) d.override_text = tag.value;
        break;
      case 2:
        if (d.block.empty()) d.block = dxf::TrimBlanks(tag.value);
        break;
      case 3:
        if (d.style.empty()) d.style = dxf::TrimBlanks(tag.value);
        break;
      case 42:
        d.measurement = Real(tag.value);
        break;
      case 70:
        d.kind = static_cast<int>(dxf::ParseInt(dxf::TrimBlanks(tag.value)).value_or(0) & 0x0F);
        break;
      case 10:
      case 13:
      case 14:
      case 15:
        d.point_text[tag.code - 10][0] = tag.value;
        d.has_point[tag.code - 10] = true;
        break;
      case 20:
      case 23:
      case 24:
      case 25:
        d.point_text[tag.code - 20][1] = tag.value;
        break;
      default:  // 11 and 12 (the text's and the block's places) are not needed
        break;
    }
  }
  ReadDstyle(tags, i, &d.overrides);
  return d;
}

// The same of a record, split into tags (kept in scratch while d is used).
DimensionData ReadDimension(const RecordText& record, std::vector<dxf::TagView>* scratch) {
  record.Split(scratch);
  return ReadDimension(*scratch);
}

// The effective dimension variables: the overrides, then the style.
struct Variables {
  const Values* overrides = nullptr;
  const Values* style = nullptr;

  std::optional<std::string_view> Text(int code) const {
    if (const std::string_view* v = Find(*overrides, code)) return *v;
    if (style != nullptr) {
      if (const std::string_view* v = Find(*style, code)) return *v;
    }
    return std::nullopt;
  }
  double RealOr(int code, double fallback) const {
    std::optional<std::string_view> text = Text(code);
    return text ? Real(*text).value_or(fallback) : fallback;
  }
  long long IntOr(int code, long long fallback) const {
    std::optional<std::string_view> text = Text(code);
    if (!text) return fallback;
    if (std::optional<long long> n = dxf::ParseInt(dxf::TrimBlanks(*text))) return *n;
    return fallback;
  }
};

bool Angular(int kind) { return kind == kAngular2Line || kind == kAngular3Point; }

// The value a dimension shows: measurement × DIMLFAC; angles (radians in
// the measurement) as they are.
std::optional<double> ShownValue(const DimensionData& d, const Variables& vars) {
  if (!d.measurement || !std::isfinite(*d.measurement)) return std::nullopt;
  if (Angular(d.kind)) return *d.measurement;
  return *d.measurement * vars.RealOr(kDimlfac, 1.0);
}

bool SameValue(double a, double b) {
  double scale = std::max(std::fabs(a), std::fabs(b));
  return scale == 0 || std::fabs(a - b) / scale <= 1e-9;
}

std::string Fixed(double value, int decimals) {
  char text[64];
  // to_chars writes what "%.*f" writes, faster; a number too long for the
  // buffer is cut as snprintf cuts it.
  std::string s;
  std::to_chars_result end = std::to_chars(text, text + sizeof text, value,
                                           std::chars_format::fixed, std::clamp(decimals, 0, 8));
  if (end.ec == std::errc() && end.ptr < text + sizeof text && std::isfinite(value)) {
    s.assign(text, end.ptr);
  } else {
    std::snprintf(text, sizeof text, "%.*f", std::clamp(decimals, 0, 8), value);
    s = text;
  }
  if (s.front() == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

// Zero suppression and the decimal separator on a number as "%f" writes it.
std::string Dress(std::string number, bool no_leading, bool no_trailing, char separator) {
  size_t point = number.find('.');
  if (no_trailing && point != std::string::npos) {
    while (number.back() == '0') number.pop_back();
    if (number.back() == '.') number.pop_back();
    point = number.find('.');
  }
  if (no_leading && point != std::string::npos) {
    size_t digit = number.front() == '-' ? 1 : 0;
    if (point == digit + 1 && number[digit] == '0') number.erase(digit, 1);
  }
  if (separator != '.') {
    if (size_t p = number.find('.'); p != std::string::npos) number[p] = separator;
  }
  return number;
}

char Separator(const Variables& vars) {
  long long code = vars.IntOr(kDimdsep, '.');
  return code > 32 && code < 127 ? static_cast<char>(code) : '.';
}

std::string FormatLength(double value, int kind, const Variables& vars) {
  if (kind == kOrdinate) value = std::fabs(value);
  double round = vars.RealOr(kDimrnd, 0);
  if (round > 0 && std::isfinite(round)) value = std::round(value / round) * round;
  long long zin = vars.IntOr(kDimzin, 0);
  std::string number = Dress(Fixed(value, static_cast<int>(vars.IntOr(kDimdec, 4))), (zin & 4) != 0,
                             (zin & 8) != 0, Separator(vars));
  std::string prefix = kind == kRadius ? "R" : kind == kDiameter ? "%%c" : "";
  std::string suffix;
  if (std::optional<std::string_view> post = vars.Text(kDimpost)) {
    size_t at = post->find("<>");
    if (at == std::string_view::npos) {
      suffix = std::string(*post);
    } else {
      if (at > 0) prefix = std::string(post->substr(0, at));
      suffix = std::string(post->substr(at + 2));
    }
  }
  return prefix + number + suffix;
}

std::string FormatAngle(double radians, const Variables& vars) {
  double degrees = radians * 180.0 / std::numbers::pi;
  long long decimals = vars.IntOr(kDimadec, 0);
  if (decimals < 0) decimals = vars.IntOr(kDimdec, 4);
  long long azin = vars.IntOr(kDimazin, 0);
  bool no_leading = (azin & 1) != 0, no_trailing = (azin & 2) != 0;
  char separator = Separator(vars);
  auto number = [&](double v, long long places) {
    return Dress(Fixed(v, static_cast<int>(places)), no_leading, no_trailing, separator);
  };
  switch (vars.IntOr(kDimaunit, 0)) {
    case 1: {  // degrees, minutes, seconds
      double total = std::fabs(degrees);
      long long whole = static_cast<long long>(total);
      double minutes = (total - static_cast<double>(whole)) * 60;
      std::string text = (degrees < 0 ? "-" : "") + std::to_string(whole) + "%%d";
      if (decimals <= 0) return std::to_string(std::llround(degrees)) + "%%d";
      if (decimals <= 2) return text + std::to_string(std::llround(minutes)) + "'";
      long long m = static_cast<long long>(minutes);
      return text + std::to_string(m) + "'" +
             number((minutes - static_cast<double>(m)) * 60, decimals - 4 > 0 ? decimals - 4 : 0) +
             "\"";
    }
    case 2:
      return number(degrees * 400.0 / 360.0, decimals) + "g";
    case 3:
      return number(radians, decimals) + "r";
    default:
      return number(degrees, decimals) + "%%d";
  }
}

std::string FormatValue(double value, int kind, const Variables& vars) {
  return Angular(kind) ? FormatAngle(value, vars) : FormatLength(value, kind, vars);
}

// The text a TEXT or MTEXT record shows (MTEXT chunks 3 joined before 1).
std::string TextOf(const std::vector<dxf::TagView>& tags) {
  std::string text;
  std::string_view last;
  for (size_t i = 1; i < tags.size(); ++i) {
    if (tags[i].code == 1001 || tags[i].code == 101) break;
    if (tags[i].code == 3) text += tags[i].value;
    if (tags[i].code == 1) {
      last = tags[i].value;
      break;
    }
  }
  text += last;
  return text;
}

// The text an override shows around a value: nullopt when it shows none.
std::string ApplyOverride(std::string_view override_text, std::string_view value) {
  if (override_text.empty() || override_text == "<>") return std::string(value);
  if (override_text == " ") return {};
  size_t at = override_text.find("<>");
  if (at == std::string_view::npos) return std::string(override_text);
  std::string text(override_text.substr(0, at));
  text += value;
  text += override_text.substr(at + 2);
  return text;
}

// How the modeller drew the value: the value part of the loaded block text
// and what stood around the whole text.
struct ModellerText {
  double value = 0;
  std::string lead, number, trail;
};

struct Split {
  std::string lead, value, trail;
};

std::optional<Split> SplitDrawn(std::string_view override_text, std::string_view drawn) {
  if (override_text.empty() || override_text == "<>") {
    if (drawn.empty()) return std::nullopt;
    return Split{"", std::string(drawn), ""};
  }
  size_t at = override_text.find("<>");
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view prefix = override_text.substr(0, at);
  std::string_view suffix = override_text.substr(at + 2);
  size_t begin = prefix.empty() ? 0 : drawn.find(prefix);
  if (begin == std::string_view::npos) return std::nullopt;
  size_t value_begin = begin + prefix.size();
  size_t end = suffix.empty() ? drawn.size() : drawn.rfind(suffix);
  if (end == std::string_view::npos || end <= value_begin) return std::nullopt;
  return Split{std::string(drawn.substr(0, begin)),
               std::string(drawn.substr(value_begin, end - value_begin)),
               std::string(drawn.substr(end + suffix.size()))};
}

// A dimension style's record, split once and kept while the record stays
// as it is.
struct StyleEntry {
  std::string name;
  TableRecordId record = kNoRecord;
  std::string text;
  std::vector<dxf::TagView> tags;
  Values values;
};

// What the last regeneration of a dimension made its block show, and the
// block's revision right after it. While the block is at that revision and
// a regeneration would make it show the same, there is nothing to do.
struct LastRegeneration {
  ContainerId block = kNoContainer;
  uint32_t block_revision = 0;
  EntityId text = kNoEntity;
  std::optional<std::string> shown;
  std::string style;
  long long colours[3] = {};  // text, dimension line, extension lines
  Point origins[4];
  size_t origin_count = 0;
};

// What the regeneration keeps of one dimension: the block its block name
// was last found to be, what it found of the dimension's first state (which
// never changes), and its last regeneration.
struct DimensionEntry {
  std::atomic<ContainerId> block{kNoContainer};
  std::atomic<bool> modeller_read{false};
  std::optional<ModellerText> modeller;  // set once, before modeller_read
  LastRegeneration last;
};

// What the regeneration keeps with a drawing: an entry per dimension and
// the styles' records. Regenerations and inspections may run on two
// threads at once; a dimension is regenerated by one thread at a time.
// The styles have a lock of their own (the tables do not change while
// dimensions are regenerated).
struct Memory : Drawing::Derived {
  EntitySlots<DimensionEntry> dimensions;
  std::mutex modeller_lock;
  std::mutex styles_lock;
  std::vector<std::unique_ptr<StyleEntry>> styles;
  std::vector<EntityId> waiting;  // marked dimensions, in the order of their changes
};

Memory& MemoryOf(const Drawing& drawing) {
  static std::mutex making;
  std::lock_guard<std::mutex> guard(making);
  if (auto* memory = dynamic_cast<Memory*>(drawing.derived())) return *memory;
  drawing.set_derived(std::make_unique<Memory>());
  return static_cast<Memory&>(*drawing.derived());
}

// The tables a batch of regenerations reads.
class Context {
 public:
  explicit Context(const Drawing& drawing) : drawing_(drawing), memory_(MemoryOf(drawing)) {}

  Memory& memory() { return memory_; }
  // The dimension's entry; stays in place while other threads add theirs.
  DimensionEntry& Entry(EntityId id) { return memory_.dimensions[id]; }
  // Buffers reused from one dimension to the next.
  std::vector<dxf::TagView>& tags() { return tags_; }
  std::vector<std::pair<EntityId, long long>>& recolour() { return recolour_; }

  // A style's variables; nullptr when there is no such style. The answer
  // holds while this context lives (the tables do not change meanwhile).
  const Values* Style(std::string_view name) {
    if (name.empty()) name = "Standard";
    for (const auto& [known, values] : styles_asked_) {
      if (dxf::EqualNoCase(known, name)) return values;
    }
    const Values* values = SharedStyle(name);
    styles_asked_.emplace_back(std::string(name), values);
    return values;
  }

  // The name of the text style with this handle, as the table spells it;
  // empty when there is none.
  std::string_view TextStyleName(std::string_view handle) {
    handle = dxf::TrimBlanks(handle);
    // Dimensions mostly share one style: the last answer is kept.
    if (asked_ && handle == last_handle_) return last_name_;
    if (!text_styles_read_) ReadTextStyles();
    asked_ = true;
    last_handle_ = std::string(handle);
    last_name_ = {};
    for (const auto& [h, name] : text_styles_) {
      if (dxf::EqualNoCase(h, handle)) {
        last_name_ = name;
        break;
      }
    }
    return last_name_;
  }
  std::string_view StandardTextStyle() {
    if (!text_styles_read_) ReadTextStyles();
    for (const auto& [h, name] : text_styles_) {
      if (dxf::EqualNoCase(name, "STANDARD")) return name;
    }
    return "Standard";
  }

 private:
  const Values* SharedStyle(std::string_view name) {
    std::lock_guard<std::mutex> guard(memory_.styles_lock);
    for (std::unique_ptr<StyleEntry>& entry : memory_.styles) {
      if (!dxf::EqualNoCase(entry->name, name)) continue;
      if (entry->record == kNoRecord) return nullptr;
      const TableRecord& record = drawing_.table_record(entry->record);
      if (!record.erased && record.text.text() == entry->text) return &entry->values;
      entry = Read(name);
      return entry->record == kNoRecord ? nullptr : &entry->values;
    }
    memory_.styles.push_back(Read(name));
    return memory_.styles.back()->record == kNoRecord ? nullptr : &memory_.styles.back()->values;
  }

  std::unique_ptr<StyleEntry> Read(std::string_view name) {
    auto entry = std::make_unique<StyleEntry>();
    entry->name = std::string(name);
    entry->record =
        drawing_.FindTableRecord("DIMSTYLE", drawing_.encoding().Decode(std::string(name)));
    if (entry->record == kNoRecord) return entry;
    entry->text = std::string(drawing_.table_record(entry->record).text.text());
    dxf::SplitTags(entry->text, &entry->tags);
    // Only the variables a regeneration reads: each look-up then passes
    // over a dozen values rather than the whole record.
    for (size_t i = 1; i < entry->tags.size(); ++i) {
      if (entry->tags[i].code == 1001) break;
      if (!IsVariableRead(entry->tags[i].code)) continue;
      entry->values.emplace_back(entry->tags[i].code, entry->tags[i].value);
    }
    return entry;
  }

  void ReadTextStyles() {
    text_styles_read_ = true;
    const Table* table = drawing_.FindTable("STYLE");
    if (table == nullptr) return;
    std::vector<dxf::TagView> tags;
    for (TableRecordId id : table->records) {
      if (drawing_.table_record(id).erased) continue;
      drawing_.TableRecordTags(id, &tags);
      std::string handle, name;
      for (const dxf::TagView& tag : tags) {
        if (tag.code == 5 && handle.empty()) handle = std::string(dxf::TrimBlanks(tag.value));
        if (tag.code == 2 && name.empty()) name = std::string(dxf::TrimBlanks(tag.value));
      }
      text_styles_.emplace_back(std::move(handle), std::move(name));
    }
  }

  const Drawing& drawing_;
  Memory& memory_;
  bool text_styles_read_ = false;
  std::vector<std::pair<std::string, std::string>> text_styles_;
  std::vector<std::pair<std::string, const Values*>> styles_asked_;
  bool asked_ = false;
  std::string last_handle_;
  std::string_view last_name_;
  std::vector<dxf::TagView> tags_;
  std::vector<std::pair<EntityId, long long>> recolour_;
};

// The block entity that shows the text: the first TEXT or MTEXT.
EntityId TextEntity(const Drawing& drawing, ContainerId block) {
  for (EntityId id : drawing.container(block).entities) {
    if (drawing.entity(id).erased) continue;
    std::string_view type = drawing.EntityType(id);
    if (type == "MTEXT" || type == "TEXT") return id;
  }
  return kNoEntity;
}

// True when the block name, as the file spells it, is this block's name:
// when the file's text needs no decoding, a comparison tells.
bool Names(const Drawing& drawing, ContainerId block, std::string_view name) {
  if (drawing.encoding().utf8() &&
      std::any_of(name.begin(), name.end(), [](char c) { return (c & 0x80) != 0; })) {
    return false;
  }
  const Container& container = drawing.container(block);
  return container.kind == ContainerKind::kBlock && dxf::EqualNoCase(container.block_name, name);
}

// The block the dimension's block name names now. The block found last
// time is taken while it still bears that name, without a look-up by name.
ContainerId BlockOf(const Drawing& drawing, DimensionEntry& entry, std::string_view name) {
  if (name.empty()) return kNoContainer;
  ContainerId known = entry.block.load(std::memory_order_relaxed);
  if (known != kNoContainer && !drawing.container(known).erased && Names(drawing, known, name)) {
    return known;
  }
  ContainerId block = drawing.FindBlock(drawing.encoding().Decode(name));
  if (block != kNoContainer && drawing.container(block).erased) block = kNoContainer;
  entry.block.store(block, std::memory_order_relaxed);
  return block;
}

// What the caller has read of the records as they are now: taken for the
// records as loaded while they are still the same (before a conversion).
struct ReadNow {
  const DimensionData* dimension = nullptr;
  const std::string* drawn = nullptr;  // the text entity's text
};

bool StillAsLoaded(const Drawing& drawing, EntityId id, std::string_view loaded) {
  std::string_view now = drawing.entity(id).text.text();
  return now.data() == loaded.data() && now.size() == loaded.size();
}

// The value and text the modeller drew, from the records as loaded.
std::optional<ModellerText> ReadModeller(const Drawing& drawing, Context& context,
                                         EntityId dimension, EntityId text, ReadNow now) {
  std::string_view loaded = drawing.LoadedRecord(dimension);
  std::string_view loaded_text = drawing.LoadedRecord(text);
  if (loaded.empty() || loaded_text.empty()) return std::nullopt;
  std::vector<dxf::TagView> tags;
  DimensionData read;
  const DimensionData* d = now.dimension;
  if (d == nullptr || !StillAsLoaded(drawing, dimension, loaded)) {
    dxf::SplitTags(loaded, &tags);
    read = ReadDimension(tags);
    d = &read;
  }
  Variables vars{&d->overrides, context.Style(d->style)};
  std::optional<double> value = ShownValue(*d, vars);
  if (!value) return std::nullopt;
  std::string drawn;
  if (now.drawn != nullptr && StillAsLoaded(drawing, text, loaded_text)) {
    drawn = *now.drawn;
  } else {
    std::vector<dxf::TagView> text_tags;
    dxf::SplitTags(loaded_text, &text_tags);
    drawn = TextOf(text_tags);
  }
  std::optional<Split> split = SplitDrawn(d->override_text.value_or(""), drawn);
  if (!split) return std::nullopt;
  return ModellerText{*value, std::move(split->lead), std::move(split->value),
                      std::move(split->trail)};
}

// The same, read once per dimension (the records as loaded never change;
// a dimension's block, and so its text entity, is fixed when it is loaded).
const std::optional<ModellerText>& Modeller(const Drawing& drawing, Context& context,
                                            EntityId dimension, EntityId text, ReadNow now) {
  DimensionEntry& entry = context.Entry(dimension);
  if (entry.modeller_read.load(std::memory_order_acquire)) return entry.modeller;
  std::optional<ModellerText> modeller = ReadModeller(drawing, context, dimension, text, now);
  std::lock_guard<std::mutex> guard(context.memory().modeller_lock);
  if (!entry.modeller_read.load(std::memory_order_relaxed)) {
    entry.modeller = std::move(modeller);
    entry.modeller_read.store(true, std::memory_order_release);
  }
  return entry.modeller;
}

// The text a regeneration gives the dimension now; nullopt when it cannot
// tell (no value, no match) and the drawn text stays.
std::optional<std::string> Regenerated(const Drawing& drawing, Context& context, EntityId id,
                                       const DimensionData& d, const Variables& vars, EntityId text,
                                       const std::string* drawn = nullptr) {
  std::string_view override_text = d.override_text.value_or("");
  bool shows_value = override_text.empty() || override_text.find("<>") != std::string_view::npos;
  if (!shows_value) return ApplyOverride(override_text, "");
  const std::optional<ModellerText>& modeller =
      Modeller(drawing, context, id, text, ReadNow{&d, drawn});
  std::optional<double> value = ShownValue(d, vars);
  std::string number;
  if (modeller && (!value || SameValue(*value, modeller->value))) {
    number = modeller->number;
  } else if (value) {
    number = FormatValue(*value, d.kind, vars);
  } else {
    return std::nullopt;
  }
  std::string shown = ApplyOverride(override_text, number);
  if (modeller && !shown.empty()) shown = modeller->lead + shown + modeller->trail;
  return shown;
}

// The definition points extension lines run from: four at most.
struct Origins {
  Point points[4];
  size_t count = 0;

  std::span<const Point> all() const { return {points, count}; }
};

Origins ExtensionOrigins(const DimensionData& d) {
  std::span<const int> codes;
  static constexpr int kTwo[] = {13, 14};
  static constexpr int kFour[] = {13, 14, 15, 10};
  static constexpr int kOne[] = {13};
  if (d.arc_length) {
    codes = kTwo;
  } else {
    switch (d.kind) {
      case kRotated:
      case kAligned:
      case kAngular3Point:
        codes = kTwo;
        break;
      case kAngular2Line:
        codes = kFour;
        break;
      case kOrdinate:
        codes = kOne;
        break;
      default:
        break;
    }
  }
  Origins origins;
  for (int code : codes) {
    if (d.has_point[code - 10]) origins.points[origins.count++] = d.point(code);
  }
  return origins;
}

// What a block entity's record says about its colour and, for a LINE, its
// ends.
struct PartFacts {
  std::optional<long long> colour;  // nullopt: ByLayer (no group 62)
  Point a, b;
};

PartFacts ReadPart(const RecordText& record, bool line) {
  PartFacts facts;
  record.VisitTags([&](const dxf::TagView& tag) {
    if (tag.code == 1001) return false;
    if (tag.code == 62) facts.colour = dxf::ParseInt(dxf::TrimBlanks(tag.value));
    if (!line) return true;
    double* coordinate = tag.code == 10   ? &facts.a.x
                         : tag.code == 20 ? &facts.a.y
                         : tag.code == 11 ? &facts.b.x
                         : tag.code == 21 ? &facts.b.y
                                          : nullptr;
    if (coordinate != nullptr) *coordinate = Real(tag.value).value_or(0);
    return true;
  });
  return facts;
}

bool HasColour(const PartFacts& facts, long long colour) {
  return colour == kByLayer ? !facts.colour : facts.colour == colour;
}

// A line of the block is an extension line when it lies on a line through
// a definition point and runs away from it (the point is not inside it).
bool IsExtensionLine(const Point& a, const Point& b, std::span<const Point> origins) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double length = std::hypot(dx, dy);
  if (!(length > 0)) return false;
  for (const Point& p : origins) {
    double px = p.x - a.x, py = p.y - a.y;
    double tolerance = 1e-6 * std::max({1.0, length, std::hypot(px, py)});
    if (std::fabs(dx * py - dy * px) / length > tolerance) continue;
    double along = (px * dx + py * dy) / (length * length);
    double margin = tolerance / length;
    if (along <= margin || along >= 1 - margin) return true;
  }
  return false;
}

std::string ColourValue(long long colour) { return std::to_string(colour); }

// Sets the colour group 62 of a block entity (ByLayer: no group); true when
// it changed.
bool SetColour(dxf::Tags* tags, long long colour) {
  size_t at = commands::FindTag(*tags, 62);
  if (colour == kByLayer) {
    if (at == kNoTag) return false;
    tags->erase(tags->begin() + static_cast<std::ptrdiff_t>(at));
    return true;
  }
  std::string value = ColourValue(colour);
  if (at != kNoTag) {
    std::optional<long long> now = dxf::ParseInt(dxf::TrimBlanks((*tags)[at].value));
    if (now && *now == colour) return false;
    (*tags)[at].value = value;
    return true;
  }
  size_t after = commands::FindTag(*tags, 6);
  if (after == kNoTag) after = commands::FindTag(*tags, 8);
  size_t insert = after == kNoTag ? std::min<size_t>(1, tags->size()) : after + 1;
  tags->insert(tags->begin() + static_cast<std::ptrdiff_t>(insert), dxf::Tag(62, value));
  return true;
}

// The text, style and colour a text record has now, read from its tags.
struct TextFacts {
  bool has_text = false;
  std::string text;  // the chunks (group 3) and group 1 joined
  std::string_view style = "Standard";
  bool has_style = false;
  bool has_colour = false;          // a group 62, whatever it holds
  std::optional<long long> colour;  // its value, when it is a number
};

TextFacts ReadText(const std::vector<dxf::TagView>& tags) {
  TextFacts facts;
  bool text_done = false;
  for (size_t i = 1; i < tags.size(); ++i) {
    const dxf::TagView& tag = tags[i];
    if (tag.code == 1001) break;
    if (tag.code == 101) text_done = true;
    switch (tag.code) {
      case 3:
        if (!text_done) facts.text += tag.value;
        break;
      case 1:
        if (!text_done) {
          facts.text += tag.value;
          facts.has_text = true;
          text_done = true;
        }
        break;
      case 7:
        if (!facts.has_style) facts.style = dxf::TrimBlanks(tag.value);
        facts.has_style = true;
        break;
      case 62:
        if (!facts.has_colour) facts.colour = dxf::ParseInt(dxf::TrimBlanks(tag.value));
        facts.has_colour = true;
        break;
      default:
        break;
    }
  }
  return facts;
}

bool SetText(dxf::Tags* tags, const std::string& text) {
  size_t end = commands::ExtendedDataStart(*tags);
  std::string now;
  size_t one = kNoTag;
  for (size_t i = 1; i < end; ++i) {
    if ((*tags)[i].code == 101) break;
    if ((*tags)[i].code == 3) now += (*tags)[i].value;
    if ((*tags)[i].code == 1) {
      one = i;
      now += (*tags)[i].value;
      break;
    }
  }
  if (one != kNoTag && now == text) return false;
  bool mtext = dxf::TrimBlanks((*tags)[0].value) == "MTEXT";
  if (one == kNoTag) {
    tags->insert(tags->begin() + static_cast<std::ptrdiff_t>(end), dxf::Tag(1, text));
    return true;
  }
  // The chunks before the last part go; the text is written anew.
  size_t first = one;
  while (first > 1 && (*tags)[first - 1].code == 3) --first;
  tags->erase(tags->begin() + static_cast<std::ptrdiff_t>(first),
              tags->begin() + static_cast<std::ptrdiff_t>(one + 1));
  dxf::Tags parts;
  size_t pos = 0;
  if (mtext) {
    while (text.size() - pos > kMtextChunk) {
      parts.emplace_back(3, text.substr(pos, kMtextChunk));
      pos += kMtextChunk;
    }
  }
  parts.emplace_back(1, text.substr(pos));
  tags->insert(tags->begin() + static_cast<std::ptrdiff_t>(first), parts.begin(), parts.end());
  return true;
}

bool SetStyle(dxf::Tags* tags, std::string_view style) {
  size_t at = commands::FindTag(*tags, 7);
  std::string_view now = at == kNoTag ? "Standard" : dxf::TrimBlanks((*tags)[at].value);
  if (dxf::EqualNoCase(now, style)) return false;
  if (at != kNoTag) {
    (*tags)[at].value = std::string(style);
    return true;
  }
  size_t text = commands::FindTag(*tags, 1);
  size_t insert = text == kNoTag ? commands::ExtendedDataStart(*tags) : text + 1;
  tags->insert(tags->begin() + static_cast<std::ptrdiff_t>(insert),
               dxf::Tag(7, std::string(style)));
  return true;
}

std::string_view EffectiveTextStyle(Context& context, const Variables& vars) {
  if (std::optional<std::string_view> handle = vars.Text(kDimtxsty)) {
    std::string_view name = context.TextStyleName(*handle);
    if (!name.empty()) return name;
  }
  return context.StandardTextStyle();
}

bool Unchanged(const LastRegeneration& last, const std::optional<std::string>& shown,
               std::string_view style, const long long (&colours)[3], const Origins& origins) {
  if (shown != last.shown || style != last.style || origins.count != last.origin_count ||
      !std::equal(std::begin(colours), std::end(colours), std::begin(last.colours))) {
    return false;
  }
  for (size_t i = 0; i < origins.count; ++i) {
    const Point& p = origins.points[i];
    if (p.x != last.origins[i].x || p.y != last.origins[i].y) return false;
  }
  return true;
}

bool Regenerate(Drawing& drawing, Context& context, EntityId id) {
  // The views of d stay valid: they view the dimension's record, which
  // does not change here.
  std::vector<dxf::TagView>& tags = context.tags();
  DimensionData d = ReadDimension(drawing.entity(id).text, &tags);
  DimensionEntry& entry = context.Entry(id);
  ContainerId block = BlockOf(drawing, entry, d.block);
  if (block == kNoContainer) return false;
  Variables vars{&d.overrides, context.Style(d.style)};
  long long text_colour = vars.IntOr(kDimclrt, 0);
  long long line_colour = vars.IntOr(kDimclrd, 0);
  long long extension_colour = vars.IntOr(kDimclre, 0);
  // Extension lines are told apart only while their colour differs from
  // the dimension line's; then the definition points count.
  Origins origins = extension_colour != line_colour ? ExtensionOrigins(d) : Origins{};
  const long long colours[3] = {text_colour, line_colour, extension_colour};

  LastRegeneration& last = entry.last;
  if (last.block == block && last.block_revision == drawing.BlockRevision(block) &&
      Unchanged(last, Regenerated(drawing, context, id, d, vars, last.text),
                EffectiveTextStyle(context, vars), colours, origins)) {
    return true;
  }

  // Looked at first, changed once the block is known to hold a text: most
  // parts already are as they should be.
  EntityId text = kNoEntity;
  std::optional<std::string> shown;
  std::string_view style;
  bool text_changes = false;
  std::vector<std::pair<EntityId, long long>>& recolour = context.recolour();
  recolour.clear();
  const Container& container = drawing.container(block);
  for (EntityId part : container.entities) {
    if (drawing.entity(part).erased || part == container.endblk) continue;
    const RecordText& record = drawing.entity(part).text;
    if (record.text().empty()) continue;
    std::string_view type = record.Type();
    // The definition points keep their layer's look.
    if (type == "POINT" || type == "SEQEND" || type == "ATTRIB" || type == "VERTEX") continue;
    bool is_text = type == "TEXT" || type == "MTEXT";
    if (is_text && text == kNoEntity) {
      text = part;
      shown = Regenerated(drawing, context, id, d, vars, text);
      style = EffectiveTextStyle(context, vars);
      drawing.EntityTags(part, &tags);
      TextFacts now = ReadText(tags);
      text_changes = (shown && (!now.has_text || now.text != *shown)) ||
                     !dxf::EqualNoCase(now.style, style) ||
                     (text_colour == kByLayer ? now.has_colour : now.colour != text_colour);
      continue;
    }
    long long colour = line_colour;
    if (is_text) {
      colour = text_colour;
    } else if (type == "LINE" && extension_colour != line_colour) {
      PartFacts facts = ReadPart(record, true);
      if (IsExtensionLine(facts.a, facts.b, origins.all())) colour = extension_colour;
      if (!HasColour(facts, colour)) recolour.emplace_back(part, colour);
      continue;
    }
    if (!HasColour(ReadPart(record, false), colour)) recolour.emplace_back(part, colour);
  }
  if (text == kNoEntity) {
    last.block = kNoContainer;
    return false;
  }

  if (text_changes) {
    drawing.EntityTags(text, &tags);
    dxf::Tags edited = commands::TagsFromViews(tags);
    if (shown) SetText(&edited, *shown);
    SetStyle(&edited, style);
    SetColour(&edited, text_colour);
    drawing.SetEntityTags(text, edited, tags);
  }
  for (const auto& [part, colour] : recolour) {
    drawing.EntityTags(part, &tags);
    dxf::Tags edited = commands::TagsFromViews(tags);
    if (SetColour(&edited, colour)) drawing.SetEntityTags(part, edited, tags);
  }
  last.block = block;
  last.block_revision = drawing.BlockRevision(block);
  last.text = text;
  last.shown = std::move(shown);
  last.style = std::string(style);
  std::copy(std::begin(colours), std::end(colours), std::begin(last.colours));
  last.origin_count = origins.count;
  std::copy_n(origins.points, origins.count, std::begin(last.origins));
  return true;
}

// A dimension's regeneration reads and writes some thirty records: from
// this many on, a second thread pays.
constexpr size_t kTwoHalvesFromDimensions = 256;

// True when no two of these dimensions name the same block.
bool BlocksOfTheirOwn(const Drawing& drawing, Memory& memory,
                      const std::vector<EntityId>& dimensions) {
  std::vector<ContainerId> blocks;
  blocks.reserve(dimensions.size());
  for (EntityId id : dimensions) {
    std::optional<std::string_view> name = drawing.entity(id).text.Find(2);
    if (!name) continue;
    ContainerId block = BlockOf(drawing, memory.dimensions[id], dxf::TrimBlanks(*name));
    if (block != kNoContainer) blocks.push_back(block);
  }
  std::sort(blocks.begin(), blocks.end());
  return std::adjacent_find(blocks.begin(), blocks.end()) == blocks.end();
}

}  // namespace

RegenerationCount RegenerateDimensions(Drawing& drawing, std::span<const EntityId> entities) {
  std::vector<EntityId> dimensions;
  for (EntityId id : entities) {
    if (!drawing.entity(id).erased && drawing.entity(id).dimension) dimensions.push_back(id);
  }
  if (dimensions.empty()) return {};
  Memory& memory = MemoryOf(drawing);  // made here, before a second thread could
  RegenerationCount counts[2];
  auto regenerate = [&](size_t begin, size_t end) {
    Context context(drawing);
    RegenerationCount& count = counts[begin == 0 ? 0 : 1];
    for (size_t i = begin; i < end; ++i) {
      if (Regenerate(drawing, context, dimensions[i])) {
        ++count.regenerated;
      } else {
        ++count.left_as_is;
      }
    }
  };
  // Each dimension writes only its own block, so dimensions with blocks of
  // their own can be regenerated in two halves at once.
  if (dimensions.size() >= kTwoHalvesFromDimensions &&
      BlocksOfTheirOwn(drawing, memory, dimensions)) {
    RunInTwoHalves(dimensions.size(), regenerate);
  } else {
    regenerate(0, dimensions.size());
  }
  return {counts[0].regenerated + counts[1].regenerated,
          counts[0].left_as_is + counts[1].left_as_is};
}

RegenerationCount RegenerateDimension(Drawing& drawing, EntityId id) {
  return RegenerateDimensions(drawing, std::span<const EntityId>(&id, 1));
}

void MarkForRegeneration(Drawing& drawing, std::span<const EntityId> entities) {
  std::vector<EntityId>& waiting = MemoryOf(drawing).waiting;
  for (EntityId id : entities) {
    if (!drawing.entity(id).erased && drawing.entity(id).dimension) waiting.push_back(id);
  }
}

void MarkForRegeneration(Drawing& drawing, EntityId id) {
  MarkForRegeneration(drawing, std::span<const EntityId>(&id, 1));
}

bool RegenerationWaiting(const Drawing& drawing) {
  auto* memory = dynamic_cast<Memory*>(drawing.derived());
  return memory != nullptr && !memory->waiting.empty();
}

RegenerationCount RegenerateWaiting(Drawing& drawing) {
  if (!RegenerationWaiting(drawing)) return {};
  std::vector<EntityId> waiting = std::move(MemoryOf(drawing).waiting);
  MemoryOf(drawing).waiting.clear();
  // Each dimension once, where it was changed last: two dimensions sharing
  // a block then leave it as the later change would.
  std::vector<EntityId> order;
  std::vector<bool> seen(drawing.entity_count());
  for (size_t i = waiting.size(); i-- > 0;) {
    if (seen[waiting[i]]) continue;
    seen[waiting[i]] = true;
    order.push_back(waiting[i]);
  }
  std::reverse(order.begin(), order.end());
  return RegenerateDimensions(drawing, order);
}

struct DimensionInspector::State {
  explicit State(const Drawing& drawing) : context(drawing) {}
  Context context;
};

DimensionInspector::DimensionInspector(const Drawing& drawing)
    : drawing_(drawing), state_(std::make_unique<State>(drawing)) {}

DimensionInspector::~DimensionInspector() = default;

DrawnDimension InspectDimension(const Drawing& drawing, EntityId id) {
  return DimensionInspector(drawing).Inspect(id);
}

DrawnDimension DimensionInspector::Inspect(EntityId id) {
  const Drawing& drawing = drawing_;
  Context& context = state_->context;
  DrawnDimension drawn;
  std::vector<dxf::TagView>& tags = context.tags();
  DimensionData d = ReadDimension(drawing.entity(id).text, &tags);
  DimensionEntry& entry = context.Entry(id);
  ContainerId block = BlockOf(drawing, entry, d.block);
  if (block == kNoContainer) return drawn;
  // The text the last regeneration found, while the block is as it left
  // it: the parts before the text are not read again.
  const LastRegeneration& last = entry.last;
  EntityId text = last.block == block && last.block_revision == drawing.BlockRevision(block)
                      ? last.text
                      : TextEntity(drawing, block);
  if (text == kNoEntity) return drawn;
  drawn.has_text = true;
  drawing.EntityTags(text, &tags);
  drawn.text = TextOf(tags);
  drawn.value = DrawnValue(d.override_text.value_or(""), drawn.text);
  Variables vars{&d.overrides, context.Style(d.style)};
  drawn.regenerated =
      Regenerated(drawing, context, id, d, vars, text, &drawn.text).value_or(drawn.text);
  return drawn;
}

std::optional<std::string> DrawnValue(std::string_view override_text, std::string_view drawn) {
  std::optional<Split> split = SplitDrawn(override_text, drawn);
  if (!split) return std::nullopt;
  return split->value;
}

}  // namespace host
