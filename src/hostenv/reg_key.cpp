#include "hostenv/reg_key.h"

#include <vector>

LONG regKey::Create(const char* sub_key) {
  Close();
  HKEY key = nullptr;
  LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, sub_key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (status == ERROR_SUCCESS) key_ = key;
  return status;
}

CString regKey::QueryString(const char* value_name, DWORD buffer_size) const {
  if (key_ == nullptr || buffer_size == 0) return CString();
  std::vector<char> buffer(buffer_size, '\0');
  DWORD size = buffer_size;
  DWORD type = REG_NONE;
  LONG status = RegQueryValueExA(key_, value_name, nullptr, &type,
                                 reinterpret_cast<LPBYTE>(buffer.data()), &size);
  // A value too long for the buffer (ERROR_MORE_DATA) would leave a cut or
  // unterminated text: it counts as missing, as does any other failure.
  if (status != ERROR_SUCCESS) return CString();
  buffer[buffer_size - 1] = '\0';
  return CString(buffer.data());  // cut at the first zero byte
}

void regKey::Close() {
  if (key_ == nullptr) return;
  RegCloseKey(key_);
  key_ = nullptr;
}
