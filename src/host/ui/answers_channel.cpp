#include "host/ui/answers_channel.h"

#include <cstdio>
#include <ostream>

#include "host/ui/text_encoding.h"
#include "sdk/win32.h"

namespace host {
namespace {

std::string TrimLineEnds(const std::string& text) {
  size_t first = text.find_first_not_of("\r\n");
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of("\r\n");
  return text.substr(first, last - first + 1);
}

bool IsBareName(const std::string& path) { return path.find_first_of("\\/:") == std::string::npos; }

std::string FormatFactor(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

}  // namespace

AnswersChannel::AnswersChannel(Answers answers)
    : references_(answers.references.begin(), answers.references.end()),
      templates_(answers.templates.begin(), answers.templates.end()) {
  for (const LineWeightsAnswer& a : answers.lineweights)
    dialog_answers_[kLineWeightDialogId].push_back(ToDialogAnswer(a));
  for (GeniusLayersAnswer a : answers.genius_layers)
    dialog_answers_[kGeniusLayerDialogId].push_back(ToDialogAnswer(a));
  for (auto& [id, list] : answers.other_dialogs)
    for (DialogAnswer& a : list) dialog_answers_[id].push_back(std::move(a));
}

void AnswersChannel::Record(const std::string& text) {
  transcript_ += text;
  if (live_) *live_ << Cp1252ToUtf8(text) << std::flush;
}

void AnswersChannel::RecordLine(const std::string& line) {
  if (!transcript_.empty() && transcript_.back() != '\n') Record("\n");
  Record(line + "\n");
}

void AnswersChannel::Print(const std::string& text) { Record(text); }

int AnswersChannel::MessageBox(const std::string& text, const std::string& caption) {
  messages_.push_back({text, caption});
  RecordLine("[Meldung] " + TrimLineEnds(text));
  return IDOK;
}

DialogAction AnswersChannel::RunDialog(const DialogView& dialog) {
  dialogs_.push_back(dialog);
  DialogAnswer answer;
  answer.button = dialog.default_button;  // no answer left: Enter
  auto queue = dialog_answers_.find(dialog.resource_id);
  if (queue != dialog_answers_.end() && !queue->second.empty()) {
    answer = std::move(queue->second.front());
    queue->second.pop_front();
  }

  std::string line = "[Dialog] " + dialog.caption + ":";
  std::string button_text = "Knopf " + std::to_string(answer.button);
  for (const DialogControlView& control : dialog.controls) {
    if (control.kind == DialogControlView::Kind::kComboBox) {
      std::string text = control.text;
      for (const auto& [id, typed] : answer.texts)
        if (id == control.id) text = typed;
      line += " " + std::to_string(control.id) + "=\"" + text + "\"";
    } else if (control.id == answer.button && control.kind != DialogControlView::Kind::kStatic) {
      button_text = control.text;
    }
  }
  line += " -> " + (answer.escape ? std::string("Escape") : button_text);
  RecordLine(line);

  DialogAction action;
  action.texts = answer.texts;
  action.button = answer.escape ? IDCANCEL : answer.button;
  return action;
}

std::optional<std::string> AnswersChannel::FileDialog(const FileDialogRequest& request) {
  file_dialogs_.push_back(request);
  std::optional<std::string> choice;
  if (!templates_.empty()) {
    choice = templates_.front();
    templates_.pop_front();
  }
  if (choice && IsBareName(*choice) && !choice->empty()) choice = request.PathOf(*choice);
  if (choice && choice->empty()) choice.reset();
  RecordLine("[Dateiauswahl] " + request.initial_name + " -> " +
             (choice ? *choice : std::string("Abbrechen")));
  return choice;
}

std::optional<std::string> AnswersChannel::PickEntity(
    const std::string& prompt, const std::vector<PickCandidate>& candidates) {
  std::string reference = "auto";
  if (!references_.empty()) {
    reference = references_.front();
    references_.pop_front();
  }
  if (EqualsNoCase1252(reference, "auto")) {
    std::optional<size_t> pick = AutoPick(candidates);
    if (!pick) {
      RecordLine("[Auswahl] auto: keine Bemaßung mit Faktor gefunden -> Abbruch");
      return std::nullopt;
    }
    const PickCandidate& c = candidates[*pick];
    RecordLine("[Auswahl] auto: " + c.handle + " (DIMLFAC " + FormatFactor(*c.dimlfac) + ")");
    return c.handle;
  }
  if (reference.empty() || EqualsNoCase1252(reference, "cancel") ||
      EqualsNoCase1252(reference, "esc")) {
    RecordLine("[Auswahl] Abbruch");
    return std::nullopt;
  }
  for (const PickCandidate& c : candidates) {
    if (EqualsNoCase1252(c.handle, reference)) {
      reference = c.handle;
      break;
    }
  }
  RecordLine("[Auswahl] " + reference);
  return reference;
}

}  // namespace host
