// The registry functions over the session's registry file.
#include <cstring>

#include "host/platform/platform.h"
#include "host/session.h"
#include "sdk/win32.h"

namespace {

host::Platform* CurrentPlatform() {
  host::Session* session = host::CurrentSession();
  return session ? &session->platform() : nullptr;
}

}  // namespace

extern "C" LONG RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD, LPSTR, DWORD, REGSAM, void*,
                                HKEY* result, LPDWORD disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  host::Platform* platform = CurrentPlatform();
  if (platform == nullptr) return ERROR_INVALID_HANDLE;
  std::optional<std::string> base = platform->KeyPath(key);
  if (!base) return ERROR_INVALID_HANDLE;
  std::string sub = sub_key ? sub_key : "";
  // Windows refuses a subkey that starts with a backslash; one at the end is
  // dropped.
  if (!sub.empty() && sub[0] == '\\') return ERROR_BAD_PATHNAME;
  if (!sub.empty() && sub.back() == '\\') sub.pop_back();
  std::string path = base->empty() ? sub : sub.empty() ? *base : *base + "\\" + sub;
  bool created = false;
  if (!path.empty()) {
    if (!host::RegistryStore::ValidKeyPath(path)) return ERROR_BAD_PATHNAME;
    host::RegistryStore& registry = platform->registry();
    std::string err;
    if (!registry.CreateKey(path, &created, &err)) platform->ReportRegistryProblem(err);
    if (!registry.HasKey(path)) return ERROR_ACCESS_DENIED;
  }
  *result = platform->OpenKeyHandle(path);
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  return ERROR_SUCCESS;
}

extern "C" LONG RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD reserved, LPDWORD type,
                                 LPBYTE data, LPDWORD data_size) {
  host::Platform* platform = CurrentPlatform();
  if (platform == nullptr) return ERROR_INVALID_HANDLE;
  std::optional<std::string> path = platform->KeyPath(key);
  if (!path) return ERROR_INVALID_HANDLE;
  if (reserved != nullptr || (data != nullptr && data_size == nullptr))
    return ERROR_INVALID_PARAMETER;
  std::optional<std::string> value =
      platform->registry().Value(*path, value_name ? value_name : "");
  if (!value) return ERROR_FILE_NOT_FOUND;
  if (type) *type = REG_SZ;
  DWORD needed = static_cast<DWORD>(value->size() + 1);  // with the terminating zero
  if (data_size == nullptr) return ERROR_SUCCESS;
  if (data == nullptr) {
    *data_size = needed;
    return ERROR_SUCCESS;
  }
  if (*data_size < needed) {
    *data_size = needed;
    return ERROR_MORE_DATA;
  }
  std::memcpy(data, value->c_str(), needed);
  *data_size = needed;
  return ERROR_SUCCESS;
}

extern "C" LONG RegCloseKey(HKEY key) {
  if (key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
  host::Platform* platform = CurrentPlatform();
  if (platform == nullptr || !platform->CloseKeyHandle(key)) return ERROR_INVALID_HANDLE;
  return ERROR_SUCCESS;
}
