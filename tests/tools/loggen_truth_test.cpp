// hipaa-loggen --truth: the planted verdicts, one per stored disclosure,
// written beside a log that is the same as without the option.
#include "casestudy/sandbox.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace hipaa::testing {
namespace {

std::vector<std::string> log_rows(const Sandbox& sandbox, const std::string& file) {
  TestDb db(sandbox.path(file));
  std::vector<std::string> rows;
  for (const char* table :
       {"disclose", "hasattrof_db", "purp_in_db", "inrole_db", "authorization"}) {
    for (std::string& row : db.rows(std::string("SELECT * FROM ") + table + " ORDER BY rowid")) {
      rows.push_back(table + (":" + row));
    }
  }
  return rows;
}

TEST(LoggenTruth, OneRowPerStoredDisclosureBesideAnUnchangedLog) {
  Sandbox sandbox;
  const std::vector<std::string> args = {"-n", "800", "--violations", "0.05", "--seed", "3"};
  std::vector<std::string> with_truth = args;
  with_truth.insert(with_truth.end(), {"-o", "with.db", "--truth", "truth.csv"});
  std::vector<std::string> without = args;
  without.insert(without.end(), {"-o", "without.db"});
  ASSERT_EQ(sandbox.run("hipaa-loggen", with_truth).status, 0);
  ASSERT_EQ(sandbox.run("hipaa-loggen", without).status, 0);
  EXPECT_EQ(log_rows(sandbox, "with.db"), log_rows(sandbox, "without.db"));

  std::istringstream lines(read_file(sandbox.path("truth.csv")));
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "message,kind,verdict,clause,paragraph\r");
  std::multiset<std::string> messages;
  std::map<std::string, int> verdicts;
  std::multiset<std::string> requesters;
  while (std::getline(lines, line)) {
    // "message",kind,verdict,clause,paragraph: the message, or for a request
    // the individual who made it, is a quoted CSV field.
    if (line.rfind("\"\"\"individual-", 0) == 0) {
      requesters.insert("\"" + line.substr(3, line.find("\"\"\",") - 3) + "\"");
      continue;
    }
    ASSERT_EQ(line.rfind("\"\"\"msg-", 0), 0u) << line;
    std::size_t end = line.find("\"\"\",");
    messages.insert("\"" + line.substr(3, end - 3) + "\"");
    std::istringstream fields(line.substr(end + 4));
    std::string kind, verdict;
    std::getline(fields, kind, ',');
    std::getline(fields, verdict, ',');
    ++verdicts[verdict];
  }
  TestDb db(sandbox.path("with.db"));
  std::vector<std::string> stored = db.rows("SELECT info FROM disclose");
  EXPECT_EQ(messages, std::multiset<std::string>(stored.begin(), stored.end()));
  std::vector<std::string> asked = db.rows(
      "SELECT individual FROM access_request UNION ALL SELECT individual FROM accounting_request "
      "UNION ALL SELECT individual FROM access_review_request");
  EXPECT_EQ(requesters, std::multiset<std::string>(asked.begin(), asked.end()));
  EXPECT_EQ(verdicts.size(), 3u);
  EXPECT_GT(verdicts["violation"], 20);
}

TEST(LoggenTruth, AnExistingTruthFileIsKeptWithoutForce) {
  Sandbox sandbox;
  write_file(sandbox.path("truth.csv"), "precious");
  RunResult refused = sandbox.run("hipaa-loggen", {"-n", "10", "--truth", "truth.csv"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "hipaa-loggen: truth.csv already exists; use --force to overwrite it\n");
  EXPECT_EQ(read_file(sandbox.path("truth.csv")), "precious");
  EXPECT_EQ(sandbox.files(), std::vector<std::string>{"truth.csv"});
}

} // namespace
} // namespace hipaa::testing
