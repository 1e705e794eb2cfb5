#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "dxf/document.h"

namespace dxf {
namespace {

// Writes go out in blocks of this size; a record larger than it is written
// directly from the caller's memory.
constexpr size_t kBlockSize = 1 << 20;

std::string Describe(const std::string& path, int error) {
  return path + ": " + std::strerror(error);
}

std::string BaseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The mode a newly created file would get: the target's own mode when it
// exists (so that replacing it changes nothing), else 0666 less the umask.
mode_t ModeFor(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

OutputFile::~OutputFile() { Abandon(); }

bool OutputFile::Open(const std::string& path, std::string* err) {
  Abandon();
  path_ = path;
  failed_ = false;
  error_.clear();
  pending_.clear();
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    *err = Describe(path, EISDIR);
    return false;
  }
  std::string temp = DirectoryOf(path) + "/." + BaseName(path) + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    *err = Describe(path, errno);
    return false;
  }
  ::fchmod(fd, ModeFor(path));
  fd_ = fd;
  temp_path_ = temp;
  pending_.reserve(kBlockSize);
  return true;
}

void OutputFile::Write(std::string_view text) {
  if (fd_ < 0 || failed_) return;
  if (pending_.size() + text.size() <= kBlockSize) {
    pending_.append(text);
    return;
  }
  Flush();
  if (text.size() >= kBlockSize) {
    const char* data = text.data();
    size_t left = text.size();
    while (left > 0 && !failed_) {
      ssize_t n = ::write(fd_, data, left);
      if (n < 0) {
        if (errno == EINTR) continue;
        failed_ = true;
        error_ = Describe(path_, errno);
        return;
      }
      data += n;
      left -= static_cast<size_t>(n);
    }
  } else {
    pending_.append(text);
  }
}

void OutputFile::Flush() {
  size_t done = 0;
  while (done < pending_.size() && !failed_) {
    ssize_t n = ::write(fd_, pending_.data() + done, pending_.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      error_ = Describe(path_, errno);
      break;
    }
    done += static_cast<size_t>(n);
  }
  pending_.clear();
}

bool OutputFile::Commit(std::string* err) {
  if (fd_ < 0) {
    *err = path_.empty() ? "no output file is open" : Describe(path_, EBADF);
    return false;
  }
  if (!failed_) Flush();
  if (!failed_ && ::fsync(fd_) != 0) {
    failed_ = true;
    error_ = Describe(path_, errno);
  }
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && !failed_) {
    failed_ = true;
    error_ = Describe(path_, errno);
  }
  if (!failed_ && ::rename(temp_path_.c_str(), path_.c_str()) != 0) {
    failed_ = true;
    error_ = Describe(path_, errno);
  }
  if (failed_) {
    ::unlink(temp_path_.c_str());
    temp_path_.clear();
    *err = error_;
    return false;
  }
  temp_path_.clear();
  // The new name is durable only once the folder itself is synced.
  int dir = ::open(DirectoryOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

void OutputFile::Abandon() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_path_.empty()) {
    ::unlink(temp_path_.c_str());
    temp_path_.clear();
  }
  pending_.clear();
}

}  // namespace dxf
