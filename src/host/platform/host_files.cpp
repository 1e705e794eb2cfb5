#include "host/platform/host_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "host/ui/text_encoding.h"

namespace host {
namespace {

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  return names;
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  // Iterative matching with one back-tracking point for the last "*".
  size_t p = 0, n = 0, star = std::string::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() &&
        (pattern[p] == '?' || FoldCase1252(pattern[p]) == FoldCase1252(name[n]))) {
      ++p, ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::optional<std::string> ResolveNoCase(const std::string& host_path) {
  struct stat st;
  if (stat(host_path.c_str(), &st) == 0) return host_path;
  if (host_path.empty() || host_path[0] != '/') return std::nullopt;
  std::string resolved;
  size_t start = 1;
  while (start <= host_path.size()) {
    size_t end = host_path.find('/', start);
    if (end == std::string::npos) end = host_path.size();
    std::string part = host_path.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    std::string exact = resolved + "/" + part;
    if (stat(exact.c_str(), &st) == 0) {
      resolved = exact;
      continue;
    }
    std::optional<std::string> match;
    std::string wanted = ExternalTextToCp1252(part);
    for (const std::string& entry : Entries(resolved)) {
      if (EqualsNoCase1252(ExternalTextToCp1252(entry), wanted)) {
        match = entry;
        break;
      }
    }
    if (!match) return std::nullopt;
    resolved += "/" + *match;
  }
  return resolved.empty() ? "/" : resolved;
}

std::vector<std::string> ListMatchingFiles(const std::string& host_folder,
                                           const std::vector<std::string>& patterns) {
  std::vector<std::string> names;
  for (const std::string& entry : Entries(host_folder)) {
    std::string name = ExternalTextToCp1252(entry);
    bool matches = false;
    for (const std::string& pattern : patterns) matches = matches || WildcardMatch(pattern, name);
    if (matches && IsRegularFile(host_folder + "/" + entry)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
      auto x = static_cast<unsigned char>(FoldCase1252(a[i]));
      auto y = static_cast<unsigned char>(FoldCase1252(b[i]));
      if (x != y) return x < y;
    }
    return a.size() < b.size();
  });
  return names;
}

}  // namespace host
