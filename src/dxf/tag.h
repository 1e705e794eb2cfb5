// Group-code/value pairs as they stand in a DXF text, and the text style a
// file is written in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dxf {

// One tag. value is the value line's text exactly as it stands in the file
// (file encoding, surrounding blanks kept), without the line ending.
struct Tag {
  int code = 0;
  std::string value;

  Tag() = default;
  Tag(int c, std::string v) : code(c), value(std::move(v)) {}
  bool operator==(const Tag& other) const = default;
};
using Tags = std::vector<Tag>;

// A tag that views the text it was read from. code_text is the group-code
// line as written (e.g. "  8"), so an unchanged tag can be written back as is.
struct TagView {
  int code = 0;
  std::string_view code_text;
  std::string_view value;
};

// Tags of their own with the codes and values of views, and views of tags
// (valid while the tags are neither changed nor moved).
Tags TagsOf(const std::vector<TagView>& views);
std::vector<TagView> ViewsOf(const Tags& tags);

enum class LineEnding { kLf, kCrLf };

// How a file writes its tags, so that tags the program adds or changes look
// like the file's own.
struct TextStyle {
  LineEnding line_ending = LineEnding::kCrLf;
  // Group codes right-aligned in three columns ("  0", " 10", "100") as most
  // CAD programs write them, or left-aligned ("0", "10").
  bool right_aligned_codes = true;
};

// The kind of value a group code carries.
enum class ValueType { kString, kDouble, kInt16, kInt32, kInt64, kBool, kHandle, kBinary };
ValueType TypeOfCode(int code);
// x of a point: 10-18, 110-112, 210-213 (extrusion and LEADER vectors),
// 1010-1013; y and z follow under code+10 and code+20. Not 38/39 etc.
bool IsPointCode(int code);

// Canonical texts for changed values: the shortest text that reads back to
// the same double, and plain integers.
// Integral values keep a ".0" ("2.0"), as DXF writers do; values that are
// not finite (which no DXF reader accepts) are written as "0.0".
std::string FormatDouble(double value);
// The same into *text, whose buffer is reused (a transform writes millions).
void FormatDouble(double value, std::string* text);
std::string FormatInt(long long value);

// Reading values: blanks around the number are allowed (many writers pad
// integers to six columns); anything else makes the value invalid (nullopt).
// Inline: every pass over a record trims values, and a library search for
// the first non-blank costs more than these few compares.
inline std::string_view TrimBlanks(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return text.substr(begin, end - begin);
}
std::optional<long long> ParseInt(std::string_view value);
std::optional<double> ParseDouble(std::string_view value);

// Formats a group code the way the style writes it.
std::string FormatCode(int code, const TextStyle& style);

// Serialises tags as text in the given style; every line ends with the
// style's line ending.
std::string WriteTags(const Tags& tags, const TextStyle& style);
void AppendTag(std::string* out, int code, std::string_view value, const TextStyle& style);

}  // namespace dxf
