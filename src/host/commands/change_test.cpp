// CHANGE / Ändern with its properties option.
#include <gtest/gtest.h>

#include "support/stand_in_test_drawings.h"
#include "support/stand_in_test_support.h"

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

// Thousands of objects are looked at and changed in two halves at once:
// the prompt's default and the result must be those of one pass, also when
// each half agrees within itself but not with the other.
TEST_F(ChangeTest, LargeSelectionsGiveWhatSmallOnesGive) {
  for (EntityId id = drawing().FirstEntity(); id != kNoEntity; id = drawing().NextEntity(id))
    drawing().EraseEntity(id);
  std::vector<std::string> handles;
  for (int i = 0; i < 5000; ++i) {
    handles.push_back(drawing().NewHandle());
    drawing().AddEntity(drawing().active_layout(), {{0, "LINE"},
                                                    {5, handles.back()},
                                                    {100, "AcDbEntity"},
                                                    {67, "1"},
                                                    {8, "0"},
                                                    {62, i < 2500 ? "3" : "4"},
                                                    {100, "AcDbLine"},
                                                    {10, "0.0"},
                                                    {20, "0.0"},
                                                    {11, "1.0"},
                                                    {21, "1.0"}});
  }
  std::string said = Run("Ändern\nAlle\n\nEI\nF\n5\n\n");
  EXPECT_NE(said.find("Neue Farbe eingeben <VARIIERT>: 5"), std::string::npos) << said;
  for (const std::string& handle : handles) ASSERT_EQ(Value(handle, 62), "5") << handle;
  said = Run("Ändern\nAlle\n\nEI\nF\n\n\n");
  EXPECT_NE(said.find("Neue Farbe eingeben <blau>: "), std::string::npos) << said;
}

// Layers are found however an entity spells them; an entity without a
// layer is on "0". Frozen ones are passed over, locked ones counted.
TEST_F(ChangeTest, LayersAreJudgedWhateverTheirSpelling) {
  auto add = [&](std::optional<std::string> layer) {
    dxf::Tags tags{{0, "POINT"}, {5, drawing().NewHandle()}, {100, "AcDbEntity"}, {67, "1"}};
    if (layer) tags.emplace_back(8, *layer);
    drawing().AddEntity(drawing().active_layout(), tags);
  };
  add("locked");
  add("LOCKED");
  add(" Frozen ");
  add(std::nullopt);
  add("fROZEN");
  std::string said = Run("Ändern\nAlle\n\n");
  EXPECT_NE(said.find("9 gefunden\n3 auf gesperrtem Layer.\n"), std::string::npos) << said;
}

// The layers of thousands of objects are read in two halves at once: a
// lock at the very end is seen as one at the start.
TEST_F(ChangeTest, LockedLayersCountInLargeSelections) {
  for (EntityId id = drawing().FirstEntity(); id != kNoEntity; id = drawing().NextEntity(id))
    drawing().EraseEntity(id);
  for (int i = 0; i < 5000; ++i) {
    drawing().AddEntity(drawing().active_layout(), {{0, "POINT"},
                                                    {5, drawing().NewHandle()},
                                                    {100, "AcDbEntity"},
                                                    {67, "1"},
                                                    {8, i < 10 || i >= 4900 ? "Locked" : "0"}});
  }
  std::string said = Run("Ändern\nAlle\n\n");
  EXPECT_NE(said.find("5000 gefunden\n110 auf gesperrtem Layer.\n"), std::string::npos) << said;
}

}  // namespace
}  // namespace host::testing
