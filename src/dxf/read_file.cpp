#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "dxf/document.h"
#include "dxf/error_text.h"

namespace dxf {
namespace {

bool IoFail(const std::string& path, int error, Error* err) {
  *err = MakeError(path, 0, -1, std::strerror(error));
  return false;
}

// Line numbers and record offsets are kept in 32 bits; no drawing comes near
// this size, and a stream that never ends stops here.
constexpr uint64_t kMaxFileSize = uint64_t{4} << 30;

bool TooLarge(const std::string& path, Error* err) {
  *err = MakeError(path, 0, -1, "larger than 4 GiB, more than any drawing this program reads");
  return false;
}

// A device, a FIFO or a socket may never end (/dev/zero) or wait forever
// for a writer: drawings are read from regular files only, and that is
// known before a byte is read.
bool NotAFile(const std::string& path, mode_t mode, Error* err) {
  const char* kind = S_ISCHR(mode)    ? "a character device"
                     : S_ISBLK(mode)  ? "a block device"
                     : S_ISFIFO(mode) ? "a FIFO (named pipe)"
                     : S_ISSOCK(mode) ? "a socket"
                                      : "a special file";
  *err = MakeError(path, 0, -1,
                   std::string("not a regular file but ") + kind +
                       "; drawings are read from regular files only");
  return false;
}

// Asks for huge pages behind a large buffer. Every record the program has
// not rewritten stays a view into it, and a conversion reads it again and
// again. Measured at a million entities on a virtual machine, where a fresh
// 2 MB page can take 15 ms to clear, the two ways came out even: on
// ordinary pages the load was 1.3 to 3.7 s quicker and the steps after it
// 1.4 to 5.4 s slower. A bare load and save, which reads the buffer twice,
// is quicker on ordinary pages there.
void AdviseHugePages(std::string* data) {
#ifdef MADV_HUGEPAGE
  constexpr uintptr_t kHuge = uintptr_t{2} << 20;
  uintptr_t begin = reinterpret_cast<uintptr_t>(data->data());
  uintptr_t end = begin + data->capacity();
  uintptr_t aligned_begin = (begin + kHuge - 1) & ~(kHuge - 1);
  uintptr_t aligned_end = end & ~(kHuge - 1);
  if (aligned_end > aligned_begin) {
    ::madvise(reinterpret_cast<void*>(aligned_begin), aligned_end - aligned_begin, MADV_HUGEPAGE);
  }
#else
  (void)data;
#endif
}

// Reads the whole file into one buffer sized from fstat. The buffer is
// reserved rather than resized, so that it is not zero-filled first; reads
// go through a small chunk that stays in the cache. The size is only a hint
// (the file may grow while it is read): reading goes on until read() says
// the end is reached.
bool ReadWholeUnguarded(int fd, const std::string& path, std::string* data, Error* err) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return IoFail(path, errno, err);
  if (S_ISDIR(st.st_mode)) return IoFail(path, EISDIR, err);
  if (!S_ISREG(st.st_mode)) return NotAFile(path, st.st_mode, err);
  if (static_cast<uint64_t>(st.st_size) > kMaxFileSize) return TooLarge(path, err);
  data->reserve(static_cast<size_t>(st.st_size));
  AdviseHugePages(data);
  std::vector<char> chunk(1 << 20);
  while (true) {
    ssize_t n = ::read(fd, chunk.data(), chunk.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return IoFail(path, errno, err);
    }
    if (n == 0) break;
    // A file that grows without end while it is read stops here.
    if (data->size() + static_cast<size_t>(n) > kMaxFileSize) return TooLarge(path, err);
    data->append(chunk.data(), static_cast<size_t>(n));
  }
  return true;
}

// Running out of memory while reading is an answer about this file, not a
// fault of the program.
bool ReadWhole(const std::string& path, std::string* data, Error* err) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer before it can be
  // refused. Reading a regular file is not affected.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return IoFail(path, errno, err);
  bool read;
  try {
    read = ReadWholeUnguarded(fd, path, data, err);
  } catch (const std::bad_alloc&) {
    std::string().swap(*data);
    *err = MakeError(path, 0, -1, "not enough memory to read the file");
    read = false;
  }
  ::close(fd);
  return read;
}

}  // namespace

bool ReadFile(const std::string& path, RawFile* out, Error* err) {
  std::string data;
  if (!ReadWhole(path, &data, err)) return false;
  return ParseBuffer(std::move(data), path, out, err);
}

}  // namespace dxf
