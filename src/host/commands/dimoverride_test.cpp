// DIMOVERRIDE / bemüberschr on the drawing's dimension.
#include <gtest/gtest.h>

#include "support/stand_in_test_drawings.h"
#include "support/stand_in_test_support.h"

namespace host::testing {
namespace {

class DimOverrideTest : public StandInTest {
 protected:
  void SetUp() override { Open(kLayoutDrawing); }

  // The dimension's extended data as "code value" lines.
  std::string Xdata(std::string_view handle) {
    dxf::Tags tags = Tags(handle);
    std::string out;
    for (size_t i = commands::ExtendedDataStart(tags); i < tags.size(); ++i) {
      out += std::to_string(tags[i].code) + " " + tags[i].value + "\n";
    }
    return out;
  }
};

TEST_F(DimOverrideTest, ReplacesTheDimscalePairInPlaceAndAddsTheTextStyleAsAHandle) {
  std::string transcript = Run("bemüberschr\ndimscale\n2.000000\n\n_all\n\n");
  EXPECT_EQ(transcript,
            "Befehl: bemüberschr\n"
            "Name der zu überschreibenden Bemaßungsvariable eingeben oder "
            "[Überschreibungen löschen]: dimscale\n"
            "Neuen Wert für Bemaßungsvariable eingeben <1.0000>: 2.000000\n"
            "Name der zu überschreibenden Bemaßungsvariable eingeben: \n"
            "Objekte wählen: _all\n6 gefunden\n1 auf gesperrtem Layer.\nObjekte wählen: ");
  Run("bemüberschr\ndimtxsty\nstandard\n\n_all\n\n");
  EXPECT_EQ(Xdata("53"),
            "1001 ACAD\n1000 DSTYLE\n1002 {\n1070 40\n1040 2.0\n1070 144\n1040 2.0\n"
            "1070 340\n1005 11\n1002 }\n");
}

TEST_F(DimOverrideTest, EnglishNameColoursAndSeveralVariablesAtOnce) {
  Run("_dimoverride\nDIMCLRD\nVonLayer\ndimclrt\nbyblock\nDIMLFAC\n0.5\n\n_all\n\n");
  EXPECT_EQ(Xdata("53"),
            "1001 ACAD\n1000 DSTYLE\n1002 {\n1070 40\n1040 1.0\n1070 144\n1040 0.5\n"
            "1070 176\n1070 256\n1070 178\n1070 0\n1002 }\n");
}

TEST_F(DimOverrideTest, InvalidNamesAndValuesAreAskedAgain) {
  std::string transcript =
      Run("bemüberschr\nDIMFOO\ndimtxsty\nGibtsNicht\nStandard\nDIMSCALE\n-1\nzwei\n3\n\n_all\n\n");
  EXPECT_NE(transcript.find("DIMFOO\nUnbekannter Variablenname.\n"), std::string::npos);
  EXPECT_NE(transcript.find("GibtsNicht\nTextstil \"GibtsNicht\" nicht gefunden.\n"),
            std::string::npos);
  EXPECT_NE(transcript.find("-1\nWert darf nicht negativ sein.\n"), std::string::npos);
  EXPECT_NE(transcript.find("zwei\nErfordert numerischen Wert.\n"), std::string::npos);
  EXPECT_NE(Xdata("53").find("1070 40\n1040 3.0\n"), std::string::npos);
  EXPECT_NE(Xdata("53").find("1070 340\n1005 11\n"), std::string::npos);
}

TEST_F(DimOverrideTest, OnlyDimensionsAreChanged) {
  Run("bemüberschr\ndimscale\n2\n\n_all\n\n");
  EXPECT_EQ(Xdata("51"), "");
  EXPECT_EQ(Xdata("5B"), "");
}

TEST_F(DimOverrideTest, CreatesTheListAndRegistersAcadWhenMissing) {
  std::string pairs = kLayoutDrawing;
  auto cut = [&](const std::string& text) {
    size_t at = pairs.find(text);
    ASSERT_NE(at, std::string::npos) << text;
    pairs.erase(at, text.size());
  };
  cut("1001 ACAD\n1000 DSTYLE\n1002 {\n1070 40\n1040 1.0\n1070 144\n1040 2.0\n1002 }\n");
  cut("0 APPID\n5 12\n330 9\n100 AcDbSymbolTableRecord\n100 AcDbRegAppTableRecord\n2 ACAD\n"
      "70 0\n");
  Open(pairs);
  ASSERT_EQ(drawing().FindTableRecord("APPID", "ACAD"), kNoRecord);
  Run("bemüberschr\ndimscale\n2\n\n_all\n\n");
  EXPECT_EQ(Xdata("53"), "1001 ACAD\n1000 DSTYLE\n1002 {\n1070 40\n1040 2.0\n1002 }\n");
  dxf::Tags acad = TableRecord("APPID", "ACAD");
  EXPECT_EQ(commands::TagValue(acad, 330), "9");
  EXPECT_EQ(commands::TagValue(acad, 70), "0");
}

TEST_F(DimOverrideTest, ClearRemovesTheOverrides) {
  Run("bemüberschr\nÜ\n_all\n\n");
  EXPECT_EQ(Xdata("53"), "");
}

TEST_F(DimOverrideTest, EnterWithoutAVariableEndsWithoutSelecting) {
  EXPECT_EQ(Run("bemüberschr\n\n"),
            "Befehl: bemüberschr\nName der zu überschreibenden Bemaßungsvariable eingeben oder "
            "[Überschreibungen löschen]: ");
}

// Thousands of dimensions are changed in two halves at once; each one ends
// as a small selection leaves it.
TEST_F(DimOverrideTest, LargeSelectionsGiveWhatSmallOnesGive) {
  Run("bemüberschr\ndimscale\n2\n\n_all\n\n");
  const std::string expected = Xdata("53");
  dxf::Tags dimension = Tags("53");
  // Back to the dimension as the drawing has it, for copies of it.
  SetUp();
  dimension = Tags("53");
  std::vector<std::string> handles;
  for (int i = 0; i < 5000; ++i) {
    handles.push_back(drawing().NewHandle());
    dimension[1].value = handles.back();
    drawing().AddEntity(drawing().active_layout(), dimension);
  }
  Run("bemüberschr\ndimscale\n2\n\n_all\n\n");
  EXPECT_EQ(Xdata("53"), expected);
  for (const std::string& handle : {handles.front(), handles[2600], handles.back()})
    EXPECT_EQ(Xdata(handle), expected) << handle;
}

}  // namespace
}  // namespace host::testing
