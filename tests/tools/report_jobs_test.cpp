// hipaa-report on damaged logs: whatever the number of threads, the run
// stops at the failure that one thread meets first, with the same message
// and status, and leaves no report behind.
#include "casestudy/sandbox.hpp"

#include <gtest/gtest.h>

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

} // namespace
} // namespace hipaa::testing
