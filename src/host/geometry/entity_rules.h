// The transform rules of the entity types, one place per type. Each rule
// says, tag by tag, what a uniform scale and move does to the entity's data;
// the TagTransformer carries it out.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "dxf/tag.h"
#include "host/geometry/tag_transformer.h"
#include "host/geometry/transform.h"
#include "host/host_only.h"

namespace host::geometry {

// The rule for a record of the given type. Unknown types get a rule that
// moves and scales their points (codes 10-18) and nothing else.
std::unique_ptr<EntityRule> MakeEntityRule(std::string_view type, const TagViews& tags,
                                           const OwnerFrame& owner);

// A rule given as a table: code (under a subclass, or under any when the
// entry's subclass is empty) to action; codes not listed are kept.
struct CodeAction {
  int code;
  Action action;
  std::string_view subclass = {};
};

class TableRule : public EntityRule {
 public:
  explicit TableRule(std::span<const CodeAction> table,
                     TransformResult result = TransformResult::kDone)
      : table_(table), result_(result) {}
  Action Classify(std::string_view subclass, const dxf::TagView& tag) override;
  TransformResult result() const override { return result_; }

 private:
  std::span<const CodeAction> table_;
  TransformResult result_;
};

// Looks code up in a table (see TableRule); kKeep when absent.
Action LookUp(std::span<const CodeAction> table, std::string_view subclass, int code);

// The rules kept in files of their own.
std::unique_ptr<EntityRule> MakeTextRule(std::string_view type, const TagViews& tags);
std::unique_ptr<EntityRule> MakeMTextRule();
std::unique_ptr<EntityRule> MakeInsertRule();
std::unique_ptr<EntityRule> MakeLwPolylineRule();
std::unique_ptr<EntityRule> MakePolylineRule(const TagViews& tags);
std::unique_ptr<EntityRule> MakeVertexRule(const TagViews& tags, const OwnerFrame& owner);
std::unique_ptr<EntityRule> MakeDimensionRule(const TagViews& tags);
std::unique_ptr<EntityRule> MakeHatchRule();
std::unique_ptr<EntityRule> MakeMultiLeaderRule();

// The MTEXT data that also makes up the multi-line part of an attribute.
Action ClassifyMTextData(std::string_view subclass, int code, bool* in_columns);

}  // namespace host::geometry
