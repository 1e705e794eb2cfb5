// Message boxes go to the session's user channel; the answer is always OK.
#include <cstdio>

#include "host/session.h"
#include "host/ui/text_encoding.h"
#include "host/ui/user_channel.h"
#include "sdk/afxwin.h"
#include "sdk/win32.h"

namespace {

// The caption Windows gives a box without one, and the program's title.
constexpr const char* kDefaultCaption = "Fehler";
constexpr const char* kApplicationTitle = "Dravolin";

int ShowMessage(const char* text, const char* caption) {
  std::string t = text ? text : "";
  host::Session* session = host::CurrentSession();
  if (session == nullptr) {
    std::fprintf(stderr, "[%s] %s\n", host::Cp1252ToUtf8(caption).c_str(),
                 host::Cp1252ToUtf8(t).c_str());
    return IDOK;
  }
  session->user().MessageBox(t, caption);
  return IDOK;
}

}  // namespace

extern "C" int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
  return ShowMessage(text, caption ? caption : kDefaultCaption);
}

int AfxMessageBox(LPCTSTR text, UINT, UINT) { return ShowMessage(text, kApplicationTitle); }
