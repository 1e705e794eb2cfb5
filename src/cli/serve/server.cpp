#include "cli/serve/server.h"

#include <dirent.h>
#include <fcntl.h>
#include <httplib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <semaphore>
#include <sstream>
#include <thread>

#include "cli/answer_options.h"
#include "cli/serve/interactive.h"
#include "cli/serve/page.h"

namespace cli::serve {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

bool IsLoopbackAddress(const std::string& address) {
  return address == "localhost" || address == "::1" || address.rfind("127.", 0) == 0;
}

bool LooksLikeDxf(const std::string& bytes) {
  static const char kBinary[] = "AutoCAD Binary DXF\r\n\x1a";
  if (bytes.compare(0, sizeof kBinary - 1, kBinary) == 0) return true;
  std::istringstream in(bytes.substr(0, 4096));
  auto next = [&](std::string* line) {
    if (!std::getline(in, *line)) return false;
    size_t begin = line->find_first_not_of(" \t\r");
    size_t end = line->find_last_not_of(" \t\r");
    *line = begin == std::string::npos ? "" : line->substr(begin, end - begin + 1);
    return true;
  };
  std::string code, value;
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) in.ignore(3);
  while (next(&code) && next(&value)) {
    if (code == "999") continue;  // a comment before the first section
    return code == "0" && value == "SECTION";
  }
  return false;
}

std::string SafeDownloadName(const std::string& client_name) {
  std::string name = client_name.substr(client_name.find_last_of("/\\") + 1);
  std::string safe;
  for (char c : name) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '.' || c == '-' || c == '_';
    safe += plain ? c : '_';
  }
  while (!safe.empty() && safe.front() == '.') safe.erase(safe.begin());
  if (safe.size() > 100) safe.resize(100);
  return safe.empty() ? "drawing" : safe;
}

namespace {

constexpr char kSessionHeader[] = "X-Dravolin-Session";

// A drawing of a session: stored under a name the server made; the
// client's name is only shown and used for download names.
struct StoredDrawing {
  std::string id;    // "d1", "d2", ...
  std::string name;  // as the client called it (UTF-8), for display only
  std::string file;  // "d1.dxf", in the session's folder
  size_t bytes = 0;
  std::map<std::string, json> views;  // by target
  std::string converted_target;       // of the last conversion that wrote files
};

struct Session {
  std::string id;
  std::string folder;
  std::mutex mutex;  // one request of a session at a time works on it
  std::vector<StoredDrawing> drawings;
  int next_drawing = 1;
  int next_run = 1;
  Clock::time_point last_used = Clock::now();
  int busy = 0;  // requests running (guarded by the server's sessions mutex)
  std::shared_ptr<InteractiveRun> interactive;  // the command line's worker, if started

  // An event stream may still hold the command line for a moment; its
  // worker ends with the session all the same.
  ~Session() {
    if (interactive) interactive->Stop();
  }
};

std::string RandomHex(size_t bytes) {
  std::string raw(bytes, '\0');
  std::ifstream random("/dev/urandom", std::ios::binary);
  random.read(raw.data(), static_cast<std::streamsize>(bytes));
  if (!random) throw std::runtime_error("cannot read /dev/urandom");
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : raw) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) {
      close(fd);
      unlink(path.c_str());
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return close(fd) == 0;
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Names of the regular files in a folder whose names end so (any case), sorted.
std::vector<std::string> FilesEnding(const std::string& folder, const std::string& ending) {
  std::vector<std::string> names;
  if (folder.empty()) return names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name.size() <= ending.size() || name[0] == '.') continue;
    std::string end = name.substr(name.size() - ending.size());
    std::transform(end.begin(), end.end(), end.begin(), ::tolower);
    struct stat info;
    if (end == ending && stat((folder + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
      names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

void SendJson(httplib::Response& res, const json& body, int status = 200) {
  res.status = status;
  res.set_content(body.dump(-1, ' ', false, json::error_handler_t::replace), "application/json");
}

void SendError(httplib::Response& res, int status, const std::string& message) {
  SendJson(res, {{"error", message}}, status);
}

// The answers of a request body as the convert command's options.
bool AnswerArgs(const json& body, const std::string& templates_dir, std::vector<std::string>* args,
                std::string* target, std::string* err) {
  auto text = [&](const char* key, const char* fallback) -> std::string {
    auto it = body.find(key);
    return it != body.end() && it->is_string() ? it->get<std::string>() : fallback;
  };
  *target = text("target", "");
  if (*target != "mech6" && *target != "genius") {
    *err = "the target is mech6 or genius";
    return false;
  }
  std::string reference = text("reference", "auto");
  if (!IsReferenceAnswer(reference)) {
    *err = "the reference is 'auto' or a handle";
    return false;
  }
  std::string lineweights = "ok";
  if (auto it = body.find("lineweights"); it != body.end()) {
    if (it->is_string() && (*it == "ok" || *it == "cancel")) {
      lineweights = it->get<std::string>();
    } else if (it->is_array() && it->size() == 3) {
      lineweights.clear();
      for (const json& item : *it) {
        if (!item.is_string()) {
          *err = "a line weight is a text";
          return false;
        }
        std::string weight = item.get<std::string>();
        bool plain = weight.size() <= 16 && std::all_of(weight.begin(), weight.end(), [](char c) {
                       return c > ' ' && c < 127 && c != ',';
                     });
        if (!plain) {
          *err = "a line weight is a short text without commas";
          return false;
        }
        lineweights += (lineweights.empty() ? "" : ",") + weight;
      }
    } else {
      *err = "the line weights are 'ok', 'cancel' or three texts";
      return false;
    }
  }
  args->insert(args->end(),
               {"--target", *target, "--reference", reference, "--lineweights", lineweights});
  if (*target == "genius") {
    std::string layers = text("layers", "coarse");
    if (layers != "coarse" && layers != "fine" && layers != "escape") {
      *err = "the Genius layers are coarse, fine or escape";
      return false;
    }
    args->insert(args->end(), {"--layers", layers});
  }
  std::string chosen = text("template", "");
  if (chosen == "none") {
    args->insert(args->end(), {"--template", "none"});
  } else if (!chosen.empty()) {
    std::vector<std::string> known = FilesEnding(templates_dir, ".dwt");
    if (std::find(known.begin(), known.end(), chosen) == known.end()) {
      *err = "no such template";
      return false;
    }
    args->insert(args->end(), {"--template", templates_dir + "/" + chosen});
  }
  return true;
}

}  // namespace

class Server::Impl {
 public:
  explicit Impl(ServerOptions options)
      : options_(std::move(options)),
        slots_(static_cast<std::ptrdiff_t>(std::clamp<size_t>(options_.jobs, 1, 64))) {}

  ~Impl() { Stop(); }

  bool Start(std::string* err) {
    std::string parent = options_.temp_dir;
    if (parent.empty()) {
      const char* tmp = getenv("TMPDIR");
      parent = tmp && *tmp ? tmp : "/tmp";
    }
    std::string pattern = parent + "/dravolin-serve-XXXXXX";
    if (!mkdtemp(pattern.data())) {
      *err = parent + ": cannot make a folder for the sessions: " + std::strerror(errno);
      return false;
    }
    root_ = pattern;
    Routes();
    // Each open event stream keeps a thread; the others answer the rest.
    server_.new_task_queue = [] { return new httplib::ThreadPool(kMaxStreams + 16); };
    server_.set_payload_max_length(options_.max_upload_bytes);
    if (options_.port == 0) {
      port_ = server_.bind_to_any_port(options_.bind);
    } else {
      port_ = server_.bind_to_port(options_.bind, options_.port) ? options_.port : -1;
    }
    if (port_ < 0) {
      *err = "cannot listen on " + options_.bind + ":" + std::to_string(options_.port);
      std::filesystem::remove_all(root_);
      return false;
    }
    listener_ = std::thread([this] { server_.listen_after_bind(); });
    janitor_ = std::thread([this] { Janitor(); });
    return true;
  }

  void Stop() {
    {
      std::lock_guard<std::mutex> lock(stop_mutex_);
      if (stopping_) return;
      stopping_ = true;
    }
    stop_signal_.notify_all();
    stream_stop_ = true;
    server_.stop();
    if (listener_.joinable()) listener_.join();
    if (janitor_.joinable()) janitor_.join();
    if (!root_.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(root_, ignored);
    }
  }

  std::string Host() const {
    std::string host = options_.bind == "0.0.0.0" ? "127.0.0.1" : options_.bind;
    if (host.find(':') != std::string::npos) host = "[" + host + "]";
    return host;
  }

  int port_ = -1;
  std::string root_;

  size_t RemoveIdleSessions() {
    std::vector<std::shared_ptr<Session>> gone;
    {
      std::lock_guard<std::mutex> lock(sessions_mutex_);
      auto limit = std::chrono::duration<double>(options_.session_seconds);
      for (auto it = sessions_.begin(); it != sessions_.end();) {
        if (it->second->busy == 0 && Clock::now() - it->second->last_used > limit) {
          gone.push_back(it->second);
          it = sessions_.erase(it);
        } else {
          ++it;
        }
      }
    }
    for (const auto& session : gone) {
      std::error_code ignored;
      std::filesystem::remove_all(session->folder, ignored);
    }
    return gone.size();
  }

 private:
  void Janitor() {
    auto every = std::chrono::duration<double>(std::clamp(options_.session_seconds / 4, 1.0, 60.0));
    std::unique_lock<std::mutex> lock(stop_mutex_);
    while (!stopping_) {
      stop_signal_.wait_for(lock, every);
      if (stopping_) break;
      lock.unlock();
      RemoveIdleSessions();
      lock.lock();
    }
  }

  // The hosts this server answers to: its own address, and for a loopback
  // address the names of this machine, so that a page of another site that
  // renames itself to 127.0.0.1 (DNS rebinding) is not answered.
  bool AllowedHost(const std::string& host) const {
    if (!IsLoopbackAddress(options_.bind)) return !host.empty();
    std::string port = ":" + std::to_string(port_);
    return host == "127.0.0.1" + port || host == "localhost" + port || host == "[::1]" + port ||
           host == Host() + port;
  }

  void Routes() {
    server_.set_default_headers({
        {"Content-Security-Policy",
         "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data: blob:; "
         "connect-src 'self'; form-action 'none'; frame-ancestors 'none'; base-uri 'none'"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
        {"X-Frame-Options", "DENY"},
        {"Cache-Control", "no-store"},
    });
    server_.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
      std::string host = req.get_header_value("Host");
      if (!AllowedHost(host)) {
        SendError(res, 403, "this server does not answer to the host '" + host + "'");
        return httplib::Server::HandlerResponse::Handled;
      }
      // A page of another site must not drive this server: a browser names
      // the page's origin on every request that page makes.
      if (req.has_header("Origin") && req.get_header_value("Origin") != "http://" + host) {
        SendError(res, 403, "requests from another origin are refused");
        return httplib::Server::HandlerResponse::Handled;
      }
      if (req.get_header_value("Sec-Fetch-Site") == "cross-site") {
        SendError(res, 403, "requests from another site are refused");
        return httplib::Server::HandlerResponse::Handled;
      }
      return httplib::Server::HandlerResponse::Unhandled;
    });
    server_.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr fault) {
          std::string what = "internal error";
          try {
            if (fault) std::rethrow_exception(fault);
          } catch (const std::exception& error) {
            what += std::string(": ") + error.what();
          } catch (...) {
          }
          SendError(res, 500, what);
        });

    server_.Get("/", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(PageHtml(), "text/html; charset=utf-8");
    });
    server_.Get("/app.js", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(PageScript(), "text/javascript; charset=utf-8");
    });
    server_.Get("/app.css", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(PageStyle(), "text/css; charset=utf-8");
    });

    server_.Post("/api/session", [this](const httplib::Request&, httplib::Response& res) {
      auto session = std::make_shared<Session>();
      session->id = RandomHex(16);
      session->folder = root_ + "/" + session->id;
      if (mkdir(session->folder.c_str(), 0700) != 0)
        return SendError(res, 500, "cannot make the session's folder");
      std::lock_guard<std::mutex> lock(sessions_mutex_);
      sessions_[session->id] = session;
      SendJson(res, {{"session", session->id},
                     {"max_upload_bytes", options_.max_upload_bytes},
                     {"templates", FilesEnding(options_.templates_dir, ".dwt")},
                     {"default_templates", {{"mech6", "Mech6.dwt"}, {"genius", "Genius14.dwt"}}},
                     {"data", !options_.data_dir.empty()}});
    });
    server_.Delete("/api/session", [this](const httplib::Request& req, httplib::Response& res) {
      std::shared_ptr<Session> session;
      {
        std::lock_guard<std::mutex> lock(sessions_mutex_);
        auto it = sessions_.find(req.get_header_value(kSessionHeader));
        if (it == sessions_.end()) return SendError(res, 404, "unknown session");
        session = it->second;
        sessions_.erase(it);
      }
      std::lock_guard<std::mutex> lock(session->mutex);  // lets a running request end
      std::error_code ignored;
      std::filesystem::remove_all(session->folder, ignored);
      SendJson(res, {{"ended", true}});
    });

    WithSession("/api/data", "GET",
                [this](Session&, const httplib::Request&, httplib::Response& res) {
                  SendJson(res, {{"files", FilesEnding(options_.data_dir, ".dxf")}});
                });
    WithSession("/api/data/open", "POST",
                [this](Session& session, const httplib::Request& req, httplib::Response& res) {
                  json body = json::parse(req.body, nullptr, false);
                  std::vector<std::string> known = FilesEnding(options_.data_dir, ".dxf");
                  auto it = body.is_object() && body.contains("name") && body["name"].is_string()
                                ? std::find(known.begin(), known.end(), body["name"])
                                : known.end();
                  if (it == known.end()) return SendError(res, 404, "no such drawing");
                  std::optional<std::string> bytes = ReadFile(options_.data_dir + "/" + *it);
                  if (!bytes) return SendError(res, 404, "cannot read the drawing");
                  json added = json::array();
                  if (!AddDrawing(session, *it, *bytes, &added, res)) return;
                  SendJson(res, {{"drawings", added}});
                });
    WithSession("/api/drawings", "POST",
                [this](Session& session, const httplib::Request& req, httplib::Response& res) {
                  json added = json::array();
                  std::vector<httplib::MultipartFormData> files;
                  for (const auto& [key, file] : req.files)
                    if (key == "file") files.push_back(file);
                  if (files.empty()) return SendError(res, 400, "no file sent");
                  for (const auto& file : files)
                    if (!AddDrawing(session, file.filename, file.content, &added, res)) return;
                  SendJson(res, {{"drawings", added}});
                });
    WithSession("/api/drawings", "GET",
                [](Session& session, const httplib::Request&, httplib::Response& res) {
                  json list = json::array();
                  for (const StoredDrawing& drawing : session.drawings)
                    list.push_back({{"id", drawing.id}, {"name", drawing.name}});
                  SendJson(res, {{"drawings", list}});
                });
    WithSession(R"(/api/drawings/(d\d+)/view)", "GET",
                [this](Session& session, const httplib::Request& req, httplib::Response& res) {
                  StoredDrawing* drawing = Find(session, req.matches[1], res);
                  if (!drawing) return;
                  std::string target = req.get_param_value("target");
                  if (target != "mech6" && target != "genius")
                    return SendError(res, 400, "the target is mech6 or genius");
                  if (!drawing->views.count(target)) {
                    json view;
                    WorkerResult info = RunProgram(session, {"info", drawing->file});
                    if (info.exit_code != 0) return SendJson(res, {{"error", Failure(info)}}, 422);
                    WorkerResult made =
                        RunProgram(session, {"serve", "--view", drawing->file, "--target", target});
                    if (made.exit_code != 0) return SendJson(res, {{"error", Failure(made)}}, 422);
                    view = json::parse(made.out, nullptr, false);
                    if (view.is_discarded()) return SendError(res, 500, "the view is not JSON");
                    view["info"] = info.out;
                    view["name"] = drawing->name;
                    drawing->views[target] = view;
                  }
                  SendJson(res, drawing->views[target]);
                });
    WithSession(
        R"(/api/drawings/(d\d+)/(preview|convert))", "POST",
        [this](Session& session, const httplib::Request& req, httplib::Response& res) {
          StoredDrawing* drawing = Find(session, req.matches[1], res);
          if (!drawing) return;
          bool preview = req.matches[2] == "preview";
          json body = json::parse(req.body, nullptr, false);
          if (!body.is_object()) return SendError(res, 400, "the answers are not JSON");
          std::vector<std::string> args = {"convert", drawing->file};
          std::string target, err;
          if (!AnswerArgs(body, options_.templates_dir, &args, &target, &err))
            return SendError(res, 400, err);
          // A preview keeps files of its own, so that it leaves the last
          // conversion's downloads as they were.
          const std::string& stem = drawing->id;
          std::vector<std::string> files =
              preview ? std::vector<std::string>{stem + "-preview.dxf", stem + ".preview.txt",
                                                 stem + ".preview.json"}
                      : std::vector<std::string>{stem + "-" + target + ".dxf",
                                                 stem + ".transcript.txt", stem + ".report.html"};
          for (const std::string& file : files) unlink((session.folder + "/" + file).c_str());
          if (!preview) drawing->converted_target.clear();
          if (preview) args.push_back("--dry-run");
          args.insert(args.end(), {"-o", files[0], "--transcript", files[1], "--report", files[2]});
          WorkerResult run = RunProgram(session, args);
          json answer = {{"exit_code", run.exit_code},
                         {"output", run.out},
                         {"errors", run.err},
                         {"failure", run.failure},
                         {"arguments", json(args)}};
          answer["transcript"] = ReadFile(session.folder + "/" + files[1]).value_or("");
          if (preview) {
            json report =
                json::parse(ReadFile(session.folder + "/" + files[2]).value_or(""), nullptr, false);
            answer["report"] = report.is_discarded() ? json(nullptr) : report;
            unlink((session.folder + "/" + files[2]).c_str());
          } else if (run.exit_code == 0 &&
                     access((session.folder + "/" + files[0]).c_str(), R_OK) == 0) {
            drawing->converted_target = target;
          }
          answer["written"] = !preview && !drawing->converted_target.empty();
          SendJson(res, answer);
        });
    WithSession(R"(/api/drawings/(d\d+)/interactive)", "POST",
                [this](Session& session, const httplib::Request& req, httplib::Response& res) {
                  StoredDrawing* drawing = Find(session, req.matches[1], res);
                  if (!drawing) return;
                  std::shared_ptr<InteractiveRun> earlier;
                  {
                    std::lock_guard<std::mutex> lock(sessions_mutex_);
                    earlier.swap(session.interactive);
                  }
                  if (earlier) earlier->Stop();  // its event stream ends too
                  earlier.reset();
                  auto run = std::make_shared<InteractiveRun>();
                  WorkerRun worker;
                  worker.program = options_.program;
                  worker.args = {"serve", "--interactive", drawing->file};
                  worker.folder = session.folder;
                  worker.stderr_file = ".interactive.err";
                  std::string err;
                  if (!run->Start(worker, options_.limits, &err))
                    return SendError(res, 500, "cannot start the command line: " + err);
                  std::lock_guard<std::mutex> lock(sessions_mutex_);
                  session.interactive = run;
                  SendJson(res, {{"started", true}});
                });
    // The command line's events as server-sent events, numbered so that a
    // browser that reconnects (Last-Event-ID) resumes where it was. An
    // EventSource cannot send headers, so the session is named in the query;
    // the stream follows the command line that runs when it opens and ends
    // with it, with the session or with the server.
    server_.Get(
        "/api/interactive/stream", [this](const httplib::Request& req, httplib::Response& res) {
          std::weak_ptr<InteractiveRun> weak;
          {
            std::lock_guard<std::mutex> lock(sessions_mutex_);
            auto it = sessions_.find(req.get_param_value("session"));
            if (it == sessions_.end()) return SendError(res, 404, "unknown session");
            it->second->last_used = Clock::now();
            weak = it->second->interactive;
            if (weak.expired()) return SendError(res, 404, "no command line running");
            if (streams_ >= kMaxStreams) return SendError(res, 503, "too many event streams open");
            ++streams_;
          }
          size_t after = 0;
          try {
            after = std::stoul(req.get_header_value("Last-Event-ID"));
          } catch (const std::exception&) {
          }
          auto quiet = std::make_shared<Clock::time_point>(Clock::now());
          res.set_header("X-Accel-Buffering", "no");
          res.set_chunked_content_provider(
              "text/event-stream",
              [this, weak, after, quiet](size_t, httplib::DataSink& sink) mutable {
                if (stream_stop_) {
                  sink.done();
                  return true;
                }
                std::shared_ptr<InteractiveRun> run = weak.lock();
                if (!run) {  // the command line has gone
                  static const std::string kEnd = "event: end\ndata: {}\n\n";
                  sink.write(kEnd.data(), kEnd.size());
                  sink.done();
                  return true;
                }
                size_t last = after;
                bool ended = false;
                std::vector<std::string> lines = run->Events(after, 1, &last, &ended);
                run.reset();  // the session may end the command line meanwhile
                std::string text;
                for (const std::string& line : lines) {
                  json event = json::parse(line, nullptr, false);
                  if (event.is_discarded()) event = {{"type", "print"}, {"text", line}};
                  text += "id: " + std::to_string(++after) +
                          "\ndata: " + event.dump(-1, ' ', false, json::error_handler_t::replace) +
                          "\n\n";
                }
                if (ended) text += "event: end\ndata: {}\n\n";
                // A comment now and then finds out when the browser has gone.
                if (text.empty() && Clock::now() - *quiet > std::chrono::seconds(15))
                  text = ":\n\n";
                if (!text.empty()) {
                  *quiet = Clock::now();
                  if (!sink.write(text.data(), text.size())) return false;
                }
                if (ended) sink.done();
                return true;
              },
              [this](bool) {
                std::lock_guard<std::mutex> lock(sessions_mutex_);
                --streams_;
              });
        });
    WithSession("/api/interactive/send", "POST",
                [this](Session& session, const httplib::Request& req, httplib::Response& res) {
                  std::shared_ptr<InteractiveRun> run;
                  {
                    std::lock_guard<std::mutex> lock(sessions_mutex_);
                    run = session.interactive;
                  }
                  if (!run) return SendError(res, 404, "no command line running");
                  json body = json::parse(req.body, nullptr, false);
                  if (!body.is_object()) return SendError(res, 400, "not a JSON object");
                  if (!run->Send(body.dump(-1, ' ', true)))
                    return SendError(res, 410, "the command line has ended");
                  SendJson(res, {{"sent", true}});
                });
    WithSession(R"(/api/drawings/(d\d+)/download/(dxf|transcript|report))", "GET",
                [this](Session& session, const httplib::Request& req, httplib::Response& res) {
                  StoredDrawing* drawing = Find(session, req.matches[1], res);
                  if (!drawing) return;
                  const std::string& target = drawing->converted_target;
                  if (target.empty()) return SendError(res, 404, "not converted yet");
                  std::string kind = req.matches[2];
                  std::string stored, ending, type;
                  if (kind == "dxf") {
                    stored = drawing->id + "-" + target + ".dxf";
                    ending = "-" + target + ".dxf";
                    type = "application/dxf";
                  } else if (kind == "transcript") {
                    stored = drawing->id + ".transcript.txt";
                    ending = "-" + target + ".transcript.txt";
                    type = "text/plain; charset=utf-8";
                  } else {
                    stored = drawing->id + ".report.html";
                    ending = "-" + target + ".report.html";
                    type = "text/html; charset=utf-8";
                  }
                  std::optional<std::string> bytes = ReadFile(session.folder + "/" + stored);
                  if (!bytes) return SendError(res, 404, "no such file");
                  std::string name = SafeDownloadName(drawing->name);
                  if (name.size() > 4 && (name.ends_with(".dxf") || name.ends_with(".DXF")))
                    name.resize(name.size() - 4);
                  res.set_header("Content-Disposition",
                                 "attachment; filename=\"" + name + ending + "\"");
                  res.set_content(*bytes, type);
                });
  }

  using SessionHandler = std::function<void(Session&, const httplib::Request&, httplib::Response&)>;

  // Registers a handler that needs a session: the session header names it,
  // and the session is held while the handler runs.
  // A handler that only waits (hold false) runs without the session's lock.
  void WithSession(const std::string& pattern, const std::string& method, SessionHandler handler,
                   bool hold = true) {
    auto wrapped = [this, handler, hold](const httplib::Request& req, httplib::Response& res) {
      std::shared_ptr<Session> session;
      {
        std::lock_guard<std::mutex> lock(sessions_mutex_);
        auto it = sessions_.find(req.get_header_value(kSessionHeader));
        if (it == sessions_.end()) return SendError(res, 404, "unknown session");
        session = it->second;
        ++session->busy;
        session->last_used = Clock::now();
      }
      struct Release {
        Impl* server;
        Session* session;
        ~Release() {
          std::lock_guard<std::mutex> lock(server->sessions_mutex_);
          --session->busy;
          session->last_used = Clock::now();
        }
      } release{this, session.get()};
      std::unique_lock<std::mutex> lock(session->mutex, std::defer_lock);
      if (hold) lock.lock();
      handler(*session, req, res);
    };
    if (method == "GET")
      server_.Get(pattern, wrapped);
    else
      server_.Post(pattern, wrapped);
  }

  StoredDrawing* Find(Session& session, const std::string& id, httplib::Response& res) {
    for (StoredDrawing& drawing : session.drawings)
      if (drawing.id == id) return &drawing;
    SendError(res, 404, "no such drawing");
    return nullptr;
  }

  bool AddDrawing(Session& session, const std::string& client_name, const std::string& bytes,
                  json* added, httplib::Response& res) {
    std::string name = client_name.substr(client_name.find_last_of("/\\") + 1);
    if (!LooksLikeDxf(bytes)) {
      SendError(res, 415, "'" + name + "' is not a DXF file");
      return false;
    }
    StoredDrawing drawing;
    drawing.id = "d" + std::to_string(session.next_drawing++);
    drawing.name = name.empty() ? drawing.id : name;
    drawing.file = drawing.id + ".dxf";
    drawing.bytes = bytes.size();
    if (!WriteFile(session.folder + "/" + drawing.file, bytes)) {
      SendError(res, 500, "cannot store the drawing");
      return false;
    }
    added->push_back({{"id", drawing.id}, {"name", drawing.name}, {"bytes", drawing.bytes}});
    session.drawings.push_back(std::move(drawing));
    return true;
  }

  // Runs the program in the session's folder, waiting for a free slot.
  WorkerResult RunProgram(Session& session, const std::vector<std::string>& args) {
    WorkerRun run;
    run.program = options_.program;
    run.args = args;
    run.folder = session.folder;
    std::string number = std::to_string(session.next_run++);
    run.stdout_file = ".run" + number + ".out";
    run.stderr_file = ".run" + number + ".err";
    slots_.acquire();
    WorkerResult result = RunWorker(run, options_.limits);
    slots_.release();
    return result;
  }

  static std::string Failure(const WorkerResult& run) {
    if (!run.failure.empty()) return run.failure;
    std::string text = run.err.empty() ? run.out : run.err;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text.empty() ? "the worker failed (exit " + std::to_string(run.exit_code) + ")" : text;
  }

  ServerOptions options_;
  httplib::Server server_;
  std::counting_semaphore<64> slots_;
  std::thread listener_, janitor_;
  std::mutex stop_mutex_;
  std::condition_variable stop_signal_;
  bool stopping_ = false;
  std::atomic<bool> stream_stop_ = false;
  static constexpr int kMaxStreams = 32;
  int streams_ = 0;  // event streams open (guarded by the sessions mutex)
  std::mutex sessions_mutex_;
  std::map<std::string, std::shared_ptr<Session>> sessions_;
};

Server::Server(ServerOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}
Server::~Server() = default;
bool Server::Start(std::string* err) { return impl_->Start(err); }
int Server::port() const { return impl_->port_; }
std::string Server::Url() const {
  return "http://" + impl_->Host() + ":" + std::to_string(impl_->port_) + "/";
}
void Server::Stop() { impl_->Stop(); }
size_t Server::RemoveIdleSessions() { return impl_->RemoveIdleSessions(); }
const std::string& Server::root() const { return impl_->root_; }

}  // namespace cli::serve
