// The per-user registry: keys below HKEY_CURRENT_USER with text values, kept
// in a small text file that a person can read and edit:
//
//   ; comment
//   [Software\Dravolin\Host\R15.0\Profiles]
//   @=<<Unnamed Profile>>
//   [Software\Dravolin\Host\R15.0\Profiles\<<Unnamed Profile>>\GENERAL]
//   TemplatePath=/usr/share/dravolin/templates
//
// A "[Key\Path]" line opens a key (path below HKEY_CURRENT_USER, parts
// separated by backslashes); "Name=Value" lines below it are its values
// ("@" names the key's default value). The value is everything after the
// first "=", blanks included. Lines starting with ";" or "#" and blank lines
// are ignored. The file is UTF-8 (a file that is not valid UTF-8 is read as
// code page 1252); inside the program texts are 1252. Key and value names
// are found without regard to case. Every change is written back at once,
// atomically (a temporary file renamed over the old one).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/host_only.h"

namespace host {

// The host's profiles and the default profile's key.
constexpr const char* kProfilesKey = "Software\\Dravolin\\Host\\R15.0\\Profiles";
constexpr const char* kDefaultProfileName = "<<Unnamed Profile>>";
constexpr const char* kRootKeyName = "HKEY_CURRENT_USER";
// Where the file records the TemplatePath the running installation gave the
// default profile, to tell it from one a user set.
constexpr const char* kInstallationKey = "Software\\Dravolin\\Host\\Installation";

class RegistryStore {
 public:
  // path: the file (UTF-8 host path); templates_dir: what the default
  // profile's GENERAL\TemplatePath names when the file is created.
  RegistryStore(std::string path, std::string templates_dir);

  // Reads the file, or creates it with the default profile when it does not
  // exist. The default profile's TemplatePath follows the installation that
  // runs (templates_dir) while it is the one an installation wrote; a path
  // a user set stays. On a file that cannot be read or parsed, returns false with err
  // ("FILE:LINE: what was expected"), and the store holds the default
  // profile in memory only: the faulty file is never overwritten.
  bool Load(std::string* err);

  // Keys: a path below HKEY_CURRENT_USER ("Software\A\B"). A key path is
  // valid when its parts are non-empty and free of control characters.
  static bool ValidKeyPath(const std::string& path);
  bool HasKey(const std::string& path) const;
  // Creates the key and its parents; created says whether it was new.
  // Returns false for an invalid path or when the file cannot be written
  // (err says why; the key then exists in memory).
  bool CreateKey(const std::string& path, bool* created, std::string* err);
  // The key's path as stored (its own spelling), or nullopt.
  std::optional<std::string> StoredKeyPath(const std::string& path) const;
  // Names of the direct subkeys of a key, as stored.
  std::vector<std::string> SubKeys(const std::string& path) const;

  // Values ("" or "@" is the default value). SetValue creates the key;
  // values may not contain line ends.
  std::optional<std::string> Value(const std::string& key, const std::string& name) const;
  bool SetValue(const std::string& key, const std::string& name, const std::string& value,
                std::string* err);

  const std::string& path() const { return path_; }
  // False when the file was faulty or could not be written: changes stay in memory.
  bool persistent() const { return persistent_; }

  // The file's text for the current content (UTF-8).
  std::string Serialize() const;

 private:
  struct Value_ {
    std::string name, data;
  };
  struct Key {
    std::string path;
    std::vector<Value_> values;
  };
  Key* FindKey(const std::string& path);
  const Key* FindKey(const std::string& path) const;
  Key& AddKey(const std::string& path);
  void SetDefaults();
  bool FollowInstallation(std::string* err);
  bool Parse(const std::string& text, std::string* err);
  bool Persist(std::string* err);

  std::string path_;
  std::string templates_dir_;
  std::vector<Key> keys_;  // in file order
  bool persistent_ = true;
};

// The registry file to use: the option, else $DRAVOLIN_REGISTRY, else
// $XDG_CONFIG_HOME/dravolin/registry.txt, else $HOME/.config/dravolin/registry.txt.
std::string RegistryFilePath(const std::string& option);

// Writes text to path atomically: into a temporary file beside it, synced,
// then renamed over it. Creates missing parent folders.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* err);

}  // namespace host
