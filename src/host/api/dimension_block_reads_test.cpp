// A dimension's block is regenerated before anything reads it: a block
// entity through the entity functions, a command that reads blocks, the end
// of the input. Commands that only change what they select let it wait.
#include <gtest/gtest.h>

#include <string>

#include "support/api_test_fixture.h"
#include "support/stand_in_test_drawings.h"

namespace host::api {
namespace {

// The layout drawing with a text (2B) in the dimension's block *D1: the
// dimension (53) measures 40 with DIMLFAC 2, drawn as "80".
std::string DrawingWithDimensionText() {
  std::string pairs = testing::kLayoutDrawing;
  const std::string line_in_block = "0 LINE\n5 2A\n";
  size_t at = pairs.find(line_in_block);
  pairs.insert(at,
               "0 MTEXT\n5 2B\n330 24\n100 AcDbEntity\n8 0\n100 AcDbMText\n10 30.0\n20 12.0\n"
               "30 0.0\n40 2.5\n1 80\n");
  return testing::DxfFromPairs(pairs);
}

class DimensionBlockReadsTest : public ApiTest {
 protected:
  void SetUp() override { Open(DrawingWithDimensionText()); }

  std::string BlockText() {
    ads_name text;
    NameOf("2B", text);
    ChainPtr chain(acdbEntGet(text));
    const resbuf* item = FindItem(chain.get(), 1);
    return item == nullptr ? "<none>" : item->resval.rstring;
  }
  void Run(const std::string& input) {
    session_->command_line().Feed(input);
    session_->command_line().RunPending();
  }
};

TEST_F(DimensionBlockReadsTest, EntGetOfABlockEntityShowsTheDimensionAsItWasLastChanged) {
  ads_name dimension;
  NameOf("53", dimension);
  ChainPtr chain(acdbEntGet(dimension));
  SetString(FindItem(chain.get(), 1), "<> mm");
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  EXPECT_EQ(BlockText(), "80 mm");
  SetString(FindItem(chain.get(), 1), "");
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  EXPECT_EQ(BlockText(), "80");
}

TEST_F(DimensionBlockReadsTest, CommandsThatChangeTheDimensionLeaveItsBlockUpToDate) {
  // DIMOVERRIDE lets the regeneration wait; the end of the input brings it.
  Run("bemüberschr\ndimlfac\n3\n\n_all\n\n");
  EXPECT_NE(BlockText().find("120"), std::string::npos) << BlockText();
  // Back to the modeller's value: the modeller's text again.
  Run("bemüberschr\ndimlfac\n2\n\n_all\n\n._zoom\n_e\n");
  EXPECT_EQ(BlockText(), "80");
}

}  // namespace
}  // namespace host::api
