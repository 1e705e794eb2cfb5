// Runs a program in a child process with limits on its time and memory, its
// output kept in files. The web server converts each drawing this way: the
// child is the dravolin program itself, so that a drawing that makes it
// crash, hang or grow takes only that child down.
#pragma once

#include <string>
#include <vector>

namespace cli::serve {

struct WorkerLimits {
  double seconds = 120;            // wall-clock time, then the child is killed
  unsigned long memory_mb = 2048;  // address space (left out in sanitizer builds)
};

struct WorkerRun {
  std::string program;            // path of the program
  std::vector<std::string> args;  // after the program name
  std::string folder;             // the child's working folder
  std::string stdout_file;        // where its output goes (in folder)
  std::string stderr_file;
};

struct WorkerResult {
  bool started = false;
  bool timed_out = false;
  int exit_code = -1;  // when it exited
  int signal = 0;      // when a signal ended it
  std::string out;     // what it printed (UTF-8)
  std::string err;
  std::string failure;  // why it did not end normally, for the user
};

// Whether workers get the memory limit: not in sanitizer builds, whose
// shadow memory needs terabytes of address space.
bool WorkerLimitsAddressSpace();

// Starts the child (stdin from /dev/null, no descriptor of the parent's
// besides its output files), waits for it within the limits and reads its
// output. Safe to call from several threads at once.
WorkerResult RunWorker(const WorkerRun& run, const WorkerLimits& limits);

}  // namespace cli::serve
