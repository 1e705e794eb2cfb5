// MULTILEADER: its context data sits in nested sections (300
// "CONTEXT_DATA{" ... 301 "}", 302 "LEADER{" ... 303 "}", 304
// "LEADER_LINE{" ... 305 "}"), and the same codes mean positions inside and
// sizes or scales outside them.
#include <memory>

#include "host/geometry/entity_rules.h"

namespace host::geometry {

namespace {

enum class Section { kMain, kContext, kLeader, kLeaderLine };

class MultiLeaderRule : public EntityRule {
 public:
  Action Classify(std::string_view subclass, const dxf::TagView& tag) override {
    if (OpensOrCloses(tag)) return Action::kKeep;
    switch (section_) {
      case Section::kContext:
        switch (tag.code) {
          case 10:   // content base point
          case 12:   // text location
          case 15:   // block content position
          case 110:  // origin of the leader plane
            return Action::kWorldPoint;
          case 16:  // block content scale (per axis)
            return Action::kVector;
          case 41:   // text height
          case 140:  // arrowhead size
          case 145:  // landing gap
          case 43:   // text width and height
          case 44:
          case 142:  // column width, gutter, height
          case 143:
          case 144:
            return Action::kLength;
          default:
            // Directions (11, 13, 14, 111, 112), angles, the content scale
            // 40 and the block matrix 47 (derived from the above) keep.
            return Action::kKeep;
        }
      case Section::kLeader:
        // Last leader point and the break points; 11 is the dogleg
        // direction, 40 its length.
        if (tag.code == 10 || tag.code == 12 || tag.code == 13) return Action::kWorldPoint;
        return tag.code == 40 ? Action::kLength : Action::kKeep;
      case Section::kLeaderLine:
        // Vertices and break start and end points.
        if (tag.code >= 10 && tag.code <= 12) return Action::kWorldPoint;
        return Action::kKeep;
      case Section::kMain:
        if (subclass != "AcDbMLeader") return Action::kKeep;
        switch (tag.code) {
          case 10:  // block content scale (per axis)
            return Action::kVector;
          case 41:  // dogleg length
          case 42:  // arrowhead size
          case 44:  // block attribute width
            return Action::kLength;
          default:
            return Action::kKeep;
        }
    }
    return Action::kKeep;
  }

 private:
  bool OpensOrCloses(const dxf::TagView& tag) {
    std::string_view value = dxf::TrimBlanks(tag.value);
    switch (tag.code) {
      case 300:
        if (value == "CONTEXT_DATA{") section_ = Section::kContext;
        return true;
      case 301:
        section_ = Section::kMain;
        return true;
      case 302:
        if (value == "LEADER{") section_ = Section::kLeader;
        return true;
      case 303:
        section_ = Section::kContext;
        return true;
      case 304:
        // 304 also carries the default text of the context.
        if (value == "LEADER_LINE{") section_ = Section::kLeaderLine;
        return true;
      case 305:
        section_ = Section::kLeader;
        return true;
      default:
        return false;
    }
  }

  Section section_ = Section::kMain;
};

}  // namespace

std::unique_ptr<EntityRule> MakeMultiLeaderRule() { return std::make_unique<MultiLeaderRule>(); }

}  // namespace host::geometry
