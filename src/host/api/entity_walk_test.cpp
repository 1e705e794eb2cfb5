#include "support/api_test_drawings.h"

namespace host::api {
namespace {

using EntityWalkTest = ApiTest;

// The handles the walk yields from the first entity on.
std::vector<std::string> Walk() {
  std::vector<std::string> handles;
  ads_name entity, next;
  if (acdbEntNext(nullptr, entity) != RTNORM) return handles;
  do {
    resbuf* chain = acdbEntGet(entity);
    handles.push_back(FindItem(chain, 5)->resval.rstring);
    acutRelRb(chain);
  } while (acdbEntNext(entity, next) == RTNORM && (entity[0] = next[0], entity[1] = next[1], true));
  return handles;
}

TEST_F(EntityWalkTest, WalksMainEntitiesAndSubentitiesOfAllSpaces) {
  Open(Drawing2000());
  EXPECT_EQ(Walk(),
            (std::vector<std::string>{"100", "101", "102", "103", "104", "105", "106", "107"}));
}

TEST_F(EntityWalkTest, StepsOnFromAnErasedEntityAndUnerasesOnSecondDelete) {
  Open(Drawing2000());
  ads_name first, second;
  ASSERT_EQ(acdbEntNext(nullptr, first), RTNORM);
  ASSERT_EQ(acdbEntDel(first), RTNORM);
  // The erased entity's name stays valid for stepping on.
  ASSERT_EQ(acdbEntNext(first, second), RTNORM);
  ChainPtr chain(acdbEntGet(second));
  EXPECT_STREQ(FindItem(chain.get(), 5)->resval.rstring, "101");
  EXPECT_EQ(acdbEntGet(first), nullptr);
  EXPECT_EQ(Walk().front(), "101");
  EXPECT_EQ(drawing().WriteToString().find("LINE\n5\n100\n"), std::string::npos);

  ASSERT_EQ(acdbEntDel(first), RTNORM);
  EXPECT_EQ(Walk().front(), "100");
}

TEST_F(EntityWalkTest, ErasingAPolylineTakesItsVertices) {
  Open(Drawing2000());
  ads_name polyline;
  NameOf("104", polyline);
  ASSERT_EQ(acdbEntDel(polyline), RTNORM);
  EXPECT_EQ(Walk(), (std::vector<std::string>{"100", "101", "102", "103", "107"}));
}

TEST_F(EntityWalkTest, OnlyMainEntitiesOfSpacesCanBeErased) {
  Open(Drawing2000());
  ads_name vertex, block_line;
  NameOf("105", vertex);
  NameOf("32", block_line);
  EXPECT_EQ(acdbEntDel(vertex), RTERROR);
  EXPECT_EQ(acdbEntDel(block_line), RTERROR);
  ads_name bad = {999999, vertex[1]};
  EXPECT_EQ(acdbEntDel(bad), RTERROR);
  EXPECT_EQ(Walk().size(), 8u);
}

TEST_F(EntityWalkTest, EndOfTheWalkAndBadNames) {
  Open(Drawing2000());
  ads_name last, next;
  NameOf("107", last);
  EXPECT_EQ(acdbEntNext(last, next), RTERROR);
  ads_name bad = {last[0], last[1] + 1};
  EXPECT_EQ(acdbEntNext(bad, next), RTERROR);
}

TEST_F(EntityWalkTest, EmptyDrawingHasNoFirstEntity) {
  std::string text = DrawingR12();
  size_t begin =
      text.find("0\nSECTION\n2\nENTITIES\n") + std::string("0\nSECTION\n2\nENTITIES\n").size();
  text.erase(begin, text.find("0\nENDSEC\n0\nEOF") - begin);
  Open(text);
  ads_name first;
  EXPECT_EQ(acdbEntNext(nullptr, first), RTERROR);
}

}  // namespace
}  // namespace host::api
