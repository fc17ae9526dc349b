// End-to-end runs of the built executable: report variants, the results
// table statements, "./rform", and each way a run can fail.
#include "cli/cli_harness.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace hipaa::cli {
namespace {

const char* const kDeclarations = R"((* vocabulary of the command-line tests *)
disclose : string - -> string - -> string - -> date - -> pred DB
  %dbinfo "disclose" ("sender", "recipient", "msg", "time") .
disclose-eval : string - -> string - -> string - -> date - -> pred EVAL .
allowed : string + -> string + -> pred DB %dbinfo "allowed" ("sender", "recipient") .
judged : string + -> pred SUBJ .
)";

const char* const kPolicy =
    "all [p1: string] [p2: string] [m: string] [t: date] (disclose-eval p1 p2 m t)\n"
    "  (or (<ok> allowed p1 p2) (<subj> judged p1))\n";

const char* const kSchema = R"(
CREATE TABLE disclose (sender TEXT, recipient TEXT, msg TEXT, time TEXT);
CREATE TABLE allowed (sender TEXT, recipient TEXT);
CREATE TABLE hasattrof_db (msg TEXT, info TEXT, attr TEXT, purp TEXT);
CREATE TABLE attr_in_db (attr TEXT, subattr TEXT, other TEXT);
)";

const char* const kRows = R"(
INSERT INTO disclose VALUES ('"a"', '"b"', '"m1"', '2010:01:01:00:00:00');
INSERT INTO disclose VALUES ('"c"', '"d"', '"m2"', '2010:01:02:00:00:00');
INSERT INTO allowed VALUES ('"a"', '"b"');
INSERT INTO hasattrof_db VALUES ('"m1"', 'x', 'y', 'z');
INSERT INTO hasattrof_db VALUES ('"m2"', NULL, 'y', 'z');
INSERT INTO attr_in_db VALUES ('a', 'b', 'c');
)";

const std::string kResidual =
    "(all [p1: string] [p2: string] [m: string] [t: date] "
    "{[\"a\" \"b\" \"m1\" 2010:01:01:00:00:00] [\"c\" \"d\" \"m2\" 2010:01:02:00:00:00]} "
    "(disclose-eval p1 p2 m t) (or (<ok> allowed p1 p2) (<subj> judged p1)))";

const std::string kResidualInstance = "(<subj> judged \"c\")";

// The instance for the second disclosure stays open on its subjective
// clause; the first is allowed; the quantifier over disclosures stays open.
const std::string kReport = "(and " + kResidualInstance + " " + kResidual + ")\n";

std::string statements(const std::string& id, const std::string& c1, const std::string& c2,
                       const std::string& c3) {
  std::string where = " WHERE testId = " + id + ";\n";
  return "UPDATE res SET totalTime = T" + where + "UPDATE res SET nDisclosure = " + c1 + where +
         "UPDATE res SET nHasattrof = " + c2 + where + "UPDATE res SET nAttrin = " + c3 + where +
         "UPDATE res SET avgTime = (SELECT totalTime from res WHERE testId =" + id +
         ")/(SELECT nDisclosure from res WHERE testId =" + id + ")" + where;
}

std::string mask_statement_time(const std::string& out) {
  std::string masked = out;
  std::size_t start = masked.find("totalTime = ");
  if (start == std::string::npos) return masked;
  start += 12;
  std::size_t end = masked.find(' ', start);
  return masked.replace(start, end - start, "T");
}

class RunSequence : public ::testing::Test {
protected:
  void SetUp() override {
    dir.write_declarations(kDeclarations);
    dir.write_policy(kPolicy);
    dir.make_database(std::string(kSchema) + kRows);
  }
  CaseDir dir;
};

TEST_F(RunSequence, WithoutArgumentsPrintsTimeLineAndResidual) {
  RunResult result = dir.run();
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(mask_time(result.out), "%%%%%%%%%% time used: T%%%%%%%%%%%%%\n" + kReport);
  EXPECT_FALSE(dir.exists("rform"));
}

TEST_F(RunSequence, OneCharacterIdentifierPrintsStatementsWithoutRform) {
  RunResult result = dir.run({"7"});
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(mask_statement_time(result.out), statements("7", "2", "1", "1"));
  EXPECT_FALSE(dir.exists("rform"));
}

TEST_F(RunSequence, TwoCharacterIdentifierWritesRformAndIgnoresFurtherArguments) {
  dir.write("rform", "old content that must be replaced, longer than the new one\n");
  RunResult result = dir.run({"17", "extra", "more"});
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(mask_statement_time(result.out), statements("17", "2", "1", "1"));
  EXPECT_EQ(dir.read("rform"), kReport);
}

TEST_F(RunSequence, IdentifierThatIsNotANumberIsQuoted) {
  RunResult result = dir.run({"1; DROP TABLE res"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(mask_statement_time(result.out), statements("'1; DROP TABLE res'", "2", "1", "1"));
  result = dir.run({"o'x"});
  EXPECT_EQ(mask_statement_time(result.out), statements("'o''x'", "2", "1", "1"));
}

TEST(RunSequenceEmptyLog, EmptyDiscloseTableKeepsTheQuantifierOpen) {
  CaseDir dir;
  dir.write_declarations(kDeclarations);
  dir.write_policy(kPolicy);
  dir.make_database(kSchema);
  RunResult result = dir.run();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(mask_time(result.out),
            "%%%%%%%%%% time used: T%%%%%%%%%%%%%\n"
            "(all [p1: string] [p2: string] [m: string] [t: date] (disclose-eval p1 p2 m t) "
            "(or (<ok> allowed p1 p2) (<subj> judged p1)))\n");
  result = dir.run({"3"});
  EXPECT_EQ(mask_statement_time(result.out), statements("3", "0", "0", "0"));
}

TEST(RunSequenceFailures, MissingPolicyFileIsAnIoFailure) {
  CaseDir dir;
  dir.write_declarations(kDeclarations);
  RunResult result = dir.run();
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "unhandled exception: Io: openIn \"./hipaa-case-study/hipaa.f\" failed with SysErr: " +
                std::string(std::strerror(ENOENT)) + " [noent]\n");
  EXPECT_EQ(result.status, 1);
}

TEST(RunSequenceFailures, MissingDatabaseAfterAllChecksIsOption) {
  CaseDir dir;
  dir.write_declarations(kDeclarations);
  dir.write_policy(kPolicy);
  RunResult result = dir.run({"17"});
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "unhandled exception: Option\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(dir.exists("hipaa.db"));
  EXPECT_FALSE(dir.exists("rform"));
}

TEST(RunSequenceFailures, RejectedDeclarationsAreReportedOnce) {
  CaseDir dir;
  dir.write_declarations("x : sort .\nx : sort .\n");
  dir.write_policy("true");
  RunResult result = dir.run();
  EXPECT_EQ(result.out, "Duplicate declaration of identifier: x\n");
  EXPECT_EQ(result.err, "unhandled exception: DuplicateDecl\n");
  EXPECT_EQ(result.status, 1);
}

TEST(RunSequenceFailures, DeclarationLexerMessagesAppearTwice) {
  CaseDir dir;
  dir.write_declarations(std::string(kDeclarations) + "~\n");
  dir.write_policy("true");
  dir.make_database(kSchema);
  RunResult result = dir.run();
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(mask_time(result.out), "Unknown symbol: ~\nUnknown symbol: ~\n"
                                   "%%%%%%%%%% time used: T%%%%%%%%%%%%%\ntrue\n");
}

TEST(RunSequenceFailures, DiagnosticsComeInPhaseOrder) {
  CaseDir dir;
  dir.write_declarations(std::string(kDeclarations) + "~\n");
  dir.write_policy("all [x: string] (+ disclose x \"b\" 2010:01:01 2010:01:01) (judged x)");
  RunResult result = dir.run();
  EXPECT_EQ(result.out, "Unknown symbol: ~\nUnknown symbol: ~\nUnknown symbol: +\n"
                        "Sort clash on term: 2010:01:01:00:00:00. It's sort: date. "
                        "Expected sort: string.\n");
  EXPECT_EQ(result.err, "unhandled exception: SortClash\n");
  EXPECT_EQ(result.status, 1);
}

TEST(RunSequenceFailures, TopLevelTrueSkipsModesButStillNeedsTheDatabase) {
  CaseDir dir;
  dir.write_declarations(kDeclarations);
  dir.write_policy("(<top> false)");
  RunResult result = dir.run();
  EXPECT_EQ(result.err, "unhandled exception: Option\n");
  dir.make_database(kSchema);
  result = dir.run();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(mask_time(result.out), "%%%%%%%%%% time used: T%%%%%%%%%%%%%\n(<top> false)\n");
}

TEST(RunSequenceFailures, UnrepairablePolicyIsOption) {
  CaseDir dir;
  dir.write_declarations(kDeclarations);
  dir.write_policy(")))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))");
  dir.make_database(kSchema);
  RunResult result = dir.run();
  EXPECT_EQ(result.err, "unhandled exception: Option\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("syntax error at "), std::string::npos);
  EXPECT_EQ(result.out.back(), '\n');
}

TEST(RunSequenceFailures, MissingCountedTableIsOptionBeforeAnyStatement) {
  CaseDir dir;
  dir.write_declarations(kDeclarations);
  dir.write_policy("true");
  dir.make_database("CREATE TABLE disclose (sender TEXT, recipient TEXT, msg TEXT, time TEXT);");
  RunResult result = dir.run({"42"});
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "unhandled exception: Option\n");
  EXPECT_FALSE(dir.exists("rform"));
}

TEST(RunSequenceFailures, CountingQueryThatFailsWhileSteppingPrintsNoStatement) {
  CaseDir dir;
  dir.write_declarations(kDeclarations);
  dir.write_policy("true");
  // The view compiles but fails at its first step (integer overflow).
  dir.make_database(
      "CREATE VIEW disclose AS SELECT abs(-9223372036854775807 - 1) AS sender;"
      "CREATE TABLE hasattrof_db (msg TEXT, info TEXT, attr TEXT, purp TEXT);"
      "CREATE TABLE attr_in_db (attr TEXT, subattr TEXT, other TEXT);");
  RunResult result = dir.run({"42"});
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "unhandled exception: ErrorRunningDbQuery\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(dir.exists("rform"));
}

TEST(RunSequenceFailures, UnparseableDeclarationsAreOptionAfterOneReport) {
  CaseDir dir;
  dir.write_declarations(". . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . "
                         ". . . . . . . . . . . . . . . . . . . .");
  dir.write_policy("true");
  RunResult result = dir.run();
  EXPECT_EQ(result.out, "[1.17]: syntax error at .\n");
  EXPECT_EQ(result.err, "unhandled exception: Option\n");
  EXPECT_EQ(result.status, 1);
}

TEST(RunSequenceFailures, PolicyThatIsATermIsBadParseType) {
  CaseDir dir;
  dir.write_declarations(kDeclarations);
  dir.write_policy("\"alice\"");
  dir.make_database(kSchema);
  RunResult result = dir.run();
  EXPECT_EQ(result.out, "[1.1]: try substituting START_TERM for START_FORMULA\n");
  EXPECT_EQ(result.err, "unhandled exception: BadParseType\n");
  EXPECT_EQ(result.status, 1);
}

TEST(RunSequenceFailures, UnwritableRformIsAnIoFailureAfterTheStatements) {
  CaseDir dir;
  dir.write_declarations(kDeclarations);
  dir.write_policy("true");
  dir.make_database(kSchema);
  dir.write("rform/keep", "");
  RunResult result = dir.run({"17"});
  EXPECT_EQ(mask_statement_time(result.out), statements("17", "0", "0", "0"));
  EXPECT_EQ(result.err, "unhandled exception: Io: openOut \"./rform\" failed with SysErr: " +
                            std::string(std::strerror(EISDIR)) + " [isdir]\n");
  EXPECT_EQ(result.status, 1);
}

// Standard output that cannot be written ends the run with an Io failure at
// the first report line, before "./rform" is written.
TEST_F(RunSequence, UnwritableStandardOutputIsAnIoFailure) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  const std::string expected = "unhandled exception: Io: flushOut \"<stdout>\" failed with SysErr: " +
                               std::string(std::strerror(ENOSPC)) + " [nospc]\n";
  RunResult result = dir.run_with_stdout("/dev/full");
  EXPECT_EQ(result.err, expected);
  EXPECT_EQ(result.status, 1);
  result = dir.run_with_stdout("/dev/full", {"17"});
  EXPECT_EQ(result.err, expected);
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(dir.exists("rform"));
}

TEST(RunSequenceFailures, UnwritableStandardOutputStopsBeforeTheNextPhase) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  CaseDir dir;
  dir.write_declarations(std::string(kDeclarations) + "~\n");
  dir.write_policy("true");
  RunResult result = dir.run_with_stdout("/dev/full");
  EXPECT_EQ(result.err, "unhandled exception: Io: flushOut \"<stdout>\" failed with SysErr: " +
                            std::string(std::strerror(ENOSPC)) + " [nospc]\n");
  EXPECT_EQ(result.status, 1);
}

} // namespace
} // namespace hipaa::cli
