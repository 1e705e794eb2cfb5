// (amgsetdwgsetting ...) and (amggetdwgsetting ...).
#include <gtest/gtest.h>

#include "support/stand_in_test_drawings.h"
#include "support/stand_in_test_support.h"

namespace host::testing {
namespace {

class DrawingSettingsTest : public StandInTest {};

TEST_F(DrawingSettingsTest, SettingIsKeptInAnXrecordListedByTheNamedObjectDictionary) {
  Open(kLayoutDrawing);
  EXPECT_EQ(Run("(amgsetdwgsetting \"scale\" \"1:2.000000\")\n"),
            "Befehl: (amgsetdwgsetting \"scale\" \"1:2.000000\")\nT");
  Run("(amgsetdwgsetting \"scale\" \"1:4.000000\")\n(amgsetdwgsetting \"other\" \"x\")\n");
  std::string written = drawing().WriteToString();
  std::string root = DxfFromPairs(
      "0 DICTIONARY\n5 C\n330 0\n100 AcDbDictionary\n281 1\n3 ACAD_GROUP\n350 D\n"
      "3 ACAD_LAYOUT\n350 1A\n3 DRAVOLIN_AMSETTINGS\n350 100\n");
  EXPECT_NE(written.find(root), std::string::npos) << written;
  std::string record = DxfFromPairs(
      "0 XRECORD\n5 100\n330 C\n100 AcDbXrecord\n280 1\n1 scale\n1 1:4.000000\n1 other\n1 x\n");
  EXPECT_NE(written.find(record), std::string::npos) << written;
  EXPECT_EQ(Run("(amggetdwgsetting \"SCALE\")\n"),
            "\nBefehl: (amggetdwgsetting \"SCALE\")\n\"1:4.000000\"");
}

TEST_F(DrawingSettingsTest, R12DrawingKeepsTheSettingForTheSessionOnly) {
  OpenText(
      DxfFromPairs("0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1009\n0 ENDSEC\n"
                   "0 SECTION\n2 ENTITIES\n0 ENDSEC\n0 EOF\n"));
  std::string before = drawing().WriteToString();
  std::string transcript =
      Run("(amgsetdwgsetting \"scale\" \"1:2.000000\")\n"
          "(amggetdwgsetting \"scale\")\n");
  EXPECT_NE(transcript.find("\"scale\" gilt nur in dieser Sitzung.\nT\n"), std::string::npos)
      << transcript;
  EXPECT_NE(transcript.find("\n\"1:2.000000\""), std::string::npos);
  EXPECT_EQ(drawing().WriteToString(), before);
}

TEST_F(DrawingSettingsTest, WrongArgumentsAreReported) {
  Open(kLayoutDrawing);
  EXPECT_EQ(
      Run("(amgsetdwgsetting \"scale\" 5)\n"),
      "Befehl: (amgsetdwgsetting \"scale\" 5)\n; Fehler: Fehlerhafter Argumenttyp: stringp 5");
  EXPECT_EQ(Run("(amgsetdwgsetting \"scale\")\n"),
            "\nBefehl: (amgsetdwgsetting \"scale\")\n; Fehler: Zu wenig Argumente");
}

}  // namespace
}  // namespace host::testing
