// A policy or declarations file that parses only after a repair, or fails a
// check, is refused by every tool that reads it: exit status 2, no report,
// and the place in the file with the source line and a caret.
#include "casestudy/sandbox.hpp"

#include "common/source_diagnostic.hpp"

#include <gtest/gtest.h>

namespace hipaa::testing {
namespace {

std::string case_file(const std::string& name) {
  return read_file(std::string(HIPAA_SOURCE_DIR) + "/hipaa-case-study/" + name);
}

// The case study's policy with the first occurrence of `from` replaced.
std::string edited_policy(const std::string& from, const std::string& to) {
  std::string text = case_file("hipaa.f");
  std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

void generate(const Sandbox& sandbox) {
  ASSERT_EQ(sandbox
                .run("hipaa-loggen",
                     {"-n", "200", "--violations", "0.1", "--output", "hipaa.db", "--force"})
                .status,
            0);
}

TEST(PolicyRefusal, ARepairedOrUncheckedPolicyIsRefusedAtItsPlace) {
  Sandbox sandbox;
  generate(sandbox);
  // One ")" missing at the end of the treatment clause; a predicate spelt
  // wrongly; a variable that no quantifier binds.
  write_file(sandbox.path("missing.f"), edited_policy("(inrole p2 Health-care-provider t))",
                                                      "(inrole p2 Health-care-provider t)"));
  write_file(sandbox.path("misspelt.f"), edited_policy("(inrole p2 Health-care-provider t))",
                                                       "(in_role p2 Health-care-provider t))"));
  write_file(sandbox.path("unbound.f"), edited_policy("(inrole p2 Health-care-provider t))",
                                                      "(inrole p3 Health-care-provider t))"));
  struct Case {
    std::string policy;
    std::string first_line; // the first line of standard error
    std::string last_line;  // after "PROGRAM: "
  };
  // The line of the treatment clause in the shipped policy.
  const std::string policy = read_file(std::string(HIPAA_SOURCE_DIR) + "/hipaa-case-study/hipaa.f");
  const std::string line = std::to_string(
      1 + std::count(policy.begin(),
                     policy.begin() + static_cast<std::ptrdiff_t>(
                                          policy.find("(inrole p2 Health-care-provider t))")),
                     '\n'));
  const Case cases[] = {
      {"missing.f", "missing.f:",
       "missing.f: does not parse as written; the repairs "
       "above are only suggestions, and the file was not used\n"},
      {"misspelt.f",
       "misspelt.f:" + line + ":52: Undeclared predicate symbol: in_role; did you mean inrole?\n",
       "misspelt.f: rejected (UndeclaredPredicate)\n"},
      {"unbound.f",
       "unbound.f:" + line + ":59: Undeclared constructor: p3 (nothing of that name is declared; if p3 is "
       "meant as a variable, no quantifier around it binds it)\n",
       "unbound.f: rejected (UndeclaredConstructor)\n"},
  };
  // hipaa-lint reads the policy for its role checks, and refuses it alike.
  for (const char* program : {"hipaa-report", "hipaa-lint"}) {
    for (const Case& c : cases) {
      RunResult result = sandbox.run(program, {"--policy", c.policy});
      const std::string last_line = std::string(program) + ": " + c.last_line;
      EXPECT_EQ(result.status, 2) << program << " " << c.policy;
      EXPECT_EQ(result.out, "") << c.policy;
      EXPECT_EQ(result.err.substr(0, c.first_line.size()), c.first_line) << result.err;
      ASSERT_GE(result.err.size(), last_line.size());
      EXPECT_EQ(result.err.substr(result.err.size() - last_line.size()), last_line) << result.err;
      EXPECT_FALSE(std::filesystem::exists(sandbox.path("report"))) << c.policy;
    }
  }
  // Accepted, the repaired policy drives the role checks: the lint runs.
  RunResult linted = sandbox.run("hipaa-lint", {"--policy", "missing.f", "--accept-repairs"});
  EXPECT_LE(linted.status, 1) << linted.err;
  EXPECT_NE(linted.err.find("]: try inserting )"), std::string::npos) << linted.err;
  EXPECT_NE(linted.out, "");
  // The missing ")" shows as a suggestion, under its source line.
  RunResult missing = sandbox.run("hipaa-report", {"--policy", "missing.f"});
  EXPECT_NE(missing.err.find(": syntax error; suggested repair: insert ) here\n  "),
            std::string::npos)
      << missing.err;
  EXPECT_NE(missing.err.find("^\n"), std::string::npos);
  // Accepting repairs gives the report of the repaired policy, as before.
  RunResult accepted =
      sandbox.run("hipaa-report", {"--policy", "missing.f", "--accept-repairs", "-q"});
  EXPECT_NE(accepted.status, 2) << accepted.err;
  EXPECT_NE(accepted.err.find("]: try inserting )"), std::string::npos) << accepted.err;
  // Beside missing.f there is no catalogue: the clauses go by their names.
  EXPECT_EQ(read_file(sandbox.path("report/verdicts.csv")).find("45 CFR"), std::string::npos);
  RunResult named = sandbox.run("hipaa-report", {"--policy", "missing.f", "--accept-repairs", "-q",
                                                 "--catalogue", "hipaa-case-study/catalogue.csv"});
  EXPECT_EQ(named.status, 1) << named.err;
  EXPECT_NE(read_file(sandbox.path("report/verdicts.csv")).find(",45 CFR 164."), std::string::npos);
  RunResult absent = sandbox.run("hipaa-report", {"--catalogue", "absent.csv", "-q"});
  EXPECT_EQ(absent.status, 2);
  EXPECT_NE(absent.err.find("absent.csv: cannot read the file"), std::string::npos) << absent.err;
}

TEST(PolicyRefusal, EveryToolRefusesDeclarationsThatNeedARepair) {
  Sandbox sandbox;
  generate(sandbox);
  std::string decls = case_file("hipaa.d");
  decls.replace(decls.find("phi : attribute ."), 17, "phi : attribute");
  write_file(sandbox.path("broken.d"), decls);
  const std::vector<std::vector<std::string>> runs = {
      {"hipaa-report", "--decls", "broken.d"},
      {"hipaa-lint", "--decls", "broken.d"},
      {"hipaa-export", "--db", "hipaa.db", "--decls", "broken.d", "--out", "exported"},
  };
  for (const auto& run : runs) {
    RunResult result = sandbox.run(run[0], {run.begin() + 1, run.end()});
    EXPECT_EQ(result.status, 2) << run[0] << result.err;
    EXPECT_EQ(result.err.rfind("broken.d:", 0), 0u) << run[0] << ": " << result.err;
    EXPECT_NE(result.err.find("suggested repair"), std::string::npos) << result.err;
    std::vector<std::string> accepting(run.begin() + 1, run.end());
    accepting.push_back("--accept-repairs");
    EXPECT_NE(sandbox.run(run[0], accepting).status, 2) << run[0];
  }
}

TEST(PolicyRefusal, AFailedDeclarationCheckNamesItsPlaceAndACloseName) {
  Sandbox sandbox;
  std::string decls = case_file("hipaa.d");
  decls.replace(decls.find("phi : attribute ."), 17, "phi : atribute .");
  write_file(sandbox.path("misspelt.d"), decls);
  RunResult result = sandbox.run("hipaa-lint", {"--decls", "misspelt.d"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err.rfind("misspelt.d:", 0), 0u) << result.err;
  EXPECT_NE(result.err.find(": Undeclared sort name: atribute; did you mean attribute?\n  phi : "
                            "atribute .\n        ^\n"),
            std::string::npos)
      << result.err;
}

TEST(SourceDiagnostic, PlacesCaretsAndCloseNames) {
  EXPECT_EQ(tools::located_message("p.f", "(and\n\t(inrole x)\n)", {2, 3}, "here"),
            "p.f:2:3: here\n  \t(inrole x)\n  \t ^\n");
  // Column 19 of the framed first line is the policy's first character.
  EXPECT_EQ(tools::unframed_place("(and x)", 17, 1, 19).column, 1u);
  EXPECT_EQ(tools::unframed_place("(and x)\n", 17, 2, 1).line, 1u); // the end marker
  const std::vector<std::string> names = {"inrole", "purp_in", "disclose-eval", "lessthan"};
  const std::pair<const char*, const char*> close[] = {{"in_role", "inrole"},
                                                       {"purpin", "purp_in"},
                                                       {"disclose_eval", "disclose-eval"},
                                                       {"lesthan", "lessthan"},
                                                       {"p3", ""},
                                                       {"payment", ""}};
  for (const auto& [name, expected] : close) {
    EXPECT_EQ(tools::closest_name(name, names).value_or(""), expected) << name;
  }
  // Comments and strings are not symbols.
  auto place = tools::find_symbol("% inrole\n(* inrole *) \"inrole\" (inrole", "inrole");
  ASSERT_TRUE(place.has_value());
  EXPECT_EQ(place->line, 2u);
  EXPECT_EQ(place->column, 24u);
}

} // namespace
} // namespace hipaa::testing
