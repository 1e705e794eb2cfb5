#include "passes/line_weight_text.h"

const LineWeightEntry kLineWeights[kLineWeightCount] = {
    {0, "0.00"},   {5, "0.05"},   {9, "0.09"},   {13, "0.13"},  {15, "0.15"},  {18, "0.18"},
    {20, "0.20"},  {25, "0.25"},  {30, "0.30"},  {35, "0.35"},  {40, "0.40"},  {50, "0.50"},
    {53, "0.53"},  {60, "0.60"},  {70, "0.70"},  {80, "0.80"},  {90, "0.90"},  {100, "1.00"},
    {106, "1.06"}, {120, "1.20"}, {140, "1.40"}, {158, "1.58"}, {200, "2.00"}, {211, "2.11"},
};

const char* LineWeightText(int code) {
  for (const LineWeightEntry& entry : kLineWeights)
    if (entry.code == code) return entry.text;
  return nullptr;
}
