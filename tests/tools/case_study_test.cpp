// The tools find the case study named on the command line, else in
// HIPAA_CASE_STUDY, ./hipaa-case-study or the installed folder, in that
// order, and say where they looked when none holds it.
#include "tools/import_fixture.hpp"

#include "common/case_study.hpp"
#include "common/tool_error.hpp"

namespace hipaa::testing {
namespace {

namespace fs = std::filesystem;

TEST(CaseStudy, TheFirstPlaceHoldingTheFileWins) {
  Sandbox sandbox;
  for (const char* folder : {"env", "local", "installed"}) {
    fs::create_directory(sandbox.path(folder));
    write_file(sandbox.path(std::string(folder) + "/hipaa.d"), "");
  }
  fs::create_directory(sandbox.path("empty"));
  const std::string env = sandbox.path("env"), local = sandbox.path("local"),
                    installed = sandbox.path("installed"), empty = sandbox.path("empty");
  const struct {
    std::optional<std::string> environment;
    std::string local, installed, found;
  } cases[] = {
      {env, local, installed, env + "/hipaa.d"},
      {empty, local, installed, local + "/hipaa.d"},
      {std::nullopt, local, installed, local + "/hipaa.d"},
      {empty, empty, installed, installed + "/hipaa.d"},
      {"", empty, installed, installed + "/hipaa.d"},
  };
  for (const auto& c : cases) {
    const tools::CaseStudyPlaces places{c.environment, c.local, c.installed};
    EXPECT_EQ(tools::find_case_study_file("hipaa.d", "decls", places), c.found);
  }
}

TEST(CaseStudy, NoneFoundNamesEveryPlaceLookedIn) {
  const struct {
    std::optional<std::string> environment;
    std::string message;
  } cases[] = {
      {"/nowhere/env", "no hipaa.f in /nowhere/env, ./absent, /nowhere/share; give --policy PATH "
                       "or set HIPAA_CASE_STUDY to the case study's folder"},
      {std::nullopt, "no hipaa.f in ./absent, /nowhere/share (HIPAA_CASE_STUDY is not set); give "
                     "--policy PATH or set HIPAA_CASE_STUDY to the case study's folder"},
  };
  for (const auto& c : cases) {
    try {
      const tools::CaseStudyPlaces places{c.environment, "./absent", "/nowhere/share"};
      tools::find_case_study_file("hipaa.f", "policy", places);
      ADD_FAILURE() << "found a file in no place";
    } catch (const tools::UsageError& error) {
      EXPECT_EQ(std::string(error.what()), c.message);
    }
  }
}

// The programs themselves, run where no ./hipaa-case-study is.
TEST(CaseStudy, ToolsReadTheCaseStudyHipaaCaseStudyNames) {
  Sandbox sandbox;
  ASSERT_EQ(sandbox.run("hipaa-loggen", {"-n", "20"}).status, 0);
  fs::remove(sandbox.path("hipaa-case-study"));
  const std::string folder = std::string(HIPAA_SOURCE_DIR) + "/hipaa-case-study";
  RunResult lint = run_shell(sandbox, "HIPAA_CASE_STUDY=" + shell_quote(folder) + " hipaa-lint");
  EXPECT_EQ(lint.err, "");
  EXPECT_NE(lint.out.find("20 disclosures"), std::string::npos) << lint.out;
  RunResult report = run_shell(sandbox, "HIPAA_CASE_STUDY=" + shell_quote(folder) +
                                            " hipaa-report -q -F csv --violations-ok");
  EXPECT_EQ(report.status, 0) << report.err;
  // Where no case study is installed, none is found.
  if (!fs::exists(tools::case_study_places().installed)) {
    RunResult lost =
        run_shell(sandbox, "HIPAA_CASE_STUDY=/nowhere hipaa-export -d hipaa.db -o out");
    EXPECT_EQ(lost.status, 2);
    EXPECT_EQ(lost.err, "hipaa-export: no hipaa.d in /nowhere, ./hipaa-case-study, " +
                            tools::case_study_places().installed +
                            "; give --decls PATH or set HIPAA_CASE_STUDY to the case study's "
                            "folder\n");
  }
  EXPECT_EQ(sandbox.files(), (std::vector<std::string>{"hipaa.db", "report"}));
}

} // namespace
} // namespace hipaa::testing
