#include "host/ui/console_channel.h"

#include <algorithm>
#include <cstdio>
#include <istream>
#include <ostream>

#include "host/ui/text_encoding.h"
#include "sdk/win32.h"

namespace host {
namespace {

using Kind = DialogControlView::Kind;

std::string TrimLineEnds(const std::string& text) {
  size_t first = text.find_first_not_of("\r\n");
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of("\r\n");
  return text.substr(first, last - first + 1);
}

std::string TrimBlanks(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
    lines.push_back(text.substr(start, nl - start));
  lines.push_back(text.substr(start));
  for (std::string& line : lines) std::replace(line.begin(), line.end(), '\t', ' ');
  return lines;
}

// A plain number 1..count typed as an answer, or 0.
size_t EntryNumber(const std::string& answer, size_t count) {
  if (answer.empty() || answer.size() > 6 ||
      answer.find_first_not_of("0123456789") != std::string::npos)
    return 0;
  size_t n = std::stoul(answer);
  return n >= 1 && n <= count ? n : 0;
}

bool IsBareName(const std::string& path) { return path.find_first_of("\\/:") == std::string::npos; }

bool IsPushButton(const DialogControlView& c) {
  return c.kind == Kind::kButton || c.kind == Kind::kDefaultButton;
}

// Controls share a row when their first lines overlap vertically. A combo
// box's height includes its dropped-down list; its own row is one line.
bool SameRow(const DialogControlView& a, const DialogControlView& b) {
  auto row_height = [](const DialogControlView& c) {
    return c.kind == Kind::kComboBox ? std::min(c.height, 14) : c.height;
  };
  return a.y < b.y + row_height(b) && b.y < a.y + row_height(a);
}

}  // namespace

bool IsEscapeAnswer(const std::string& line) {
  return line == "\x1b" || EqualsNoCase1252(line, "esc") || EqualsNoCase1252(line, "escape");
}

ConsoleChannel::ConsoleChannel(std::istream& in, std::ostream& out, bool terminal_input)
    : in_(in), out_(out), terminal_input_(terminal_input) {}

ConsoleChannel::~ConsoleChannel() { Flush(); }

void ConsoleChannel::SetLineSource(LineSource source) {
  line_source_ = std::move(source);
  terminal_input_ = terminal_input_ || line_source_ != nullptr;
}

void ConsoleChannel::Flush() {
  if (held_prompt_.empty()) return;
  out_ << held_prompt_ << std::flush;
  held_prompt_.clear();
}

void ConsoleChannel::Write(const std::string& text_1252) {
  if (!line_source_) {
    out_ << Cp1252ToUtf8(text_1252) << std::flush;
    return;
  }
  // A line editor redraws its prompt with the line (after a history recall,
  // for instance), so the unfinished last line is kept for it.
  std::string text = held_prompt_ + Cp1252ToUtf8(text_1252);
  size_t end = text.rfind('\n');
  held_prompt_ = end == std::string::npos ? text : text.substr(end + 1);
  if (end != std::string::npos) out_ << text.substr(0, end + 1) << std::flush;
}

void ConsoleChannel::Print(const std::string& text) {
  // The command line echoes every line it takes; a line typed at the
  // terminal is on the screen already.
  if (pending_echo_ && (text == *pending_echo_ || text == *pending_echo_ + "\n")) {
    pending_echo_.reset();
    return;
  }
  pending_echo_.reset();
  Write(text);
}

std::optional<std::string> ConsoleChannel::ReadLine() {
  std::string line;
  if (line_source_) {
    std::string prompt = std::move(held_prompt_);
    held_prompt_.clear();
    std::optional<std::string> typed = line_source_(prompt);
    if (!typed) return std::nullopt;
    line = std::move(*typed);
  } else if (!std::getline(in_, line)) {
    if (line.empty()) return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  line = ExternalTextToCp1252(line);
  if (terminal_input_) {
    pending_echo_ = line;
  } else {
    // Piped input is not on the screen: shown after its prompt, the output
    // reads like a transcript. (The command line leaves the echo of lines
    // from an interactive source to the channel.)
    Write(line + "\n");
  }
  return line;
}

std::optional<std::string> ConsoleChannel::Ask(const std::string& prompt) {
  Write(prompt);
  std::optional<std::string> line = ReadLine();
  pending_echo_.reset();
  if (!line) Write("\n");
  return line;
}

int ConsoleChannel::MessageBox(const std::string& text, const std::string& caption) {
  std::vector<std::string> lines = SplitLines(TrimLineEnds(text));
  size_t width = caption.size() + 4;
  for (const std::string& line : lines) width = std::max(width, line.size());
  std::string top = "+- " + caption + " " + std::string(width - caption.size() - 1, '-') + "+";
  std::string box = "\n" + top + "\n";
  for (const std::string& line : lines)
    box += "| " + line + std::string(width - line.size(), ' ') + " |\n";
  box += "+" + std::string(width + 2, '-') + "+\n";
  Write(box);
  // A person acknowledges the box; piped input holds no answer for it.
  if (terminal_input_)
    Ask("[ OK ] (Enter) ");
  else
    Write("[ OK ]\n");
  return IDOK;
}

DialogAction ConsoleChannel::RunDialog(const DialogView& dialog) {
  const std::vector<DialogControlView>& controls = dialog.controls;
  // Labels: a static text on a combo box's row, left of it, names the box;
  // one on a button's row, right of it, describes the button; the others
  // are headings.
  std::vector<std::string> labels(controls.size());
  std::vector<bool> used(controls.size(), false);
  auto attach = [&](size_t i, bool left_of_control) {
    for (size_t s = 0; s < controls.size(); ++s) {
      const DialogControlView& label = controls[s];
      if (label.kind != Kind::kStatic || used[s] || !SameRow(label, controls[i])) continue;
      if ((label.x < controls[i].x) != left_of_control) continue;
      labels[i] += (labels[i].empty() ? "" : " ") + TrimBlanks(label.text);
      used[s] = true;
    }
  };
  for (size_t i = 0; i < controls.size(); ++i)
    if (controls[i].kind == Kind::kComboBox) attach(i, true);
  for (size_t i = 0; i < controls.size(); ++i)
    if (IsPushButton(controls[i])) attach(i, false);

  std::string form = "\n== " + dialog.caption + " ==\n";
  for (size_t s = 0; s < controls.size(); ++s)
    if (controls[s].kind == Kind::kStatic && !used[s])
      form += "   " + TrimBlanks(controls[s].text) + "\n";
  const std::vector<std::string>* shown_list = nullptr;
  std::vector<size_t> combos, buttons;
  for (size_t i = 0; i < controls.size(); ++i) {
    const DialogControlView& c = controls[i];
    if (IsPushButton(c)) buttons.push_back(i);
    if (c.kind != Kind::kComboBox) continue;
    combos.push_back(i);
    std::string name = labels[i].empty() ? "Feld " + std::to_string(c.id) : labels[i];
    form += "   " + name + " [" + c.text + "]\n";
    if (c.items.empty()) continue;
    if (shown_list && *shown_list == c.items) {
      form += "      (Liste wie oben)\n";
      continue;
    }
    shown_list = &c.items;
    std::string row = "     ";
    for (size_t k = 0; k < c.items.size(); ++k) {
      std::string entry = " " + std::to_string(k + 1) + ") " + c.items[k];
      if (row.size() + entry.size() > 78) {
        form += row + "\n";
        row = "     ";
      }
      row += entry;
    }
    form += row + "\n";
  }
  Write(form);

  DialogAction action;
  for (size_t i : combos) {
    const DialogControlView& c = controls[i];
    std::string name = labels[i].empty() ? "Feld " + std::to_string(c.id) : labels[i];
    std::optional<std::string> answer =
        Ask(name + " (Nummer oder Text, Enter = lassen) <" + c.text + ">: ");
    if (!answer || IsEscapeAnswer(*answer)) {
      action.button = IDCANCEL;
      return action;
    }
    if (answer->empty()) continue;
    if (size_t n = EntryNumber(*answer, c.items.size()))
      action.texts.push_back({c.id, c.items[n - 1]});
    else if ((*answer)[0] == '=')  // "=1" types the text "1"
      action.texts.push_back({c.id, answer->substr(1)});
    else
      action.texts.push_back({c.id, *answer});
  }

  std::string choice = "Knopf:";
  std::string default_text;
  for (size_t k = 0; k < buttons.size(); ++k) {
    const DialogControlView& b = controls[buttons[k]];
    choice += "  " + std::to_string(k + 1) + ") " + b.text;
    if (!labels[buttons[k]].empty()) choice += " " + labels[buttons[k]];
    if (b.id == dialog.default_button) default_text = b.text;
  }
  choice += "  (Esc = Abbrechen) <" + default_text + ">: ";
  for (;;) {
    std::optional<std::string> answer = Ask(choice);
    if (!answer || IsEscapeAnswer(*answer)) {
      action.button = IDCANCEL;
      return action;
    }
    if (answer->empty()) {
      action.button = dialog.default_button;
      return action;
    }
    if (size_t n = EntryNumber(*answer, buttons.size())) {
      action.button = controls[buttons[n - 1]].id;
      return action;
    }
    for (size_t i : buttons) {
      if (EqualsNoCase1252(*answer, controls[i].text)) {
        action.button = controls[i].id;
        return action;
      }
    }
    Write("Bitte die Nummer eines Knopfes eingeben.\n");
  }
}

std::optional<std::string> ConsoleChannel::FileDialog(const FileDialogRequest& request) {
  std::string description = TrimBlanks(request.filter.substr(0, request.filter.find('|')));
  // The name with one kind of separator: a host folder may end in "/" and
  // the program add "\*.DWT".
  std::string shown = request.initial_name;
  if (!request.folder_text.empty() && shown.size() > request.folder_text.size())
    shown = request.PathOf(shown.substr(request.folder_text.size() + 1));
  std::string text = "\n== Datei wählen" + (description.empty() ? "" : ": " + description) +
                     " ==\n   " + shown + "\n";
  if (!request.folder_text.empty() && request.folder.empty())
    text += "   (Ordner nicht gefunden)\n";
  else if (request.files.empty())
    text += "   (keine passende Datei)\n";
  for (size_t k = 0; k < request.files.size(); ++k)
    text += "   " + std::to_string(k + 1) + ") " + request.files[k] + "\n";
  Write(text);
  for (;;) {
    std::optional<std::string> answer = Ask("Nummer oder Pfad (Enter = Abbrechen): ");
    if (!answer || answer->empty() || IsEscapeAnswer(*answer)) return std::nullopt;
    if (size_t n = EntryNumber(*answer, request.files.size()))
      return request.PathOf(request.files[n - 1]);
    if (answer->find_first_not_of("0123456789") == std::string::npos) {
      Write("Keine Datei mit dieser Nummer.\n");
      continue;
    }
    return IsBareName(*answer) ? request.PathOf(*answer) : *answer;
  }
}

std::optional<std::string> ConsoleChannel::PickEntity(
    const std::string& prompt, const std::vector<PickCandidate>& candidates) {
  std::string text = "\n";
  if (candidates.empty()) text += "   (keine Bemaßung zur Auswahl)\n";
  for (size_t k = 0; k < candidates.size(); ++k) {
    const PickCandidate& c = candidates[k];
    text +=
        "   " + std::to_string(k + 1) + ") " + c.handle + "  " + c.layout + "  " + c.description;
    if (c.dimlfac && c.description.find("DIMLFAC") == std::string::npos) {
      char factor[40];
      std::snprintf(factor, sizeof factor, "  DIMLFAC %g", *c.dimlfac);
      text += factor;
    }
    text += "\n";
  }
  Write(text);
  std::optional<std::string> answer = Ask("Griff oder Nummer (Enter = Abbruch): ");
  if (!answer || answer->empty() || IsEscapeAnswer(*answer)) return std::nullopt;
  // A candidate's handle first: handles are hexadecimal and may look like
  // list numbers.
  std::string typed = TrimBlanks(*answer);
  for (const PickCandidate& c : candidates)
    if (EqualsNoCase1252(c.handle, typed)) return c.handle;
  if (size_t n = EntryNumber(typed, candidates.size())) return candidates[n - 1].handle;
  return typed;
}

}  // namespace host
