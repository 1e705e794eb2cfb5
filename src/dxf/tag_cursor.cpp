#include <cstring>

#include "dxf/document.h"
#include "dxf/text_lines.h"

namespace dxf {

namespace {

int DigitOrBlank(char c) { return c == ' ' ? 0 : c - '0'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool TagCursor::Next(TagView* tag) {
  if (pos_ >= text_.size()) return false;
  const char* begin = text_.data() + pos_;
  const char* end = text_.data() + text_.size();
  size_t left = static_cast<size_t>(end - begin);
  // Most files right-align codes in three columns ("  0", " 10", "330"):
  // read those at once.
  size_t eol = left >= 4 && begin[3] == '\n'                       ? 1
               : left >= 5 && begin[3] == '\r' && begin[4] == '\n' ? 2
                                                                   : 0;
  if (eol != 0 && IsDigit(begin[2]) &&
      (IsDigit(begin[1]) ? (IsDigit(begin[0]) || begin[0] == ' ')
                         : (begin[1] == ' ' && begin[0] == ' '))) {
    tag->code = DigitOrBlank(begin[0]) * 100 + DigitOrBlank(begin[1]) * 10 + (begin[2] - '0');
    tag->code_text = std::string_view(begin, 3);
    pos_ += 3 + eol;
    tag->value = NextLine(text_, &pos_);
    return true;
  }
  // Otherwise read the number while looking for the line's end (the reader
  // has checked the line: blanks, an optional minus sign, digits, blanks).
  const char* p = begin;
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  bool negative = p < end && *p == '-';
  if (negative) ++p;
  int code = 0;
  while (p < end && IsDigit(*p)) code = code * 10 + (*p++ - '0');
  while (p < end && *p != '\n') ++p;
  size_t length = static_cast<size_t>(p - begin);
  pos_ += p < end ? length + 1 : length;
  if (length > 0 && begin[length - 1] == '\r') --length;
  tag->code_text = std::string_view(begin, length);
  tag->code = negative ? -code : code;
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
