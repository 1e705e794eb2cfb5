// The report as one self-contained HTML page: a summary table of all
// drawings, then a section per drawing with its pictures before and after
// side by side, the dimension check and the tables of changes. Inline CSS
// and SVG only: no scripts, nothing fetched.
#include <string>

#include "cli/report/report_parts.h"
#include "host/render/svg_writer.h"
#include "host/ui/text_encoding.h"

namespace cli::report {

namespace {

// UTF-8 for arrows and dashes, written as bytes: the sources' literals are
// compiled into code page 1252.
constexpr char kArrow[] = "\xE2\x86\x92";

constexpr char kStyle[] = R"(
body { font-family: sans-serif; margin: 24px; color: #222; }
h1 { font-size: 1.6em; }
h2 { font-size: 1.3em; border-bottom: 2px solid #446; padding-bottom: 4px; margin-top: 40px; }
h3 { font-size: 1.05em; margin: 18px 0 6px; }
table { border-collapse: collapse; margin: 4px 0 12px; }
th, td { border: 1px solid #bbb; padding: 3px 8px; text-align: left; vertical-align: top; }
th { background: #eef; }
td.n { text-align: right; font-variant-numeric: tabular-nums; }
.ok { color: #060; font-weight: bold; }
.bad { color: #a00; font-weight: bold; }
.warn { color: #a60; font-weight: bold; }
.pictures { display: grid; grid-template-columns: 1fr 1fr; gap: 16px; }
.pictures h3 { margin-top: 0; }
figure { margin: 0 0 12px; }
figure svg { display: block; width: 100%; height: auto; max-height: 80vh;
             border: 1px solid #999; background: #fff; }
figcaption { font-size: 0.9em; color: #444; margin-top: 4px; }
.none { color: #777; font-style: italic; }
pre { background: #f6f6f6; padding: 8px; overflow-x: auto; font-size: 0.85em; }
)";

std::string Utf8(const std::string& text_1252) { return host::Cp1252ToUtf8(text_1252); }
std::string Number(size_t n) { return std::to_string(n); }
std::string Factor(const std::optional<double>& value) {
  return value ? host::render::FormatFixed(*value, 9) : "none";
}

std::string Cell(const std::string& html, bool numeric = false) {
  return numeric ? "<td class=\"n\">" + html + "</td>" : "<td>" + html + "</td>";
}

std::string HeadRow(std::initializer_list<const char*> names) {
  std::string row = "<tr>";
  for (const char* name : names) row += std::string("<th>") + name + "</th>";
  return row + "</tr>\n";
}

std::string None(const char* what) { return std::string("<p class=\"none\">") + what + "</p>\n"; }

std::string More(size_t total) {
  if (total <= kMaxListed) return "";
  return "<p class=\"none\">The first " + Number(kMaxListed) + " of " + Number(total) +
         " are listed.</p>\n";
}

std::string PictureColumn(const char* title, const std::vector<SpacePicture>& pictures,
                          size_t max_primitives) {
  std::string html = std::string("<div class=\"column\">\n<h3>") + title + "</h3>\n";
  if (pictures.empty()) html += None("Nothing to show.");
  for (const SpacePicture& entry : pictures) {
    html += "<figure>\n" + entry.picture.svg + "\n<figcaption>" +
            Html(PictureCaption(entry, max_primitives)) + "</figcaption>\n</figure>\n";
  }
  return html + "</div>\n";
}

std::string CheckTable(const ConversionCheck& check) {
  std::string html = "<h3>Dimension check</h3>\n<p>";
  html += check.changed.empty() ? "<span class=\"ok\">Every dimension shows its value as before."
                                : "<span class=\"bad\">" + Number(check.changed.size()) +
                                      " dimension(s) show another value.";
  html += "</span> " + Number(check.dimensions_compared) + " compared";
  if (check.dimensions_gone > 0) html += ", " + Number(check.dimensions_gone) + " gone";
  if (!check.unchecked.empty()) {
    html += ", " + Number(check.unchecked.size()) + " not checked for want of a value (";
    for (size_t i = 0; i < check.unchecked.size() && i < kMaxListed; ++i)
      html += (i ? ", " : "") + Html(Utf8(check.unchecked[i]));
    html += check.unchecked.size() > kMaxListed ? ", ...)" : ")";
  }
  if (!check.by_handle) html += " (the drawing has no handles: compared in order)";
  html += ".</p>\n";
  if (!check.changed.empty()) {
    html += "<table>\n" + HeadRow({"Handle", "Layout", "Before", "After"});
    for (const DimensionChange& change : check.changed) {
      html += "<tr>" + Cell(Html(Utf8(change.handle))) + Cell(Html(Utf8(change.layout))) +
              Cell(host::render::FormatFixed(change.before, 9), true) +
              Cell(host::render::FormatFixed(change.after, 9), true) + "</tr>\n";
    }
    html += "</table>\n";
  }
  return html;
}

std::string CountTable(const char* title, const char* name, const std::vector<CountRow>& rows) {
  std::string html = std::string("<h3>") + title + "</h3>\n";
  if (rows.empty()) return html + None("None.");
  html += "<table>\n" + HeadRow({name, "Before", "After"});
  for (const CountRow& row : rows) {
    html += "<tr>" + Cell(Html(Utf8(row.name))) + Cell(Number(row.before), true) +
            Cell(Number(row.after), true) + "</tr>\n";
  }
  return html + "</table>\n";
}

std::string NameList(const char* title, const std::vector<std::string>& names) {
  std::string html = std::string("<h3>") + title + "</h3>\n";
  if (names.empty()) return html + None("None.");
  html += "<p>";
  for (size_t i = 0; i < names.size(); ++i) html += (i ? ", " : "") + Html(Utf8(names[i]));
  return html + "</p>\n";
}

std::string TypeTable(const char* title, const std::vector<TypeCount>& counts, size_t total) {
  std::string html = std::string("<h3>") + title + " (" + Number(total) + ")</h3>\n";
  if (counts.empty()) return html + None("None.");
  html += "<table>\n" + HeadRow({"Type", "Entities"});
  for (const TypeCount& count : counts)
    html += "<tr>" + Cell(Html(count.type)) + Cell(Number(count.count), true) + "</tr>\n";
  return html + "</table>\n";
}

std::string ChangeTables(const Changes& changes) {
  std::string html;
  html += CountTable("Entities per space", "Space", changes.spaces);
  html += CountTable("Entities per layer", "Layer", changes.layers);
  html += NameList("Layers created", changes.layers_created);
  if (!changes.layers_removed.empty()) html += NameList("Layers removed", changes.layers_removed);
  if (!changes.by_handle) {
    return html + None("The drawing has no handles: its entities cannot be followed one by one.");
  }
  html += "<h3>Entities rewritten</h3>\n";
  if (changes.rewritten.empty()) {
    html += None("None.");
  } else {
    html += "<table>\n" + HeadRow({"Type", "Property", "From", "To", "Entities"});
    for (const RewriteRow& row : changes.rewritten) {
      html += "<tr>" + Cell(Html(row.type)) + Cell(row.property) + Cell(Html(Utf8(row.from))) +
              Cell(Html(Utf8(row.to))) + Cell(Number(row.count), true) + "</tr>\n";
    }
    html += "</table>\n";
  }
  html += "<h3>Dimension texts cleaned of \"N/A\" (" + Number(changes.texts_cleaned.size()) +
          ")</h3>\n";
  if (changes.texts_cleaned.empty()) {
    html += None("None.");
  } else {
    html += "<table>\n" + HeadRow({"Handle", "Before", "After"});
    for (size_t i = 0; i < changes.texts_cleaned.size() && i < kMaxListed; ++i) {
      const TextChange& change = changes.texts_cleaned[i];
      html += "<tr>" + Cell(Html(Utf8(change.handle))) + Cell(Html(Utf8(change.before))) +
              Cell(Html(Utf8(change.after))) + "</tr>\n";
    }
    html += "</table>\n" + More(changes.texts_cleaned.size());
  }
  html += "<h3>Dimensions rescaled: DIMLFAC override changed (" + Number(changes.rescaled.size()) +
          ")</h3>\n";
  if (changes.rescaled.empty()) {
    html += None("None.");
  } else {
    html += "<table>\n" + HeadRow({"Handle", "DIMLFAC before", "DIMLFAC after"});
    for (size_t i = 0; i < changes.rescaled.size() && i < kMaxListed; ++i) {
      const FactorChange& change = changes.rescaled[i];
      html += "<tr>" + Cell(Html(Utf8(change.handle))) + Cell(Factor(change.before), true) +
              Cell(Factor(change.after), true) + "</tr>\n";
    }
    html += "</table>\n" + More(changes.rescaled.size());
  }
  html += TypeTable("Entities deleted or dropped", changes.deleted, changes.deleted_total);
  html += TypeTable("Entities added", changes.added, changes.added_total);
  return html;
}

}  // namespace

std::string Html(std::string_view text) {
  std::string valid;
  if (!host::IsValidUtf8(text)) {
    valid = host::Cp1252ToUtf8(text);
    text = valid;
  }
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\t') out += c;
    }
  }
  return out;
}

std::string DrawingHtml(const ConvertedDrawing& drawing) {
  std::string html = "<section class=\"drawing\">\n<h2>" + Html(drawing.input) + " " + kArrow +
                     " " + Html(drawing.output.empty() ? "(nothing written)" : drawing.output) +
                     "</h2>\n<p>Target: " + Html(drawing.target) + "</p>\n";
  html += "<div class=\"pictures\">\n" +
          PictureColumn("Before", *drawing.before, drawing.max_primitives) +
          PictureColumn("After", *drawing.after, drawing.max_primitives) + "</div>\n";
  if (drawing.warnings && !drawing.warnings->empty()) {
    html += "<h3>Warnings</h3>\n<ul class=\"warnings\">\n";
    for (const std::string& warning : *drawing.warnings)
      html += "<li class=\"warn\">" + Html(warning) + "</li>\n";
    html += "</ul>\n";
  }
  html += CheckTable(*drawing.check);
  html += ChangeTables(*drawing.changes);
  if (!drawing.transcript.empty()) {
    html += "<details>\n<summary>Transcript of the host</summary>\n<pre>" +
            Html(drawing.transcript) + "</pre>\n</details>\n";
  }
  return html + "</section>\n";
}

std::string SummaryCells(const ConvertedDrawing& drawing) {
  const ConversionCheck& check = *drawing.check;
  std::string dimensions = Number(check.dimensions_compared);
  if (!check.changed.empty())
    dimensions += ", <span class=\"bad\">" + Number(check.changed.size()) + " changed</span>";
  return Cell(Number(check.entities_before) + " " + kArrow + " " + Number(check.entities_after),
              true) +
         Cell(dimensions, true) + Cell(Number(drawing.changes->texts_cleaned.size()), true) +
         Cell(Number(drawing.changes->rescaled.size()), true);
}

std::string FailedHtml(const DrawingReport& entry, const std::vector<SpacePicture>* before) {
  std::string html = "<section class=\"drawing\">\n<h2>" + Html(entry.input) +
                     "</h2>\n<p>Target: " + Html(entry.target) +
                     "</p>\n<p class=\"bad\">Not converted (exit code " +
                     std::to_string(entry.exit_code) + "): " + Html(entry.error) + "</p>\n";
  if (before) {
    html += "<div class=\"pictures\">\n" +
            PictureColumn("Before", *before, host::render::SvgOptions().max_primitives) +
            "</div>\n";
  }
  return html + "</section>\n";
}

namespace {

// The entry's status word, coloured by what it means: green for a plain
// conversion, red for a failure, amber for anything between.
std::string ResultText(const DrawingReport& entry) {
  std::string status = entry.status;
  if (status.empty())
    status = entry.exit_code == 0 && !entry.summary.empty() ? "converted" : "failed";
  const char* kind = status == "converted" ? "ok" : status == "failed" ? "bad" : "warn";
  if (entry.exit_code != 0 && status != "failed") kind = "bad";
  std::string text = "<span class=\"" + std::string(kind) + "\">" + Html(status) + "</span>";
  if (entry.exit_code != 0) text += " (exit code " + std::to_string(entry.exit_code) + ")";
  if (!entry.error.empty()) text += ": " + Html(entry.error);
  return text;
}

}  // namespace

std::string HtmlDocument(const std::vector<DrawingReport>& entries) {
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>Dravolin conversion report</title>\n<style>" +
      std::string(kStyle) + "</style>\n</head>\n<body>\n<h1>Dravolin conversion report</h1>\n";
  html += "<table class=\"summary\">\n" +
          HeadRow({"Drawing", "Target", "Output", "Result", "Entities", "Dimensions checked",
                   "Texts cleaned", "Dimensions rescaled"});
  for (size_t i = 0; i < entries.size(); ++i) {
    const DrawingReport& entry = entries[i];
    std::string anchor = "drawing-" + std::to_string(i + 1);
    html += "<tr>" + Cell("<a href=\"#" + anchor + "\">" + Html(entry.input) + "</a>") +
            Cell(Html(entry.target)) + Cell(Html(entry.output));
    if (entry.summary.empty())
      html += "<td colspan=\"5\">" + ResultText(entry) + "</td>";
    else
      html += Cell(ResultText(entry)) + entry.summary;
    html += "</tr>\n";
  }
  html += "</table>\n";
  for (size_t i = 0; i < entries.size(); ++i) {
    const DrawingReport& entry = entries[i];
    html += "<div id=\"drawing-" + std::to_string(i + 1) + "\">\n";
    // An entry may fail after its report was made (the output not written).
    if (entry.html.empty()) {
      html += FailedHtml(entry);
    } else {
      if (entry.exit_code != 0 && !entry.summary.empty()) {
        html += "<p class=\"bad\">Failed (exit code " + std::to_string(entry.exit_code) +
                "): " + Html(entry.error) + "</p>\n";
      }
      html += entry.html;
    }
    html += "</div>\n";
  }
  return html + "</body>\n</html>\n";
}

}  // namespace cli::report
