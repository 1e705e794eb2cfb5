// A record's tag index: where its tags lie, kept beside the record's text so
// that the text can be cut into tags again without looking for line ends.
// The host reads most records several times between two changes (each
// command and each check walks the drawing anew); through the index a read
// costs a fifth of a full split.
//
// The index describes the common form only: every code line three columns
// wide ("  0", " 10", "330"), every line ended the same way, values under
// 255 bytes. A record of any other form has no index and is split as before.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dxf/document.h"
#include "dxf/tag.h"

namespace dxf {

namespace tag_index {
// Layout: the width of the line endings (1 for LF, 2 for CR LF), the number
// of tags in two bytes (low first), then the length of each value. A tag
// whose code takes four columns (the extended data's 1000 to 1071) has
// kFourColumns before its length.
inline constexpr size_t kHeaderSize = 3;
inline constexpr size_t kMaxTags = 0xFFFF;
inline constexpr uint8_t kFourColumns = 0xFF;
inline constexpr size_t kMaxValue = kFourColumns - 1;

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// A three-column code line as the tag cursor reads it at once.
inline bool IsThreeColumnCode(const char* p) {
  return IsDigit(p[2]) &&
         (IsDigit(p[1]) ? (IsDigit(p[0]) || p[0] == ' ') : (p[1] == ' ' && p[0] == ' '));
}
}  // namespace tag_index

// Builds the indexes of a file's records while its reader cuts the lines,
// into one string: Start at each record's first tag, Add each tag, Finish
// at the record's end, Close when the file is read.
class TagIndexBuilder {
 public:
  explicit TagIndexBuilder(std::string* out) : out_(out) {}
  void Start() {
    if (limit_ - next_ < static_cast<ptrdiff_t>(tag_index::kHeaderSize + 2)) Grow();
    start_ = static_cast<size_t>(next_ - out_->data());
    next_ += tag_index::kHeaderSize;
    eol_ = 0;
    count_ = 0;
    ok_ = true;
  }
  // A tag: its code and value lines without their endings, and the width
  // of each ending (0 for none, 1 for LF, 2 for CR LF).
  void Add(std::string_view code_line, size_t code_end, std::string_view value, size_t value_end) {
    if (!ok_) return;
    if (eol_ == 0) eol_ = code_end;
    if (limit_ - next_ < 2) Grow();
    bool fits = eol_ != 0 && code_end == eol_ && value_end == eol_ &&
                value.size() <= tag_index::kMaxValue && count_ < tag_index::kMaxTags;
    if (fits && code_line.size() == 3 && tag_index::IsThreeColumnCode(code_line.data())) {
      *next_++ = static_cast<char>(value.size());
    } else if (fits && code_line.size() == 4 && tag_index::IsDigit(code_line[0]) &&
               tag_index::IsDigit(code_line[1]) && tag_index::IsDigit(code_line[2]) &&
               tag_index::IsDigit(code_line[3])) {
      *next_++ = static_cast<char>(tag_index::kFourColumns);
      *next_++ = static_cast<char>(value.size());
    } else {
      ok_ = false;
      return;
    }
    ++count_;
  }
  // Where the record's index starts in the string, or kNoTagIndex.
  uint32_t Finish();
  // Cuts the string to the indexes built.
  void Close();

 private:
  void Grow();
  std::string* out_;
  char* next_ = nullptr;  // where the next byte goes, in out_'s buffer
  char* limit_ = nullptr;
  size_t start_ = 0;
  size_t eol_ = 0;
  size_t count_ = 0;
  bool ok_ = false;
};

// Appends the index of a record's text to *out. Returns false and appends
// nothing when the text has a form the index does not describe.
bool AppendTagIndex(std::string_view text, std::string* out);

// The tags of text through its index: the same as SplitTags gives.
void SplitIndexedTags(std::string_view text, const uint8_t* index, std::vector<TagView>* tags);

// Calls visit(tag) for each tag of text in order, through its index;
// visit returns false to stop.
template <class Visit>
void VisitIndexedTags(std::string_view text, const uint8_t* index, Visit visit) {
  const size_t eol = index[0];
  const size_t count = size_t{index[1]} | size_t{index[2]} << 8;
  const uint8_t* length = index + tag_index::kHeaderSize;
  const char* p = text.data();
  // An indexed code line holds digits and leading blanks only: the low four
  // bits of '0'-'9' are 0-9 and those of ' ' are 0.
  auto digit_or_blank = [](char c) { return c & 0x0F; };
  TagView tag;
  for (size_t i = 0; i < count; ++i, ++length) {
    if (*length == tag_index::kFourColumns) [[unlikely]] {
      tag.code = digit_or_blank(p[0]) * 1000 + digit_or_blank(p[1]) * 100 +
                 digit_or_blank(p[2]) * 10 + digit_or_blank(p[3]);
      tag.code_text = std::string_view(p, 4);
      p += 4 + eol;
      ++length;
    } else {
      tag.code = digit_or_blank(p[0]) * 100 + digit_or_blank(p[1]) * 10 + digit_or_blank(p[2]);
      tag.code_text = std::string_view(p, 3);
      p += 3 + eol;
    }
    tag.value = std::string_view(p, *length);
    p += *length + eol;
    if (!visit(tag)) return;
  }
}

// The first tag's value (the record's type) through the index.
inline std::string_view IndexedRecordType(std::string_view text, const uint8_t* index) {
  std::string_view type;
  VisitIndexedTags(text, index, [&type](const TagView& tag) {
    type = tag.value;
    return false;
  });
  return TrimBlanks(type);
}

}  // namespace dxf
