// The hospital-export sample's README, run verbatim: one import of exports
// with US dates, two encodings, local codes and repeated rows; a lint that
// names the role-less recipient and the request older than the export;
// and, with the officer's fixes, a report without a violation.
#include "tools/import_fixture.hpp"

namespace hipaa::testing {
namespace {

// The commands of the first ```sh block after `heading`, continuation
// lines joined.
std::vector<std::string> commands_after(const std::string& markdown, const std::string& heading) {
  std::vector<std::string> commands;
  std::size_t at = markdown.find("```sh\n", markdown.find(heading));
  if (at == std::string::npos) return commands;
  at += 6;
  std::string command;
  for (std::size_t end; (end = markdown.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string line = markdown.substr(at, end - at);
    if (line == "```") break;
    if (!line.empty() && line.back() == '\\') {
      command += line.substr(0, line.size() - 1);
      continue;
    }
    commands.push_back(command + line);
    command.clear();
  }
  return commands;
}

TEST(HospitalExport, ImportsInOnePassAndTheLintNamesWhatMakesFalseViolations) {
  const std::string readme = read_file(std::string(HIPAA_SOURCE_DIR) +
                                       "/hipaa-case-study/samples/hospital-export/README.md");
  const std::vector<std::string> first = commands_after(readme, "## One pass over the exports");
  const std::vector<std::string> fixed = commands_after(readme, "## After the lint");
  ASSERT_EQ(first.size(), 3u);
  ASSERT_EQ(fixed.size(), 4u);
  Sandbox sandbox;
  std::filesystem::create_directory_symlink(HIPAA_BINARY_DIR, sandbox.path("build"));

  RunResult imported = run_shell(sandbox, first[0] + " && " + first[1]);
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "hipaa-import: 51 rows from 7 files written to hospital.db (2 exact "
                          "repeats left out)\n");
  EXPECT_EQ(TestDb(sandbox.path("hospital.db"))
                .rows("SELECT count(DISTINCT subject) FROM hasattrof_db WHERE subject LIKE '%Pe%'"),
            std::vector<std::string>{"1"});
  RunResult lint = run_shell(sandbox, first[2]);
  EXPECT_EQ(lint.status, 1);
  const std::string export_folder = "hipaa-case-study/samples/hospital-export/";
  for (const std::string& named :
       {"1 party holding no role at the time of disclosures whose verdict depends on it:\n"
        "  recipient \"Dr. Patel\": 1 disclosure, the first disclose row 2 (" + export_folder +
            "ehr_disclosures.csv:3) at 2010:01:06:14:30:00 (no role row at any time); clauses "
            "c164-506-c-2",
        "  access_request row 2 (" + export_folder + "access_requests.csv:3): \"John Smith\" "
            "\"General Hospital\" 2009:11:20:00:00:00, 46 days earlier than 2010:01:05:10:00:00\n"}) {
    EXPECT_NE(lint.out.find(named), std::string::npos) << lint.out;
  }

  RunResult again = run_shell(sandbox, fixed[0] + " && " + fixed[1]);
  ASSERT_EQ(again.status, 0) << again.err;
  RunResult clean = run_shell(sandbox, fixed[2]);
  EXPECT_EQ(clean.status, 0) << clean.out;
  RunResult report = run_shell(sandbox, fixed[3]);
  EXPECT_EQ(report.status, 0) << report.out << report.err;
  EXPECT_NE(report.out.find("Audited 7 instances of 4 rules: c164-502-a 5, c164-524-b-2 2, "
                            "c164-528-c-1 0, c164-524-d-4 0\n  violation          0\n"
                            "  open               0\n"
                            "  compliant          7\n"),
            std::string::npos)
      << report.out;
}

} // namespace
} // namespace hipaa::testing
