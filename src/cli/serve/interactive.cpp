#include "cli/serve/interactive.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <istream>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/command.h"
#include "cli/drawing_io.h"
#include "cli/host_run.h"
#include "cli/serve/dialog_json.h"
#include "host/ui/text_encoding.h"

namespace cli::serve {

namespace {

using nlohmann::json;

std::string Utf8(const std::string& text_1252) { return host::Cp1252ToUtf8(text_1252); }

// Puts every question to the page and waits for the answer on the input.
class PageChannel : public host::UserChannel {
 public:
  PageChannel(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  void Emit(const json& event) {
    out_ << event.dump(-1, ' ', false, json::error_handler_t::replace) << std::endl;
  }

  void Print(const std::string& text) override { Emit({{"type", "print"}, {"text", Utf8(text)}}); }

  int MessageBox(const std::string& text, const std::string& caption) override {
    Emit({{"type", "message"}, {"text", Utf8(text)}, {"caption", Utf8(caption)}});
    Answer();
    return 1;  // IDOK
  }

  host::DialogAction RunDialog(const host::DialogView& dialog) override {
    json event = DialogJson(dialog);
    event["type"] = "dialog";
    Emit(event);
    json answer = Answer();
    host::DialogAction action;
    action.button = answer.value("button", 2);
    if (answer.contains("texts") && answer["texts"].is_array()) {
      for (const json& pair : answer["texts"]) {
        if (pair.is_array() && pair.size() == 2 && pair[0].is_number_integer() &&
            pair[1].is_string())
          action.texts.emplace_back(pair[0].get<int>(),
                                    host::Utf8ToCp1252(pair[1].get<std::string>()));
      }
    }
    return action;
  }

  std::optional<std::string> FileDialog(const host::FileDialogRequest& request) override {
    json files = json::array();
    for (const std::string& name : request.files) files.push_back(Utf8(name));
    Emit({{"type", "file"},
          {"files", files},
          {"filter", Utf8(request.filter)},
          {"folder", Utf8(request.folder_text)}});
    json answer = Answer();
    if (!answer.contains("file") || !answer["file"].is_string()) return std::nullopt;
    // Only a name the dialog listed: the page cannot name another path.
    std::string name = host::Utf8ToCp1252(answer["file"].get<std::string>());
    if (std::find(request.files.begin(), request.files.end(), name) == request.files.end())
      return std::nullopt;
    return request.PathOf(name);
  }

  std::optional<std::string> PickEntity(
      const std::string& prompt, const std::vector<host::PickCandidate>& candidates) override {
    json list = json::array();
    for (const host::PickCandidate& candidate : candidates) {
      json entry = {{"handle", candidate.handle},
                    {"layout", Utf8(candidate.layout)},
                    {"description", Utf8(candidate.description)}};
      entry["dimlfac"] = candidate.dimlfac ? json(*candidate.dimlfac) : json(nullptr);
      list.push_back(entry);
    }
    Emit({{"type", "pick"}, {"prompt", Utf8(prompt)}, {"candidates", list}});
    json answer = Answer();
    if (!answer.contains("handle") || !answer["handle"].is_string()) return std::nullopt;
    std::string handle = answer["handle"];
    for (const host::PickCandidate& candidate : candidates)
      if (candidate.handle == handle) return handle;
    return std::nullopt;
  }

  // The next answer; commands sent while a question is open wait their
  // turn. When the page has gone (the input ends) the worker ends too.
  json Answer() {
    std::string line;
    while (std::getline(in_, line)) {
      json answer = json::parse(line, nullptr, false);
      if (!answer.is_object()) continue;
      if (!answer.contains("command")) return answer;
      waiting_.push_back(answer);
    }
    out_.flush();
    std::_Exit(0);
  }

  // The next command sent: one that waited, else the next line. False when
  // the input has ended.
  bool NextCommand(std::string* command) {
    for (;;) {
      json request;
      if (!waiting_.empty()) {
        request = waiting_.front();
        waiting_.pop_front();
      } else {
        std::string line;
        if (!std::getline(in_, line)) return false;
        request = json::parse(line, nullptr, false);
      }
      if (request.is_object() && request.contains("command") && request["command"].is_string()) {
        *command = host::Utf8ToCp1252(request["command"].get<std::string>());
        return true;
      }
    }
  }

 private:
  std::istream& in_;
  std::ostream& out_;
  std::deque<json> waiting_;
};

}  // namespace

int RunInteractiveWorker(const std::string& path, std::istream& in, std::ostream& out,
                         std::ostream& err) {
  PageChannel channel(in, out);
  std::string problem;
  std::unique_ptr<host::Drawing> drawing = LoadDrawing(path, &problem);
  if (!drawing) {
    channel.Emit({{"type", "error"}, {"text", problem}});
    return kExitInputError;
  }
  std::unique_ptr<HostRun> run = HostRun::Start(std::move(drawing), &channel, &problem);
  if (!run) {
    channel.Emit({{"type", "error"}, {"text", problem}});
    return kExitHostAbort;
  }
  channel.Emit({{"type", "idle"}});
  std::string command;
  while (channel.NextCommand(&command)) {
    if (!run->RunCommand(command)) {
      channel.Emit({{"type", "abort"}, {"text", Utf8(run->abort_message())}});
      return kExitHostAbort;
    }
    channel.Emit({{"type", "idle"}});
  }
  return kExitOk;
}

InteractiveRun::~InteractiveRun() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (to_worker_ >= 0) close(to_worker_);
  if (reader_.joinable()) reader_.join();
  if (from_worker_ >= 0) close(from_worker_);
}

void InteractiveRun::Stop() {
  // The worker is reaped only by the destructor, so its number is not
  // anyone else's yet.
  if (pid_ > 0) kill(pid_, SIGKILL);
}

bool InteractiveRun::Start(const WorkerRun& run, const WorkerLimits& limits, std::string* err) {
  // A worker that has gone must not end the server when it is written to.
  signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> strings;
  strings.push_back(run.program);
  strings.insert(strings.end(), run.args.begin(), run.args.end());
  std::vector<char*> argv;
  for (std::string& text : strings) argv.push_back(text.data());
  argv.push_back(nullptr);
  std::string err_path = run.folder + "/" + run.stderr_file;
  int in_pipe[2], out_pipe[2];
  if (pipe2(in_pipe, O_CLOEXEC) != 0) {
    *err = std::strerror(errno);
    return false;
  }
  if (pipe2(out_pipe, O_CLOEXEC) != 0) {
    *err = std::strerror(errno);
    close(in_pipe[0]);
    close(in_pipe[1]);
    return false;
  }
  // An interactive run waits for its user; its limit is on processor time.
  rlimit memory{};
  memory.rlim_cur = memory.rlim_max = static_cast<rlim_t>(limits.memory_mb) << 20;
  rlimit cpu{};
  cpu.rlim_cur = cpu.rlim_max = static_cast<rlim_t>(limits.seconds) + 1;
  rlimit no_core{};
  sigset_t no_signals;
  sigemptyset(&no_signals);
  pid_t pid = fork();
  if (pid < 0) {
    *err = std::strerror(errno);
    for (int fd : {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1]}) close(fd);
    return false;
  }
  if (pid == 0) {
    int errors = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (errors < 0 || dup2(in_pipe[0], 0) < 0 || dup2(out_pipe[1], 1) < 0 || dup2(errors, 2) < 0)
      _exit(127);
    close_range(3, ~0U, 0);
    sigprocmask(SIG_SETMASK, &no_signals, nullptr);
    signal(SIGPIPE, SIG_DFL);
    if (chdir(run.folder.c_str()) != 0) _exit(127);
    if (WorkerLimitsAddressSpace()) setrlimit(RLIMIT_AS, &memory);
    setrlimit(RLIMIT_CPU, &cpu);
    setrlimit(RLIMIT_CORE, &no_core);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(in_pipe[0]);
  close(out_pipe[1]);
  pid_ = pid;
  to_worker_ = in_pipe[1];
  from_worker_ = out_pipe[0];
  reader_ = std::thread([this] { Read(); });
  return true;
}

void InteractiveRun::Read() {
  std::string pending;
  char buffer[4096];
  for (;;) {
    ssize_t n = read(from_worker_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    pending.append(buffer, static_cast<size_t>(n));
    size_t end;
    std::lock_guard<std::mutex> lock(mutex_);
    while ((end = pending.find('\n')) != std::string::npos) {
      events_.push_back(pending.substr(0, end));
      pending.erase(0, end + 1);
    }
    arrived_.notify_all();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  ended_ = true;
  arrived_.notify_all();
}

bool InteractiveRun::Send(const std::string& line) {
  std::string text = line + "\n";
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(to_worker_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::vector<std::string> InteractiveRun::Events(size_t after, double seconds, size_t* last,
                                                bool* ended) {
  std::unique_lock<std::mutex> lock(mutex_);
  arrived_.wait_for(lock, std::chrono::duration<double>(seconds),
                    [&] { return events_.size() > after || ended_; });
  std::vector<std::string> events;
  for (size_t i = after; i < events_.size(); ++i) events.push_back(events_[i]);
  *last = events_.size();
  *ended = ended_;
  return events;
}

}  // namespace cli::serve
