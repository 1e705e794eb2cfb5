#include "host/api/result_buffers.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>

#include "host/api/item_kinds.h"
#include "host/sanitizer_build.h"

namespace host::api {

namespace {

// Chains are built and released by the hundred thousand in one conversion:
// released items wait here for the next chain instead of going back to
// malloc. Sanitizer builds skip the pools so that a use after release is
// still caught.
constexpr size_t kPoolLimit = kAddressSanitizerBuild ? 0 : 4096;

struct ItemPool {
  resbuf* free_items = nullptr;
  size_t count = 0;
  ~ItemPool() {
    while (free_items != nullptr) {
      resbuf* next = free_items->rbnext;
      std::free(free_items);
      free_items = next;
    }
    count = kPoolLimit;  // items released after this go straight to free
  }
};
ItemPool item_pool;

resbuf* NewItem(int type) {
  resbuf* item = item_pool.free_items;
  if (item != nullptr) {
    item_pool.free_items = item->rbnext;
    --item_pool.count;
    std::memset(item, 0, sizeof(resbuf));
  } else {
    item = static_cast<resbuf*>(std::calloc(1, sizeof(resbuf)));
    if (item == nullptr) return nullptr;
  }
  item->restype = static_cast<short>(type);
  return item;
}

void ReleaseItem(resbuf* item) {
  if (item_pool.count >= kPoolLimit) {
    std::free(item);
    return;
  }
  item->rbnext = item_pool.free_items;
  item_pool.free_items = item;
  ++item_pool.count;
}

// The strings of released chains wait the same way, by the size malloc
// gave their block: a chain's strings are a few short names and numbers,
// so the same few sizes come and go. A string waiting here is still a
// block of malloc's, and one handed out is as good as any: the module may
// realloc or free it. The size is asked of malloc because the module may
// have grown the string or put a block of its own in its place.
constexpr size_t kStringClasses = 8;  // usable sizes from 24 bytes in steps of 16
constexpr size_t kSmallestString = 24;
constexpr size_t kStringStep = 16;

// A waiting block holds the next one of its class in its first bytes
// (every block has room for a pointer: the smallest class is 24 bytes).
char* NextWaiting(const char* block) {
  char* next;
  std::memcpy(&next, block, sizeof next);
  return next;
}
void SetNextWaiting(char* block, char* next) { std::memcpy(block, &next, sizeof next); }

struct StringPool {
  char* free_blocks[kStringClasses] = {};  // linked through their first bytes
  size_t count[kStringClasses] = {};
  ~StringPool() {
    for (size_t c = 0; c < kStringClasses; ++c) {
      while (free_blocks[c] != nullptr) {
        char* next = NextWaiting(free_blocks[c]);
        std::free(free_blocks[c]);
        free_blocks[c] = next;
      }
      count[c] = kPoolLimit;
    }
  }
};
StringPool string_pool;

// A block of at least size bytes.
char* NewString(size_t size) {
  size_t c = size <= kSmallestString ? 0 : (size - kSmallestString + kStringStep - 1) / kStringStep;
  if (c < kStringClasses && string_pool.free_blocks[c] != nullptr) {
    char* block = string_pool.free_blocks[c];
    string_pool.free_blocks[c] = NextWaiting(block);
    --string_pool.count[c];
    return block;
  }
  return static_cast<char*>(std::malloc(size));
}

void ReleaseString(char* block) {
  if (block == nullptr) return;
  size_t usable = malloc_usable_size(block);
  size_t c = usable < kSmallestString ? kStringClasses : (usable - kSmallestString) / kStringStep;
  if (c >= kStringClasses || string_pool.count[c] >= kPoolLimit) {
    std::free(block);
    return;
  }
  SetNextWaiting(block, string_pool.free_blocks[c]);
  string_pool.free_blocks[c] = block;
  ++string_pool.count[c];
}

}  // namespace

char* MallocString(std::string_view text) {
  char* copy = NewString(text.size() + 1);
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

void FreeItemValue(resbuf* item) {
  switch (KindOfType(item->restype)) {
    case ItemKind::kString:
      ReleaseString(item->resval.rstring);
      item->resval.rstring = nullptr;
      break;
    case ItemKind::kBinary:
      std::free(item->resval.rbinary.buf);
      item->resval.rbinary.buf = nullptr;
      break;
    default:
      break;
  }
}

ChainBuilder::~ChainBuilder() { acutRelRb(head_); }

resbuf* ChainBuilder::Append(int type) {
  if (failed_) return nullptr;
  resbuf* item = NewItem(type);
  if (item == nullptr) {
    failed_ = true;
    acutRelRb(head_);
    head_ = tail_ = nullptr;
    return nullptr;
  }
  if (tail_ == nullptr) {
    head_ = item;
  } else {
    tail_->rbnext = item;
  }
  tail_ = item;
  return item;
}

void ChainBuilder::AddNone(int type) { Append(type); }

void ChainBuilder::AddReal(int type, double value) {
  if (resbuf* item = Append(type)) item->resval.rreal = value;
}

void ChainBuilder::AddPoint(int type, double x, double y, double z) {
  if (resbuf* item = Append(type)) {
    item->resval.rpoint[0] = x;
    item->resval.rpoint[1] = y;
    item->resval.rpoint[2] = z;
  }
}

void ChainBuilder::AddShort(int type, short value) {
  if (resbuf* item = Append(type)) item->resval.rint = value;
}

void ChainBuilder::AddLong(int type, long value) {
  if (resbuf* item = Append(type)) item->resval.rlong = value;
}

void ChainBuilder::AddString(int type, std::string_view text) {
  resbuf* item = Append(type);
  if (item == nullptr) return;
  item->resval.rstring = MallocString(text);
  if (item->resval.rstring == nullptr) {
    failed_ = true;
    acutRelRb(head_);
    head_ = tail_ = nullptr;
  }
}

void ChainBuilder::AddName(int type, const long name[2]) {
  if (resbuf* item = Append(type)) {
    item->resval.rlname[0] = name[0];
    item->resval.rlname[1] = name[1];
  }
}

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
}  // namespace

void ChainBuilder::AddBinaryHex(int type, std::string_view hex) {
  resbuf* item = Append(type);
  if (item == nullptr) return;
  // A chunk holds at most 127 bytes in a file; the item's length is a short.
  size_t bytes = 0;
  while (bytes * 2 + 1 < hex.size() && HexDigit(hex[bytes * 2]) >= 0 &&
         HexDigit(hex[bytes * 2 + 1]) >= 0 && bytes < 32767) {
    ++bytes;
  }
  char* buf = static_cast<char*>(std::malloc(bytes == 0 ? 1 : bytes));
  if (buf == nullptr) {
    failed_ = true;
    acutRelRb(head_);
    head_ = tail_ = nullptr;
    return;
  }
  for (size_t i = 0; i < bytes; ++i) {
    buf[i] = static_cast<char>(HexDigit(hex[i * 2]) * 16 + HexDigit(hex[i * 2 + 1]));
  }
  item->resval.rbinary.clen = static_cast<short>(bytes);
  item->resval.rbinary.buf = buf;
}

resbuf* ChainBuilder::Release() {
  resbuf* head = head_;
  head_ = tail_ = nullptr;
  return failed_ ? nullptr : head;
}

}  // namespace host::api

extern "C" {

resbuf* acutNewRb(int type) { return host::api::NewItem(type); }

int acutRelRb(resbuf* rb) {
  while (rb != nullptr) {
    resbuf* next = rb->rbnext;
    host::api::FreeItemValue(rb);
    host::api::ReleaseItem(rb);
    rb = next;
  }
  return RTNORM;
}

}  // extern "C"
