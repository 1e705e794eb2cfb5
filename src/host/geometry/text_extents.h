// Estimated boxes of TEXT, ATTRIB, ATTDEF and MTEXT. Without the fonts the
// width of a text is estimated from its characters: each counts 0.7 times
// the height (times the width factor), a fair average for the proportional
// and the simplex fonts of technical drawings.
#pragma once

#include <string_view>
#include <vector>

#include "dxf/tag.h"
#include "host/geometry/extent_sink.h"
#include "host/host_only.h"

namespace host::geometry {

inline constexpr double kCharacterWidth = 0.7;  // times the text height

// The number of characters a text line shows: "%%d" style control codes
// and "\U+XXXX" escapes count one each.
size_t ShownLength(std::string_view text);

// The longest line and the number of lines of MTEXT content, formatting
// codes ("\H2.5;", "{\fArial;...}", "\P" paragraph breaks) taken out.
struct MTextMeasure {
  size_t longest_line = 0;
  size_t lines = 0;
};
MTextMeasure MeasureMText(std::string_view content);

// Adds the box of a TEXT, ATTRIB or ATTDEF record (vertical justification in
// 73 for TEXT, in 74 for the attributes).
void AddTextBox(std::string_view type, const std::vector<dxf::TagView>& tags,
                const ExtentSink& sink);

// Adds the box of an MTEXT record.
void AddMTextBox(const std::vector<dxf::TagView>& tags, const ExtentSink& sink);

}  // namespace host::geometry
