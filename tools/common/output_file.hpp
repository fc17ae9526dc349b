// The database a tool writes: built under a temporary name beside the
// requested path and moved into place only when complete, so that a failed
// run never leaves a partial file behind.
#pragma once

#include "tool_error.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace hipaa::tools {

inline bool path_exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

class OutputFile {
public:
  // Refuses an existing `path` unless `overwrite` is set.
  OutputFile(std::string path, bool overwrite)
      : path_(std::move(path)), overwrite_(overwrite),
        temporary_(path_ + "-tmp-" + std::to_string(::getpid())) {
    if (!overwrite_ && path_exists(path_)) {
      throw ToolError(path_ + " already exists; use --force to overwrite it");
    }
    std::remove(temporary_.c_str());
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  ~OutputFile() {
    if (!committed_) std::remove(temporary_.c_str());
  }

  const std::string& temporary_path() const { return temporary_; }
  const std::string& path() const { return path_; }

  // Moves the finished file into place.  Without `overwrite` a file that
  // appeared at the path meanwhile is still not replaced.
  void commit() {
    if (overwrite_) {
      if (std::rename(temporary_.c_str(), path_.c_str()) != 0) fail_to_move();
    } else {
      move_without_overwriting();
    }
    committed_ = true;
  }

private:
  // A hard link fails when the path exists; on a file system without hard
  // links, fall back to checking first.
  void move_without_overwriting() {
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

  [[noreturn]] void fail_to_move() const {
    int code = errno;
    if (code == EEXIST) throw ToolError(path_ + " already exists; use --force to overwrite it");
    throw ToolError("cannot write " + path_ + ": " + std::strerror(code));
  }

  std::string path_;
  bool overwrite_;
  std::string temporary_;
  bool committed_ = false;
};

} // namespace hipaa::tools
