// The dimension-factor pick and the pass that divides every DIMLFAC override
// by the factor.
#include <cmath>
#include <deque>
#include <limits>
#include <string>

#include "commands/dimstyle_override_walk.h"
#include "commands/dravolin1_commands.h"
#include "host/api/entity_change_hooks.h"
#include "module/module_state.h"
#include "support/module_test_fixture.h"

namespace dravolin_test {
namespace {

class DimensionFactorTest : public ModuleTest {
 protected:
  // Opens the drawing and picks the dimension with that handle.
  void Pick(const TestDrawing& drawing, const std::string& handle) {
    host::Answers answers;
    answers.references = {handle};
    Open(drawing, std::move(answers));
    Direct(getbemfaktor);
  }
};

TEST_F(DimensionFactorTest, PickReadsTheOverrideAndEchoesTheList) {
  TestDrawing drawing;
  std::string dimension = drawing.Paper(Dimension("0", Dimlfac("2.0")));
  Pick(drawing, dimension);
  EXPECT_EQ(BemFaktor, 2.0);
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Bitte eine Bema\xDF"
                                     "ung mit Grundma\xDFstab w\xE4hlen!\nKeine Einzelheit!"});
  std::string echo =
      "\nEntity = DIMENSION\nEntityXdata -3\nStart mit {\n144 = 2.000000\nEnde mit }";
  std::string shown = Shown();
  ASSERT_GE(shown.size(), echo.size()) << shown;
  EXPECT_EQ(shown.substr(shown.size() - echo.size()), echo) << shown;
  EXPECT_NE(shown.find("Eine Grundma\xDFstabsbema\xDFung w\xE4hlen:"), std::string::npos) << shown;
}

TEST_F(DimensionFactorTest, TheFactorIsFoundAnywhereInTheListAndTheLastOneWins) {
  TestDrawing drawing;
  std::string first =
      drawing.Paper(Dimension("0", {{1070, "144"}, {1040, "0.5"}, {1070, "40"}, {1040, "3.0"}}));
  std::string last =
      drawing.Paper(Dimension("0", {{1070, "40"}, {1040, "3.0"}, {1070, "144"}, {1040, "4.0"}}));
  std::string twice =
      drawing.Paper(Dimension("0", {{1070, "144"}, {1040, "4.0"}, {1070, "144"}, {1040, "-8.0"}}));
  Pick(drawing, first);
  EXPECT_EQ(BemFaktor, 0.5);
  Pick(drawing, last);
  EXPECT_EQ(BemFaktor, 4.0);
  Pick(drawing, twice);
  EXPECT_EQ(BemFaktor, -8.0);
}

TEST_F(DimensionFactorTest, NoFactorLeavesZero) {
  TestDrawing drawing;
  std::string plain = drawing.Paper(Dimension("0", {}));
  std::string other = drawing.Paper(Dimension("0", {{1070, "40"}, {1040, "3.0"}}));
  std::string line = drawing.Paper(Line("0"));
  Pick(drawing, plain);
  EXPECT_EQ(BemFaktor, 0.0);
  Pick(drawing, other);
  EXPECT_EQ(BemFaktor, 0.0);
  Pick(drawing, line);
  EXPECT_EQ(BemFaktor, 0.0);
  Pick(drawing, "cancel");
  EXPECT_EQ(BemFaktor, 0.0);
}

TEST_F(DimensionFactorTest, A144WithoutARealValueIsNoFactor) {
  TestDrawing drawing;
  // The item after 1070 144 is the closing brace or another pair.
  std::string brace = drawing.Paper(Dimension("0", {{1070, "144"}}));
  std::string pair = drawing.Paper(Dimension("0", {{1070, "144"}, {1070, "40"}, {1040, "3.0"}}));
  std::string after_good =
      drawing.Paper(Dimension("0", {{1070, "144"}, {1040, "2.0"}, {1070, "144"}}));
  Pick(drawing, brace);
  EXPECT_EQ(BemFaktor, 0.0);
  EXPECT_EQ(Shown().find("144 ="), std::string::npos);
  Pick(drawing, pair);
  EXPECT_EQ(BemFaktor, 0.0);
  Pick(drawing, after_good);
  EXPECT_EQ(BemFaktor, 2.0);
}

class ReadEntityXdataTest : public ModuleTest {};

TEST_F(ReadEntityXdataTest, DividesEveryOverrideByTheFactor) {
  TestDrawing drawing;
  std::string base = drawing.Paper(Dimension("0", Dimlfac("2.0")));
  std::string detail = drawing.Paper(Dimension("0", Dimlfac("4.0")));
  std::string negative = drawing.Model(Dimension("0", Dimlfac("-8.0")));
  std::string other = drawing.Paper(Dimension("0", {{1070, "40"}, {1040, "5.0"}}));
  Open(drawing);
  BemFaktor = 2.0;
  Direct(ReadEntityXdata);
  EXPECT_EQ(Real(Value(base, 1040)), 1.0);
  EXPECT_EQ(Real(Value(detail, 1040)), 2.0);
  EXPECT_EQ(Real(Value(negative, 1040)), -4.0);
  EXPECT_EQ(Value(other, 1040), "5.0");
  EXPECT_EQ(Shown(),
            "\nEntityXdata -3\nStart mit {\n144 = 2.000000\nEnde mit }"
            "\nEntityXdata -3\nStart mit {\n144 = 4.000000\nEnde mit }"
            "\nEntityXdata -3\nStart mit {\n144 = -8.000000\nEnde mit }"
            "\nEntityXdata -3\nStart mit {\nEnde mit }");
}

TEST_F(ReadEntityXdataTest, ANegativeFactorTurnsTheSigns) {
  TestDrawing drawing;
  std::string positive = drawing.Paper(Dimension("0", Dimlfac("2.0")));
  std::string negative = drawing.Paper(Dimension("0", Dimlfac("-8.0")));
  Open(drawing);
  BemFaktor = -2.0;
  Direct(ReadEntityXdata);
  EXPECT_EQ(Real(Value(positive, 1040)), -1.0);
  EXPECT_EQ(Real(Value(negative, 1040)), 4.0);
}

TEST_F(ReadEntityXdataTest, A144WithoutARealValueIsLeftAlone) {
  TestDrawing drawing;
  std::string pair = drawing.Paper(Dimension("0", {{1070, "144"}, {1070, "40"}, {1040, "3.0"}}));
  Open(drawing);
  BemFaktor = 2.0;
  Direct(ReadEntityXdata);
  EXPECT_EQ(Value(pair, 1040), "3.0");
}

TEST_F(ReadEntityXdataTest, RefusesWithoutAUsableFactor) {
  TestDrawing drawing;
  std::string dimension = drawing.Paper(Dimension("0", Dimlfac("2.0")));
  Open(drawing);
  for (double factor :
       {0.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    BemFaktor = factor;
    Direct(ReadEntityXdata);
    ASSERT_EQ(channel().messages().size(), 2u) << factor;  // the start-up box and this one
    EXPECT_EQ(channel().messages().back().text, "Sie m\xFCssen erst GETBEMFAKTOR ausf\xFChren!");
    EXPECT_EQ(channel().messages().back().caption, "VURIZ");
    EXPECT_EQ(Value(dimension, 1040), "2.0");
    Open(drawing);
  }
}

// An extended-data chain built by hand, as the host never writes these.
class HandChain {
 public:
  HandChain& Text(short code, const char* text) {
    texts_.emplace_back(text);
    resbuf& item = Add(code);
    item.resval.rstring = texts_.back().data();
    return *this;
  }
  HandChain& Int(short code, short value) {
    Add(code).resval.rint = value;
    return *this;
  }
  HandChain& Real(short code, double value) {
    Add(code).resval.rreal = value;
    return *this;
  }
  resbuf* head() { return items_.empty() ? nullptr : &items_.front(); }

 private:
  resbuf& Add(short code) {
    items_.push_back(resbuf{});
    items_.back().restype = code;
    if (items_.size() > 1) items_[items_.size() - 2].rbnext = &items_.back();
    return items_.back();
  }
  std::deque<resbuf> items_;  // items keep their place as more are added
  std::deque<std::string> texts_;
};

class OverrideWalkTest : public ModuleTest {
 protected:
  std::vector<double> Walk(HandChain& chain) {
    std::vector<double> values;
    Direct([&] {
      WalkDimStyleOverrides(chain.head(), false,
                            [&](resbuf* value) { values.push_back(value->resval.rreal); });
    });
    return values;
  }
};

TEST_F(OverrideWalkTest, ADstyleItemNotFollowedByABraceOpensNoList) {
  Open(TestDrawing());
  HandChain chain;
  chain.Int(-3, 0).Text(1001, "ACAD").Text(1000, "DSTYLE").Int(1070, 144).Real(1040, 2.0);
  // The item after "DSTYLE" is passed over, so a second "DSTYLE" straight
  // after the first opens nothing either.
  chain.Text(1000, "DSTYLE").Text(1000, "DSTYLE").Text(1002, "{").Int(1070, 144).Real(1040, 5.0);
  chain.Text(1002, "}").Text(1000, "DSTYLE").Text(1002, "{").Int(1070, 144).Real(1040, 3.0);
  chain.Text(1002, "}");
  EXPECT_EQ(Walk(chain), std::vector<double>{3.0});
  EXPECT_EQ(Shown(), "\nEntityXdata -3\nStart mit {\n144 = 3.000000\nEnde mit }");
}

TEST_F(OverrideWalkTest, AListNeverClosedEndsWithTheChain) {
  Open(TestDrawing());
  HandChain chain;
  chain.Int(-3, 0).Text(1001, "ACAD").Text(1000, "DSTYLE").Text(1002, "{").Int(1070, 40);
  chain.Real(1040, 9.0).Int(1070, 144).Real(1040, 4.0).Text(1000, "DSTYLE").Int(1070, 144);
  chain.Real(1040, 6.0);
  EXPECT_EQ(Walk(chain), (std::vector<double>{4.0, 6.0}));
  EXPECT_EQ(Shown(), "\nEntityXdata -3\nStart mit {\n144 = 4.000000\n144 = 6.000000");
}

TEST_F(ReadEntityXdataTest, AFactorOfOneStillWritesEveryEntityBack) {
  TestDrawing drawing;
  std::string base = drawing.Paper(Dimension("0", Dimlfac("2")));
  drawing.Paper(Line("0"));
  drawing.Model(Dimension("0", {{1070, "40"}, {1040, "5.0"}}));
  Open(drawing);
  BemFaktor = 1.0;
  uint64_t before = host::EntModCalls();
  Direct(ReadEntityXdata);
  EXPECT_EQ(host::EntModCalls() - before, 3u);
  EXPECT_EQ(Real(Value(base, 1040)), 2.0);
}

}  // namespace
}  // namespace dravolin_test
