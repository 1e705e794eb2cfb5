#include "host/platform/process_launcher.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/ui/text_encoding.h"

extern char** environ;

namespace host {
namespace {

bool HasControlCharacters(const std::string& text) {
  for (char c : text) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> ParseStartCommand(const std::string& command_line) {
  if (HasControlCharacters(command_line)) return std::nullopt;
  size_t i = command_line.find_first_not_of(' ');
  if (i == std::string::npos || command_line.size() - i < 5 ||
      !EqualsNoCase1252(std::string_view(command_line).substr(i, 5), "start"))
    return std::nullopt;
  i += 5;
  if (i >= command_line.size() || command_line[i] != ' ') return std::nullopt;
  i = command_line.find_first_not_of(' ', i);
  if (i == std::string::npos) return std::nullopt;
  std::string path;
  size_t end;
  if (command_line[i] == '"') {
    end = command_line.find('"', i + 1);
    if (end == std::string::npos) return std::nullopt;
    path = command_line.substr(i + 1, end - i - 1);
    ++end;
  } else {
    end = command_line.find(' ', i);
    if (end == std::string::npos) end = command_line.size();
    path = command_line.substr(i, end - i);
    if (path.find('"') != std::string::npos) return std::nullopt;
  }
  if (path.empty() || command_line.find_first_not_of(' ', end) != std::string::npos)
    return std::nullopt;
  return path;
}

ProcessLauncher::~ProcessLauncher() { Reap(false); }

bool ProcessLauncher::Start(const std::string& host_path, std::string* err) {
  Reap(false);
  struct stat st;
  if (stat(host_path.c_str(), &st) != 0) {
    *err = std::strerror(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode) || access(host_path.c_str(), X_OK) != 0) {
    *err = "not an executable file";
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The program gets neither the session's input nor its output.
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::string program = host_path;
  char* argv[] = {program.data(), nullptr};
  pid_t pid;
  int rc = posix_spawn(&pid, host_path.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    *err = std::strerror(rc);
    return false;
  }
  children_.push_back(pid);
  return true;
}

void ProcessLauncher::Reap(bool wait) {
  for (size_t i = 0; i < children_.size();) {
    int status;
    pid_t r = waitpid(children_[i], &status, wait ? 0 : WNOHANG);
    if (r < 0 && errno == EINTR) continue;
    if (r == 0) {
      ++i;  // still running
      continue;
    }
    children_.erase(children_.begin() + static_cast<long>(i));
  }
}

}  // namespace host
