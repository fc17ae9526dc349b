#include "reduce/engine_fixture.hpp"
#include "scenario/reduce_policy.hpp"

#include <algorithm>

namespace hipaa {
namespace {

using namespace hipaa::testing;

class ScenarioTest : public EngineTest {
protected:
  using EngineTest::EngineTest;

  std::string eval(const std::string& name, const TermList& args) {
    return print_term(*scenario.eval_term(name, args));
  }
  std::string resolve_failure(const std::string& pred, const TermList& args) {
    return failure_name([&] { solutions(pred, args); });
  }

  TermPtr d5 = date("2010:01:05");
  TermPtr d6 = date("2010:01:06");
};

using Strings = std::vector<std::string>;

TEST_F(ScenarioTest, EqualitiesCopyOneArgument) {
  EXPECT_EQ(solutions("eq_prin", {app("alice"), app("bob")}), (Strings{"alice alice", "none"}));
  EXPECT_EQ(solutions("eq_time", {d5, var("t")}),
            (Strings{"2010:01:05:00:00:00 2010:01:05:00:00:00", "none"}));
  EXPECT_EQ(solutions("eq_msg", {app("m1"), app("m1")}), (Strings{"m1 m1", "none"}));
  EXPECT_EQ(solutions("sub_attr", {app("phi"), app("name")}), (Strings{"name name", "none"}));
}

TEST_F(ScenarioTest, DateComparisons) {
  EXPECT_EQ(solutions("lessthan", {d5, d5}).size(), 2u);
  EXPECT_EQ(solutions("lessthan", {d5, d6}).size(), 2u);
  EXPECT_EQ(solutions("lessthan", {d6, d5}), (Strings{"none"}));
  EXPECT_EQ(solutions("time_in", {d5, d5, d5}), (Strings{"none"}));
  EXPECT_EQ(solutions("time_in", {d5, d6, d6}).size(), 2u);
  EXPECT_EQ(solutions("time_in", {d5, d6, d5}), (Strings{"none"}));
}

TEST_F(ScenarioTest, StopEndsTheEnumerationWithoutItsSignal) {
  EXPECT_EQ(solutions("eq_prin", {app("alice"), app("bob")}, 1), (Strings{"alice alice"}));
  EXPECT_EQ(solutions("purp_in", {app("m1"), var("p")}, 1), (Strings{"m1 healthcare-op-para-1-2"}));
}

TEST_F(ScenarioTest, AtomsNotUnderstood) {
  struct Case {
    const char* pred;
    TermList args;
    const char* text;
  };
  const std::vector<Case> cases = {
      {"lessthan", {d5, make_int(5)}, "(lessthan 2010:01:05:00:00:00 5)"},
      {"lessthan", {str("x"), d5}, "(lessthan \"x\" 2010:01:05:00:00:00)"},
      {"time_in", {d5, d5}, "(time_in 2010:01:05:00:00:00 2010:01:05:00:00:00)"},
      {"eq_prin", {app("alice")}, "(eq_prin alice)"},
      {"eq_prin", {app("alice"), app("bob"), app("carol")}, "(eq_prin alice bob carol)"},
      {"inrole", {app("alice"), var("r"), make_int(3)}, "(inrole alice r 3)"},
      {"purp_in", {app("m1")}, "(purp_in m1)"},
      {"frobnicate", {}, "frobnicate"},
  };
  for (const Case& c : cases) {
    out.str("");
    EXPECT_EQ(resolve_failure(c.pred, c.args), "BadInput") << c.text;
    EXPECT_EQ(out.str(), std::string("In HipaaScenario.resolve_eval_pred: Atom ") + c.text +
                             " not understood\n");
  }
}

TEST_F(ScenarioTest, EvaluatedConstructors) {
  EXPECT_EQ(eval("prompt", {}), "5");
  EXPECT_EQ(eval("prompt", {app("alice"), str("x")}), "5");
  EXPECT_EQ(eval("t_reasonable", {}), "30");
  EXPECT_EQ(eval("plus", {d5, make_int(0)}), "2010:01:05:00:00:00");
  EXPECT_EQ(eval("plus", {d5, make_int(1)}), "2010:01:06:00:00:00");
  EXPECT_EQ(eval("plus", {d5, make_int(-5)}), "2009:12:31:00:00:00");
}

TEST_F(ScenarioTest, ConstructorsNotUnderstood) {
  EXPECT_EQ(failure_name([&] { eval("plus", {make_int(5), make_int(5)}); }), "BadInput");
  EXPECT_EQ(failure_name([&] { eval("minus", {}); }), "BadInput");
  EXPECT_EQ(out.str(), "In HipaaScenario.eval_term: Term (plus 5 5) not understood\n"
                       "In HipaaScenario.eval_term: Term minus not understood\n");
}

TEST_F(ScenarioTest, AttributeRelations) {
  EXPECT_EQ(solutions("attr_in", {app("psychotherapy"), var("a")}),
            (Strings{"psychotherapy phi", "none"}));
  EXPECT_EQ(solutions("attr_in", {var("a"), app("phi")}),
            (Strings{"psychotherapy phi", "name phi", "none"}));
  // Only the message constrains the query; the rest is left to matching.
  EXPECT_EQ(solutions("hasattrof", {app("m1"), app("carol"), var("a")}),
            (Strings{"m1 bob psychotherapy", "m1 bob name", "none"}));
  EXPECT_EQ(counter.statements, 3);
}

TEST_F(ScenarioTest, DisclosuresComeFromTheLog) {
  EXPECT_EQ(solutions("disclose-eval", {app("alice"), var("q"), var("m"), var("t")}),
            (Strings{"alice bob m1 2010:01:05:00:00:00", "alice carol m2 2010:01:06:00:00:00",
                     "none"}));
  EXPECT_EQ(solutions("disclose-eval", {app("bob"), var("q"), var("m"), var("t")}),
            (Strings{"none"}));
}

TEST_F(ScenarioTest, RolesCarryPersonAndTimeFromTheAtom) {
  EXPECT_EQ(solutions("inrole", {app("alice"), var("r"), d5}),
            (Strings{"alice health-care-provider 2010:01:05:00:00:00",
                     "alice Health-care-provider 2010:01:05:00:00:00",
                     "alice nurse 2010:01:05:00:00:00", "none"}));
  EXPECT_EQ(solutions("inrole", {app("alice"), var("r"), d6}), (Strings{"none"}));
}

TEST_F(ScenarioTest, PurposesGeneralise) {
  EXPECT_EQ(solutions("purp_in", {app("m1"), var("p")}),
            (Strings{"m1 healthcare-op-para-1-2", "m1 Healthcare-op", "none"}));
  EXPECT_EQ(solutions("purp_in", {app("m2"), var("p")}),
            (Strings{"m2 marketing", "m2 suspicious-death-notification", "m2 law-enforcement",
                     "none"}));
}

TEST(GeneralPurpose, Table) {
  ScenarioConstants constants;
  const std::vector<std::pair<const char*, const char*>> table = {
      {"treatment", "Treatment"},
      {"healthcare-op", "Healthcare-op"},
      {"healthcare-op-para-1-2", "Healthcare-op"},
      {"payment", "Payment"},
      {"law-enforcement-relevant-id-or-location", "law-enforcement"},
      {"report-possible-crime-on-premises", "law-enforcement"},
      {"alert-of-crime-commission-location-victims-perpetrator", "law-enforcement"},
      {"suspicious-death-notification", "law-enforcement"},
  };
  for (const auto& [specific, general] : table) {
    const TermPtr* found = general_purpose(*make_app(specific), constants);
    ASSERT_NE(found, nullptr) << specific;
    EXPECT_EQ(print_term(**found), general);
  }
  EXPECT_EQ(general_purpose(*make_app("Treatment"), constants), nullptr);
  EXPECT_EQ(general_purpose(*make_app("treatment", {make_app("x")}), constants), nullptr);
  EXPECT_EQ(general_purpose(*make_str("treatment"), constants), nullptr);
}

TEST(RowWidth, EveryTableReportsItsRows) {
  const TermList row{make_app("a"), make_str("b")};
  const std::vector<std::pair<const TableShape*, const char*>> reports = {
      {&kAttrIn, "Unexpected output from attr_in_db table: (attr_in_db a \"b\")\n"},
      {&kHasAttrOf, "Unexpected output from hasattrof_db table: (hasattrof_db a \"b\")\n"},
      {&kDisclose, "Unexpected output from disclose table: (disclose a \"b\")\n"},
      {&kInRole, "Unexpected output from inrole_db table: (inrole_db a \"b\")\n"},
      {&kPurpIn, "Unexpected output from subj_purp_in table: (purp_in a \"b\")\n"},
  };
  for (const auto& [shape, report] : reports) {
    std::ostringstream out;
    EXPECT_EQ(failure_name([&] { require_row_width(row, *shape, out); }), "Impossible");
    EXPECT_EQ(out.str(), report);
  }
  std::ostringstream quiet;
  require_row_width({make_int(1), make_int(2), make_int(3)}, kInRole, quiet);
  EXPECT_EQ(quiet.str(), "");
}

using ScenarioReductionTest = ScenarioTest;

TEST_F(ScenarioReductionTest, GeneralisedRolesAndPurposesDecideAtoms) {
  EXPECT_EQ(reduce(atom("inrole", {app("alice"), app("Health-care-provider"), d5})), "true");
  EXPECT_EQ(reduce(atom("inrole", {app("bob"), app("Health-care-provider"), d5})), "false");
  EXPECT_EQ(reduce(atom("purp_in", {app("m1"), app("Healthcare-op")})), "true");
  EXPECT_EQ(reduce(atom("purp_in", {app("m1"), app("Treatment")})), "false");
  EXPECT_EQ(reduce(atom("hasattrof", {app("m1"), app("bob"), app("name")})), "true");
  EXPECT_EQ(reduce(atom("attr_in", {app("name"), app("psychotherapy")})), "false");
}

TEST_F(ScenarioReductionTest, ReducePolicyRunsTheWholeReduction) {
  // Every disclosure by alice goes to a nurse at its time, or stays open.
  GuardPtr guard = make_gatom("disclose-eval", {app("alice"), var("q"), var("m"), var("t")});
  FormulaPtr body = make_or(std::nullopt, {atom("inrole", {var("q"), app("nurse"), var("t")}),
                                           atom("trusted", {var("q")})});
  FormulaPtr policy = make_all("p", bound({"q", "m", "t"}), {}, false, guard, body);
  FormulaPtr residual = reduce_policy(policy, signature, connection, out);
  EXPECT_EQ(print_formula(*residual),
            "(<p> and (trusted bob) (trusted carol) (<p> all [q] [m] [t] "
            "{[bob m1 2010:01:05:00:00:00] [carol m2 2010:01:06:00:00:00]} "
            "(disclose-eval alice q m t) (or (inrole q nurse t) (trusted q))))");
  EXPECT_EQ(out.str(), "");
}

class MissingRelationTest : public ScenarioTest {
protected:
  MissingRelationTest() : ScenarioTest("DROP TABLE purp_in_db;") {}
};

TEST_F(MissingRelationTest, MissingTableCannotBePrepared) {
  EXPECT_EQ(resolve_failure("purp_in", {app("m1"), var("p")}), "CannotPrepareQuery");
  EXPECT_EQ(out.str(), "Unable to prepare query: SELECT purp_in_db.info, purp_in_db.purpose, "
                       "purp_in_db.note FROM purp_in_db WHERE (purp_in_db.info = 'm1')\n");
}

} // namespace
} // namespace hipaa

namespace hipaa {
namespace {

using namespace hipaa::testing;

// "plus" needs a date and an integer value: it cannot fail exactly when no
// constructor but the scenario's own evaluated ones has one of those sorts.
TEST(ScenarioTotality, PlusIsTotalOnlyOverValues) {
  TempDatabase db(kAuditLog);
  db::Connection connection = db.connect();
  std::ostringstream out;
  struct Case {
    const char* what;
    std::function<void(Signature&)> change;
    bool plus_total;
  };
  const std::vector<Case> cases = {
      {"the test vocabulary", [](Signature&) {}, true},
      {"a date symbol", [](Signature& s) { s.push_back({cons(ConsClass::Sym, {}, Sort::date()), "someday"}); },
       false},
      {"an int symbol", [](Signature& s) { s.push_back({cons(ConsClass::Sym, {}, Sort::integer()), "ten"}); },
       false},
      {"another int constructor",
       [](Signature& s) { s.push_back({cons(ConsClass::Eval, {}, Sort::integer()), "mystery"}); }, false},
      {"plus over two ints",
       [](Signature& s) {
         s.insert(s.begin(), {cons(ConsClass::Eval, {Sort::integer(), Sort::integer()}, Sort::date()), "plus"});
       },
       false},
  };
  for (const Case& c : cases) {
    Signature signature = test_signature();
    c.change(signature);
    HipaaScenario scenario(signature, connection, out);
    EXPECT_EQ(scenario.eval_term_total("plus"), c.plus_total) << c.what;
    EXPECT_TRUE(scenario.eval_term_total("prompt")) << c.what;
    EXPECT_FALSE(scenario.eval_term_total("mystery")) << c.what;
  }
}

} // namespace
} // namespace hipaa
