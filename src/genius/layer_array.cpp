#include "genius/layer_array.h"

CString LayerArray[2 * kLayerPairCount];

namespace {

struct LayerPair {
  const char* source;
  const char* coarse;
  const char* fine;
};

// "AM_10" to "AM_12" stand after "AM_1", which they contain: the last match
// wins, so they keep their own targets.
constexpr LayerPair kLayerPairs[kLayerPairCount] = {
    {"AM_0", "0", "0"},
    {"AM_1", "1", "1"},
    {"AM_2", "2", "2A"},
    {"AM_3", "3", "3A"},
    {"AM_4", "4", "4"},
    {"AM_5", "5", "5"},
    {"AM_6", "6", "6"},
    {"AM_7", "7", "7A"},
    {"AM_8", "8", "8"},
    {"AM_9", "9", "9"},
    {"AM_10", "2A", "2A"},
    {"AM_11", "11", "11"},
    {"AM_12", "12", "12"},
    {"Mittellinie", "7", "7"},
    {"Detailkreislinien", "2A", "2A"},
    {"Mittelpunktmarkierung", "7", "7"},
    {"Schnittansichtslinien", "2A", "2A"},
};

void Fill(bool fine) {
  for (int i = 0; i < kLayerPairCount; ++i) {
    LayerArray[2 * i] = fine ? kLayerPairs[i].fine : kLayerPairs[i].coarse;
    LayerArray[2 * i + 1] = kLayerPairs[i].source;
  }
}

}  // namespace

void InitLayerArray() { Fill(false); }

void InitLayerArrayA() { Fill(true); }

void ClearLayerArray() {
  for (CString& text : LayerArray) text.Empty();
}

bool GeniusLayerFor(const char* layer_name, CString* target) {
  // Matching is done against the name as it was, not against a target
  // written by an earlier pair.
  const CString name = layer_name;
  bool matched = false;
  for (int i = 0; i < kLayerPairCount; ++i) {
    const CString& genius = LayerArray[2 * i];
    const CString& source = LayerArray[2 * i + 1];
    // An empty source text occurs in every name; an empty target is no layer.
    if (source.IsEmpty() || genius.IsEmpty()) continue;
    if (name.Find(source) < 0) continue;
    *target = genius;
    matched = true;
  }
  return matched;
}
