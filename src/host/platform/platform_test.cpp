// Message boxes, file search, the file dialog and the command-interpreter
// stand-in, through the functions the module calls.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "host/platform/platform_test_support.h"
#include "sdk/afxwin.h"
#include "sdk/win32.h"

namespace host {
namespace {

class PlatformTest : public testing::SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    options().drive_map = {{"C:", dir() + "/c"}, {"D:", dir() + "/d"}};
  }
};

TEST_F(PlatformTest, MessageBoxesGoToTheChannel) {
  Open();
  EXPECT_EQ(MessageBoxA(nullptr, "Sie m\xFCssen erst GETBEMFAKTOR ausf\xFChren!", "VURIZ", MB_OK),
            IDOK);
  EXPECT_EQ(AfxMessageBox("File Extension error"), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_OK), IDOK);
  ASSERT_EQ(channel().messages().size(), 3u);
  EXPECT_EQ(channel().messages()[0].caption, "VURIZ");
  EXPECT_EQ(channel().messages()[1].caption, "Dravolin");
  EXPECT_EQ(channel().messages()[1].text, "File Extension error");
  EXPECT_EQ(channel().messages()[2].caption, "Fehler");
  EXPECT_EQ(channel().transcript(),
            "[Meldung] Sie m\xFCssen erst GETBEMFAKTOR ausf\xFChren!\n"
            "[Meldung] File Extension error\n[Meldung] \n");
}

TEST_F(PlatformTest, FileSearchGoesThroughTheDriveMap) {
  testing::WriteTextFile(dir() + "/c/CloseDialog/closedialog.EXE", "x");
  Open();
  CFileFind find;
  // Windows finds files without regard to case.
  EXPECT_TRUE(find.FindFile("C:\\CloseDialog\\CloseDialog.exe"));
  EXPECT_TRUE(find.FindFile("c:/closedialog/*.exe"));
  EXPECT_FALSE(find.FindFile("C:\\CloseDialog\\Other.exe"));
  EXPECT_FALSE(find.FindFile("E:\\CloseDialog\\CloseDialog.exe"));  // unmapped drive
  EXPECT_FALSE(find.FindFile("CloseDialog.exe"));                   // relative
  EXPECT_FALSE(find.FindFile(nullptr));
}

TEST_F(PlatformTest, FileDialogListsTheFolderOfTheInitialName) {
  testing::WriteTextFile(dir() + "/d/Vorlagen/iso.dwt", "x");
  testing::WriteTextFile(dir() + "/d/Vorlagen/ANSI.DWT", "x");
  testing::WriteTextFile(dir() + "/d/Vorlagen/plan.dwg", "x");
  Answers answers;
  answers.templates = {std::string("iso.dwt"), std::nullopt};
  Open(answers);
  const char* filter = "Vorlage waehlen:  (*.DWT) | *.DWT||";
  CFileDialog dialog(TRUE, "DWT", "D:\\vorlagen\\*.DWT", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     filter);
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.GetPathName(), "D:\\vorlagen\\iso.dwt");
  ASSERT_EQ(channel().file_dialogs().size(), 1u);
  const FileDialogRequest& request = channel().file_dialogs()[0];
  EXPECT_EQ(request.folder, dir() + "/d/Vorlagen");
  EXPECT_EQ(request.folder_text, "D:\\vorlagen");
  EXPECT_EQ(request.files, (std::vector<std::string>{"ANSI.DWT", "iso.dwt"}));
  EXPECT_EQ(request.default_ext, "DWT");
  EXPECT_EQ(request.filter, filter);
  // Cancelled: no path.
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.GetPathName(), "");
}

TEST_F(PlatformTest, FileDialogOnHostFoldersAndEmptyFolders) {
  testing::WriteTextFile(dir() + "/t/Mech6.dwt", "x");
  testing::WriteTextFile(dir() + "/c/root.dwt", "x");
  Open();
  // The registry's folder is a host path; the module appends "\*.DWT".
  CFileDialog host_folder(TRUE, "DWT", (dir() + "/t\\*.DWT").c_str(), 6,
                          "Vorlage waehlen:  (*.DWT) | *.DWT||");
  host_folder.DoModal();
  // No folder at all: "\*.DWT" is the root of the current drive.
  CFileDialog root(TRUE, "DWT", "\\*.DWT", 6, "Vorlage waehlen:  (*.DWT) | *.DWT||");
  root.DoModal();
  // No filter: the initial name's pattern.
  CFileDialog unmapped(TRUE, "DWT", "Q:\\x\\*.dwt", 6, nullptr);
  unmapped.DoModal();
  ASSERT_EQ(channel().file_dialogs().size(), 3u);
  EXPECT_EQ(channel().file_dialogs()[0].files, std::vector<std::string>{"Mech6.dwt"});
  EXPECT_EQ(channel().file_dialogs()[0].PathOf("Mech6.dwt"), dir() + "/t/Mech6.dwt");
  EXPECT_EQ(channel().file_dialogs()[1].files, std::vector<std::string>{"root.dwt"});
  EXPECT_EQ(channel().file_dialogs()[1].PathOf("root.dwt"), "\\root.dwt");
  EXPECT_EQ(channel().file_dialogs()[2].folder, "");
  EXPECT_TRUE(channel().file_dialogs()[2].files.empty());
}

TEST_F(PlatformTest, ATemplateFolderThatIsGoneIsReported) {
  Open();
  platform().registry();
  EXPECT_NE(channel().transcript().find("Der Vorlagenordner \"" + dir() +
                                        "/templates\" (TemplatePath in " + dir() +
                                        "/registry.txt) fehlt."),
            std::string::npos)
      << channel().transcript();
}

TEST_F(PlatformTest, CommandInterpreterStartsOnlyAProgram) {
  std::string program = dir() + "/c/CloseDialog/CloseDialog.exe";
  testing::WriteTextFile(program, "#!/bin/sh\ntouch \"$(dirname \"$0\")/started\"\n");
  chmod(program.c_str(), 0755);
  Open();
  EXPECT_EQ(WinCommandInterpreter("start C:\\CloseDialog\\CloseDialog.exe"), 0);
  platform().processes().Reap(/*wait=*/true);
  EXPECT_TRUE(std::filesystem::exists(dir() + "/c/CloseDialog/started"));

  EXPECT_EQ(WinCommandInterpreter("C:\\CloseDialog\\CloseDialog.exe"), -1);
  EXPECT_EQ(WinCommandInterpreter("start C:\\CloseDialog\\CloseDialog.exe; rm -rf /"), -1);
  EXPECT_EQ(WinCommandInterpreter("start C:\\x\n"), -1);
  EXPECT_EQ(WinCommandInterpreter("start E:\\CloseDialog.exe"), -1);
  EXPECT_EQ(WinCommandInterpreter("start C:\\CloseDialog"), -1);  // a folder
  EXPECT_EQ(WinCommandInterpreter(nullptr), -1);
  const std::string& shown = channel().transcript();
  EXPECT_NE(shown.find("\nBefehl abgelehnt: \"C:\\CloseDialog\\CloseDialog.exe\" (nur \"start "
                       "PROGRAMM\" ist erlaubt)"),
            std::string::npos)
      << shown;
  EXPECT_NE(shown.find("\nBefehl abgelehnt: \"start C:\\x?\""), std::string::npos) << shown;
  EXPECT_NE(shown.find("\nProgramm nicht gefunden: E:\\CloseDialog.exe"), std::string::npos);
  EXPECT_NE(shown.find("\nProgramm nicht gestartet: C:\\CloseDialog: not an executable file"),
            std::string::npos);
}

}  // namespace
}  // namespace host
