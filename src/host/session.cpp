#include "host/session.h"

#include "host/api/api_state.h"
#include "host/cmdline/command_line.h"
#include "host/commands/stand_ins.h"
#include "host/database/drawing.h"
#include "host/platform/platform.h"
#include "host/ui/user_channel.h"

namespace host {
namespace {

Session* current_session = nullptr;

}  // namespace

Session::Session(std::unique_ptr<Drawing> drawing, UserChannel* user, SessionOptions options)
    : drawing_(std::move(drawing)), user_(user), options_(std::move(options)) {
  command_line_ = std::make_unique<CommandLine>(this);
  platform_ = std::make_unique<Platform>(*this, options_);
  RegisterStandIns(*command_line_);
}

Session::~Session() {
  if (current_session == this) current_session = nullptr;
  // Entity names and selection sets handed out belong to this drawing; a
  // session made later at the same address must not accept them.
  ForgetApiState();
  // The platform's command stack refers to the command line.
  platform_.reset();
  command_line_.reset();
}

void Session::SetDrawing(std::unique_ptr<Drawing> drawing) {
  ForgetApiState();
  drawing_ = std::move(drawing);
}

std::unique_ptr<Drawing> Session::TakeDrawing() {
  ForgetApiState();
  return std::move(drawing_);
}

Session* CurrentSession() { return current_session; }

void SetCurrentSession(Session* session) { current_session = session; }

}  // namespace host
