// CHANGE (Ändern) with its properties option: colour, layer, linetype,
// linetype scale, line weight and thickness of the selected objects.
// ByLayer is the default of colour (62), linetype (6) and line weight (370),
// so setting it removes the group, as a CAD program writes such entities.
// A POLYLINE's vertices follow their header; an INSERT's ATTRIBs keep their
// own properties. Objects on locked layers are left alone.
#include <functional>
#include <iterator>
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

std::string LinetypeText(const Drawing& drawing, const std::string& file_name);

// The value each property's prompt shows as its default: what the objects
// share, or VARIIERT. The defaults of every property are found in one pass
// over the objects, the first time a prompt needs one; the drawing does not
// change while the command asks.
class PromptDefaults {
 public:
  PromptDefaults(const Drawing& drawing, const std::vector<EntityId>& objects)
      : drawing_(drawing), objects_(objects) {}

  std::string Get(Property property) {
    if (!found_) Find();
    const std::optional<std::string>& shared = shared_[Slot(property)];
    return shared ? *shared : "VARIIERT";
  }

 private:
  static constexpr int kCodes[] = {62, 8, 6, 370, 48, 39};
  static constexpr size_t kCount = std::size(kCodes);
  static size_t Slot(Property property) {
    switch (property) {
      case kColour:
        return 0;
      case kLayer:
        return 1;
      case kLinetype:
        return 2;
      case kLineWeight:
        return 3;
      case kLinetypeScale:
        return 4;
      default:
        return 5;
    }
  }

  // The prompt's text of a value as the record holds it (nullopt: none).
  std::string Text(size_t slot, std::optional<std::string_view> value) const {
    auto number = [&](double fallback) {
      return value ? ParseReal(*value).value_or(fallback) : fallback;
    };
    switch (slot) {
      case 0:
        return ColourText(static_cast<int>(number(kColourByLayer)));
      case 1:
        return drawing_.encoding().Decode(value.value_or("0"));
      case 2:
        return LinetypeText(drawing_, std::string(value.value_or("BYLAYER")));
      case 3:
        return LineWeightText(static_cast<int>(number(kLineWeightByLayer)));
      case 4:
        return FormatDistance(number(1.0));
      default:
        return FormatDistance(number(0.0));
    }
  }

  // What the objects [begin, end) share of each property: the value as
  // first written, its text, and whether it varies there.
  struct Range {
    std::optional<std::string_view> first[kCount];
    std::string text[kCount];
    bool varies[kCount] = {};
  };
  Range Scan(size_t begin, size_t end) const {
    Range range;
    std::vector<dxf::TagView> views;
    size_t varying = 0;
    for (size_t i = begin; i < end && varying < kCount; ++i) {
      drawing_.EntityTags(objects_[i], &views);
      for (size_t slot = 0; slot < kCount; ++slot) {
        if (range.varies[slot]) continue;
        std::optional<std::string_view> value = ViewValue(views, kCodes[slot]);
        if (i == begin) {
          range.first[slot] = value;
          range.text[slot] = Text(slot, value);
        } else if (value != range.first[slot] && Text(slot, value) != range.text[slot]) {
          range.varies[slot] = true;
          ++varying;
        }
      }
    }
    return range;
  }

  void Find() {
    found_ = true;
    if (objects_.size() < kTwoHalvesFrom) {
      Range range = Scan(0, objects_.size());
      for (size_t slot = 0; slot < kCount; ++slot)
        if (!range.varies[slot]) shared_[slot] = std::move(range.text[slot]);
      return;
    }
    Range halves[2];
    RunInTwoHalves(objects_.size(), [&](size_t begin, size_t end) {
      halves[begin == 0 ? 0 : 1] = Scan(begin, end);
    });
    for (size_t slot = 0; slot < kCount; ++slot) {
      if (!halves[0].varies[slot] && !halves[1].varies[slot] &&
          halves[0].text[slot] == halves[1].text[slot])
        shared_[slot] = std::move(halves[0].text[slot]);
    }
  }

  const Drawing& drawing_;
  const std::vector<EntityId>& objects_;
  bool found_ = false;
  std::optional<std::string> shared_[kCount];
};

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
    cl.Refuse(why);
  }
}

// Asks for one property's new value and notes it; false when cancelled.
bool ChangeProperty(Session& session, Property property, PromptDefaults* defaults,
                    Changes* changes) {
  CommandLine& cl = session.command_line();
  Drawing& drawing = session.drawing();
  bool keep = false;
  switch (property) {
    case kColour: {
      std::string current = defaults->Get(property);
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
      std::string current = defaults->Get(property);
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
      std::string current = defaults->Get(property);
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
      std::string current = defaults->Get(property);
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
      std::string current = property == kElevation ? FormatDistance(0) : defaults->Get(property);
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
      cl.Refuse("Punkt oder Option-Schlüsselwort erforderlich.");
    }
  }
  Changes changes;
  PromptDefaults defaults(session.drawing(), objects);
  while (true) {
    std::optional<std::string> answer = cl.Ask(
        "Zu ändernde Eigenschaft eingeben "
        "[Farbe/Erhebung/LAyer/LTyp/LTFaktor/LStärke/Objekthöhe]: ");
    if (!answer || dxf::TrimBlanks(*answer).empty()) break;
    std::optional<int> property = MatchKeyword(*answer, kProperties_);
    if (!property) {
      cl.Refuse("Ungültige Option.");
      continue;
    }
    if (!ChangeProperty(session, static_cast<Property>(*property), &defaults, &changes)) break;
  }
  // What was answered before input ran out is applied, as a real host has
  // applied each property by then.
  ApplyChanges(session.drawing(), Records(session.drawing(), objects), changes);
  if (changes.any()) MarkForRegeneration(session.drawing(), objects);
}

}  // namespace host::commands
