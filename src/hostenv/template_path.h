// Template selection: finds the template folder of the host's current user
// profile in the registry, lets the user choose a drawing template there and
// builds the "amsetupdwg" script from the choice.
#pragma once

#include "cstring.h"

// Sets csAmSetupDwgCmd to "amsetupdwg\n" + the chosen path + "\nJA\n", or to
// "amsetupdwg\n\nJA\n" (the add-on's default template) when nothing usable
// was chosen.
void mtemplatestemplatepath();

// The registry path of a profile key below HKEY_CURRENT_USER: the root name
// "HKEY_CURRENT_USER" is removed when the text begins with it (compared
// without regard to case), then the backslashes that follow.
CString RegistryPathBelowCurrentUser(CString key);
