// The case study README's command sequences, run verbatim: getting a log,
// and the "audit your own records" walkthrough on the shipped samples with
// the verdicts the README lists.
#include "tools/import_fixture.hpp"

#include <cctype>
#include <map>
#include <sstream>

namespace hipaa::testing {
namespace {

// The lines of the first ```sh block after `heading` in `markdown`.
std::vector<std::string> commands_after(const std::string& markdown, const std::string& heading) {
  std::size_t at = markdown.find(heading);
  if (at == std::string::npos) return {};
  at = markdown.find("```sh\n", at);
  if (at == std::string::npos) return {};
  at += 6;
  std::vector<std::string> lines;
  for (std::size_t end; (end = markdown.find('\n', at)) != std::string::npos; at = end + 1) {
    std::string line = markdown.substr(at, end - at);
    if (line == "```") break;
    lines.push_back(line);
  }
  return lines;
}

std::string case_study_readme() {
  return read_file(std::string(HIPAA_SOURCE_DIR) + "/hipaa-case-study/README.md");
}

// Twice: the second run meets the files of the first.
TEST(SamplesWalkthrough, GettingALogRunsAsTheReadmeSaysAgainAndAgain) {
  const std::vector<std::string> commands = commands_after(case_study_readme(), "## Getting a log");
  ASSERT_EQ(commands.size(), 4u);
  Sandbox sandbox;
  std::filesystem::create_directory_symlink(HIPAA_BINARY_DIR, sandbox.path("build"));
  for (int run = 0; run < 2; ++run) {
    for (const std::string& command : commands) {
      RunResult result = run_shell(sandbox, command);
      EXPECT_EQ(result.status, 0) << command << "\n" << result.out << result.err;
    }
  }
}

TEST(SamplesWalkthrough, RunsAsTheReadmeSaysWithTheListedVerdicts) {
  const std::vector<std::string> commands =
      commands_after(case_study_readme(), "## Auditing your own records");
  ASSERT_EQ(commands.size(), 4u);
  Sandbox sandbox;
  std::filesystem::create_directory_symlink(HIPAA_BINARY_DIR, sandbox.path("build"));

  RunResult imported = run_shell(sandbox, commands[0]);
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "hipaa-import: 85 rows from 8 files written to hipaa.db\n");

  RunResult lint = run_shell(sandbox, commands[1]);
  EXPECT_EQ(lint.status, 0) << lint.out;
  EXPECT_EQ(lint.out, "10 disclosures, from 2024:02:05:09:30:00 to 2024:03:01:13:00:00; "
                      "complete up to 2024:03:01:13:00:00 (audit_end)\nno problems found\n");

  RunResult audit = run_shell(sandbox, commands[2]);
  ASSERT_EQ(audit.status, 0) << audit.err;
  const std::string residual = audit.out.substr(audit.out.find('\n') + 1);
  // The open judgements come first, then the outer quantifier whose
  // exclusion list holds every audited disclosure.
  const std::size_t quantifier = residual.find("(<c164-502-a> all ");
  ASSERT_NE(quantifier, std::string::npos) << residual;
  const std::string open = residual.substr(0, quantifier);
  const std::string excluded = residual.substr(quantifier, residual.find('}', quantifier) - quantifier);
  EXPECT_NE(open.find("(<c164-502-a> and "), std::string::npos) << open;
  for (const char* judgement :
       {"identification-request \"officer-kim\" \"pat-ben\"",
        "required-by-law-and-limited \"hospital-1\" \"officer-kim\" \"msg-06\"",
        "minimum-necessary-reviewed \"hospital-1\" \"officer-kim\" \"msg-06\"",
        "authorized-by-law-for-activity \"county-health\" \"msg-09\""}) {
    EXPECT_NE(open.find(judgement), std::string::npos) << judgement << "\n" << open;
  }
  for (const char* message : {"msg-01", "msg-02", "msg-03", "msg-04", "msg-05", "msg-06", "msg-07",
                              "msg-08", "msg-09", "msg-11"}) {
    const std::string quoted = std::string("\"") + message + "\"";
    EXPECT_NE(excluded.find(quoted + " 2024:"), std::string::npos) << message;
    if (std::string(message) != "msg-05" && std::string(message) != "msg-06" &&
        std::string(message) != "msg-09") {
      EXPECT_EQ(open.find(quoted), std::string::npos) << message;
    }
  }
  EXPECT_EQ(residual.find("\"pat-ana\" m21"), std::string::npos) << "her request is answered";

  RunResult with_violations = run_shell(sandbox, commands[3]);
  ASSERT_EQ(with_violations.status, 0) << with_violations.err;
  EXPECT_EQ(with_violations.out.substr(with_violations.out.find('\n') + 1), "false\n");
}

// The hospital's records: the README's commands and its table of verdicts.
TEST(SamplesWalkthrough, HospitalRecordsGiveTheVerdictsTheirReadmeLists) {
  const std::string readme =
      read_file(std::string(HIPAA_SOURCE_DIR) + "/hipaa-case-study/samples/hospital/README.md");
  const std::vector<std::string> commands = commands_after(readme, "From the top folder");
  ASSERT_EQ(commands.size(), 3u);
  Sandbox sandbox;
  std::filesystem::create_directory_symlink(HIPAA_BINARY_DIR, sandbox.path("build"));
  RunResult imported = run_shell(sandbox, commands[0]);
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "hipaa-import: 92 rows from 12 files written to hospital.db\n");
  EXPECT_EQ(run_shell(sandbox, commands[1]).status, 0);
  EXPECT_EQ(run_shell(sandbox, commands[2]).status, 1);
  // verdicts.csv: one line per instance; a disclosure's line names its
  // message hNN in a field of its own, a request's line its rule.
  std::map<std::string, std::string> verdict_of;
  std::istringstream lines(read_file(sandbox.path("hospital-report/verdicts.csv")));
  for (std::string line; std::getline(lines, line);) {
    std::string key;
    std::istringstream fields(line);
    for (std::string field; key.empty() && std::getline(fields, field, ',');) {
      if (field.size() == 3 && field[0] == 'h' && std::isdigit(static_cast<unsigned char>(field[1])) &&
          std::isdigit(static_cast<unsigned char>(field[2]))) {
        key = field;
      }
    }
    if (key.empty() && line.find(",c164-524-b-2,") != std::string::npos) key = "c164-524-b-2";
    for (const char* verdict : {"compliant", "open", "violation"}) {
      if (!key.empty() && line.find(std::string(",") + verdict + ",") != std::string::npos) {
        verdict_of[key] = verdict;
      }
    }
  }
  // Each table row of the README: | message | ... | verdict | ...
  std::size_t rows = 0;
  for (std::size_t at = readme.find("\n| h"); at != std::string::npos;
       at = readme.find("\n| h", at + 1)) {
    std::istringstream cells(readme.substr(at + 3, readme.find('\n', at + 1) - at - 3));
    std::string message, shown, verdict;
    std::getline(cells, message, '|');
    std::getline(cells, shown, '|');
    std::getline(cells, verdict, '|');
    message = message.substr(0, message.find(' '));
    verdict = verdict.substr(1, verdict.find_first_of(" ,", 1) - 1);
    EXPECT_EQ(verdict_of[message], verdict) << message;
    ++rows;
  }
  EXPECT_EQ(rows, 12u);
  EXPECT_EQ(verdict_of["c164-524-b-2"], "compliant");
}

} // namespace
} // namespace hipaa::testing
