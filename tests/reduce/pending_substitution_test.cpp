// Instances are reduced under a pending substitution; what they reduce to,
// and the failures of evaluated constructors, are those of substituting the
// whole instance first.
#include "reduce/engine_fixture.hpp"

namespace hipaa::testing {
namespace {

Signature signature_with_mystery() {
  Signature signature = test_signature();
  signature.push_back({cons(ConsClass::Eval, {Sort::named("prin")}, Sort::string()), "mystery"});
  signature.push_back({plain_pred(PredClass::Subj, {Sort::string()}), "noted"});
  return signature;
}

class PendingSubstitutionTest : public EngineTest {
protected:
  PendingSubstitutionTest() : EngineTest(signature_with_mystery(), "") {}
};

GuardPtr alice_sends(const char* to, const char* note) {
  return make_gatom("send", {app("alice"), var(to), var(note)});
}

TEST_F(PendingSubstitutionTest, UnreachedConjunctStillReportsItsEvaluation) {
  // The first conjunct is false, so the second is never reduced; its
  // evaluated application is still computed, as substituting the whole
  // instance computes it, and the scenario does not understand it.
  FormulaPtr body = make_and(std::nullopt, {make_atom(std::nullopt, "tagged", {str("zzz")}),
                                            make_atom(std::nullopt, "noted",
                                                      {app("mystery", {var("x")})})});
  FormulaPtr formula = make_all(std::nullopt, bound({"x", "y"}), {}, false, alice_sends("x", "y"),
                                body);
  std::string failure = failure_name([&] { engine.reduce_formula_internal(formula); });
  EXPECT_EQ(failure, "BadInput");
  EXPECT_EQ(out.str(), "In HipaaScenario.eval_term: Term (mystery bob) not understood\n");
  // The guard's query ran; the instance failed before querying anything.
  EXPECT_EQ(counter.statements, 1);
}

TEST_F(PendingSubstitutionTest, ResidualNestedQuantifiersAreSubstituted) {
  FormulaPtr inner = make_ex("n", bound({"p", "m", "t"}), {{app("carol"), app("m1"), date("2010:01:01")}},
                             false,
                             make_gatom("disclose-eval", {var("x"), var("p"), var("m"), var("t")}),
                             make_atom(std::nullopt, "trusted", {var("x")}));
  FormulaPtr formula = make_all(std::nullopt, bound({"x", "y"}), {}, false, alice_sends("x", "y"),
                                inner);
  FormulaPtr residual = engine.reduce_formula_internal(formula);
  const std::string open_for = "{[carol m1 2010:01:01:00:00:00]} (disclose-eval ";
  EXPECT_EQ(print_formula(*residual),
            "(and (<n> ex [p] [m] [t] " + open_for + "bob p m t) (trusted bob)) "
            "(<n> ex [p] [m] [t] " + open_for + "carol p m t) (trusted carol)) "
            "(<n> ex [p] [m] [t] " + open_for + "bob p m t) (trusted bob)))");
  EXPECT_EQ(out.str(), "");
}

TEST_F(PendingSubstitutionTest, UndecidedAtomsCarryTheirSubstitutedArguments) {
  FormulaPtr body = make_or("o", {make_atom(std::nullopt, "trusted", {var("x")}),
                                  make_atom("t", "tagged", {str("a")})});
  FormulaPtr formula = make_all(std::nullopt, bound({"x", "y"}), {}, false, alice_sends("x", "y"),
                                make_and(std::nullopt, {make_atom(std::nullopt, "trusted",
                                                                  {app("boss", {var("x")})}),
                                                        body}));
  EXPECT_EQ(print_formula(*engine.reduce_formula_internal(formula)),
            "(and (trusted (boss bob)) (trusted (boss carol)) (trusted (boss bob)))");
}

} // namespace
} // namespace hipaa::testing
