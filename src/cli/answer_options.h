// The options that answer the conversion's questions up front: the
// reference dimension, the line-weight dialog, the Genius layer dialog and
// the template file dialog.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/arg_parser.h"
#include "host/ui/answers.h"

namespace cli {

std::vector<OptionSpec> AnswerOptionSpecs();

// Builds the answers from the options. default_template answers the file
// dialog when --template is not given (nullopt: cancel it). Fails with a
// one-line message on a malformed answer.
bool BuildAnswers(const ParsedArgs& args, const std::optional<std::string>& default_template,
                  host::Answers* answers, std::string* err);

// "auto", or a handle: 1 to 16 hexadecimal digits.
bool IsReferenceAnswer(const std::string& text);

}  // namespace cli
