#include "reduce/engine_fixture.hpp"

namespace hipaa {
namespace {

using namespace hipaa::testing;

FormulaPtr trusted(const TermPtr& who) { return atom("trusted", {who}); }
FormulaPtr send(TermPtr from, TermPtr to, TermPtr note) {
  return atom("send", {std::move(from), std::move(to), std::move(note)});
}
GuardPtr gsend(TermPtr from, TermPtr to, TermPtr note) {
  return make_gatom("send", {std::move(from), std::move(to), std::move(note)});
}
GuardPtr gdisclose(TermPtr from, TermPtr to, TermPtr msg, TermPtr time) {
  return make_gatom("disclose-eval", {std::move(from), std::move(to), std::move(msg), std::move(time)});
}

using ConnectivesTest = EngineTest;

TEST_F(ConnectivesTest, DecidedConjunctionsAndDisjunctionsKeepTheirNames) {
  FormulaPtr all_true = make_and("n", {send(app("alice"), app("bob"), str("hi")), make_true()});
  EXPECT_EQ(reduce(all_true), "(<n> true)");
  FormulaPtr one_open = make_and("n", {make_true(), make_atom("a", "trusted", {app("bob")})});
  EXPECT_EQ(reduce(one_open), "(<a> trusted bob)");
  FormulaPtr two_open = make_and("n", {trusted(app("bob")), make_true(), trusted(app("carol"))});
  EXPECT_EQ(reduce(two_open), "(<n> and (trusted bob) (trusted carol))");
  FormulaPtr all_false = make_or("o", {send(app("bob"), app("bob"), str("hi")), make_false()});
  EXPECT_EQ(reduce(all_false), "(<o> false)");
  FormulaPtr one_true = make_or("o", {trusted(app("bob")), send(app("bob"), app("carol"), str("x"))});
  EXPECT_EQ(reduce(one_true), "(<o> true)");
  FormulaPtr or_open = make_or("o", {make_false(), trusted(app("bob"))});
  EXPECT_EQ(reduce(or_open), "(trusted bob)");
  EXPECT_EQ(reduce(make_true("t")), "(<t> true)");
}

TEST_F(ConnectivesTest, NothingAfterAFalseConjunctIsQueried) {
  // ghost's table does not exist: querying it would fail.
  FormulaPtr formula = make_and("n", {send(app("alice"), app("alice"), str("zz")),
                                      atom("ghost", {app("alice")})});
  EXPECT_EQ(reduce(formula), "(<n> false)");
  EXPECT_EQ(counter.statements, 1);
  EXPECT_EQ(out.str(), "");
}

TEST_F(ConnectivesTest, SubjectiveAtomsStayWithoutDatabaseAccess) {
  EXPECT_EQ(reduce(make_atom("s", "trusted", {app("alice")})), "(<s> trusted alice)");
  EXPECT_EQ(counter.statements, 0);
}

using AtomTest = EngineTest;

TEST_F(AtomTest, GroundAtomIsTrueAtItsFirstRow) {
  EXPECT_EQ(reduce(make_atom("a", "tagged", {str("a")})), "(<a> true)");
  EXPECT_EQ(counter.rows, 1); // the second equal row is never read
}

TEST_F(AtomTest, GroundAtomWithoutRowIsFalse) {
  EXPECT_EQ(reduce(make_atom("a", "send", {app("carol"), app("bob"), str("hi")})), "(<a> false)");
  // A quote in a string value is doubled in the query and matches again.
  EXPECT_EQ(reduce(send(app("alice"), app("carol"), str("it's"))), "true");
}

TEST_F(AtomTest, GroundDiscloseEvalWithoutRowStaysOpen) {
  FormulaPtr absent = make_atom("d", "disclose-eval",
                                {app("alice"), app("carol"), app("m1"), date("2010:01:05")});
  EXPECT_EQ(reduce(absent),
            "(<d> disclose-eval alice carol m1 2010:01:05:00:00:00)");
  FormulaPtr present = atom("disclose-eval", {app("alice"), app("bob"), app("m1"), date("2010:01:05")});
  EXPECT_EQ(reduce(present), "true");
}

TEST_F(AtomTest, EvaluatedArgumentsOfATopLevelAtomAreEvaluated) {
  FormulaPtr compare = atom("lessthan", {date("2010:01:01"), app("plus", {date("2010:01:01"), make_int(1)})});
  EXPECT_EQ(reduce(compare), "true");
  FormulaPtr lookup = atom("visited", {app("alice"), app("plus", {date("2009:12:31"), make_int(1)})});
  EXPECT_EQ(reduce(lookup), "true");
}

TEST_F(AtomTest, UndeclaredPredicateIsAnInternalError) {
  EXPECT_EQ(reduce_failure(atom("nope", {})), "Impossible");
  EXPECT_EQ(out.str(),
            "In function ReductionFn.reduce_formula_internal: Purported predicate nopeis not a "
            "declared predicate\n");
}

TEST_F(AtomTest, SolutionWithBindingsForAFormulaAtomIsAnInternalError) {
  EXPECT_EQ(reduce_failure(send(var("x"), app("bob"), str("hi"))), "Impossible");
  EXPECT_EQ(out.str(), "In ReductionFn.check_ground_atom: found non-empty satisfying "
                       "susbtitution for atom: (send x bob \"hi\")\n");
}

// The statements SQLite is asked to run, as text with the bound values
// written in.
class QueryTextTest : public EngineTest {
protected:
  QueryTextTest() {
    sqlite3_trace_v2(connection.handle(), SQLITE_TRACE_STMT, &record, &texts);
  }
  static int record(unsigned, void* texts, void* statement, void*) {
    char* sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(statement));
    static_cast<std::vector<std::string>*>(texts)->push_back(sql);
    sqlite3_free(sql);
    return 0;
  }
  std::vector<std::string> texts;
};

TEST_F(QueryTextTest, ClosedArgumentsAreConstrainedInArgumentOrder) {
  reduce(make_all(std::nullopt, bound({"x", "y", "z"}), {}, false, gsend(var("x"), var("y"), var("z")),
                  make_true()));
  reduce(send(app("alice"), app("carol"), str("it's")));
  reduce(atom("inrole", {app("bob"), app("nurse"), date("2010:01:01")}));
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "SELECT send.sender, send.receiver, send.note FROM send",
                       "SELECT send.sender, send.receiver, send.note FROM send WHERE "
                       "(send.sender = 'alice') AND (send.receiver = 'carol') AND "
                       "(send.note = '\"it''s\"')",
                       "SELECT inrole_db.person, inrole_db.role, inrole_db.time FROM inrole_db "
                       "WHERE (inrole_db.person = 'bob') AND "
                       "(inrole_db.time = '2010:01:01:00:00:00')"}));
}

using QuantifierTest = EngineTest;

TEST_F(QuantifierTest, InstancesFollowRowOrderAndDuplicatesCountTwice) {
  FormulaPtr formula = make_all("q", bound({"x", "y"}), {}, false,
                                gsend(app("alice"), var("x"), var("y")), trusted(var("x")));
  EXPECT_EQ(reduce(formula), "(<q> and (trusted bob) (trusted carol) (trusted bob))");
}

TEST_F(QuantifierTest, ExcludedTuplesAreSkipped) {
  FormulaPtr formula = make_all("q", bound({"x", "y"}), {{app("carol"), str("it's")}}, false,
                                gsend(app("alice"), var("x"), var("y")), trusted(var("x")));
  EXPECT_EQ(reduce(formula), "(<q> and (trusted bob) (trusted bob))");
}

TEST_F(QuantifierTest, DecidedInstancesDecideTheQuantifier) {
  // Did everyone who sent to bob also send "x" to carol?  alice did not.
  FormulaPtr all = make_all("q", bound({"x", "y"}), {}, false, gsend(var("x"), app("bob"), var("y")),
                            send(var("x"), app("carol"), str("x")));
  EXPECT_EQ(reduce(all), "(<q> false)");
  FormulaPtr ex = make_ex("e", bound({"x", "y"}), {}, false, gsend(var("x"), app("carol"), var("y")),
                          send(var("x"), app("carol"), str("x")));
  EXPECT_EQ(reduce(ex), "(<e> true)");
  FormulaPtr none = make_ex("e", bound({"x", "y"}), {}, false, gsend(var("x"), app("carol"), var("y")),
                            make_false());
  EXPECT_EQ(reduce(none), "(<e> false)");
}

TEST_F(QuantifierTest, EmptyGuardDecidesByDefault) {
  GuardPtr nothing = gsend(app("carol"), var("x"), var("y"));
  EXPECT_EQ(reduce(make_all("q", bound({"x", "y"}), {}, false, nothing, trusted(var("x")))),
            "(<q> true)");
  EXPECT_EQ(reduce(make_ex("q", bound({"x", "y"}), {}, false, nothing, trusted(var("x")))),
            "(<q> false)");
  EXPECT_EQ(reduce(make_all("q", {}, {}, false, make_gfalse(), make_false())), "(<q> true)");
}

TEST_F(QuantifierTest, DiscloseEvalGuardLeavesAResidualQuantifier) {
  ExclusionList old{{app("dave"), app("m9"), date("2009:01:01")}};
  GuardPtr guard = gdisclose(app("alice"), var("q"), var("m"), var("t"));
  FormulaPtr all = make_all("r", bound({"q", "m", "t"}), old, true, guard, trusted(var("q")));
  EXPECT_EQ(reduce(all),
            "(<r> and (trusted bob) (trusted carol) (<r> all [q] [m] [t] "
            "{[bob m1 2010:01:05:00:00:00] [carol m2 2010:01:06:00:00:00] "
            "[dave m9 2009:01:01:00:00:00]} COMPILE (disclose-eval alice q m t) (trusted q)))");
  FormulaPtr ex = make_ex("r", bound({"q", "m", "t"}), {}, false, guard, trusted(var("q")));
  EXPECT_EQ(reduce(ex),
            "(<r> or (<r> ex [q] [m] [t] "
            "{[bob m1 2010:01:05:00:00:00] [carol m2 2010:01:06:00:00:00]} "
            "(disclose-eval alice q m t) (trusted q)) (trusted carol) (trusted bob))");
}

TEST_F(QuantifierTest, DiscloseEvalGuardWithoutRowsStillLeavesTheQuantifier) {
  GuardPtr guard = gdisclose(app("carol"), var("q"), var("m"), var("t"));
  FormulaPtr all = make_all(std::nullopt, bound({"q", "m", "t"}), {}, false, guard, trusted(var("q")));
  EXPECT_EQ(reduce(all), "(all [q] [m] [t] (disclose-eval carol q m t) (trusted q))");
}

TEST_F(QuantifierTest, DecidedQuantifierLeavesNoResidual) {
  GuardPtr guard = gdisclose(app("alice"), var("q"), var("m"), var("t"));
  FormulaPtr all = make_all("r", bound({"q", "m", "t"}), {}, false, guard, make_false());
  EXPECT_EQ(reduce(all), "(<r> false)");
}

TEST_F(QuantifierTest, GuardConnectivesEnumerateDepthFirst) {
  // (and (send alice x y) (or (send x carol z) true)) over x, z; y is local.
  GuardPtr guard = make_gex(bound({"y"}),
                            make_gand({gsend(app("alice"), var("x"), var("y")),
                                       make_gor({gsend(var("x"), app("carol"), var("z")),
                                                 make_gatom("send", {var("x"), app("alice"), var("z")})})}));
  FormulaPtr formula = make_all(std::nullopt, bound({"x", "z"}), {}, false, guard,
                                make_and(std::nullopt, {trusted(var("x")), atom("tagged", {var("z")})}));
  // bob sent "x" to carol; carol sent nothing; the second bob row repeats.
  EXPECT_EQ(reduce(formula), "false");
  FormulaPtr open = make_all(std::nullopt, bound({"x", "z"}), {}, false, guard, trusted(var("x")));
  EXPECT_EQ(reduce(open), "(and (trusted bob) (trusted bob))");
}

TEST_F(QuantifierTest, UnboundVariableEndsWithOption) {
  FormulaPtr formula = make_all(std::nullopt, bound({"x"}), {}, false, make_gtrue(), trusted(var("x")));
  EXPECT_EQ(reduce_failure(formula), "Option");
}

TEST_F(QuantifierTest, InnerEvaluatedApplicationWaitsForItsGuard) {
  // For every receiver of alice's messages, some disclosure to them within
  // a prompt delay: (plus t2 prompt) can only be evaluated once t2 is bound.
  GuardPtr inner_guard = make_gand({gdisclose(app("alice"), var("q"), var("m"), var("t2")),
                                    make_gatom("lessthan", {var("t2"), app("plus", {var("t2"), app("prompt")})})});
  FormulaPtr inner = make_ex(std::nullopt, bound({"q", "m", "t2"}), {}, false, inner_guard,
                             atom("eq_prin", {var("q"), var("x")}));
  FormulaPtr outer = make_all(std::nullopt, bound({"x", "y"}), {}, false,
                              gsend(app("alice"), var("x"), var("y")), inner);
  EXPECT_EQ(reduce(outer), "true");
  EXPECT_EQ(out.str(), "");
}

using ResolutionFailureTest = EngineTest;

TEST_F(ResolutionFailureTest, EachFailureWithItsReport) {
  struct Case {
    FormulaPtr formula;
    const char* failure;
    const char* report;
  };
  const std::vector<Case> cases = {
      {atom("ghost", {app("alice")}), "CannotPrepareQuery",
       "Unable to prepare query: SELECT missing_table.who FROM missing_table "
       "WHERE (missing_table.who = 'alice')\n"},
      // The report quotes the query as text, values written in and quotes
      // doubled, although the statement runs with the values bound.
      {atom("ghost", {str("it's")}), "CannotPrepareQuery",
       "Unable to prepare query: SELECT missing_table.who FROM missing_table "
       "WHERE (missing_table.who = '\"it''s\"')\n"},
      {atom("tableless", {app("alice")}), "BadDeclaration",
       "Bad/unfound declaration for purported DB predicate: tableless\n"},
      {atom("lopsided", {app("alice"), str("q")}), "UnexpectedUnequalLengths",
       "Unexpected unequal lengths of args: alice \"q\" and column names: sender\n"},
      {make_all(std::nullopt, {}, {}, false, make_gatom("trusted", {app("bob")}), make_true()),
       "Impossible",
       "In function ReductionFn.resolve_atom: Encountered subjective atom (trusted bob)\n"},
      {make_all(std::nullopt, {}, {}, false, make_gatom("nope", {}), make_true()), "Impossible",
       "In function ReductionFn.resolve_atom: Purported predicate nopeis not a declared "
       "predicate\n"},
  };
  for (const Case& c : cases) {
    out.str("");
    EXPECT_EQ(reduce_failure(c.formula), c.failure) << c.report;
    EXPECT_EQ(out.str(), c.report);
  }
}

class BadValueTest : public EngineTest {
protected:
  BadValueTest()
      : EngineTest("INSERT INTO tags VALUES ('(((');"
                   "INSERT INTO send VALUES ('m1', 'bob', '\"s\"');"
                   "INSERT INTO send VALUES ('prompt', 'carol', '\"s\"');"
                   "INSERT INTO visits VALUES ('X', '2010:01:01:00:00:00');") {}
};

TEST_F(BadValueTest, UnparseableStoredValue) {
  FormulaPtr formula = make_all(std::nullopt, bound({"t"}), {}, false,
                                make_gatom("tagged", {var("t")}), make_true());
  EXPECT_EQ(reduce_failure(formula), "UnparseableTerm");
  // The term parser's own report of the failed repair comes first.
  EXPECT_EQ(out.str(), "[1.20]: syntax error at EOF\n"
                       "Unparseable term: ((( obtained from database\n");
}

TEST_F(BadValueTest, StoredValueOfTheWrongSort) {
  FormulaPtr formula = send(app("m1"), app("bob"), str("s"));
  EXPECT_EQ(reduce_failure(formula), "SortClash");
  EXPECT_EQ(out.str(), "Sort clash on term: m1. Declared sort from signature: msg. Expected sort: prin.\n");
}

TEST_F(BadValueTest, StoredEvaluatedConstructor) {
  FormulaPtr formula = make_all(std::nullopt, bound({"x"}), {}, false,
                                gsend(var("x"), app("carol"), str("s")), make_true());
  EXPECT_EQ(reduce_failure(formula), "NonSymInValue");
  EXPECT_EQ(out.str(), "Non-sym constructorprompt appears in value\n");
}

TEST_F(BadValueTest, StoredUndeclaredConstant) {
  FormulaPtr formula = make_all(std::nullopt, bound({"x"}), {}, false,
                                make_gatom("visited", {var("x"), date("2010:01:01")}), make_true());
  EXPECT_EQ(reduce_failure(formula), "UndeclaredConstructor");
  EXPECT_EQ(out.str(), "Undeclared constructor: X\n");
}

class MissingValueTest : public EngineTest {
protected:
  MissingValueTest()
      : EngineTest("INSERT INTO visits VALUES (NULL, '2010:02:01:00:00:00');"
                   "INSERT INTO tags VALUES ('');") {}
};

// A missing value (NULL reads as the empty text) is not a term: it is never
// repaired into a made-up constant that might match.
TEST_F(MissingValueTest, NullAndEmptyStoredValuesAreUnparseable) {
  FormulaPtr visit = make_all(std::nullopt, bound({"x"}), {}, false,
                              make_gatom("visited", {var("x"), date("2010:02:01")}), make_true());
  EXPECT_EQ(reduce_failure(visit), "UnparseableTerm");
  EXPECT_EQ(out.str(), "Unparseable term:  obtained from database\n");
  out.str("");
  FormulaPtr tag = make_ex(std::nullopt, bound({"t"}), {}, false, make_gatom("tagged", {var("t")}),
                           make_false());
  EXPECT_EQ(reduce_failure(tag), "UnparseableTerm");
  EXPECT_EQ(out.str(), "Unparseable term:  obtained from database\n");
}

} // namespace
} // namespace hipaa
