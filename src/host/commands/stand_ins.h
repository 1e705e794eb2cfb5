// The stand-ins for the built-in and add-on commands that the conversion's
// scripts call, registered on a session's command line.
#pragma once

#include "host/host_only.h"

namespace host {

class CommandLine;

// Registers every stand-in command (English and German names) and the
// functions of the expression evaluator. Called once per command line; the
// clipboard and the settings kept in memory belong to these registrations.
void RegisterStandIns(CommandLine& command_line);

}  // namespace host
