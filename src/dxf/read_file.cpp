#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "dxf/document.h"
#include "dxf/error_text.h"

namespace dxf {
namespace {

bool IoFail(const std::string& path, int error, Error* err) {
  *err = MakeError(path, 0, -1, std::strerror(error));
  return false;
}

// Asks for huge pages behind a large buffer: a 400 MB drawing would
// otherwise take 100,000 page faults to fill, which costs more than reading.
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
// (the file may grow, or be a pipe): reading goes on until read() says the
// end is reached.
bool ReadWhole(const std::string& path, std::string* data, Error* err) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return IoFail(path, errno, err);
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    int error = errno;
    ::close(fd);
    return IoFail(path, error, err);
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    return IoFail(path, EISDIR, err);
  }
  if (S_ISREG(st.st_mode)) {
    data->reserve(static_cast<size_t>(st.st_size));
    AdviseHugePages(data);
  }
  std::vector<char> chunk(1 << 20);
  while (true) {
    ssize_t n = ::read(fd, chunk.data(), chunk.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      int error = errno;
      ::close(fd);
      return IoFail(path, error, err);
    }
    if (n == 0) break;
    data->append(chunk.data(), static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

}  // namespace

bool ReadFile(const std::string& path, RawFile* out, Error* err) {
  std::string data;
  if (!ReadWhole(path, &data, err)) return false;
  return ParseBuffer(std::move(data), path, out, err);
}

}  // namespace dxf
