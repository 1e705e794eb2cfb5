// amsetupdwg and amlayreset: what a template contributes to a drawing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/stand_in_test_drawings.h"
#include "support/stand_in_test_support.h"

namespace host::testing {
namespace {

class TemplateTest : public StandInTest {
 protected:
  void SetUp() override {
    // A folder of its own: the tests run in parallel processes.
    folder_ = ::testing::TempDir() + "dravolin_templates_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
              std::to_string(getpid()) + "/";
    std::filesystem::create_directories(folder_ + "Vorlagen");
    std::ofstream(folder_ + "Mech6.dwt", std::ios::binary) << DxfFromPairs(kTemplateDrawing);
    std::ofstream(folder_ + "Vorlagen/iso.dwt", std::ios::binary) << DxfFromPairs(kTemplateDrawing);
    templates_dir_ = folder_.substr(0, folder_.size() - 1);
    Open(kLayoutDrawing);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string Field(const dxf::Tags& tags, int code) { return commands::TagValue(tags, code); }

  std::string folder_;
};

TEST_F(TemplateTest, SetupCopiesWhatTheDrawingLacksAndMapsItsReferences) {
  std::string transcript = Run("amsetupdwg\n" + folder_ + "Mech6.dwt\nJA\n");
  EXPECT_NE(transcript.find("Zeichnung mit dieser Vorlage einrichten? [Ja/Nein] <Nein>: JA\n"
                            "Aus der Vorlage übernommen: 1 Linientypen, 1 Textstile, "
                            "1 Bemaßungsstile, 1 Layer; 2 AM-Layer auf Standard gesetzt."),
            std::string::npos)
      << transcript;

  // The linetype came with a new handle owned by the drawing's table.
  dxf::Tags center = TableRecord("LTYPE", "CENTER");
  EXPECT_EQ(Field(center, 330), "5");
  EXPECT_NE(Field(center, 5), "101");
  // STANDARD matches the drawing's Standard: the drawing's stays.
  EXPECT_EQ(Field(TableRecord("STYLE", "Standard"), 3), "txt");
  // The dimension style names the drawing's copy of its text style.
  dxf::Tags am_iso_style = TableRecord("STYLE", "AM_ISO");
  dxf::Tags am_iso = TableRecord("DIMSTYLE", "AM_ISO");
  EXPECT_EQ(Field(am_iso, 340), Field(am_iso_style, 5));
  EXPECT_NE(Field(am_iso, 105), "140");
  EXPECT_EQ(Field(am_iso, 330), "A");
  // Extended data of an application the drawing has not registered is left
  // behind; "ACAD" data come along.
  std::string style_text;
  for (const dxf::Tag& tag : am_iso_style) style_text += tag.value + "|";
  EXPECT_NE(style_text.find("|ACAD|ISOCPEUR|34|"), std::string::npos) << style_text;
  EXPECT_EQ(style_text.find("TEMPLATEAPP"), std::string::npos);
  // The missing AM_ layer is created with the standard and its linetype;
  // the template's extension dictionary is not taken along.
  dxf::Tags am7 = TableRecord("LAYER", "AM_7");
  EXPECT_EQ(Field(am7, 62), "4");
  EXPECT_EQ(Field(am7, 6), "CENTER");
  EXPECT_EQ(Field(am7, 370), "25");
  EXPECT_EQ(Field(am7, 330), "2");
  EXPECT_EQ(commands::FindTag(am7, 360), commands::kNoTag);
  // The existing AM_ layer gets the standard but stays switched off.
  dxf::Tags am0 = TableRecord("LAYER", "AM_0");
  EXPECT_EQ(Field(am0, 62), "-7");
  EXPECT_EQ(Field(am0, 370), "50");
  EXPECT_EQ(Field(am0, 5), "1B");
  // The drawing's handle seed stays above what was handed out.
  EXPECT_GT(std::stoul(Header("$HANDSEED"), nullptr, 16), std::stoul(Field(am7, 5), nullptr, 16));
}

TEST_F(TemplateTest, EnterTakesTheBundledDefaultAndAWindowsPathGoesThroughTheDriveMap) {
  Run("amsetupdwg\n\nJ\n");
  EXPECT_NE(drawing().FindTableRecord("LAYER", "AM_7"), kNoRecord);

  Open(kLayoutDrawing);
  std::filesystem::remove(folder_ + "Mech6.dwt");
  // The fixture maps C: to the test's temporary folder.
  std::string folder_name = folder_.substr(::testing::TempDir().size());
  folder_name.pop_back();  // the slash
  std::string windows_path = "C:\\" + folder_name + "\\Vorlagen\\iso.dwt";
  Run("amsetupdwg\n" + windows_path + "\nYes\n");
  EXPECT_NE(drawing().FindTableRecord("LAYER", "AM_7"), kNoRecord) << cl().transcript();
}

TEST_F(TemplateTest, UnreadableTemplateIsNamedAndTheDrawingStaysAsItWas) {
  std::string before = drawing().WriteToString();
  std::ofstream(folder_ + "kaputt.dwt", std::ios::binary) << "  0\nSECTION\n  2\nHEADER\n 10\n";
  std::string transcript = Run("amsetupdwg\n" + folder_ + "kaputt.dwt\nJA\nTILEMODE\n\n");
  EXPECT_NE(transcript.find(folder_ + "kaputt.dwt:6: group code 10: expected a value line"),
            std::string::npos)
      << transcript;
  EXPECT_NE(transcript.find("Die Zeichnung bleibt unverändert.\nBefehl: TILEMODE"),
            std::string::npos);
  EXPECT_EQ(drawing().WriteToString(), before);

  transcript = Run("amsetupdwg\n" + folder_ + "fehlt.dwt\nJA\n");
  EXPECT_NE(transcript.find(folder_ + "fehlt.dwt: No such file or directory"), std::string::npos)
      << transcript;
  EXPECT_EQ(drawing().WriteToString(), before);
}

TEST_F(TemplateTest, AnythingButYesCancelsTheSetup) {
  std::string before = drawing().WriteToString();
  std::string transcript = Run("amsetupdwg\n\nNEIN\namsetupdwg\n\n\n");
  EXPECT_EQ(transcript,
            "Befehl: amsetupdwg\nVorlagendatei angeben <Mech6.dwt>: \n"
            "Zeichnung mit dieser Vorlage einrichten? [Ja/Nein] <Nein>: NEIN\n"
            "Einrichtung abgebrochen.\n"
            "Befehl: amsetupdwg\nVorlagendatei angeben <Mech6.dwt>: \n"
            "Zeichnung mit dieser Vorlage einrichten? [Ja/Nein] <Nein>: \n"
            "Einrichtung abgebrochen.");
  EXPECT_EQ(drawing().WriteToString(), before);
}

TEST_F(TemplateTest, LayerResetGivesTheAmLayersTheirStandard) {
  std::string transcript = Run("amlayreset\n");
  EXPECT_EQ(transcript,
            "Befehl: amlayreset\n2 AM-Layer auf Standard gesetzt, 1 davon neu erstellt.");
  EXPECT_EQ(Field(TableRecord("LAYER", "AM_0"), 370), "50");
  EXPECT_EQ(Field(TableRecord("LAYER", "AM_7"), 6), "CENTER");
  // Only what the AM_ layers need is taken: no text or dimension styles.
  EXPECT_EQ(drawing().FindTableRecord("DIMSTYLE", "AM_ISO"), kNoRecord);
}

TEST_F(TemplateTest, RecordsCopiedIntoAnR12DrawingKeepOnlyWhatR12Knows) {
  OpenText(DxfFromPairs(
      "0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1009\n0 ENDSEC\n"
      "0 SECTION\n2 TABLES\n"
      "0 TABLE\n2 LTYPE\n70 1\n0 LTYPE\n2 CONTINUOUS\n70 0\n3 Solid line\n72 65\n73 0\n40 0.0\n"
      "0 ENDTAB\n"
      "0 TABLE\n2 LAYER\n70 1\n0 LAYER\n2 0\n70 0\n62 7\n6 CONTINUOUS\n0 ENDTAB\n"
      "0 ENDSEC\n0 SECTION\n2 BLOCKS\n0 ENDSEC\n0 SECTION\n2 ENTITIES\n0 ENDSEC\n0 EOF\n"));
  Run("amlayreset\n");
  dxf::Tags am7 = TableRecord("LAYER", "AM_7");
  EXPECT_EQ(am7, (dxf::Tags{{0, "LAYER"}, {2, "AM_7"}, {70, "0"}, {62, "4"}, {6, "CENTER"}}));
  dxf::Tags center = TableRecord("LTYPE", "CENTER");
  EXPECT_EQ(commands::FindTag(center, 100), commands::kNoTag);
  EXPECT_EQ(commands::FindTag(center, 5), commands::kNoTag);
}

}  // namespace
}  // namespace host::testing
