// A registry key under HKEY_CURRENT_USER that is closed when the object goes
// out of scope, so that no way out of the caller leaves it open.
#pragma once

#include "cstring.h"
#include "win32.h"

class regKey {
 public:
  regKey() = default;
  ~regKey() { Close(); }
  regKey(const regKey&) = delete;
  regKey& operator=(const regKey&) = delete;

  // Opens the key, creating it if it does not exist (full access,
  // non-volatile). Returns the registry's status.
  LONG Create(const char* sub_key);
  // The string value of that name, or an empty text when the key is not open,
  // the value is missing, or it does not fit a buffer of buffer_size bytes.
  CString QueryString(const char* value_name, DWORD buffer_size) const;
  void Close();
  bool is_open() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};
