// How a name typed at the idle prompt is read: leading "_" asks for the
// language-independent (English) name, "." for the built-in command, "-" for
// the command-line form of a command that otherwise opens a dialog. The marks
// may be combined in any order ("._scale", "_-style").
#pragma once

#include <string>
#include <string_view>

#include "host/host_only.h"

namespace host {

struct CommandName {
  std::string name;           // upper case, without the marks and blanks around
  bool english = false;       // "_": only English (global) names match
  bool builtin = false;       // ".": the built-in command, not a redefinition
  bool command_form = false;  // "-": the command-line form
};

CommandName ParseCommandName(std::string_view typed);

}  // namespace host
