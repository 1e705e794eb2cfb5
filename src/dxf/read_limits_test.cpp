// Files the reader refuses for their size, before reading them whole.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "dxf/document.h"

namespace dxf {
namespace {

TEST(ReadLimitsTest, FileOverFourGiBIsRefusedUnread) {
  std::string path = (std::filesystem::temp_directory_path() /
                      ("dravolin_huge_" + std::to_string(::getpid()) + ".dxf"))
                         .string();
  int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  // Sparse: the size is there, the disk space is not taken.
  bool sized = ::ftruncate(fd, off_t{5} << 30) == 0;
  ::close(fd);
  RawFile file;
  Error err;
  bool read = sized && ReadFile(path, &file, &err);
  ::unlink(path.c_str());
  if (!sized) GTEST_SKIP() << "the file system cannot hold a 5 GiB file";
  EXPECT_FALSE(read);
  EXPECT_EQ(err.ToString(), path + ": larger than 4 GiB, more than any drawing this program reads");
  EXPECT_TRUE(file.buffer.empty());
}

}  // namespace
}  // namespace dxf
