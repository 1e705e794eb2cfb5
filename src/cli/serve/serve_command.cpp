// dravolin serve: the substitute host's web front end. Starts an HTTP
// server that shows drawings in the browser and converts them in worker
// processes running this program's convert command.

#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <iostream>
#include <ostream>

#include "cli/command.h"
#include "cli/host_run.h"
#include "cli/serve/drawing_view.h"
#include "cli/serve/interactive.h"
#include "cli/serve/server.h"

namespace cli {

namespace {

constexpr char kName[] = "serve";

bool ParseNumber(const std::string& text, long min, long max, long* out) {
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || value < min || value > max) return false;
  *out = value;
  return true;
}

// This program's own path, for the workers to run.
std::string OwnProgram() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "/proc/self/exe";
  return std::string(path, static_cast<size_t>(length));
}

int Serve(const ParsedArgs& args, CommandContext& context) {
  if (std::optional<std::string> view = args.Value("view"))
    return serve::PrintDrawingView(*view, args.Value("target").value_or("mech6"), context.out,
                                   context.err);
  if (std::optional<std::string> drawing = args.Value("interactive"))
    return serve::RunInteractiveWorker(*drawing, context.in, context.out, context.err);
  if (!args.positional.empty()) return UsageError(context, kName, "serve takes no drawings");

  serve::ServerOptions options;
  long number = 0;
  struct Limit {
    const char* option;
    long min, max;
  };
  auto read = [&](const Limit& limit, long* out) {
    std::optional<std::string> text = args.Value(limit.option);
    if (!text) return true;
    if (ParseNumber(*text, limit.min, limit.max, out)) return true;
    UsageError(context, kName,
               std::string("--") + limit.option + " takes a whole number from " +
                   std::to_string(limit.min) + " to " + std::to_string(limit.max));
    return false;
  };
  number = options.port;
  if (!read({"port", 0, 65535}, &number)) return kExitUsage;
  options.port = static_cast<int>(number);
  number = static_cast<long>(options.jobs);
  if (!read({"jobs", 1, 64}, &number)) return kExitUsage;
  options.jobs = static_cast<size_t>(number);
  number = static_cast<long>(options.max_upload_bytes >> 20);
  if (!read({"max-upload", 1, 4096}, &number)) return kExitUsage;
  options.max_upload_bytes = static_cast<size_t>(number) << 20;
  number = static_cast<long>(options.session_seconds / 60);
  if (!read({"session-minutes", 1, 7 * 24 * 60}, &number)) return kExitUsage;
  options.session_seconds = static_cast<double>(number) * 60;
  number = static_cast<long>(options.limits.seconds);
  if (!read({"time-limit", 1, 24 * 3600}, &number)) return kExitUsage;
  options.limits.seconds = static_cast<double>(number);
  number = static_cast<long>(options.limits.memory_mb);
  if (!read({"memory-limit", 64, 1 << 20}, &number)) return kExitUsage;
  options.limits.memory_mb = static_cast<unsigned long>(number);
  options.bind = args.Value("bind").value_or("127.0.0.1");
  if (options.bind.empty()) return UsageError(context, kName, "--bind needs an address");
  if (std::optional<std::string> data = args.Value("data")) {
    if (access(data->c_str(), R_OK | X_OK) != 0)
      return Fail(context, kExitInputError, *data + ": not a readable folder");
    options.data_dir = *data;
  }
  options.program = OwnProgram();
  options.templates_dir = BundledTemplatesDir();

  // The signals that stop the server are taken by this thread alone.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  serve::Server server(options);
  std::string err;
  if (!server.Start(&err)) return Fail(context, kExitInputError, err);
  if (!serve::IsLoopbackAddress(options.bind))
    context.err << "dravolin serve: warning: listening on " << options.bind
                << ": anyone who can reach this address can upload and convert drawings\n";
  context.out << "dravolin serve: open " << server.Url() << " in a browser (Ctrl-C stops)"
              << std::endl;
  int signal_number = 0;
  sigwait(&stop_signals, &signal_number);
  context.out << "dravolin serve: stopping" << std::endl;
  server.Stop();
  return kExitOk;
}

}  // namespace

CommandSpec MakeServeCommand() {
  CommandSpec decl;
  decl.name = kName;
  decl.summary = "show and convert drawings in a web browser";
  decl.usage = "[--port N] [--bind ADDR] [--data DIR] [--jobs N] [options]";
  decl.description =
      "Starts a web server and prints its address. The page uploads drawings (or\n"
      "opens those in --data DIR), shows each one's current layout and facts, lets you\n"
      "pick the reference dimension by clicking it and answer the conversion's dialogs,\n"
      "previews the result and converts: each conversion runs this program's convert\n"
      "command in a worker process with a time and memory limit, so the page writes\n"
      "what the command line writes. Uploads live in a folder per browser session,\n"
      "removed when the page is closed or the session has been idle too long.\n"
      "The server listens on 127.0.0.1 unless --bind says otherwise: anyone who can\n"
      "reach the address can convert. Ctrl-C stops it.";
  decl.options = {
      {"port", 'p', "N", "port to listen on (default 8080; 0: any free port)"},
      {"bind", 0, "ADDR", "address to listen on (default 127.0.0.1)"},
      {"data", 0, "DIR", "offer the .dxf files in DIR (read only)"},
      {"jobs", 'j', "N", "conversions at a time (default 2)"},
      {"max-upload", 0, "MB", "largest upload in megabytes (default 64)"},
      {"session-minutes", 0, "N", "remove a session idle this long (default 60)"},
      {"time-limit", 0, "SECONDS", "stop a conversion after this long (default 120)"},
      {"memory-limit", 0, "MB", "memory a conversion may use (default 2048)"},
      {"view", 0, "FILE", "print the page's view of a drawing as JSON and exit"},
      {"target", 0, "mech6|genius", "the target of --view (default mech6)"},
      {"interactive", 0, "FILE", "run the page's command line on a drawing (JSON lines)"},
  };
  decl.run = Serve;
  return decl;
}

}  // namespace cli
