// A small client of Chromium's DevTools protocol for the browser tests and
// benchmarks: serves a folder (scripts/web-serve), starts Debian's chromium
// headless with a profile of its own, speaks to its browser endpoint over a
// WebSocket, opens pages and runs commands in them. Only what they need:
// commands with their JSON parameters written by the caller, results read
// as strings. Events are not kept.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace devtools {

// `text` as a JSON string, quotes included.
inline std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// The first string value named `key` in a JSON text, unescaped (no UTF-16
// pairs beyond one unit); empty when there is none.
inline std::string StringField(const std::string& json, const std::string& key) {
  const std::string name = "\"" + key + "\":\"";
  size_t at = json.find(name);
  if (at == std::string::npos) return "";
  std::string out;
  for (at += name.size(); at < json.size() && json[at] != '"'; ++at) {
    if (json[at] != '\\') {
      out += json[at];
      continue;
    }
    const char c = json[++at];
    if (c == 'u') {
      const unsigned code = std::stoul(json.substr(at + 1, 4), nullptr, 16);
      at += 4;
      if (code < 0x80) {
        out += static_cast<char>(code);
      } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
      } else {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
      }
    } else {
      out += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c == 'b' ? '\b' : c == 'f' ? '\f' : c;
    }
  }
  return out;
}

// scripts/web-serve serving `folder` on a free port of 127.0.0.1, for as
// long as the object lives; port() is empty when it did not start.
class WebServer {
 public:
  explicit WebServer(const std::string& folder) {
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    const std::string script = std::string(QUARRELO_SOURCE_DIR) + "/scripts/web-serve";
    const char* argv[] = {"bash", script.c_str(), "0", folder.c_str(), nullptr};
    if (posix_spawnp(&pid_, "bash", &actions, &attributes, const_cast<char**>(argv), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(out[1]);
    std::string line;  // its first line names the address
    for (char c; line.find('\n') == std::string::npos && read(out[0], &c, 1) == 1;) line += c;
    close(out[0]);
    const size_t at = line.find("127.0.0.1:");
    if (at != std::string::npos) port_ = line.substr(at + 10, line.find('/', at) - at - 10);
  }
  ~WebServer() {
    if (pid_ <= 0) return;
    kill(-pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  WebServer(const WebServer&) = delete;
  WebServer& operator=(const WebServer&) = delete;

  const std::string& port() const { return port_; }

 private:
  pid_t pid_ = -1;
  std::string port_;
};

class Browser {
 public:
  // Starts headless Chromium with a new profile in `profile` (an empty
  // folder) and connects to it; ok() says whether that worked.
  explicit Browser(const std::string& profile) {
    const std::vector<std::string> args = {"chromium",
                                           "--headless",
                                           "--no-sandbox",
                                           "--disable-gpu",
                                           "--disable-quic",
                                           "--no-first-run",
                                           "--disable-background-networking",
                                           "--disable-component-update",
                                           "--disable-sync",
                                           "--user-data-dir=" + profile,
                                           "--remote-debugging-port=0",
                                           "about:blank"};
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, (profile + "/chromium.log").c_str(), O_WRONLY | O_CREAT,
                                     0600);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);  // its helpers end with it
    const bool spawned = posix_spawnp(&pid_, "chromium", &actions, &attributes, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (!spawned) return;
    // Chromium writes its port and the browser endpoint's path there.
    std::string port, path;
    for (int i = 0; i < 300 && path.empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      std::ifstream file(profile + "/DevToolsActivePort");
      std::getline(file, port);
      std::getline(file, path);
    }
    if (!path.empty()) Connect(std::stoi(port), path);
  }

  ~Browser() {
    if (socket_ >= 0) close(socket_);
    if (pid_ > 0) {
      kill(-pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  Browser(const Browser&) = delete;
  Browser& operator=(const Browser&) = delete;

  bool ok() const { return socket_ >= 0; }

  // Sends a command with its parameters (a JSON object) to the session
  // (empty: the browser itself); gives the response as JSON text, empty
  // when none came within 30 s.
  std::string Call(const std::string& method, const std::string& params = "{}",
                   const std::string& session = "") {
    const int id = ++last_id_;
    std::string message =
        "{\"id\":" + std::to_string(id) + ",\"method\":\"" + method + "\",\"params\":" + params;
    if (!session.empty()) message += ",\"sessionId\":\"" + session + "\"";
    Send(message + "}");
    const std::string expected = "{\"id\":" + std::to_string(id) + ",";
    for (std::string reply; Receive(reply);)
      if (reply.compare(0, expected.size(), expected) == 0) return reply;
    return "";
  }

  // Opens a tab on about:blank; gives the session that speaks to it (empty
  // on failure) and its target id in `target`.
  std::string Open(std::string& target) {
    target = StringField(Call("Target.createTarget", R"({"url":"about:blank"})"), "targetId");
    return StringField(Call("Target.attachToTarget", "{\"targetId\":\"" + target + "\",\"flatten\":true}"),
                       "sessionId");
  }

  // The expression's value in the session's page, as a string.
  std::string Eval(const std::string& session, const std::string& expression) {
    return StringField(
        Call("Runtime.evaluate",
             "{\"expression\":" + Quote("String(" + expression + ")") + ",\"returnByValue\":true}", session),
        "value");
  }

 private:
  void Connect(int port, const std::string& path) {
    socket_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const std::string request =
        "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
        "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
        "Sec-WebSocket-Key: cXVhcnJlbG8tdGVzdHMtMQ==\r\nSec-WebSocket-Version: 13\r\n\r\n";
    std::string reply;
    char c;
    if (connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        write(socket_, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
      reply.clear();
    } else {
      while (reply.find("\r\n\r\n") == std::string::npos && ReadAll(&c, 1)) reply += c;
    }
    if (reply.find(" 101 ") == std::string::npos) {
      close(socket_);
      socket_ = -1;
    }
  }

  bool ReadAll(char* into, size_t size) {
    while (size > 0) {
      pollfd ready{socket_, POLLIN, 0};
      if (poll(&ready, 1, 30000) <= 0) return false;
      const ssize_t n = read(socket_, into, size);
      if (n <= 0) return false;
      into += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }

  // One text frame, masked (with a zero key) as a client's must be.
  void Send(const std::string& text) {
    std::string frame = "\x81";
    const uint64_t size = text.size();
    if (size < 126) {
      frame += static_cast<char>(0x80 | size);
    } else if (size < 65536) {
      frame += static_cast<char>(0x80 | 126);
      for (int shift : {8, 0}) frame += static_cast<char>(size >> shift);
    } else {
      frame += static_cast<char>(0x80 | 127);
      for (int shift = 56; shift >= 0; shift -= 8) frame += static_cast<char>(size >> shift);
    }
    frame.append(4, '\0');
    frame += text;
    if (write(socket_, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size())) close(socket_);
  }

  // One whole message (its frames joined); false when the link failed.
  bool Receive(std::string& message) {
    message.clear();
    for (bool last = false; !last;) {
      unsigned char head[2];
      if (!ReadAll(reinterpret_cast<char*>(head), 2)) return false;
      last = head[0] & 0x80;
      uint64_t size = head[1] & 0x7F;
      if (size >= 126) {
        unsigned char extended[8];
        const int bytes = size == 126 ? 2 : 8;
        if (!ReadAll(reinterpret_cast<char*>(extended), bytes)) return false;
        size = 0;
        for (int i = 0; i < bytes; ++i) size = size << 8 | extended[i];
      }
      std::string payload(size, '\0');
      if (!ReadAll(payload.data(), size)) return false;
      if ((head[0] & 0x0F) <= 2) message += payload;  // text, binary or their continuation
    }
    return true;
  }

  pid_t pid_ = -1;
  int socket_ = -1;
  int last_id_ = 0;
};

}  // namespace devtools
