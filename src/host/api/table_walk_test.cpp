#include "support/api_test_drawings.h"

namespace host::api {
namespace {

using TableWalkTest = ApiTest;

std::vector<std::string> Names(const char* table) {
  std::vector<std::string> names;
  for (resbuf* record = acdbTblNext(table, 1); record != nullptr; record = acdbTblNext(table, 0)) {
    names.push_back(FindItem(record, 2)->resval.rstring);
    acutRelRb(record);
  }
  return names;
}

TEST_F(TableWalkTest, DimensionStylesInTableOrder) {
  Open(Drawing2000());
  EXPECT_EQ(Names("DIMSTYLE"), (std::vector<std::string>{"Standard", "ISO-25"}));
  ChainPtr first(acdbTblNext("dimstyle", 1));
  std::vector<int> types = TypesOf(first.get());
  EXPECT_EQ(std::vector<int>(types.begin(), types.begin() + 3), (std::vector<int>{0, 2, 70}));
  EXPECT_STREQ(first.get()->resval.rstring, "DIMSTYLE");
  EXPECT_EQ(FindItem(first.get(), 176)->resval.rint, 1);
  // No handle, owner or subclass markers.
  EXPECT_EQ(FindItem(first.get(), 105), nullptr);
  EXPECT_EQ(FindItem(first.get(), 100), nullptr);
  EXPECT_EQ(FindItem(first.get(), 330), nullptr);
}

TEST_F(TableWalkTest, BlocksLeaveOutSpacesAndNameTheirFirstEntity) {
  Open(Drawing2000());
  EXPECT_EQ(Names("BLOCK"), (std::vector<std::string>{"Rahmen", "Leer"}));
  ChainPtr rahmen(acdbTblNext("BLOCK", 1));
  EXPECT_EQ(TypesOf(rahmen.get()), (std::vector<int>{0, 2, 70, 10, -2}));
  EXPECT_EQ(FindItem(rahmen.get(), 10)->resval.rpoint[1], 2.0);
  ChainPtr line(acdbEntGet(FindItem(rahmen.get(), -2)->resval.rlname));
  EXPECT_STREQ(FindItem(line.get(), 5)->resval.rstring, "32");
  // An empty definition gives no first entity.
  ChainPtr leer(acdbTblNext("BLOCK", 0));
  EXPECT_EQ(FindItem(leer.get(), -2), nullptr);
  EXPECT_EQ(acdbTblNext("BLOCK", 0), nullptr);
}

TEST_F(TableWalkTest, EachTableKeepsItsOwnPlace) {
  Open(Drawing2000());
  ChainPtr layer(acdbTblNext("LAYER", 1));
  ChainPtr ltype(acdbTblNext("LTYPE", 1));
  ChainPtr layer2(acdbTblNext("LAYER", 0));
  EXPECT_STREQ(FindItem(layer2.get(), 2)->resval.rstring, "Kontur");
  ChainPtr ltype2(acdbTblNext("LTYPE", 0));
  EXPECT_STREQ(FindItem(ltype2.get(), 2)->resval.rstring, "ByLayer");
  EXPECT_EQ(acdbTblNext("NOSUCHTABLE", 1), nullptr);
}

TEST_F(TableWalkTest, SearchFindsWithoutRegardToCaseAndMayMoveTheWalk) {
  Open(Drawing2000());
  ChainPtr found(acdbTblSearch("LAYER", "kontur", 0));
  ASSERT_NE(found.get(), nullptr);
  EXPECT_EQ(FindItem(found.get(), 62)->resval.rint, 1);
  EXPECT_STREQ(FindItem(found.get(), 6)->resval.rstring, "Continuous");
  EXPECT_EQ(acdbTblSearch("LAYER", "AM_0", 0), nullptr);
  ChainPtr standard(acdbTblSearch("DIMSTYLE", "STANDARD", 1));
  ChainPtr next(acdbTblNext("DIMSTYLE", 0));
  EXPECT_STREQ(FindItem(next.get(), 2)->resval.rstring, "ISO-25");
  ChainPtr block(acdbTblSearch("BLOCK", "rahmen", 0));
  EXPECT_NE(FindItem(block.get(), -2), nullptr);
}

TEST_F(TableWalkTest, R12BlockTable) {
  Open(DrawingR12());
  ChainPtr block(acdbTblNext("BLOCK", 1));
  ASSERT_NE(block.get(), nullptr);
  EXPECT_STREQ(FindItem(block.get(), 2)->resval.rstring, "Teil");
  ads_name line, endblk, none;
  std::memcpy(line, FindItem(block.get(), -2)->resval.rlname, sizeof line);
  ASSERT_EQ(acdbEntNext(line, endblk), RTNORM);
  ChainPtr end(acdbEntGet(endblk));
  EXPECT_STREQ(end.get()->rbnext->resval.rstring, "ENDBLK");
  EXPECT_EQ(acdbEntNext(endblk, none), RTERROR);
}

}  // namespace
}  // namespace host::api
