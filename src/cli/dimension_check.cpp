#include "cli/dimension_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace cli {

namespace {

std::string FormatValue(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

std::vector<uint64_t> SortedUnique(std::vector<uint64_t> handles) {
  std::sort(handles.begin(), handles.end());
  handles.erase(std::unique(handles.begin(), handles.end()), handles.end());
  return handles;
}

}  // namespace

bool DisplayedValuesDiffer(double before, double after) {
  double scale = std::max(std::fabs(before), std::fabs(after));
  if (scale == 0) return false;
  // NaN compares false everywhere; a value that became NaN has changed.
  if (std::isnan(before) != std::isnan(after)) return true;
  return std::fabs(before - after) / scale > 1e-9;
}

ConversionCheck CompareDrawings(const DrawingSurvey& before, const DrawingSurvey& after) {
  ConversionCheck check;
  check.entities_before = before.main_entities;
  check.entities_after = after.main_entities;
  check.by_handle = !before.handles.empty() || before.main_entities == 0;
  if (!check.by_handle) {
    if (before.main_entities > after.main_entities)
      check.deleted = before.main_entities - after.main_entities;
    else
      check.added = after.main_entities - before.main_entities;
    return check;
  }

  // Sorted, the two lists are compared in one walk (a million handles make
  // hash sets the dearest part of the check).
  std::vector<uint64_t> old_handles = SortedUnique(before.handles);
  std::vector<uint64_t> new_handles = SortedUnique(after.handles);
  for (size_t i = 0, j = 0; i < old_handles.size() || j < new_handles.size();) {
    if (j == new_handles.size() || (i < old_handles.size() && old_handles[i] < new_handles[j])) {
      ++check.deleted, ++i;
    } else if (i == old_handles.size() || new_handles[j] < old_handles[i]) {
      ++check.added, ++j;
    } else {
      ++i, ++j;
    }
  }

  // The dimensions after, by handle: the first of a handle where two share
  // one. A sorted list takes a tenth of a hash table's room.
  std::vector<const DimensionFacts*> now;
  now.reserve(after.dimensions.size());
  for (const DimensionFacts& dimension : after.dimensions)
    if (!dimension.handle.empty()) now.push_back(&dimension);
  auto by_handle = [](const DimensionFacts* a, const DimensionFacts* b) {
    return a->handle < b->handle;
  };
  std::stable_sort(now.begin(), now.end(), by_handle);
  auto find_now = [&](const std::string& handle) -> const DimensionFacts* {
    auto it = std::lower_bound(now.begin(), now.end(), handle,
                               [](const DimensionFacts* dimension, const std::string& h) {
                                 return dimension->handle < h;
                               });
    return it != now.end() && (*it)->handle == handle ? *it : nullptr;
  };
  for (const DimensionFacts& old_dimension : before.dimensions) {
    if (old_dimension.type != "DIMENSION") continue;  // leaders and tolerances show no value
    const DimensionFacts* found =
        old_dimension.handle.empty() ? nullptr : find_now(old_dimension.handle);
    if (found == nullptr) {
      ++check.dimensions_gone;
      continue;
    }
    std::optional<double> old_value = old_dimension.displayed();
    std::optional<double> new_value = found->displayed();
    if (!old_value || !new_value) {
      check.unchecked.push_back(old_dimension.handle);
      continue;
    }
    ++check.dimensions_compared;
    if (DisplayedValuesDiffer(*old_value, *new_value))
      check.changed.push_back({old_dimension.handle, found->layout, *old_value, *new_value});
    const DimensionFacts& now_dimension = *found;
    if (old_dimension.drawn_value && now_dimension.drawn_value) {
      ++check.drawn_compared;
      if (*old_dimension.drawn_value != *now_dimension.drawn_value)
        check.drawn_changed.push_back({old_dimension.handle, now_dimension.layout,
                                       *old_dimension.drawn_value, now_dimension.drawn_text});
    }
  }
  for (const DimensionFacts& dimension : after.dimensions) {
    if (dimension.type != "DIMENSION" && dimension.type != "ARC_DIMENSION" &&
        dimension.type != "LARGE_RADIAL_DIMENSION")
      continue;
    if (!dimension.has_drawn_text)
      ++check.without_drawn_text;
    else if (!dimension.drawn_as_data)
      check.drawn_stale.push_back({dimension.handle, dimension.layout, "", dimension.drawn_text});
  }
  return check;
}

std::string FormatCheck(const ConversionCheck& check) {
  std::string text = "\nEntities: " + std::to_string(check.entities_before) + " before, " +
                     std::to_string(check.entities_after) + " after";
  if (check.by_handle)
    text += " (" + std::to_string(check.deleted) + " deleted, " + std::to_string(check.added) +
            " added).";
  else
    text += " (no handles; " + std::to_string(check.deleted) + " fewer, " +
            std::to_string(check.added) + " more).";
  if (!check.by_handle) {
    text += "\nDimension check skipped: the drawing has no handles to match dimensions by.";
    return text;
  }
  text += "\nDimensions: " + std::to_string(check.dimensions_compared) + " compared";
  if (check.dimensions_gone) text += ", " + std::to_string(check.dimensions_gone) + " deleted";
  if (!check.unchecked.empty())
    text += ", " + std::to_string(check.unchecked.size()) + " not checked";
  if (check.changed.empty()) {
    text += ", no displayed value changed.";
  } else {
    text += ", " + std::to_string(check.changed.size()) + " with a changed displayed value:";
    for (const DimensionChange& change : check.changed) {
      text += "\n  Dimension " + change.handle;
      if (!change.layout.empty()) text += " (" + change.layout + ")";
      text += ": " + FormatValue(change.before) + " -> " + FormatValue(change.after);
    }
  }
  auto name = [](const DrawnTextProblem& problem) {
    std::string line = "\n  Dimension " + problem.handle;
    if (!problem.layout.empty()) line += " (" + problem.layout + ")";
    return line;
  };
  if (!check.drawn_changed.empty()) {
    text += "\nDrawn dimension texts: " + std::to_string(check.drawn_changed.size()) + " of " +
            std::to_string(check.drawn_compared) + " show another value than before:";
    for (const DrawnTextProblem& problem : check.drawn_changed)
      text += name(problem) + ": \"" + problem.before + "\" -> \"" + problem.after + "\"";
  }
  if (!check.drawn_stale.empty()) {
    text += "\nDrawn dimension texts: " + std::to_string(check.drawn_stale.size()) +
            " disagree with their dimension's data:";
    for (const DrawnTextProblem& problem : check.drawn_stale)
      text += name(problem) + ": \"" + problem.after + "\"";
  }
  if (check.without_drawn_text)
    text += "\nDrawn dimension texts: " + std::to_string(check.without_drawn_text) +
            " dimension(s) without a block text, left as they are.";
  if (!check.unchecked.empty()) {
    text +=
        "\nNot checked, for want of a value (a point or the measurement is missing or no "
        "number):";
    for (size_t i = 0; i < check.unchecked.size() && i < 20; ++i)
      text += (i ? ", " : " ") + (check.unchecked[i].empty() ? "(no handle)" : check.unchecked[i]);
    if (check.unchecked.size() > 20) text += ", ...";
  }
  return text;
}

}  // namespace cli
