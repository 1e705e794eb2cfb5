#include "host/api/result_buffers.h"

#include <cstdlib>
#include <cstring>

#include "host/api/item_kinds.h"

namespace host::api {

char* MallocString(std::string_view text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

void FreeItemValue(resbuf* item) {
  switch (KindOfType(item->restype)) {
    case ItemKind::kString:
      std::free(item->resval.rstring);
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
  resbuf* item = static_cast<resbuf*>(std::calloc(1, sizeof(resbuf)));
  if (item == nullptr) {
    failed_ = true;
    acutRelRb(head_);
    head_ = tail_ = nullptr;
    return nullptr;
  }
  item->restype = static_cast<short>(type);
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

resbuf* acutNewRb(int type) {
  resbuf* item = static_cast<resbuf*>(std::calloc(1, sizeof(resbuf)));
  if (item != nullptr) item->restype = static_cast<short>(type);
  return item;
}

int acutRelRb(resbuf* rb) {
  while (rb != nullptr) {
    resbuf* next = rb->rbnext;
    host::api::FreeItemValue(rb);
    std::free(rb);
    rb = next;
  }
  return RTNORM;
}

}  // extern "C"
