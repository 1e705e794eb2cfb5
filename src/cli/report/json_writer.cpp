#include "cli/report/json_writer.h"

#include <cmath>
#include <cstdio>

#include "dxf/tag.h"
#include "host/ui/text_encoding.h"

namespace cli::report {

std::string JsonString(std::string_view text) {
  std::string valid;
  if (!host::IsValidUtf8(text)) {
    valid = host::Cp1252ToUtf8(text);
    text = valid;
  }
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
          out += escape;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

void JsonWriter::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (!first_.empty()) {
    if (!first_.back()) out_ += ',';
    first_.back() = false;
  }
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  out_ += bracket;
  first_.push_back(true);
}

void JsonWriter::Close(char bracket) {
  out_ += bracket;
  if (!first_.empty()) first_.pop_back();
}

void JsonWriter::Key(std::string_view key) {
  BeforeValue();
  out_ += JsonString(key);
  out_ += ':';
  after_key_ = true;
}

void JsonWriter::String(std::string_view utf8) {
  BeforeValue();
  out_ += JsonString(utf8);
}

void JsonWriter::Number(double value) {
  BeforeValue();
  out_ += std::isfinite(value) ? dxf::FormatDouble(value) : "null";
}

void JsonWriter::Integer(long long value) {
  BeforeValue();
  out_ += std::to_string(value);
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
}

void JsonWriter::Null() {
  BeforeValue();
  out_ += "null";
}

void JsonWriter::Raw(std::string_view json) {
  BeforeValue();
  out_ += json;
}

}  // namespace cli::report
