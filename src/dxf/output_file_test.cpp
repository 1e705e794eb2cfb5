// OutputFile replaces its target only on Commit, and never leaves a
// temporary file behind.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

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
  out.Sync();                     // what is written after a sync goes into the file too
  std::string big(3 << 20, 'x');  // larger than the write buffer
  out.Write(big);
  out.Write("EOF\r\n");
  EXPECT_EQ(Contents(target), "old");  // untouched until Commit
  ASSERT_TRUE(out.Commit(&err)) << err;
  EXPECT_EQ(Contents(target), "  0\r\n" + big + "EOF\r\n");
  EXPECT_EQ(Files(), std::vector<std::string>{"out.dxf"});
}

// A large file is handed to the disk as it is written and its pages let
// go behind it: what reaches the file is still every byte, in order, from
// writes of every size and a sync in the middle.
TEST_F(OutputFileTest, LargeFileArrivesWhole) {
  fs::path target = dir_ / "out.dxf";
  OutputFile out;
  std::string err;
  ASSERT_TRUE(out.Open(target.string(), &err)) << err;
  std::string expected;
  for (size_t i = 0; expected.size() < (24u << 20); ++i) {
    size_t size = i % 50 == 49 ? (3u << 20) + 17 : 1 + (i * 7919) % 200000;
    std::string part(size, static_cast<char>('a' + i % 26));
    out.Write(part);
    expected += part;
    if (i == 60) out.Sync();
  }
  ASSERT_TRUE(out.Commit(&err)) << err;
  EXPECT_TRUE(Contents(target) == expected);
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

// A file-size limit makes write() fail with EFBIG, as a full disk makes it
// fail with ENOSPC. The limit holds for the scope; SIGXFSZ is ignored so
// that the write fails instead of the process ending.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ok_ = ::getrlimit(RLIMIT_FSIZE, &old_) == 0;
    old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old_;
    small.rlim_cur = bytes;
    ok_ = ok_ && ::setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, old_handler_);
  }
  bool ok() const { return ok_; }

 private:
  struct rlimit old_;
  sighandler_t old_handler_;
  bool ok_ = false;
};

TEST_F(OutputFileTest, FullDiskKeepsTheOldTarget) {
  fs::path target = dir_ / "out.dxf";
  std::ofstream(target) << "old";
  // Small writes stay in the buffer until Commit flushes them; large ones
  // go out at once. Both fail alike.
  for (size_t size : {size_t{100}, size_t{3} << 20}) {
    SCOPED_TRACE(size);
    OutputFile out;
    std::string err;
    bool opened, committed = true;
    {
      FileSizeLimit limit(size / 2);
      ASSERT_TRUE(limit.ok());
      opened = out.Open(target.string(), &err);
      if (opened) {
        out.Write(std::string(size, 'x'));
        committed = out.Commit(&err);
      }
    }
    ASSERT_TRUE(opened) << err;
    EXPECT_FALSE(committed);
    EXPECT_EQ(err, target.string() + ": File too large");
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(Files(), std::vector<std::string>{"out.dxf"});
  }
}

TEST_F(OutputFileTest, ReadOnlyFolderIsRefusedAtOpen) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  fs::path folder = dir_ / "read-only";
  fs::create_directory(folder);
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  OutputFile out;
  std::string err;
  std::string target = (folder / "out.dxf").string();
  EXPECT_FALSE(out.Open(target, &err));
  fs::permissions(folder, fs::perms::owner_all);
  EXPECT_EQ(err, target + ": Permission denied");
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(OutputFileTest, FailedRenameLeavesNoTemporaryFile) {
  // The target turns into a folder between Open and Commit.
  fs::path target = dir_ / "out.dxf";
  OutputFile out;
  std::string err;
  ASSERT_TRUE(out.Open(target.string(), &err)) << err;
  out.Write("  0\nEOF\n");
  fs::create_directories(target / "inside");
  EXPECT_FALSE(out.Commit(&err));
  EXPECT_EQ(err.rfind(target.string() + ": ", 0), 0u) << err;
  EXPECT_EQ(Files(), std::vector<std::string>{"out.dxf"});
  EXPECT_TRUE(fs::is_directory(target / "inside"));
}

TEST_F(OutputFileTest, FolderThatIsAFileIsRefusedAtOpen) {
  fs::path file = dir_ / "plain";
  std::ofstream(file) << "x";
  OutputFile out;
  std::string err;
  std::string target = (file / "out.dxf").string();
  EXPECT_FALSE(out.Open(target, &err));
  EXPECT_EQ(err, target + ": Not a directory");
  EXPECT_EQ(Files(), std::vector<std::string>{"plain"});
}

// Runs body in a child process and returns how it ended (waitpid status).
template <typename Body>
int InChild(Body body) {
  pid_t pid = ::fork();
  if (pid == 0) {
    body();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST_F(OutputFileTest, InterruptedWriteLeavesNothing) {
  std::string target = (dir_ / "out.dxf").string();
  // A named temporary is removed by the termination signals; an unnamed one
  // vanishes with its process, even one killed outright.
  struct Case {
    bool unnamed;
    int signal_number;
  };
  for (Case c : {Case{false, SIGTERM}, Case{false, SIGINT}, Case{false, SIGHUP},
                 Case{true, SIGKILL}, Case{true, SIGTERM}}) {
    SCOPED_TRACE(std::to_string(c.unnamed) + " " + strsignal(c.signal_number));
    int status = InChild([&] {
      ::signal(c.signal_number, SIG_DFL);
      OutputFile::UseUnnamedTemporaries(c.unnamed);
      OutputFile out;
      std::string err;
      if (!out.Open(target, &err)) ::_exit(1);
      out.Write(std::string(3 << 20, 'x'));
      ::raise(c.signal_number);
    });
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), c.signal_number);
    EXPECT_TRUE(Files().empty());
  }
  // While a named temporary is written, it carries this program's name.
  OutputFile::UseUnnamedTemporaries(false);
  OutputFile out;
  std::string err;
  ASSERT_TRUE(out.Open(target, &err)) << err;
  OutputFile::UseUnnamedTemporaries(true);
  ASSERT_EQ(Files().size(), 1u);
  EXPECT_EQ(Files()[0].rfind(".out.dxf.dravolin-" + std::to_string(::getpid()) + "-", 0), 0u);
}

TEST_F(OutputFileTest, SweepRemovesOnlyTheTemporariesOfGoneProcesses) {
  pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  std::string dead = std::to_string(gone), alive = std::to_string(::getppid());
  std::vector<std::string> names = {
      ".a.dxf.dravolin-" + dead + "-0a1b2c", ".b.dxf.dravolin-" + alive + "-0a1b2c",
      ".c.dxf.dravolin-" + dead + "-0a1b2",  ".c.dxf.0a1b2c",
      "d.dxf.dravolin-" + dead + "-0a1b2c",  ".e.dxf.dravolin-x1-0a1b2c"};
  for (const std::string& name : names) std::ofstream(dir_ / name) << "x";
  EXPECT_EQ(SweepStaleTemporaries(dir_.string()), 1u);
  EXPECT_EQ(Files(), (std::vector<std::string>{
                         ".b.dxf.dravolin-" + alive + "-0a1b2c", ".c.dxf.0a1b2c",
                         ".c.dxf.dravolin-" + dead + "-0a1b2", ".e.dxf.dravolin-x1-0a1b2c",
                         "d.dxf.dravolin-" + dead + "-0a1b2c"}));
}

TEST_F(OutputFileTest, MarkHoldsUntilTheFileChanges) {
  fs::path target = dir_ / "out.dxf";
  std::ofstream(target) << "old";
  if (::setxattr(target.c_str(), "user.probe", "1", 1, 0) != 0)
    GTEST_SKIP() << "no extended attributes here";
  for (bool unnamed : {true, false}) {
    OutputFile::UseUnnamedTemporaries(unnamed);
    OutputFile out;
    std::string err;
    ASSERT_TRUE(out.Open(target.string(), &err)) << err;
    out.SetMark("convert mech6\n/in.dxf");
    out.Write("  0\nEOF\n");
    ASSERT_TRUE(out.Commit(&err)) << err;
    OutputFile::UseUnnamedTemporaries(true);
    EXPECT_EQ(ReadOutputMark(target.string()), "convert mech6\n/in.dxf");
    EXPECT_EQ(Contents(target), "  0\nEOF\n");  // the mark is no part of the data
  }
  std::ofstream(target, std::ios::app) << "edited";
  EXPECT_EQ(ReadOutputMark(target.string()), "");
}

TEST_F(OutputFileTest, CommitReplacesNothingButARegularFile) {
  fs::path file = dir_ / "file";
  std::ofstream(file) << "kept";
  fs::create_symlink(file, dir_ / "link");
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  for (const char* name : {"link", "fifo"}) {
    OutputFile out;
    std::string err;
    ASSERT_TRUE(out.Open((dir_ / name).string(), &err)) << err;
    out.Write("new");
    EXPECT_FALSE(out.Commit(&err)) << name;
    EXPECT_EQ(err, (dir_ / name).string() + ": not a regular file; it is not replaced");
  }
  EXPECT_TRUE(fs::is_symlink(dir_ / "link"));
  EXPECT_TRUE(fs::is_fifo(dir_ / "fifo"));
  EXPECT_EQ(Contents(file), "kept");
  EXPECT_EQ(Files(), (std::vector<std::string>{"fifo", "file", "link"}));
}

}  // namespace
}  // namespace dxf
