// "Did you mean" for mistyped command names and options.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The number of single-character insertions, deletions and replacements that
// turn a into b (compared without regard to case).
int EditDistance(std::string_view a, std::string_view b);

// The candidate closest to text, or "" when none is close enough to be a
// likely typing mistake (at most max_distance edits). Ties go to the
// candidate listed first.
std::string ClosestMatch(std::string_view text, const std::vector<std::string>& candidates,
                         int max_distance = 3);

}  // namespace cli
