#include <cstdlib>

#include "support/api_test_drawings.h"

namespace host::api {
namespace {

using UserFunctionsTest = ApiTest;

TEST_F(UserFunctionsTest, PrintfGoesToTheCommandLineAtAnyLength) {
  Open(Drawing2000());
  acutPrintf("\nErsetze %s durch %d%%", "<>/N/A", 5);
  std::string long_text(5000, 'x');
  acutPrintf("%s|", long_text.c_str());
  EXPECT_NE(transcript().find("Ersetze <>/N/A durch 5%"), std::string::npos);
  EXPECT_NE(transcript().find(long_text + "|"), std::string::npos);
  // Either side of the length that is written in one go.
  for (size_t length : {254, 255}) {
    std::string edge(length, 'y');
    acutPrintf("%s#", edge.c_str());
    EXPECT_NE(transcript().find("|" + edge + "#"), std::string::npos) << length;
    acutPrintf("|");
  }
}

TEST_F(UserFunctionsTest, SystemVariables) {
  Open(Drawing2000(), "/tmp/zeichnungen/teil.dxf");
  resbuf value{};
  ASSERT_EQ(acedGetVar("CPROFILE", &value), RTNORM);
  EXPECT_EQ(value.restype, RTSTR);
  EXPECT_STREQ(value.resval.rstring, "<<Unnamed Profile>>");
  std::free(value.resval.rstring);
  ASSERT_EQ(acedGetVar("tilemode", &value), RTNORM);
  EXPECT_EQ(value.restype, RTSHORT);
  EXPECT_EQ(value.resval.rint, 0);
  ASSERT_EQ(acedGetVar("CLAYER", &value), RTNORM);
  EXPECT_STREQ(value.resval.rstring, "Kontur");
  std::free(value.resval.rstring);
  ASSERT_EQ(acedGetVar("DWGNAME", &value), RTNORM);
  EXPECT_STREQ(value.resval.rstring, "teil.dxf");
  std::free(value.resval.rstring);
  ASSERT_EQ(acedGetVar("DWGPREFIX", &value), RTNORM);
  EXPECT_STREQ(value.resval.rstring, "/tmp/zeichnungen/");
  std::free(value.resval.rstring);
  ASSERT_EQ(acedGetVar("HANDSEED", &value), RTNORM);
  EXPECT_STREQ(value.resval.rstring, "200");
  std::free(value.resval.rstring);
  ASSERT_EQ(acedGetVar("ACADVER", &value), RTNORM);
  EXPECT_STREQ(value.resval.rstring, "15.0");
  std::free(value.resval.rstring);
  EXPECT_EQ(acedGetVar("NOSUCHVAR", &value), RTERROR);
  EXPECT_EQ(acedGetVar(nullptr, &value), RTERROR);
}

TEST_F(UserFunctionsTest, TilemodeDefaultsToModelSpace) {
  Open(DrawingR12());
  resbuf value{};
  ASSERT_EQ(acedGetVar("TILEMODE", &value), RTNORM);
  EXPECT_EQ(value.resval.rint, 1);
}

TEST_F(UserFunctionsTest, PickOffersDimensionsWithOverridesAndNamesTheChoice) {
  Open(Drawing2000());
  channel_.picks.push_back("103");
  ads_name picked;
  ads_point point;
  ASSERT_EQ(acedEntSel("\nEine Grundmaßstabsbemaßung wählen:", picked, point), RTNORM);
  ASSERT_EQ(channel_.candidates.size(), 1u);
  const PickCandidate& offered = channel_.candidates[0];
  EXPECT_EQ(offered.handle, "103");
  EXPECT_EQ(offered.layout, "Layout1");
  EXPECT_EQ(offered.dimlfac, 2.0);
  EXPECT_EQ(offered.description, "DIMENSION bei 12.7,5, Messwert 25.4, DIMLFAC 2");
  EXPECT_EQ(channel_.pick_prompt, "\nEine Grundmaßstabsbemaßung wählen:");
  EXPECT_NE(transcript().find("Eine Grundmaßstabsbemaßung wählen: DIMENSION 103 (Layout1)"),
            std::string::npos)
      << transcript();
  EXPECT_EQ(point[0], 12.7);
  EXPECT_EQ(point[1], 5.0);

  // A channel that picks by itself gets the same choice, undescribed.
  channel_.shows_candidates = false;
  channel_.picks.push_back("103");
  ads_name again;
  ads_point point_again;
  ASSERT_EQ(acedEntSel("\nEine Grundmaßstabsbemaßung wählen:", again, point_again), RTNORM);
  ASSERT_EQ(channel_.candidates.size(), 1u);
  EXPECT_EQ(channel_.candidates[0].handle, "103");
  EXPECT_EQ(channel_.candidates[0].dimlfac, 2.0);
  EXPECT_EQ(channel_.candidates[0].description, "");
  EXPECT_EQ(again[0], picked[0]);
  EXPECT_EQ(point_again[0], 12.7);
  EXPECT_EQ(point_again[1], 5.0);
  ChainPtr chain(acdbEntGet(picked));
  EXPECT_STREQ(FindItem(chain.get(), 5)->resval.rstring, "103");
}

TEST_F(UserFunctionsTest, PickCancelledOrUnknown) {
  Open(Drawing2000());
  ads_name picked;
  ads_point point;
  channel_.picks.push_back(std::nullopt);
  EXPECT_EQ(acedEntSel("\nWählen:", picked, point), RTCAN);
  // A handle of no entity misses and the pick asks again; any main entity
  // may be named, not only the offered ones.
  channel_.picks.push_back("FFFF");
  channel_.picks.push_back("100");
  ASSERT_EQ(acedEntSel("\nWählen:", picked, point), RTNORM);
  ChainPtr chain(acdbEntGet(picked));
  EXPECT_STREQ(FindItem(chain.get(), 0)->resval.rstring, "LINE");
  EXPECT_NE(transcript().find("Kein Objekt mit dem Griff \"FFFF\" gefunden.\nWählen:"),
            std::string::npos)
      << transcript();
  // Block contents are not in a space: a miss too, then cancelled.
  channel_.picks.push_back("32");
  channel_.picks.push_back(std::nullopt);
  EXPECT_EQ(acedEntSel("\nWählen:", picked, point), RTCAN);
  // A channel that never hits gives up.
  channel_.picks.assign(200, std::optional<std::string>("FFFF"));
  EXPECT_EQ(acedEntSel("\nWählen:", picked, point), RTERROR);
}

TEST_F(UserFunctionsTest, ResultBuffers) {
  resbuf* item = acutNewRb(RTSTR);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->restype, RTSTR);
  EXPECT_EQ(item->resval.rstring, nullptr);
  EXPECT_EQ(item->rbnext, nullptr);
  item->resval.rstring = strdup("ACAD");
  item->rbnext = acutNewRb(1040);
  item->rbnext->rbnext = acutNewRb(310);
  EXPECT_EQ(acutRelRb(item), RTNORM);
  EXPECT_EQ(acutRelRb(nullptr), RTNORM);
}

}  // namespace
}  // namespace host::api
