// OutputFile replaces its target only on Commit, and never leaves a
// temporary file behind.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "dxf/document.h"

namespace dxf {
namespace {

namespace fs = std::filesystem;

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("dravolin_out_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::vector<std::string> Files() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

TEST_F(OutputFileTest, CommitReplacesTheTarget) {
  fs::path target = dir_ / "out.dxf";
  std::ofstream(target) << "old";
  OutputFile out;
  std::string err;
  ASSERT_TRUE(out.Open(target.string(), &err)) << err;
  out.Write("  0\r\n");
  std::string big(3 << 20, 'x');  // larger than the write buffer
  out.Write(big);
  out.Write("EOF\r\n");
  EXPECT_EQ(Contents(target), "old");  // untouched until Commit
  ASSERT_TRUE(out.Commit(&err)) << err;
  EXPECT_EQ(Contents(target), "  0\r\n" + big + "EOF\r\n");
  EXPECT_EQ(Files(), std::vector<std::string>{"out.dxf"});
}

TEST_F(OutputFileTest, NewFileGetsOrdinaryPermissions) {
  fs::path target = dir_ / "new.dxf";
  OutputFile out;
  std::string err;
  ASSERT_TRUE(out.Open(target.string(), &err));
  ASSERT_TRUE(out.Commit(&err));
  mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat st;
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

TEST_F(OutputFileTest, WithoutCommitNothingIsLeft) {
  fs::path target = dir_ / "out.dxf";
  {
    OutputFile out;
    std::string err;
    ASSERT_TRUE(out.Open(target.string(), &err));
    out.Write("partial");
  }
  EXPECT_TRUE(Files().empty());
  OutputFile out;
  std::string err;
  ASSERT_TRUE(out.Open(target.string(), &err));
  out.Abandon();
  EXPECT_TRUE(Files().empty());
}

TEST_F(OutputFileTest, OpenErrorsNameThePath) {
  OutputFile out;
  std::string err;
  std::string missing = (dir_ / "no" / "such" / "out.dxf").string();
  EXPECT_FALSE(out.Open(missing, &err));
  EXPECT_EQ(err, missing + ": No such file or directory");
  EXPECT_FALSE(out.Open(dir_.string(), &err));
  EXPECT_EQ(err, dir_.string() + ": Is a directory");
  EXPECT_TRUE(Files().empty());
}

TEST_F(OutputFileTest, WriteErrorIsReportedAtCommitAndCleansUp) {
  // A file-size limit makes write() fail the way a full disk does.
  fs::path target = dir_ / "out.dxf";
  struct rlimit old_limit;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  auto old_handler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old_limit;
  small.rlim_cur = 1 << 20;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

  OutputFile out;
  std::string err;
  bool opened = out.Open(target.string(), &err);
  if (opened) {
    out.Write(std::string(3 << 20, 'x'));
    EXPECT_FALSE(out.Commit(&err));
  }
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  ::signal(SIGXFSZ, old_handler);
  ASSERT_TRUE(opened);
  EXPECT_EQ(err, target.string() + ": File too large");
  EXPECT_TRUE(Files().empty());
}

}  // namespace
}  // namespace dxf
