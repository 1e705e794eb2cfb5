#include "host/commands/property_values.h"

#include <cmath>
#include <cstdio>

#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/commands/tag_edit.h"

namespace host::commands {

namespace {

struct Name {
  const char* text;
  int value;
};

constexpr Name kColourNames[] = {
    {"VONLAYER", kColourByLayer},
    {"BYLAYER", kColourByLayer},
    {"VONBLOCK", kColourByBlock},
    {"BYBLOCK", kColourByBlock},
    {"ROT", 1},
    {"RED", 1},
    {"GELB", 2},
    {"YELLOW", 2},
    {"GRÜN", 3},
    {"GREEN", 3},
    {"CYAN", 4},
    {"BLAU", 5},
    {"BLUE", 5},
    {"MAGENTA", 6},
    {"WEISS", 7},
    {"WEIß", 7},
    {"WHITE", 7},
};

constexpr Name kLineWeightNames[] = {
    {"VONLAYER", kLineWeightByLayer}, {"BYLAYER", kLineWeightByLayer},
    {"VONBLOCK", kLineWeightByBlock}, {"BYBLOCK", kLineWeightByBlock},
    {"VORGABE", kLineWeightDefault},  {"DEFAULT", kLineWeightDefault},
};

// The line weights a drawing may carry (hundredths of a millimetre).
constexpr int kLineWeights[] = {0,  5,  9,  13, 15, 18,  20,  25,  30,  35,  40,  50,
                                53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};

std::optional<int> Named(std::string_view text, const Name* begin, const Name* end) {
  std::string upper = dxf::UpperCase1252(dxf::TrimBlanks(text));
  if (!upper.empty() && upper.front() == '_') upper.erase(0, 1);
  for (const Name* n = begin; n != end; ++n) {
    if (upper == dxf::UpperCase1252(n->text)) return n->value;
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> ParseColour(std::string_view text) {
  if (auto named = Named(text, std::begin(kColourNames), std::end(kColourNames))) return named;
  std::optional<long long> number = ParseInteger(text);
  if (number && *number >= 0 && *number <= 256) return static_cast<int>(*number);
  return std::nullopt;
}

std::string ColourText(int colour) {
  if (colour == kColourByLayer) return "VONLAYER";
  if (colour == kColourByBlock) return "VONBLOCK";
  static const char* const kNames[] = {"",     "rot",  "gelb",    "grün",
                                       "cyan", "blau", "magenta", "weiß"};
  if (colour >= 1 && colour <= 7) return kNames[colour];
  return std::to_string(colour);
}

std::optional<int> ParseLineWeight(std::string_view text) {
  if (auto named = Named(text, std::begin(kLineWeightNames), std::end(kLineWeightNames))) {
    return named;
  }
  std::string number(dxf::TrimBlanks(text));
  // A German decimal comma is taken as the point a line weight has.
  for (char& c : number) {
    if (c == ',') c = '.';
  }
  int hundredths = 0;
  if (number.find('.') != std::string::npos) {
    std::optional<double> millimetres = ParseReal(number);
    if (!millimetres) return std::nullopt;
    hundredths = static_cast<int>(std::lround(*millimetres * 100));
    if (std::fabs(*millimetres * 100 - hundredths) > 1e-6) return std::nullopt;
  } else {
    std::optional<long long> value = ParseInteger(number);
    if (!value || *value < -3 || *value > 211) return std::nullopt;
    hundredths = static_cast<int>(*value);
    if (hundredths < 0) return hundredths;
  }
  for (int weight : kLineWeights) {
    if (weight == hundredths) return weight;
  }
  return std::nullopt;
}

std::string LineWeightText(int weight) {
  if (weight == kLineWeightByLayer) return "VONLAYER";
  if (weight == kLineWeightByBlock) return "VONBLOCK";
  if (weight == kLineWeightDefault) return "VORGABE";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f mm", weight / 100.0);
  return buffer;
}

}  // namespace host::commands
