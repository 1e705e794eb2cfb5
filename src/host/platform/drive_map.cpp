#include "host/platform/drive_map.h"

#include <cctype>

#include "host/ui/text_encoding.h"

namespace host {
namespace {

bool HasControlCharacters(const std::string& text) {
  for (char c : text) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return true;
  }
  return false;
}

// Drive letter of "X:..." texts, or 0.
char DriveLetter(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0])))
    return static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
  return 0;
}

// Joins the parts of a path below a root, resolving "." and "..": a ".."
// at the root stays at the root.
std::string ResolveBelow(const std::string& root, const std::string& rest) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find_first_of("\\/", start);
    if (end == std::string::npos) end = rest.size();
    std::string part = rest.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string out = root;
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  for (const std::string& part : parts) out += (out == "/" ? "" : "/") + part;
  return out;
}

}  // namespace

DriveMap::DriveMap(const std::vector<std::pair<std::string, std::string>>& entries) {
  for (const auto& [drive, folder] : entries) {
    std::string d = drive;
    while (!d.empty() && (d.back() == '\\' || d.back() == '/')) d.pop_back();
    if (d.size() == 2 && d[1] == ':') d.pop_back();
    if (d.size() != 1 || !std::isalpha(static_cast<unsigned char>(d[0])) || folder.empty())
      continue;
    char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(d[0])));
    drives_.emplace_back(letter, folder);
  }
}

std::optional<std::string> DriveMap::DriveFolder(char letter) const {
  char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  for (const auto& [l, folder] : drives_)
    if (l == upper) return folder;
  return std::nullopt;
}

std::optional<std::string> DriveMap::ToHostPath(const std::string& path) const {
  if (path.empty() || HasControlCharacters(path)) return std::nullopt;
  if (path[0] == '/') return Cp1252ToUtf8(ResolveBelow("/", path.substr(1)));
  char letter = DriveLetter(path);
  std::string rest;
  if (letter) {
    rest = path.substr(2);
  } else if (path[0] == '\\' && (path.size() < 2 || (path[1] != '\\' && path[1] != '/'))) {
    letter = 'C';  // rooted on the current drive
    rest = path;
  } else {
    return std::nullopt;  // relative or UNC
  }
  std::optional<std::string> folder = DriveFolder(letter);
  if (!folder) return std::nullopt;
  return ResolveBelow(*folder, Cp1252ToUtf8(rest));
}

}  // namespace host
