#include "host/commands/prompt_input.h"

#include <cstdio>
#include <vector>

#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/commands/tag_edit.h"

namespace host::commands {

namespace {

bool IsCapital1252(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7);
}

bool MatchesKeyword(std::string_view input, std::string_view keyword) {
  if (input.empty() || keyword.empty()) return false;
  std::string upper_input = dxf::UpperCase1252(input);
  if (upper_input == dxf::UpperCase1252(keyword)) return true;
  size_t first_capital = 0;
  while (first_capital < keyword.size() && !IsCapital1252(keyword[first_capital])) ++first_capital;
  if (first_capital == keyword.size()) first_capital = 0;
  std::string_view tail = keyword.substr(first_capital);
  size_t abbreviation = 0;
  while (abbreviation < tail.size() && IsCapital1252(tail[abbreviation])) ++abbreviation;
  std::string upper_tail = dxf::UpperCase1252(tail);
  return upper_input.size() >= std::max<size_t>(abbreviation, 1) &&
         upper_input.size() <= upper_tail.size() &&
         upper_tail.compare(0, upper_input.size(), upper_input) == 0;
}

}  // namespace

std::optional<geometry::Vec3> ParsePoint(std::string_view text) {
  text = dxf::TrimBlanks(text);
  if (!text.empty() && text.front() == '@') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::vector<double> values;
  size_t start = 0;
  while (true) {
    size_t comma = text.find(',', start);
    std::optional<double> value =
        ParseReal(text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
    if (!value) return std::nullopt;
    values.push_back(*value);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (values.size() > 3) return std::nullopt;
  geometry::Vec3 point;
  point.x = values[0];
  if (values.size() > 1) point.y = values[1];
  if (values.size() > 2) point.z = values[2];
  return point;
}

std::optional<int> MatchKeyword(std::string_view input, std::span<const Keyword> keywords) {
  input = dxf::TrimBlanks(input);
  bool english_only = !input.empty() && input.front() == '_';
  if (english_only) input.remove_prefix(1);
  if (!english_only) {
    for (const Keyword& k : keywords) {
      if (MatchesKeyword(input, k.local)) return k.id;
    }
  }
  for (const Keyword& k : keywords) {
    if (MatchesKeyword(input, k.english)) return k.id;
  }
  return std::nullopt;
}

std::optional<geometry::Vec3> AskPoint(CommandLine& cl, const std::string& prompt) {
  while (true) {
    std::optional<std::string> answer = cl.Ask(prompt);
    if (!answer) return std::nullopt;
    if (std::optional<geometry::Vec3> point = ParsePoint(*answer)) return point;
    cl.Refuse("Punkt oder Option-Schlüsselwort erforderlich.");
  }
}

std::optional<double> AskReal(CommandLine& cl, const std::string& prompt,
                              std::optional<double> fallback, bool (*valid)(double),
                              const std::string& invalid_message) {
  while (true) {
    std::optional<std::string> answer = cl.Ask(prompt);
    if (!answer) return std::nullopt;
    if (fallback && dxf::TrimBlanks(*answer).empty()) return fallback;
    std::optional<double> value = ParseReal(*answer);
    if (!value) {
      cl.Refuse("Erfordert numerischen Wert.");
    } else if (valid && !valid(*value)) {
      cl.Refuse(invalid_message);
    } else {
      return value;
    }
  }
}

std::optional<bool> AskYesNo(CommandLine& cl, const std::string& prompt, bool fallback) {
  static constexpr Keyword kYesNo[] = {{"Ja", "Yes", 1}, {"Nein", "No", 0}};
  while (true) {
    std::optional<std::string> answer = cl.Ask(prompt);
    if (!answer) return std::nullopt;
    if (dxf::TrimBlanks(*answer).empty()) return fallback;
    if (std::optional<int> id = MatchKeyword(*answer, kYesNo)) return *id == 1;
    cl.Refuse("Ungültige Option. Ja oder Nein eingeben.");
  }
}

std::string FormatDistance(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.4f", value);
  return buffer;
}

}  // namespace host::commands
