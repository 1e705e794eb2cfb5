// Reading the answers to a command's prompts: points, numbers, keywords.
// Each Ask function repeats its prompt after invalid input, saying why, and
// gives nullopt when input runs out (the command is cancelled).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "host/cmdline/command_line.h"
#include "host/geometry/transform.h"
#include "host/host_only.h"

namespace host::commands {

// "x,y" or "x,y,z" (an "@" in front is taken relative to the origin, the
// substitute host keeps no last point). A lone number is a distance entered
// directly; with no last point and no cursor it runs along X from the
// origin, so "0.0" is the origin.
std::optional<geometry::Vec3> ParsePoint(std::string_view text);

// A keyword as a prompt shows it: the capital letters from the first one on
// are the shortest input that selects it ("LTyp": "LT", "LTY", "LTYP";
// "ltScale": "S" ... "SCALE" or "LTSCALE").
struct Keyword {
  std::string_view local;    // the German keyword
  std::string_view english;  // the language-independent one, also reached with "_"
  int id;
};
// The id of the keyword the input selects; "_" in front allows only the
// English keywords.
std::optional<int> MatchKeyword(std::string_view input, std::span<const Keyword> keywords);

// Asks for a point until one is given.
std::optional<geometry::Vec3> AskPoint(CommandLine& cl, const std::string& prompt);
// Asks for a number; Enter gives fallback when there is one. valid decides
// whether a number is accepted; invalid_message says why not.
std::optional<double> AskReal(CommandLine& cl, const std::string& prompt,
                              std::optional<double> fallback, bool (*valid)(double),
                              const std::string& invalid_message);
// Asks a Ja/Nein question; Enter gives fallback.
std::optional<bool> AskYesNo(CommandLine& cl, const std::string& prompt, bool fallback);

// A number as the host shows a default: four decimals ("2.5000").
std::string FormatDistance(double value);

}  // namespace host::commands
