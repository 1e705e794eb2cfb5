#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>

#include "support/api_test_drawings.h"

namespace host::api {
namespace {

using EntityGetTest = ApiTest;

TEST_F(EntityGetTest, ModelSpaceLineComesInTheHostOrder) {
  Open(Drawing2000());
  ads_name line;
  NameOf("100", line);
  ChainPtr chain(acdbEntGet(line));
  ASSERT_NE(chain.get(), nullptr);
  EXPECT_EQ(TypesOf(chain.get()),
            (std::vector<int>{-1, 0, 330, 5, 100, 67, 410, 8, 370, 100, 10, 11}));
  EXPECT_EQ(chain.get()->resval.rlname[0], line[0]);
  EXPECT_EQ(chain.get()->resval.rlname[1], line[1]);
  EXPECT_STREQ(FindItem(chain.get(), 0)->resval.rstring, "LINE");
  EXPECT_STREQ(FindItem(chain.get(), 5)->resval.rstring, "100");
  EXPECT_EQ(FindItem(chain.get(), 67)->resval.rint, 0);
  EXPECT_STREQ(FindItem(chain.get(), 410)->resval.rstring, "Model");
  EXPECT_STREQ(FindItem(chain.get(), 8)->resval.rstring, "Kontur");
  EXPECT_EQ(FindItem(chain.get(), 370)->resval.rint, 50);
  const double* start = FindItem(chain.get(), 10)->resval.rpoint;
  EXPECT_EQ(start[0], 1.5);
  EXPECT_EQ(start[1], 2.25);
  EXPECT_EQ(start[2], 0.0);
}

TEST_F(EntityGetTest, OwnerNamesTheSpaceAndResolvesToItsBlock) {
  Open(Drawing2000());
  ads_name line;
  NameOf("100", line);
  ChainPtr chain(acdbEntGet(line));
  ChainPtr owner(acdbEntGet(FindItem(chain.get(), 330)->resval.rlname));
  ASSERT_NE(owner.get(), nullptr);
  EXPECT_STREQ(FindItem(owner.get(), 0)->resval.rstring, "BLOCK");
  EXPECT_STREQ(FindItem(owner.get(), 2)->resval.rstring, "*Model_Space");
}

TEST_F(EntityGetTest, PaperSpaceEntityKeepsReactorsAndGetsItsLayoutName) {
  Open(Drawing2000());
  ads_name dimension;
  NameOf("103", dimension);
  ChainPtr chain(acdbEntGet(dimension));
  std::vector<int> types = TypesOf(chain.get());
  std::vector<int> head(types.begin(), types.begin() + 12);
  EXPECT_EQ(head, (std::vector<int>{-1, 0, 330, 5, 102, 330, 102, 100, 67, 410, 8, 100}));
  EXPECT_EQ(FindItem(chain.get(), 67)->resval.rint, 1);
  EXPECT_STREQ(FindItem(chain.get(), 410)->resval.rstring, "Layout1");
  // Without an application list no extended data comes along.
  EXPECT_EQ(FindItem(chain.get(), -3), nullptr);
  EXPECT_EQ(FindItem(chain.get(), 1001), nullptr);
}

TEST_F(EntityGetTest, AnglesComeInRadians) {
  Open(Drawing2000());
  ads_name arc;
  NameOf("101", arc);
  ChainPtr chain(acdbEntGet(arc));
  EXPECT_DOUBLE_EQ(FindItem(chain.get(), 50)->resval.rreal, std::numbers::pi / 2);
  EXPECT_DOUBLE_EQ(FindItem(chain.get(), 51)->resval.rreal, std::numbers::pi);
  EXPECT_EQ(FindItem(chain.get(), 40)->resval.rreal, 5.0);
  EXPECT_EQ(FindItem(chain.get(), 62)->resval.rint, 1);
}

TEST_F(EntityGetTest, TwoDimensionalPointsGetZeroZ) {
  Open(Drawing2000());
  ads_name polyline;
  NameOf("102", polyline);
  ChainPtr chain(acdbEntGet(polyline));
  const double* second = FindItem(chain.get(), 10, 1)->resval.rpoint;
  EXPECT_EQ(second[0], 3.0);
  EXPECT_EQ(second[1], 4.0);
  EXPECT_EQ(second[2], 0.0);
  EXPECT_EQ(FindItem(chain.get(), 20), nullptr);
  EXPECT_EQ(FindItem(chain.get(), 90)->resval.rlong, 2);
}

TEST_F(EntityGetTest, ExtendedDataOnlyForTheApplicationsAsked) {
  Open(Drawing2000());
  ads_name dimension;
  NameOf("103", dimension);
  resbuf app{nullptr, RTSTR, {}};
  char acad[] = "acad";  // names match without regard to case
  app.resval.rstring = acad;
  ChainPtr chain(acdbEntGetX(dimension, &app));
  resbuf* sentinel = FindItem(chain.get(), -3);
  ASSERT_NE(sentinel, nullptr);
  EXPECT_EQ(TypesOf(sentinel),
            (std::vector<int>{-3, 1001, 1000, 1002, 1070, 1040, 1070, 1040, 1002}));
  EXPECT_STREQ(FindItem(chain.get(), 1001)->resval.rstring, "ACAD");
  EXPECT_EQ(FindItem(chain.get(), 1070)->resval.rint, 144);
  EXPECT_EQ(FindItem(chain.get(), 1040)->resval.rreal, 2.0);

  char other[] = "GENIUS*";
  app.resval.rstring = other;
  ChainPtr none(acdbEntGetX(dimension, &app));
  EXPECT_EQ(FindItem(none.get(), -3), nullptr);
  char all[] = "*";
  app.resval.rstring = all;
  ChainPtr everything(acdbEntGetX(dimension, &app));
  EXPECT_NE(FindItem(everything.get(), 1001), nullptr);
}

TEST_F(EntityGetTest, SeqendNamesItsMainEntity) {
  Open(Drawing2000());
  ads_name polyline, vertex, seqend;
  NameOf("104", polyline);
  NameOf("105", vertex);
  NameOf("106", seqend);
  ChainPtr vertex_chain(acdbEntGet(vertex));
  EXPECT_EQ(FindItem(vertex_chain.get(), 330)->resval.rlname[0], polyline[0]);
  EXPECT_EQ(FindItem(vertex_chain.get(), -2), nullptr);
  ChainPtr seqend_chain(acdbEntGet(seqend));
  resbuf* parent = FindItem(seqend_chain.get(), -2);
  ASSERT_NE(parent, nullptr);
  EXPECT_EQ(parent->resval.rlname[0], polyline[0]);
  EXPECT_EQ(parent->resval.rlname[1], polyline[1]);
}

TEST_F(EntityGetTest, StringsMayBeGrownWithRealloc) {
  Open(Drawing2000());
  ads_name text;
  NameOf("107", text);
  ChainPtr chain(acdbEntGet(text));
  resbuf* value = FindItem(chain.get(), 1);
  EXPECT_STREQ(value->resval.rstring, "Maßstab");
  SetString(value, "ein viel längerer Text als vorher");
  EXPECT_STREQ(value->resval.rstring, "ein viel längerer Text als vorher");
}

TEST_F(EntityGetTest, BlockEntitiesAndTheirEndblk) {
  Open(Drawing2000());
  ads_name line;
  NameOf("32", line);
  ChainPtr chain(acdbEntGet(line));
  // A block's entities have no space of their own.
  EXPECT_EQ(FindItem(chain.get(), 67), nullptr);
  EXPECT_EQ(FindItem(chain.get(), 410), nullptr);
  EXPECT_STREQ(FindItem(chain.get(), 6)->resval.rstring, "DASHED");
  ads_name endblk;
  ASSERT_EQ(acdbEntNext(line, endblk), RTNORM);
  ChainPtr end(acdbEntGet(endblk));
  EXPECT_STREQ(FindItem(end.get(), 0)->resval.rstring, "ENDBLK");
  ads_name after;
  EXPECT_EQ(acdbEntNext(endblk, after), RTERROR);
}

TEST_F(EntityGetTest, R12EntitiesGetHandlesOwnersAndSpaces) {
  Open(DrawingR12());
  ads_name first, second;
  ASSERT_EQ(acdbEntNext(nullptr, first), RTNORM);
  ASSERT_EQ(acdbEntNext(first, second), RTNORM);
  ChainPtr model(acdbEntGet(first));
  EXPECT_EQ(TypesOf(model.get()), (std::vector<int>{-1, 0, 330, 5, 67, 410, 8, 10, 11}));
  ChainPtr paper(acdbEntGet(second));
  EXPECT_EQ(FindItem(paper.get(), 67)->resval.rint, 1);
  EXPECT_STREQ(FindItem(paper.get(), 410)->resval.rstring, "Layout1");
  EXPECT_STRNE(FindItem(model.get(), 5)->resval.rstring, FindItem(paper.get(), 5)->resval.rstring);
}

TEST_F(EntityGetTest, StaleAndForeignNamesGiveNothing) {
  Open(Drawing2000());
  ads_name line;
  NameOf("100", line);
  ads_name forged = {line[0] + 100000, line[1]};
  EXPECT_EQ(acdbEntGet(forged), nullptr);
  Open(Drawing2000());  // a new session: the old name is stale
  EXPECT_EQ(acdbEntGet(line), nullptr);
  ads_name none = {0, 0};
  EXPECT_EQ(acdbEntGet(none), nullptr);
}

// Released strings serve later chains; the module may have grown them or
// put blocks of its own in their place.
TEST_F(EntityGetTest, StringsTheModuleResizedServeLaterChains) {
  Open(Drawing2000());
  ads_name line;
  NameOf("100", line);
  for (int round = 0; round < 3; ++round) {
    resbuf* chain = acdbEntGet(line);
    ASSERT_NE(chain, nullptr);
    resbuf* layer = FindItem(chain, 8);
    layer->resval.rstring = static_cast<char*>(std::realloc(layer->resval.rstring, 200));
    std::strcpy(layer->resval.rstring, std::string(150, 'L').c_str());
    resbuf* type = FindItem(chain, 0);
    type->resval.rstring = static_cast<char*>(std::realloc(type->resval.rstring, 2));
    std::strcpy(type->resval.rstring, "T");
    resbuf* layout = FindItem(chain, 410);
    std::free(layout->resval.rstring);
    layout->resval.rstring = static_cast<char*>(std::malloc(40));
    std::strcpy(layout->resval.rstring, "a layout name of about forty");
    acutRelRb(chain);
  }
  ChainPtr chain(acdbEntGet(line));
  EXPECT_STREQ(FindItem(chain.get(), 0)->resval.rstring, "LINE");
  EXPECT_STREQ(FindItem(chain.get(), 5)->resval.rstring, "100");
  EXPECT_STREQ(FindItem(chain.get(), 410)->resval.rstring, "Model");
  EXPECT_STREQ(FindItem(chain.get(), 8)->resval.rstring, "Kontur");
}

}  // namespace
}  // namespace host::api
