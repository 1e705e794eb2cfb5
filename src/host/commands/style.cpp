// -STYLE (-stil): name, font, height, width factor, obliquing angle,
// backwards, upside-down and, for SHX fonts, vertical. The style gets the
// font file (3) and the settings; a missing style is created as a complete
// STYLE record. The style becomes current ($TEXTSTYLE).
//
// Whether an SHX font can be drawn vertically is known only from the font
// file, which the substitute host does not read: it asks for every SHX font
// (a name without extension is an SHX font, "txt"), never for TrueType
// (.ttf, .ttc, .otf), so that a script for a TrueType font answers exactly
// the height, width, angle, backwards and upside-down prompts.
#include <cmath>
#include <cstdio>

#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/cmdline/command_line.h"
#include "host/commands/prompt_input.h"
#include "host/commands/stand_in_commands.h"
#include "host/commands/tag_edit.h"
#include "host/session.h"

namespace host::commands {

namespace {

constexpr int kVertical = 4;    // 70
constexpr int kBackwards = 2;   // 71
constexpr int kUpsideDown = 4;  // 71
constexpr std::initializer_list<int> kStyleOrder = {2, 70, 40, 41, 50, 71, 42, 3, 4};

bool ValidName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (std::string_view("<>/\\\":;?*|=`").find(c) != std::string_view::npos) return false;
  }
  return true;
}

bool IsTrueType(std::string_view font) {
  std::string upper = dxf::UpperCase1252(font);
  for (const char* extension : {".TTF", ".TTC", ".OTF"}) {
    std::string_view e(extension);
    if (upper.size() >= e.size() && upper.compare(upper.size() - e.size(), e.size(), e) == 0) {
      return true;
    }
  }
  return false;
}

std::string FormatAngle(double degrees) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.4g", degrees);
  return buffer;
}

bool NotNegative(double value) { return value >= 0; }
bool Positive(double value) { return value > 0; }
bool ObliqueRange(double value) { return std::fabs(value) <= 85; }

// Sets a number unless the record already holds that value, whose text is
// then kept as the file wrote it.
void SetNumber(dxf::Tags* tags, int code, double value, double old_value, bool had) {
  if (had && value == old_value) return;
  SetTagInOrder(tags, code, dxf::FormatDouble(value), kStyleOrder, 2);
}

void SetInteger(dxf::Tags* tags, int code, long long value, long long old_value, bool had) {
  if (had && value == old_value) return;
  SetTagInOrder(tags, code, dxf::FormatInt(value), kStyleOrder, 2);
}

// Removes the "ACAD" extended data, which names a TrueType family that no
// longer is the style's font.
void DropFontFamily(dxf::Tags* tags) {
  size_t start = ExtendedDataStart(*tags);
  size_t i = start;
  while (i < tags->size()) {
    size_t end = i + 1;
    while (end < tags->size() && (*tags)[end].code != 1001) ++end;
    if (dxf::EqualNoCase(dxf::TrimBlanks((*tags)[i].value), "ACAD")) {
      tags->erase(tags->begin() + static_cast<std::ptrdiff_t>(i),
                  tags->begin() + static_cast<std::ptrdiff_t>(end));
    } else {
      i = end;
    }
  }
}

dxf::Tags NewStyleRecord(Drawing& drawing, const std::string& name) {
  dxf::Tags tags = {dxf::Tag(0, "STYLE")};
  std::string handle = drawing.has_handles() ? drawing.NewHandle() : std::string();
  if (!handle.empty()) tags.emplace_back(5, handle);
  if (!drawing.is_r12()) {
    const Table* table = drawing.FindTable("STYLE");
    if (table && !table->handle.empty()) tags.emplace_back(330, table->handle);
    tags.emplace_back(100, "AcDbSymbolTableRecord");
    tags.emplace_back(100, "AcDbTextStyleTableRecord");
  }
  tags.emplace_back(2, name);
  tags.emplace_back(70, "0");
  tags.emplace_back(40, "0.0");
  tags.emplace_back(41, "1.0");
  tags.emplace_back(50, "0.0");
  tags.emplace_back(71, "0");
  tags.emplace_back(42, "2.5");
  tags.emplace_back(3, "txt");
  tags.emplace_back(4, "");
  return tags;
}

}  // namespace

void Style(Session& session) {
  CommandLine& cl = session.command_line();
  Drawing& drawing = session.drawing();
  const dxf::Encoding& encoding = drawing.encoding();
  std::string current = "STANDARD";
  if (std::optional<dxf::Tags> header = drawing.HeaderVar("$TEXTSTYLE")) {
    if (!header->empty()) current = encoding.Decode(dxf::TrimBlanks(header->front().value));
  }

  std::string name;
  while (true) {
    std::optional<std::string> answer =
        cl.Ask("Name des Textstils eingeben oder [?] <" + current + ">: ");
    if (!answer) return;
    name = std::string(dxf::TrimBlanks(*answer));
    if (name.empty()) name = current;
    if (name == "?") {
      if (const Table* table = drawing.FindTable("STYLE")) {
        for (TableRecordId id : table->records) {
          if (drawing.table_record(id).erased) continue;
          dxf::Tags tags = CopyTableRecordTags(drawing, id);
          cl.Message("Stilname: " + encoding.Decode(TagValue(tags, 2)) +
                     "  Schrift: " + encoding.Decode(TagValue(tags, 3)));
        }
      }
      continue;
    }
    if (ValidName(name)) break;
    cl.Refuse("Ungültiger Name für einen Textstil.");
  }

  TableRecordId record = drawing.FindTableRecord("STYLE", name);
  dxf::Tags tags;
  if (record == kNoRecord) {
    cl.Message("Neuer Stil.");
    tags = NewStyleRecord(drawing, encoding.Encode(name));
  } else {
    cl.Message("Vorhandener Stil.");
    tags = CopyTableRecordTags(drawing, record);
  }
  bool had = record != kNoRecord;
  const dxf::Tags before = tags;
  std::string old_font = TagValue(tags, 3, "txt");
  double old_height = TagReal(tags, 40, 0), old_width = TagReal(tags, 41, 1);
  double old_oblique = TagReal(tags, 50, 0);
  long long old_flags = TagInteger(tags, 70, 0), old_generation = TagInteger(tags, 71, 0);

  // The font name is taken as typed: font paths may hold blanks.
  std::optional<std::string> font_answer =
      cl.Ask("Vollständigen Schriftnamen oder Schriftdateinamen angeben (TTF oder SHX) <" +
             encoding.Decode(old_font) + ">: ");
  if (!font_answer) return;
  std::string font = font_answer->empty() ? encoding.Decode(old_font) : *font_answer;

  std::optional<double> height =
      AskReal(cl, "Texthöhe angeben <" + FormatDistance(old_height) + ">: ", old_height,
              NotNegative, "Wert darf nicht negativ sein.");
  if (!height) return;
  std::optional<double> width =
      AskReal(cl, "Breitenfaktor angeben <" + FormatDistance(old_width) + ">: ", old_width,
              Positive, "Wert muss positiv und ungleich Null sein.");
  if (!width) return;
  std::optional<double> oblique =
      AskReal(cl, "Neigungswinkel angeben <" + FormatAngle(old_oblique) + ">: ", old_oblique,
              ObliqueRange, "Wert muss zwischen -85 und 85 liegen.");
  if (!oblique) return;
  bool was_backwards = old_generation & kBackwards;
  std::optional<bool> backwards = AskYesNo(
      cl,
      std::string("Text rückwärts darstellen? [Ja/Nein] <") + (was_backwards ? "J" : "N") + ">: ",
      was_backwards);
  if (!backwards) return;
  bool was_upside_down = old_generation & kUpsideDown;
  std::optional<bool> upside_down =
      AskYesNo(cl,
               std::string("Text auf dem Kopf darstellen? [Ja/Nein] <") +
                   (was_upside_down ? "J" : "N") + ">: ",
               was_upside_down);
  if (!upside_down) return;
  bool vertical = false;
  if (!IsTrueType(font)) {
    bool was_vertical = old_flags & kVertical;
    std::optional<bool> answer =
        AskYesNo(cl, std::string("Vertikal? <") + (was_vertical ? "J" : "N") + ">: ", was_vertical);
    if (!answer) return;
    vertical = *answer;
  }

  long long flags = (old_flags & ~kVertical) | (vertical ? kVertical : 0);
  long long generation = (old_generation & ~(kBackwards | kUpsideDown)) |
                         (*backwards ? kBackwards : 0) | (*upside_down ? kUpsideDown : 0);
  SetInteger(&tags, 70, flags, old_flags, had);
  SetNumber(&tags, 40, *height, old_height, had);
  SetNumber(&tags, 41, *width, old_width, had);
  SetNumber(&tags, 50, *oblique, old_oblique, had);
  SetInteger(&tags, 71, generation, old_generation, had);
  std::string file_font = encoding.Encode(font);
  if (!dxf::EqualNoCase(file_font, old_font) || !had) {
    SetTagInOrder(&tags, 3, file_font, kStyleOrder, 2);
    DropFontFamily(&tags);
  }
  if (had) {
    if (tags != before) drawing.SetTableRecordTags(record, tags);
  } else {
    drawing.AddTableRecord("STYLE", tags);
  }
  std::string stored_name = TagValue(tags, 2);
  drawing.SetHeaderVar("$TEXTSTYLE", {dxf::Tag(7, stored_name)});
  cl.Message("\"" + encoding.Decode(stored_name) + "\" ist jetzt der aktuelle Textstil.");
}

}  // namespace host::commands
