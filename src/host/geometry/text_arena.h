// Room for the texts of values written afresh while a record's tags are
// edited as views: a view handed out stays valid until Clear, so that the
// edited tags can view the old record where they keep it and this room
// where they do not. A transform of a million records writes several
// million numbers; each takes a few bytes here instead of a string of its
// own.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "host/host_only.h"

namespace host::geometry {

class TextArena {
 public:
  // A copy of text that lives until Clear.
  std::string_view Store(std::string_view text);
  // Gives back every text stored; the memory is kept for the next ones.
  void Clear() {
    chunk_ = 0;
    used_ = 0;
  }

 private:
  static constexpr size_t kChunkSize = 4096;
  struct Chunk {
    std::unique_ptr<char[]> data;
    size_t size = 0;
  };
  std::vector<Chunk> chunks_;
  size_t chunk_ = 0;  // the chunk being filled
  size_t used_ = 0;   // bytes of it in use
};

}  // namespace host::geometry
