// The web front end of the substitute host: an HTTP server that keeps the
// drawings a browser uploads in a folder per session, shows them, and
// converts them in worker processes running this same program, so that a
// conversion from the page writes what "dravolin convert" writes.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "cli/serve/worker_process.h"

namespace cli::serve {

struct ServerOptions {
  std::string bind = "127.0.0.1";
  int port = 8080;       // 0: any free port
  std::string data_dir;  // drawings offered read-only; "" for none
  size_t jobs = 2;       // conversions at a time
  size_t max_upload_bytes = 64u << 20;
  double session_seconds = 3600;  // an idle session is removed after this
  WorkerLimits limits;
  std::string program;        // the dravolin executable the workers run
  std::string templates_dir;  // the bundled templates
  std::string temp_dir;       // where the sessions' folder is made ("" for $TMPDIR or /tmp)
};

class Server {
 public:
  explicit Server(ServerOptions options);
  ~Server();  // stops and removes every session's folder
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds and starts serving on threads of its own. False with err set
  // when the address cannot be bound.
  bool Start(std::string* err);
  int port() const;
  // The address to open in a browser.
  std::string Url() const;
  void Stop();

  // Removes the sessions idle for longer than the session time (the server
  // does this by itself every little while); returns how many.
  size_t RemoveIdleSessions();
  // The folder that holds the sessions' folders.
  const std::string& root() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// Whether an address is one only this machine can reach.
bool IsLoopbackAddress(const std::string& address);

// Whether the bytes start as a DXF file does (ASCII: comments, then
// "0 / SECTION"; binary: its sentinel).
bool LooksLikeDxf(const std::string& bytes);

// A file name for a download, made of the client's name without its folders
// and with anything but letters, digits, '.', '-' and '_' replaced.
std::string SafeDownloadName(const std::string& client_name);

}  // namespace cli::serve
