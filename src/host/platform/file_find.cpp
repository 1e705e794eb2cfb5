// File search: a Windows path, through the drive map, found without regard
// to case; a pattern in the last part finds any matching file.
#include "host/platform/host_files.h"
#include "host/platform/platform.h"
#include "host/session.h"
#include "host/ui/text_encoding.h"
#include "sdk/afxwin.h"

CFileFind::CFileFind() = default;

CFileFind::~CFileFind() { Close(); }

BOOL CFileFind::FindFile(LPCTSTR name, DWORD) {
  Close();
  host::Session* session = host::CurrentSession();
  if (session == nullptr || name == nullptr) return FALSE;
  std::optional<std::string> path = session->platform().HostPath(name);
  if (!path) return FALSE;
  size_t cut = path->find_last_of('/');
  std::string last = path->substr(cut + 1);
  if (last.find_first_of("*?") != std::string::npos) {
    std::optional<std::string> folder = host::ResolveNoCase(cut == 0 ? "/" : path->substr(0, cut));
    std::string pattern = host::ExternalTextToCp1252(last);
    found_ = folder && !host::ListMatchingFiles(*folder, {pattern}).empty();
  } else {
    found_ = host::ResolveNoCase(*path).has_value();
  }
  return found_ ? TRUE : FALSE;
}

void CFileFind::Close() { found_ = false; }
