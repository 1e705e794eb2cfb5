// Answers given up front for a batch run: what the user would pick, type and
// press, in the order the module asks. The answers channel consumes them.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/host_only.h"
#include "host/ui/user_channel.h"

namespace host {

// The dialog resources the module shows.
constexpr int kLineWeightDialogId = 200;  // combo boxes 201, 203, 204
constexpr int kGeniusLayerDialogId = 201;

// What to do with one showing of a dialog: type texts into combo boxes (by
// id), then press a button, or press Escape.
struct DialogAnswer {
  std::vector<std::pair<int, std::string>> texts;
  int button = 1;       // IDOK
  bool escape = false;  // Escape: ends the dialog like IDCANCEL
};

// The line-weight dialog: press OK with what it shows, type the three texts
// for AM_0, AM_3, AM_4 and press OK, or press "Abbrechen".
struct LineWeightsAnswer {
  enum class Action { kAccept, kType, kCancel } action = Action::kAccept;
  std::array<std::string, 3> texts;  // for kType: boxes 201, 203, 204
};

// The Genius layer dialog: "Layer->grob" (OK), "Layer->fein" (button 2), Escape.
enum class GeniusLayersAnswer { kCoarse, kFine, kEscape };

struct Answers {
  // Reference-dimension picks in order: "auto" or a handle. When none is
  // left, "auto".
  std::vector<std::string> references;
  // One per showing of the line-weight dialog; when none is left, OK.
  std::vector<LineWeightsAnswer> lineweights;
  // One per showing of the Genius layer dialog; when none is left, OK.
  std::vector<GeniusLayersAnswer> genius_layers;
  // One per file dialog: a path, or nullopt to cancel. When none is left,
  // the dialog is cancelled.
  std::vector<std::optional<std::string>> templates;
  // Any other dialog, by resource id; when none is left, OK.
  std::map<int, std::vector<DialogAnswer>> other_dialogs;
};

// Parsers for answers written as option texts. Each returns false and sets
// err to a message naming the text when it does not fit.
// "ok" | "cancel" | "AM0,AM3,AM4": three line weights in millimetres, each
// matched numerically to an entry of the dialog's boxes (0.5 -> "0.50"), or
// "=TEXT" to type TEXT as it is ("=" leaves the box empty).
bool ParseLineWeightsAnswer(const std::string& text, LineWeightsAnswer* out, std::string* err);
// "coarse" | "fine" | "escape" (also "grob", "fein", "esc").
bool ParseGeniusLayersAnswer(const std::string& text, GeniusLayersAnswer* out, std::string* err);
// "none" | "cancel" → nullopt; anything else is a path.
std::optional<std::string> ParseTemplateAnswer(const std::string& text);

// The dialog answer an entry of Answers stands for.
DialogAnswer ToDialogAnswer(const LineWeightsAnswer& answer);
DialogAnswer ToDialogAnswer(GeniusLayersAnswer answer);

// The "auto" pick: among the candidates that carry a usable DIMLFAC (finite,
// not 0, which the module reads as "no factor"), the value that
// most of them share wins (a tie goes to the value met first); the first
// candidate carrying it is picked. nullopt when no candidate has a DIMLFAC.
// Returns the index into candidates.
std::optional<size_t> AutoPick(const std::vector<PickCandidate>& candidates);

}  // namespace host
