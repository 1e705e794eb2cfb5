// Helpers for the texts of input errors.
#pragma once

#include <string>
#include <string_view>

#include "dxf/document.h"

namespace dxf {

// Quotes a piece of bad input for a message: at most 40 bytes, control
// bytes as \xNN, so that a 10 MB line or binary garbage stays readable.
std::string QuoteFound(std::string_view text);

inline Error MakeError(const std::string& file, size_t line, int code, std::string message) {
  Error err;
  err.file = file;
  err.line = line;
  err.code = code;
  err.message = std::move(message);
  return err;
}

}  // namespace dxf
