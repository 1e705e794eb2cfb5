#include "cli/output_path.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace cli {
namespace {

TEST(OutputPathTest, DefaultNameSitsBesideTheInput) {
  EXPECT_EQ(DefaultOutputPath("dir/parts.dxf", "-mech6"), "dir/parts-mech6.dxf");
  EXPECT_EQ(DefaultOutputPath("PARTS.DXF", "-genius"), "PARTS-genius.dxf");
  EXPECT_EQ(DefaultOutputPath("parts.v2", "-mech6"), "parts.v2-mech6.dxf");
  EXPECT_EQ(DefaultOutputPath("/a.b/parts", "-mech6"), "/a.b/parts-mech6.dxf");
  EXPECT_EQ(DefaultOutputPath(".dxf", "-mech6"), ".dxf-mech6.dxf");
  EXPECT_EQ(DefaultOutputPath("dir/parts.dxf", "-mech6", "out"), "out/parts-mech6.dxf");
  EXPECT_EQ(DefaultOutputPath("parts.dxf", "-mech6", "out/"), "out/parts-mech6.dxf");
}

class OutputGuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/dravolin-cli-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    input_ = dir_ + "/in.dxf";
    std::ofstream(input_) << "0\nEOF\n";
  }
  void TearDown() override {
    std::string command = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(system(command.c_str()), 0);
  }
  std::string dir_, input_;
};

TEST_F(OutputGuardTest, RefusesEveryWayOfNamingTheInput) {
  std::string err;
  EXPECT_FALSE(CheckOutputIsNoInput(input_, {input_}, &err));
  EXPECT_EQ(err, "refusing to write '" + input_ + "': it is the input file");

  std::string dotted = dir_ + "/./in.dxf";
  EXPECT_FALSE(CheckOutputIsNoInput(dotted, {input_}, &err));

  std::string symlink_path = dir_ + "/link.dxf";
  ASSERT_EQ(symlink(input_.c_str(), symlink_path.c_str()), 0);
  EXPECT_FALSE(CheckOutputIsNoInput(symlink_path, {input_}, &err));

  std::string hardlink_path = dir_ + "/hard.dxf";
  ASSERT_EQ(link(input_.c_str(), hardlink_path.c_str()), 0);
  EXPECT_FALSE(CheckOutputIsNoInput(hardlink_path, {"other.dxf", input_}, &err));
  EXPECT_EQ(err, "refusing to write '" + hardlink_path + "': it is the same file as the input '" +
                     input_ + "' (a link to it)");
}

TEST_F(OutputGuardTest, AcceptsNewAndUnrelatedFiles) {
  std::string err;
  EXPECT_TRUE(CheckOutputIsNoInput(dir_ + "/new.dxf", {input_}, &err)) << err;
  std::string other = dir_ + "/other.dxf";
  std::ofstream(other) << "0\nEOF\n";
  EXPECT_TRUE(CheckOutputIsNoInput(other, {input_}, &err)) << err;
  std::string dangling = dir_ + "/dangling.dxf";
  ASSERT_EQ(symlink((dir_ + "/nowhere").c_str(), dangling.c_str()), 0);
  EXPECT_TRUE(CheckOutputIsNoInput(dangling, {input_}, &err)) << err;
}

TEST_F(OutputGuardTest, ResolvedPathsOfOneFileAreEqual) {
  std::string subdir = dir_ + "/sub";
  ASSERT_EQ(mkdir(subdir.c_str(), 0700), 0);
  std::string expected = ResolvedPath(dir_ + "/out.dxf");
  EXPECT_EQ(ResolvedPath(dir_ + "/./out.dxf"), expected);
  EXPECT_EQ(ResolvedPath(subdir + "/../out.dxf"), expected);
  std::string linked_dir = dir_ + "/linked";
  ASSERT_EQ(symlink(dir_.c_str(), linked_dir.c_str()), 0);
  EXPECT_EQ(ResolvedPath(linked_dir + "/out.dxf"), expected);
  EXPECT_NE(ResolvedPath(subdir + "/out.dxf"), expected);
  EXPECT_EQ(ResolvedPath("/nowhere/at/all.dxf"), "/nowhere/at/all.dxf");
}

TEST_F(OutputGuardTest, ReadWholeFileNamesTheProblem) {
  std::string contents, err;
  ASSERT_TRUE(ReadWholeFile(input_, &contents, &err)) << err;
  EXPECT_EQ(contents, "0\nEOF\n");
  EXPECT_FALSE(ReadWholeFile(dir_, &contents, &err));
  EXPECT_EQ(err, dir_ + ": Is a directory");
  EXPECT_FALSE(ReadWholeFile(dir_ + "/missing", &contents, &err));
  EXPECT_EQ(err, dir_ + "/missing: No such file or directory");
}

}  // namespace
}  // namespace cli
