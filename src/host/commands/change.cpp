// CHANGE (Ändern) with its properties option: colour, layer, linetype,
// linetype scale, line weight and thickness of the selected objects.
// ByLayer is the default of colour (62), linetype (6) and line weight (370),
// so setting it removes the group, as a CAD program writes such entities.
// A POLYLINE's vertices follow their header; an INSERT's ATTRIBs keep their
// own properties. Objects on locked layers are left alone.
#include <functional>
#include <optional>

#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/cmdline/command_line.h"
#include "host/commands/current_space.h"
#include "host/commands/layer_states.h"
#include "host/commands/prompt_input.h"
#include "host/commands/property_values.h"
#include "host/commands/selection.h"
#include "host/commands/stand_in_commands.h"
#include "host/commands/tag_edit.h"
#include "host/dimension_regen.h"
#include "host/session.h"
#include "host/two_halves.h"

namespace host::commands {

namespace {

enum ChangeOption { kProperties };
constexpr Keyword kChangeOptions[] = {{"Eigenschaften", "Properties", kProperties}};

enum Property { kColour, kElevation, kLayer, kLinetype, kLinetypeScale, kLineWeight, kThickness };
constexpr Keyword kProperties_[] = {
    {"Farbe", "Color", kColour},
    {"Erhebung", "Elev", kElevation},
    {"LAyer", "LAyer", kLayer},
    {"LTyp", "LType", kLinetype},
    {"LTFaktor", "ltScale", kLinetypeScale},
    {"LStärke", "LWeight", kLineWeight},
    {"Objekthöhe", "Thickness", kThickness},
};

// The groups of AcDbEntity in the order a CAD program writes them.
constexpr std::initializer_list<int> kCommonOrder = {8, 6, 62, 420, 430, 440, 370, 48, 60};

// Where a group of AcDbEntity goes when none of its neighbours is there.
size_t CommonFallback(const dxf::Tags& tags) {
  for (size_t i = 0; i < tags.size(); ++i) {
    if (tags[i].code == 100 && tags[i].value == "AcDbEntity") return i + 1;
  }
  return 1;
}

void SetCommon(dxf::Tags* tags, int code, const std::string& value) {
  SetTagInOrder(tags, code, value, kCommonOrder, CommonFallback(*tags));
}

// Thickness belongs to the entity's own subclass: after its marker, the
// second 100 group (R12 files have no markers: after the layer).
void SetThickness(dxf::Tags* tags, const std::string& value) {
  if (size_t i = FindTag(*tags, 39); i != kNoTag) {
    (*tags)[i].value = value;
    return;
  }
  int markers = 0;
  size_t end = ExtendedDataStart(*tags);
  for (size_t i = 0; i < end; ++i) {
    if ((*tags)[i].code == 100 && ++markers == 2) {
      tags->insert(tags->begin() + static_cast<std::ptrdiff_t>(i + 1), dxf::Tag(39, value));
      return;
    }
  }
  SetCommon(tags, 39, value);
}

// The records a change applies to: the objects and their vertices.
std::vector<EntityId> Records(const Drawing& drawing, const std::vector<EntityId>& objects) {
  std::vector<EntityId> records;
  for (EntityId id : objects) {
    records.push_back(id);
    if (drawing.EntityType(id) != "POLYLINE") continue;
    for (EntityId sub : SubEntitiesOf(drawing, id)) records.push_back(sub);
  }
  return records;
}

// The properties answered so far; they are applied together when the
// command ends, in one pass over the objects. A group absent from the
// record afterwards is written as nullopt.
struct Changes {
  std::optional<std::optional<std::string>> colour, linetype, weight, scale, thickness;
  std::optional<std::string> layer;
  bool any() const { return colour || linetype || weight || scale || thickness || layer; }
};

// The value of the record's group, or nullopt when the record has none.
std::optional<std::string_view> ViewValue(const std::vector<dxf::TagView>& tags, int code) {
  for (const dxf::TagView& tag : tags) {
    if (tag.code == 1001 || tag.code == 101) break;
    if (tag.code == code) return dxf::TrimBlanks(tag.value);
  }
  return std::nullopt;
}

// Whether the record already has the value (numbers compared as numbers).
bool Holds(const std::vector<dxf::TagView>& tags, int code,
           const std::optional<std::string>& wanted) {
  std::optional<std::string_view> value = ViewValue(tags, code);
  if (!value || !wanted) return !value && !wanted;
  if (*value == *wanted) return true;
  std::optional<double> a = ParseReal(*value), b = ParseReal(*wanted);
  return a && b && *a == *b;
}

void ApplyChanges(Drawing& drawing, const std::vector<EntityId>& records, const Changes& changes) {
  if (!changes.any()) return;
  auto set = [](dxf::Tags* tags, int code, const std::optional<std::string>& value) {
    if (!value) {
      RemoveTags(tags, code);
    } else if (code == 39) {
      SetThickness(tags, *value);
    } else {
      SetCommon(tags, code, *value);
    }
  };
  const std::pair<int, const std::optional<std::optional<std::string>>*> groups[] = {
      {62, &changes.colour},
      {6, &changes.linetype},
      {370, &changes.weight},
      {48, &changes.scale},
      {39, &changes.thickness}};
  auto apply = [&](size_t begin, size_t end) {
    std::vector<dxf::TagView> views;
    for (size_t r = begin; r < end; ++r) {
      EntityId id = records[r];
      // Most objects of a drawing already are as asked: look before copying.
      drawing.EntityTags(id, &views);
      bool needed = changes.layer && !Holds(views, 8, changes.layer);
      for (const auto& [code, value] : groups) {
        if (*value && !Holds(views, code, **value)) needed = true;
      }
      if (!needed) continue;
      dxf::Tags tags = TagsFromViews(views);
      if (changes.layer) SetCommon(&tags, 8, *changes.layer);
      for (const auto& [code, value] : groups) {
        if (*value) set(&tags, code, **value);
      }
      drawing.SetEntityTags(id, tags, views);
    }
  };
  // Each record is changed by itself alone: a large selection is changed in
  // two halves at once.
  RunInTwoHalvesIfLong(records.size(), apply);
}

// The value the objects share, shown as the prompt's default, or VARIIERT.
std::string Common(const Drawing& drawing, const std::vector<EntityId>& objects,
                   const std::function<std::string(const std::vector<dxf::TagView>&)>& value) {
  // The value [begin, end) shares, nullopt when it varies there.
  auto shared_in = [&](size_t begin, size_t end) -> std::optional<std::string> {
    std::vector<dxf::TagView> views;
    std::string shared;
    for (size_t i = begin; i < end; ++i) {
      drawing.EntityTags(objects[i], &views);
      std::string v = value(views);
      if (i == begin) {
        shared = std::move(v);
      } else if (v != shared) {
        return std::nullopt;
      }
    }
    return shared;
  };
  std::optional<std::string> shared;
  if (objects.size() < kTwoHalvesFrom) {
    shared = shared_in(0, objects.size());
  } else {
    std::optional<std::string> halves[2];
    RunInTwoHalves(objects.size(), [&](size_t begin, size_t end) {
      halves[begin == 0 ? 0 : 1] = shared_in(begin, end);
    });
    if (halves[0] && halves[0] == halves[1]) shared = halves[0];
  }
  return shared ? *shared : "VARIIERT";
}

std::string LinetypeText(const Drawing& drawing, const std::string& file_name) {
  if (dxf::EqualNoCase(file_name, "BYLAYER")) return "VONLAYER";
  if (dxf::EqualNoCase(file_name, "BYBLOCK")) return "VONBLOCK";
  return drawing.encoding().Decode(file_name);
}

// Asks for a value until parse accepts it; Enter keeps the objects as they
// are (nullopt with *keep set); nullopt without it: cancelled.
template <typename T>
std::optional<T> AskProperty(
    CommandLine& cl, const std::string& prompt, bool* keep,
    const std::function<std::optional<T>(std::string_view, std::string*)>& parse) {
  *keep = false;
  while (true) {
    std::optional<std::string> answer = cl.Ask(prompt);
    if (!answer) return std::nullopt;
    if (dxf::TrimBlanks(*answer).empty()) {
      *keep = true;
      return std::nullopt;
    }
    std::string why;
    if (std::optional<T> value = parse(dxf::TrimBlanks(*answer), &why)) return value;
    cl.Message(why);
  }
}

// Asks for one property's new value and notes it; false when cancelled.
bool ChangeProperty(Session& session, Property property, const std::vector<EntityId>& objects,
                    Changes* changes) {
  CommandLine& cl = session.command_line();
  Drawing& drawing = session.drawing();
  const dxf::Encoding& encoding = drawing.encoding();
  auto number_of = [](const std::vector<dxf::TagView>& t, int code, double fallback) {
    std::optional<std::string_view> v = ViewValue(t, code);
    return v ? ParseReal(*v).value_or(fallback) : fallback;
  };
  bool keep = false;
  switch (property) {
    case kColour: {
      std::string current = Common(drawing, objects, [&](const std::vector<dxf::TagView>& t) {
        return ColourText(static_cast<int>(number_of(t, 62, kColourByLayer)));
      });
      auto colour = AskProperty<int>(
          cl, "Neue Farbe eingeben <" + current + ">: ", &keep,
          [](std::string_view text, std::string* why) {
            std::optional<int> value = ParseColour(text);
            if (!value) *why = "Ungültige Farbe. VonLayer, VonBlock, ein Farbname oder 1 bis 255.";
            return value;
          });
      if (!colour) return keep;
      changes->colour =
          *colour == kColourByLayer ? std::nullopt : std::optional(dxf::FormatInt(*colour));
      return true;
    }
    case kLayer: {
      std::string current = Common(drawing, objects, [&](const std::vector<dxf::TagView>& t) {
        return encoding.Decode(ViewValue(t, 8).value_or("0"));
      });
      auto layer = AskProperty<std::string>(
          cl, "Neuen Layer eingeben <" + current + ">: ", &keep,
          [&](std::string_view text, std::string* why) -> std::optional<std::string> {
            TableRecordId record = drawing.FindTableRecord("LAYER", text);
            if (record == kNoRecord) {
              *why = "Layer \"" + std::string(text) + "\" nicht gefunden.";
              return std::nullopt;
            }
            return TagValue(CopyTableRecordTags(drawing, record), 2);
          });
      if (!layer) return keep;
      changes->layer = *layer;
      return true;
    }
    case kLinetype: {
      std::string current = Common(drawing, objects, [&](const std::vector<dxf::TagView>& t) {
        return LinetypeText(drawing, std::string(ViewValue(t, 6).value_or("BYLAYER")));
      });
      auto linetype = AskProperty<std::string>(
          cl, "Neuen Linientypnamen eingeben <" + current + ">: ", &keep,
          [&](std::string_view text, std::string* why) -> std::optional<std::string> {
            if (dxf::EqualNoCase(text, "VONLAYER") || dxf::EqualNoCase(text, "BYLAYER"))
              return "BYLAYER";
            if (dxf::EqualNoCase(text, "VONBLOCK") || dxf::EqualNoCase(text, "BYBLOCK"))
              return "BYBLOCK";
            TableRecordId record = drawing.FindTableRecord("LTYPE", text);
            if (record == kNoRecord) {
              *why = "Linientyp \"" + std::string(text) + "\" nicht gefunden.";
              return std::nullopt;
            }
            return TagValue(CopyTableRecordTags(drawing, record), 2);
          });
      if (!linetype) return keep;
      changes->linetype = *linetype == "BYLAYER" ? std::nullopt : std::optional(*linetype);
      return true;
    }
    case kLineWeight: {
      std::string current = Common(drawing, objects, [&](const std::vector<dxf::TagView>& t) {
        return LineWeightText(static_cast<int>(number_of(t, 370, kLineWeightByLayer)));
      });
      auto weight = AskProperty<int>(cl, "Neue Linienstärke eingeben <" + current + ">: ", &keep,
                                     [](std::string_view text, std::string* why) {
                                       std::optional<int> value = ParseLineWeight(text);
                                       if (!value) *why = "Ungültige Linienstärke.";
                                       return value;
                                     });
      if (!weight) return keep;
      if (drawing.version() < "AC1015") {
        cl.Message("Diese Zeichnungsversion kennt keine Linienstärken.");
        return true;
      }
      changes->weight =
          *weight == kLineWeightByLayer ? std::nullopt : std::optional(dxf::FormatInt(*weight));
      return true;
    }
    case kLinetypeScale:
    case kThickness:
    case kElevation: {
      bool scale = property == kLinetypeScale;
      int code = scale ? 48 : 39;
      std::string current = property == kElevation
                                ? FormatDistance(0)
                                : Common(drawing, objects, [&](const std::vector<dxf::TagView>& t) {
                                    return FormatDistance(number_of(t, code, scale ? 1.0 : 0.0));
                                  });
      std::string prompt = scale                    ? "Neuen Linientypfaktor eingeben <"
                           : property == kThickness ? "Neue Objekthöhe angeben <"
                                                    : "Neue Erhebung angeben <";
      auto value = AskProperty<double>(
          cl, prompt + current + ">: ", &keep,
          [scale](std::string_view text, std::string* why) -> std::optional<double> {
            std::optional<double> number = ParseReal(text);
            if (!number) {
              *why = "Erfordert numerischen Wert.";
            } else if (scale && *number <= 0) {
              *why = "Wert muss positiv und ungleich Null sein.";
              return std::nullopt;
            }
            return number;
          });
      if (!value) return keep;
      if (property == kElevation) {
        cl.Message("Die Erhebung wird hier nicht geändert.");
        return true;
      }
      std::optional<std::string> text;
      if (*value != (scale ? 1.0 : 0.0)) text = dxf::FormatDouble(*value);
      (scale ? changes->scale : changes->thickness) = text;
      return true;
    }
  }
  return true;
}

}  // namespace

void Change(Session& session) {
  CommandLine& cl = session.command_line();
  std::optional<std::vector<EntityId>> selection = SelectObjects(session);
  if (!selection || selection->empty()) return;
  // Objects on a locked layer cannot be changed (only "Letztes" can choose one).
  LayerStates layers(session.drawing());
  std::vector<EntityId> objects;
  std::vector<LayerStates::State> states = layers.EntityStates(*selection);
  for (size_t i = 0; i < selection->size(); ++i) {
    if (!states[i].locked) objects.push_back((*selection)[i]);
  }
  if (objects.size() < selection->size()) {
    cl.Message(std::to_string(selection->size() - objects.size()) +
               " Objekt(e) auf gesperrtem Layer nicht geändert.");
  }
  while (true) {
    std::optional<std::string> answer = cl.Ask("Änderungspunkt angeben oder [Eigenschaften]: ");
    if (!answer) return;
    if (dxf::TrimBlanks(*answer).empty()) return;
    if (MatchKeyword(*answer, kChangeOptions) == kProperties) break;
    if (ParsePoint(*answer)) {
      cl.Message("Änderungspunkte werden hier nicht unterstützt; Eigenschaften wählen.");
    } else {
      cl.Message("Punkt oder Option-Schlüsselwort erforderlich.");
    }
  }
  Changes changes;
  while (true) {
    std::optional<std::string> answer = cl.Ask(
        "Zu ändernde Eigenschaft eingeben "
        "[Farbe/Erhebung/LAyer/LTyp/LTFaktor/LStärke/Objekthöhe]: ");
    if (!answer || dxf::TrimBlanks(*answer).empty()) break;
    std::optional<int> property = MatchKeyword(*answer, kProperties_);
    if (!property) {
      cl.Message("Ungültige Option.");
      continue;
    }
    if (!ChangeProperty(session, static_cast<Property>(*property), objects, &changes)) break;
  }
  // What was answered before input ran out is applied, as a real host has
  // applied each property by then.
  ApplyChanges(session.drawing(), Records(session.drawing(), objects), changes);
  if (changes.any()) RegenerateDimensions(session.drawing(), objects);
}

}  // namespace host::commands
