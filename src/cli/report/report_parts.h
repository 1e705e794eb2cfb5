// The parts a report is made of, in JSON and in HTML: one drawing's entry
// and the documents that join the entries.
#pragma once

#include <string>
#include <vector>

#include "cli/dimension_check.h"
#include "cli/report/changes.h"
#include "cli/report/pictures.h"
#include "cli/report/report.h"

namespace cli::report {

// Everything known of one converted drawing. Paths and the transcript are
// UTF-8; the texts in changes are code page 1252.
struct ConvertedDrawing {
  std::string input;
  std::string output;
  std::string target;
  const Changes* changes = nullptr;
  const ConversionCheck* check = nullptr;
  const std::vector<SpacePicture>* before = nullptr;
  const std::vector<SpacePicture>* after = nullptr;
  std::string transcript;
  size_t max_primitives = 0;
  const std::vector<std::string>* warnings = nullptr;  // UTF-8

  // "converted" or "converted with warnings".
  const char* status() const {
    return warnings && !warnings->empty() ? "converted with warnings" : "converted";
  }
};

// Lists in the report stop after this many items; the counts stay whole.
inline constexpr size_t kMaxListed = 500;

std::string DrawingJson(const ConvertedDrawing& drawing);
std::string DrawingHtml(const ConvertedDrawing& drawing);
std::string SummaryCells(const ConvertedDrawing& drawing);

std::string FailedJson(const DrawingReport& entry);
std::string FailedHtml(const DrawingReport& entry,
                       const std::vector<SpacePicture>* before = nullptr);

std::string JsonDocument(const std::vector<DrawingReport>& entries);
std::string HtmlDocument(const std::vector<DrawingReport>& entries);

// Text (UTF-8; invalid bytes taken as code page 1252) escaped for HTML.
std::string Html(std::string_view text);

}  // namespace cli::report
