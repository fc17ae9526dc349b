#include "reduce/substitution.hpp"
#include "reduce/fixture.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace hipaa {
namespace {

using namespace hipaa::testing;

// Evaluates "plus" and "prompt" like the case study and logs every call.
class RecordingScenario : public Scenario {
public:
  void resolve_eval_pred(const std::string&, const TermList&, Continuation) override {}
  TermPtr eval_term(const std::string& name, const TermList& args) override {
    calls.push_back(print_atom_text(name, args));
    if (name == "prompt") return make_int(5);
    const auto& day = args.at(0)->as<DateTerm>()->value;
    return make_date(date_plus_days(day, args.at(1)->as<IntTerm>()->value));
  }
  std::vector<std::string> calls;
};

class SubstitutionTest : public ::testing::Test {
protected:
  Signature signature = test_signature();
  SignatureIndex index{signature};
  RecordingScenario scenario;
  std::ostringstream out;
  SubstEnv env{index, scenario, out};

  std::string subst_text(const TermPtr& term, const Substitution& sigma) {
    return print_term(*subst_simplify(term, sigma, env));
  }
};

TEST_F(SubstitutionTest, VariablesTakeTheirFirstBinding) {
  Substitution sigma{{"x", app("alice")}, {"x", app("bob")}};
  EXPECT_EQ(subst_text(var("x"), sigma), "alice");
  EXPECT_EQ(subst_text(var("y"), sigma), "y");
  EXPECT_EQ(subst_text(app("boss", {var("x")}), sigma), "(boss alice)");
}

TEST_F(SubstitutionTest, ClosedEvaluatedApplicationsAreEvaluated) {
  TermPtr term = app("plus", {date("2010:01:01"), app("prompt")});
  EXPECT_EQ(subst_text(term, {}), "2010:01:06:00:00:00");
  // Arguments first, then the application itself.
  EXPECT_EQ(scenario.calls, (std::vector<std::string>{"prompt", "(plus 2010:01:01:00:00:00 5)"}));
}

TEST_F(SubstitutionTest, OpenEvaluatedApplicationWaitsForItsVariables) {
  TermPtr term = app("plus", {var("t"), app("prompt")});
  TermPtr partly = subst_simplify(term, {{"other", app("alice")}}, env);
  EXPECT_EQ(print_term(*partly), "(plus t 5)");
  EXPECT_EQ(scenario.calls, (std::vector<std::string>{"prompt"}));
  TermPtr done = subst_simplify(partly, {{"t", date("2010:03:01")}}, env);
  EXPECT_EQ(print_term(*done), "2010:03:06:00:00:00");
}

TEST_F(SubstitutionTest, NonConstructorIsAnInternalError) {
  std::string name = failure_name([&] { subst_simplify(app("send"), {}, env); });
  EXPECT_EQ(name, "Impossible");
  EXPECT_EQ(out.str(), "In ReductionFn.subst_simplify, purported constructor send has "
                       "non-constructor declaration\n");
  out.str("");
  EXPECT_EQ(failure_name([&] { subst_simplify(app("nobody"), {}, env); }), "Impossible");
  EXPECT_EQ(out.str(), "In ReductionFn.subst_simplify, purported constructor nobody has "
                       "non-constructor declaration\n");
}

TEST_F(SubstitutionTest, QuantifierKeepsItsFrameAndSubstitutesTheRest) {
  // (<q> all [x: prin] {[y] [alice]} COMPILE (send x y "n") (trusted y))
  FormulaPtr formula = make_all("q", {{Sort::named("prin"), "x"}}, {{var("y")}, {app("alice")}},
                                true, make_gatom("send", {var("x"), var("y"), str("n")}),
                                make_atom(std::nullopt, "trusted", {var("y")}));
  FormulaPtr result = subst_formula(formula, {{"y", app("bob")}}, env);
  EXPECT_EQ(text(result),
            "(<q> all [x: prin] {[bob] [alice]} COMPILE (send x bob \"n\") (trusted bob))");
}

TEST_F(SubstitutionTest, NestedGuardEvaluatesOnlyClosedApplications) {
  // The inner guard's t2 is bound only when the inner quantifier runs; the
  // outer variable p is bound now.
  GuardPtr inner_guard = make_gand(
      {make_gatom("disclose-eval", {var("p"), var("q"), var("m"), var("t2")}),
       make_gatom("lessthan", {var("t2"), app("plus", {var("t2"), app("prompt")})}),
       make_gatom("lessthan", {var("t1"), app("plus", {var("t1"), make_int(1)})})});
  FormulaPtr inner = make_ex(std::nullopt, bound({"q", "m", "t2"}), {}, false, inner_guard,
                             make_true());
  FormulaPtr result =
      subst_formula(inner, {{"p", app("alice")}, {"t1", date("2010:01:01")}}, env);
  EXPECT_EQ(text(result),
            "(ex [q] [m] [t2] (and (disclose-eval alice q m t2) (lessthan t2 (plus t2 5)) "
            "(lessthan 2010:01:01:00:00:00 2010:01:02:00:00:00)) true)");
}

TEST_F(SubstitutionTest, ConnectiveShapesAreKept) {
  FormulaPtr formula = make_or("o", {make_and(std::nullopt, {make_atom("a", "trusted", {var("x")}),
                                                             make_false("f")}),
                                     make_true("t")});
  EXPECT_EQ(text(subst_formula(formula, {{"x", app("carol")}}, env)),
            "(<o> or (and (<a> trusted carol) (<f> false)) (<t> true))");
  GuardPtr guard = make_gor({make_gex(bound({"z"}), make_gatom("tagged", {var("x")})), make_gfalse()});
  EXPECT_EQ(print_guard(*subst_guard(guard, {{"x", str("s")}}, env)),
            "(or (ex [z] (tagged \"s\")) false)");
}

} // namespace
} // namespace hipaa
