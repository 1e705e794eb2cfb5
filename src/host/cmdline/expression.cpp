#include "host/cmdline/expression.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "dxf/tag.h"
#include "dxf/text_case.h"

namespace host {

ExprValue ExprValue::True() {
  ExprValue v;
  v.kind = Kind::kTrue;
  return v;
}

ExprValue ExprValue::String(std::string text) {
  ExprValue v;
  v.kind = Kind::kString;
  v.text = std::move(text);
  return v;
}

ExprValue ExprValue::Real(double value) {
  ExprValue v;
  v.kind = Kind::kReal;
  v.real = value;
  return v;
}

std::string ExprValue::ToDisplay() const {
  switch (kind) {
    case Kind::kNil:
      return "nil";
    case Kind::kTrue:
      return "T";
    case Kind::kInteger:
      return std::to_string(integer);
    case Kind::kReal: {
      char buffer[64];
      if (std::isfinite(real) && real == std::floor(real) && std::fabs(real) < 1e15) {
        std::snprintf(buffer, sizeof buffer, "%.1f", real);
      } else {
        std::snprintf(buffer, sizeof buffer, "%.6g", real);
      }
      return buffer;
    }
    case Kind::kString: {
      std::string out = "\"";
      for (char c : text) {
        if (c == '"' || c == '\\') {
          out += '\\';
          out += c;
        } else if (c == '\n') {
          out += "\\n";
        } else {
          out += c;
        }
      }
      return out + "\"";
    }
    case Kind::kSymbol:
      return text;
    case Kind::kList: {
      std::string out = "(";
      for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ' ';
        out += items[i].ToDisplay();
      }
      return out + ")";
    }
  }
  return "nil";
}

namespace {

bool IsDelimiter(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '(' || c == ')' || c == '\'' ||
         c == '"' || c == ';';
}

// A token that is not a list or a string: a number or a symbol.
ExprValue Atom(std::string_view token) {
  ExprValue v;
  std::string_view digits = token;
  if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
  long long integer = 0;
  auto [int_end, int_error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), integer);
  if (!digits.empty() && int_error == std::errc() && int_end == digits.data() + digits.size()) {
    v.kind = ExprValue::Kind::kInteger;
    v.integer = integer;
    return v;
  }
  // ".5" and "5." are numbers too.
  std::string number(digits);
  if (!number.empty() && number[0] == '.') number.insert(0, "0");
  if (number.size() > 1 && number[0] == '-' && number[1] == '.') number.insert(1, "0");
  double real = 0;
  auto [real_end, real_error] = std::from_chars(number.data(), number.data() + number.size(), real);
  if (!number.empty() && real_error == std::errc() && real_end == number.data() + number.size() &&
      std::isfinite(real)) {
    return ExprValue::Real(real);
  }
  std::string name = dxf::UpperCase1252(token);
  if (name == "NIL") return ExprValue::Nil();
  if (name == "T") return ExprValue::True();
  v.kind = ExprValue::Kind::kSymbol;
  v.text = std::move(name);
  return v;
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  ReadStatus ReadAll(std::vector<ExprValue>* out, std::string* error) {
    while (true) {
      SkipBlanks();
      if (pos_ >= text_.size()) return ReadStatus::kComplete;
      ExprValue value;
      ReadStatus status = ReadOne(&value, error);
      if (status != ReadStatus::kComplete) return status;
      out->push_back(std::move(value));
    }
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == ';') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
        ++pos_;
      } else {
        return;
      }
    }
  }

  ReadStatus ReadOne(ExprValue* out, std::string* error) {
    // Input may come from any script file: nesting is bounded so that a
    // line of a million "(" is an error, not a stack overflow.
    if (depth_ >= kMaxDepth) {
      *error = "Zu tief verschachtelter Ausdruck";
      return ReadStatus::kError;
    }
    struct Nesting {
      int* depth;
      ~Nesting() { --*depth; }
    } nesting{&++depth_};
    char c = text_[pos_];
    if (c == '(') {
      ++pos_;
      out->kind = ExprValue::Kind::kList;
      while (true) {
        SkipBlanks();
        if (pos_ >= text_.size()) return ReadStatus::kIncomplete;
        if (text_[pos_] == ')') {
          ++pos_;
          // () is nil.
          if (out->items.empty()) *out = ExprValue::Nil();
          return ReadStatus::kComplete;
        }
        ExprValue item;
        ReadStatus status = ReadOne(&item, error);
        if (status != ReadStatus::kComplete) return status;
        out->items.push_back(std::move(item));
      }
    }
    if (c == ')') {
      *error = "Zu viele schließende Klammern";
      return ReadStatus::kError;
    }
    if (c == '\'') {
      ++pos_;
      SkipBlanks();
      if (pos_ >= text_.size()) return ReadStatus::kIncomplete;
      ExprValue quoted;
      ReadStatus status = ReadOne(&quoted, error);
      if (status != ReadStatus::kComplete) return status;
      out->kind = ExprValue::Kind::kList;
      ExprValue quote;
      quote.kind = ExprValue::Kind::kSymbol;
      quote.text = "QUOTE";
      out->items = {quote, std::move(quoted)};
      return ReadStatus::kComplete;
    }
    if (c == '"') return ReadString(out);
    size_t begin = pos_;
    while (pos_ < text_.size() && !IsDelimiter(text_[pos_])) ++pos_;
    *out = Atom(text_.substr(begin, pos_ - begin));
    return ReadStatus::kComplete;
  }

  ReadStatus ReadString(ExprValue* out) {
    ++pos_;  // the opening quote
    std::string text;
    while (pos_ < text_.size()) {
      char c = text_[pos_++];
      if (c == '"') {
        *out = ExprValue::String(std::move(text));
        return ReadStatus::kComplete;
      }
      if (c != '\\') {
        text += c;
        continue;
      }
      if (pos_ >= text_.size()) break;
      char escaped = text_[pos_++];
      switch (escaped) {
        case 'n':
          text += '\n';
          break;
        case 't':
          text += '\t';
          break;
        case 'r':
          text += '\r';
          break;
        case 'e':
          text += '\x1b';
          break;
        default:
          text += escaped;
          break;  // \\ and \" and anything else
      }
    }
    return ReadStatus::kIncomplete;
  }

  static constexpr int kMaxDepth = 200;
  std::string_view text_;
  size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

ReadStatus ReadExpressions(std::string_view text, std::vector<ExprValue>* out, std::string* error) {
  return Reader(text).ReadAll(out, error);
}

ExprValue Evaluate(const ExprValue& expression, const ExprCaller& call) {
  if (expression.kind == ExprValue::Kind::kSymbol) return ExprValue::Nil();  // unbound
  if (expression.kind != ExprValue::Kind::kList) return expression;
  const ExprValue& head = expression.items.front();
  if (head.kind != ExprValue::Kind::kSymbol) {
    throw ExprError{"Fehlerhafte Funktion: " + head.ToDisplay()};
  }
  if (head.text == "QUOTE") {
    if (expression.items.size() != 2) throw ExprError{"Fehlerhafte Anzahl von Argumenten"};
    return expression.items[1];
  }
  std::vector<ExprValue> args;
  for (size_t i = 1; i < expression.items.size(); ++i) {
    args.push_back(Evaluate(expression.items[i], call));
  }
  return call(head.text, args);
}

}  // namespace host
