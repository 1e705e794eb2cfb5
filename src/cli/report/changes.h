// What a conversion changed, from the facts of the drawing before and
// after: counts per space and layer, properties rewritten (by handle),
// dimension texts cleaned of "N/A", DIMLFAC overrides changed, entities
// gone and new, layers created and removed. Texts in code page 1252.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/report/drawing_facts.h"

namespace cli::report {

struct CountRow {
  std::string name;  // a space or layer
  size_t before = 0;
  size_t after = 0;
};

// Entities of one type whose property went from one value to another.
struct RewriteRow {
  std::string type;
  std::string property;  // "layer", "linetype", "lineweight", "colour"
  std::string from;
  std::string to;
  size_t count = 0;
};

struct TextChange {
  std::string handle;
  std::string before;
  std::string after;
};

struct FactorChange {
  std::string handle;
  std::optional<double> before;
  std::optional<double> after;
};

struct TypeCount {
  std::string type;
  size_t count = 0;
};

struct Changes {
  bool by_handle = false;  // false: the per-entity comparisons were not possible
  std::vector<CountRow> spaces;
  std::vector<CountRow> layers;
  std::vector<std::string> layers_created;
  std::vector<std::string> layers_removed;
  std::vector<RewriteRow> rewritten;  // by property, then most entities first
  std::vector<TextChange> texts_cleaned;
  std::vector<FactorChange> rescaled;
  std::vector<TypeCount> deleted;  // by type, most first
  std::vector<TypeCount> added;
  size_t deleted_total = 0;
  size_t added_total = 0;
};

Changes CompareFacts(const DrawingFacts& before, const DrawingFacts& after);

}  // namespace cli::report
