// TEXT, ATTRIB, ATTDEF and MTEXT.
#include <memory>

#include "host/geometry/entity_rules.h"
#include "host/geometry/record_walk.h"

namespace host::geometry {

namespace {

// TEXT, ATTRIB and ATTDEF: insertion point 10 and height 40. The alignment
// point 11 is used only when the text is justified (72 horizontal, vertical
// in 73 for TEXT but 74 for attributes, where 73 is the field length);
// otherwise it is absent or a meaningless 0,0,0 and stays as it is. Width
// factor, rotation and oblique angle keep.
class TextRule : public EntityRule {
 public:
  TextRule(std::string_view type, const TagViews& tags) {
    int vertical_code = type == "TEXT" ? 73 : 74;
    justified_ =
        OwnInteger(tags, 72).value_or(0) != 0 || OwnInteger(tags, vertical_code).value_or(0) != 0;
  }

  Action Classify(std::string_view subclass, const dxf::TagView& tag) override {
    if (subclass == kEmbeddedObject) {
      // The multi-line part of an attribute is MTEXT data.
      bool in_columns = false;
      return ClassifyMTextData("AcDbMText", tag.code, &in_columns);
    }
    switch (tag.code) {
      case 10:
        return Action::kOcsPoint;
      case 11:
        return justified_ ? Action::kOcsPoint : Action::kKeep;
      case 39:
      case 40:
        return Action::kLength;
      default:
        return Action::kKeep;
    }
  }

 private:
  bool justified_ = false;
};

class MTextRule : public EntityRule {
 public:
  Action Classify(std::string_view subclass, const dxf::TagView& tag) override {
    if (subclass == kEmbeddedObject) {
      // The column data: 10 is the text direction, 11 the insertion point;
      // 40-46 are the reference and extents sizes, column width, gutter
      // and heights.
      if (tag.code == 11) return Action::kWorldPoint;
      if (tag.code >= 40 && tag.code <= 46) return Action::kLength;
      return Action::kKeep;
    }
    return ClassifyMTextData(subclass, tag.code, &in_columns_);
  }

 private:
  bool in_columns_ = false;
};

}  // namespace

Action ClassifyMTextData(std::string_view subclass, int code, bool* in_columns) {
  switch (code) {
    case 10:  // insertion point, always a world point
      return Action::kWorldPoint;
    case 40:  // text height
    case 41:  // reference rectangle width
    case 42:  // extents width and height, as computed for the present size
    case 43:
    case 46:  // defined height
      return Action::kLength;
    default:
      break;
  }
  // Column data of newer files, found only under the MTEXT marker (48 is
  // the linetype scale elsewhere): 48 column width, 49 gutter, and after
  // the column type 75 the 50s are column heights, no longer the rotation.
  if (subclass != "AcDbMText") return Action::kKeep;
  if (code == 75) *in_columns = true;
  if (code == 48 || code == 49) return Action::kLength;
  if (code == 50 && *in_columns) return Action::kLength;
  // 11 (direction), 44 (line spacing factor), 45 (fill box scale) and 50
  // (rotation) keep.
  return Action::kKeep;
}

std::unique_ptr<EntityRule> MakeTextRule(std::string_view type, const TagViews& tags) {
  return std::make_unique<TextRule>(type, tags);
}

std::unique_ptr<EntityRule> MakeMTextRule() { return std::make_unique<MTextRule>(); }

}  // namespace host::geometry
