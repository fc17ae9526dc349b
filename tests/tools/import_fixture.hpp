// Running hipaa-import in a sandbox on CSV files written by the test.
#pragma once

#include "casestudy/case_log.hpp"

#include <gtest/gtest.h>

namespace hipaa::testing {

class Import : public ::testing::Test {
protected:
  void csv(const std::string& name, const std::string& text) {
    write_file(sandbox_.path(name), text);
    csv_files_.push_back(name);
  }

  RunResult import(std::vector<std::string> args = {}) {
    for (const std::string& file : csv_files_) args.push_back(file);
    return sandbox_.run("hipaa-import", args);
  }

  // After a rejected import only the CSV files are there.
  void expect_nothing_written() {
    std::vector<std::string> expected = csv_files_;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sandbox_.files(), expected);
  }

  void expect_rejected(const std::string& message) {
    RunResult result = import();
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "hipaa-import: " + message + "\n");
    expect_nothing_written();
  }

  Sandbox sandbox_;
  std::vector<std::string> csv_files_;
};

// A command run by the shell in the sandbox, for environments the
// sandbox's own runner does not give (another time zone, standard input).
inline RunResult run_shell(const Sandbox& sandbox, const std::string& command) {
  std::string full = "cd " + shell_quote(sandbox.dir().string()) + " && PATH=" +
                     shell_quote(HIPAA_BINARY_DIR) + ":\"$PATH\" && " + command +
                     " > .stdout 2> .stderr";
  int status = std::system(full.c_str());
  RunResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = read_file(sandbox.dir() / ".stdout");
  result.err = read_file(sandbox.dir() / ".stderr");
  std::filesystem::remove(sandbox.dir() / ".stdout");
  std::filesystem::remove(sandbox.dir() / ".stderr");
  return result;
}

} // namespace hipaa::testing
