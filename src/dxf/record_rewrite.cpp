#include "dxf/record_rewrite.h"

#include <cstring>

#include "dxf/document.h"
#include "dxf/tag_index.h"

namespace dxf {

namespace {

bool Same(const TagView& old_tag, const Tag& tag) {
  return old_tag.code == tag.code && old_tag.value == tag.value;
}

bool Same(const TagView& old_tag, const TagView& tag) {
  // A tag taken over from the old record views its very text.
  if (old_tag.value.data() == tag.value.data()) {
    return old_tag.code == tag.code && old_tag.value.size() == tag.value.size();
  }
  return old_tag.code == tag.code && old_tag.value == tag.value;
}

// Steps through the tags of a record already split into views of its text,
// as TagCursor steps through the text.
class ViewCursor {
 public:
  ViewCursor(std::string_view text, const std::vector<TagView>& views)
      : text_(text), views_(views) {}
  bool Next(TagView* tag) {
    if (next_ >= views_.size()) {
      offset_ = text_.size();
      return false;
    }
    *tag = views_[next_++];
    offset_ = next_ < views_.size()
                  ? static_cast<size_t>(views_[next_].code_text.data() - text_.data())
                  : text_.size();
    return true;
  }
  size_t offset() const { return offset_; }

 private:
  std::string_view text_;
  const std::vector<TagView>& views_;
  size_t next_ = 0;
  size_t offset_ = 0;
};

// Makes the tag index of a rewritten record as its tags are written, by the
// rules AppendTagIndex reads a text with. A tag kept from an indexed record
// is in the indexed form already; a tag written afresh is checked. The
// first tag's line ending is the record's: every other line must end so.
class IndexWriter {
 public:
  // Room for tag_count tags of the new version.
  IndexWriter(const uint8_t* old_index, const TextStyle& style, size_t tag_count, std::string* out)
      : out_(out),
        kept_eol_(old_index[0]),
        written_eol_(style.line_ending == LineEnding::kCrLf ? 2 : 1),
        right_aligned_(style.right_aligned_codes) {
    out_->resize(tag_index::kHeaderSize + 2 * tag_count);
    next_ = reinterpret_cast<uint8_t*>(out_->data()) + tag_index::kHeaderSize;
  }

  bool ok() const { return ok_; }

  void Kept(const TagView& tag) { Entry(kept_eol_, tag.code_text.size() == 4, tag.value.size()); }

  void Written(int code, std::string_view value) {
    // The code line as AppendTag writes it: three columns (blanks and
    // digits), four digits, or a form the index does not take.
    bool four = code >= 1000 && code <= 9999;
    bool three = code >= (right_aligned_ ? 0 : 100) && code <= 999;
    if (!(three || four)) return Fail();
    // The value must be one line that ends as the code line does.
    if (std::memchr(value.data(), '\n', value.size()) != nullptr) return Fail();
    if (written_eol_ == 1 && !value.empty() && value.back() == '\r') return Fail();
    Entry(written_eol_, four, value.size());
  }

  bool Finish() {
    if (!ok_ || count_ == 0) {
      out_->clear();
      return false;
    }
    auto* header = reinterpret_cast<uint8_t*>(out_->data());
    header[0] = static_cast<uint8_t>(eol_);
    header[1] = static_cast<uint8_t>(count_ & 0xFF);
    header[2] = static_cast<uint8_t>(count_ >> 8);
    out_->resize(static_cast<size_t>(next_ - header));
    return true;
  }

 private:
  void Entry(size_t eol, bool four_columns, size_t length) {
    if (count_ == 0) {
      // The ending is read after the first code, which must take three
      // columns for it.
      if (four_columns) return Fail();
      eol_ = eol;
    }
    if (eol != eol_ || length > tag_index::kMaxValue || count_ == tag_index::kMaxTags)
      return Fail();
    if (four_columns) *next_++ = tag_index::kFourColumns;
    *next_++ = static_cast<uint8_t>(length);
    ++count_;
  }
  void Fail() { ok_ = false; }

  std::string* out_;
  uint8_t* next_;
  const size_t kept_eol_;     // of the old record's lines
  const size_t written_eol_;  // of lines written afresh
  const bool right_aligned_;
  size_t eol_ = 0;
  size_t count_ = 0;
  bool ok_ = true;
};

template <class Cursor, class NewTag>
void Rewrite(std::string_view old_text, Cursor cursor, const std::vector<NewTag>& tags,
             const TextStyle& style, std::string* result, IndexWriter* index = nullptr) {
  std::string& out = *result;
  out.clear();
  // The old record is read alongside the new tags: old_tag starts at
  // old_start, and [run_start, old_start) is a run of old tags that the new
  // version keeps, not yet copied.
  TagView old_tag;
  bool have_old = cursor.Next(&old_tag);
  size_t old_start = 0;
  size_t run_start = 0;
  auto flush_run = [&] {
    if (old_start == run_start) return;
    out.append(old_text.substr(run_start, old_start - run_start));
    // The record's last line may lack its ending; tags can follow here.
    if (old_start == old_text.size() && old_text.back() != '\n') {
      out.append(style.line_ending == LineEnding::kCrLf ? "\r\n" : "\n");
    }
  };
  auto step_old = [&] {
    old_start = cursor.offset();
    have_old = cursor.Next(&old_tag);
  };
  for (const NewTag& tag : tags) {
    if (have_old && Same(old_tag, tag)) {
      if (index && index->ok()) index->Kept(old_tag);
      step_old();
      continue;
    }
    // A tag the new version dropped: the next old one is this tag.
    if (have_old && old_tag.code != tag.code) {
      Cursor ahead = cursor;
      TagView next;
      if (ahead.Next(&next) && Same(next, tag)) {
        flush_run();
        step_old();  // the dropped tag
        run_start = old_start;
        if (index && index->ok()) index->Kept(old_tag);
        step_old();  // the kept one
        continue;
      }
    }
    flush_run();
    AppendTag(&out, tag.code, tag.value, style);
    if (index && index->ok()) index->Written(tag.code, tag.value);
    // A changed value takes the old tag's place; an added tag takes none.
    if (have_old && old_tag.code == tag.code) step_old();
    run_start = old_start;
  }
  flush_run();
}

template <class NewTag>
bool RewriteIndexed(std::string_view old_text, const uint8_t* old_index,
                    const std::vector<TagView>& old_tags, const std::vector<NewTag>& tags,
                    const TextStyle& style, std::string* out, std::string* new_index) {
  IndexWriter index(old_index, style, tags.size(), new_index);
  Rewrite(old_text, ViewCursor(old_text, old_tags), tags, style, out, &index);
  return index.Finish();
}

}  // namespace

void RewriteRecord(std::string_view old_text, const Tags& tags, const TextStyle& style,
                   std::string* out) {
  Rewrite(old_text, TagCursor(old_text), tags, style, out);
}

void RewriteRecord(std::string_view old_text, const std::vector<TagView>& old_tags,
                   const Tags& tags, const TextStyle& style, std::string* out) {
  Rewrite(old_text, ViewCursor(old_text, old_tags), tags, style, out);
}

void RewriteRecord(std::string_view old_text, const std::vector<TagView>& old_tags,
                   const std::vector<TagView>& tags, const TextStyle& style, std::string* out) {
  Rewrite(old_text, ViewCursor(old_text, old_tags), tags, style, out);
}

bool RewriteRecord(std::string_view old_text, const uint8_t* old_index,
                   const std::vector<TagView>& old_tags, const Tags& tags, const TextStyle& style,
                   std::string* out, std::string* new_index) {
  return RewriteIndexed(old_text, old_index, old_tags, tags, style, out, new_index);
}

bool RewriteRecord(std::string_view old_text, const uint8_t* old_index,
                   const std::vector<TagView>& old_tags, const std::vector<TagView>& tags,
                   const TextStyle& style, std::string* out, std::string* new_index) {
  return RewriteIndexed(old_text, old_index, old_tags, tags, style, out, new_index);
}

}  // namespace dxf
