// The host application services (the working database), the text of an
// error status, and acrx_abort.
#include <cstdarg>
#include <string>

#include "host/api/api_state.h"
#include "host/api/text_util.h"
#include "host/cmdline/command_line.h"
#include "host/session.h"
#include "sdk/arx.h"

namespace host::api {

namespace {

class HostServices : public AcDbHostApplicationServices {
 public:
  AcDbDatabase* workingDatabase() const override {
    ApiState* state = CurrentState();
    return state != nullptr ? state->database() : nullptr;
  }
};

}  // namespace

}  // namespace host::api

extern "C" AcDbHostApplicationServices* acdbHostApplicationServices() {
  static host::api::HostServices services;
  return &services;
}

extern "C" const char* acadErrorStatusText(Acad::ErrorStatus status) {
  switch (status) {
    case Acad::eOk:
      return "eOk";
    case Acad::eNotImplementedYet:
      return "eNotImplementedYet";
    case Acad::eNotApplicable:
      return "eNotApplicable";
    case Acad::eInvalidInput:
      return "eInvalidInput";
    case Acad::eKeyNotFound:
      return "eKeyNotFound";
    case Acad::eDuplicateKey:
      return "eDuplicateKey";
    case Acad::eInvalidIndex:
      return "eInvalidIndex";
    case Acad::eNullObjectId:
      return "eNullObjectId";
    case Acad::eNullObjectPointer:
      return "eNullObjectPointer";
    case Acad::eWasErased:
      return "eWasErased";
    case Acad::eOutOfMemory:
      return "eOutOfMemory";
    case Acad::eDuplicateRecordName:
      return "eDuplicateRecordName";
    case Acad::eInvalidSymbolTableName:
      return "eInvalidSymbolTableName";
    case Acad::eNotOpenForWrite:
      return "eNotOpenForWrite";
    case Acad::eWasOpenForRead:
      return "eWasOpenForRead";
    case Acad::eWasOpenForWrite:
      return "eWasOpenForWrite";
    case Acad::eNotInDatabase:
      return "eNotInDatabase";
    case Acad::eAlreadyInDb:
      return "eAlreadyInDb";
    case Acad::eCloseFailed:
      return "eCloseFailed";
  }
  return "eUnknownErrorStatus";
}

// Shows the message on the command line and ends the host: the exception
// unwinds the running command; the program catches it and ends without
// writing the drawing.
void acrx_abort(const char* format, ...) {
  std::string message;
  if (format != nullptr) {
    va_list args;
    va_start(args, format);
    message = host::api::FormatVa(format, args);
    va_end(args);
  }
  if (host::Session* session = host::CurrentSession()) session->command_line().Print(message);
  throw host::HostAbort{message};
}
