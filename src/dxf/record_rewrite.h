// Writing a changed record back as text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dxf/tag.h"

namespace dxf {

// Writes into *out the text of tags, a new version of the record old_text
// holds (old_text must not lie in *out). Tags that
// stand unchanged (same code, same value) in the same order as in old_text
// are copied from it byte for byte, runs of them at once; changed, added
// and moved tags are written in style. Dropped tags are left out. The result
// reads back as exactly tags.
void RewriteRecord(std::string_view old_text, const Tags& tags, const TextStyle& style,
                   std::string* out);
// The same for a record whose text is already split: old_tags are views
// into old_text, in order, covering all of it.
void RewriteRecord(std::string_view old_text, const std::vector<TagView>& old_tags,
                   const Tags& tags, const TextStyle& style, std::string* out);
// The same with the new version given as views: of the old record's tags
// where it keeps them (compared by address first), of other text where not.
void RewriteRecord(std::string_view old_text, const std::vector<TagView>& old_tags,
                   const std::vector<TagView>& tags, const TextStyle& style, std::string* out);

// The two above for an old record with a tag index (see tag_index.h): the
// new record's index is made as its text is written, into *new_index, the
// bytes AppendTagIndex would make of *out. Returns false, with *new_index
// empty, where the new text has a form the index does not describe.
bool RewriteRecord(std::string_view old_text, const uint8_t* old_index,
                   const std::vector<TagView>& old_tags, const Tags& tags, const TextStyle& style,
                   std::string* out, std::string* new_index);
bool RewriteRecord(std::string_view old_text, const uint8_t* old_index,
                   const std::vector<TagView>& old_tags, const std::vector<TagView>& tags,
                   const TextStyle& style, std::string* out, std::string* new_index);

}  // namespace dxf
