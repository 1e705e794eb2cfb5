// Building the chains the host hands to the module. Every item and every
// string or binary buffer is malloc'ed, so that the module may grow a string
// with realloc and release the chain with acutRelRb, which frees with free.
#pragma once

#include <string_view>

#include "host/host_only.h"
#include "sdk/adslib.h"

namespace host::api {

// Appends items to a chain. When an allocation fails the builder frees what
// it holds, and Release gives null: the caller's function returns "no chain".
class ChainBuilder {
 public:
  ChainBuilder() = default;
  ~ChainBuilder();
  ChainBuilder(const ChainBuilder&) = delete;
  ChainBuilder& operator=(const ChainBuilder&) = delete;

  void AddNone(int type);
  void AddReal(int type, double value);
  void AddPoint(int type, double x, double y, double z);
  void AddShort(int type, short value);
  void AddLong(int type, long value);
  void AddString(int type, std::string_view text);
  void AddName(int type, const long name[2]);
  // Hex text ("0A1F...") as bytes; odd or non-hex characters end the data.
  void AddBinaryHex(int type, std::string_view hex);

  bool failed() const { return failed_; }
  // The chain (null when empty or when an allocation failed); the builder
  // gives up its ownership.
  resbuf* Release();

 private:
  resbuf* Append(int type);
  resbuf* head_ = nullptr;
  resbuf* tail_ = nullptr;
  bool failed_ = false;
};

// A malloc'ed copy of text with a terminating NUL, or null.
char* MallocString(std::string_view text);

// Frees one item's own buffer (string or binary data) as its type says.
void FreeItemValue(resbuf* item);

}  // namespace host::api
