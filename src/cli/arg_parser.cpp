#include "cli/arg_parser.h"

#include <algorithm>

#include "cli/spellcheck.h"

namespace cli {

std::optional<std::string> ParsedArgs::Value(const std::string& long_name) const {
  auto it = values_.find(long_name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

namespace {

const OptionSpec kHelpOption{"help", 'h', "", "show this help and exit"};

const OptionSpec* FindLong(const std::vector<OptionSpec>& decls, const std::string& name) {
  if (name == kHelpOption.long_name) return &kHelpOption;
  for (const OptionSpec& decl : decls)
    if (decl.long_name == name) return &decl;
  return nullptr;
}

const OptionSpec* FindShort(const std::vector<OptionSpec>& decls, char name) {
  if (name == kHelpOption.short_name) return &kHelpOption;
  for (const OptionSpec& decl : decls)
    if (decl.short_name == name) return &decl;
  return nullptr;
}

std::string UnknownOption(const std::string& shown, const std::string& bare,
                          const std::vector<OptionSpec>& decls) {
  std::vector<std::string> names{kHelpOption.long_name};
  for (const OptionSpec& decl : decls) names.push_back(decl.long_name);
  std::string message = "unknown option '" + shown + "'";
  std::string hint = ClosestMatch(bare, names, 2);
  if (!hint.empty()) message += ", did you mean '--" + hint + "'?";
  return message;
}

}  // namespace

bool ParseArgs(const std::vector<std::string>& args, const std::vector<OptionSpec>& decls,
               ParsedArgs* out, std::string* err) {
  bool options_ended = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      out->positional.push_back(arg);  // "-" alone is a name too (standard input)
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    const OptionSpec* decl = nullptr;
    std::string shown;
    std::optional<std::string> inline_value;
    if (arg[1] == '-') {
      std::string name = arg.substr(2);
      size_t equals = name.find('=');
      if (equals != std::string::npos) {
        inline_value = name.substr(equals + 1);
        name.resize(equals);
      }
      shown = "--" + name;
      decl = FindLong(decls, name);
      if (!decl) {
        *err = UnknownOption(shown, name, decls);
        return false;
      }
    } else {
      shown = arg.substr(0, 2);
      decl = FindShort(decls, arg[1]);
      if (!decl) {
        *err = UnknownOption(shown, arg.substr(1), decls);
        return false;
      }
      if (arg.size() > 2) {
        if (!decl->takes_value()) {
          *err = "option '" + shown + "' takes no value (in '" + arg + "')";
          return false;
        }
        inline_value = arg.substr(2);
      }
    }
    if (out->Has(decl->long_name) && decl != &kHelpOption) {
      *err = "option '--" + decl->long_name + "' given more than once";
      return false;
    }
    if (!decl->takes_value()) {
      if (inline_value) {
        *err = "option '" + shown + "' takes no value";
        return false;
      }
      out->Set(decl->long_name, "");
      continue;
    }
    if (!inline_value) {
      if (i + 1 >= args.size()) {
        *err = "option '" + shown + "' needs a value (" + decl->value_name + ")";
        return false;
      }
      inline_value = args[++i];
    }
    out->Set(decl->long_name, *inline_value);
  }
  return true;
}

std::string FormatOptionsHelp(const std::vector<OptionSpec>& decls) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const OptionSpec& decl : decls) {
    std::string left = decl.short_name ? std::string("-") + decl.short_name + ", " : "    ";
    left += "--" + decl.long_name;
    if (decl.takes_value()) left += " " + decl.value_name;
    rows.emplace_back(std::move(left), decl.help);
  }
  rows.emplace_back("-h, --help", kHelpOption.help);
  size_t width = 0;
  for (const auto& row : rows) width = std::max(width, row.first.size());
  std::string text;
  for (const auto& [left, help] : rows)
    text += "  " + left + std::string(width - left.size() + 2, ' ') + help + "\n";
  return text;
}

}  // namespace cli
