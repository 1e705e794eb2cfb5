#include "dxf/tag_index.h"

#include <algorithm>

#include "dxf/text_lines.h"

namespace dxf {

using namespace tag_index;

namespace {

bool Refuse(std::string* out, size_t start) {
  out->resize(start);
  return false;
}

}  // namespace

uint32_t TagIndexBuilder::Finish() {
  if (!ok_ || count_ == 0 || start_ >= kNoTagIndex) {
    next_ = out_->data() + start_;
    return kNoTagIndex;
  }
  auto* header = reinterpret_cast<uint8_t*>(out_->data() + start_);
  header[0] = static_cast<uint8_t>(eol_);
  header[1] = static_cast<uint8_t>(count_ & 0xFF);
  header[2] = static_cast<uint8_t>(count_ >> 8);
  return static_cast<uint32_t>(start_);
}

void TagIndexBuilder::Close() {
  if (next_ != nullptr) out_->resize(static_cast<size_t>(next_ - out_->data()));
  next_ = limit_ = nullptr;
}

// The string is kept a little longer than what is written, through
// pointers (a push_back per tag costs more than the index is worth); it
// grows a chunk at a time, so that only what is used is ever touched.
void TagIndexBuilder::Grow() {
  constexpr size_t kChunk = 64 * 1024;
  size_t used = next_ != nullptr ? static_cast<size_t>(next_ - out_->data()) : out_->size();
  out_->resize(used + kChunk);
  next_ = out_->data() + used;
  limit_ = out_->data() + out_->size();
}

// The rules are those of TagIndexBuilder::Add, written out for a whole text
// at once: a record is indexed at every change, and stepping over its code
// lines directly costs a third less than cutting them as lines. The tests
// hold both to the tags SplitTags gives.
bool AppendTagIndex(std::string_view text, std::string* out) {
  const char* data = text.data();
  const size_t size = text.size();
  if (size < 4) return false;
  const size_t eol = data[3] == '\n'                                     ? 1
                     : (size >= 5 && data[3] == '\r' && data[4] == '\n') ? 2
                                                                         : 0;
  if (eol == 0) return false;
  // A tag takes at least four bytes of text (a code, two line ends) and at
  // most two of the index: room for the longest index, written in place.
  const size_t start = out->size();
  out->resize(start + kHeaderSize + size / 2 + 2);
  uint8_t* const header = reinterpret_cast<uint8_t*>(out->data() + start);
  uint8_t* next = header + kHeaderSize;
  size_t count = 0;
  size_t pos = 0;
  while (pos < size) {
    // The code line: three columns, or four digits, and the record's line
    // ending.
    size_t columns = 3;
    if (size - pos >= 4 + eol && IsDigit(data[pos]) && IsDigit(data[pos + 1]) &&
        IsDigit(data[pos + 2]) && IsDigit(data[pos + 3])) {
      columns = 4;
      *next++ = kFourColumns;
    } else if (size - pos < 3 + eol || !IsThreeColumnCode(data + pos)) {
      return Refuse(out, start);
    }
    const char* ending = data + pos + columns;
    if (eol == 1 ? ending[0] != '\n' : (ending[0] != '\r' || ending[1] != '\n'))
      return Refuse(out, start);
    pos += columns + eol;
    // The value line, which must end as the code line does: a value that
    // ends in a CR of its own under LF endings would be cut differently.
    size_t length = LineLength(data + pos, size - pos);
    if (pos + length == size) return Refuse(out, start);
    bool has_cr = length > 0 && data[pos + length - 1] == '\r';
    if (has_cr != (eol == 2)) return Refuse(out, start);
    size_t value = length - (eol - 1);
    if (value > kMaxValue || ++count > kMaxTags) return Refuse(out, start);
    *next++ = static_cast<uint8_t>(value);
    pos += length + 1;
  }
  header[0] = static_cast<uint8_t>(eol);
  header[1] = static_cast<uint8_t>(count & 0xFF);
  header[2] = static_cast<uint8_t>(count >> 8);
  out->resize(static_cast<size_t>(reinterpret_cast<char*>(next) - out->data()));
  return true;
}

void SplitIndexedTags(std::string_view text, const uint8_t* index, std::vector<TagView>* tags) {
  tags->resize(size_t{index[1]} | size_t{index[2]} << 8);
  TagView* out = tags->data();
  VisitIndexedTags(text, index, [&out](const TagView& tag) {
    *out++ = tag;
    return true;
  });
}

}  // namespace dxf
