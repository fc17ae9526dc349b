#include "check/check_support.hpp"
#include "check/modes.hpp"

namespace hipaa::testing {
namespace {

const Sort kP = Sort::named("principal");
const Sort kInt = Sort::integer();

const Signature& signature() {
  static const Signature sig = {
      sort_entry("principal"),
      pred_entry("member", PredClass::Db, {outp(kP)}, table("members", {"who"})),
      pred_entry("knows", PredClass::Db, {in(kP), outp(kP)}, table("knows", {"a", "b"})),
      pred_entry("score", PredClass::Db, {outp(kP), outp(kInt)}, table("scores", {"who", "n"})),
      pred_entry("echo", PredClass::Db, {outp(kP), in(kP)}, table("echo", {"a", "b"})),
      pred_entry("less", PredClass::Sql, {in(kInt), in(kInt)}),
      pred_entry("trusted", PredClass::Subj, {in(kP)}),
      pred_entry("rank", PredClass::Eval, {in(kP), outp(kInt)}),
      cons_entry("alice", ConsClass::Sym, {}, kP),
      cons_entry("boss", ConsClass::Sym, {kP}, kP),
      cons_entry("weight", ConsClass::Eval, {kP}, kInt),
      cons_entry("plus", ConsClass::Sql, {kInt, kInt}, kInt),
  };
  return sig;
}

Outcome check(const FormulaPtr& formula, const GroundSet& ground = {}) {
  return outcome_of(
      [&](std::ostream& out) { mode_check_formula(*formula, ground, signature(), out); });
}

GroundSet grounds(const GuardPtr& guard, const GroundSet& ground,
                  const std::vector<std::string>& bound) {
  std::ostringstream out;
  return guard_grounds(*guard, ground, false, bound, signature(), out);
}

FormulaPtr all(BoundList bound, GuardPtr guard, FormulaPtr body = make_true()) {
  return make_all(std::nullopt, std::move(bound), {}, false, std::move(guard), std::move(body));
}

FormulaPtr compiled(BoundList bound, GuardPtr guard) {
  return make_ex(std::nullopt, std::move(bound), {}, true, std::move(guard), make_true());
}

GuardPtr g(std::string pred, TermList args) { return make_gatom(std::move(pred), std::move(args)); }

TEST(ModeCheck, GuardMustGroundEveryBoundVariable) {
  EXPECT_EQ(
      check(all({bv("x", kP)}, make_gtrue())),
      (Outcome{"NonGroundingGuard", "Bound variables: [x]  are not grounded by the guard true\n"}));
  // Listed in bound-list order and without their sorts.
  EXPECT_EQ(check(all({bv("x", kP), bv("y", kP), bv("z", kP)}, g("member", {v("y")}))),
            (Outcome{"NonGroundingGuard",
                     "Bound variables: [x] [z]  are not grounded by the guard (member y)\n"}));
  EXPECT_EQ(check(all({bv("x", kP), bv("y", kP)},
                      make_gand({g("member", {v("x")}), g("knows", {v("x"), v("y")})}))),
            passed());
}

TEST(ModeCheck, InputArgumentsMustBeGroundOnEntry) {
  EXPECT_EQ(check(all({bv("x", kP), bv("n", kInt)}, g("rank", {v("x"), v("n")}))),
            (Outcome{"InputNotGround", "Term x in input mode is not ground\n"}));
  // Output arguments ground variables for the following conjuncts only.
  EXPECT_EQ(check(all({bv("x", kP), bv("y", kP)},
                      make_gand({g("knows", {v("x"), v("y")}), g("member", {v("x")})}))),
            (Outcome{"InputNotGround", "Term x in input mode is not ground\n"}));
  EXPECT_EQ(check(all({bv("x", kP)}, g("echo", {v("x"), c("boss", {v("x")})}))),
            (Outcome{"InputNotGround", "Term (boss x) in input mode is not ground\n"}));
}

TEST(ModeCheck, InputNotGroundIsReportedAsSoonAsItsArgumentIsReached) {
  // The input argument comes first: reported before the output argument's fault.
  EXPECT_EQ(check(all({bv("x", kP), bv("y", kP)}, g("knows", {v("x"), c("boss", {v("y")})}))),
            (Outcome{"InputNotGround", "Term x in input mode is not ground\n"}));
  // The output argument comes first: its fault is reported.
  EXPECT_EQ(check(all({bv("x", kP), bv("n", kInt)}, g("score", {v("x"), c("weight", {v("x")})}))),
            (Outcome{"OutputUngroundUnderEval",
                     "Variable x in ouput term (weight x) appears under SQL or EVAL constructor, "
                     "but is not ground\n"}));
}

TEST(ModeCheck, OutputVariablesBelowEvaluatedConstructorsMustBeGround) {
  EXPECT_EQ(check(all({bv("x", kP)}, g("score", {v("x"), c("plus", {make_int(1), v("n")})}))),
            (Outcome{"OutputUngroundUnderEval",
                     "Variable n in ouput term (plus 1 n) appears under SQL or EVAL constructor, "
                     "but is not ground\n"}));
  // Below SYM constructors only, variables receive values.
  EXPECT_EQ(check(all({bv("x", kP)}, g("member", {c("boss", {c("boss", {v("x")})})}))), passed());
  // Ground from an enclosing quantifier is enough.
  EXPECT_EQ(check(all({bv("x", kP)}, g("score", {v("x"), c("weight", {v("o")})})), {"o"}),
            passed());
}

TEST(ModeCheck, DisjunctionsGroundWhatEveryDisjunctGrounds) {
  EXPECT_EQ(check(all({bv("x", kP), bv("y", kP)},
                      make_gor({g("knows", {c("alice"), v("x")}),
                                make_gand({g("member", {v("y")}), g("member", {v("x")})})}))),
            (Outcome{"NonGroundingGuard",
                     "Bound variables: [y]  are not grounded by the guard (or (knows alice x) "
                     "(and (member y) (member x)))\n"}));
  EXPECT_EQ(check(all({bv("x", kP)}, make_gor({}))), passed());
  // Only the quantifier's own variables survive a disjunction.
  EXPECT_EQ(
      grounds(make_gor({g("score", {v("x"), v("n")}), g("score", {v("x"), v("n")})}), {"a"}, {"x"}),
      (GroundSet{"a", "x"}));
}

TEST(ModeCheck, DisjunctionsKeepNoGuardLocalVariables) {
  // w is grounded by both disjuncts but is local to the existential, not the
  // quantifier's own, so the following input use of w is not ground.
  EXPECT_EQ(check(all({bv("x", kP)},
                      make_gex({bv("w", kP)},
                               make_gand({make_gor({g("member", {v("w")}), g("member", {v("w")})}),
                                          g("knows", {v("w"), v("x")})})))),
            (Outcome{"InputNotGround", "Term w in input mode is not ground\n"}));
}

TEST(ModeCheck, ConjunctionsThreadTheGroundSet) {
  EXPECT_EQ(grounds(make_gand({g("member", {v("x")}), g("score", {v("y"), v("n")}),
                               g("knows", {v("a"), v("x")})}),
                    {"a"}, {"x"}),
            (GroundSet{"a", "x", "y", "n"}));
}

TEST(ModeCheck, GuardExistentialVariablesAreLocal) {
  EXPECT_EQ(
      check(all({bv("x", kP)}, make_gex({bv("w", kP), bv("u", kP)}, g("knows", {v("w"), v("x")})))),
      (Outcome{"InputNotGround", "Term w in input mode is not ground\n"}));
  // w need not be grounded, and is no longer ground after the existential.
  EXPECT_EQ(check(all({bv("x", kP)}, make_gex({bv("w", kP)}, g("member", {v("x")})))), passed());
  EXPECT_EQ(check(all({bv("x", kP)}, make_gand({make_gex({bv("w", kP)}, g("member", {v("w")})),
                                                g("knows", {v("w"), v("x")})}))),
            (Outcome{"InputNotGround", "Term w in input mode is not ground\n"}));
}

TEST(ModeCheck, GuardPredicateClasses) {
  EXPECT_EQ(check(all({bv("x", kP)}, make_gand({g("member", {v("x")}), g("trusted", {v("x")})}))),
            (Outcome{"SubjInGuard", "SUBJ predicate: trusted occurs in guard\n"}));
  EXPECT_EQ(check(compiled({bv("x", kP)}, g("trusted", {v("x")}))),
            (Outcome{"SubjInGuard", "SUBJ predicate: trusted occurs in guard\n"}));
  EXPECT_EQ(
      check(compiled({bv("n", kInt)}, g("rank", {c("alice"), v("n")}))),
      (Outcome{"EvalInCompileGuard", "EVAL predicate: rank occurs in guard marked COMPILE\n"}));
  EXPECT_EQ(check(all({bv("n", kInt)}, g("rank", {c("alice"), v("n")}))), passed());
  // Atoms outside guards are not examined.
  EXPECT_EQ(check(all({bv("x", kP)}, g("member", {v("x")}),
                      make_atom(std::nullopt, "trusted", {v("zz")}))),
            passed());
}

TEST(ModeCheck, CompileGuardsKeepNonSqlConstructorsGroundOutsideTheGuard) {
  // x is ground after the first conjunct but is the quantifier's own.
  EXPECT_EQ(check(compiled(
                {bv("x", kP), bv("y", kP)},
                make_gand({g("member", {v("x")}), g("knows", {c("boss", {v("x")}), v("y")})}))),
            (Outcome{"CompileUngroundUnderNonSQL",
                     "Variable x in term (boss x) appears in COMPILE guard under non-SQL "
                     "constructor, but is not ground outside the guard\n"}));
  // An enclosing quantifier's variable is fine.
  EXPECT_EQ(check(compiled({bv("y", kP)}, g("knows", {c("boss", {v("o")}), v("y")})), {"o"}),
            passed());
  // SQL constructors and the top of an argument are left to the query.
  EXPECT_EQ(check(compiled({bv("x", kP), bv("n", kInt)},
                           make_gand({g("score", {v("x"), v("n")}),
                                      g("less", {c("plus", {v("n"), make_int(1)}), v("n")})}))),
            passed());
  // Checked before the modes of the same atom.
  EXPECT_EQ(check(compiled({bv("x", kP), bv("y", kP)}, g("knows", {v("y"), c("boss", {v("x")})}))),
            (Outcome{"CompileUngroundUnderNonSQL",
                     "Variable x in term (boss x) appears in COMPILE guard under non-SQL "
                     "constructor, but is not ground outside the guard\n"}));
}

TEST(ModeCheck, CompileMarkCoversOnlyItsOwnGuard) {
  // The outer guard is compiled, the inner one is not: EVAL is fine inside.
  const FormulaPtr inner = all({bv("n", kInt)}, g("rank", {v("x"), v("n")}));
  EXPECT_EQ(check(make_ex(std::nullopt, {bv("x", kP)}, {}, true, g("member", {v("x")}), inner)),
            passed());
  // Nested guard atoms under GAnd, GOr and GEx are all held to the mark.
  EXPECT_EQ(check(compiled({bv("x", kP)},
                           make_gand({g("member", {v("x")}),
                                      make_gex({bv("w", kP)},
                                               make_gor({g("knows", {v("x"), v("w")}),
                                                         g("rank", {v("x"), make_int(1)})}))}))),
            (Outcome{"EvalInCompileGuard", "EVAL predicate: rank occurs in guard marked COMPILE\n"}));
}

TEST(ModeCheck, NestedQuantifiersSeeOuterVariablesAsGround) {
  const FormulaPtr inner =
      make_ex(std::nullopt, {bv("y", kP)}, {}, false, g("knows", {v("x"), v("y")}), make_true());
  EXPECT_EQ(check(all({bv("x", kP)}, g("member", {v("x")}), inner)), passed());
  EXPECT_EQ(check(all({bv("z", kP)}, g("member", {v("z")}), inner)),
            (Outcome{"InputNotGround", "Term x in input mode is not ground\n"}));
}

TEST(ModeCheck, MembersAreCheckedFirstToLast) {
  const FormulaPtr first = all({bv("x", kP)}, make_gtrue());
  const FormulaPtr second = all({bv("y", kP)}, g("trusted", {v("y")}));
  EXPECT_EQ(
      check(make_or(std::nullopt, {make_true(), first, second})),
      (Outcome{"NonGroundingGuard", "Bound variables: [x]  are not grounded by the guard true\n"}));
  EXPECT_EQ(check(make_and(std::nullopt, {second, first})),
            (Outcome{"SubjInGuard", "SUBJ predicate: trusted occurs in guard\n"}));
}

TEST(ModeCheck, ConditionsSortCheckingExcludes) {
  EXPECT_EQ(check(all({bv("x", kP)}, g("nosuch", {v("x")}))),
            (Outcome{"ModeCheckInternal",
                     "Mode check: Undeclared/non-predicate: nosuch used as predicate\n"}));
  EXPECT_EQ(check(all({bv("x", kP)}, g("alice", {v("x")}))),
            (Outcome{"ModeCheckInternal",
                     "Mode check: Undeclared/non-predicate: alice used as predicate\n"}));
  EXPECT_EQ(
      check(all({bv("x", kP)}, g("member", {c("nobody", {v("x")})}))),
      (Outcome{"ModeCheckInternal", "Undeclared/non-constructor: nobody used as constructor\n"}));
  EXPECT_EQ(check(all({bv("x", kP)}, g("member", {v("x"), v("x")}))),
            (Outcome{"ModeCheckInternal", ""}));
}

TEST(ModeCheck, TermWalksDirectly) {
  const auto output = [](const TermPtr& term, const GroundSet& ground) {
    return outcome_of(
        [&](std::ostream& out) { check_output_term(*term, signature(), ground, out); });
  };
  const auto compile = [](const TermPtr& term, const GroundSet& ground) {
    return outcome_of(
        [&](std::ostream& out) { check_compile_term(*term, signature(), ground, out); });
  };
  // Once below an evaluated constructor, a SYM constructor does not lift the flag.
  EXPECT_EQ(output(c("weight", {c("boss", {v("x")})}), {}).failure, "OutputUngroundUnderEval");
  EXPECT_EQ(output(c("weight", {c("boss", {v("x")})}), {"x"}), passed());
  // SQL constructors leave the compile flag as it is; SYM sets it.
  EXPECT_EQ(compile(c("plus", {v("n"), make_int(2)}), {}), passed());
  EXPECT_EQ(compile(c("weight", {c("boss", {v("x")})}), {}).failure, "CompileUngroundUnderNonSQL");
  EXPECT_EQ(compile(make_str("s"), {}), passed());
}

} // namespace
} // namespace hipaa::testing
