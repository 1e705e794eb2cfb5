// Windows paths on the host: a drive letter stands for a host folder
// ("C:" -> /home/me/c). Backslashes become slashes; "." and ".." are resolved
// without ever leaving the drive's folder (as "C:\.." is "C:\" on Windows).
// Texts are code page 1252; host paths are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/host_only.h"

namespace host {

class DriveMap {
 public:
  DriveMap() = default;
  // Entries "C:" (or "c", "C:\") -> host folder; entries that name no drive
  // letter are ignored.
  explicit DriveMap(const std::vector<std::pair<std::string, std::string>>& entries);

  // The host path for a path the program wrote:
  // - "X:\a\b", "X:/a/b", "X:a" -> the folder of drive X + "/a/b";
  // - "\a\b" (rooted, no drive) -> on drive C:;
  // - "/a/b" -> a host path already, kept (converted to UTF-8).
  // nullopt for unmapped drives, relative paths, UNC paths ("\\server\x")
  // and texts with control characters.
  std::optional<std::string> ToHostPath(const std::string& path) const;

  // The host folder of a drive letter, or nullopt.
  std::optional<std::string> DriveFolder(char letter) const;

 private:
  std::vector<std::pair<char, std::string>> drives_;  // upper-case letter -> folder
};

}  // namespace host
