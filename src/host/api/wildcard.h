// The host's wildcard patterns for names in selection filters and
// application lists, matched without regard to case:
//   *  any sequence, also empty      ?  any one character
//   #  one digit                     @  one letter
//   .  one character that is neither digit nor letter
//   [...]  one of the characters (ranges a-z); [~...] one not among them
//   ~  at the start: anything but the rest of the pattern
//   ,  separates patterns, any of which may match
//   `  takes the next character literally (`* `, `# ...)
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_only.h"

namespace host::api {

bool WildcardMatch(std::string_view pattern, std::string_view text);

// A pattern read once and matched against many texts (a selection filter
// looks at every entity of the drawing).
class WildcardPattern {
 public:
  explicit WildcardPattern(std::string_view pattern = {});
  ~WildcardPattern();
  WildcardPattern(WildcardPattern&&) noexcept;
  WildcardPattern& operator=(WildcardPattern&&) noexcept;
  bool Matches(std::string_view text) const;

  struct Token;
  struct Alternative {
    bool negated = false;
    std::vector<Token> tokens;
  };

 private:
  // The tokens view the pattern's text: kept where a move leaves it.
  std::unique_ptr<const std::string> text_;
  std::vector<Alternative> alternatives_;
};

}  // namespace host::api
