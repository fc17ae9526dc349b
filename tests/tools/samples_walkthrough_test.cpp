// The case study README's command sequences, run verbatim: getting a log,
// and the "audit your own records" walkthrough on the shipped samples with
// the verdicts the README lists.
#include "tools/import_fixture.hpp"

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
  EXPECT_EQ(imported.out, "hipaa-import: 72 rows from 8 files written to hipaa.db\n");

  RunResult lint = run_shell(sandbox, commands[1]);
  EXPECT_EQ(lint.status, 0) << lint.out;
  EXPECT_EQ(lint.out, "11 disclosures, from 2024:02:05:09:30:00 to 2024:03:15:10:30:00; "
                      "complete up to 2024:03:15:10:30:00 (audit_end)\nno problems found\n");

  RunResult audit = run_shell(sandbox, commands[2]);
  ASSERT_EQ(audit.status, 0) << audit.err;
  const std::string residual = audit.out.substr(audit.out.find('\n') + 1);
  // What stays open, in the order the audit prints it, before the outer
  // quantifier with the settled disclosures.
  const std::string open =
      "(and (<c164-502-a> and "
      "(<c164-512-f-2-i> identification-request \"officer-kim\" \"pat-ben\") "
      "(<c164-512-f-2-i> identification-request \"officer-kim\" \"pat-ben\") "
      "(and (<c164-512-f-1-i> required-by-law-and-limited \"hospital-1\" \"officer-kim\" \"msg-06\") "
      "(<c164-514-d-3-ii> minimum-necessary-reviewed \"hospital-1\" \"officer-kim\" \"msg-06\")) "
      "(<c164-502-a> all ";
  EXPECT_EQ(residual.rfind(open, 0), 0u) << residual;
  for (const char* settled : {"msg-01", "msg-02", "msg-03", "msg-04", "msg-07", "msg-08", "msg-09",
                              "msg-10", "msg-11"}) {
    EXPECT_NE(residual.find(std::string("\"") + settled + "\" 2024:"), std::string::npos) << settled;
  }
  EXPECT_EQ(residual.find("msg-12"), std::string::npos);
  const std::string late_request =
      "(or (<c164-524-b-2-i> ex [m21: string] [t21: date] (and (disclose-eval \"hospital-1\" "
      "\"pat-cy\" m21 t21) (time_in 2024:01:02:00:00:00 t21 2024:02:01:00:00:00)) true) "
      "(<c164-524-a-2> access-denial-grounds \"hospital-1\" \"pat-cy\")))\n";
  EXPECT_EQ(residual.substr(residual.size() - late_request.size()), late_request);
  EXPECT_EQ(residual.find("\"pat-ana\" m21"), std::string::npos);

  RunResult with_violation = run_shell(sandbox, commands[3]);
  ASSERT_EQ(with_violation.status, 0) << with_violation.err;
  EXPECT_NE(with_violation.out.find("\nfalse\n"), std::string::npos) << with_violation.out;
}

} // namespace
} // namespace hipaa::testing
