// A generated log without violations: the audit finds none, and every
// judgement the policy leaves to a person comes up in some disclosure.
#include "casestudy/case_log.hpp"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace hipaa::testing {
namespace {

// The names left open in a residual, apart from the outer quantifier's own
// text (which spells out every clause of the policy).
std::set<std::string> open_names(std::string residual) {
  for (std::size_t start; (start = residual.find("(<c164-502-a> all ")) != std::string::npos;) {
    int depth = 0;
    std::size_t end = start;
    for (; end < residual.size(); ++end) {
      if (residual[end] == '(') ++depth;
      if (residual[end] == ')' && --depth == 0) break;
    }
    residual.erase(start, end + 1 - start);
  }
  std::set<std::string> names;
  static const std::regex name("<([A-Za-z0-9-]+-(subj|wait))>");
  for (auto it = std::sregex_iterator(residual.begin(), residual.end(), name);
       it != std::sregex_iterator(); ++it) {
    names.insert((*it)[1]);
  }
  return names;
}

TEST(GeneratedLog, WithoutViolationsLeavesEveryJudgementOpenAndNothingFalse) {
  Sandbox sandbox;
  ASSERT_EQ(sandbox.run("hipaa-loggen", {"--disclosures", "10000", "--seed", "2"}).status, 0);
  RunResult audit = sandbox.run("hipaa-audit");
  ASSERT_EQ(audit.status, 0) << audit.out << audit.err;
  const std::string residual = audit.out.substr(audit.out.find('\n') + 1);
  ASSERT_NE(residual, "false\n");
  const std::set<std::string> expected = {
      "c164-502-g-2-subj",     "c164-506-c-4-subj",     "c164-502-j-1-subj",      "c164-504-f-2-subj",
      "c164-508-a-3-i-subj",   "c164-508-b-5-i-subj",    "c164-510-b-1-i-subj",
      "c164-510-b-2-iii-subj", "c164-510-b-3-subj",      "c164-510-b-4-subj",
      "c164-512-a-1-subj",     "c164-512-b-1-i-subj",     "c164-512-b-1-iii-subj",  "c164-512-b-1-iv-subj",
      "c164-512-b-1-v-subj",   "c164-512-b-1-vi-C-subj", "c164-512-c-1-i-subj",
      "c164-512-c-1-ii-subj",  "c164-512-c-1-iii-subj",  "c164-512-c-1-subj",
      "c164-512-c-2-subj",     "c164-512-d-2-subj",      "c164-512-e-1-i-subj",
      "c164-512-e-1-ii-subj",  "c164-512-e-1-vi-subj",   "c164-512-f-1-i-subj",
      "c164-512-f-1-ii-C-subj", "c164-512-f-1-ii-subj",  "c164-512-f-2-subj",
      "c164-512-f-3-subj",     "c164-512-f-4-subj",      "c164-512-f-5-subj",
      "c164-512-f-6-i-subj",   "c164-512-f-6-ii-subj",   "c164-512-g-2-subj",      "c164-512-i-1-i-subj",
      "c164-512-i-1-ii-subj",  "c164-512-i-1-iii-subj",  "c164-512-j-1-i-subj",
      "c164-512-j-1-ii-A-subj", "c164-512-j-1-ii-B-subj",  "c164-512-k-1-i-subj",    "c164-512-k-2-subj",
      "c164-512-k-3-subj",     "c164-512-k-5-i-subj",    "c164-512-l-subj",
      "c164-514-b-2-ii-subj",  "c164-514-d-3-ii-subj",   "c164-524-a-2-subj",
      "c164-524-a-3-subj",     "c164-524-b-2-wait",      "c164-528-c-1-wait",
      "c164-512-b-1-i-law-subj", "c164-512-k-5-i-custody-subj",
      "c164-502-g-3-subj",     "c164-504-e-4-subj",      "c164-512-k-6-i-subj",
      "c164-522-b-subj",       "c164-524-d-1-subj",      "c164-524-d-4-subj",
  };
  const std::set<std::string> found = open_names(residual);
  for (const std::string& name : expected) EXPECT_TRUE(found.count(name)) << name;
}

} // namespace
} // namespace hipaa::testing
