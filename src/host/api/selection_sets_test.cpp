#include "support/api_test_drawings.h"

namespace host::api {
namespace {

class SelectionSetsTest : public ApiTest {
 protected:
  void SetUp() override { Open(Drawing2000()); }

  // The handles selected by a filter of (code, text) items, or {"-"} when
  // acedSSGet fails.
  std::vector<std::string> Select(std::vector<std::pair<int, std::string>> items) {
    std::vector<resbuf> filter(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
      filter[i].restype = static_cast<short>(items[i].first);
      filter[i].resval.rstring = items[i].second.data();
      filter[i].rbnext = i + 1 < items.size() ? &filter[i + 1] : nullptr;
    }
    ads_name set;
    if (acedSSGet("X", nullptr, nullptr, filter.empty() ? nullptr : filter.data(), set) != RTNORM) {
      return {"-"};
    }
    std::vector<std::string> handles;
    long length = 0;
    EXPECT_EQ(acedSSLength(set, &length), RTNORM);
    for (long i = 0; i < length; ++i) {
      ads_name entity;
      EXPECT_EQ(acedSSName(set, i, entity), RTNORM);
      ChainPtr chain(acdbEntGet(entity));
      handles.push_back(FindItem(chain.get(), 5)->resval.rstring);
    }
    EXPECT_EQ(acedSSFree(set), RTNORM);
    return handles;
  }
};

using Handles = std::vector<std::string>;

TEST_F(SelectionSetsTest, WholeDrawingMainEntitiesOnly) {
  EXPECT_EQ(Select({}), (Handles{"100", "101", "102", "103", "104", "107"}));
}

TEST_F(SelectionSetsTest, LayerWithoutRegardToCase) {
  EXPECT_EQ(Select({{8, "kontur"}}), (Handles{"100"}));
  EXPECT_EQ(Select({{8, "Skizzierlinie"}}), (Handles{"107"}));
  EXPECT_EQ(Select({{8, "1"}}), (Handles{"-"}));
}

TEST_F(SelectionSetsTest, WildcardsOnTypeLayerAndLayout) {
  EXPECT_EQ(Select({{0, "*LINE"}}), (Handles{"100", "102", "104"}));
  EXPECT_EQ(Select({{0, "~*LINE"}}), (Handles{"101", "103", "107"}));
  EXPECT_EQ(Select({{0, "arc,text"}}), (Handles{"101", "107"}));
  EXPECT_EQ(Select({{410, "Layout#"}}), (Handles{"103", "107"}));
  EXPECT_EQ(Select({{410, "model"}, {8, "[0K]*"}}), (Handles{"100", "101", "102", "104"}));
}

TEST_F(SelectionSetsTest, ConditionsAreAllMet) {
  EXPECT_EQ(Select({{0, "DIMENSION"}, {8, "0"}}), (Handles{"103"}));
  EXPECT_EQ(Select({{0, "DIMENSION"}, {8, "Kontur"}}), (Handles{"-"}));
}

TEST_F(SelectionSetsTest, SpaceAndIntegerGroups) {
  resbuf space{nullptr, 67, {}};
  space.resval.rint = 1;
  ads_name set;
  ASSERT_EQ(acedSSGet("X", nullptr, nullptr, &space, set), RTNORM);
  long length = 0;
  ASSERT_EQ(acedSSLength(set, &length), RTNORM);
  EXPECT_EQ(length, 2);
  acedSSFree(set);
  resbuf color{nullptr, 62, {}};
  color.resval.rint = 256;  // entities without 62 are ByLayer
  ASSERT_EQ(acedSSGet("X", nullptr, nullptr, &color, set), RTNORM);
  ASSERT_EQ(acedSSLength(set, &length), RTNORM);
  EXPECT_EQ(length, 5);
  acedSSFree(set);
}

TEST_F(SelectionSetsTest, ErasedEntitiesAreNotSelected) {
  ads_name line;
  NameOf("100", line);
  ASSERT_EQ(acdbEntDel(line), RTNORM);
  EXPECT_EQ(Select({{8, "Kontur"}}), (Handles{"-"}));
}

TEST_F(SelectionSetsTest, AtMost128SetsAtATime) {
  std::vector<std::array<long, 2>> sets(128);
  for (auto& set : sets) ASSERT_EQ(acedSSGet("X", nullptr, nullptr, nullptr, set.data()), RTNORM);
  ads_name one_more;
  EXPECT_EQ(acedSSGet("X", nullptr, nullptr, nullptr, one_more), RTERROR);
  ASSERT_EQ(acedSSFree(sets[5].data()), RTNORM);
  EXPECT_EQ(acedSSGet("X", nullptr, nullptr, nullptr, one_more), RTNORM);
  // A freed set's name is stale, even when its slot is used again.
  long length = 0;
  EXPECT_EQ(acedSSLength(sets[5].data(), &length), RTERROR);
  EXPECT_EQ(acedSSFree(sets[5].data()), RTERROR);
  EXPECT_EQ(acedSSLength(one_more, &length), RTNORM);
}

TEST_F(SelectionSetsTest, BadRequestsAreRefused) {
  ads_name set;
  EXPECT_EQ(acedSSGet(nullptr, nullptr, nullptr, nullptr, set), RTERROR);
  EXPECT_EQ(acedSSGet("W", nullptr, nullptr, nullptr, set), RTERROR);
  resbuf op{nullptr, -4, {}};
  char text[] = "<OR";
  op.resval.rstring = text;
  EXPECT_EQ(acedSSGet("X", nullptr, nullptr, &op, set), RTERROR);
  ASSERT_EQ(acedSSGet("_X", nullptr, nullptr, nullptr, set), RTNORM);
  ads_name entity;
  EXPECT_EQ(acedSSName(set, 6, entity), RTERROR);
  EXPECT_EQ(acedSSName(set, -1, entity), RTERROR);
  ads_name line;
  NameOf("100", line);
  long length;
  EXPECT_EQ(acedSSLength(line, &length), RTERROR);
}

}  // namespace
}  // namespace host::api
