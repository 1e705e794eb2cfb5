#include <httplib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "cli/serve/interactive.h"
#include "cli/serve/server.h"
#include "cli/serve/worker_process.h"
#include "gtest/gtest.h"

namespace cli::serve {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

const std::string kProgram = DRAVOLIN_BINARY_DIR "/dravolin";
const std::string kExample = DRAVOLIN_SOURCE_DIR "/examples/exported-views.dxf";

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Markup in a drawing's text and in a layer's name, and in the file's name.
const std::string kMarkup = "<img src=x onerror=alert(1)></script>";

std::string WithMarkup(std::string dxf) {
  auto replace = [&](const std::string& line, const std::string& by) {
    for (size_t at = 0; (at = dxf.find("\n" + line + "\n", at)) != std::string::npos;)
      dxf.replace(at + 1, line.size(), by);
  };
  replace("Ra 3,2", kMarkup);
  replace("Mittellinie", "M" + kMarkup);
  return dxf;
}

class ServeTest : public ::testing::Test {
 protected:
  void SetUp() override {
#if defined(__SANITIZE_ADDRESS__)
    // The workers are the sanitizer build of the program; their leak check
    // is the business of the program's own tests, not of the server's.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
#endif
    temp_ = fs::temp_directory_path() / ("dravolin-serve-test-" + std::to_string(getpid()));
    fs::create_directories(temp_);
    ServerOptions options;
    options.port = 0;
    options.program = kProgram;
    options.templates_dir = DRAVOLIN_SOURCE_DIR "/templates";
    options.temp_dir = temp_.string();
    options.max_upload_bytes = 1 << 20;
    options.session_seconds = 3600;
    options.limits.seconds = 120;
    server_ = std::make_unique<Server>(options);
    std::string err;
    ASSERT_TRUE(server_->Start(&err)) << err;
    client_ = std::make_unique<httplib::Client>("127.0.0.1", server_->port());
    client_->set_read_timeout(180, 0);
  }
  void TearDown() override {
    client_.reset();
    server_.reset();
    fs::remove_all(temp_);
  }

  std::string NewSession() {
    auto res = client_->Post("/api/session");
    EXPECT_TRUE(res && res->status == 200);
    return res ? json::parse(res->body)["session"].get<std::string>() : "";
  }
  httplib::Headers With(const std::string& session) { return {{"X-Dravolin-Session", session}}; }
  httplib::Result Upload(const std::string& session, const std::string& name,
                         const std::string& bytes) {
    return client_->Post("/api/drawings", With(session),
                         httplib::MultipartFormDataItems{{"file", bytes, name, "application/dxf"}});
  }
  json PostJson(const std::string& session, const std::string& path, const json& body) {
    auto res = client_->Post(path, With(session), body.dump(), "application/json");
    EXPECT_TRUE(res);
    if (!res) return json();
    EXPECT_EQ(res->status, 200) << res->body;
    return json::parse(res->body, nullptr, false);
  }

  // The drawing as "dravolin convert" writes it with the page's default answers.
  std::string ConvertedByCommandLine(const std::string& dxf) {
    std::ofstream((temp_ / "in.dxf").string(), std::ios::binary) << dxf;
    return ConvertedByCommandLine("in.dxf", "auto", "0.50,0.35,0.25");
  }
  // The drawing as "dravolin convert" writes it from the input file with
  // these answers.
  std::string ConvertedByCommandLine(const std::string& input, const std::string& reference,
                                     const std::string& lineweights) {
    WorkerRun cli;
    cli.program = kProgram;
    cli.folder = temp_.string();
    cli.args = {"convert",
                input,
                "--target",
                "mech6",
                "--reference",
                reference,
                "--lineweights",
                lineweights,
                "--template",
                DRAVOLIN_SOURCE_DIR "/templates/Mech6.dwt",
                "-o",
                "cli.dxf"};
    cli.stdout_file = "cli.out";
    cli.stderr_file = "cli.err";
    fs::remove(temp_ / "cli.dxf");
    WorkerResult result = RunWorker(cli, {});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    return ReadAll((temp_ / "cli.dxf").string());
  }

  fs::path temp_;
  std::unique_ptr<Server> server_;
  std::unique_ptr<httplib::Client> client_;
};

// The whole way through the API: the stored file gets the server's name,
// the view shows the drawing and its questions, the preview writes nothing,
// and the converted drawing is the command line's, byte for byte.
TEST_F(ServeTest, ConvertsAsTheCommandLineDoes) {
  std::string session = NewSession();
  auto uploaded = Upload(session, "../../escape/exported-views.dxf", ReadAll(kExample));
  ASSERT_TRUE(uploaded && uploaded->status == 200) << (uploaded ? uploaded->body : "");
  json drawing = json::parse(uploaded->body)["drawings"][0];
  EXPECT_EQ(drawing["name"], "exported-views.dxf");
  std::string id = drawing["id"];
  EXPECT_FALSE(fs::exists(temp_ / "escape"));
  EXPECT_FALSE(fs::exists(fs::path(server_->root()) / "escape"));

  auto viewed = client_->Get("/api/drawings/" + id + "/view?target=mech6", With(session));
  ASSERT_TRUE(viewed && viewed->status == 200) << (viewed ? viewed->body : "");
  json view = json::parse(viewed->body);
  EXPECT_EQ(view["svg"].get<std::string>().rfind("<svg", 0), 0u);
  ASSERT_TRUE(view["auto"].is_string());
  bool auto_marked = false;
  for (const json& dimension : view["dimensions"])
    auto_marked |= dimension["handle"] == view["auto"] && dimension["dimlfac"].is_number();
  EXPECT_TRUE(auto_marked);
  ASSERT_FALSE(view["dialogs"].empty());
  const json& dialog = view["dialogs"][0];
  EXPECT_EQ(dialog["id"], 200);
  EXPECT_GT(dialog["width"].get<int>(), 0);
  size_t combos = 0;
  for (const json& control : dialog["controls"])
    if (control["kind"] == "combo") {
      ++combos;
      EXPECT_EQ(control["items"].size(), 24u);
    }
  EXPECT_EQ(combos, 3u);
  EXPECT_NE(view["info"].get<std::string>().find("DIMLFAC"), std::string::npos);

  json answers = {{"target", "mech6"},
                  {"reference", view["auto"]},
                  {"lineweights", {"0.50", "0.35", "0.18"}},
                  {"template", "Mech6.dwt"}};
  json preview = PostJson(session, "/api/drawings/" + id + "/preview", answers);
  EXPECT_EQ(preview["exit_code"], 0) << preview.dump();
  EXPECT_TRUE(preview["report"].is_object());
  auto early = client_->Get("/api/drawings/" + id + "/download/dxf", With(session));
  ASSERT_TRUE(early);
  EXPECT_EQ(early->status, 404);  // a preview writes nothing to download

  json converted = PostJson(session, "/api/drawings/" + id + "/convert", answers);
  ASSERT_EQ(converted["exit_code"], 0) << converted.dump();
  auto dxf = client_->Get("/api/drawings/" + id + "/download/dxf", With(session));
  ASSERT_TRUE(dxf && dxf->status == 200);
  EXPECT_EQ(dxf->get_header_value("Content-Disposition"),
            "attachment; filename=\"exported-views-mech6.dxf\"");
  for (const char* kind : {"transcript", "report"}) {
    auto more = client_->Get("/api/drawings/" + id + "/download/" + kind, With(session));
    ASSERT_TRUE(more);
    EXPECT_EQ(more->status, 200) << kind;
  }

  // The command line with the same answers.
  EXPECT_TRUE(ConvertedByCommandLine(kExample, view["auto"].get<std::string>(), "0.50,0.35,0.18") ==
              dxf->body);
}

// The page's batch: drawings uploaded together, each converted with the
// same answers, each download the command line's drawing for its input.
TEST_F(ServeTest, BatchConvertsEachAsTheCommandLineDoes) {
  std::string session = NewSession();
  std::vector<std::string> inputs = {ReadAll(kExample), WithMarkup(ReadAll(kExample))};
  auto uploaded = client_->Post(
      "/api/drawings", With(session),
      httplib::MultipartFormDataItems{{"file", inputs[0], "a.dxf", "application/dxf"},
                                      {"file", inputs[1], "b.dxf", "application/dxf"}});
  ASSERT_TRUE(uploaded && uploaded->status == 200);
  json answers = {{"target", "mech6"},
                  {"reference", "auto"},
                  {"lineweights", {"0.50", "0.35", "0.25"}},
                  {"template", "Mech6.dwt"}};
  for (const char* id : {"d1", "d2"})
    EXPECT_EQ(
        PostJson(session, std::string("/api/drawings/") + id + "/convert", answers)["written"],
        true);
  for (size_t i = 0; i < inputs.size(); ++i) {
    std::string id = "d" + std::to_string(i + 1);
    auto dxf = client_->Get("/api/drawings/" + id + "/download/dxf", With(session));
    ASSERT_TRUE(dxf && dxf->status == 200) << id;
    EXPECT_TRUE(dxf->body == ConvertedByCommandLine(inputs[i])) << id;
  }
}

// Markup in a drawing or its name leaves the server only as data: inside
// JSON strings, or escaped in the drawn SVG and in the HTML report.
TEST_F(ServeTest, DrawingTextsLeaveOnlyAsData) {
  std::string session = NewSession();
  const std::string name = "<img src=x onerror=alert(1)>.dxf";  // a name has no '/'
  auto uploaded = Upload(session, name, WithMarkup(ReadAll(kExample)));
  ASSERT_TRUE(uploaded && uploaded->status == 200);
  EXPECT_EQ(json::parse(uploaded->body)["drawings"][0]["name"], name);
  auto viewed = client_->Get("/api/drawings/d1/view?target=mech6", With(session));
  ASSERT_TRUE(viewed && viewed->status == 200);
  EXPECT_EQ(viewed->get_header_value("Content-Type"), "application/json");
  json view = json::parse(viewed->body);
  EXPECT_NE(view["info"].get<std::string>().find("M" + kMarkup), std::string::npos);
  std::string svg = view["svg"];
  EXPECT_EQ(svg.find("<img"), std::string::npos);
  EXPECT_NE(svg.find("&lt;img src=x onerror=alert(1)&gt;&lt;/script&gt;"), std::string::npos);

  json answers = {{"target", "mech6"}, {"lineweights", "ok"}, {"template", "Mech6.dwt"}};
  ASSERT_EQ(PostJson(session, "/api/drawings/d1/convert", answers)["written"], true);
  auto report = client_->Get("/api/drawings/d1/download/report", With(session));
  ASSERT_TRUE(report && report->status == 200);
  EXPECT_EQ(report->body.find("<img"), std::string::npos);
  EXPECT_NE(report->body.find("M&lt;img src=x"), std::string::npos);
  EXPECT_EQ(report->get_header_value("Content-Disposition"),
            "attachment; filename=\"_img_src_x_onerror_alert_1__-mech6.report.html\"");
}

TEST_F(ServeTest, RefusesWhatItMustNotTake) {
  std::string session = NewSession();
  // Too large: the library refuses the body before it is handled.
  auto large = Upload(session, "big.dxf", "0\nSECTION\n" + std::string(2 << 20, ' '));
  ASSERT_TRUE(large);
  EXPECT_EQ(large->status, 413);
  auto text = Upload(session, "notes.dxf", "hello\nworld\n");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->status, 415);

  // Another site's page, and a name that is not this machine's.
  httplib::Headers foreign = With(session);
  foreign.emplace("Origin", "http://example.com");
  auto from_elsewhere = client_->Post("/api/session", foreign, "", "application/json");
  ASSERT_TRUE(from_elsewhere);
  EXPECT_EQ(from_elsewhere->status, 403);
  httplib::Headers rebound = {{"Host", "attacker.example:" + std::to_string(server_->port())}};
  auto renamed = client_->Get("/", rebound);
  ASSERT_TRUE(renamed);
  EXPECT_EQ(renamed->status, 403);
  httplib::Headers own = With(session);
  own.emplace("Origin", "http://127.0.0.1:" + std::to_string(server_->port()));
  auto listed = client_->Get("/api/drawings", own);
  ASSERT_TRUE(listed);
  EXPECT_EQ(listed->status, 200);

  // Unknown sessions, and one session's drawings for another.
  auto unknown = client_->Get("/api/drawings", With("0123456789abcdef0123456789abcdef"));
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->status, 404);
  ASSERT_EQ(Upload(session, "a.dxf", ReadAll(kExample))->status, 200);
  std::string other = NewSession();
  auto stolen = client_->Get("/api/drawings/d1/view?target=mech6", With(other));
  ASSERT_TRUE(stolen);
  EXPECT_EQ(stolen->status, 404);
  json bad_answer = {{"target", "mech6"}, {"reference", "../x"}};
  auto refused = client_->Post("/api/drawings/d1/convert", With(session), bad_answer.dump(),
                               "application/json");
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status, 400);

  // The page's own protection travels with every answer.
  auto page = client_->Get("/");
  ASSERT_TRUE(page && page->status == 200);
  std::string policy = page->get_header_value("Content-Security-Policy");
  EXPECT_NE(policy.find("script-src 'self'"), std::string::npos);
  EXPECT_EQ(policy.find("unsafe-inline"), std::string::npos);
}

TEST_F(ServeTest, SessionsEndWithTheirFiles) {
  std::string ended = NewSession();
  ASSERT_EQ(Upload(ended, "a.dxf", ReadAll(kExample))->status, 200);
  fs::path folder = fs::path(server_->root()) / ended;
  EXPECT_TRUE(fs::exists(folder / "d1.dxf"));
  auto closed = client_->Delete("/api/session", With(ended));
  ASSERT_TRUE(closed && closed->status == 200);
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_EQ(client_->Get("/api/drawings", With(ended))->status, 404);

  std::string idle = NewSession();
  EXPECT_EQ(server_->RemoveIdleSessions(), 0u);  // not idle for an hour yet
  EXPECT_TRUE(fs::exists(fs::path(server_->root()) / idle));
  std::string root = server_->root();
  server_.reset();  // a stopped server leaves nothing behind
  EXPECT_FALSE(fs::exists(root));

  // A session idle past its time goes with its files.
  ServerOptions options;
  options.port = 0;
  options.program = kProgram;
  options.temp_dir = temp_.string();
  options.session_seconds = 0.05;
  Server quick(options);
  std::string err;
  ASSERT_TRUE(quick.Start(&err)) << err;
  httplib::Client client("127.0.0.1", quick.port());
  auto made = client.Post("/api/session");
  ASSERT_TRUE(made && made->status == 200);
  fs::path folder_of_idle =
      fs::path(quick.root()) / json::parse(made->body)["session"].get<std::string>();
  EXPECT_TRUE(fs::exists(folder_of_idle));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  quick.RemoveIdleSessions();
  EXPECT_FALSE(fs::exists(folder_of_idle));
}

// The page's command line: the module's questions arrive on the event
// stream, numbered and in order, a command sent while one is open waits for
// its answer, and another session can neither read the stream nor answer.
TEST_F(ServeTest, CommandLineAsksThePageOverItsEventStream) {
  std::string session = NewSession();
  std::string other = NewSession();
  ASSERT_EQ(Upload(session, "a.dxf", ReadAll(kExample))->status, 200);
  EXPECT_EQ(client_->Post("/api/interactive/send", With(session), "{}", "application/json")->status,
            404);
  EXPECT_EQ(client_->Get("/api/interactive/stream?session=" + session)->status, 404);
  PostJson(session, "/api/drawings/d1/interactive", json::object());
  EXPECT_EQ(client_->Get("/api/interactive/stream?session=" + other)->status, 404);
  httplib::Headers foreign = {{"Origin", "http://example.com"}};
  EXPECT_EQ(client_->Get("/api/interactive/stream?session=" + session, foreign)->status, 403);
  EXPECT_EQ(client_->Post("/api/interactive/send", With(other), "{}", "application/json")->status,
            404);
  PostJson(session, "/api/interactive/send", {{"command", "DRAVOLIN1"}});

  httplib::Client answers("127.0.0.1", server_->port());
  std::string pending, type;
  std::vector<std::string> types, ids;
  bool picked = false;
  auto res = client_->Get(
      "/api/interactive/stream?session=" + session,
      [&](const httplib::Response& head) {
        EXPECT_EQ(head.get_header_value("Content-Type"), "text/event-stream");
        return head.status == 200;
      },
      [&](const char* data, size_t length) {
        pending.append(data, length);
        for (size_t end; (end = pending.find("\n\n")) != std::string::npos;) {
          std::istringstream block(pending.substr(0, end));
          pending.erase(0, end + 2);
          for (std::string line; std::getline(block, line);) {
            if (line.rfind("id: ", 0) == 0) ids.push_back(line.substr(4));
            if (line.rfind("event: ", 0) == 0) types.push_back(line.substr(7));
            if (line.rfind("data: ", 0) != 0 || line == "data: {}") continue;
            json event = json::parse(line.substr(6));
            types.push_back(event["type"]);
            if (event["type"] == "message")
              answers.Post("/api/interactive/send", With(session), R"({"ok": true})",
                           "application/json");
            if (event["type"] == "pick") {
              EXPECT_FALSE(event["candidates"].empty());
              picked = true;
            }
          }
        }
        return !picked;  // enough read
      });
  EXPECT_TRUE(picked);
  ASSERT_GE(types.size(), 3u);
  EXPECT_EQ(types[0], "message");  // the module's start-up message
  EXPECT_EQ(types[1], "idle");
  EXPECT_EQ(std::count(types.begin(), types.end(), "end"), 0);
  ASSERT_EQ(ids.size(), types.size());
  EXPECT_EQ(ids[0], "1");

  // A browser that reconnects names the last event it has; the stream goes
  // on from there, and ends when the command line is ended.
  httplib::Headers resume = {{"Last-Event-ID", ids.back()}};
  std::string rest;
  std::thread end_it([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    answers.Post("/api/drawings/d1/interactive", With(session), "{}", "application/json");
  });
  httplib::Client again("127.0.0.1", server_->port());  // the other one has dropped its stream
  again.Get("/api/interactive/stream?session=" + session, resume,
            [&](const char* data, size_t length) {
              rest.append(data, length);
              return true;
            });
  end_it.join();
  EXPECT_EQ(rest.find("id: " + ids.back() + "\n"), std::string::npos) << rest;
  EXPECT_NE(rest.find("event: end"), std::string::npos) << rest;
}

TEST(ServeHelpers, KnowDxfAndSafeNames) {
  EXPECT_TRUE(LooksLikeDxf("  0\r\nSECTION\r\n  2\r\nHEADER\r\n"));
  EXPECT_TRUE(LooksLikeDxf("999\ncomment\n0\nSECTION\n"));
  EXPECT_TRUE(LooksLikeDxf(std::string("AutoCAD Binary DXF\r\n\x1a\0", 22)));
  EXPECT_FALSE(LooksLikeDxf("<html>"));
  EXPECT_FALSE(LooksLikeDxf(""));
  EXPECT_EQ(SafeDownloadName("C:\\x\\..\\a b\"c.dxf"), "a_b_c.dxf");
  EXPECT_EQ(SafeDownloadName("../.."), "drawing");
  EXPECT_TRUE(IsLoopbackAddress("127.0.0.1"));
  EXPECT_FALSE(IsLoopbackAddress("0.0.0.0"));
}

TEST(ServeWorker, StopsAtItsLimits) {
  fs::path folder = fs::temp_directory_path();
  WorkerRun sleeper{"/bin/sleep", {"30"}, folder.string(), "sleep.out", "sleep.err"};
  WorkerLimits quick;
  quick.seconds = 0.3;
  WorkerResult slept = RunWorker(sleeper, quick);
  EXPECT_TRUE(slept.timed_out);
  EXPECT_NE(slept.failure.find("time limit"), std::string::npos);
  if (!WorkerLimitsAddressSpace()) return;  // sanitizer builds run without the memory limit
  WorkerRun eater{"/usr/bin/python3",
                  {"-c", "b = bytearray(400 << 20)"},
                  folder.string(),
                  "eat.out",
                  "eat.err"};
  WorkerLimits small;
  small.memory_mb = 200;
  WorkerResult ate = RunWorker(eater, small);
  EXPECT_NE(ate.exit_code, 0);
  EXPECT_NE(ate.err.find("MemoryError"), std::string::npos);
}

// The command line's worker waits for its user as long as it takes, so its
// limit is on processor time; memory is limited as for a conversion.
TEST(ServeWorker, CommandLineStopsAtItsLimits) {
  fs::path folder = fs::temp_directory_path();
  std::string errors = "held-" + std::to_string(getpid()) + ".err";
  auto ends = [&](const std::string& code, const WorkerLimits& limits) {
    InteractiveRun run;
    std::string err;
    EXPECT_TRUE(
        run.Start({"/usr/bin/python3", {"-c", code}, folder.string(), "", errors}, limits, &err))
        << err;
    size_t last = 0;
    bool ended = false;
    for (int i = 0; i < 60 && !ended; ++i) run.Events(0, 1, &last, &ended);
    return ended;
  };
  WorkerLimits quick;
  quick.seconds = 0.3;  // one second of processor time
  EXPECT_TRUE(ends("while True: pass", quick));
  if (!WorkerLimitsAddressSpace()) return;
  WorkerLimits small;
  small.memory_mb = 200;
  EXPECT_TRUE(ends("b = bytearray(400 << 20)\nimport time\ntime.sleep(60)", small));
  EXPECT_NE(ReadAll((folder / errors).string()).find("MemoryError"), std::string::npos);
  fs::remove(folder / errors);
}

}  // namespace
}  // namespace cli::serve
