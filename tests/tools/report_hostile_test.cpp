// hipaa-report against hostile surroundings: folders that are not quite a
// report's, signals, standard output that fails, a log that is no file, a
// writer holding the log, dates that do not exist, memory running out.
#include "tools/import_fixture.hpp"

#include <signal.h>
#include <sqlite3.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace hipaa::testing {
namespace {

namespace fs = std::filesystem;

void generate(const Sandbox& sandbox, const std::string& disclosures) {
  ASSERT_EQ(sandbox.run("hipaa-loggen", {"-n", disclosures, "--violations", "0.02"}).status, 0);
}

// Starts `command` in the sandbox with the default dispositions of the
// terminating signals; returns its process.
pid_t start(const Sandbox& sandbox, const std::string& command) {
  pid_t pid = ::fork();
  if (pid == 0) {
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::signal(s, SIG_DFL);
    if (::chdir(sandbox.dir().c_str()) != 0) ::_exit(127);
    ::setenv("TZ", "UTC", 1);
    ::execl("/bin/sh", "sh", "-c", ("exec " + std::string(HIPAA_BINARY_DIR) + "/" + command).c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return pid;
}

int wait_for(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Waits until the sandbox holds an entry whose name starts with `prefix`.
bool appears(const Sandbox& sandbox, const std::string& prefix) {
  for (int i = 0; i < 800; ++i) {
    for (const std::string& name : sandbox.files()) {
      if (name.rfind(prefix, 0) == 0) return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// Runs `command` with standard output a pipe whose reader has gone.
RunResult run_into_closed_pipe(const Sandbox& sandbox, const std::string& command) {
  int fds[2];
  EXPECT_EQ(::pipe(fds), 0);
  ::close(fds[0]);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], STDOUT_FILENO);
    int err = ::open(sandbox.path(".stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(err, STDERR_FILENO);
    if (::chdir(sandbox.dir().c_str()) != 0) ::_exit(127);
    ::execl("/bin/sh", "sh", "-c", ("exec " + std::string(HIPAA_BINARY_DIR) + "/" + command).c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  RunResult result;
  result.status = wait_for(pid);
  result.err = read_file(sandbox.path(".stderr"));
  fs::remove(sandbox.path(".stderr"));
  return result;
}

TEST(ReportHostile, AFolderHoldingAnythingButAReportsFilesIsNeverReplaced) {
  Sandbox sandbox;
  generate(sandbox, "50");
  const std::vector<std::function<void(const fs::path&)>> plants = {
      [](const fs::path& out) {
        fs::create_directories(out / "verdicts.csv");
        write_file(out / "verdicts.csv/notes.txt", "precious");
      },
      [](const fs::path& out) {
        fs::create_directories(out);
        write_file(out / "elsewhere.txt", "precious");
        fs::create_symlink("elsewhere.txt", out / "summary.html");
      },
  };
  for (const auto& plant : plants) {
    fs::remove_all(sandbox.path("out"));
    plant(sandbox.path("out"));
    RunResult result = sandbox.run("hipaa-report", {"--out", "out", "-q"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "hipaa-report: cannot write the report to out: the folder holds files "
                          "that are not a report's\n");
    EXPECT_EQ(sandbox.files(), (std::vector<std::string>{"hipaa.db", "out"}));
  }
  EXPECT_EQ(read_file(sandbox.path("out/elsewhere.txt")), "precious");
}

TEST(ReportHostile, AFileAddedWhileTheReportRunsIsKeptAndSoIsTheNewReport) {
  Sandbox sandbox;
  generate(sandbox, "20000");
  ASSERT_EQ(sandbox.run("hipaa-report", {"-q", "--no-lint", "--format", "csv"}).status, 1);
  pid_t report = start(sandbox, "hipaa-report -q --no-lint --format csv");
  ASSERT_TRUE(appears(sandbox, "report.tmp-"));
  write_file(sandbox.path("report/auditor-notes.txt"), "mine");
  EXPECT_EQ(wait_for(report), 2);
  EXPECT_EQ(read_file(sandbox.path("report/auditor-notes.txt")), "mine");
  EXPECT_TRUE(sandbox.exists("report/verdicts.csv"));
  EXPECT_TRUE(sandbox.exists("report.new-" + std::to_string(report) + "/verdicts.csv"));
}

TEST(ReportHostile, SignalsRemoveTheTemporaryFolderAndLaterRunsRemoveStaleOnes) {
  Sandbox sandbox;
  generate(sandbox, "20000");
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    pid_t report = start(sandbox, "hipaa-report -q --no-lint");
    ASSERT_TRUE(appears(sandbox, "report.tmp-"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ::kill(report, signal_number);
    EXPECT_EQ(wait_for(report), 128 + signal_number);
    EXPECT_EQ(sandbox.files(), std::vector<std::string>{"hipaa.db"});
  }
  // No process has a number above the kernel's limit of 2^22; init lives.
  fs::create_directory(sandbox.path("report.tmp-4194999"));
  write_file(sandbox.path("report.tmp-4194999/verdicts.csv"), "left by a killed run");
  fs::create_directory(sandbox.path("report.tmp-1"));
  write_file(sandbox.path("report.tmp-1/verdicts.csv"), "a live process's");
  fs::create_directory(sandbox.path("report.tmp-4194998"));
  write_file(sandbox.path("report.tmp-4194998/mine.txt"), "not a report's");
  ASSERT_EQ(sandbox.run("hipaa-report", {"-q", "--db", "hipaa.db", "--format", "csv"}).status, 1);
  EXPECT_EQ(sandbox.files(),
            (std::vector<std::string>{"hipaa.db", "report", "report.tmp-1", "report.tmp-4194998"}));
}

TEST(ReportHostile, TheExitStatusSaysWhatHappenedWhenStandardOutputFails) {
  Sandbox sandbox;
  generate(sandbox, "50");
  struct Case {
    std::string command;
    std::string err;
  };
  const Case cases[] = {
      {"hipaa-report --help", "hipaa-report: cannot write standard output\n"},
      {"hipaa-report --version", "hipaa-report: cannot write standard output\n"},
      {"hipaa-report", "hipaa-report: cannot write the summary to standard output\n"},
  };
  for (const Case& c : cases) {
    RunResult full = run_shell(sandbox, "{ " + c.command + " > /dev/full; }");
    EXPECT_EQ(full.status, 2) << c.command;
    EXPECT_EQ(full.err, c.err) << c.command;
    RunResult closed = run_into_closed_pipe(sandbox, c.command);
    EXPECT_EQ(closed.status, 2) << c.command;
    EXPECT_EQ(closed.err, c.err) << c.command;
    EXPECT_EQ(sandbox.files(), std::vector<std::string>{"hipaa.db"}) << c.command;
  }
  RunResult import = run_into_closed_pipe(
      sandbox, "hipaa-import -o copy.db hipaa-case-study/samples/disclose.csv");
  EXPECT_EQ(import.status, 1);
  EXPECT_EQ(import.err, "hipaa-import: cannot write standard output\n");
  EXPECT_EQ(sandbox.files(), std::vector<std::string>{"hipaa.db"});
}

TEST(ReportHostile, DatesThatDoNotExistAreRefused) {
  Sandbox sandbox;
  generate(sandbox, "50");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"2010-03-46", "names a day or time that does not exist"},
      {"2010-02-30", "names a day or time that does not exist"},
      {"2010-04-14T03:28:69", "names a day or time that does not exist"},
      {"2010-04-14T24:00:00", "names a day or time that does not exist"},
      {"2010-03-14T02:30:00", "names a time that the local time zone skips"},
  };
  for (const auto& [date, problem] : cases) {
    RunResult result =
        run_shell(sandbox, "TZ=America/New_York hipaa-report -q --as-of " + date);
    EXPECT_EQ(result.status, 2) << date;
    EXPECT_EQ(result.err, "hipaa-report: --as-of: \"" + date + "\" " + problem + "\n");
  }
  EXPECT_EQ(sandbox.files(), std::vector<std::string>{"hipaa.db"});
  EXPECT_EQ(sandbox.run("hipaa-report", {"-q", "--as-of", "2012-02-29T23:59:59"}).status, 1);
}

TEST(ReportHostile, ALogThatIsNoFileIsRefusedAtOnce) {
  Sandbox sandbox;
  ASSERT_EQ(::mkfifo(sandbox.path("hipaa.db").c_str(), 0600), 0);
  fs::create_directory(sandbox.path("folder.db"));
  struct Case {
    std::string command;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {"hipaa-audit", 1, "unhandled exception: Option\n"},
      {"hipaa-report -q", 2, "hipaa-report: hipaa.db: not a regular file, so not an audit database\n"},
      {"hipaa-report -q --db folder.db", 2,
       "hipaa-report: folder.db: not a regular file, so not an audit database\n"},
      {"hipaa-lint --db hipaa.db", 1, "hipaa-lint: hipaa.db: not a regular file, so not a log\n"},
      {"hipaa-export --db hipaa.db --out ex", 1,
       "hipaa-export: hipaa.db: not a regular file, so not a log\n"},
  };
  for (const Case& c : cases) {
    RunResult result = run_shell(sandbox, "timeout 20 " + c.command);
    EXPECT_EQ(result.status, c.status) << c.command;
    EXPECT_EQ(result.err, c.err) << c.command;
  }
}

TEST(ReportHostile, ReadersWaitForAWriterThatHoldsTheLogBriefly) {
  Sandbox sandbox;
  generate(sandbox, "300");
  const std::vector<std::string> commands = {"hipaa-report -q --out rep",
                                             "hipaa-lint --db hipaa.db",
                                             "hipaa-export --db hipaa.db --out ex -f"};
  for (const std::string& command : commands) {
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(sandbox.path("hipaa.db").c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer,
                           "BEGIN EXCLUSIVE; INSERT INTO audit_end VALUES ('2010:03:15:04:29:08')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::thread release([writer] {
      std::this_thread::sleep_for(std::chrono::milliseconds(1000));
      sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
      sqlite3_close(writer);
    });
    RunResult result = run_shell(sandbox, command);
    release.join();
    EXPECT_LE(result.status, 1) << command << ": " << result.err;
    EXPECT_EQ(result.err.find("locked"), std::string::npos) << result.err;
  }
}

TEST(ReportHostile, MemoryRunningOutEndsWithANamedFailure) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
  Sandbox sandbox;
  generate(sandbox, "50");
  fs::create_directories(sandbox.path("endless/hipaa-case-study"));
  fs::copy_file(sandbox.path("hipaa-case-study/hipaa.d"),
                sandbox.path("endless/hipaa-case-study/hipaa.d"));
  fs::create_symlink("/dev/zero", sandbox.path("endless/hipaa-case-study/hipaa.f"));
  fs::copy_file(sandbox.path("hipaa.db"), sandbox.path("endless/hipaa.db"));
  struct Case {
    std::string command;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {"hipaa-report -q --policy /dev/zero", 2, "hipaa-report: out of memory\n"},
      {"(cd endless && hipaa-audit)", 1,
       "unhandled exception: Out of memory\n"},
      {"hipaa-lint --decls /dev/zero", 1, "hipaa-lint: out of memory\n"},
      {"hipaa-export --db hipaa.db --decls /dev/zero --out ex", 1, "hipaa-export: out of memory\n"},
      {"hipaa-import -D /dev/zero -o copy.db hipaa-case-study/samples/disclose.csv", 1, "hipaa-import: out of memory\n"},
  };
  for (const Case& c : cases) {
    RunResult result = run_shell(sandbox, "(ulimit -v 1000000 && " + c.command + ")");
    EXPECT_EQ(result.status, c.status) << c.command;
    EXPECT_EQ(result.err, c.err) << c.command;
  }
  EXPECT_EQ(sandbox.files(), (std::vector<std::string>{"endless", "hipaa.db"}));
}

// Logs the audit reads are read by every tool: tables WITHOUT ROWID, a
// value nested 10^5 deep; and a value that is not UTF-8 is named.
TEST(ReportHostile, EveryToolReadsWhatTheAuditReads) {
  Sandbox sandbox;
  generate(sandbox, "300");
  TestDb(sandbox.path("hipaa.db"))
      .exec("CREATE TABLE d2 (sender TEXT, recipient TEXT, info TEXT, at TEXT, PRIMARY KEY "
            "(info, sender, recipient, at)) WITHOUT ROWID; INSERT INTO d2 SELECT * FROM disclose; "
            "DROP TABLE disclose; ALTER TABLE d2 RENAME TO disclose;");
  for (const char* command : {"hipaa-report --out rep", "hipaa-lint --db hipaa.db",
                                     "hipaa-export --db hipaa.db --out ex"}) {
    RunResult result = run_shell(sandbox, command);
    EXPECT_LE(result.status, 1) << command << ": " << result.err;
    EXPECT_EQ(result.err, "") << command;
  }

  Sandbox deep;
  fs::remove(deep.path("hipaa-case-study"));
  fs::create_directory(deep.path("hipaa-case-study"));
  write_file(deep.path("hipaa-case-study/hipaa.d"),
             "msg : sort .\nf : msg -> msg .\nc : msg .\njudged : msg + -> pred SUBJ .\n"
             "item : msg - -> pred DB %dbinfo \"items\" (\"v\") .\n");
  write_file(deep.path("hipaa-case-study/hipaa.f"),
             "(and (<r> all [x: msg] (item x) (<q> judged x)) true)\n");
  std::string value;
  for (int i = 0; i < 100000; ++i) value += "(f ";
  value += "c" + std::string(100000, ')');
  TestDb(deep.path("hipaa.db")).exec("CREATE TABLE items (v TEXT); INSERT INTO items VALUES ('" +
                                     value + "')");
  EXPECT_EQ(deep.run("hipaa-report", {"-q"}).status, 0);
  RunResult lint = deep.run("hipaa-lint");
  EXPECT_EQ(lint.status, 0) << lint.out;
  ASSERT_EQ(deep.run("hipaa-export", {"--db", "hipaa.db", "--out", "ex"}).status, 0);
  RunResult import = deep.run("hipaa-import", {"-o", "copy.db", "ex/items.csv"});
  EXPECT_EQ(import.status, 0) << import.err.substr(0, 300);
  EXPECT_EQ(TestDb(deep.path("copy.db")).single("SELECT v FROM items"), value);

  TestDb(sandbox.path("hipaa.db"))
      .exec("UPDATE purp_in_db SET stated_by = CAST(X'22FF3C62616422' AS TEXT) WHERE rowid = 3");
  RunResult report = sandbox.run("hipaa-report", {"-q", "--out", "rep2"});
  EXPECT_EQ(report.status, 2);
  EXPECT_EQ(report.err, "hipaa-report: hipaa.db: the audit stopped (Incomplete); the first value "
                        "that is not UTF-8: table purp_in_db row 3, column stated_by: "
                        "\"\xFF<bad\"\n");
}

// A report with several threads reads one state of a WAL log that a writer
// keeps changing: each run either judges every instance on one state or
// stops, never mixes two.
TEST(ReportHostile, ThreadsOfOneRunReadOneStateOfTheLog) {
  Sandbox sandbox;
  generate(sandbox, "2000");
  fs::copy_file(sandbox.path("hipaa.db"), sandbox.path("b.db"));
  TestDb(sandbox.path("b.db"))
      .exec("UPDATE inrole_db SET role = 'inmate' WHERE role = 'health-care-provider'");
  ASSERT_EQ(sandbox.run("hipaa-report", {"-q", "--no-lint", "--format", "csv", "--out", "a"})
                .status,
            1);
  ASSERT_LE(sandbox.run("hipaa-report",
                        {"-q", "--no-lint", "--format", "csv", "--out", "b", "--db", "b.db"})
                .status,
            1);
  const std::string state_a = read_file(sandbox.path("a/verdicts.csv"));
  const std::string state_b = read_file(sandbox.path("b/verdicts.csv"));
  ASSERT_NE(state_a, state_b);
  {
    TestDb live(sandbox.path("hipaa.db"));
    live.exec("PRAGMA journal_mode = WAL; CREATE TABLE toggled AS SELECT rowid AS r FROM inrole_db "
              "WHERE role = 'health-care-provider'");
  }
  std::atomic<bool> stop = false;
  std::thread writer([&] {
    sqlite3* db = nullptr;
    sqlite3_open(sandbox.path("hipaa.db").c_str(), &db);
    sqlite3_busy_timeout(db, 5000);
    while (!stop) {
      sqlite3_exec(db,
                   "UPDATE inrole_db SET role = CASE role WHEN 'health-care-provider' THEN "
                   "'inmate' ELSE 'health-care-provider' END WHERE rowid IN (SELECT r FROM "
                   "toggled)",
                   nullptr, nullptr, nullptr);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    sqlite3_close(db);
  });
  int judged = 0;
  for (const char* jobs : {"1", "2", "3", "2"}) {
    RunResult run = sandbox.run("hipaa-report", {"-q", "--no-lint", "--format", "csv", "--out",
                                                 "c", "--jobs", jobs});
    if (run.status == 2) {
      EXPECT_NE(run.err.find("the log changed while the run began"), std::string::npos) << run.err;
      continue;
    }
    const std::string state = read_file(sandbox.path("c/verdicts.csv"));
    EXPECT_TRUE(state == state_a || state == state_b) << "--jobs " << jobs;
    ++judged;
  }
  stop = true;
  writer.join();
  EXPECT_GE(judged, 1);
}

} // namespace
} // namespace hipaa::testing
