#include "host/commands/template_import.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "dxf/document.h"
#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/commands/tag_edit.h"
#include "host/platform/platform.h"
#include "host/session.h"

namespace host::commands {

namespace {

constexpr char kDefaultTemplate[] = "Mech6.dwt";

// The usual order of a LAYER record's groups, for groups added to it.
constexpr std::initializer_list<int> kLayerOrder = {2, 70, 62, 6, 290, 370, 390};

int HandleCode(std::string_view table) { return table == "DIMSTYLE" ? 105 : 5; }

// Groups an R12 table record may carry besides 0, 2, 70 and its handle.
bool KnownToR12(std::string_view table, int code) {
  if (code == 0 || code == 2 || code == 70) return true;
  if (table == "LAYER") return code == 62 || code == 6;
  if (table == "LTYPE") return code == 3 || code == 72 || code == 73 || code == 40 || code == 49;
  if (table == "STYLE") {
    return code == 40 || code == 41 || code == 50 || code == 71 || code == 42 || code == 3 ||
           code == 4;
  }
  if (table == "DIMSTYLE") {
    return (code >= 3 && code <= 7) || (code >= 40 && code <= 48) || (code >= 140 && code <= 147) ||
           (code >= 170 && code <= 178);
  }
  return false;
}

// Groups that came with the 2000 format (line weights, plot styles,
// materials, the newer dimension variables).
bool NewInR2000(std::string_view table, int code) {
  if (table == "LAYER")
    return code == 290 || code == 370 || code == 390 || code == 347 || code == 348;
  if (table == "DIMSTYLE") {
    return (code >= 341 && code <= 347) || code == 371 || code == 372 ||
           (code >= 276 && code <= 279) || code == 289 || code == 179;
  }
  return false;
}

// Groups holding a handle of another table's record.
bool IsReference(std::string_view table, int code) {
  if (table == "DIMSTYLE") return code >= 340 && code <= 347;
  if (table == "LTYPE") return code == 340;
  return false;
}

}  // namespace

std::string DefaultTemplate(Session& session) {
  return session.platform().templates_dir() + "/" + kDefaultTemplate;
}

std::string HostPath(Session& session, const std::string& typed) {
  std::error_code error;
  if (std::filesystem::exists(typed, error)) return typed;
  std::string path = session.platform().HostPath(typed).value_or(typed);
  if (std::filesystem::exists(path, error)) return path;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

std::unique_ptr<Drawing> LoadTemplate(const std::string& path, std::string* error) {
  dxf::RawFile file;
  dxf::Error err;
  if (!dxf::ReadFile(path, &file, &err)) {
    *error = err.ToString();
    return nullptr;
  }
  std::unique_ptr<Drawing> drawing = Drawing::Load(std::move(file), &err);
  if (!drawing) *error = err.ToString();
  return drawing;
}

// ---- TemplateImporter --------------------------------------------------------------

TemplateImporter::TemplateImporter(const Drawing& source, Drawing& target)
    : source_(source), target_(target) {
  recode_ = source.encoding().utf8() != target.encoding().utf8();
  for (const char* table : {"STYLE", "LTYPE", "BLOCK_RECORD", "LAYER"}) {
    const Table* t = source.FindTable(table);
    if (!t) continue;
    for (TableRecordId id : t->records) {
      if (source.table_record(id).erased) continue;
      dxf::Tags tags = CopyTableRecordTags(source, id);
      std::string handle = TagValue(tags, 5);
      if (!handle.empty()) {
        source_names_[dxf::UpperCase1252(dxf::TrimBlanks(handle))] = {
            table, source.encoding().Decode(TagValue(tags, 2))};
      }
    }
  }
  if (const Table* layers = target.FindTable("LAYER")) {
    for (TableRecordId id : layers->records) {
      std::string plot_style = TagValue(CopyTableRecordTags(target, id), 390);
      if (!plot_style.empty()) {
        plot_style_ = plot_style;
        break;
      }
    }
  }
  if (const Table* apps = target.FindTable("APPID")) {
    for (TableRecordId id : apps->records) {
      target_apps_.insert(dxf::UpperCase1252(TagValue(CopyTableRecordTags(target, id), 2)));
    }
  }
}

std::string TemplateImporter::Recode(const std::string& source_text) const {
  if (!recode_) return source_text;
  return target_.encoding().Encode(source_.encoding().Decode(source_text));
}

std::string TemplateImporter::MapHandle(std::string_view source_handle) {
  auto it = source_names_.find(dxf::UpperCase1252(dxf::TrimBlanks(source_handle)));
  if (it == source_names_.end()) return {};
  const auto& [table, name] = it->second;
  // Blocks are not copied: an arrow block the drawing lacks is dropped, and
  // the dimension style falls back to the standard arrow.
  if (table != "BLOCK_RECORD" && Ensure(table, name).empty()) return {};
  TableRecordId record = target_.FindTableRecord(table, name);
  if (record == kNoRecord) return {};
  return TagValue(CopyTableRecordTags(target_, record), HandleCode(table));
}

dxf::Tags TemplateImporter::Convert(std::string_view table, const dxf::Tags& tags) {
  const Table* target_table = target_.FindTable(table);
  bool r12 = target_.is_r12();
  bool before_2000 = target_.version() < "AC1015";
  int handle_code = HandleCode(table);
  std::string handle = target_.has_handles() ? target_.NewHandle() : std::string();
  dxf::Tags out;
  bool in_group = false, handle_done = false, owner_done = false;
  size_t data_end = ExtendedDataStart(tags);
  for (size_t i = 0; i < data_end; ++i) {
    const dxf::Tag& tag = tags[i];
    // Reactors and extension dictionaries name the template's objects.
    if (tag.code == 102) {
      in_group = !tag.value.empty() && tag.value.front() == '{';
      continue;
    }
    if (in_group || tag.code == 360) continue;
    if (tag.code == handle_code && !handle_done) {
      handle_done = true;
      if (!handle.empty()) out.emplace_back(handle_code, handle);
      continue;
    }
    if (tag.code == 330 && !owner_done) {
      owner_done = true;
      if (!r12 && target_table && !target_table->handle.empty()) {
        out.emplace_back(330, target_table->handle);
      }
      continue;
    }
    if (r12 && (tag.code == 100 || !KnownToR12(table, tag.code))) continue;
    if (before_2000 && NewInR2000(table, tag.code)) continue;
    if (IsReference(table, tag.code)) {
      std::string mapped = MapHandle(tag.value);
      if (!mapped.empty()) out.emplace_back(tag.code, mapped);
      continue;
    }
    if (table == "LAYER" && tag.code == 390) {
      if (!plot_style_.empty()) out.emplace_back(390, plot_style_);
      continue;
    }
    if (table == "LAYER" && (tag.code == 347 || tag.code == 348)) continue;
    if (dxf::TypeOfCode(tag.code) == dxf::ValueType::kString) {
      out.emplace_back(tag.code, Recode(tag.value));
    } else {
      out.push_back(tag);
    }
  }
  // A handle the template record lacked (it has one in any R13+ file).
  if (!handle_done && !handle.empty() && !out.empty()) {
    out.insert(out.begin() + 1, dxf::Tag(handle_code, handle));
  }
  // Extended data only of applications the drawing has registered.
  bool keep = false;
  for (size_t i = data_end; i < tags.size(); ++i) {
    const dxf::Tag& tag = tags[i];
    if (tag.code == 1001)
      keep = target_apps_.count(dxf::UpperCase1252(dxf::TrimBlanks(tag.value))) > 0;
    if (!keep) continue;
    if (tag.code == 1000 || tag.code == 1001) {
      out.emplace_back(tag.code, Recode(tag.value));
    } else {
      out.push_back(tag);
    }
  }
  return out;
}

void TemplateImporter::Copy(std::string_view table, TableRecordId source_record) {
  if (!target_.FindTable(table)) return;  // the drawing has no such table
  dxf::Tags tags = CopyTableRecordTags(source_, source_record);
  dxf::Tags converted = Convert(table, tags);
  if (table == "LAYER") {
    // The layer's linetype comes along, under the name the drawing has for
    // it; a linetype neither has is left out (the layer then draws solid).
    if (size_t i = FindTag(converted, 6); i != kNoTag) {
      std::string linetype = Ensure("LTYPE", source_.encoding().Decode(TagValue(tags, 6)));
      if (linetype.empty()) {
        converted.erase(converted.begin() + static_cast<std::ptrdiff_t>(i));
      } else {
        converted[i].value = linetype;
      }
    }
  }
  target_.AddTableRecord(table, converted);
}

std::string TemplateImporter::Ensure(std::string_view table, std::string_view name) {
  TableRecordId existing = target_.FindTableRecord(table, name);
  if (existing == kNoRecord) {
    TableRecordId source_record = source_.FindTableRecord(table, name);
    if (source_record == kNoRecord || !target_.FindTable(table)) return {};
    Copy(table, source_record);
    existing = target_.FindTableRecord(table, name);
    if (existing == kNoRecord) return {};
  }
  return TagValue(CopyTableRecordTags(target_, existing), 2);
}

int TemplateImporter::CopyMissing(std::string_view table) {
  const Table* source_table = source_.FindTable(table);
  if (!source_table || !target_.FindTable(table)) return 0;
  int copied = 0;
  // Copying a layer may copy a linetype: take the list first.
  std::vector<TableRecordId> records = source_table->records;
  for (TableRecordId id : records) {
    if (source_.table_record(id).erased) continue;
    std::string name = source_.encoding().Decode(TagValue(CopyTableRecordTags(source_, id), 2));
    if (name.empty() || target_.FindTableRecord(table, name) != kNoRecord) continue;
    Copy(table, id);
    ++copied;
  }
  return copied;
}

int TemplateImporter::ApplyAmLayerStandards(int* created) {
  int count = 0;
  bool before_2000 = target_.version() < "AC1015";
  for (int n = 0; n <= 12; ++n) {
    std::string name = "AM_" + std::to_string(n);
    TableRecordId source_record = source_.FindTableRecord("LAYER", name);
    if (source_record == kNoRecord) continue;
    TableRecordId target_record = target_.FindTableRecord("LAYER", name);
    if (target_record == kNoRecord) {
      if (!target_.FindTable("LAYER")) return count;
      Copy("LAYER", source_record);
      ++*created;
      ++count;
      continue;
    }
    dxf::Tags standard = CopyTableRecordTags(source_, source_record);
    dxf::Tags tags = CopyTableRecordTags(target_, target_record);
    dxf::Tags before = tags;
    long long colour = std::llabs(TagInteger(standard, 62, 7));
    // A negative colour marks a layer switched off; the user's choice stays.
    if (TagInteger(tags, 62, 7) < 0) colour = -colour;
    SetTagInOrder(&tags, 62, dxf::FormatInt(colour), kLayerOrder, 2);
    std::string linetype =
        Ensure("LTYPE", source_.encoding().Decode(TagValue(standard, 6, "Continuous")));
    if (!linetype.empty()) SetTagInOrder(&tags, 6, linetype, kLayerOrder, 2);
    std::string weight = TagValue(standard, 370);
    if (!before_2000 && !weight.empty()) SetTagInOrder(&tags, 370, weight, kLayerOrder, 2);
    if (tags != before) target_.SetTableRecordTags(target_record, tags);
    ++count;
  }
  return count;
}

}  // namespace host::commands
