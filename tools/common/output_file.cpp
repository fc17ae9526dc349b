#include "output_file.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace hipaa::tools {

namespace {

constexpr const char* kTemporaryMark = "-tmp-";

// The temporaries being written, for the signal handler: fixed buffers,
// since a handler may only touch async-signal-safe state.  Several can be
// armed at once (a log and its truth file; a report folder and its files).
constexpr int kSlots = 16;
char g_temporary[kSlots][4096];
volatile sig_atomic_t g_armed[kSlots] = {};

extern "C" void on_terminating_signal(int signal_number) {
  for (int slot = kSlots - 1; slot >= 0; --slot) {
    if (!g_armed[slot]) continue;
    if (::unlink(g_temporary[slot]) != 0) ::rmdir(g_temporary[slot]);
  }
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
                       "); choose another --out");
    }
  }
}

int remove_on_signal(const std::string& path) {
  if (path.size() >= sizeof g_temporary[0]) return -1;
  for (int slot = 0; slot < kSlots; ++slot) {
    if (g_armed[slot]) continue;
    std::memcpy(g_temporary[slot], path.c_str(), path.size() + 1);
    g_armed[slot] = 1;
    return slot;
  }
  return -1;
}

void keep_on_signal(int slot) {
  if (slot >= 0 && slot < kSlots) g_armed[slot] = 0;
}

void sync_path(const std::string& path) {
  int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) throw ToolError("cannot write " + path + ": " + std::strerror(errno));
  // Some file systems refuse to sync a folder; nothing is lost by that.
  const bool synced = ::fsync(descriptor) == 0 || errno == EINVAL || errno == EROFS;
  const int code = errno;
  ::close(descriptor);
  if (!synced) throw ToolError("cannot write " + path + ": " + std::strerror(code));
}

void sync_folder_of(const std::string& path) { sync_path(folder_of(path)); }

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
  slot_ = remove_on_signal(temporary_);
}

OutputFile::~OutputFile() {
  keep_on_signal(slot_);
  if (!committed_) std::remove(temporary_.c_str());
}

void OutputFile::commit() {
  sync_path(temporary_);
  if (overwrite_) {
    if (std::rename(temporary_.c_str(), path_.c_str()) != 0) fail_to_move();
  } else {
    move_without_overwriting();
  }
  committed_ = true;
  keep_on_signal(slot_);
  sync_folder_of(path_);
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
