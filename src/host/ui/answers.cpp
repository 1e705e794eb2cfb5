#include "host/ui/answers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "host/ui/text_encoding.h"
#include "sdk/win32.h"

namespace host {

namespace {

// The entries of the line-weight dialog's boxes, in hundredths of a millimetre.
constexpr int kDialogLineWeights[] = {0,  5,  9,  13, 15, 18,  20,  25,  30,  35,  40,  50,
                                      53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};

std::string EntryText(int hundredths) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%02d", hundredths / 100, hundredths % 100);
  return text;
}

// One value of "AM0,AM3,AM4": "=TEXT" types TEXT as it is; anything else is
// a number of millimetres matched to an entry of the boxes.
bool LineWeightText(const std::string& value, std::string* text, std::string* err) {
  if (!value.empty() && value[0] == '=') {
    *text = value.substr(1);
    return true;
  }
  size_t first = value.find_first_not_of(" \t");
  size_t last = value.find_last_not_of(" \t");
  std::string number = first == std::string::npos ? "" : value.substr(first, last - first + 1);
  char* end = nullptr;
  double millimetres = number.empty() ? -1 : std::strtod(number.c_str(), &end);
  bool parsed = !number.empty() && end != nullptr && *end == '\0' && std::isfinite(millimetres);
  for (int entry : kDialogLineWeights) {
    if (parsed && std::fabs(millimetres * 100 - entry) < 1e-6) {
      *text = EntryText(entry);
      return true;
    }
  }
  *err = "line weight \"" + value + "\" is no entry of the dialog's lists, which are (mm):";
  for (int entry : kDialogLineWeights) *err += " " + EntryText(entry);
  *err += "; write =TEXT to type a text as it is";
  return false;
}

}  // namespace

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
             "\": expected \"ok\", \"cancel\" or three line weights AM0,AM3,AM4 separated by "
             "commas";
      return false;
    }
    std::string value = text.substr(start, k < 2 ? comma - start : std::string::npos);
    if (!LineWeightText(value, &answer.texts[k], err)) return false;
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
