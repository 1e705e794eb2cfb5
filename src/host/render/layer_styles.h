// How entities show: the layer table's colours and visibility, and an
// entity's own colour, layer and visibility as a picture resolves them,
// inside inserted blocks too.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dxf/tag.h"
#include "host/database/drawing.h"
#include "host/host_only.h"
#include "host/render/colour_index.h"

namespace host::render {

// The properties every entity carries in its common part.
struct CommonProperties {
  std::string layer = "0";         // code 8, decoded to code page 1252
  int colour = kByLayer;           // code 62
  std::optional<Rgb> true_colour;  // code 420
  bool invisible = false;          // code 60 = 1
};

CommonProperties ReadCommonProperties(const std::vector<dxf::TagView>& tags,
                                      const dxf::Encoding& encoding);

// What a block reference hands to the entities of its block: entities on
// layer 0 take its layer, BYBLOCK colours take its colour.
struct Inherited {
  std::string layer = "0";
  Rgb colour = 0x000000;  // BYBLOCK outside any block: the colour of index 7
};

class LayerStyles {
 public:
  explicit LayerStyles(const Drawing& drawing);

  // False for layers that are off (negative colour) or frozen (70 bit 1).
  bool Shown(std::string_view layer) const;
  // The colour of the layer; layers missing from the table show in 7.
  Rgb Colour(std::string_view layer) const;

  // The layer an entity is on where it shows: layer 0 inside a block means
  // the layer of the reference.
  std::string EffectiveLayer(const CommonProperties& entity, const Inherited& context,
                             bool in_block) const;
  Rgb EffectiveColour(const CommonProperties& entity, const std::string& effective_layer,
                      const Inherited& context) const;

 private:
  struct Layer {
    Rgb colour = 0;
    bool shown = true;
  };
  const Layer* Find(std::string_view layer) const;
  std::unordered_map<std::string, Layer> layers_;  // by upper-case name
};

}  // namespace host::render
