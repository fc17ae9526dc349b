#include "base/file_io.hpp"

#include "base/failure.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ostream>

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

void write_text_file(const std::string& path, const std::string& text) {
  FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (file.get() < 0) raise_io("openOut", path, errno);
  std::size_t written = 0;
  while (written < text.size()) {
    ssize_t count = ::write(file.get(), text.data() + written, text.size() - written);
    if (count < 0) {
      if (errno == EINTR) continue;
      raise_io("output", path, errno);
    }
    written += static_cast<std::size_t>(count);
  }
  if (int error = file.close()) raise_io("closeOut", path, error);
}

} // namespace hipaa
