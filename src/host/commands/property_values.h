// Values of colour and line-weight properties as a user types them, in the
// German words of a German host or the English ones.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/host_only.h"

namespace host::commands {

constexpr int kColourByBlock = 0;
constexpr int kColourByLayer = 256;
constexpr int kLineWeightByLayer = -1;
constexpr int kLineWeightByBlock = -2;
constexpr int kLineWeightDefault = -3;

// VonLayer/ByLayer → 256, VonBlock/ByBlock → 0, a colour number 1..255 or
// a standard colour's name (rot/red = 1 ... weiß/white = 7).
std::optional<int> ParseColour(std::string_view text);
// The colour as the host shows it: VONLAYER, VONBLOCK, rot ... or the number.
std::string ColourText(int colour);

// VonLayer/ByLayer → -1, VonBlock/ByBlock → -2, Vorgabe/Default → -3, or a
// standard line weight in millimetres ("0.25", "0,25") or hundredths ("25").
std::optional<int> ParseLineWeight(std::string_view text);
std::string LineWeightText(int weight);

}  // namespace host::commands
