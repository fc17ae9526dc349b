#include "base/failure.hpp"
#include "base/file_io.hpp"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <stdlib.h>
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

// A scratch folder, removed with everything in it.
struct ScratchFolder {
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "hipaa-replace-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~ScratchFolder() { fs::remove_all(path); }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(path), {}));
  }
  fs::path path;
};

TEST(FileIo, WritingReplacesALinkInsteadOfFollowingIt) {
  ScratchFolder folder;
  const fs::path target = folder.path / "target";
  const fs::path planted = folder.path / "rform";
  write_text_file(target.string(), "evidence\n");
  fs::create_symlink(target, planted);
  write_text_file(planted.string(), "residual\n");
  EXPECT_EQ(read_text_file(target.string()), "evidence\n");
  EXPECT_FALSE(fs::is_symlink(planted));
  EXPECT_EQ(read_text_file(planted.string()), "residual\n");
  // A dangling link creates nothing where it points.
  fs::remove(planted);
  fs::create_symlink(folder.path / "elsewhere", planted);
  write_text_file(planted.string(), "residual\n");
  EXPECT_FALSE(fs::exists(folder.path / "elsewhere"));
  EXPECT_EQ(folder.entries(), 2u);
}

TEST(FileIo, AFailedReplacementLeavesNoTemporaryFile) {
  ScratchFolder folder;
  const fs::path blocked = folder.path / "rform";
  fs::create_directory(blocked);
  EXPECT_EQ(io_message([&] { write_text_file(blocked.string(), "x"); }),
            "Io: openOut \"" + blocked.string() + "\" failed with " + reason(EISDIR) + " [isdir]");
  EXPECT_EQ(folder.entries(), 1u);
}

TEST(FileIo, AWriteCutShortKeepsTheOldFile) {
  ScratchFolder folder;
  const fs::path file = folder.path / "rform";
  write_text_file(file.string(), "old\n");
  // A file size limit makes the write fail as a full disk would.
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 16;
  auto saved_handler = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  std::string message = io_message([&] { write_text_file(file.string(), std::string(4096, 'x')); });
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, saved_handler);
  EXPECT_EQ(message, "Io: output \"" + file.string() + "\" failed with " + reason(EFBIG) + " [fbig]");
  EXPECT_EQ(read_text_file(file.string()), "old\n");
  EXPECT_EQ(folder.entries(), 1u);
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
