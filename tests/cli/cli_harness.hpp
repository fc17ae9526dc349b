// Runs the built hipaa-audit executable in a temporary directory holding a
// declarations file, a policy and an SQLite audit log made by the test.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace hipaa::cli {

struct RunResult {
  std::string out;
  std::string err;
  int status = -1;
};

class CaseDir {
public:
  CaseDir();
  ~CaseDir();
  CaseDir(const CaseDir&) = delete;
  CaseDir& operator=(const CaseDir&) = delete;

  const std::string& path() const { return path_; }
  // Writes a file relative to the case directory, creating folders.
  void write(const std::string& relative, const std::string& content) const;
  void write_declarations(const std::string& text) const;
  void write_policy(const std::string& text) const;
  // Creates hipaa.db and runs the SQL script on it.
  void make_database(const std::string& sql) const;
  bool exists(const std::string& relative) const;
  std::string read(const std::string& relative) const;
  // Runs `program` (default: the built hipaa-audit) with the arguments in
  // the case directory.
  RunResult run(const std::vector<std::string>& arguments = {}, std::string program = "") const;
  // Runs the built hipaa-audit with standard output sent to `stdout_target`
  // (for example "/dev/full"); the result's `out` stays empty.
  RunResult run_with_stdout(const std::string& stdout_target,
                            const std::vector<std::string>& arguments = {}) const;

  // Runs the built hipaa-audit with standard output on a pipe whose reading
  // end is already closed; the result's `out` stays empty.
  RunResult run_into_closed_pipe(const std::vector<std::string>& arguments = {}) const;
  // Runs the built hipaa-audit (standard output captured) with its address
  // space limited to `bytes`, as "ulimit -v" would.
  RunResult run_with_address_limit(std::size_t bytes,
                                   const std::vector<std::string>& arguments = {}) const;

private:
  // `in_child` runs in the child once its standard streams are set up.
  RunResult run_program(std::string program, const std::string& out_file,
                        const std::vector<std::string>& arguments,
                        const std::function<void()>& in_child = {}) const;
  std::string path_;
};

// The time line of a run without arguments, with the time replaced by T.
std::string mask_time(const std::string& out);

} // namespace hipaa::cli
