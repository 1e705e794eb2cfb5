// The small expression evaluator behind input that starts with "(": it reads
// list expressions such as (amgsetdwgsetting "scale" "1:2.000000") and calls
// the functions the host registers. It knows no functions of its own.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_only.h"

namespace host {

struct ExprValue {
  enum class Kind { kNil, kTrue, kInteger, kReal, kString, kSymbol, kList };
  Kind kind = Kind::kNil;
  long long integer = 0;
  double real = 0;
  std::string text;              // a string's text or a symbol's name (upper case)
  std::vector<ExprValue> items;  // a list's elements

  static ExprValue Nil() { return {}; }
  static ExprValue True();
  static ExprValue String(std::string text);
  static ExprValue Real(double value);
  bool is_string() const { return kind == Kind::kString; }
  // The value as the command line shows a result: nil, T, 42, 2.5, "text", (a b).
  std::string ToDisplay() const;
};

// An expression that cannot be evaluated; message is shown after "; Fehler: ".
struct ExprError {
  std::string message;
};

enum class ReadStatus {
  kComplete,    // every expression in the text is closed
  kIncomplete,  // a list or a string is still open: more input is needed
  kError,       // unreadable (an unmatched ")", a malformed number ...)
};

// Reads the expressions of text. On kError, error holds the reason.
ReadStatus ReadExpressions(std::string_view text, std::vector<ExprValue>* out, std::string* error);

// Calls a function by name (upper case) with evaluated arguments; throws
// ExprError for an unknown function or bad arguments.
using ExprCaller =
    std::function<ExprValue(const std::string& name, const std::vector<ExprValue>& args)>;

// Evaluates one expression: a list is a call, its first element names the
// function; 'x and (quote x) give x; strings, numbers, T and nil stand for
// themselves; other symbols are unbound and give nil.
ExprValue Evaluate(const ExprValue& expression, const ExprCaller& call);

}  // namespace host
