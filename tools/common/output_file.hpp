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

// Makes SIGINT, SIGTERM and SIGHUP remove every temporary registered with
// remove_on_signal and end the process with status 128 + the signal's
// number.  Idempotent.
void remove_temporary_on_signal();

// Registers `path` (a file, or a folder that is empty once the files
// registered after it are gone) for removal by remove_temporary_on_signal's
// handler; paths are removed newest first.  Returns the slot to pass to
// keep_on_signal, or -1 when the path cannot be registered.
int remove_on_signal(const std::string& path);
void keep_on_signal(int slot);

// Writes the file's, or the folder's, data through to the disk, so that a
// rename that follows never exposes an empty or partial file after a crash.
// ToolError on failure.
void sync_path(const std::string& path);
// The same for the folder holding `path`, after a rename into it.
void sync_folder_of(const std::string& path);

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
  int slot_ = -1;
  bool committed_ = false;
};

} // namespace hipaa::tools
