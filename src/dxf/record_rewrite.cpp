#include "dxf/record_rewrite.h"

#include "dxf/document.h"

namespace dxf {

namespace {

bool Same(const TagView& old_tag, const Tag& tag) {
  return old_tag.code == tag.code && old_tag.value == tag.value;
}

}  // namespace

std::string RewriteRecord(std::string_view old_text, const Tags& tags, const TextStyle& style) {
  std::string out;
  out.reserve(old_text.size() + 64);
  // The old record is read alongside the new tags: old_tag starts at
  // old_start, and [run_start, old_start) is a run of old tags that the new
  // version keeps, not yet copied.
  TagCursor cursor(old_text);
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
  for (const Tag& tag : tags) {
    if (have_old && Same(old_tag, tag)) {
      step_old();
      continue;
    }
    // A tag the new version dropped: the next old one is this tag.
    if (have_old && old_tag.code != tag.code) {
      TagCursor ahead = cursor;
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
  return out;
}

}  // namespace dxf
