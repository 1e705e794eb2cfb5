#include "cli/answer_options.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace cli {

std::vector<OptionSpec> AnswerOptionSpecs() {
  return {
      {"reference", 0, "auto|HANDLE", "reference dimension (auto: the DIMLFAC most share)"},
      {"lineweights", 0, "AM0,AM3,AM4|ok|cancel", "answer to the line-weight dialog"},
      {"layers", 0, "coarse|fine|escape", "answer to the Genius layer dialog"},
      {"template", 0, "PATH|none", "template for the set-up (none: cancel the choice)"},
  };
}

bool IsReferenceAnswer(const std::string& text) {
  if (text == "auto") return true;
  return !text.empty() && text.size() <= 16 && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isxdigit(static_cast<unsigned char>(c));
  });
}

bool BuildAnswers(const ParsedArgs& args, const std::optional<std::string>& default_template,
                  host::Answers* answers, std::string* err) {
  std::string reference = args.Value("reference").value_or("auto");
  if (!IsReferenceAnswer(reference)) {
    *err = "--reference takes 'auto' or a handle (hexadecimal), not '" + reference + "'";
    return false;
  }
  answers->references = {reference};

  if (auto text = args.Value("lineweights")) {
    host::LineWeightsAnswer answer;
    if (!host::ParseLineWeightsAnswer(*text, &answer, err)) {
      *err = "--lineweights: " + *err;
      return false;
    }
    answers->lineweights = {answer};
  }
  if (auto text = args.Value("layers")) {
    host::GeniusLayersAnswer answer;
    if (!host::ParseGeniusLayersAnswer(*text, &answer, err)) {
      *err = "--layers: " + *err;
      return false;
    }
    answers->genius_layers = {answer};
  }

  std::optional<std::string> template_path = default_template;
  if (auto text = args.Value("template")) template_path = host::ParseTemplateAnswer(*text);
  if (template_path) {
    // The path becomes a line of a command-line script; a line end or other
    // control character in it would run as further input.
    bool control = std::any_of(template_path->begin(), template_path->end(), [](char c) {
      return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    if (control || template_path->empty()) {
      *err = "--template: not a usable path (empty, or with a control character)";
      return false;
    }
  }
  // The host opens a bare name from its own template folder: a relative
  // path is made absolute here, against the folder the user is in.
  if (template_path && template_path->front() != '/') {
    std::string cwd(4096, '\0');
    if (getcwd(cwd.data(), cwd.size()) != nullptr) {
      cwd.resize(cwd.find('\0'));
      *template_path = cwd + "/" + *template_path;
    }
  }
  answers->templates = {template_path};
  return true;
}

}  // namespace cli
