#include <cstring>

#include "dxf/document.h"
#include "dxf/text_lines.h"

namespace dxf {

bool TagCursor::Next(TagView* tag) {
  if (pos_ >= text_.size()) return false;
  std::string_view code_line = NextLine(text_, &pos_);
  tag->code_text = code_line;
  // The reader has checked the code; a fast parse is enough here.
  tag->code = ParseCheckedCode(code_line);
  tag->value = NextLine(text_, &pos_);
  return true;
}

void SplitTags(std::string_view text, std::vector<TagView>* tags) {
  tags->clear();
  TagCursor cursor(text);
  TagView tag;
  while (cursor.Next(&tag)) tags->push_back(tag);
}

Tags ToTags(std::string_view text) {
  Tags tags;
  TagCursor cursor(text);
  TagView tag;
  while (cursor.Next(&tag)) tags.emplace_back(tag.code, std::string(tag.value));
  return tags;
}

std::string_view RecordType(std::string_view text) {
  TagCursor cursor(text);
  TagView tag;
  if (!cursor.Next(&tag)) return {};
  return TrimBlanks(tag.value);
}

}  // namespace dxf
