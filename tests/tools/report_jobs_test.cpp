// hipaa-report on damaged logs: whatever the number of threads, the run
// stops at the failure that one thread meets first, with the same message
// and status, and leaves no report behind.
#include "casestudy/sandbox.hpp"

#include <gtest/gtest.h>

#include <string>

namespace hipaa::testing {
namespace {

TEST(ReportJobs, AFailureIsTheOneASingleThreadMeetsFirst) {
  struct Case {
    const char* damage;
    const char* message; // what the single-threaded run's standard error holds
  };
  // Rows 1500 on lie in batches that the threads judge while the guard
  // runs ahead; row 1900 of `disclose` stops the guard itself.
  const Case cases[] = {
      {"DROP TABLE purp_in_db", "purp_in_db.info = '\"msg-000000001\"'"},
      {"UPDATE purp_in_db SET purpose = '(((' WHERE rowid IN (1500, 1900)",
       "Unparseable term: ((( obtained from database\n"},
      {"UPDATE purp_in_db SET purpose = '(((' WHERE rowid = 1000;"
       "UPDATE disclose SET at = '2010:13:01' WHERE rowid = 1900",
       "(UnparseableTerm)\n"},
      {"UPDATE disclose SET at = '2010:13:01' WHERE rowid = 1900", "(Date)\n"},
  };
  Sandbox sandbox;
  ASSERT_EQ(sandbox.run("hipaa-loggen", {"-n", "2000", "--seed", "3", "--violations", "0.1",
                                         "--output", "base.db", "--force"})
                .status,
            0);
  for (const Case& c : cases) {
    std::filesystem::copy_file(sandbox.path("base.db"), sandbox.path("hipaa.db"),
                               std::filesystem::copy_options::overwrite_existing);
    TestDb(sandbox.path("hipaa.db")).exec(c.damage);
    RunResult one = sandbox.run("hipaa-report", {"-q", "--no-lint", "--jobs", "1"});
    EXPECT_EQ(one.status, 2) << c.damage;
    EXPECT_NE(one.err.find(c.message), std::string::npos) << c.damage << "\n" << one.err;
    for (const char* jobs : {"2", "3", "2"}) {
      RunResult many = sandbox.run("hipaa-report", {"-q", "--no-lint", "--jobs", jobs});
      EXPECT_EQ(many.status, one.status) << c.damage << " --jobs " << jobs;
      EXPECT_EQ(many.err, one.err) << c.damage << " --jobs " << jobs;
    }
    EXPECT_FALSE(sandbox.exists("report")) << c.damage;
  }
}

// A shard passes the driving rows of other shards over unread: a row of
// `disclose` that no instance's lookup meets again stops the shard that
// takes it, with the whole run's message, and no other.  Row 300 lies in
// the second block of 256 rows.
TEST(ReportJobs, ADamagedDrivingRowStopsOnlyTheShardThatTakesIt) {
  Sandbox sandbox;
  ASSERT_EQ(sandbox.run("hipaa-loggen", {"-n", "2000", "--seed", "3", "--violations", "0.1",
                                         "--output", "hipaa.db", "--force"})
                .status,
            0);
  TestDb(sandbox.path("hipaa.db")).exec("UPDATE disclose SET sender = '(((' WHERE rowid = 300");
  RunResult whole = sandbox.run("hipaa-report", {"-q", "--no-lint", "--jobs", "1"});
  ASSERT_EQ(whole.status, 2);
  EXPECT_NE(whole.err.find("Unparseable term: ((( obtained from database\n"), std::string::npos)
      << whole.err;
  for (const char* jobs : {"1", "2"}) {
    for (const char* count : {"2", "4"}) {
      for (int k = 0; k < std::stoi(count); ++k) {
        std::string shard = std::to_string(k) + "/" + count;
        std::string out = "shard-" + std::to_string(k) + "-of-" + count + "-" + jobs;
        RunResult run = sandbox.run("hipaa-report", {"-q", "--no-lint", "--jobs", jobs, "--shard",
                                                     shard, "--out", out});
        if (k == 1) {
          EXPECT_EQ(run.status, 2) << shard << " --jobs " << jobs;
          EXPECT_EQ(run.err, whole.err) << shard << " --jobs " << jobs;
          EXPECT_FALSE(sandbox.exists(out)) << shard << " --jobs " << jobs;
        } else {
          EXPECT_EQ(run.status, 1) << shard << " --jobs " << jobs << "\n" << run.err;
          EXPECT_EQ(run.err, "") << shard << " --jobs " << jobs;
        }
      }
    }
  }
}

} // namespace
} // namespace hipaa::testing
