// ERASELAYER: what it says and what it erases.
#include "passes/erase_layer.h"

#include <string>

#include "support/module_test_fixture.h"

namespace dravolin_test {
namespace {

class EraseLayerTest : public ModuleTest {};

TEST_F(EraseLayerTest, ErasesTheFrameAndSketchLayersOnly) {
  TestDrawing drawing;
  drawing.Layer("1").Layer("11").Layer("Skizzierlinie");
  std::string a = drawing.Paper(Line("1"));
  std::string b = drawing.Model(Line("1"));
  std::string c = drawing.Paper(Line("1"));
  std::string eleven = drawing.Paper(Line("11"));
  std::string genius = drawing.Paper(Line("2"));
  Open(drawing);
  std::string shown = Run("ERASELAYER");
  std::string expected =
      "L\xF6sche Elemente auf Rahmenlayer ...."
      "\nElemente auf Layer 1 gefunden!"
      "\nKeine Elemente auf Layer Skizzierlinie gefunden!"
      "\nKonvertierung fertig!\n";
  ASSERT_GE(shown.size(), expected.size()) << shown;
  EXPECT_EQ(shown.substr(shown.size() - expected.size()), expected) << shown;
  EXPECT_TRUE(Erased(a));
  EXPECT_TRUE(Erased(b));
  EXPECT_TRUE(Erased(c));
  EXPECT_FALSE(Erased(eleven));
  EXPECT_FALSE(Erased(genius));

  shown = Run("ERASELAYER");
  expected =
      "L\xF6sche Elemente auf Rahmenlayer ...."
      "\nKeine Elemente auf Layer 1 gefunden!"
      "\nKeine Elemente auf Layer Skizzierlinie gefunden!"
      "\nKonvertierung fertig!\n";
  EXPECT_EQ(shown.substr(shown.size() - expected.size()), expected) << shown;
}

TEST_F(EraseLayerTest, ReleasesItsSelectionSets) {
  TestDrawing test_drawing;
  std::string sketch = test_drawing.Paper(Line("Skizzierlinie"));
  Open(test_drawing);
  // The host holds at most 128 sets at a time: were they kept, the later
  // selections would fail and erase nothing.
  for (int i = 0; i < 140; ++i) {
    drawing().EraseEntity(Find(sketch), false);
    Direct([] { EraseLayerElements("Skizzierlinie"); });
    ASSERT_TRUE(Erased(sketch)) << "run " << i;
  }
}

}  // namespace
}  // namespace dravolin_test
