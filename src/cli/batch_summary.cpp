#include "cli/batch_summary.h"

#include <algorithm>
#include <cstdio>

#include "cli/terminal_text.h"

namespace cli {

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string Padded(const std::string& text, size_t width, bool right) {
  size_t shown = DisplayWidth(text);
  std::string pad(width > shown ? width - shown : 0, ' ');
  return right ? pad + text : text + pad;
}

// The end of text in at most width columns, "..." in front when cut.
std::string TailIn(const std::string& text, size_t width) {
  if (DisplayWidth(text) <= width) return text;
  if (width <= 3) return std::string(width, '.');
  size_t keep = width - 3;
  size_t at = text.size();
  for (size_t columns = 0; at > 0 && columns < keep;) {
    --at;
    if (!IsContinuationByte(text[at])) ++columns;
  }
  return "..." + text.substr(at);
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", seconds);
  return text;
}

// The dimension check of a converted drawing, or why a drawing failed (its
// error without the file name in front).
std::string Check(const std::string& file, const ConversionResult& r) {
  if (!r.converted) {
    std::string reason = r.error;
    if (reason.rfind(file + ": ", 0) == 0) reason.erase(0, file.size() + 2);
    return reason.empty() ? "-" : reason;
  }
  if (r.dimensions_changed)
    return std::to_string(r.dimensions_changed) + " of " + std::to_string(r.dimensions_compared) +
           " CHANGED";
  return std::to_string(r.dimensions_compared) + " compared, none changed";
}

}  // namespace

std::string ResultWord(const ConversionResult& result, bool dry_run) {
  if (result.crashed) return "crashed";
  if (result.exit_code == 0)
    return std::string(dry_run ? "dry run" : "converted") +
           (result.warnings.empty() ? "" : " with warnings");
  return result.exit_code == 3 ? "aborted" : "failed";
}

std::string FormatSummary(const std::vector<SummaryRow>& rows, double total_seconds) {
  std::vector<std::vector<std::string>> cells = {
      {"file", "result", "seconds", "entities", "dimension check or reason"}};
  size_t converted = 0, failed = 0, warned = 0;
  for (const SummaryRow& row : rows) {
    const ConversionResult& r = row.result;
    (r.exit_code == 0 ? converted : failed)++;
    if (r.exit_code == 0 && !r.warnings.empty()) ++warned;
    std::string entities =
        r.converted ? std::to_string(r.entities_before) + " -> " + std::to_string(r.entities_after)
                    : "-";
    cells.push_back({TerminalText(row.file), ResultWord(r, row.dry_run), Seconds(r.seconds),
                     entities, TerminalText(Check(row.file, r))});
  }
  std::vector<size_t> widths(cells[0].size(), 0);
  for (const auto& line : cells)
    for (size_t c = 0; c < line.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(line[c]));
  std::string text;
  for (const auto& line : cells) {
    std::string row;
    for (size_t c = 0; c < line.size(); ++c) {
      bool last = c + 1 == line.size();
      // Numbers are right-aligned; the last column is not padded.
      row += last ? line[c] : Padded(line[c], widths[c], c == 2) + "  ";
    }
    text += row + "\n";
  }
  text += std::to_string(rows.size()) + (rows.size() == 1 ? " drawing: " : " drawings: ") +
          std::to_string(converted) + (rows.size() && rows[0].dry_run ? " dry run" : " converted") +
          (warned ? " (" + std::to_string(warned) + " with warnings)" : "") + ", " +
          std::to_string(failed) + " failed, " + Seconds(total_seconds) + " s\n";
  return text;
}

std::string ProgressLine(size_t done, size_t total, size_t failed, const std::string& current,
                         size_t running, size_t width, size_t warned) {
  constexpr size_t kBar = 20;
  size_t filled = total ? done * kBar / total : kBar;
  std::string line = "[" + std::string(filled, '#') + std::string(kBar - filled, ' ') + "] " +
                     std::to_string(done) + "/" + std::to_string(total);
  if (failed) line += ", " + std::to_string(failed) + " failed";
  if (warned) line += ", " + std::to_string(warned) + " with warnings";
  if (!current.empty()) {
    std::string now = TerminalText(current);
    if (running > 1) now += " (+" + std::to_string(running - 1) + ")";
    size_t used = DisplayWidth(line) + 2;
    if (width > used + 4) line += "  " + TailIn(now, width - used);
  }
  return DisplayWidth(line) <= width ? line : TailIn(line, width);
}

}  // namespace cli
