#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dxf/document.h"

namespace dxf {
namespace {

// Writes go out in blocks of this size; a record larger than it is written
// directly from the caller's memory.
constexpr size_t kBlockSize = 1 << 20;

// What names a temporary as this program's: ".NAME" + kTempTag + "PID-XXXXXX".
constexpr char kTempTag[] = ".dravolin-";

std::atomic<bool> use_unnamed{true};

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

// A name for a temporary beside path, unique with high probability; the
// caller creates it exclusively and tries again on EEXIST.
std::string TemporaryName(const std::string& path) {
  unsigned char random[4] = {};
  if (::getrandom(random, sizeof random, GRND_NONBLOCK) != sizeof random) {
    static std::atomic<unsigned> counter{0};
    unsigned value = counter++ ^ static_cast<unsigned>(::getpid() * 2654435761u);
    std::memcpy(random, &value, sizeof random);
  }
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "%02x%02x%02x", random[0], random[1], random[2] ^ random[3]);
  return DirectoryOf(path) + "/." + BaseName(path) + kTempTag + std::to_string(::getpid()) + "-" +
         suffix;
}

// The named temporaries of this process, for the signal handler to remove:
// a slot is claimed (1), filled, then armed (2); the handler only reads
// armed slots.
struct CleanupSlot {
  std::atomic<int> state{0};
  pid_t owner = 0;  // a child forked meanwhile leaves the parent's alone
  char path[PATH_MAX];
};
CleanupSlot cleanup_slots[16];
constexpr int kTerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

void RemoveTemporariesAndDie(int signal_number) {
  int saved = errno;
  pid_t self = ::getpid();
  for (CleanupSlot& slot : cleanup_slots)
    if (slot.state.load() == 2 && slot.owner == self) ::unlink(slot.path);
  errno = saved;
  // SA_RESETHAND has put the default action back: the signal, delivered
  // again once the handler returns, ends the process as it would have.
  ::raise(signal_number);
}

// Installs the handler for the termination signals that still have their
// default action (one the program or its caller chose is left alone).
void EnsureCleanupHandler() {
  for (int number : kTerminationSignals) {
    struct sigaction current {};
    if (::sigaction(number, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction action {};
    action.sa_handler = RemoveTemporariesAndDie;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    ::sigaction(number, &action, nullptr);
  }
}

int ArmCleanup(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  for (int i = 0; i < static_cast<int>(std::size(cleanup_slots)); ++i) {
    int expected = 0;
    if (!cleanup_slots[i].state.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(cleanup_slots[i].path, path.c_str(), path.size() + 1);
    cleanup_slots[i].owner = ::getpid();
    cleanup_slots[i].state.store(2);
    EnsureCleanupHandler();
    return i;
  }
  return -1;
}

void DisarmCleanup(int* slot) {
  if (*slot >= 0) cleanup_slots[*slot].state.store(0);
  *slot = -1;
}

std::string MarkWithIdentity(const std::string& mark, const struct stat& st) {
  return mark + "\n" + std::to_string(st.st_size) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
         std::to_string(st.st_mtim.tv_nsec);
}

// The process id in a temporary's name, or 0 when the name is not one of
// this program's temporaries.
pid_t TemporaryOwner(const std::string& name) {
  if (name.size() < 2 || name[0] != '.') return 0;
  size_t tag = name.rfind(kTempTag);
  if (tag == std::string::npos || tag == 0) return 0;
  size_t digits = tag + std::strlen(kTempTag);
  size_t dash = name.find('-', digits);
  if (dash == std::string::npos || dash == digits || dash > digits + 9) return 0;
  if (name.size() - dash - 1 != 6) return 0;
  pid_t pid = 0;
  for (size_t i = digits; i < dash; ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    pid = pid * 10 + (name[i] - '0');
  }
  return pid;
}

}  // namespace

void OutputFile::UseUnnamedTemporaries(bool use) { use_unnamed = use; }

OutputFile::~OutputFile() { Abandon(); }

bool OutputFile::Open(const std::string& path, std::string* err) {
  Abandon();
  path_ = path;
  failed_ = false;
  error_.clear();
  pending_.clear();
  written_ = started_ = released_ = 0;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    *err = Describe(path, EISDIR);
    return false;
  }
  mode_t mode = ModeFor(path);
  int fd = -1;
  // An unnamed file is linked in through /proc; without it there is no way in.
  if (use_unnamed && ::access("/proc/self/fd", X_OK) == 0) {
    fd = ::open(DirectoryOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    unnamed_ = fd >= 0;
  }
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    std::string temp = TemporaryName(path);
    // Armed before the file exists, so that no moment leaves it unguarded.
    slot_ = ArmCleanup(temp);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      temp_path_ = temp;
      break;
    }
    int error = errno;
    DisarmCleanup(&slot_);
    if (error != EEXIST) {
      *err = Describe(path, error);
      return false;
    }
  }
  if (fd < 0) {
    *err = Describe(path, EEXIST);
    return false;
  }
  ::fchmod(fd, mode);
  fd_ = fd;
  pending_.reserve(kBlockSize);
  return true;
}

void OutputFile::Write(std::string_view text) {
  if (fd_ < 0 || failed_) return;
  synced_ = false;
  if (pending_.size() + text.size() <= kBlockSize) {
    pending_.append(text);
    return;
  }
  Flush();
  if (text.size() >= kBlockSize) {
    WriteOut(text);
  } else {
    pending_.append(text);
  }
}

void OutputFile::Flush() {
  WriteOut(pending_);
  pending_.clear();
}

void OutputFile::WriteOut(std::string_view text) {
  while (!text.empty() && !failed_) {
    ssize_t n = ::write(fd_, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      error_ = Describe(path_, errno);
      return;
    }
    text.remove_prefix(static_cast<size_t>(n));
    written_ += static_cast<size_t>(n);
  }
  if (!failed_) PassToDisk();
}

// The file is synced before it is put in place, so what the page cache
// keeps of it is only a copy on its way to the disk. Left alone, a large
// drawing would fill the cache with fresh pages (and push out other files'
// pages) only for the sync to write them out at the end; where fresh memory
// is slow to touch, as on the virtual machines we measure on, that costs
// more than the disk: writing a drawing of a million entities took 1.3 s
// that way and 0.45 s this way. So the disk is handed each part as it is
// written, and the pages of the parts a window behind, on the disk by then,
// are let go for the next parts to reuse. Where the file system does
// neither, the file is written as before.
void OutputFile::PassToDisk() {
  constexpr size_t kWindow = 8 * kBlockSize;
  constexpr size_t kPage = 4096;
  if (written_ == started_) return;  // (a length of 0 would mean "to the end")
  ::sync_file_range(fd_, static_cast<off_t>(started_), static_cast<off_t>(written_ - started_),
                    SYNC_FILE_RANGE_WRITE);
  started_ = written_;
  if (written_ < released_ + kWindow + kBlockSize) return;
  size_t end = (written_ - kWindow) / kPage * kPage;
  ::sync_file_range(
      fd_, static_cast<off_t>(released_), static_cast<off_t>(end - released_),
      SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
  ::posix_fadvise(fd_, static_cast<off_t>(released_), static_cast<off_t>(end - released_),
                  POSIX_FADV_DONTNEED);
  released_ = end;
}

// Puts the written file at path_: an unnamed file is linked in (straight to
// the target when there is none, else under a temporary name renamed over
// it); a named temporary is renamed. Something other than a regular file at
// the target is never replaced.
bool OutputFile::PutInPlace() {
  struct stat target;
  if (::lstat(path_.c_str(), &target) == 0 && !S_ISREG(target.st_mode)) {
    error_ = path_ + ": not a regular file; it is not replaced";
    return false;
  }
  if (unnamed_) {
    std::string proc = "/proc/self/fd/" + std::to_string(fd_);
    if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, path_.c_str(), AT_SYMLINK_FOLLOW) == 0)
      return true;
    if (errno != EEXIST) {
      error_ = Describe(path_, errno);
      return false;
    }
    for (int attempt = 0; temp_path_.empty(); ++attempt) {
      std::string temp = TemporaryName(path_);
      slot_ = ArmCleanup(temp);
      if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        temp_path_ = temp;
        break;
      }
      int error = errno;
      DisarmCleanup(&slot_);
      if (error != EEXIST || attempt == 100) {
        error_ = Describe(path_, error);
        return false;
      }
    }
  }
  if (::rename(temp_path_.c_str(), path_.c_str()) != 0) {
    error_ = Describe(path_, errno);
    return false;
  }
  DisarmCleanup(&slot_);
  temp_path_.clear();
  return true;
}

void OutputFile::Sync() {
  if (fd_ < 0 || failed_ || synced_) return;
  Flush();
  if (!failed_ && ::fsync(fd_) != 0) {
    failed_ = true;
    error_ = Describe(path_, errno);
  }
  synced_ = true;
}

bool OutputFile::Commit(std::string* err) {
  if (fd_ < 0) {
    *err = path_.empty() ? "no output file is open" : Describe(path_, EBADF);
    return false;
  }
  Sync();
  struct stat written;
  // A file system without extended attributes keeps no mark; the file is
  // written all the same.
  if (!failed_ && !mark_.empty() && ::fstat(fd_, &written) == 0) {
    std::string value = MarkWithIdentity(mark_, written);
    ::fsetxattr(fd_, kMarkAttribute, value.data(), value.size(), 0);
  }
  if (!failed_ && !PutInPlace()) failed_ = true;
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && !failed_) {
    failed_ = true;
    error_ = Describe(path_, errno);
  }
  if (failed_) {
    Abandon();
    *err = error_;
    return false;
  }
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
  DisarmCleanup(&slot_);
  unnamed_ = false;
  pending_.clear();
}

std::string ReadOutputMark(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return "";
  char value[PATH_MAX + 256];
  ssize_t size = ::lgetxattr(path.c_str(), kMarkAttribute, value, sizeof value);
  if (size <= 0) return "";
  std::string text(value, static_cast<size_t>(size));
  size_t identity = text.rfind('\n');
  if (identity == std::string::npos) return "";
  std::string mark = text.substr(0, identity);
  return MarkWithIdentity(mark, st) == text ? mark : "";
}

size_t SweepStaleTemporaries(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return 0;
  std::string prefix = folder.empty() ? "" : folder.back() == '/' ? folder : folder + "/";
  size_t removed = 0;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    pid_t owner = TemporaryOwner(name);
    if (owner <= 0 || owner == ::getpid()) continue;
    // A process that still runs may be writing it; only a gone one's is stale.
    if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
    std::string path = prefix + name;
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0)
      ++removed;
  }
  ::closedir(dir);
  return removed;
}

}  // namespace dxf
