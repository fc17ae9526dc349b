#include "check/check_support.hpp"
#include "check/sorts.hpp"

#include <cstdlib>
#include <new>

// Counts allocations while a test asks for it, to hold the value check to
// allocating nothing on success.
namespace {
bool counting = false;
long allocations = 0;
} // namespace

void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace hipaa::testing {
namespace {

const Signature& signature() {
  static const Signature sig = {
      sort_entry("principal"),
      sort_entry("msg"),
      cons_entry("alice", ConsClass::Sym, {}, named("principal")),
      cons_entry("mk", ConsClass::Sym, {Sort::string(), named("principal"), Sort::date()},
                 named("msg")),
      cons_entry("len", ConsClass::Eval, {Sort::string()}, Sort::integer()),
      cons_entry("plus", ConsClass::Sql, {Sort::integer(), Sort::integer()}, Sort::integer()),
      pred_entry("ready", PredClass::Subj, {}),
  };
  return sig;
}

Outcome check(const TermList& values, const std::vector<Sort>& expected) {
  return outcome_of(
      [&](std::ostream& out) { check_value_terms(values, expected, signature(), out); });
}

TEST(ValueCheck, AcceptsGroundSymValuesWithoutAllocating) {
  const TermList values = {c("mk", {make_str("x"), c("alice"), make_date(86400)}), make_int(3),
                           c("alice")};
  const std::vector<Sort> expected = {named("msg"), Sort::integer(), named("principal")};
  const Signature& sig = signature();
  std::ostringstream out;
  allocations = 0;
  counting = true;
  check_value_terms(values, expected, sig, out);
  check_value_term(*values[0], expected[0], sig, out);
  counting = false;
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(out.str(), "");
}

TEST(ValueCheck, RejectsVariables) {
  EXPECT_EQ(check({c("mk", {make_str("x"), v("p"), make_date(0)})}, {named("msg")}),
            (Outcome{"VarInValue", "Variable p found in purported value\n"}));
}

TEST(ValueCheck, RejectsEvaluatedConstructorsBeforeComparingSorts) {
  EXPECT_EQ(check({c("len", {make_str("abc")})}, {named("msg")}),
            (Outcome{"NonSymInValue", "Non-sym constructorlen appears in value\n"}));
  EXPECT_EQ(check({c("plus", {make_int(1), make_int(2)})}, {Sort::integer()}),
            (Outcome{"NonSymInValue", "Non-sym constructorplus appears in value\n"}));
}

TEST(ValueCheck, SharesThePolicyTermDiagnostics) {
  EXPECT_EQ(check({c("bob")}, {named("principal")}),
            (Outcome{"UndeclaredConstructor", "Undeclared constructor: bob\n"}));
  EXPECT_EQ(check({c("ready")}, {named("principal")}),
            (Outcome{"UndeclaredConstructor", "Non-constructor: ready used as constructor\n"}));
  EXPECT_EQ(
      check({make_str("alice")}, {named("principal")}),
      (Outcome{"SortClash", "Sort clash on term: \"alice\". It's sort: string. Expected sort: "
                            "principal.\n"}));
  EXPECT_EQ(
      check({c("alice")}, {named("msg")}),
      (Outcome{"SortClash", "Sort clash on term: alice. Declared sort from signature: principal. "
                            "Expected sort: msg.\n"}));
  EXPECT_EQ(check({c("alice"), make_int(1), make_int(-2)}, {named("principal")}),
            (Outcome{"TooManyTerms", "Too many argument terms starting at: 1 ~2\n"}));
  EXPECT_EQ(check({c("mk", {make_str("x")})}, {named("msg")}),
            (Outcome{"TooFewTerms", "Missing expected argument term of sort principal\n"}));
}

TEST(ValueCheck, OneValueAgainstOneSort) {
  const Outcome outcome = outcome_of(
      [](std::ostream& out) { check_value_term(*make_int(5), Sort::string(), signature(), out); });
  EXPECT_EQ(outcome, (Outcome{"SortClash",
                              "Sort clash on term: 5. It's sort: int. Expected sort: string.\n"}));
}

} // namespace
} // namespace hipaa::testing
