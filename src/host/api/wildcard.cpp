#include "host/api/wildcard.h"

#include <vector>

#include "host/api/text_util.h"

namespace host::api {

namespace {

enum class TokenKind { kLiteral, kAnyOne, kAnySequence, kDigit, kLetter, kOther, kClass };

}  // namespace

struct WildcardPattern::Token {
  TokenKind kind = TokenKind::kLiteral;
  unsigned char literal = 0;  // upper case
  std::string_view set;       // kClass: the text between [ (or [~) and ]
  bool negated = false;
};

namespace {

using Token = WildcardPattern::Token;

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool InClass(std::string_view set, unsigned char c) {
  unsigned char upper = ToUpper1252(c);
  for (size_t i = 0; i < set.size(); ++i) {
    unsigned char first = static_cast<unsigned char>(set[i]);
    if (first == '`' && i + 1 < set.size()) first = static_cast<unsigned char>(set[++i]);
    if (i + 2 < set.size() && set[i + 1] == '-') {
      unsigned char last = static_cast<unsigned char>(set[i + 2]);
      i += 2;
      unsigned char lo = ToUpper1252(first);
      unsigned char hi = ToUpper1252(last);
      if ((upper >= lo && upper <= hi) || (c >= first && c <= last)) return true;
      continue;
    }
    if (ToUpper1252(first) == upper) return true;
  }
  return false;
}

bool TokenMatches(const Token& token, unsigned char c) {
  switch (token.kind) {
    case TokenKind::kLiteral:
      return ToUpper1252(c) == token.literal;
    case TokenKind::kAnyOne:
      return true;
    case TokenKind::kDigit:
      return IsDigit(c);
    case TokenKind::kLetter:
      return IsAlpha1252(c);
    case TokenKind::kOther:
      return !IsDigit(c) && !IsAlpha1252(c);
    case TokenKind::kClass:
      return InClass(token.set, c) != token.negated;
    case TokenKind::kAnySequence:
      return false;
  }
  return false;
}

void Tokenize(std::string_view pattern, std::vector<Token>* tokens) {
  tokens->clear();
  for (size_t i = 0; i < pattern.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(pattern[i]);
    Token token;
    token.kind = TokenKind::kLiteral;
    switch (c) {
      case '`':
        if (i + 1 < pattern.size()) c = static_cast<unsigned char>(pattern[++i]);
        token.literal = ToUpper1252(c);
        break;
      case '*':
        token.kind = TokenKind::kAnySequence;
        break;
      case '?':
        token.kind = TokenKind::kAnyOne;
        break;
      case '#':
        token.kind = TokenKind::kDigit;
        break;
      case '@':
        token.kind = TokenKind::kLetter;
        break;
      case '.':
        token.kind = TokenKind::kOther;
        break;
      case '[': {
        size_t start = i + 1;
        bool negated = start < pattern.size() && pattern[start] == '~';
        if (negated) ++start;
        // The class ends at the first unescaped "]" after at least one character.
        size_t end = start;
        bool found = false;
        for (size_t j = start; j < pattern.size(); ++j) {
          if (pattern[j] == '`') {
            ++j;
            continue;
          }
          if (pattern[j] == ']' && j > start) {
            end = j;
            found = true;
            break;
          }
        }
        if (!found) {
          token.literal = '[';  // an unclosed bracket is itself
          break;
        }
        token.kind = TokenKind::kClass;
        token.set = pattern.substr(start, end - start);
        token.negated = negated;
        i = end;
        break;
      }
      default:
        token.literal = ToUpper1252(c);
        break;
    }
    tokens->push_back(token);
  }
}

// Matches the whole text; '*' backtracks to the last star only, which is
// enough because every other token takes exactly one character.
bool MatchTokens(const std::vector<Token>& tokens, std::string_view text) {
  size_t t = 0;
  size_t s = 0;
  size_t star = static_cast<size_t>(-1);
  size_t star_text = 0;
  while (s < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[s]);
    if (t < tokens.size() && tokens[t].kind == TokenKind::kAnySequence) {
      star = t++;
      star_text = s;
    } else if (t < tokens.size() && TokenMatches(tokens[t], c)) {
      ++t;
      ++s;
    } else if (star != static_cast<size_t>(-1)) {
      t = star + 1;
      s = ++star_text;
    } else {
      return false;
    }
  }
  while (t < tokens.size() && tokens[t].kind == TokenKind::kAnySequence) ++t;
  return t == tokens.size();
}

// Calls visit(alternative) for each comma-separated alternative of pattern.
template <class Visit>
void ForEachAlternative(std::string_view pattern, Visit visit) {
  size_t start = 0;
  bool in_class = false;
  for (size_t i = 0; i <= pattern.size(); ++i) {
    if (i < pattern.size()) {
      char c = pattern[i];
      if (c == '`') {
        if (i + 1 < pattern.size()) ++i;
        continue;
      }
      if (c == '[') in_class = true;
      if (c == ']') in_class = false;
      if (c != ',' || in_class) continue;
    }
    visit(pattern.substr(start, i - start));
    start = i + 1;
  }
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view text) {
  return WildcardPattern(pattern).Matches(text);
}

WildcardPattern::WildcardPattern(std::string_view pattern)
    : text_(std::make_unique<const std::string>(pattern)) {
  ForEachAlternative(*text_, [this](std::string_view part) {
    Alternative& alternative = alternatives_.emplace_back();
    alternative.negated = !part.empty() && part[0] == '~';
    if (alternative.negated) part.remove_prefix(1);
    Tokenize(part, &alternative.tokens);
  });
}

WildcardPattern::~WildcardPattern() = default;
WildcardPattern::WildcardPattern(WildcardPattern&&) noexcept = default;
WildcardPattern& WildcardPattern::operator=(WildcardPattern&&) noexcept = default;

bool WildcardPattern::Matches(std::string_view text) const {
  for (const Alternative& alternative : alternatives_) {
    if (MatchTokens(alternative.tokens, text) != alternative.negated) return true;
  }
  return false;
}

}  // namespace host::api
