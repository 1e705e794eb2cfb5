#include "host/platform/registry_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "host/ui/text_encoding.h"

namespace host {
namespace {

bool HasLineEnd(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos || text.find('\0') != std::string::npos;
}

constexpr off_t kMaxFileSize = 1 << 20;

std::string NormalName(const std::string& name) { return name == "@" ? "" : name; }

// The parent of a key path ("" for a top-level key).
std::string ParentKey(const std::string& path) {
  size_t cut = path.rfind('\\');
  return cut == std::string::npos ? "" : path.substr(0, cut);
}

bool MakeFolders(const std::string& folder, std::string* err) {
  if (folder.empty()) return true;
  struct stat st;
  if (stat(folder.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    *err = folder + ": not a folder";
    return false;
  }
  size_t cut = folder.find_last_of('/');
  if (cut != std::string::npos && cut > 0 && !MakeFolders(folder.substr(0, cut), err)) return false;
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    *err = folder + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace

RegistryStore::RegistryStore(std::string path, std::string templates_dir)
    : path_(std::move(path)), templates_dir_(std::move(templates_dir)) {}

bool RegistryStore::ValidKeyPath(const std::string& path) {
  if (path.empty()) return false;
  size_t start = 0;
  for (;;) {
    size_t end = path.find('\\', start);
    size_t length = (end == std::string::npos ? path.size() : end) - start;
    if (length == 0 || length > 255) return false;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  for (char c : path) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return false;
  }
  return true;
}

RegistryStore::Key* RegistryStore::FindKey(const std::string& path) {
  for (Key& key : keys_)
    if (EqualsNoCase1252(key.path, path)) return &key;
  return nullptr;
}

const RegistryStore::Key* RegistryStore::FindKey(const std::string& path) const {
  for (const Key& key : keys_)
    if (EqualsNoCase1252(key.path, path)) return &key;
  return nullptr;
}

RegistryStore::Key& RegistryStore::AddKey(const std::string& path) {
  // Parents first, in their own spelling when they exist.
  std::string parent = ParentKey(path);
  std::string stored = path;
  if (!parent.empty()) {
    Key& p = FindKey(parent) ? *FindKey(parent) : AddKey(parent);
    stored = p.path + path.substr(parent.size());
  }
  if (Key* existing = FindKey(stored)) return *existing;
  keys_.push_back(Key{stored, {}});
  return keys_.back();
}

void RegistryStore::SetDefaults() {
  keys_.clear();
  std::string profiles = kProfilesKey;
  AddKey(profiles).values.push_back({"", kDefaultProfileName});
  std::string general = profiles + "\\" + kDefaultProfileName + "\\GENERAL";
  AddKey(general).values.push_back({"TemplatePath", Utf8ToCp1252(templates_dir_)});
  AddKey(kInstallationKey).values.push_back({"TemplatePath", Utf8ToCp1252(templates_dir_)});
}

bool RegistryStore::FollowInstallation(std::string* err) {
  std::string general = std::string(kProfilesKey) + "\\" + kDefaultProfileName + "\\GENERAL";
  std::optional<std::string> path = Value(general, "TemplatePath");
  if (!path) return true;
  std::string mine = Utf8ToCp1252(templates_dir_);
  std::optional<std::string> written = Value(kInstallationKey, "TemplatePath");
  // Without the record (a file of an older version) a path ending in
  // "/templates" is taken as the one an installation wrote.
  bool is_default =
      written ? *path == *written
              : path->size() >= 10 && path->compare(path->size() - 10, 10, "/templates") == 0;
  if (!is_default || (*path == mine && written)) return true;
  for (const char* key : {general.c_str(), kInstallationKey}) {
    Key& k = FindKey(key) ? *FindKey(key) : AddKey(key);
    bool set = false;
    for (Value_& v : k.values) {
      if (EqualsNoCase1252(v.name, "TemplatePath")) {
        v.data = mine;
        set = true;
      }
    }
    if (!set) k.values.push_back({"TemplatePath", mine});
  }
  return Persist(err);
}

bool RegistryStore::Parse(const std::string& text, std::string* err) {
  // A hand-edited file may be in either encoding.
  std::string_view raw = text;
  if (raw.substr(0, 3) == "\xEF\xBB\xBF") raw.remove_prefix(3);  // a UTF-8 byte-order mark
  std::string content = ExternalTextToCp1252(raw);
  std::vector<Key> keys;
  Key* current = nullptr;
  std::istringstream lines(content);
  std::string line;
  for (size_t number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == ';' || line[first] == '#') continue;
    auto fail = [&](const std::string& what) {
      *err = Utf8ToCp1252(path_) + ":" + std::to_string(number) + ": " + what + ", found \"" +
             line + "\"";
      return false;
    };
    if (line[first] == '[') {
      size_t close = line.find_last_of(']');
      if (close == std::string::npos || close < first ||
          line.find_first_not_of(" \t", close + 1) != std::string::npos)
        return fail("expected \"[Key\\Path]\"");
      std::string path = line.substr(first + 1, close - first - 1);
      if (!ValidKeyPath(path)) return fail("expected a key path of non-empty parts");
      current = nullptr;
      for (Key& k : keys)
        if (EqualsNoCase1252(k.path, path)) current = &k;
      if (!current) {
        keys.push_back(Key{path, {}});
        current = &keys.back();
      }
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string::npos) return fail("expected \"[Key\\Path]\" or \"Name=Value\"");
    if (!current) return fail("expected a \"[Key\\Path]\" line before the first value");
    size_t name_end = line.find_last_not_of(" \t", equals == 0 ? 0 : equals - 1);
    std::string name = equals == first ? "" : line.substr(first, name_end - first + 1);
    name = NormalName(name);
    std::string data = line.substr(equals + 1);
    bool replaced = false;
    for (Value_& v : current->values) {
      if (EqualsNoCase1252(v.name, name)) {
        v.data = data;
        replaced = true;
      }
    }
    if (!replaced) current->values.push_back({name, data});
  }
  keys_ = std::move(keys);
  // Keys whose parents are missing from the file still have parents.
  for (size_t i = 0; i < keys_.size(); ++i) {
    std::string path = keys_[i].path;
    AddKey(path);
  }
  return true;
}

bool RegistryStore::Load(std::string* err) {
  // Whatever goes wrong, the default profile is there (in memory only).
  auto fail = [&](const std::string& why) {
    *err = Utf8ToCp1252(path_) + ": " + why;
    SetDefaults();
    persistent_ = false;
    return false;
  };
  struct stat st;
  bool exists = stat(path_.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return fail(std::strerror(errno));
  if (!exists || (S_ISREG(st.st_mode) && st.st_size == 0)) {  // first use
    SetDefaults();
    persistent_ = true;
    return Persist(err);
  }
  if (!S_ISREG(st.st_mode)) return fail("not a regular file");
  if (st.st_size > kMaxFileSize) return fail("too large for a registry file");
  std::ifstream in(path_, std::ios::binary);
  std::ostringstream text;
  if (!in || !(text << in.rdbuf()) || in.bad()) return fail("cannot be read");
  if (!Parse(text.str(), err)) {
    std::string why = *err;
    SetDefaults();
    persistent_ = false;
    *err = why;
    return false;
  }
  persistent_ = true;
  return FollowInstallation(err);
}

bool RegistryStore::HasKey(const std::string& path) const { return FindKey(path) != nullptr; }

std::optional<std::string> RegistryStore::StoredKeyPath(const std::string& path) const {
  const Key* key = FindKey(path);
  if (!key) return std::nullopt;
  return key->path;
}

std::vector<std::string> RegistryStore::SubKeys(const std::string& path) const {
  std::vector<std::string> names;
  for (const Key& key : keys_) {
    if (key.path.size() <= path.size() + 1 || key.path[path.size()] != '\\' ||
        !EqualsNoCase1252(key.path.substr(0, path.size()), path))
      continue;
    std::string rest = key.path.substr(path.size() + 1);
    if (rest.find('\\') == std::string::npos) names.push_back(rest);
  }
  return names;
}

bool RegistryStore::CreateKey(const std::string& path, bool* created, std::string* err) {
  if (!ValidKeyPath(path)) {
    *err = "invalid key path";
    return false;
  }
  *created = FindKey(path) == nullptr;
  if (!*created) return true;
  AddKey(path);
  return Persist(err);
}

std::optional<std::string> RegistryStore::Value(const std::string& key,
                                                const std::string& name) const {
  const Key* k = FindKey(key);
  if (!k) return std::nullopt;
  std::string wanted = NormalName(name);
  for (const Value_& v : k->values)
    if (EqualsNoCase1252(v.name, wanted)) return v.data;
  return std::nullopt;
}

bool RegistryStore::SetValue(const std::string& key, const std::string& name,
                             const std::string& value, std::string* err) {
  std::string wanted = NormalName(name);
  if (!ValidKeyPath(key) || HasLineEnd(value) || HasLineEnd(wanted) ||
      wanted.find('=') != std::string::npos || (!wanted.empty() && wanted[0] == '[')) {
    *err = "invalid key, value name or value";
    return false;
  }
  Key& k = FindKey(key) ? *FindKey(key) : AddKey(key);
  for (Value_& v : k.values) {
    if (EqualsNoCase1252(v.name, wanted)) {
      v.data = value;
      return Persist(err);
    }
  }
  k.values.push_back({wanted, value});
  return Persist(err);
}

std::string RegistryStore::Serialize() const {
  std::string text =
      "; Dravolin registry: keys below HKEY_CURRENT_USER. A \"[Key\\Path]\" line opens a\n"
      "; key; \"Name=Value\" lines below it are its text values (\"@\" is the default\n"
      "; value). Lines starting with \";\" are comments.\n";
  for (const Key& key : keys_) {
    text += "\n[" + key.path + "]\n";
    for (const Value_& v : key.values)
      text += (v.name.empty() ? "@" : v.name) + "=" + v.data + "\n";
  }
  return Cp1252ToUtf8(text);
}

bool RegistryStore::Persist(std::string* err) {
  if (!persistent_) return true;  // a faulty file is left as it is
  std::string why;
  if (!WriteFileAtomically(path_, Serialize(), &why)) {
    *err = Utf8ToCp1252(why);
    persistent_ = false;
    return false;
  }
  return true;
}

std::string RegistryFilePath(const std::string& option) {
  if (!option.empty()) return option;
  if (const char* env = std::getenv("DRAVOLIN_REGISTRY"); env && *env) return env;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return std::string(xdg) + "/dravolin/registry.txt";
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::string(home) + "/.config/dravolin/registry.txt";
  return ".dravolin-registry.txt";
}

bool WriteFileAtomically(const std::string& given, const std::string& text, std::string* err) {
  // Through a symbolic link to the file it names, so that the link stays.
  std::string path = given;
  if (char* real = realpath(given.c_str(), nullptr)) {
    path = real;
    std::free(real);
  }
  size_t cut = path.find_last_of('/');
  if (cut != std::string::npos && cut > 0 && !MakeFolders(path.substr(0, cut), err)) return false;
  std::string temp = path + ".tmp-XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) {
    *err = path + ": " + std::strerror(errno);
    return false;
  }
  const char* data = text.data();
  size_t left = text.size();
  while (left > 0) {
    ssize_t n = write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      *err = path + ": " + std::strerror(errno);
      close(fd);
      unlink(temp.c_str());
      return false;
    }
    data += n;
    left -= static_cast<size_t>(n);
  }
  if (fsync(fd) != 0 || close(fd) != 0) {
    *err = path + ": " + std::strerror(errno);
    unlink(temp.c_str());
    return false;
  }
  if (rename(temp.c_str(), path.c_str()) != 0) {
    *err = path + ": " + std::strerror(errno);
    unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace host
