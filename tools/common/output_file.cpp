#include "output_file.hpp"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace hipaa::tools {

namespace {

constexpr const char* kTemporaryMark = "-tmp-";

// The temporary file being written, for the signal handler: a fixed buffer,
// since a handler may only touch async-signal-safe state.
char g_temporary[4096];
volatile sig_atomic_t g_temporary_armed = 0;

void arm(const std::string& path) {
  g_temporary_armed = 0;
  if (path.size() >= sizeof g_temporary) return;
  std::memcpy(g_temporary, path.c_str(), path.size() + 1);
  g_temporary_armed = 1;
}

void disarm() { g_temporary_armed = 0; }

extern "C" void on_terminating_signal(int signal_number) {
  if (g_temporary_armed) ::unlink(g_temporary);
  ::_exit(128 + signal_number);
}

std::string folder_of(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string name_of(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Removes "<name>-tmp-<pid>" files beside `path` whose process no longer
// runs: what a run killed by SIGKILL or a power cut left behind.
void remove_stale_temporaries(const std::string& path) {
  const std::string folder = folder_of(path);
  const std::string prefix = name_of(path) + kTemporaryMark;
  DIR* directory = ::opendir(folder.c_str());
  if (directory == nullptr) return;
  while (dirent* entry = ::readdir(directory)) {
    std::string name = entry->d_name;
    if (name.rfind(prefix, 0) != 0) continue;
    std::string digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    pid_t pid = static_cast<pid_t>(std::stol(digits));
    if (pid == ::getpid() || pid <= 0) continue;
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;
    std::string stale = folder + "/" + name;
    struct stat info;
    if (::lstat(stale.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(stale.c_str());
  }
  ::closedir(directory);
}

} // namespace

bool path_exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

bool same_file(const std::string& first, const std::string& second) {
  struct stat a, b;
  if (::stat(first.c_str(), &a) != 0 || ::stat(second.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void refuse_output_among_inputs(const std::string& output, const std::vector<std::string>& inputs) {
  for (const std::string& input : inputs) {
    if (input == output || same_file(input, output)) {
      throw UsageError("the output " + output + " is also an input (" + input +
                       "); choose another --output");
    }
  }
}

void remove_temporary_on_signal() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action {};
  action.sa_handler = on_terminating_signal;
  sigemptyset(&action.sa_mask);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal_number, &action, nullptr);
}

OutputFile::OutputFile(std::string path, bool overwrite)
    : path_(std::move(path)), overwrite_(overwrite),
      temporary_(path_ + kTemporaryMark + std::to_string(::getpid())) {
  if (!overwrite_ && path_exists(path_)) {
    throw ToolError(path_ + " already exists; use --force to overwrite it");
  }
  remove_stale_temporaries(path_);
  remove_temporary_on_signal();
  std::remove(temporary_.c_str());
  arm(temporary_);
}

OutputFile::~OutputFile() {
  disarm();
  if (!committed_) std::remove(temporary_.c_str());
}

void OutputFile::commit() {
  if (overwrite_) {
    if (std::rename(temporary_.c_str(), path_.c_str()) != 0) fail_to_move();
  } else {
    move_without_overwriting();
  }
  committed_ = true;
  disarm();
}

// A hard link fails when the path exists; on a file system without hard
// links, fall back to checking first.
void OutputFile::move_without_overwriting() {
  if (::link(temporary_.c_str(), path_.c_str()) == 0) {
    std::remove(temporary_.c_str());
    return;
  }
  if (errno != EPERM && errno != ENOTSUP && errno != EXDEV) fail_to_move();
  if (path_exists(path_)) {
    errno = EEXIST;
    fail_to_move();
  }
  if (std::rename(temporary_.c_str(), path_.c_str()) != 0) fail_to_move();
}

void OutputFile::fail_to_move() const {
  int code = errno;
  if (code == EEXIST) throw ToolError(path_ + " already exists; use --force to overwrite it");
  throw ToolError("cannot write " + path_ + ": " + std::strerror(code));
}

} // namespace hipaa::tools
