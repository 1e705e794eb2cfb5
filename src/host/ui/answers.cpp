#include "host/ui/answers.h"

#include <cmath>

#include "host/ui/text_encoding.h"
#include "sdk/win32.h"

namespace host {

bool ParseLineWeightsAnswer(const std::string& text, LineWeightsAnswer* out, std::string* err) {
  if (EqualsNoCase1252(text, "ok")) {
    *out = LineWeightsAnswer{};
    return true;
  }
  if (EqualsNoCase1252(text, "cancel")) {
    *out = LineWeightsAnswer{LineWeightsAnswer::Action::kCancel, {}};
    return true;
  }
  LineWeightsAnswer answer{LineWeightsAnswer::Action::kType, {}};
  size_t start = 0;
  for (int k = 0; k < 3; ++k) {
    size_t comma = text.find(',', start);
    if ((k < 2) != (comma != std::string::npos)) {
      *err = "line weights \"" + text +
             "\": expected \"ok\", \"cancel\" or three texts AM0,AM3,AM4 separated by commas";
      return false;
    }
    answer.texts[k] = text.substr(start, k < 2 ? comma - start : std::string::npos);
    start = comma + 1;
  }
  *out = answer;
  return true;
}

bool ParseGeniusLayersAnswer(const std::string& text, GeniusLayersAnswer* out, std::string* err) {
  if (EqualsNoCase1252(text, "coarse") || EqualsNoCase1252(text, "grob")) {
    *out = GeniusLayersAnswer::kCoarse;
  } else if (EqualsNoCase1252(text, "fine") || EqualsNoCase1252(text, "fein")) {
    *out = GeniusLayersAnswer::kFine;
  } else if (EqualsNoCase1252(text, "escape") || EqualsNoCase1252(text, "esc")) {
    *out = GeniusLayersAnswer::kEscape;
  } else {
    *err = "Genius layers \"" + text + "\": expected \"coarse\", \"fine\" or \"escape\"";
    return false;
  }
  return true;
}

std::optional<std::string> ParseTemplateAnswer(const std::string& text) {
  if (EqualsNoCase1252(text, "none") || EqualsNoCase1252(text, "cancel")) return std::nullopt;
  return text;
}

DialogAnswer ToDialogAnswer(const LineWeightsAnswer& answer) {
  DialogAnswer out;
  switch (answer.action) {
    case LineWeightsAnswer::Action::kAccept:
      break;
    case LineWeightsAnswer::Action::kType:
      out.texts = {{201, answer.texts[0]}, {203, answer.texts[1]}, {204, answer.texts[2]}};
      break;
    case LineWeightsAnswer::Action::kCancel:
      out.button = IDCANCEL;
      break;
  }
  return out;
}

DialogAnswer ToDialogAnswer(GeniusLayersAnswer answer) {
  DialogAnswer out;
  if (answer == GeniusLayersAnswer::kFine) out.button = IDCANCEL;  // "Layer->fein" has id 2
  if (answer == GeniusLayersAnswer::kEscape) {
    out.button = IDCANCEL;
    out.escape = true;
  }
  return out;
}

std::optional<size_t> AutoPick(const std::vector<PickCandidate>& candidates) {
  // Distinct values in order of first appearance, with their counts; the
  // first value reaching the highest count wins, so ties go to the earlier.
  struct Tally {
    double value;
    size_t first, count;
  };
  std::vector<Tally> tallies;
  for (size_t i = 0; i < candidates.size(); ++i) {
    const std::optional<double>& f = candidates[i].dimlfac;
    // 0 is the module's "no factor" and cannot serve as a reference.
    if (!f || !std::isfinite(*f) || *f == 0.0) continue;
    bool known = false;
    for (Tally& t : tallies) {
      if (t.value == *f) {
        ++t.count;
        known = true;
        break;
      }
    }
    if (!known) tallies.push_back({*f, i, 1});
  }
  const Tally* best = nullptr;
  for (const Tally& t : tallies)
    if (!best || t.count > best->count) best = &t;
  if (!best) return std::nullopt;
  return best->first;
}

}  // namespace host
