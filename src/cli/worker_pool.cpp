#include "cli/worker_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <vector>

namespace cli {

namespace {

// Exit status of a child whose work threw.
constexpr int kWorkThrew = 70;

struct Child {
  size_t index;
  pid_t pid;
  int fd;
  std::string data;
};

void WriteAll(int fd, const std::string& text) {
  const char* data = text.data();
  size_t left = text.size();
  while (left > 0) {
    ssize_t n = write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the parent is gone; nobody is left to tell
    data += n;
    left -= static_cast<size_t>(n);
  }
}

[[noreturn]] void RunChild(const WorkerPool::Work& work, size_t index, int fd) {
  int status = 0;
  std::string result;
  try {
    result = work(index);
  } catch (const std::exception& fault) {
    std::cerr << "dravolin: error: internal error: " << fault.what() << "\n";
    status = kWorkThrew;
  } catch (...) {
    status = kWorkThrew;
  }
  if (status == 0) WriteAll(fd, result);
  close(fd);
  std::cout.flush();
  std::cerr.flush();
  // _exit: the parent's exit handlers and static objects are the parent's.
  _exit(status);
}

WorkerOutcome OutcomeOf(int status, std::string data) {
  WorkerOutcome outcome;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    outcome.finished = true;
    outcome.result = std::move(data);
  } else if (WIFSIGNALED(status)) {
    outcome.failure = "the conversion process ended by signal " + std::to_string(WTERMSIG(status)) +
                      " (" + strsignal(WTERMSIG(status)) + ")";
  } else if (WIFEXITED(status) && WEXITSTATUS(status) == kWorkThrew) {
    outcome.failure = "the conversion process met an internal error";
  } else {
    outcome.failure = "the conversion process ended with status " +
                      std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  }
  return outcome;
}

}  // namespace

bool WorkerPool::Run(size_t count, const Work& work, const Started& started, const Done& done,
                     std::string* err) {
  std::vector<Child> running;
  size_t next = 0;
  size_t failed_starts = 0;
  // Output still buffered here would otherwise be written by the children too.
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);

  while (next < count || !running.empty()) {
    while (running.size() < parallel_ && next < count) {
      size_t index = next++;
      started(index);
      int fds[2];
      if (pipe2(fds, O_CLOEXEC) != 0) {
        ++failed_starts;
        done(index, {false, "", std::string("cannot start a process: ") + std::strerror(errno)});
        continue;
      }
      pid_t pid = fork();
      if (pid == 0) {
        close(fds[0]);
        RunChild(work, index, fds[1]);
      }
      close(fds[1]);
      if (pid < 0) {
        int error = errno;
        close(fds[0]);
        ++failed_starts;
        done(index, {false, "", std::string("cannot start a process: ") + std::strerror(error)});
        continue;
      }
      running.push_back({index, pid, fds[0], {}});
    }
    if (running.empty()) break;

    std::vector<pollfd> polls;
    for (const Child& child : running) polls.push_back({child.fd, POLLIN, 0});
    if (poll(polls.data(), polls.size(), -1) < 0) {
      if (errno == EINTR) continue;
      *err = std::string("waiting for the conversions: ") + std::strerror(errno);
      return false;
    }
    for (size_t i = polls.size(); i-- > 0;) {
      if (!polls[i].revents) continue;
      Child& child = running[i];
      char buffer[1 << 16];
      ssize_t n = read(child.fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n > 0) {
        child.data.append(buffer, static_cast<size_t>(n));
        continue;
      }
      // End of the result: the child has written everything or has died.
      close(child.fd);
      int status = 0;
      while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
      }
      Child ended = std::move(child);
      running.erase(running.begin() + static_cast<long>(i));
      done(ended.index, OutcomeOf(status, std::move(ended.data)));
    }
  }
  if (count > 0 && failed_starts == count) {
    *err = "no conversion process could be started";
    return false;
  }
  return true;
}

}  // namespace cli
