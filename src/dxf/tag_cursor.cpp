#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dxf/document.h"
#include "dxf/tag_index.h"
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
  if (eol != 0 && tag_index::IsThreeColumnCode(begin)) {
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

namespace {

// The group code of a code line (without its line ending), as the cursor
// reads it: three right-aligned columns inline, anything else out of line.
[[gnu::noinline]] int CodeOfOtherLine(std::string_view line) { return ParseCheckedCode(line); }

inline int CodeOfLine(std::string_view line) {
  if (line.size() == 3 && tag_index::IsThreeColumnCode(line.data())) {
    return DigitOrBlank(line[0]) * 100 + DigitOrBlank(line[1]) * 10 + (line[2] - '0');
  }
  return CodeOfOtherLine(line);
}

}  // namespace

namespace {

// Calls on_end(i) for each '\n' of the text, in order, looking at sixteen
// bytes a step where the machine can.
template <class OnEnd>
__attribute__((always_inline)) inline void ForEachLineEnd(const char* data, size_t size,
                                                          OnEnd on_end) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i newline = _mm_set1_epi8('\n');
  for (; i + 16 <= size; i += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    auto ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, newline)));
    for (; ends != 0; ends &= ends - 1) on_end(i + static_cast<size_t>(std::countr_zero(ends)));
  }
#endif
  for (; i < size; ++i)
    if (data[i] == '\n') on_end(i);
}

inline size_t CountLineEnds(const char* data, size_t size) {
  size_t count = 0;
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i newline = _mm_set1_epi8('\n');
  for (; i + 16 <= size; i += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    // A line end or two in sixteen bytes: counting bits one by one beats a
    // population count the processor may lack.
    for (auto ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, newline)));
         ends != 0; ends &= ends - 1)
      ++count;
  }
#endif
  for (; i < size; ++i) count += data[i] == '\n';
  return count;
}

}  // namespace

// The same tags as the cursor gives, found another way: the record's lines
// are counted first, so that the tags are written in place, and each line
// becomes a code or a value in turn.
void SplitTags(std::string_view text, std::vector<TagView>* tags) {
  const char* data = text.data();
  const size_t size = text.size();
  size_t lines = CountLineEnds(data, size);
  if (size > 0 && data[size - 1] != '\n') ++lines;  // a last line without an ending
  tags->resize((lines + 1) / 2);
  TagView* out = tags->data();
  size_t line_start = 0;
  size_t line = 0;
  auto take_line = [&](size_t end) __attribute__((always_inline)) {
    size_t length = end - line_start;
    if (length > 0 && data[line_start + length - 1] == '\r') --length;
    std::string_view view(data + line_start, length);
    if ((line & 1) == 0) {
      out->code_text = view;
      out->code = CodeOfLine(view);
      // A code line at the very end: its value is empty.
      out->value = std::string_view(data + size, 0);
    } else {
      out->value = view;
      ++out;
    }
    ++line;
    line_start = end + 1;
  };
  ForEachLineEnd(data, size, take_line);
  if (line < lines) take_line(size);
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
