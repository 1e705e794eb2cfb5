#include "host/cmdline/command_name.h"

#include "dxf/tag.h"
#include "dxf/text_case.h"

namespace host {

CommandName ParseCommandName(std::string_view typed) {
  CommandName result;
  std::string_view text = dxf::TrimBlanks(typed);
  size_t i = 0;
  for (; i < text.size(); ++i) {
    if (text[i] == '_') {
      result.english = true;
    } else if (text[i] == '.') {
      result.builtin = true;
    } else if (text[i] == '-') {
      result.command_form = true;
    } else {
      break;
    }
  }
  result.name = dxf::UpperCase1252(text.substr(i));
  return result;
}

}  // namespace host
