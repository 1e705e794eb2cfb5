#include "dxf/record_rewrite.h"

#include "dxf/document.h"

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

template <class Cursor, class NewTag>
void Rewrite(std::string_view old_text, Cursor cursor, const std::vector<NewTag>& tags,
             const TextStyle& style, std::string* result) {
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
        step_old();  // the kept one
        continue;
      }
    }
    flush_run();
    AppendTag(&out, tag.code, tag.value, style);
    // A changed value takes the old tag's place; an added tag takes none.
    if (have_old && old_tag.code == tag.code) step_old();
    run_start = old_start;
  }
  flush_run();
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

}  // namespace dxf

namespace dxf {

void RewriteRecord(std::string_view old_text, const std::vector<TagView>& old_tags,
                   const std::vector<TagView>& tags, const TextStyle& style, std::string* out) {
  Rewrite(old_text, ViewCursor(old_text, old_tags), tags, style, out);
}

}  // namespace dxf
