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
  va_list measure;
  va_copy(measure, args);
  int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0) return std::string();
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
