#include "host/render/text_painter.h"

#include <cmath>
#include <string>

#include "host/geometry/entity_extents.h"
#include "host/geometry/ocs.h"
#include "host/geometry/record_walk.h"
#include "host/geometry/vector_math.h"
#include "host/render/drawing_text.h"

namespace host::render {

namespace {

using geometry::Affine;
using geometry::Ocs;
using geometry::Vec3;
using Views = std::vector<dxf::TagView>;

// Where the baseline lies above the alignment point, in text heights, for
// the vertical alignments baseline, bottom, middle and top. The bottom is
// that of the descenders.
constexpr double kBaselineShift[4] = {0, 0.25, -0.5, -1};
// MTEXT lines stand 5/3 of the text height apart at spacing factor 1.
constexpr double kMTextLineSpacing = 5.0 / 3.0;

Point2 To2(const Vec3& v) { return {v.x, v.y}; }

bool AddLine(std::string text, const Vec3& origin, const Vec3& x_axis, const Vec3& y_axis,
             Label::Anchor anchor, Rgb colour, Picture* picture) {
  Label label;
  label.colour = colour;
  label.text = std::move(text);
  label.origin = To2(origin);
  label.x_axis = To2(x_axis);
  label.y_axis = To2(y_axis);
  label.anchor = anchor;
  return picture->AddLabel(std::move(label));
}

Label::Anchor AnchorOf(long long column) {
  return column == 1 ? Label::kMiddle : column == 2 ? Label::kEnd : Label::kStart;
}

}  // namespace

bool PaintText(std::string_view type, const Views& tags, const Affine& placement, Rgb colour,
               const dxf::Encoding& encoding, Picture* picture) {
  bool attribute = type != "TEXT";
  std::string_view value = geometry::OwnText(tags, type == "ATTDEF" ? 2 : 1);
  std::string text = ShownText(encoding.Decode(value));
  double height = geometry::OwnNumber(tags, 40).value_or(0);
  if (text.empty() || !(height > 0) || !std::isfinite(height)) return true;
  double width = geometry::OwnNumber(tags, 41).value_or(1);
  if (!(width > 0) || !std::isfinite(width)) width = 1;
  long long mirror = geometry::OwnInteger(tags, 71).value_or(0);
  long long horizontal = geometry::OwnInteger(tags, 72).value_or(0);
  long long vertical = geometry::OwnInteger(tags, attribute ? 74 : 73).value_or(0);
  if (vertical < 0 || vertical > 3) vertical = 0;
  std::optional<Vec3> first = geometry::OwnPoint(tags, 10);
  std::optional<Vec3> second = geometry::OwnPoint(tags, 11);
  if (!first) return true;

  double cos_r = 1, sin_r = 0;
  geometry::CosSinDegrees(geometry::OwnNumber(tags, 50).value_or(0), &cos_r, &sin_r);
  Vec3 along{cos_r, sin_r, 0};
  Vec3 anchor_point = *first;
  Label::Anchor anchor = Label::kStart;
  bool aligned_by_second = horizontal != 0 || vertical != 0;
  if (aligned_by_second && second) {
    anchor_point = *second;
    if (horizontal == 3 || horizontal == 5) {
      // Aligned and fit texts run from the first point to the second.
      Vec3 d = *second - *first;
      double length = std::hypot(d.x, d.y);
      if (length > 0) along = {d.x / length, d.y / length, 0};
      anchor_point = (*first + *second) * 0.5;
      anchor = Label::kMiddle;
    } else if (horizontal == 4) {
      anchor = Label::kMiddle;  // centred both ways
      vertical = 2;
    } else {
      anchor = AnchorOf(horizontal);
    }
  }
  Vec3 up{-along.y, along.x, 0};
  Vec3 x_axis = along * (height * width * ((mirror & 2) ? -1 : 1));
  Vec3 y_axis = up * (height * ((mirror & 4) ? -1 : 1));
  Vec3 origin = anchor_point + y_axis * kBaselineShift[vertical];
  Affine frame = placement * Affine::FromOcs(Ocs(geometry::ExtrusionOf(tags)));
  return AddLine(std::move(text), frame.Point(origin), frame.Vector(x_axis), frame.Vector(y_axis),
                 anchor, colour, picture);
}

bool PaintMText(const Views& tags, const Affine& placement, Rgb colour,
                const dxf::Encoding& encoding, Picture* picture) {
  std::optional<Vec3> insertion = geometry::OwnPoint(tags, 10);
  double height = geometry::OwnNumber(tags, 40).value_or(0);
  if (!insertion || !(height > 0) || !std::isfinite(height)) return true;
  // The content: the chunks of 3, then the last part in 1.
  std::string content;
  geometry::ForEachOwnTag(tags, [&](std::string_view subclass, size_t i) {
    if (subclass == geometry::kEmbeddedObject) return;
    if (tags[i].code == 3) content += tags[i].value;
  });
  content += geometry::OwnText(tags, 1);
  std::vector<std::string> lines = MTextLines(encoding.Decode(content));

  Ocs ocs(geometry::ExtrusionOf(tags));
  Vec3 along;
  if (std::optional<Vec3> direction = geometry::OwnPoint(tags, 11);
      direction && geometry::Length(*direction) > 0) {
    along = *direction * (1 / geometry::Length(*direction));
  } else {
    double cos_r = 1, sin_r = 0;
    geometry::CosSinDegrees(geometry::OwnNumber(tags, 50).value_or(0), &cos_r, &sin_r);
    along = ocs.ToWorld({cos_r, sin_r, 0});
  }
  Vec3 up = geometry::Cross(ocs.z_axis(), along);
  long long attachment = geometry::OwnInteger(tags, 71).value_or(1);
  if (attachment < 1 || attachment > 9) attachment = 1;
  long long row = (attachment - 1) / 3, column = (attachment - 1) % 3;
  double factor = geometry::OwnNumber(tags, 44).value_or(1);
  if (!(factor > 0) || !std::isfinite(factor)) factor = 1;
  double spacing = kMTextLineSpacing * factor;  // in text heights
  double block = 1 + spacing * static_cast<double>(lines.size() - 1);
  double top = row == 0 ? 0 : row == 1 ? block / 2 : block;  // above the insertion point

  Vec3 x_axis = placement.Vector(along * height), y_axis = placement.Vector(up * height);
  for (size_t k = 0; k < lines.size(); ++k) {
    std::string shown = ShownText(lines[k]);
    if (shown.empty()) continue;
    double baseline = top - 1 - spacing * static_cast<double>(k);
    Vec3 origin = placement.Point(*insertion + up * (height * baseline));
    if (!AddLine(std::move(shown), origin, x_axis, y_axis, AnchorOf(column), colour, picture))
      return false;
  }
  return true;
}

}  // namespace host::render
