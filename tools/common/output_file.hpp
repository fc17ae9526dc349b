// The files a tool writes: built under a temporary name beside the requested
// path and moved into place only when complete, so that a failed or
// interrupted run never leaves a partial file behind.
#pragma once

#include "tool_error.hpp"

#include <string>
#include <vector>

namespace hipaa::tools {

bool path_exists(const std::string& path);

// True when both paths name one existing file (also through links).
bool same_file(const std::string& first, const std::string& second);

// Refuses an output that is one of the inputs: writing it would replace the
// records being read.
void refuse_output_among_inputs(const std::string& output, const std::vector<std::string>& inputs);

// Makes SIGINT, SIGTERM and SIGHUP remove the temporary file being written
// and end the process with status 128 + the signal's number.  Idempotent.
void remove_temporary_on_signal();

class OutputFile {
public:
  // Refuses an existing `path` unless `overwrite` is set.  Removes the
  // temporary files that killed runs of the tools left beside `path`.
  OutputFile(std::string path, bool overwrite);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  const std::string& temporary_path() const { return temporary_; }
  const std::string& path() const { return path_; }

  // Moves the finished file into place.  Without `overwrite` a file that
  // appeared at the path meanwhile is still not replaced.
  void commit();

private:
  void move_without_overwriting();
  [[noreturn]] void fail_to_move() const;

  std::string path_;
  bool overwrite_;
  std::string temporary_;
  bool committed_ = false;
};

} // namespace hipaa::tools
