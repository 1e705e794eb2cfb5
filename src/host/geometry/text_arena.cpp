#include "host/geometry/text_arena.h"

#include <algorithm>
#include <cstring>

namespace host::geometry {

std::string_view TextArena::Store(std::string_view text) {
  // The chunks from chunk_ on are tried in turn; a text larger than a chunk
  // gets one of its own size.
  while (chunk_ < chunks_.size() && chunks_[chunk_].size - used_ < text.size()) {
    ++chunk_;
    used_ = 0;
  }
  if (chunk_ == chunks_.size()) {
    size_t size = std::max(kChunkSize, text.size());
    chunks_.push_back({std::make_unique<char[]>(size), size});
    used_ = 0;
  }
  char* at = chunks_[chunk_].data.get() + used_;
  if (!text.empty()) std::memcpy(at, text.data(), text.size());
  used_ += text.size();
  return std::string_view(at, text.size());
}

}  // namespace host::geometry
