#include "check/check_support.hpp"
#include "check/scope.hpp"
#include "logic/printer.hpp"

namespace hipaa::testing {
namespace {

struct Scoped {
  Outcome outcome;
  std::string text; // the rewritten formula, printed
  FormulaPtr formula;
};

Scoped scope(const FormulaPtr& formula) {
  Scoped result;
  result.outcome = outcome_of([&](std::ostream& out) {
    result.formula = scope_formula(formula, {}, out);
    result.text = print_formula(*result.formula);
  });
  return result;
}

FormulaPtr all(BoundList bound, GuardPtr guard, FormulaPtr body, ExclusionList ex = {}) {
  return make_all(std::nullopt, std::move(bound), std::move(ex), false, std::move(guard),
                  std::move(body));
}

TEST(Scope, BoundConstantsBecomeVariablesInGuardAndBody) {
  const Scoped s = scope(all({bv("x", named("p"))}, make_gatom("g", {c("x"), c("k")}),
                             make_atom(std::nullopt, "b", {c("f", {c("x")}), c("y")})));
  ASSERT_EQ(s.outcome, passed());
  const auto& q = *s.formula->as<Quantified>();
  EXPECT_TRUE(q.guard->as<GAtom>()->args[0]->is<VarTerm>());
  EXPECT_TRUE(q.guard->as<GAtom>()->args[1]->is<AppTerm>());
  const auto& body_args = q.body->as<Atom>()->args;
  EXPECT_TRUE(body_args[0]->as<AppTerm>()->args[0]->is<VarTerm>());
  EXPECT_TRUE(body_args[1]->is<AppTerm>());
  EXPECT_EQ(q.bound[0].sort, named("p"));
}

TEST(Scope, ConstantsOutsideTheQuantifierAndInItsExclusionsStayConstants) {
  const FormulaPtr inner = all({bv("x")}, make_gatom("g", {c("x")}), make_true(), {{c("x")}});
  const Scoped s = scope(make_and(std::nullopt, {inner, make_atom(std::nullopt, "b", {c("x")})}));
  ASSERT_EQ(s.outcome, passed());
  const auto& members = s.formula->as<And>()->conjuncts;
  const auto& q = *members[0]->as<Quantified>();
  EXPECT_TRUE(q.exclusions[0][0]->is<AppTerm>());
  EXPECT_TRUE(q.guard->as<GAtom>()->args[0]->is<VarTerm>());
  EXPECT_TRUE(members[1]->as<Atom>()->args[0]->is<AppTerm>());
}

TEST(Scope, OuterVariablesAreVisibleInNestedExclusionsAndGuardExistentials) {
  const FormulaPtr nested =
      all({bv("y")}, make_gex({bv("z")}, make_gatom("g", {c("x"), c("y"), c("z")})), make_true(),
          {{c("x")}});
  const Scoped s = scope(all({bv("x")}, make_gatom("h", {c("x")}), nested));
  ASSERT_EQ(s.outcome, passed());
  const auto& q = *s.formula->as<Quantified>()->body->as<Quantified>();
  EXPECT_TRUE(q.exclusions[0][0]->is<VarTerm>());
  const auto& args = q.guard->as<GEx>()->guard->as<GAtom>()->args;
  for (const TermPtr& arg : args)
    EXPECT_TRUE(arg->is<VarTerm>());
}

TEST(Scope, PreservesNamesMarksAndWrittenSorts) {
  const FormulaPtr f =
      make_or("top", {make_true("t"), make_ex("q", {bv("m", named("msg")), bv("n")}, {}, true,
                                              make_gatom("g", {c("m"), c("n")}), make_false())});
  const Scoped s = scope(f);
  ASSERT_EQ(s.outcome, passed());
  EXPECT_EQ(s.text, "(<top> or (<t> true) (<q> ex [m: msg] [n] COMPILE (g m n) false))");
}

TEST(Scope, RebindingIsRejectedInNestedQuantifiersListsAndGuards) {
  const Outcome twice{"DuplicateBinding", "Error: Variable x is bound twice in the same scope\n"};
  EXPECT_EQ(scope(all({bv("x")}, make_gatom("g", {c("x")}),
                      make_ex(std::nullopt, {bv("x")}, {}, false, make_gtrue(), make_true())))
                .outcome,
            twice);
  EXPECT_EQ(scope(all({bv("x"), bv("x")}, make_gtrue(), make_true())).outcome, twice);
  EXPECT_EQ(scope(all({bv("x")}, make_gex({bv("x")}, make_gtrue()), make_true())).outcome, twice);
}

TEST(Scope, SiblingsMayRebindTheSameName) {
  const FormulaPtr q = all({bv("x")}, make_gatom("g", {c("x")}), make_true());
  EXPECT_EQ(scope(make_and(std::nullopt, {q, q})).outcome, passed());
}

TEST(Scope, BoundVariableAppliedToArguments) {
  const FormulaPtr body = make_atom(std::nullopt, "b", {c("f", {c("x", {c("k"), make_int(-3)})})});
  EXPECT_EQ(scope(all({bv("x")}, make_gtrue(), body)).outcome,
            (Outcome{"VarAsConstructor", "Error: In term (x k ~3) x is a bound variable\n"}));
}

TEST(Scope, SiblingNameClashes) {
  // Different kinds of members clash all the same; unnamed members never do.
  const FormulaPtr clash = make_and(
      std::nullopt, {make_true(), make_atom("a", "p", {}), make_true(),
                     all({bv("x")}, make_gtrue(), make_true(), {}), make_atom("b", "p", {}),
                     make_or("a", {make_true(), make_false()}), make_atom("b", "q", {})});
  EXPECT_EQ(scope(clash).outcome,
            (Outcome{"DuplicateSiblingName", "Name <a> appears twice among siblings\n"}));
  // Names in different nodes or at different depths may repeat.
  EXPECT_EQ(scope(make_or("a", {make_true("a"), make_and("b", {make_true("a"), make_true("b")})}))
                .outcome,
            passed());
}

TEST(Scope, SiblingClashIsReportedBeforeErrorsInsideMembers) {
  const FormulaPtr bad_member = all({bv("x"), bv("x")}, make_gtrue(), make_true());
  EXPECT_EQ(scope(make_or(std::nullopt, {bad_member, make_true("n"), make_false("n")})).outcome,
            (Outcome{"DuplicateSiblingName", "Name <n> appears twice among siblings\n"}));
}

TEST(Scope, ReportsTheFirstErrorInOrderExclusionsGuardBody) {
  // The binding check precedes the exclusion list, which precedes the guard.
  const FormulaPtr q = make_all(std::nullopt, {bv("x")}, {{c("y", {c("a")})}}, false,
                                make_gatom("g", {c("x", {c("b")})}), make_true());
  EXPECT_EQ(scope(all({bv("y")}, make_gtrue(), q)).outcome,
            (Outcome{"VarAsConstructor", "Error: In term (y a) y is a bound variable\n"}));
}

TEST(Scope, UnchangedTermsAreShared) {
  const TermPtr constant = c("f", {c("k"), make_str("s")});
  std::ostringstream out;
  const TermList scoped = scope_terms({constant}, {"x"}, out);
  EXPECT_EQ(scoped[0], constant);
}

} // namespace
} // namespace hipaa::testing
