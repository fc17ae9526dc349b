// hipaa-loggen: a deterministic synthetic log that the shipped case study
// audits without failure.
#include "casestudy/case_log.hpp"

#include "check/sorts.hpp"
#include "syntax/policy_parser.hpp"

#include <gtest/gtest.h>

namespace hipaa::testing {
namespace {

// Every row of every table the declarations name, in storage order.
std::vector<std::string> dump(const Sandbox& sandbox, const std::string& file) {
  TestDb db(sandbox.path(file));
  std::vector<std::string> all;
  for (const DeclEntry& entry : shipped_declarations()) {
    const PredDecl* pred = std::get_if<PredDecl>(&entry.decl);
    if (pred == nullptr || !pred->dbinfo) continue;
    for (const std::string& row : db.rows("SELECT * FROM " + pred->dbinfo->table)) {
      all.push_back(pred->dbinfo->table + ":" + row);
    }
  }
  return all;
}

std::string residual_of(const RunResult& result) {
  std::size_t newline = result.out.find('\n');
  return newline == std::string::npos ? "" : result.out.substr(newline + 1);
}

TEST(Loggen, SameSeedGivesTheSameLogAndAnotherSeedAnother) {
  Sandbox first, second, third;
  ASSERT_EQ(first.run("hipaa-loggen", {"--disclosures", "400", "--seed", "5"}).status, 0);
  ASSERT_EQ(second.run("hipaa-loggen", {"--seed=5", "--disclosures=400"}).status, 0);
  ASSERT_EQ(third.run("hipaa-loggen", {"--disclosures", "400", "--seed", "6"}).status, 0);
  EXPECT_EQ(dump(first, "hipaa.db"), dump(second, "hipaa.db"));
  EXPECT_NE(dump(first, "hipaa.db"), dump(third, "hipaa.db"));
}

TEST(Loggen, WritesExactlyTheRequestedDisclosuresAndNoOtherFile) {
  Sandbox sandbox;
  RunResult result = sandbox.run("hipaa-loggen", {"-n", "250", "-o", "log.db"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(sandbox.files(), std::vector<std::string>{"log.db"});
  TestDb db(sandbox.path("log.db"));
  EXPECT_EQ(db.single("SELECT count(*) FROM disclose"), "250");
}

// The audit parses every stored value and checks it against the declared
// sort of its column; the generator must never write one that fails.
TEST(Loggen, EveryStoredValueChecksAgainstTheDeclarations) {
  Sandbox sandbox;
  ASSERT_EQ(sandbox.run("hipaa-loggen", {"--disclosures", "2000", "--violations", "0.1"}).status, 0);
  TestDb db(sandbox.path("hipaa.db"));
  const Signature signature = shipped_declarations();
  std::size_t checked = 0;
  for (const DeclEntry& entry : signature) {
    const PredDecl* pred = std::get_if<PredDecl>(&entry.decl);
    if (pred == nullptr || !pred->dbinfo) continue;
    const std::vector<std::string>& columns = pred->dbinfo->columns;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      for (const std::string& text :
           db.rows("SELECT DISTINCT " + columns[i] + " FROM " + pred->dbinfo->table)) {
        std::ostringstream diagnostics;
        std::optional<TermPtr> term = parse_term(text, diagnostics);
        ASSERT_TRUE(term.has_value()) << text;
        ASSERT_EQ(diagnostics.str(), "") << text;
        EXPECT_NO_THROW(check_value_term(**term, pred->args[i].sort, signature, diagnostics))
            << pred->dbinfo->table << "." << columns[i] << ": " << text;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 1000u);
}

TEST(Loggen, LogWithoutViolationsAuditsToAnOpenFormula) {
  Sandbox sandbox;
  ASSERT_EQ(sandbox.run("hipaa-loggen", {"--disclosures", "300", "--seed", "3"}).status, 0);
  RunResult audit = sandbox.run("hipaa-audit");
  EXPECT_EQ(audit.status, 0);
  EXPECT_EQ(audit.err, "");
  EXPECT_NE(residual_of(audit), "false\n");
  // Subjective clauses stay, and the outer quantifier keeps its exclusions.
  EXPECT_NE(residual_of(audit).find("(<c164-502-a> all [p1: string]"), std::string::npos);
}

TEST(Loggen, LogWithViolationsAuditsToFalse) {
  Sandbox sandbox;
  ASSERT_EQ(sandbox.run("hipaa-loggen", {"--disclosures", "300", "--violations", "0.05"}).status,
            0);
  RunResult audit = sandbox.run("hipaa-audit");
  EXPECT_EQ(audit.status, 0);
  EXPECT_EQ(audit.err, "");
  EXPECT_EQ(residual_of(audit), "false\n");
}

// The query plans of the lookups the shipped policy makes for every
// disclosure; each must use an index, or the audit is quadratic.
TEST(Loggen, TheAuditsLookupsUseIndexes) {
  Sandbox sandbox;
  ASSERT_EQ(sandbox.run("hipaa-loggen", {"--disclosures", "50"}).status, 0);
  TestDb db(sandbox.path("hipaa.db"));
  const std::vector<std::string> queries = {
      "SELECT inrole_db.person, inrole_db.role, inrole_db.at FROM inrole_db WHERE "
      "(inrole_db.person = '\"dr-00001\"') AND (inrole_db.at = '2010:01:04:12:00:25')",
      "SELECT hasattrof_db.info, hasattrof_db.subject, hasattrof_db.attr, hasattrof_db.recorded "
      "FROM hasattrof_db WHERE (hasattrof_db.info = '\"msg-000000001\"')",
      "SELECT purp_in_db.info, purp_in_db.purpose, purp_in_db.stated_by FROM purp_in_db WHERE "
      "(purp_in_db.info = '\"msg-000000001\"')",
      "SELECT attr_in_db.subattr, attr_in_db.superattr, attr_in_db.basis FROM attr_in_db WHERE "
      "(attr_in_db.subattr = 'diagnosis') AND (attr_in_db.superattr = 'phi')",
      "SELECT disclose.sender, disclose.recipient, disclose.info, disclose.at FROM disclose WHERE "
      "(disclose.sender = '\"dr-00001\"') AND (disclose.recipient = '\"patient-0000001\"')",
      "SELECT protocol.covered_entity, protocol.purpose, protocol.attr FROM protocol WHERE "
      "(protocol.covered_entity = '\"hospital-001\"') AND (protocol.purpose = 'payment') AND "
      "(protocol.attr = 'diagnosis')",
      "SELECT * FROM authorization WHERE (authorization.individual = '\"p\"') AND "
      "(authorization.discloser = '\"d\"') AND (authorization.recipient = '\"r\"') AND "
      "(authorization.attr = 'name')",
      "SELECT * FROM restriction WHERE (restriction.individual = '\"p\"') AND "
      "(restriction.covered_entity = '\"c\"')",
      "SELECT * FROM self_pay_restriction WHERE (self_pay_restriction.individual = '\"p\"') "
      "AND (self_pay_restriction.covered_entity = '\"c\"')",
      "SELECT * FROM fundraising_opt_out WHERE (fundraising_opt_out.individual = '\"p\"') AND "
      "(fundraising_opt_out.covered_entity = '\"c\"')",
      "SELECT * FROM deidentification WHERE (deidentification.info = '\"m\"')",
      "SELECT * FROM verification WHERE (verification.covered_entity = '\"c\"') AND "
      "(verification.requester = '\"r\"')",
      "SELECT * FROM revocation WHERE (revocation.individual = '\"p\"') AND "
      "(revocation.discloser = '\"d\"') AND (revocation.recipient = '\"r\"')",
      "SELECT * FROM personal_rep WHERE (personal_rep.representative = '\"r\"') AND "
      "(personal_rep.individual = '\"p\"')",
  };
  for (const std::string& query : queries) {
    std::string plan;
    for (const std::string& row : db.rows("EXPLAIN QUERY PLAN " + query)) plan += row + "\n";
    EXPECT_NE(plan.find("SEARCH"), std::string::npos) << query << "\n" << plan;
  }
}

TEST(Loggen, RefusesToReplaceAnExistingFileWithoutForce) {
  Sandbox sandbox;
  write_file(sandbox.path("hipaa.db"), "precious");
  RunResult refused = sandbox.run("hipaa-loggen", {"--disclosures", "10"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "hipaa-loggen: hipaa.db already exists; use --force to overwrite it\n");
  EXPECT_EQ(read_file(sandbox.path("hipaa.db")), "precious");
  EXPECT_EQ(sandbox.files(), std::vector<std::string>{"hipaa.db"});

  RunResult forced = sandbox.run("hipaa-loggen", {"--disclosures", "10", "--force"});
  EXPECT_EQ(forced.status, 0);
  TestDb db(sandbox.path("hipaa.db"));
  EXPECT_EQ(db.single("SELECT count(*) FROM disclose"), "10");
}

TEST(Loggen, RejectsBadOptionsWithOneLineAndStatus2AndWritesNothing) {
  const std::string count_range = "--disclosures needs a whole number from 0 to 100000000";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--disclosures", "many"}, "hipaa-loggen: " + count_range + ", not \"many\"\n"},
      {{"--disclosures", "-5"}, "hipaa-loggen: " + count_range + ", not \"-5\"\n"},
      {{"-n", "9223372036854775807"},
       "hipaa-loggen: " + count_range + ", not \"9223372036854775807\"\n"},
      {{"-n", "+5"}, "hipaa-loggen: " + count_range + ", not \"+5\"\n"},
      {{"-v", "0.5"}, "hipaa-loggen: unknown option -v (try --help)\n"},
      {{"-n"}, "hipaa-loggen: option --disclosures needs a value\n"},
      {{"--violations", "1.5"},
       "hipaa-loggen: --violations needs a fraction from 0 to 1, not \"1.5\"\n"},
      {{"--seed"}, "hipaa-loggen: option --seed needs a value\n"},
      {{"--verbose"}, "hipaa-loggen: unknown option --verbose (try --help)\n"},
      {{"--force=yes"}, "hipaa-loggen: option --force takes no value\n"},
      {{"extra"}, "hipaa-loggen: unexpected argument \"extra\" (try --help)\n"},
  };
  for (const auto& [args, message] : cases) {
    Sandbox sandbox;
    RunResult result = sandbox.run("hipaa-loggen", args);
    EXPECT_EQ(result.status, 2) << message;
    EXPECT_EQ(result.err, message);
    EXPECT_TRUE(sandbox.files().empty()) << message;
  }
}

TEST(Loggen, ReadsGnuShortOptionsAttachedAndBundled) {
  Sandbox sandbox;
  RunResult result = sandbox.run("hipaa-loggen", {"-n12", "-s3", "--viol=0.5", "-fo", "x.db"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(sandbox.files(), std::vector<std::string>{"x.db"});
  TestDb db(sandbox.path("x.db"));
  EXPECT_EQ(db.single("SELECT count(*) FROM disclose"), "12");
  RunResult version = sandbox.run("hipaa-loggen", {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("hipaa-loggen ", 0), 0u);
}

TEST(Loggen, HelpDescribesTheOptions) {
  Sandbox sandbox;
  RunResult result = sandbox.run("hipaa-loggen", {"--help"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out.rfind("Usage: hipaa-loggen [OPTION]...\n", 0), 0u);
  for (const char* option : {"--disclosures", "--seed", "--violations", "--out", "--force"}) {
    EXPECT_NE(result.out.find(option), std::string::npos) << option;
  }
  EXPECT_TRUE(sandbox.files().empty());
}

} // namespace
} // namespace hipaa::testing
