#include "cli/conversion_result.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace cli {

namespace {

// Each field is "LENGTH:BYTES", in a fixed order; the texts may hold any
// byte, line ends included.
void Put(std::string* text, const std::string& field) {
  *text += std::to_string(field.size());
  *text += ':';
  *text += field;
}

std::string Number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

class Reader {
 public:
  explicit Reader(const std::string& text) : text_(text) {}

  bool Take(std::string* field) {
    size_t colon = text_.find(':', at_);
    if (colon == std::string::npos || colon == at_ || colon - at_ > 12) return false;
    size_t length = 0;
    for (size_t i = at_; i < colon; ++i) {
      if (text_[i] < '0' || text_[i] > '9') return false;
      length = length * 10 + static_cast<size_t>(text_[i] - '0');
    }
    if (length > text_.size() - colon - 1) return false;
    *field = text_.substr(colon + 1, length);
    at_ = colon + 1 + length;
    return true;
  }
  bool Take(size_t* value) {
    std::string field;
    if (!Take(&field) || field.empty() || field.find_first_not_of("0123456789") != field.npos)
      return false;
    *value = std::strtoull(field.c_str(), nullptr, 10);
    return true;
  }
  bool Take(int* value) {
    std::string field;
    if (!Take(&field) || field.empty()) return false;
    char* end = nullptr;
    long number = std::strtol(field.c_str(), &end, 10);
    if (*end != '\0') return false;
    *value = static_cast<int>(number);
    return true;
  }
  bool Take(double* value) {
    std::string field;
    if (!Take(&field) || field.empty()) return false;
    char* end = nullptr;
    *value = std::strtod(field.c_str(), &end);
    return *end == '\0';
  }
  bool Take(bool* value) {
    std::string field;
    if (!Take(&field) || (field != "0" && field != "1")) return false;
    *value = field == "1";
    return true;
  }
  // A count, then that many texts.
  bool Take(std::vector<std::string>* texts) {
    size_t count = 0;
    if (!Take(&count) || count > text_.size()) return false;
    texts->resize(count);
    for (std::string& text : *texts)
      if (!Take(&text)) return false;
    return true;
  }
  bool AtEnd() const { return at_ == text_.size(); }

 private:
  const std::string& text_;
  size_t at_ = 0;
};

}  // namespace

std::string EncodeResult(const ConversionResult& r) {
  std::string text;
  Put(&text, std::to_string(r.exit_code));
  Put(&text, r.out);
  Put(&text, r.err);
  Put(&text, r.error);
  Put(&text, Number(r.seconds));
  Put(&text, r.converted ? "1" : "0");
  Put(&text, std::to_string(r.entities_before));
  Put(&text, std::to_string(r.entities_after));
  Put(&text, std::to_string(r.dimensions_compared));
  Put(&text, std::to_string(r.dimensions_changed));
  Put(&text, std::to_string(r.warnings.size()));
  for (const std::string& warning : r.warnings) Put(&text, warning);
  Put(&text, r.transcript);
  Put(&text, r.has_report ? "1" : "0");
  const report::DrawingReport& d = r.report;
  for (const std::string* field : {&d.input, &d.output, &d.target}) Put(&text, *field);
  Put(&text, std::to_string(d.exit_code));
  for (const std::string* field : {&d.error, &d.json, &d.html, &d.status, &d.summary})
    Put(&text, *field);
  return text;
}

bool DecodeResult(const std::string& text, ConversionResult* result) {
  Reader in(text);
  ConversionResult r;
  report::DrawingReport& d = r.report;
  bool whole = in.Take(&r.exit_code) && in.Take(&r.out) && in.Take(&r.err) && in.Take(&r.error) &&
               in.Take(&r.seconds) && in.Take(&r.converted) && in.Take(&r.entities_before) &&
               in.Take(&r.entities_after) && in.Take(&r.dimensions_compared) &&
               in.Take(&r.dimensions_changed) && in.Take(&r.warnings) && in.Take(&r.transcript) &&
               in.Take(&r.has_report) && in.Take(&d.input) && in.Take(&d.output) &&
               in.Take(&d.target) && in.Take(&d.exit_code) && in.Take(&d.error) &&
               in.Take(&d.json) && in.Take(&d.html) && in.Take(&d.status) && in.Take(&d.summary) &&
               in.AtEnd();
  if (!whole) return false;
  *result = std::move(r);
  return true;
}

}  // namespace cli
