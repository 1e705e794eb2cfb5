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

#include <string_view>

#include "host/host_only.h"

namespace host::api {

bool WildcardMatch(std::string_view pattern, std::string_view text);

}  // namespace host::api
