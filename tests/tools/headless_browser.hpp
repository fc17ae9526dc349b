// The system's Chromium, headless, driven through its DevTools protocol over
// a pipe (commands on the browser's descriptor 3, replies on 4, each a JSON
// text ended by NUL): open a page, wait until its script has run, and
// evaluate expressions in it.  Nothing is downloaded, and the profile is a
// fresh folder of the caller's.
#pragma once

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace hipaa::testing {

class HeadlessBrowser {
public:
  static constexpr const char* kChromium = "/usr/bin/chromium";

  explicit HeadlessBrowser(const std::filesystem::path& profile) {
    int commands[2], replies[2];
    if (::pipe(commands) != 0 || ::pipe(replies) != 0) throw std::runtime_error("pipe failed");
    std::string profile_flag = "--user-data-dir=" + profile.string();
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
      ::dup2(commands[0], 3);
      ::dup2(replies[1], 4);
      int null = ::open("/dev/null", O_RDWR);
      ::dup2(null, 0);
      ::dup2(null, 1);
      ::dup2(null, 2);
      for (int fd = 5; fd < 1024; ++fd) ::close(fd);
      ::execl(kChromium, "chromium", "--headless", "--no-sandbox", "--disable-gpu",
              "--no-first-run", "--disable-background-networking", "--disable-component-update",
              "--disable-sync", "--disable-quic", "--remote-debugging-pipe", profile_flag.c_str(),
              "about:blank", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(commands[0]);
    ::close(replies[1]);
    to_ = commands[1];
    from_ = replies[0];
  }
  HeadlessBrowser(const HeadlessBrowser&) = delete;
  HeadlessBrowser& operator=(const HeadlessBrowser&) = delete;

  ~HeadlessBrowser() {
    try {
      send("Browser.close", nlohmann::json::object(), "");
    } catch (...) {
    }
    ::close(to_);
    ::close(from_);
    for (int i = 0; i < 50; ++i) {
      if (::waitpid(pid_, nullptr, WNOHANG) == pid_) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }

  // Opens `url` in a new page and waits until the page says it is ready
  // (document.body.dataset.ready set by its script).
  void open(const std::string& url) {
    nlohmann::json target = call("Target.createTarget", {{"url", url}}, "");
    nlohmann::json attached =
        call("Target.attachToTarget", {{"targetId", target.at("targetId")}, {"flatten", true}}, "");
    session_ = attached.at("sessionId").get<std::string>();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (eval("document.readyState === 'complete' && document.body.dataset.ready !== undefined") !=
           true) {
      if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error("page never ready");
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  // Lays the open page out as in a window of `width` by `height` CSS
  // pixels, as a laptop's screen would show it.
  void resize(int width, int height) {
    call("Emulation.setDeviceMetricsOverride",
         {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", false}},
         session_);
  }

  // The value of a JavaScript expression in the page; an exception thrown
  // by the page is a std::runtime_error with its text.
  nlohmann::json eval(const std::string& expression) {
    nlohmann::json reply = call(
        "Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}}, session_);
    if (reply.contains("exceptionDetails")) {
      throw std::runtime_error("page: " + reply["exceptionDetails"].dump());
    }
    const nlohmann::json& result = reply.at("result");
    return result.contains("value") ? result.at("value") : nlohmann::json();
  }

private:
  int send(const std::string& method, const nlohmann::json& params, const std::string& session) {
    nlohmann::json message = {{"id", next_id_}, {"method", method}, {"params", params}};
    if (!session.empty()) message["sessionId"] = session;
    std::string text = message.dump();
    text.push_back('\0');
    for (std::size_t done = 0; done < text.size();) {
      ssize_t n = ::write(to_, text.data() + done, text.size() - done);
      if (n <= 0) throw std::runtime_error("cannot write to the browser");
      done += static_cast<std::size_t>(n);
    }
    return next_id_++;
  }

  nlohmann::json call(const std::string& method, const nlohmann::json& params,
                      const std::string& session) {
    int id = send(method, params, session);
    for (;;) {
      std::size_t end = buffer_.find('\0');
      while (end == std::string::npos) {
        pollfd ready{from_, POLLIN, 0};
        if (::poll(&ready, 1, 30000) <= 0) throw std::runtime_error("the browser does not answer");
        char chunk[65536];
        ssize_t n = ::read(from_, chunk, sizeof chunk);
        if (n <= 0) throw std::runtime_error("the browser closed the pipe");
        buffer_.append(chunk, static_cast<std::size_t>(n));
        end = buffer_.find('\0');
      }
      nlohmann::json message = nlohmann::json::parse(buffer_.substr(0, end));
      buffer_.erase(0, end + 1);
      if (!message.contains("id") || message["id"] != id) continue; // an event
      if (message.contains("error")) {
        throw std::runtime_error(method + ": " + message["error"].dump());
      }
      return message.at("result");
    }
  }

  pid_t pid_ = -1;
  int to_ = -1;
  int from_ = -1;
  int next_id_ = 1;
  std::string buffer_;
  std::string session_;
};

} // namespace hipaa::testing
