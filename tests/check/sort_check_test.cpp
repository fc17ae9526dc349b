#include "check/check_support.hpp"
#include "check/sorts.hpp"
#include "logic/printer.hpp"

namespace hipaa::testing {
namespace {

const Signature& signature() {
  static const Signature sig = {
      sort_entry("principal"),
      sort_entry("msg"),
      pred_entry("send", PredClass::Db,
                 {outp(named("principal")), outp(named("principal")), outp(named("msg"))},
                 table("sends", {"a", "b", "c"})),
      pred_entry("age", PredClass::Eval, {in(named("principal")), outp(Sort::integer())}),
      pred_entry("says", PredClass::Subj, {in(Sort::string())}),
      pred_entry("anything", PredClass::Subj, {in(Sort::any())}),
      pred_entry("ready", PredClass::Subj, {}),
      cons_entry("alice", ConsClass::Sym, {}, named("principal")),
      cons_entry("mk", ConsClass::Sym, {Sort::string(), named("principal")}, named("msg")),
      cons_entry("len", ConsClass::Eval, {Sort::string()}, Sort::integer()),
      cons_entry("someone", ConsClass::Sym, {}, Sort::any()),
  };
  return sig;
}

struct Checked {
  Outcome outcome;
  std::string text; // the returned formula, printed
};

Checked check(const FormulaPtr& formula) {
  Checked result;
  result.outcome = outcome_of([&](std::ostream& out) {
    result.text = print_formula(*sort_check_formula(formula, {}, signature(), out));
  });
  return result;
}

FormulaPtr atom(std::string pred, TermList args) {
  return make_atom(std::nullopt, std::move(pred), std::move(args));
}

FormulaPtr all(BoundList bound, GuardPtr guard, FormulaPtr body, ExclusionList ex = {}) {
  return make_all(std::nullopt, std::move(bound), std::move(ex), false, std::move(guard),
                  std::move(body));
}

TEST(SortCheck, EveryBoundVariableGetsASort) {
  // y is given, x is inferred from its first use, z is never used.
  const FormulaPtr f =
      make_ex("q", {bv("x"), bv("y", named("msg")), bv("z")}, {}, true,
              make_gatom("send", {v("x"), c("alice"), v("y")}), atom("says", {make_str("hi")}));
  const Checked c1 = check(f);
  EXPECT_EQ(c1.outcome, passed());
  EXPECT_EQ(c1.text,
            "(<q> ex [x: principal] [y: msg] [z: any] COMPILE (send x alice y) (says \"hi\"))");
}

TEST(SortCheck, GuardExistentialsAreSortedToo) {
  const FormulaPtr f =
      all({bv("x")},
          make_gex({bv("w"), bv("u")},
                   make_gatom("send", {v("x"), v("w"), c("mk", {make_str("t"), v("x")})})),
          make_true());
  EXPECT_EQ(check(f).text,
            "(all [x: principal] (ex [w: principal] [u: any] (send x w (mk \"t\" x))) true)");
}

TEST(SortCheck, UndeclaredAndMisusedPredicates) {
  EXPECT_EQ(check(atom("nosuch", {})).outcome,
            (Outcome{"UndeclaredPredicate", "Undeclared predicate symbol: nosuch\n"}));
  EXPECT_EQ(check(atom("alice", {})).outcome,
            (Outcome{"UndeclaredPredicate", "Non-predicate: alice used as predicate\n"}));
  EXPECT_EQ(check(all({}, make_gatom("msg", {}), make_true())).outcome,
            (Outcome{"UndeclaredPredicate", "Non-predicate: msg used as predicate\n"}));
}

TEST(SortCheck, UndeclaredAndMisusedConstructors) {
  EXPECT_EQ(check(atom("says", {c("nosuch")})).outcome,
            (Outcome{"UndeclaredConstructor", "Undeclared constructor: nosuch\n"}));
  EXPECT_EQ(check(atom("says", {c("send")})).outcome,
            (Outcome{"UndeclaredConstructor", "Non-constructor: send used as constructor\n"}));
}

TEST(SortCheck, BoundListSortsMustBeDeclaredSorts) {
  EXPECT_EQ(
      check(all({bv("x", Sort::integer()), bv("y", named("role"))}, make_gtrue(), make_true()))
          .outcome,
      (Outcome{"UndeclaredSort", "Sort role undeclared\n"}));
  EXPECT_EQ(check(all({bv("x", named("alice"))}, make_gtrue(), make_true())).outcome,
            (Outcome{"UndeclaredSort", "Sort alice is not a sort\n"}));
  EXPECT_EQ(check(all({}, make_gex({bv("x", named("ready"))}, make_gtrue()), make_true())).outcome,
            (Outcome{"UndeclaredSort", "Sort ready is not a sort\n"}));
}

TEST(SortCheck, LiteralClashes) {
  EXPECT_EQ(
      check(atom("says", {make_int(-7)})).outcome,
      (Outcome{"SortClash", "Sort clash on term: ~7. It's sort: int. Expected sort: string.\n"}));
  // any admits nothing but any.
  EXPECT_EQ(check(atom("anything", {make_str("a")})).outcome,
            (Outcome{"SortClash",
                     "Sort clash on term: \"a\". It's sort: string. Expected sort: any.\n"}));
  // A string is never read as a constant of a declared sort.
  EXPECT_EQ(
      check(atom("send", {make_str("alice"), c("alice"), c("alice")})).outcome,
      (Outcome{"SortClash", "Sort clash on term: \"alice\". It's sort: string. Expected sort: "
                            "principal.\n"}));
  EXPECT_EQ(check(atom("anything", {c("someone")})).outcome, passed());
}

TEST(SortCheck, ConstructorResultBeforeItsArguments) {
  EXPECT_EQ(check(atom("says", {c("mk", {make_int(1), make_int(2)})})).outcome,
            (Outcome{"SortClash",
                     "Sort clash on term: (mk 1 2). Declared sort from signature: msg. Expected "
                     "sort: string.\n"}));
  EXPECT_EQ(
      check(atom("send", {c("alice"), c("alice"), c("mk", {c("alice"), c("alice")})})).outcome,
      (Outcome{"SortClash", "Sort clash on term: alice. Declared sort from signature: principal. "
                            "Expected sort: string.\n"}));
}

TEST(SortCheck, ArgumentCounts) {
  EXPECT_EQ(check(atom("says", {make_str("a"), make_int(2), c("mk", {make_str("b"), c("alice")})}))
                .outcome,
            (Outcome{"TooManyTerms", "Too many argument terms starting at: 2 (mk \"b\" alice)\n"}));
  // Pairs are checked before the surplus is reported.
  EXPECT_EQ(
      check(atom("says", {make_int(1), make_int(2)})).outcome,
      (Outcome{"SortClash", "Sort clash on term: 1. It's sort: int. Expected sort: string.\n"}));
  EXPECT_EQ(check(atom("send", {c("alice")})).outcome,
            (Outcome{"TooFewTerms", "Missing expected argument term of sort principal\n"}));
  // A constant declared with arguments, written without them.
  EXPECT_EQ(check(atom("send", {c("alice"), c("alice"), c("mk")})).outcome,
            (Outcome{"TooFewTerms", "Missing expected argument term of sort string\n"}));
  EXPECT_EQ(check(atom("ready", {make_int(1)})).outcome,
            (Outcome{"TooManyTerms", "Too many argument terms starting at: 1\n"}));
}

TEST(SortCheck, VariableClashes) {
  EXPECT_EQ(
      check(all({bv("x", named("msg"))}, make_gatom("age", {v("x"), make_int(3)}), make_true()))
          .outcome,
      (Outcome{"SortClash", "Sort clash on variable: x. User provided sort: msg. Expected sort: "
                            "principal.\n"}));
  // The guard is checked first, so the guard's use fixes x as int.
  EXPECT_EQ(
      check(all({bv("p"), bv("x")}, make_gatom("age", {v("p"), v("x")}), atom("says", {v("x")})))
          .outcome,
      (Outcome{"SortClash",
               "Sort clash on variable: x. Inferred sort: int. Expected sort: string.\n"}));
}

TEST(SortCheck, FirstUseInsideAConstructorFixesTheSort) {
  // x's first use is below len, whose argument is a string: the atom's int
  // position then clashes with the inferred string.
  EXPECT_EQ(check(all({bv("x")}, make_gtrue(),
                      make_and(std::nullopt, {atom("age", {c("alice"), c("len", {v("x")})}),
                                              atom("age", {c("alice"), v("x")})})))
                .outcome,
            (Outcome{"SortClash",
                     "Sort clash on variable: x. Inferred sort: string. Expected sort: int.\n"}));
}

TEST(SortCheck, ExclusionTuplesUseTheFinalSorts) {
  EXPECT_EQ(check(all({bv("x"), bv("y")}, make_gatom("age", {v("x"), v("y")}), make_true(),
                      {{c("alice"), make_int(4)}}))
                .text,
            "(all [x: principal] [y: int] {[alice 4]} (age x y) true)");
  EXPECT_EQ(check(all({bv("x"), bv("y")}, make_gatom("age", {v("x"), v("y")}), make_true(),
                      {{c("alice"), make_int(4)}, {c("alice")}}))
                .outcome,
            (Outcome{"TooFewTerms", "Missing expected argument term of sort int\n"}));
  EXPECT_EQ(check(all({bv("x")}, make_gtrue(), make_true(), {{make_int(1)}})).outcome,
            (Outcome{"SortClash", "Sort clash on term: 1. It's sort: int. Expected sort: any.\n"}));
}

TEST(SortCheck, ExclusionsAreCheckedAfterTheBody) {
  // o's first use is in the body (any); the inner exclusion tuple, checked
  // afterwards against x's string, then clashes with that inference.
  const FormulaPtr inner = all({bv("x")}, make_gatom("says", {v("x")}),
                               atom("anything", {v("o")}), {{v("o")}});
  EXPECT_EQ(check(all({bv("o")}, make_gtrue(), inner)).outcome,
            (Outcome{"SortClash",
                     "Sort clash on variable: o. Inferred sort: any. Expected sort: string.\n"}));
  // A variable given or inferred as any fits an argument of sort any.
  EXPECT_EQ(check(all({bv("o", Sort::any()), bv("p")}, make_gtrue(),
                      make_and(std::nullopt, {atom("anything", {v("o")}),
                                              atom("anything", {v("p")})})))
                .text,
            "(all [o: any] [p: any] true (and (anything o) (anything p)))");
}

TEST(SortCheck, UnboundVariableRaisesSilently) {
  EXPECT_EQ(check(atom("says", {v("x")})).outcome, (Outcome{"VarNotFound", ""}));
}

TEST(SortCheck, KeepsNamesAndConnectives) {
  const FormulaPtr f =
      make_and("a", {make_or("b", {make_true("c"), make_false()}), atom("ready", {})});
  EXPECT_EQ(check(f).text, "(<a> and (<b> or (<c> true) false) ready)");
}

} // namespace
} // namespace hipaa::testing
