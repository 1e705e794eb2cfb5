#include "passes/set_rb_string.h"

#include <cstdlib>
#include <cstring>

bool SetRbString(resbuf* item, const char* text) {
  size_t length = std::strlen(text);
  char* buffer = item->resval.rstring;
  if (buffer == nullptr || length > std::strlen(buffer)) {
    char* grown = static_cast<char*>(std::realloc(buffer, length + 1));
    if (grown == nullptr) return false;
    buffer = grown;
    item->resval.rstring = buffer;
  }
  std::memcpy(buffer, text, length + 1);
  return true;
}
