// Template selection: the profile's registry key, the file dialog it opens
// and the "amsetupdwg" script built from the choice.
#include "hostenv/template_path.h"

#include <fstream>
#include <string>

#include "host/platform/platform.h"
#include "host/platform/registry_store.h"
#include "module/module_state.h"
#include "support/module_test_fixture.h"

namespace dravolin_test {
namespace {

const std::string kGeneralKey =
    std::string(host::kProfilesKey) + "\\" + host::kDefaultProfileName + "\\GENERAL";

class TemplatePathTest : public ModuleTest {
 protected:
  // Runs the selection with one answer for the file dialog.
  void Choose(std::optional<std::string> choice) {
    host::Answers answers;
    answers.templates.push_back(std::move(choice));
    Open(TestDrawing(), std::move(answers));
    Direct(mtemplatestemplatepath);
  }
  void SetTemplatePath(const std::string& value) {
    std::string err;
    ASSERT_TRUE(session().platform().registry().SetValue(kGeneralKey, "TemplatePath", value, &err))
        << err;
  }
};

TEST(RegistryPathTest, RemovesTheRootNameAsAWholeWordAndTheBackslashesAfterIt) {
  EXPECT_EQ(RegistryPathBelowCurrentUser("HKEY_CURRENT_USER\\Software\\A\\Profiles\\P\\GENERAL"),
            "Software\\A\\Profiles\\P\\GENERAL");
  EXPECT_EQ(RegistryPathBelowCurrentUser("hkey_current_user\\\\Software\\A"), "Software\\A");
  // Letters of the root name at the start of a key are not cut off.
  EXPECT_EQ(RegistryPathBelowCurrentUser("Software\\A\\GENERAL"), "Software\\A\\GENERAL");
  EXPECT_EQ(RegistryPathBelowCurrentUser("CURRENT\\GENERAL"), "CURRENT\\GENERAL");
  EXPECT_EQ(RegistryPathBelowCurrentUser("\\GENERAL"), "GENERAL");
}

TEST_F(TemplatePathTest, OpensTheProfilesTemplateFolderAndUsesTheChosenTemplate) {
  Choose("D:\\Vorlagen\\iso.dwt");
  EXPECT_EQ(Shown().find("\nThe profiles registry key is: HKEY_CURRENT_USER\\" +
                         std::string(host::kProfilesKey) + "\\<<Unnamed Profile>>"),
            0u)
      << Shown();
  ASSERT_EQ(channel().file_dialogs().size(), 1u);
  const host::FileDialogRequest& request = channel().file_dialogs()[0];
  EXPECT_EQ(request.initial_name, temp_dir() + "/templates\\*.DWT");
  EXPECT_EQ(request.default_ext, "DWT");
  EXPECT_EQ(request.filter, "Vorlage waehlen:  (*.DWT) | *.DWT||");
  EXPECT_TRUE(request.open_mode);
  EXPECT_EQ(request.flags, 6u) << "hide read-only, prompt before overwriting";
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(csAmSetupDwgCmd, "amsetupdwg\nD:\\Vorlagen\\iso.dwt\nJA\n");
  EXPECT_EQ(session().platform().open_keys(), 0u) << "the registry key is closed";
}

TEST_F(TemplatePathTest, CancelGivesTheDefaultScript) {
  Choose(std::nullopt);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Nichts gew\xE4hlt! Verwende Vorgabe!"});
  EXPECT_EQ(csAmSetupDwgCmd, "amsetupdwg\n\nJA\n");
}

TEST_F(TemplatePathTest, AnotherExtensionIsReportedAndUsed) {
  Choose("D:\\Vorlagen\\plan.dwg");
  EXPECT_EQ(Messages(), std::vector<std::string>{"File Extension error"});
  EXPECT_EQ(csAmSetupDwgCmd, "amsetupdwg\nD:\\Vorlagen\\plan.dwg\nJA\n");
}

TEST_F(TemplatePathTest, APathWithAControlCharacterIsRefused) {
  // A newline would end the path's answer and type the rest as commands.
  Choose("D:\\Vorlagen\\a\n_quit\nb.dwt");
  EXPECT_EQ(Messages(), std::vector<std::string>{"Ung\xFCltiger Dateiname!"});
  EXPECT_EQ(csAmSetupDwgCmd, "amsetupdwg\n\nJA\n");
  Choose("D:\\Vorlagen\\tab\there.dwt");
  EXPECT_EQ(Messages(), std::vector<std::string>{"Ung\xFCltiger Dateiname!"});
  Choose("D:\\Vorlagen\\del\x7F.dwt");
  EXPECT_EQ(Messages(), std::vector<std::string>{"Ung\xFCltiger Dateiname!"});
}

TEST_F(TemplatePathTest, ATemplateFolderTooLongForTheBufferCountsAsMissing) {
  host::Answers answers;
  answers.templates = {std::nullopt, std::nullopt};
  Open(TestDrawing(), std::move(answers));
  SetTemplatePath("C:\\" + std::string(256, 'v'));  // 259 characters: fits
  Direct(mtemplatestemplatepath);
  SetTemplatePath("C:\\" + std::string(257, 'v'));  // 260 bytes with the zero: does not
  Direct(mtemplatestemplatepath);
  ASSERT_EQ(channel().file_dialogs().size(), 2u);
  EXPECT_EQ(channel().file_dialogs()[0].initial_name, "C:\\" + std::string(256, 'v') + "\\*.DWT");
  EXPECT_EQ(channel().file_dialogs()[1].initial_name, "\\*.DWT");
}

TEST_F(TemplatePathTest, ASecondRunReplacesTheScript) {
  host::Answers answers;
  answers.templates = {std::string("D:\\a.dwt"), std::nullopt};
  Open(TestDrawing(), std::move(answers));
  Direct(mtemplatestemplatepath);
  EXPECT_EQ(csAmSetupDwgCmd, "amsetupdwg\nD:\\a.dwt\nJA\n");
  Direct(mtemplatestemplatepath);
  EXPECT_EQ(csAmSetupDwgCmd, "amsetupdwg\n\nJA\n");
}

TEST_F(TemplatePathTest, WithoutAProfileKeyGeneralIsOpenedBelowTheRoot) {
  // A registry without the profiles: the host has no key for the profile.
  std::ofstream(temp_dir() + "/registry.txt") << "; no profiles\n";
  Choose(std::nullopt);
  EXPECT_EQ(Shown().find("profiles registry key"), std::string::npos) << Shown();
  EXPECT_TRUE(session().platform().registry().HasKey("GENERAL"));
  ASSERT_EQ(channel().file_dialogs().size(), 1u);
  EXPECT_EQ(channel().file_dialogs()[0].initial_name, "\\*.DWT");
}

TEST_F(TemplatePathTest, TheStoredFolderIsUsedAsItIsOrMissing) {
  host::Answers answers;
  answers.templates = {std::nullopt, std::nullopt};
  // The profile's GENERAL key without a TemplatePath value.
  std::ofstream(temp_dir() + "/registry.txt")
      << "[" << host::kProfilesKey << "]\n@=" << host::kDefaultProfileName << "\n[" << kGeneralKey
      << "]\nOther=1\n";
  Open(TestDrawing(), std::move(answers));
  Direct(mtemplatestemplatepath);
  SetTemplatePath("D:\\Vorlagen\\");
  Direct(mtemplatestemplatepath);
  ASSERT_EQ(channel().file_dialogs().size(), 2u);
  EXPECT_EQ(channel().file_dialogs()[0].initial_name, "\\*.DWT");
  EXPECT_EQ(channel().file_dialogs()[1].initial_name, "D:\\Vorlagen\\\\*.DWT");
}

}  // namespace
}  // namespace dravolin_test
