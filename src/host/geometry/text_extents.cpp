#include "host/geometry/text_extents.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <string>

#include "host/geometry/entity_extents.h"
#include "host/geometry/ocs.h"
#include "host/geometry/record_walk.h"
#include "host/geometry/vector_math.h"

namespace host::geometry {

size_t ShownLength(std::string_view text) {
  size_t n = 0;
  for (size_t i = 0; i < text.size(); ++n) {
    if (text.compare(i, 3, "%%%") == 0) {
      i += 3;
    } else if (text.compare(i, 2, "%%") == 0 && i + 2 < text.size()) {
      // %%c, %%d, %%p, %%u and %%nnn (a character by number).
      i += 2;
      if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
        ++i;
      } else {
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
      }
    } else if (text.compare(i, 3, "\\U+") == 0 && i + 7 <= text.size()) {
      i += 7;
    } else {
      ++i;
    }
  }
  return n;
}

MTextMeasure MeasureMText(std::string_view content) {
  MTextMeasure m;
  size_t line = 0;
  auto end_line = [&] {
    m.longest_line = std::max(m.longest_line, line);
    ++m.lines;
    line = 0;
  };
  for (size_t i = 0; i < content.size(); ++i) {
    char c = content[i];
    if (c == '{' || c == '}') continue;
    if (c != '\\' || i + 1 >= content.size()) {
      ++line;
      continue;
    }
    char code = content[++i];
    switch (code) {
      case 'P':  // paragraph break
        end_line();
        break;
      case '~':  // non-breaking space
      case '\\':
      case '{':
      case '}':
        ++line;
        break;
      case 'L':  // underline, overline, strike-through on and off
      case 'l':
      case 'O':
      case 'o':
      case 'K':
      case 'k':
        break;
      case 'U':  // \U+XXXX: one character
        i = std::min(content.size() - 1, i + 5);
        ++line;
        break;
      case 'S': {  // stacked fraction "\S1/2;": as wide as its longer part
        size_t end = content.find(';', i);
        if (end == std::string_view::npos) end = content.size();
        std::string_view stack = content.substr(i + 1, end - i - 1);
        size_t split = stack.find_first_of("/#^");
        size_t top = std::min(split, stack.size());
        size_t bottom = split == std::string_view::npos ? 0 : stack.size() - split - 1;
        line += std::max(top, bottom);
        i = end;
        break;
      }
      default: {  // \H2.5; \fArial|b0; \C1; \A1; \W0.8; \Q15; \T1.1; and the like
        size_t end = content.find(';', i);
        i = end == std::string_view::npos ? content.size() : end;
        break;
      }
    }
  }
  end_line();
  return m;
}

namespace {

using Views = std::vector<dxf::TagView>;

// Adds the four corners of the box [x0, x1] x [y0, y1] spanned by the unit
// directions dx, dy from origin.
void AddBox(const ExtentSink& sink, const Vec3& origin, const Vec3& dx, const Vec3& dy, double x0,
            double x1, double y0, double y1) {
  for (double x : {x0, x1}) {
    for (double y : {y0, y1}) sink.Point(origin + dx * x + dy * y);
  }
}

}  // namespace

void AddTextBox(std::string_view type, const Views& tags, const ExtentSink& sink) {
  std::optional<Vec3> insertion = OwnPoint(tags, 10);
  if (!insertion) return;
  ExtentSink ocs_sink = sink.Within(Affine::FromOcs(Ocs(ExtrusionOf(tags))));
  double height = OwnNumber(tags, 40).value_or(0);
  double width_factor = OwnNumber(tags, 41).value_or(1);
  long long horizontal = OwnInteger(tags, 72).value_or(0);
  long long vertical = OwnInteger(tags, type == "TEXT" ? 73 : 74).value_or(0);
  long long mirror = OwnInteger(tags, 71).value_or(0);
  std::optional<Vec3> alignment = OwnPoint(tags, 11);
  if (!std::isfinite(height) || height <= 0 || !std::isfinite(width_factor)) {
    ocs_sink.Point(*insertion);  // height from the style, unknown here
    return;
  }
  double width = static_cast<double>(ShownLength(OwnText(tags, 1))) * height * kCharacterWidth *
                 std::fabs(width_factor);

  // Aligned and fitted texts run from 10 to 11.
  if ((horizontal == 3 || horizontal == 5) && alignment && !(*alignment == *insertion)) {
    Vec3 along = *alignment - *insertion;
    along = along * (1.0 / Length(along));
    Vec3 up{-along.y, along.x, 0};
    AddBox(ocs_sink, *insertion, along, up, 0, Length(*alignment - *insertion), 0, height);
    return;
  }
  bool justified = horizontal != 0 || vertical != 0;
  Vec3 origin = justified && alignment ? *alignment : *insertion;
  double x0 = 0, y0 = 0;
  switch (horizontal) {
    case 1:  // centre
    case 4:  // middle
      x0 = -width / 2;
      break;
    case 2:  // right
      x0 = -width;
      break;
    default:
      break;
  }
  if (horizontal == 4) y0 = -height / 2;
  switch (vertical) {
    case 2:  // middle
      y0 = -height / 2;
      break;
    case 3:  // top
      y0 = -height;
      break;
    default:  // baseline and bottom
      break;
  }
  double c = 1, s = 0;
  CosSinDegrees(OwnNumber(tags, 50).value_or(0), &c, &s);
  Vec3 dx{c, s, 0}, dy{-s, c, 0};
  // Backwards (2) and upside-down (4) texts are mirrored about their origin.
  if (mirror & 2) dx = dx * -1;
  if (mirror & 4) dy = dy * -1;
  AddBox(ocs_sink, origin, dx, dy, x0, x0 + width, y0, y0 + height);
}

void AddMTextBox(const Views& tags, const ExtentSink& sink) {
  std::optional<Vec3> insertion = OwnPoint(tags, 10);
  if (!insertion) return;
  double height = OwnNumber(tags, 40).value_or(0);
  if (!std::isfinite(height) || height <= 0) {
    sink.Point(*insertion);
    return;
  }
  Ocs ocs(ExtrusionOf(tags));
  // The text direction: 11 (a world vector) when given, else the rotation
  // 50 in the OCS. Files carry 50 in degrees.
  Vec3 dx{};
  if (std::optional<Vec3> direction = OwnPoint(tags, 11)) dx = *direction;
  if (!(Length(dx) > 0) || !IsFinite(dx)) {
    double c = 1, s = 0;
    CosSinDegrees(OwnNumber(tags, 50).value_or(0), &c, &s);
    dx = ocs.ToWorld({c, s, 0});
  }
  dx = dx * (1.0 / Length(dx));
  Vec3 dy = Cross(ocs.z_axis(), dx);

  std::string content;
  ForEachOwnTag(tags, [&](std::string_view subclass, size_t i) {
    if (subclass == kEmbeddedObject) return;
    if (tags[i].code == 3 || tags[i].code == 1) content.append(tags[i].value);
  });
  MTextMeasure measure = MeasureMText(content);
  double spacing = OwnNumber(tags, 44).value_or(1.0);
  if (!std::isfinite(spacing) || spacing <= 0) spacing = 1.0;
  double width = OwnNumber(tags, 42).value_or(0);
  if (!(width > 0)) width = OwnNumber(tags, 41).value_or(0);
  if (!(width > 0) || !std::isfinite(width)) {
    width = static_cast<double>(measure.longest_line) * height * kCharacterWidth;
  }
  double box_height = OwnNumber(tags, 43).value_or(0);
  if (!(box_height > 0) || !std::isfinite(box_height)) {
    // Lines are 5/3 of the height apart at spacing factor 1.
    box_height = height + static_cast<double>(measure.lines - 1) * height * 5.0 / 3.0 * spacing;
  }
  long long attachment = std::clamp(OwnInteger(tags, 71).value_or(1), 1LL, 9LL) - 1;
  double x0 = -width * static_cast<double>(attachment % 3) / 2;           // left, centre, right
  double y0 = -box_height * static_cast<double>(2 - attachment / 3) / 2;  // top, middle, bottom
  AddBox(sink, *insertion, dx, dy, x0, x0 + width, y0, y0 + box_height);
}

}  // namespace host::geometry
