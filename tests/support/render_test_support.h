// Small drawings for the picture tests: a LAYER table, block definitions
// and entities given as "CODE VALUE" lines, wrapped into a whole file.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "support/drawing_test_support.h"

namespace host::render::testing {

// layers: LAYER records; blocks: BLOCK ... ENDBLK records; entities: the
// ENTITIES section's records ("67 1" puts one into the layout).
inline std::unique_ptr<Drawing> DrawingOf(std::string_view layers, std::string_view blocks,
                                          std::string_view entities) {
  std::string text = "0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1015\n9 $TILEMODE\n70 0\n0 ENDSEC\n";
  text += "0 SECTION\n2 TABLES\n0 TABLE\n2 LAYER\n70 1\n";
  text += "0 LAYER\n2 0\n70 0\n62 7\n6 CONTINUOUS\n";
  text += layers;
  text += "\n0 ENDTAB\n0 ENDSEC\n0 SECTION\n2 BLOCKS\n";
  text += blocks;
  text += "\n0 ENDSEC\n0 SECTION\n2 ENTITIES\n";
  text += entities;
  text += "\n0 ENDSEC\n0 EOF\n";
  return host::testing::LoadDrawing(host::testing::TagLines(text));
}

}  // namespace host::render::testing
