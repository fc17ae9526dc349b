// Table queries run as prepared statements with bound values, and the rows
// a query has read answer the same query again.
#include "reduce/engine_fixture.hpp"

namespace hipaa::testing {
namespace {

FormulaPtr tagged(TermPtr tag) { return atom("tagged", {std::move(tag)}); }
FormulaPtr trusted(TermPtr who) { return atom("trusted", {std::move(who)}); }

// One instance of `body` for every row of tags holding "a".
FormulaPtr for_each_a(FormulaPtr body) {
  return make_all(std::nullopt, {}, {}, false, make_gatom("tagged", {str("a")}), std::move(body));
}

using MemoTest = EngineTest;

TEST_F(MemoTest, AQueryAskedAgainReadsOnWhereItStopped) {
  // tags holds "a" twice.  The ground atom stops at the first row ...
  EXPECT_EQ(reduce(tagged(str("a"))), "true");
  EXPECT_EQ(counter.rows, 1);
  // ... the guard needs both: the second is read from the same statement ...
  EXPECT_EQ(reduce(for_each_a(trusted(app("bob")))), "(and (trusted bob) (trusted bob))");
  EXPECT_EQ(counter.rows, 2);
  // ... and then the query is answered without SQLite.
  EXPECT_EQ(reduce(tagged(str("a"))), "true");
  EXPECT_EQ(reduce(for_each_a(make_false())), "false");
  EXPECT_EQ(counter.statements, 1);
  EXPECT_EQ(counter.rows, 2);
}

TEST_F(MemoTest, TheSameQueryInsideItselfRunsAlone) {
  FormulaPtr inner = make_ex(std::nullopt, {}, {}, false, make_gatom("tagged", {str("a")}),
                             trusted(app("carol")));
  EXPECT_EQ(reduce(for_each_a(inner)), "(and (or (trusted carol) (trusted carol)) "
                                       "(or (trusted carol) (trusted carol)))");
  // The outer statement, and one for the inner query under each outer row.
  EXPECT_EQ(counter.statements, 3);
}

class ManyRowsTest : public EngineTest {
protected:
  ManyRowsTest()
      : EngineTest("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100) "
                   "INSERT INTO send SELECT 'carol', 'bob', '\"n' || i || '\"' FROM n") {}
};

TEST_F(ManyRowsTest, AQueryTooLargeToKeepIsReadAgain) {
  FormulaPtr formula = make_ex(std::nullopt, bound({"n"}), {}, false,
                               make_gatom("send", {app("carol"), app("bob"), var("n")}),
                               trusted(var("n")));
  std::string once = reduce(formula);
  EXPECT_EQ(once.rfind("(or (trusted \"n100\") (trusted \"n99\") ", 0), 0u);
  EXPECT_EQ(reduce(formula), once);
  EXPECT_EQ(counter.statements, 2);
  EXPECT_EQ(counter.rows, 200);
}

// A decided quantifier ignores the rest of its guard's rows, but they are
// still read for the repairs they may report, until the query is known to
// report none.
TEST_F(ManyRowsTest, ADecidedQuantifierReadsOnUntilTheQueryIsKnownQuiet) {
  FormulaPtr formula = make_ex(std::nullopt, bound({"n"}), {}, false,
                               make_gatom("send", {app("carol"), app("bob"), var("n")}),
                               make_true());
  EXPECT_EQ(reduce(formula), "true");
  EXPECT_EQ(counter.rows, 100);
  EXPECT_EQ(reduce(formula), "true");
  EXPECT_EQ(counter.rows, 101);
  EXPECT_EQ(out.str(), "");
}

class RepairAfterDecisionTest : public EngineTest {
protected:
  RepairAfterDecisionTest()
      : EngineTest("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 70) "
                   "INSERT INTO send SELECT 'alice', 'bob', '\"n' || i || '\"' FROM n; "
                   "INSERT INTO send VALUES ('alice', '(boss alice', '\"r\"');") {}
};

TEST_F(RepairAfterDecisionTest, ARepairAfterTheDecidingRowIsReportedEveryTime) {
  FormulaPtr formula = make_ex(std::nullopt, bound({"x", "n"}), {}, false,
                               make_gatom("send", {app("alice"), var("x"), var("n")}),
                               make_true());
  EXPECT_EQ(reduce(formula), "true");
  std::string report = out.str();
  EXPECT_NE(report, "");
  EXPECT_EQ(reduce(formula), "true");
  EXPECT_EQ(out.str(), report + report);
  // Three rows of the shared log, seventy added, and the repaired one.
  EXPECT_EQ(counter.rows, 2 * 74);
}

class RepairedValueTest : public EngineTest {
protected:
  RepairedValueTest() : EngineTest("INSERT INTO send VALUES ('bob', '(boss alice', '\"r\"');") {}
};

TEST_F(RepairedValueTest, ARepairedValueIsReportedEveryTimeItIsRead) {
  FormulaPtr formula = make_ex(std::nullopt, bound({"x"}), {}, false,
                               make_gatom("send", {app("bob"), var("x"), str("r")}),
                               trusted(var("x")));
  EXPECT_EQ(reduce(formula), "(trusted (boss alice))");
  std::string report = out.str();
  EXPECT_NE(report, "");
  EXPECT_EQ(reduce(formula), "(trusted (boss alice))");
  EXPECT_EQ(out.str(), report + report);
}

using LiteralQueryTest = EngineTest;

TEST_F(LiteralQueryTest, AValueHoldingANulKeepsTheLiteralText) {
  // SQLite reads the text only up to the NUL, where the literal is left
  // open: the query does not prepare, and the report quotes it whole.
  std::string value("a\0b", 3);
  EXPECT_EQ(reduce_failure(atom("send", {app("alice"), app("bob"), str(value)})),
            "CannotPrepareQuery");
  EXPECT_EQ(out.str(), "Unable to prepare query: SELECT send.sender, send.receiver, send.note "
                       "FROM send WHERE (send.sender = 'alice') AND (send.receiver = 'bob') "
                       "AND (send.note = '\"" + value + "\"')\n");
}

} // namespace
} // namespace hipaa::testing
