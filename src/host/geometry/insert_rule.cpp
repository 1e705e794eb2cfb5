// INSERT (and MINSERT, which is an INSERT with rows and columns).
#include <algorithm>
#include <memory>

#include "host/geometry/entity_rules.h"
#include "host/geometry/record_walk.h"

namespace host::geometry {

namespace {

// Insertion point 10 in the OCS; the scale factors 41/42/43 and the column
// and row spacing 44/45 grow with the factor; rotation 50 and the block
// definition stay. Attributes are records of their own (ATTRIB).
class InsertRule : public EntityRule {
 public:
  Action Classify(std::string_view subclass, const dxf::TagView& tag) override {
    if (subclass == kEmbeddedObject) return Action::kKeep;
    switch (tag.code) {
      case 10:
        return Action::kOcsPoint;
      case 41:
      case 42:
      case 43:
      case 44:
      case 45:
        return Action::kLength;
      default:
        return Action::kKeep;
    }
  }

  // Scale factors left out stand for 1; a scaled insert needs them written
  // (as the factor itself), placed where they belong: after the insertion
  // point, in the order 41, 42, 43.
  void AddMissingDefaults(TagTransformer* editor) override {
    TagViews& tags = editor->tags();
    size_t after = 0;  // index just past the insertion point or the last scale
    bool seen[3] = {false, false, false};
    ForEachOwnTag(tags, [&](std::string_view subclass, size_t i) {
      if (subclass == kEmbeddedObject) return;
      int code = tags[i].code;
      if (code == 10 || code == 20 || code == 30) after = std::max(after, i + 1);
      if (code >= 41 && code <= 43) seen[code - 41] = true;
    });
    double factor = editor->world().factor;
    if (after == 0 || factor == 1.0) return;  // nothing to place them after, or a pure move
    for (int k = 0; k < 3; ++k) {
      size_t at = after;
      for (size_t i = 0; i < tags.size() && tags[i].code != 1001; ++i) {
        if (tags[i].code >= 41 && tags[i].code < 41 + k) at = std::max(at, i + 1);
      }
      if (!seen[k]) editor->Insert(at, 41 + k, factor, Action::kLength);
    }
  }
};

}  // namespace

std::unique_ptr<EntityRule> MakeInsertRule() { return std::make_unique<InsertRule>(); }

}  // namespace host::geometry
