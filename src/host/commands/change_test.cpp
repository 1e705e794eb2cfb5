// CHANGE / Ändern with its properties option.
#include <gtest/gtest.h>

#include "host/commands/stand_in_test_support.h"
#include "host/commands/test_drawings.h"

namespace host::testing {
namespace {

class ChangeTest : public StandInTest {
 protected:
  void SetUp() override { Open(kLayoutDrawing); }
};

TEST_F(ChangeTest, TheConversionScriptMakesColourLinetypeAndLineWeightByLayer) {
  std::string transcript = Run("Ändern\nAlle\n\nEI\nF\nVonLayer\nLTY\nVonLayer\nLS\nVonLayer\n\n");
  EXPECT_EQ(transcript,
            "Befehl: Ändern\nObjekte wählen: Alle\n6 gefunden\n1 auf gesperrtem Layer.\n"
            "Objekte wählen: \n"
            "Änderungspunkt angeben oder [Eigenschaften]: EI\n"
            "Zu ändernde Eigenschaft eingeben "
            "[Farbe/Erhebung/LAyer/LTyp/LTFaktor/LStärke/Objekthöhe]: F\n"
            "Neue Farbe eingeben <VARIIERT>: VonLayer\n"
            "Zu ändernde Eigenschaft eingeben "
            "[Farbe/Erhebung/LAyer/LTyp/LTFaktor/LStärke/Objekthöhe]: LTY\n"
            "Neuen Linientypnamen eingeben <VARIIERT>: VonLayer\n"
            "Zu ändernde Eigenschaft eingeben "
            "[Farbe/Erhebung/LAyer/LTyp/LTFaktor/LStärke/Objekthöhe]: LS\n"
            "Neue Linienstärke eingeben <VARIIERT>: VonLayer\n"
            "Zu ändernde Eigenschaft eingeben "
            "[Farbe/Erhebung/LAyer/LTyp/LTFaktor/LStärke/Objekthöhe]: ");
  // ByLayer is the default: the groups vanish.
  for (int code : {62, 6, 370}) EXPECT_FALSE(Has("5B", code)) << code;
  // The polyline's vertices follow it.
  for (const char* handle : {"54", "55", "56"}) EXPECT_FALSE(Has(handle, 62)) << handle;
}

TEST_F(ChangeTest, SetsValuesInTheirUsualPlaceAndKeepsLockedLayersAlone) {
  Run("Ändern\nL\n\nEI\nF\nrot\nLT\nHIDDEN\nLS\n0.35\nLA\nAM_0\nS\n2\nT\n1.5\n\n");
  dxf::Tags text = Tags("5B");
  EXPECT_EQ(commands::TagValue(text, 62), "1");
  EXPECT_EQ(commands::TagValue(text, 370), "35");
  EXPECT_EQ(commands::TagValue(text, 8), "AM_0");
  EXPECT_EQ(commands::TagValue(text, 48), "2.0");
  EXPECT_EQ(commands::TagValue(text, 39), "1.5");
  // The group order of AcDbEntity: 8, 6, 62, 370, 48; thickness in AcDbText.
  std::vector<int> codes;
  for (const dxf::Tag& tag : text) codes.push_back(tag.code);
  EXPECT_EQ(codes, (std::vector<int>{0, 5, 330, 100, 67, 8, 6, 62, 370, 48, 100, 39, 10, 20, 30, 40,
                                     1, 100}));

  // The line on the locked layer, chosen as the last object, is not changed.
  drawing().EraseEntity(Entity("5B"));
  drawing().EraseEntity(Entity("59"));
  std::string transcript = Run("Ändern\nL\n\nEI\nF\n1\n\n");
  EXPECT_NE(transcript.find("1 gefunden\n1 auf gesperrtem Layer.\n"), std::string::npos)
      << transcript;
  EXPECT_FALSE(Has("58", 62));
}

TEST_F(ChangeTest, EnglishKeywordsAndInvalidValues) {
  std::string transcript =
      Run("_change\n_all\n\n_p\n_c\nlila\n_bylayer\nLT\nGIBTSNICHT\nbyblock\nX\n\n");
  EXPECT_NE(transcript.find("lila\nUngültige Farbe."), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("GIBTSNICHT\nLinientyp \"GIBTSNICHT\" nicht gefunden."),
            std::string::npos);
  EXPECT_NE(transcript.find("X\nUngültige Option."), std::string::npos);
  EXPECT_FALSE(Has("5B", 62));
  EXPECT_EQ(Value("51", 6), "BYBLOCK");
}

TEST_F(ChangeTest, EnterAtTheValuePromptKeepsTheObjectsAsTheyAre) {
  std::string before = drawing().WriteToString();
  Run("Ändern\nAlle\n\nEI\nF\n\n\n");
  EXPECT_EQ(drawing().WriteToString(), before);
}

TEST_F(ChangeTest, UnknownSelectionInputIsExplained) {
  std::string transcript = Run("Ändern\nirgendwas\n\n");
  EXPECT_EQ(transcript,
            "Befehl: Ändern\nObjekte wählen: irgendwas\n*Ungültige Auswahl*\n"
            "Erwartet wird Alle, Letztes oder Enter zum Beenden.\nObjekte wählen: ");
}

}  // namespace
}  // namespace host::testing
