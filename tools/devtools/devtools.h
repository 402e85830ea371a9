// A small client of Chromium's DevTools protocol, the browser test's and the
// browser benchmarks' tool (header-only; it takes its scratch folder from
// tests/support/scratch_folder.h): serves a folder (scripts/web-serve), starts Debian's chromium
// headless with a profile of its own, opens pages and runs commands in them.
// Only what they need: commands with their JSON parameters written by the
// caller, results read as strings. Events are not kept.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "scratch_folder.h"

extern char** environ;

namespace devtools {

// `text` as a JSON string, quotes included.
inline std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, c < 0x20 ? "\\u%04x" : c == '"' || c == '\\' ? "\\%c" : "%c", c);
    out += escaped;
  }
  return out + "\"";
}

// The first string value named `key` in a JSON text, taken as it stands:
// for values without escapes (ids, and what Browser::Eval asks for).
inline std::string StringField(const std::string& json, const std::string& key) {
  const std::string name = "\"" + key + "\":\"";
  const size_t at = json.find(name), from = at + name.size();
  return at == std::string::npos ? "" : json.substr(from, json.find('"', from) - from);
}

// A program started in a process group of its own, with `descriptors`
// (child's number, ours) given to it and its errors in `errors`; the group
// is ended with the object.
class Child {
 public:
  Child(const std::vector<std::string>& args, const std::vector<std::pair<int, int>>& descriptors,
        const std::string& errors = "/dev/null") {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const auto& [theirs, ours] : descriptors) posix_spawn_file_actions_adddup2(&actions, ours, theirs);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);  // its helpers end with it
    if (posix_spawnp(&pid_, argv[0], &actions, &attributes, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  ~Child() {
    if (pid_ <= 0) return;
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  bool started() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};

// A pipe whose ends are out of the way of the numbers a child is given.
inline bool Pipe(int ends[2]) {
  int made[2];
  if (pipe2(made, O_CLOEXEC) != 0) return false;
  for (int i : {0, 1}) {
    ends[i] = fcntl(made[i], F_DUPFD_CLOEXEC, 10);
    close(made[i]);
  }
  return true;
}

// scripts/web-serve serving `folder` on a free port of 127.0.0.1, for as
// long as the object lives; port() is empty when it did not start.
class WebServer {
 public:
  explicit WebServer(const std::string& folder) {
    int out[2];
    if (!Pipe(out)) return;
    server_ = std::make_unique<Child>(
        std::vector<std::string>{"bash", std::string(QUARRELO_SOURCE_DIR) + "/scripts/web-serve", "0",
                                 folder},
        std::vector<std::pair<int, int>>{{1, out[1]}});
    close(out[1]);
    std::string line;  // its first line names the address
    for (char c; line.find('\n') == std::string::npos && read(out[0], &c, 1) == 1;) line += c;
    close(out[0]);
    const size_t at = line.find("127.0.0.1:");
    if (at != std::string::npos) port_ = line.substr(at + 10, line.find('/', at) - at - 10);
  }
  const std::string& port() const { return port_; }

 private:
  std::unique_ptr<Child> server_;
  std::string port_;
};

// Headless Chromium with a new profile in `profile` (an empty folder),
// spoken to over the pipes of --remote-debugging-pipe: each message a JSON
// text ended by a NUL byte, the browser reading file descriptor 3 and
// writing 4. ok() says whether it answers.
class Browser {
 public:
  explicit Browser(const std::string& profile) {
    int to[2], from[2];
    if (!Pipe(to) || !Pipe(from)) return;
    to_ = to[1];
    from_ = from[0];
    chromium_ = std::make_unique<Child>(
        std::vector<std::string>{"chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                                 "--no-first-run", "--disable-background-networking",
                                 "--disable-component-update", "--disable-sync", "--user-data-dir=" + profile,
                                 "--remote-debugging-pipe", "about:blank"},
        std::vector<std::pair<int, int>>{{3, to[0]}, {4, from[1]}}, profile + "/chromium.log");
    close(to[0]);
    close(from[1]);
  }
  ~Browser() {
    chromium_.reset();
    close(to_);
    close(from_);
  }

  bool ok() { return chromium_ && chromium_->started() && !Call("Browser.getVersion").empty(); }

  // Sends a command with its parameters (a JSON object) to the session
  // (empty: the browser itself); gives the response as JSON text, empty
  // when none came within 30 s.
  std::string Call(const std::string& method, const std::string& params = "{}",
                   const std::string& session = "") {
    const std::string id = std::to_string(++last_id_);
    std::string message = "{\"id\":" + id + ",\"method\":\"" + method + "\",\"params\":" + params;
    if (!session.empty()) message += ",\"sessionId\":\"" + session + "\"";
    message += "}";
    if (write(to_, message.c_str(), message.size() + 1) != static_cast<ssize_t>(message.size() + 1))
      return "";
    const std::string expected = "{\"id\":" + id + ",";
    for (;;) {
      size_t end;
      while ((end = received_.find('\0')) == std::string::npos) {
        pollfd ready{from_, POLLIN, 0};
        char buffer[65536];
        const ssize_t n = poll(&ready, 1, 30000) > 0 ? read(from_, buffer, sizeof buffer) : 0;
        if (n <= 0) return "";
        received_.append(buffer, static_cast<size_t>(n));
      }
      const std::string reply = received_.substr(0, end);
      received_.erase(0, end + 1);
      if (reply.compare(0, expected.size(), expected) == 0) return reply;  // else an event
    }
  }

  // Opens a tab on about:blank; gives the session that speaks to it (empty
  // on failure) and its target id in `target`.
  std::string Open(std::string& target) {
    target = StringField(Call("Target.createTarget", R"({"url":"about:blank"})"), "targetId");
    return StringField(Call("Target.attachToTarget", "{\"targetId\":\"" + target + "\",\"flatten\":true}"),
                       "sessionId");
  }

  // The expression's value in the session's page, as a string (it comes
  // percent-encoded, so that the reply holds no JSON escapes).
  std::string Eval(const std::string& session, const std::string& expression) {
    const std::string encoded = StringField(
        Call("Runtime.evaluate",
             "{\"expression\":" + Quote("encodeURIComponent(String(" + expression + "))") + "}", session),
        "value");
    std::string out;
    for (size_t i = 0; i < encoded.size(); ++i) {
      const bool escape = encoded[i] == '%' && i + 2 < encoded.size();
      out += escape ? static_cast<char>(std::stoi(encoded.substr(i + 1, 2), nullptr, 16)) : encoded[i];
      if (escape) i += 2;
    }
    return out;
  }

 private:
  std::unique_ptr<Child> chromium_;
  int to_ = -1, from_ = -1;
  int last_id_ = 0;
  std::string received_;  // what came after the last reply taken
};

// The page at `path` of `folder`, served by scripts/web-serve, open in a
// tab of its own headless Chromium with the focus (emulated), `script` run
// before the page's own and, unless empty, the URLs matching `blocked`
// refused. ok() says whether it was opened.
class Page {
 public:
  Page(const std::string& folder, const std::string& path, const std::string& script = "",
       const std::string& blocked = "")
      : server_(folder) {
    if (server_.port().empty() || !browser_.ok()) return;
    session_ = browser_.Open(target_);
    Call("Page.enable");
    if (!script.empty()) Call("Page.addScriptToEvaluateOnNewDocument", "{\"source\":" + Quote(script) + "}");
    Focused(true);
    if (!blocked.empty()) {
      Call("Network.enable");
      Call("Network.setBlockedURLs", "{\"urls\":[" + Quote(blocked) + "]}");
    }
    Call("Page.navigate", "{\"url\":\"http://127.0.0.1:" + server_.port() + "/" + path + "\"}");
  }
  bool ok() const { return !session_.empty(); }
  Browser& browser() { return browser_; }
  const std::string& target() const { return target_; }

  std::string Call(const std::string& method, const std::string& params = "{}") {
    return browser_.Call(method, params, session_);
  }
  std::string Eval(const std::string& expression) { return browser_.Eval(session_, expression); }
  // Waits up to `seconds` for the condition to hold in the page.
  bool WaitFor(const std::string& condition, int seconds = 10) {
    for (int i = 0; i < seconds * 20; ++i) {
      if (Eval(condition) == "true") return true;
      Pause(50);
    }
    return false;
  }
  void Focused(bool focused) {
    Call("Emulation.setFocusEmulationEnabled", std::string("{\"enabled\":") + (focused ? "true}" : "false}"));
  }
  // A key by its KeyboardEvent.code: down, up, or pressed for `held_ms`
  // and let go for as long (each several frames of the game).
  void Key(const std::string& code, bool down) {
    Call("Input.dispatchKeyEvent",
         std::string("{\"type\":\"") + (down ? "rawKeyDown" : "keyUp") + "\",\"code\":\"" + code + "\"}");
  }
  void Press(const std::string& code, int held_ms = 120) {
    Key(code, true);
    Pause(held_ms);
    Key(code, false);
    Pause(120);
  }
  static void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

 private:
  WebServer server_;
  ScratchFolder profile_{"quarrelo-chromium"};
  Browser browser_{profile_.path()};
  std::string target_, session_;
};

}  // namespace devtools
