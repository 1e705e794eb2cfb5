// acutPrintf: formatted text on the command line.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "host/api/text_util.h"
#include "host/cmdline/command_line.h"
#include "host/session.h"
#include "sdk/adslib.h"

namespace host::api {

std::string FormatVa(const char* format, va_list args) {
  // Most texts are short: written once into a buffer on the stack, and
  // only a longer one a second time at its length.
  char buffer[256];
  va_list first;
  va_copy(first, args);
  int length = std::vsnprintf(buffer, sizeof buffer, format, first);
  va_end(first);
  if (length <= 0) return std::string();
  if (static_cast<size_t>(length) < sizeof buffer)
    return std::string(buffer, static_cast<size_t>(length));
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, args);
  text.resize(static_cast<size_t>(length));
  return text;
}

}  // namespace host::api

extern "C" int acutPrintf(const char* format, ...) {
  if (format == nullptr) return RTERROR;
  va_list args;
  va_start(args, format);
  std::string text = host::api::FormatVa(format, args);
  va_end(args);
  if (host::Session* session = host::CurrentSession()) {
    session->command_line().Print(text);
  } else {
    std::fputs(text.c_str(), stdout);
  }
  return RTNORM;
}
