// The host's command line driven from the web page: a worker process that
// holds one drawing with the module loaded and runs the commands the page
// sends, and a user channel that puts every question (message box, dialog,
// file dialog, pick) to the page and waits for its answer. The worker
// speaks JSON, one object a line: events on its output, commands and
// answers on its input.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <deque>
#include <iosfwd>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cli/serve/worker_process.h"

namespace cli::serve {

// The worker ("dravolin serve --interactive FILE"): reads lines from in
// until it ends. {"command": "LINE"} runs LINE as typed at the idle prompt;
// the answers to questions are {"button": N, "texts": [[ID, TEXT], ...]},
// {"file": NAME|null}, {"handle": HANDLE|null}, {"ok": true}.
int RunInteractiveWorker(const std::string& path, std::istream& in, std::ostream& out,
                         std::ostream& err);

// The server's end of one worker: started with pipes, its output lines
// collected by a thread of their own and numbered from 1.
class InteractiveRun {
 public:
  InteractiveRun() = default;
  ~InteractiveRun();  // kills the worker
  InteractiveRun(const InteractiveRun&) = delete;
  InteractiveRun& operator=(const InteractiveRun&) = delete;

  bool Start(const WorkerRun& run, const WorkerLimits& limits, std::string* err);
  // Ends the worker; the events then end too.
  void Stop();
  // Sends one line (a JSON object) to the worker.
  bool Send(const std::string& line);
  // The events after number after, waiting up to seconds for one; the
  // number of the last is in *last. ended: the worker has gone.
  std::vector<std::string> Events(size_t after, double seconds, size_t* last, bool* ended);

 private:
  void Read();

  pid_t pid_ = -1;
  int to_worker_ = -1;
  int from_worker_ = -1;
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::string> events_;
  bool ended_ = false;
};

}  // namespace cli::serve
