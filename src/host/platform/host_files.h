// File-system look-ups for the Windows stand-ins: names are matched without
// regard to case, as the Windows file system does, and listed in code page
// 1252 (host names are UTF-8).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/host_only.h"

namespace host {

// "*" any run of characters, "?" any one character; without regard to case.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// The existing host path that matches host_path when every part is compared
// without regard to case (the exact path first), or nullopt.
std::optional<std::string> ResolveNoCase(const std::string& host_path);

// Names (1252) of the regular files in a host folder that match one of the
// patterns, sorted without regard to case.
std::vector<std::string> ListMatchingFiles(const std::string& host_folder,
                                           const std::vector<std::string>& patterns);

}  // namespace host
