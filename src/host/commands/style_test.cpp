// -STYLE / -stil.
#include <gtest/gtest.h>

#include "support/stand_in_test_drawings.h"
#include "support/stand_in_test_support.h"

namespace host::testing {
namespace {

class StyleTest : public StandInTest {
 protected:
  void SetUp() override { Open(kLayoutDrawing); }
};

// The conversion's script: after the font, five empty lines answer the five
// prompts a TrueType font has; nothing is left over for the idle prompt.
TEST_F(StyleTest, TrueTypeFontTakesExactlyTheScriptsLines) {
  std::string transcript = Run("-stil\nSTANDARD\nisocpeur.ttf\n\n\n\n\n\n");
  EXPECT_EQ(transcript,
            "Befehl: -stil\nName des Textstils eingeben oder [?] <Standard>: STANDARD\n"
            "Vorhandener Stil.\n"
            "Vollständigen Schriftnamen oder Schriftdateinamen angeben (TTF oder SHX) <txt>: "
            "isocpeur.ttf\n"
            "Texthöhe angeben <0.0000>: \nBreitenfaktor angeben <1.0000>: \n"
            "Neigungswinkel angeben <0>: \nText rückwärts darstellen? [Ja/Nein] <N>: \n"
            "Text auf dem Kopf darstellen? [Ja/Nein] <N>: \n"
            "\"Standard\" ist jetzt der aktuelle Textstil.");
  dxf::Tags style = TableRecord("STYLE", "Standard");
  EXPECT_EQ(commands::TagValue(style, 3), "isocpeur.ttf");
  // Values answered with their defaults keep the file's text.
  EXPECT_EQ(commands::TagValue(style, 40), "0.0");
  EXPECT_EQ(commands::TagValue(style, 41), "1.0");
  EXPECT_EQ(Header("$TEXTSTYLE"), "Standard");
}

TEST_F(StyleTest, NewShxStyleIsCreatedCompleteAndAsksForVertical) {
  std::string transcript = Run("-STYLE\nSchmal\nromans.shx\n2.5\n0.8\n90\n15\nJ\nN\nJ\n");
  EXPECT_NE(transcript.find("Neuer Stil.\n"), std::string::npos);
  EXPECT_NE(transcript.find("90\nWert muss zwischen -85 und 85 liegen.\n"), std::string::npos);
  EXPECT_NE(transcript.find("Vertikal? <N>: J\n\"Schmal\" ist jetzt der aktuelle Textstil."),
            std::string::npos)
      << transcript;
  dxf::Tags style = TableRecord("STYLE", "SCHMAL");
  std::vector<int> codes;
  for (const dxf::Tag& tag : style) codes.push_back(tag.code);
  EXPECT_EQ(codes, (std::vector<int>{0, 5, 330, 100, 100, 2, 70, 40, 41, 50, 71, 42, 3, 4}));
  EXPECT_EQ(commands::TagValue(style, 330), "3");
  EXPECT_EQ(commands::TagValue(style, 70), "4");
  EXPECT_EQ(commands::TagValue(style, 40), "2.5");
  EXPECT_EQ(commands::TagValue(style, 41), "0.8");
  EXPECT_EQ(commands::TagValue(style, 50), "15.0");
  EXPECT_EQ(commands::TagValue(style, 71), "2");
  EXPECT_EQ(Header("$TEXTSTYLE"), "Schmal");
}

TEST_F(StyleTest, FontPathsKeepTheirBlanks) {
  Run("-stil\n\n/fonts/Meine Schrift.ttf\n\n\n\n\n\n");
  EXPECT_EQ(commands::TagValue(TableRecord("STYLE", "Standard"), 3), "/fonts/Meine Schrift.ttf");
}

}  // namespace
}  // namespace host::testing
