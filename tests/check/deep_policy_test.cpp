// Policies nested far deeper than any written by hand: the static checks
// take time and memory linear in the depth, and a stack too small for the
// depth ends the checks with the failure Overflow instead of a crash.
#include "check/check_support.hpp"
#include "check/modes.hpp"
#include "check/scope.hpp"
#include "check/sorts.hpp"
#include "logic/printer.hpp"
#include "support/small_stack.hpp"

namespace hipaa::testing {
namespace {

const Signature& signature() {
  static const Signature sig = {
      sort_entry("s"),
      cons_entry("c", ConsClass::Sym, {}, named("s")),
      cons_entry("f", ConsClass::Sym, {named("s")}, named("s")),
      pred_entry("p", PredClass::Db, {outp(named("s"))}, table("p", {"v"})),
      pred_entry("q", PredClass::Subj, {in(named("s"))}),
  };
  return sig;
}

// (all [x1: s] (p x1) (all [x2: s] (p x2) ... (q xn))), built as parsed:
// constants where the scoping pass makes variables.
FormulaPtr nested_quantifiers(int depth) {
  FormulaPtr body = make_atom(std::nullopt, "q", {c("x" + std::to_string(depth))});
  for (int i = depth; i >= 1; --i) {
    const std::string x = "x" + std::to_string(i);
    body = make_all(std::nullopt, {bv(x, named("s"))}, {}, false, make_gatom("p", {c(x)}),
                    std::move(body));
  }
  return body;
}

// (and true (and true ... true))
FormulaPtr nested_conjunctions(int depth) {
  FormulaPtr formula = make_true();
  for (int i = 0; i < depth; ++i) formula = make_and(std::nullopt, {make_true(), formula});
  return formula;
}

// (q (f (f ... c)))
FormulaPtr deep_term(int depth) {
  TermPtr term = c("c");
  for (int i = 0; i < depth; ++i) term = c("f", {term});
  return make_atom(std::nullopt, "q", {term});
}

// Scoping, sort checking and mode checking, as the driver runs them, then
// the printer.
void check_all(const FormulaPtr& policy) {
  std::ostringstream out;
  FormulaPtr scoped = scope_formula(policy, {}, out);
  FormulaPtr sorted = sort_check_formula(scoped, {}, signature(), out);
  mode_check_formula(*sorted, {}, signature(), out);
  print_formula(*sorted);
}

struct DeepCase {
  const char* shape;
  FormulaPtr (*build)(int depth);
};

const DeepCase kShapes[] = {
    {"nested quantifiers", nested_quantifiers},
    {"nested conjunctions", nested_conjunctions},
    {"deep term", deep_term},
};

TEST(DeepPolicy, PassesOnALargeStack) {
  for (const DeepCase& shape : kShapes) {
    FormulaPtr policy = shape.build(20000);
    EXPECT_EQ(failure_on_stack(std::size_t{256} << 20, [&] { check_all(policy); }), "")
        << shape.shape;
  }
}

TEST(DeepPolicy, EndsWithOverflowOnASmallStack) {
  for (const DeepCase& shape : kShapes) {
    FormulaPtr policy = shape.build(100000);
    EXPECT_EQ(failure_on_stack(kSmallStack, [&] { check_all(policy); }), "Overflow")
        << shape.shape;
    // The tree itself is released without recursion, on the same stack.
    EXPECT_EQ(failure_on_stack(kSmallStack / 4, [&policy] { policy.reset(); }), "") << shape.shape;
  }
}

// A diagnostic deep down is the same as near the root.
TEST(DeepPolicy, DiagnosticsDeepDown) {
  // Rebind x1 at the bottom: the duplicate binding is found at depth 20001
  // (deep enough, and within the 64 MiB of stack AddressSanitizer can unwind).
  FormulaPtr bottom = make_all(std::nullopt, {bv("x1", named("s"))}, {}, false,
                               make_gatom("p", {c("x1")}), make_true());
  for (int i = 20000; i >= 1; --i) {
    const std::string x = "x" + std::to_string(i);
    bottom = make_all(std::nullopt, {bv(x, named("s"))}, {}, false, make_gatom("p", {c(x)}),
                      std::move(bottom));
  }
  Outcome outcome;
  failure_on_stack(std::size_t{256} << 20, [&] {
    outcome = outcome_of([&](std::ostream& out) { scope_formula(bottom, {}, out); });
  });
  EXPECT_EQ(outcome,
            (Outcome{"DuplicateBinding", "Error: Variable x1 is bound twice in the same scope\n"}));
}

} // namespace
} // namespace hipaa::testing
