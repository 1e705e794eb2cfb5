#include "cli/conversion_warnings.h"

#include <cstdio>
#include <map>

#include "host/commands/layer_states.h"
#include "host/ui/text_encoding.h"

namespace cli {

namespace {

constexpr size_t kMaxNamed = 10;  // items a warning names; the count stays whole

std::string Value(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

// The text the line-weight dialog shows for an explicit line weight, which
// the conversion compares with the text chosen: "0.50".
std::string LineWeightText(int hundredths) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", hundredths / 100.0);
  return text;
}

}  // namespace

std::string LineWeightName(int hundredths) {
  if (hundredths == kLineWeightByLayer) return "ByLayer";
  if (hundredths == kLineWeightByBlock) return "ByBlock";
  if (hundredths == kLineWeightDefault) return "Default";
  return LineWeightText(hundredths) + " mm";
}

// "N of M dimensions ...: H1 (a -> b), H2 (...), ..." naming the first few.
template <typename Item, typename Describe>
std::string NamedList(const std::string& head, const std::vector<Item>& items, Describe describe) {
  std::string text = head;
  for (size_t i = 0; i < items.size() && i < kMaxNamed; ++i)
    text += (i ? ", " : " ") + describe(items[i]);
  if (items.size() > kMaxNamed) text += ", ...";
  return text;
}

std::vector<std::string> DimensionWarnings(const ConversionCheck& check) {
  std::vector<std::string> warnings;
  if (!check.changed.empty()) {
    warnings.push_back(NamedList(std::to_string(check.changed.size()) + " of " +
                                     std::to_string(check.dimensions_compared) +
                                     " dimensions show another value:",
                                 check.changed, [](const DimensionChange& change) {
                                   return host::Cp1252ToUtf8(change.handle) + " (" +
                                          Value(change.before) + " -> " + Value(change.after) + ")";
                                 }));
  }
  // What the blocks draw, which a CAD program shows, counts as much as the data.
  if (!check.drawn_changed.empty()) {
    warnings.push_back(
        NamedList(std::to_string(check.drawn_changed.size()) + " of " +
                      std::to_string(check.drawn_compared) + " dimensions draw another value:",
                  check.drawn_changed, [](const DrawnTextProblem& problem) {
                    return host::Cp1252ToUtf8(problem.handle + " (\"" + problem.before +
                                              "\" -> \"" + problem.after + "\")");
                  }));
  }
  if (!check.drawn_stale.empty()) {
    warnings.push_back(NamedList(std::to_string(check.drawn_stale.size()) +
                                     " dimensions draw a text that disagrees with their data:",
                                 check.drawn_stale, [](const DrawnTextProblem& problem) {
                                   return host::Cp1252ToUtf8(problem.handle + " (\"" +
                                                             problem.after + "\")");
                                 }));
  }
  return warnings;
}

std::vector<std::string> LeftOnLayoutWarnings(const host::Drawing& after,
                                              host::ContainerId layout) {
  if (layout == host::kNoContainer) return {};
  struct Left {
    size_t entities = 0;
    bool frozen = false;
  };
  std::map<std::string, Left> by_layer;
  size_t total = 0;
  host::commands::LayerStates states(after);
  for (host::EntityId id = after.FirstEntity(); id != host::kNoEntity; id = after.NextEntity(id)) {
    const host::Entity& entity = after.entity(id);
    if (entity.container != layout || entity.parent != host::kNoEntity) continue;
    std::string_view type = after.EntityType(id);
    if (type == "VIEWPORT" || type == "VERTEX" || type == "SEQEND" || type == "ATTRIB") continue;
    Left& left = by_layer[after.EntityLayer(id)];
    ++left.entities;
    left.frozen = states.EntityState(id).frozen;
    ++total;
  }
  if (total == 0) return {};
  std::string text = std::to_string(total) + (total == 1 ? " entity stays" : " entities stay") +
                     " on the layout \"" + host::Cp1252ToUtf8(after.LayoutNameOf(layout)) +
                     "\" unconverted:";
  size_t named = 0;
  for (const auto& [layer, left] : by_layer) {
    if (named++ == kMaxNamed) {
      text += ", ...";
      break;
    }
    text += (named > 1 ? ", " : " ") + std::to_string(left.entities) + " on " +
            (left.frozen ? "the frozen layer \"" : "the layer \"") + host::Cp1252ToUtf8(layer) +
            "\"";
  }
  return {text};
}

std::vector<std::string> LineWeightWarnings(const DrawingSurvey& before,
                                            const host::Answers& answers) {
  // The boxes of the dialog, in the order the answer types into them.
  constexpr const char* kLayers[] = {"AM_0", "AM_3", "AM_4"};
  std::vector<std::string> warnings;
  for (const host::LineWeightsAnswer& answer : answers.lineweights) {
    if (answer.action != host::LineWeightsAnswer::Action::kType) continue;
    for (size_t box = 0; box < answer.texts.size(); ++box) {
      const std::string& chosen = answer.texts[box];
      if (chosen.empty()) continue;  // none chosen for that layer
      bool carried = false;
      for (const auto& [weight, count] : before.entity_lineweights)
        carried = carried || (weight >= 0 && LineWeightText(weight) == chosen);
      if (carried) continue;
      std::string text = "no entity carries the line weight \"" + chosen + "\" chosen for " +
                         kLayers[box] + ", so no entity goes onto " + kLayers[box] +
                         " by its line weight; the drawing carries";
      size_t named = 0;
      for (const auto& [weight, count] : before.entity_lineweights) {
        text += std::string(named++ ? ", " : " ") + LineWeightName(weight) + " (" +
                std::to_string(count) + (count == 1 ? " entity)" : " entities)");
      }
      if (before.entity_lineweights.empty()) text += " no entities";
      warnings.push_back(text);
    }
  }
  return warnings;
}

}  // namespace cli
