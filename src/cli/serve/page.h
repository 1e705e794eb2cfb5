// The web page of "dravolin serve": one HTML page, its style sheet and its
// script, served from the program itself (no other site, no build step).
#pragma once

#include <string>

namespace cli::serve {

const std::string& PageHtml();
const std::string& PageStyle();
const std::string& PageScript();

}  // namespace cli::serve
