#include "cli/worker_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
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

// The signals that stop a run: each running child is stopped with SIGTERM,
// then the parent ends by the signal it received.
constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};
volatile sig_atomic_t stop_signal = 0;

void NoteStop(int number) { stop_signal = number; }

// While the pool runs, the stop signals are blocked except while it waits
// (ppoll), so that one arriving at any moment is seen; the previous actions
// and mask come back when it ends, in the parent and in each child.
class StopSignals {
 public:
  StopSignals() {
    stop_signal = 0;
    sigset_t stops;
    sigemptyset(&stops);
    for (size_t i = 0; i < std::size(kStopSignals); ++i) {
      sigaddset(&stops, kStopSignals[i]);
      struct sigaction action {};
      action.sa_handler = NoteStop;
      sigemptyset(&action.sa_mask);
      // An ignored signal (nohup) stays ignored.
      sigaction(kStopSignals[i], nullptr, &previous_[i]);
      if (previous_[i].sa_handler != SIG_IGN) sigaction(kStopSignals[i], &action, nullptr);
    }
    sigprocmask(SIG_BLOCK, &stops, &mask_);
  }
  ~StopSignals() { Restore(); }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  void Restore() {
    for (size_t i = 0; i < std::size(kStopSignals); ++i)
      sigaction(kStopSignals[i], &previous_[i], nullptr);
    sigprocmask(SIG_SETMASK, &mask_, nullptr);
  }
  // In a child: the signals act as they did before, and SIGTERM ends it
  // whatever the parent chose for itself, as it is what stops a worker.
  void RestoreInChild() {
    for (size_t i = 0; i < std::size(kStopSignals); ++i)
      sigaction(kStopSignals[i], &previous_[i], nullptr);
    signal(SIGTERM, SIG_DFL);
    sigprocmask(SIG_SETMASK, &mask_, nullptr);
  }
  const sigset_t* waiting_mask() const { return &mask_; }

 private:
  struct sigaction previous_[std::size(kStopSignals)];
  sigset_t mask_;
};

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
  StopSignals signals;

  // Stopped: the workers are ended and waited for, none starts any more,
  // and the parent ends by the same signal.
  auto stop = [&] {
    for (const Child& child : running) kill(child.pid, SIGTERM);
    for (const Child& child : running) {
      close(child.fd);
      while (waitpid(child.pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
    int number = stop_signal;
    signals.Restore();
    signal(number, SIG_DFL);
    raise(number);
    _exit(128 + number);
  };

  while (next < count || !running.empty()) {
    if (stop_signal) stop();
    while (running.size() < parallel_ && next < count) {
      size_t index = next++;
      started(index);
      int fds[2];
      if (pipe2(fds, O_CLOEXEC) != 0) {
        ++failed_starts;
        done(index, {false, "", std::string("cannot start a process: ") + std::strerror(errno)});
        continue;
      }
      pid_t parent = getpid();
      pid_t pid = fork();
      if (pid == 0) {
        // A worker ends with the parent (SIGTERM when it dies): nothing is
        // written for a run that was stopped. Asked for before the signals
        // are unblocked, so that a stop already pending ends the child.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(kWorkThrew);  // the parent died meanwhile
        signals.RestoreInChild();
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
    if (running.empty() || stop_signal) continue;

    std::vector<pollfd> polls;
    for (const Child& child : running) polls.push_back({child.fd, POLLIN, 0});
    if (ppoll(polls.data(), polls.size(), nullptr, signals.waiting_mask()) < 0) {
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
  if (stop_signal) stop();
  if (count > 0 && failed_starts == count) {
    *err = "no conversion process could be started";
    return false;
  }
  return true;
}

}  // namespace cli
