// The host's 24 line weights (DXF group 370, hundredths of a millimetre) and
// their texts in millimetres, "0.00" to "2.11".
#pragma once

struct LineWeightEntry {
  short code;
  const char* text;
};

constexpr int kLineWeightCount = 24;
extern const LineWeightEntry kLineWeights[kLineWeightCount];

// The text of a line-weight code, or null for any other value (ByLayer -1,
// ByBlock -2, Default -3 among them).
const char* LineWeightText(int code);
