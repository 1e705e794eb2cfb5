#include "cli/spellcheck.h"

#include <algorithm>
#include <cctype>

namespace cli {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

int EditDistance(std::string_view a, std::string_view b) {
  // One row of the classic dynamic-programming table is enough.
  std::vector<int> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = static_cast<int>(j);
  for (size_t i = 1; i <= a.size(); ++i) {
    int diagonal = row[0];
    row[0] = static_cast<int>(i);
    for (size_t j = 1; j <= b.size(); ++j) {
      int above = row[j];
      int replace = diagonal + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1);
      row[j] = std::min({replace, above + 1, row[j - 1] + 1});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string ClosestMatch(std::string_view text, const std::vector<std::string>& candidates,
                         int max_distance) {
  std::string best;
  int best_distance = max_distance + 1;
  for (const std::string& candidate : candidates) {
    int distance = EditDistance(text, candidate);
    // A distance as large as the word itself means nothing in common.
    if (distance < best_distance && distance < static_cast<int>(candidate.size())) {
      best = candidate;
      best_distance = distance;
    }
  }
  return best;
}

}  // namespace cli
