// Command-line options of the dravolin program: long options ("--target
// genius" or "--target=genius"), short ones ("-o OUT", "-oOUT", "-q"),
// positional arguments, and "--" to end the options.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cli {

struct OptionSpec {
  std::string long_name;   // without the leading "--"
  char short_name = 0;     // 0: no short form
  std::string value_name;  // "" for a flag without value, else e.g. "FILE"
  std::string help;        // one line
  bool takes_value() const { return !value_name.empty(); }
};

class ParsedArgs {
 public:
  std::vector<std::string> positional;

  bool Has(const std::string& long_name) const { return values_.count(long_name) != 0; }
  // The option's value; nullopt when it was not given (or is a flag).
  std::optional<std::string> Value(const std::string& long_name) const;
  void Set(const std::string& long_name, std::string value) {
    values_[long_name] = std::move(value);
  }

 private:
  std::map<std::string, std::string> values_;  // flags map to ""
};

// Parses args against decls. "--help"/"-h" is always known and sets "help".
// An option given twice, an unknown option (with a "did you mean" hint), a
// missing value or a value given to a flag fail with a one-line message in
// err.
bool ParseArgs(const std::vector<std::string>& args, const std::vector<OptionSpec>& decls,
               ParsedArgs* out, std::string* err);

// The options part of a command's help text: one line per option, aligned.
std::string FormatOptionsHelp(const std::vector<OptionSpec>& decls);

}  // namespace cli
