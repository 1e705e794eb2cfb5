#include "cli/serve/worker_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "host/sanitizer_build.h"

namespace cli::serve {

namespace {

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Sanitizers reserve terabytes of address space for their shadow memory; a
// limit on it would stop the child before it starts.
constexpr bool kLimitAddressSpace = !host::kAddressSanitizerBuild;

}  // namespace

bool WorkerLimitsAddressSpace() { return kLimitAddressSpace; }

WorkerResult RunWorker(const WorkerRun& run, const WorkerLimits& limits) {
  WorkerResult result;
  // Everything the child needs is made before the fork: between fork and
  // exec a child of a threaded process may only make system calls.
  std::vector<std::string> strings;
  strings.push_back(run.program);
  strings.insert(strings.end(), run.args.begin(), run.args.end());
  std::vector<char*> argv;
  for (std::string& text : strings) argv.push_back(text.data());
  argv.push_back(nullptr);
  std::string out_path = run.folder + "/" + run.stdout_file;
  std::string err_path = run.folder + "/" + run.stderr_file;
  rlimit memory{};
  memory.rlim_cur = memory.rlim_max = static_cast<rlim_t>(limits.memory_mb) << 20;
  rlimit cpu{};
  cpu.rlim_cur = cpu.rlim_max = static_cast<rlim_t>(limits.seconds) + 1;
  rlimit no_core{};
  sigset_t no_signals;  // the server may block some; the child starts with none blocked
  sigemptyset(&no_signals);

  pid_t pid = fork();
  if (pid < 0) {
    result.failure = std::string("cannot start a worker: ") + std::strerror(errno);
    return result;
  }
  if (pid == 0) {
    int in = open("/dev/null", O_RDONLY);
    int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
      _exit(127);
    close_range(3, ~0U, 0);
    sigprocmask(SIG_SETMASK, &no_signals, nullptr);
    if (chdir(run.folder.c_str()) != 0) _exit(127);
    if (kLimitAddressSpace) setrlimit(RLIMIT_AS, &memory);
    setrlimit(RLIMIT_CPU, &cpu);
    setrlimit(RLIMIT_CORE, &no_core);
    execv(argv[0], argv.data());
    _exit(127);
  }
  result.started = true;
  auto deadline = std::chrono::steady_clock::now() +
                  std::chrono::milliseconds(static_cast<long>(limits.seconds * 1000));
  int status = 0;
  auto pause = std::chrono::milliseconds(2);
  for (;;) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) {
      result.failure = std::string("lost the worker: ") + std::strerror(errno);
      return result;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.timed_out = true;
      break;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
  result.out = ReadWhole(out_path);
  result.err = ReadWhole(err_path);
  unlink(out_path.c_str());
  unlink(err_path.c_str());
  if (result.timed_out) {
    char text[64];
    std::snprintf(text, sizeof text, "stopped after the time limit of %g s", limits.seconds);
    result.failure = text;
  } else if (WIFEXITED(status)) {
    result.exit_code = WEXITSTATUS(status);
    if (result.exit_code == 127 && result.out.empty() && result.err.empty())
      result.failure = "the worker program could not be started";
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
    result.failure = std::string("the worker ended by signal ") + std::to_string(result.signal) +
                     " (" + strsignal(result.signal) + ")";
    if (result.signal == SIGXCPU) result.failure += ", over its time limit";
  }
  return result;
}

}  // namespace cli::serve
