// (amgsetdwgsetting "scale" "1:2.000000"): the add-on's drawing settings are
// kept in the drawing, in an XRECORD that the named-object dictionary lists
// as DRAVOLIN_AMSETTINGS; its data are pairs of strings (1 name, 1 value).
// A drawing without an OBJECTS section (R12) cannot hold them: they are kept
// for the session only, and the host says so.
#include <string>

#include "dxf/document.h"
#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/cmdline/command_line.h"
#include "host/commands/stand_in_commands.h"
#include "host/commands/tag_edit.h"
#include "host/session.h"

namespace host::commands {

namespace {

constexpr char kEntryName[] = "DRAVOLIN_AMSETTINGS";

// The named-object dictionary: the first object of the OBJECTS section.
RecordText* RootDictionary(Drawing& drawing) {
  if (drawing.is_r12() || !drawing.objects()) return nullptr;
  std::vector<RecordText>& records = drawing.objects()->records;
  // records[0] is the section's own "0 SECTION / 2 OBJECTS" record.
  if (records.size() < 2 || dxf::RecordType(records[1].text()) != "DICTIONARY") return nullptr;
  return &records[1];
}

// The handle the dictionary lists under the name, or "".
std::string EntryHandle(const dxf::Tags& dictionary, std::string_view name) {
  for (size_t i = 0; i + 1 < dictionary.size(); ++i) {
    if (dictionary[i].code == 3 && dxf::TrimBlanks(dictionary[i].value) == name &&
        (dictionary[i + 1].code == 350 || dictionary[i + 1].code == 360)) {
      return std::string(dxf::TrimBlanks(dictionary[i + 1].value));
    }
  }
  return {};
}

// The settings XRECORD, created (with its dictionary entry) when create is
// set; nullptr when the drawing cannot hold it.
RecordText* SettingsRecord(Drawing& drawing, bool create) {
  RecordText* root = RootDictionary(drawing);
  if (!root) return nullptr;
  dxf::Tags root_tags = dxf::ToTags(root->text());
  std::string handle = EntryHandle(root_tags, kEntryName);
  if (!handle.empty()) {
    if (RecordText* record = drawing.FindObject(handle)) return record;
  }
  if (!create) return nullptr;
  std::string root_handle = TagValue(root_tags, 5);
  handle = drawing.NewHandle();
  if (handle.empty() || root_handle.empty()) return nullptr;
  // Dictionary entries (3/350) come after the dictionary's own groups.
  root_tags.emplace_back(3, kEntryName);
  root_tags.emplace_back(350, handle);
  root->Replace(dxf::WriteTags(root_tags, drawing.style()));
  // Adding an object may move the section's records: look the new one up.
  if (!drawing.AddObject({dxf::Tag(0, "XRECORD"), dxf::Tag(5, handle), dxf::Tag(330, root_handle),
                          dxf::Tag(100, "AcDbXrecord"), dxf::Tag(280, "1")})) {
    return nullptr;
  }
  return drawing.FindObject(handle);
}

void RequireStrings(const std::vector<ExprValue>& args, size_t count) {
  if (args.size() < count) throw ExprError{"Zu wenig Argumente"};
  if (args.size() > count) throw ExprError{"Zu viele Argumente"};
  for (const ExprValue& arg : args) {
    if (!arg.is_string()) throw ExprError{"Fehlerhafter Argumenttyp: stringp " + arg.ToDisplay()};
  }
}

}  // namespace

ExprValue SetDrawingSetting(Session& session, StandInState& state,
                            const std::vector<ExprValue>& args) {
  RequireStrings(args, 2);
  const std::string& name = args[0].text;
  const std::string& value = args[1].text;
  Drawing& drawing = session.drawing();
  RecordText* record = SettingsRecord(drawing, true);
  if (!record) {
    state.memory_settings[dxf::UpperCase1252(name)] = value;
    session.command_line().Message(
        "Die Zeichnung kann keine Einstellungen speichern (kein "
        "OBJECTS-Abschnitt): \"" +
        name + "\" gilt nur in dieser Sitzung.");
    return ExprValue::True();
  }
  std::string file_name = drawing.encoding().Encode(name);
  std::string file_value = drawing.encoding().Encode(value);
  dxf::Tags tags = dxf::ToTags(record->text());
  bool replaced = false;
  for (size_t i = 0; i + 1 < tags.size(); ++i) {
    if (tags[i].code == 1 && tags[i + 1].code == 1 && dxf::EqualNoCase(tags[i].value, file_name)) {
      tags[i + 1].value = file_value;
      replaced = true;
      break;
    }
    if (tags[i].code == 1) ++i;  // skip the value of another setting
  }
  if (!replaced) {
    tags.emplace_back(1, file_name);
    tags.emplace_back(1, file_value);
  }
  record->Replace(dxf::WriteTags(tags, drawing.style()));
  return ExprValue::True();
}

ExprValue GetDrawingSetting(Session& session, StandInState& state,
                            const std::vector<ExprValue>& args) {
  RequireStrings(args, 1);
  Drawing& drawing = session.drawing();
  if (RecordText* record = SettingsRecord(drawing, false)) {
    std::string file_name = drawing.encoding().Encode(args[0].text);
    dxf::Tags tags = dxf::ToTags(record->text());
    for (size_t i = 0; i + 1 < tags.size(); ++i) {
      if (tags[i].code != 1) continue;
      if (tags[i + 1].code == 1 && dxf::EqualNoCase(tags[i].value, file_name)) {
        return ExprValue::String(drawing.encoding().Decode(tags[i + 1].value));
      }
      ++i;
    }
  }
  auto it = state.memory_settings.find(dxf::UpperCase1252(args[0].text));
  if (it != state.memory_settings.end()) return ExprValue::String(it->second);
  return ExprValue::Nil();
}

}  // namespace host::commands
