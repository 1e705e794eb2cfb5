#include "host/platform/process_launcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/platform/platform_test_support.h"

namespace host {
namespace {

TEST(ParseStartCommandTest, OnlyStartWithOnePathIsUnderstood) {
  EXPECT_EQ(ParseStartCommand("start C:\\CloseDialog\\CloseDialog.exe"),
            "C:\\CloseDialog\\CloseDialog.exe");
  EXPECT_EQ(ParseStartCommand("  START   \"C:\\Mit Blank\\p.exe\"  "), "C:\\Mit Blank\\p.exe");
  EXPECT_EQ(ParseStartCommand("start"), std::nullopt);
  EXPECT_EQ(ParseStartCommand("start "), std::nullopt);
  EXPECT_EQ(ParseStartCommand("startx C:\\p.exe"), std::nullopt);
  EXPECT_EQ(ParseStartCommand("del C:\\p.exe"), std::nullopt);
  EXPECT_EQ(ParseStartCommand("start C:\\p.exe /wait"), std::nullopt);
  EXPECT_EQ(ParseStartCommand("start C:\\p.exe & del x"), std::nullopt);
  EXPECT_EQ(ParseStartCommand("start \"C:\\p.exe"), std::nullopt);
  EXPECT_EQ(ParseStartCommand("start \"\""), std::nullopt);
  EXPECT_EQ(ParseStartCommand("start a\"b"), std::nullopt);
  EXPECT_EQ(ParseStartCommand("start C:\\p.exe\nrm -rf x"), std::nullopt);
  EXPECT_EQ(ParseStartCommand("start\tC:\\p.exe"), std::nullopt);
}

class ProcessLauncherTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testing::MakeTempDir(); }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // A program that records its arguments in a file.
  std::string MakeProgram(const std::string& name) {
    std::string path = dir_ + "/" + name;
    testing::WriteTextFile(path, "#!/bin/sh\necho \"$# $0\" > \"$(dirname \"$0\")/ran.txt\"\n");
    chmod(path.c_str(), 0755);
    return path;
  }
  std::string dir_;
};

TEST_F(ProcessLauncherTest, StartsTheProgramDirectlyWithoutArguments) {
  // Blanks and shell characters in the name reach no shell: the program
  // starts under exactly this name.
  std::string program = MakeProgram("close dialog;$(x).sh");
  ProcessLauncher launcher;
  std::string err;
  ASSERT_TRUE(launcher.Start(program, &err)) << err;
  launcher.Reap(/*wait=*/true);
  EXPECT_EQ(launcher.running(), 0u);
  EXPECT_EQ(testing::ReadTextFile(dir_ + "/ran.txt"), "0 " + program + "\n");
}

TEST_F(ProcessLauncherTest, RefusesWhatIsNoExecutableFile) {
  ProcessLauncher launcher;
  std::string err;
  EXPECT_FALSE(launcher.Start(dir_ + "/missing", &err));
  EXPECT_FALSE(launcher.Start(dir_, &err));
  EXPECT_EQ(err, "not an executable file");
  testing::WriteTextFile(dir_ + "/plain.txt", "x");
  EXPECT_FALSE(launcher.Start(dir_ + "/plain.txt", &err));
  EXPECT_EQ(launcher.running(), 0u);
}

}  // namespace
}  // namespace host
