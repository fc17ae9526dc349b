// Both writing tools, stopped by a signal or killed outright, leave no
// temporary file behind: an interrupted run removes its own at once, and a
// killed run's is removed by the next run beside the same output.
#include "support/sanitized.hpp"
#include "tools/import_fixture.hpp"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace hipaa::testing {
namespace {

// A tool running in the sandbox with a pipe on its standard input that stays
// open until the tool ends.
class Running {
public:
  Running(const Sandbox& sandbox, const std::string& program, std::vector<std::string> args) {
    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(fds[0], STDIN_FILENO);
      ::close(fds[1]);
      if (::chdir(sandbox.dir().c_str()) != 0) ::_exit(127);
      ::setenv("TZ", "UTC", 1);
      std::string path = std::string(HIPAA_BINARY_DIR) + "/" + program;
      std::vector<char*> argv{path.data()};
      for (std::string& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      ::execv(path.c_str(), argv.data());
      ::_exit(127);
    }
    ::close(fds[0]);
    input_ = fds[1];
  }
  ~Running() {
    if (pid_ > 0) finish(SIGKILL);
    ::close(input_);
  }

  void write(const std::string& text) { (void)!::write(input_, text.data(), text.size()); }

  // Sends `signal_number` and returns the exit status, or 128 + the signal
  // for a process the signal killed.
  int finish(int signal_number) {
    ::kill(pid_, signal_number);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

private:
  pid_t pid_ = -1;
  int input_ = -1;
};

// Waits until the sandbox holds a file whose name starts with `prefix`.
bool appears(const Sandbox& sandbox, const std::string& prefix) {
  for (int i = 0; i < 400; ++i) {
    for (const std::string& name : sandbox.files()) {
      if (name.rfind(prefix, 0) == 0) return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return false;
}

TEST(Interruption, LoggenRemovesItsTemporaryFilesOnSigintAndSigterm) {
  for (int signal_number : {SIGINT, SIGTERM}) {
    for (bool truth : {false, true}) {
      Sandbox sandbox;
      std::vector<std::string> args = {"--disclosures", "50000000"};
      if (truth) args.insert(args.end(), {"--truth", "truth.csv"});
      Running loggen(sandbox, "hipaa-loggen", args);
      ASSERT_TRUE(appears(sandbox, truth ? "truth.csv-tmp-" : "hipaa.db-tmp-"));
      EXPECT_EQ(loggen.finish(signal_number), 128 + signal_number);
      EXPECT_TRUE(sandbox.files().empty()) << "with --truth: " << truth;
    }
  }
}

TEST(Interruption, ImportRemovesItsTemporaryFileOnSigterm) {
  Sandbox sandbox;
  Running import(sandbox, "hipaa-import", {"--table", "disclose=-"});
  import.write("sender,recipient,info,at\na,b,m1,2010-01-01\n");
  ASSERT_TRUE(appears(sandbox, "hipaa.db-tmp-"));
  EXPECT_EQ(import.finish(SIGTERM), 143);
  EXPECT_TRUE(sandbox.files().empty());
}

// Memory running out is one line and status 1, with nothing left behind,
// whichever allocation fails first.
TEST(Interruption, LoggenEndsCleanlyWhenMemoryRunsOut) {
  if (kSanitized) {
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
  }
  Sandbox sandbox;
  RunResult result = run_shell(sandbox, "ulimit -v 60000 && hipaa-loggen -n 100000000");
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(result.err.ends_with("out of memory\n")) << result.err;
  EXPECT_TRUE(sandbox.files().empty());
}

TEST(Interruption, ANewRunRemovesTheTemporaryFilesOfDeadRunsOnly) {
  Sandbox sandbox;
  // No process has a number above the kernel's limit of 2^22.
  write_file(sandbox.path("hipaa.db-tmp-4194999"), "left by a killed run");
  write_file(sandbox.path("hipaa.db-tmp-1"), "init is alive: not ours to remove");
  write_file(sandbox.path("other.db-tmp-4194999"), "beside another output");
  ASSERT_EQ(sandbox.run("hipaa-loggen", {"-n", "5"}).status, 0);
  EXPECT_EQ(sandbox.files(),
            (std::vector<std::string>{"hipaa.db", "hipaa.db-tmp-1", "other.db-tmp-4194999"}));
}

} // namespace
} // namespace hipaa::testing
