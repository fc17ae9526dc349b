#include "base/failure.hpp"
#include "base/file_io.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace hipaa {
namespace {

namespace fs = std::filesystem;

std::string io_message(const std::function<void()>& body) {
  try {
    body();
  } catch (const Io& io) {
    return io.message();
  }
  return "";
}

std::string reason(int code) {
  return std::string("SysErr: ") + std::strerror(code);
}

TEST(FileIo, WriteThenReadWholeFile) {
  fs::path file = fs::temp_directory_path() / "hipaa-file-io-test.txt";
  write_text_file(file.string(), std::string("first\n") + std::string(200000, 'x'));
  write_text_file(file.string(), "short\n");
  EXPECT_EQ(read_text_file(file.string()), "short\n");
  fs::remove(file);
}

TEST(FileIo, FailuresNameTheOperationAndThePath) {
  EXPECT_EQ(io_message([] { read_text_file("/nonexistent/hipaa.f"); }),
            "Io: openIn \"/nonexistent/hipaa.f\" failed with " + reason(ENOENT) + " [noent]");
  EXPECT_EQ(io_message([] { read_text_file("/"); }),
            "Io: inputAll \"/\" failed with " + reason(EISDIR) + " [isdir]");
  EXPECT_EQ(io_message([] { write_text_file("/nonexistent/rform", "x"); }),
            "Io: openOut \"/nonexistent/rform\" failed with " + reason(ENOENT) + " [noent]");
}

TEST(FileIo, FailedStandardOutputIsAnIoFailure) {
  std::ostringstream good;
  print_flushed(good, "line\n");
  EXPECT_EQ(good.str(), "line\n");
  std::ostringstream broken;
  broken.setstate(std::ios::badbit);
  errno = ENOSPC;
  EXPECT_EQ(io_message([&] { print_flushed(broken, "line\n"); }),
            "Io: output \"<stdout>\" failed with " + reason(ENOSPC) + " [nospc]");
  errno = EBADF;
  EXPECT_EQ(io_message([&] { check_standard_output(broken, "flushOut"); }),
            "Io: flushOut \"<stdout>\" failed with " + reason(EBADF) + " [badf]");
}

} // namespace
} // namespace hipaa
