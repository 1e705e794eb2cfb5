#include "cli/output_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "dxf/document.h"

namespace cli {

namespace {

bool EndsWithDxf(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ext = name.substr(name.size() - 4);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".dxf";
}

}  // namespace

std::string DefaultOutputPath(const std::string& input, const std::string& suffix,
                              const std::string& out_dir) {
  size_t slash = input.rfind('/');
  std::string folder = slash == std::string::npos ? "" : input.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
  // A name that is nothing but ".dxf" keeps it, so the output is not hidden.
  if (EndsWithDxf(name) && name.size() > 4) name.resize(name.size() - 4);
  name += suffix + ".dxf";
  if (out_dir.empty()) return folder + name;
  return out_dir.back() == '/' ? out_dir + name : out_dir + "/" + name;
}

bool CheckOutputIsNoInput(const std::string& output, const std::vector<std::string>& inputs,
                          std::string* err) {
  for (const std::string& input : inputs) {
    if (output == input) {
      *err = "refusing to write '" + output + "': it is the input file";
      return false;
    }
  }
  struct stat out_stat;
  // stat follows a symbolic link, so a link to an input is caught below too.
  if (stat(output.c_str(), &out_stat) != 0) return true;
  for (const std::string& input : inputs) {
    struct stat in_stat;
    if (stat(input.c_str(), &in_stat) != 0) continue;
    if (in_stat.st_dev == out_stat.st_dev && in_stat.st_ino == out_stat.st_ino) {
      *err = "refusing to write '" + output + "': it is the same file as the input '" + input +
             "' (a link to it)";
      return false;
    }
  }
  return true;
}

std::string ResolvedPath(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  char* resolved = realpath(folder.c_str(), nullptr);
  if (!resolved) return path;
  std::string result = resolved;
  free(resolved);
  if (name.empty() || name == "." || name == "..") return path;
  return result == "/" ? "/" + name : result + "/" + name;
}

std::string OutputMark(const std::string& producer, const std::string& input) {
  char* resolved = realpath(input.c_str(), nullptr);
  std::string path = resolved ? resolved : input;
  free(resolved);
  return producer + "\n" + path;
}

bool IsEarlierOutput(const std::string& path, const std::string& mark) {
  return !mark.empty() && dxf::ReadOutputMark(path) == mark;
}

std::string ReplaceProblem(const std::string& path, const std::string& mark, bool overwrite) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return "";
  if (S_ISLNK(info.st_mode)) return "a symbolic link; name the file it points to";
  if (S_ISDIR(info.st_mode)) return "a folder";
  if (!S_ISREG(info.st_mode)) return "not a regular file";
  if (overwrite || IsEarlierOutput(path, mark)) return "";
  return "an existing file that is not an earlier output of this conversion";
}

bool PrepareOutputFolder(const std::string& path, std::string* err) {
  size_t slash = path.rfind('/');
  dxf::SweepStaleTemporaries(slash == std::string::npos ? "." : path.substr(0, slash + 1));
  dxf::OutputFile probe;
  if (!probe.Open(path, err)) return false;
  probe.Abandon();
  return true;
}

bool ReadWholeFile(const std::string& path, std::string* contents, std::string* err) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *err = path + ": " + std::strerror(errno);
    return false;
  }
  struct stat info;
  if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    close(fd);
    *err = path + ": " + std::strerror(EISDIR);
    return false;
  }
  contents->clear();
  char buffer[1 << 16];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      *err = path + ": " + std::strerror(errno);
      close(fd);
      return false;
    }
    if (got == 0) break;
    contents->append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return true;
}

}  // namespace cli
