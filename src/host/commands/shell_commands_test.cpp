// The interactive shell's file commands and the names the stand-ins answer to.
#include <gtest/gtest.h>

#include "support/stand_in_test_drawings.h"
#include "support/stand_in_test_support.h"

namespace host::testing {
namespace {

class ShellCommandsTest : public StandInTest {
 protected:
  void SetUp() override { Open(kLayoutDrawing); }
};

TEST_F(ShellCommandsTest, FileCommandsGoThroughTheShellsHooks) {
  EXPECT_EQ(Run("_qsave\n"), "Befehl: _qsave\nIn dieser Sitzung nicht verfügbar.");
  std::vector<std::string> saved, opened;
  ShellHooks hooks;
  hooks.save = [&](const std::string& path) {
    saved.push_back(path);
    return true;
  };
  hooks.open = [&](const std::string& path) {
    opened.push_back(path);
    return true;
  };
  cl().SetShellHooks(hooks);
  Run("_qsave\nKSICH\n_saveas\n/tmp/mit Leerzeichen.dxf\nSICHALS\n\n_open\nC:\\a.dxf\n");
  EXPECT_EQ(saved, (std::vector<std::string>{"", "", "/tmp/mit Leerzeichen.dxf", ""}));
  EXPECT_EQ(opened, (std::vector<std::string>{"C:\\a.dxf"}));
  EXPECT_FALSE(cl().quit_requested());
  Run("_quit\nTILEMODE\n1\n");
  EXPECT_TRUE(cl().quit_requested());
  EXPECT_EQ(Header("$TILEMODE"), "0");  // nothing runs after _quit
}

TEST_F(ShellCommandsTest, StandInsAnswerToTheirEnglishAndGermanNames) {
  for (const char* name : {"_cutclip", "copyclip", "._pasteclip", "tilemode", "._scale", "varia",
                           "._zoom", "Ändern", "_change", "bemüberschr", "_dimoverride", "-stil",
                           "_-style", "stil", "amlayreset", "amsetupdwg", "_qsave", "öffnen"}) {
    EXPECT_TRUE(cl().HasCommand(name)) << name;
  }
  // "_" asks for the English name: a German name is not one.
  for (const char* name : {"_varia", "_ändern", "_bemüberschr", "_-stil", "_ksich"}) {
    EXPECT_FALSE(cl().HasCommand(name)) << name;
  }
}

}  // namespace
}  // namespace host::testing
