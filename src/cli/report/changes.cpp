#include "cli/report/changes.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_set>

#include "dxf/text_case.h"

namespace cli::report {

namespace {

constexpr const char* kProperties[] = {"layer", "linetype", "lineweight", "colour"};

bool HasPlaceholder(const std::string& text) { return text.find("N/A") != std::string::npos; }

std::vector<TypeCount> SortedCounts(const std::map<std::string, size_t>& counts, size_t* total) {
  std::vector<TypeCount> rows;
  *total = 0;
  for (const auto& [type, count] : counts) {
    rows.push_back({type, count});
    *total += count;
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const TypeCount& a, const TypeCount& b) { return a.count > b.count; });
  return rows;
}

// Rows for names met before and after, matched without regard to case,
// in the order first met (before first).
template <class Item, class Name, class Count>
std::vector<CountRow> CountRows(const std::vector<Item>& before, const std::vector<Item>& after,
                                Name name, Count count) {
  std::vector<CountRow> rows;
  std::map<std::string, size_t> index;
  auto row = [&](const Item& item) -> CountRow& {
    auto [it, fresh] = index.try_emplace(dxf::UpperCase1252(name(item)), rows.size());
    if (fresh) rows.push_back({name(item), 0, 0});
    return rows[it->second];
  };
  for (const Item& item : before) row(item).before += count(item);
  for (const Item& item : after) row(item).after += count(item);
  return rows;
}

std::vector<std::string> Missing(const std::vector<std::string>& names,
                                 const std::vector<std::string>& in) {
  std::unordered_set<std::string> known;
  for (const std::string& name : in) known.insert(dxf::UpperCase1252(name));
  std::vector<std::string> missing;
  for (const std::string& name : names) {
    if (!known.count(dxf::UpperCase1252(name))) missing.push_back(name);
  }
  return missing;
}

}  // namespace

Changes CompareFacts(const DrawingFacts& before, const DrawingFacts& after) {
  Changes changes;
  changes.by_handle = before.by_handle && after.by_handle;
  changes.spaces = CountRows(
      before.spaces, after.spaces, [](const SpaceFacts& s) { return s.layout; },
      [](const SpaceFacts& s) { return s.entities; });
  changes.layers = CountRows(
      before.layers, after.layers, [](const LayerFacts& l) { return l.name; },
      [](const LayerFacts& l) { return l.entities; });
  changes.layers_created = Missing(after.layer_table, before.layer_table);
  changes.layers_removed = Missing(before.layer_table, after.layer_table);
  if (!changes.by_handle) return changes;

  // (property index, type, from, to) -> entities
  std::map<std::tuple<int, std::string, std::string, std::string>, size_t> rewrites;
  std::map<std::string, size_t> deleted, added;
  for (const std::string& handle : before.order) {
    const EntityFacts& old = before.entities.at(handle);
    auto found = after.entities.find(handle);
    if (found == after.entities.end()) {
      ++deleted[old.type];
      continue;
    }
    const EntityFacts& now = found->second;
    const std::string* values[4][2] = {{&old.layer, &now.layer},
                                       {&old.linetype, &now.linetype},
                                       {&old.lineweight, &now.lineweight},
                                       {&old.colour, &now.colour}};
    for (int p = 0; p < 4; ++p) {
      if (!dxf::EqualNoCase(*values[p][0], *values[p][1]))
        ++rewrites[{p, now.type, *values[p][0], *values[p][1]}];
    }
    if (now.type != "DIMENSION") continue;
    if (HasPlaceholder(old.text) && !HasPlaceholder(now.text))
      changes.texts_cleaned.push_back({handle, old.text, now.text});
    if (old.dimlfac != now.dimlfac) changes.rescaled.push_back({handle, old.dimlfac, now.dimlfac});
  }
  for (const std::string& handle : after.order) {
    if (!before.entities.count(handle)) ++added[after.entities.at(handle).type];
  }
  // By property (in the order of kProperties), then most entities first.
  std::vector<std::pair<int, RewriteRow>> rows;
  for (const auto& [key, count] : rewrites) {
    const auto& [property, type, from, to] = key;
    rows.push_back({property, {type, kProperties[property], from, to, count}});
  }
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second.count > b.second.count;
  });
  for (auto& row : rows) changes.rewritten.push_back(std::move(row.second));
  changes.deleted = SortedCounts(deleted, &changes.deleted_total);
  changes.added = SortedCounts(added, &changes.added_total);
  return changes;
}

}  // namespace cli::report
