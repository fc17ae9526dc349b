#include "base/file_io.hpp"

#include "base/failure.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ostream>
#include <string>

namespace hipaa {

namespace {

// Closes the descriptor on every path; close() reports its own failure.
class FileDescriptor {
public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now; returns errno on failure, 0 on success.
  int close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? 0 : errno;
  }

private:
  int fd_;
};

} // namespace

namespace {

std::string read_all(int fd, const std::string& path) {
  std::string text;
  char buffer[65536];
  for (;;) {
    ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count == 0) return text;
    if (count < 0) {
      if (errno == EINTR) continue;
      raise_io("inputAll", path, errno);
    }
    text.append(buffer, static_cast<std::size_t>(count));
  }
}

} // namespace

std::string read_text_file(const std::string& path) {
  if (path == "-") return read_all(STDIN_FILENO, path);
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) raise_io("openIn", path, errno);
  std::string text = read_all(file.get(), path);
  if (int error = file.close()) raise_io("closeIn", path, error);
  return text;
}

void check_standard_output(const std::ostream& out, const char* operation) {
  if (!out) raise_io(operation, kStandardOutputName, errno);
}

void print_flushed(std::ostream& out, const std::string& text) {
  out << text;
  check_standard_output(out, "output");
  out.flush();
  check_standard_output(out, "flushOut");
}

namespace {

// A file being written under a temporary name next to its destination; it
// is removed again unless it was renamed into place.
class TemporaryFile {
public:
  explicit TemporaryFile(const std::string& destination) {
    const std::size_t slash = destination.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : destination.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? destination : destination.substr(slash + 1);
    const std::string stem = folder + "." + base + "." + std::to_string(::getpid()) + ".";
    // O_EXCL never follows a link planted under the temporary name.
    for (int attempt = 0; attempt < 100; ++attempt) {
      name_ = stem + std::to_string(attempt) + ".tmp";
      fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ >= 0 || errno != EEXIST) break;
    }
    if (fd_ < 0) name_.clear();
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!name_.empty()) ::unlink(name_.c_str());
  }
  int fd() const { return fd_; }
  const std::string& name() const { return name_; }
  // Closes the descriptor; returns errno on failure, 0 on success.
  int close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? 0 : errno;
  }
  // The file now lives under its destination's name.
  void keep() { name_.clear(); }

private:
  std::string name_;
  int fd_ = -1;
};

// An existing destination must be one a write in place could replace: not
// a folder, and writable when it is a regular file.  A symbolic link is
// replaced itself, never followed.
void check_replaceable(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) return;
  if (S_ISDIR(status.st_mode)) raise_io("openOut", path, EISDIR);
  if (S_ISREG(status.st_mode) && ::access(path.c_str(), W_OK) != 0)
    raise_io("openOut", path, errno);
}

// The permissions of the file being replaced, when it is a regular file.
void keep_mode(const std::string& path, int fd) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
    ::fchmod(fd, status.st_mode & 07777);
}

} // namespace

void write_text_file(const std::string& path, const std::string& text) {
  check_replaceable(path);
  TemporaryFile file(path);
  if (file.fd() < 0) raise_io("openOut", path, errno);
  keep_mode(path, file.fd());
  std::size_t written = 0;
  while (written < text.size()) {
    ssize_t count = ::write(file.fd(), text.data() + written, text.size() - written);
    if (count < 0) {
      if (errno == EINTR) continue;
      raise_io("output", path, errno);
    }
    written += static_cast<std::size_t>(count);
  }
  if (::fsync(file.fd()) != 0) raise_io("flushOut", path, errno);
  if (int error = file.close()) raise_io("closeOut", path, error);
  if (::rename(file.name().c_str(), path.c_str()) != 0) raise_io("openOut", path, errno);
  file.keep();
}

} // namespace hipaa
