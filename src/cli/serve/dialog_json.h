// A dialog as the page draws it: caption, size and controls in dialog
// units, as JSON (UTF-8).
#pragma once

#include <nlohmann/json.hpp>

#include "host/ui/user_channel.h"

namespace cli::serve {

// The dialog's controls and texts; its size comes from its resource, which
// the module has open while the dialog runs.
nlohmann::json DialogJson(const host::DialogView& dialog);

}  // namespace cli::serve
