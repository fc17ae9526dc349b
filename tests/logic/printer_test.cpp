#include "logic/printer.hpp"

#include "support/failure_name.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <sstream>

namespace hipaa {
namespace {

TermPtr app(const std::string& name, TermList args = {}) { return make_app(name, std::move(args)); }
FormulaPtr atom(const std::string& pred, TermList args = {}) {
  return make_atom(std::nullopt, pred, std::move(args));
}
BoundVar bound(const std::string& var, std::optional<Sort> sort = std::nullopt) {
  return BoundVar{std::move(sort), var};
}

TEST(PrintTerm, EveryVariant) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(print_term(*make_int(0)), "0");
  EXPECT_EQ(print_term(*make_int(42)), "42");
  EXPECT_EQ(print_term(*make_int(-5)), "~5");
  EXPECT_EQ(print_term(*make_int(INT_MIN)), "~2147483648");
  EXPECT_EQ(print_term(*make_int(INT_MAX)), "2147483647");
  EXPECT_EQ(print_term(*make_date(date_from_literal("2010:01:05"))), "2010:01:05:00:00:00");
  EXPECT_EQ(print_term(*make_str("alice")), "\"alice\"");
  EXPECT_EQ(print_term(*make_str("")), "\"\"");
  EXPECT_EQ(print_term(*make_str("a\"b\nc\\")), "\"a\"b\nc\\\"");
  EXPECT_EQ(print_term(*make_var("x")), "x");
  EXPECT_EQ(print_term(*app("phi")), "phi");
  EXPECT_EQ(print_term(*app("f", {app("a"), app("g", {make_int(1), make_str("s")})})),
            "(f a (g 1 \"s\"))");
}

TEST(PrintTerm, Lists) {
  EXPECT_EQ(print_term_list({}), "");
  EXPECT_EQ(print_term_list({make_int(1)}), "1");
  EXPECT_EQ(print_term_list({make_int(1), make_var("x"), app("c")}), "1 x c");
}

TEST(PrintFormula, ConstantsAndAtomsWithAndWithoutNames) {
  EXPECT_EQ(print_formula(*make_true()), "true");
  EXPECT_EQ(print_formula(*make_false()), "false");
  EXPECT_EQ(print_formula(*make_true("c1")), "(<c1> true)");
  EXPECT_EQ(print_formula(*make_false("c1")), "(<c1> false)");
  EXPECT_EQ(print_formula(*atom("p")), "p");
  EXPECT_EQ(print_formula(*make_atom("n", "p", {})), "(<n> p)");
  EXPECT_EQ(print_formula(*atom("p", {app("a"), make_int(3)})), "(p a 3)");
  EXPECT_EQ(print_formula(*make_atom("n", "p", {app("a")})), "(<n> p a)");
}

TEST(PrintFormula, ConnectivesIncludingDegenerateLists) {
  EXPECT_EQ(print_formula(*make_and(std::nullopt, {atom("p"), atom("q", {app("x")})})),
            "(and p (q x))");
  EXPECT_EQ(print_formula(*make_or("r", {atom("p"), make_true(), atom("s")})),
            "(<r> or p true s)");
  EXPECT_EQ(print_formula(*make_and(std::nullopt, {})), "(and )");
  EXPECT_EQ(print_formula(*make_or(std::nullopt, {atom("p")})), "(or p)");
  EXPECT_EQ(print_formula_list({}), "");
  EXPECT_EQ(print_formula_list({atom("p"), make_false()}), "p false");
}

TEST(PrintFormula, Quantifiers) {
  GuardPtr send = make_gatom("send", {app("p1"), app("m")});
  FormulaPtr full = make_ex("r1", {bound("m", Sort::named("msg"))}, {{app("m1")}}, true, send,
                            make_true());
  EXPECT_EQ(print_formula(*full), "(<r1> ex [m: msg] {[m1]} COMPILE (send p1 m) true)");
  FormulaPtr plain = make_ex(std::nullopt, {bound("m", Sort::named("msg"))}, {}, false, send,
                             make_true());
  EXPECT_EQ(print_formula(*plain), "(ex [m: msg] (send p1 m) true)");
  FormulaPtr implication = make_all(std::nullopt, {}, {}, false, make_gatom("r", {app("x")}),
                                    atom("s", {app("x")}));
  EXPECT_EQ(print_formula(*implication), "(all (r x) (s x))");
  FormulaPtr compiled_implication =
      make_all("i", {}, {}, true, make_gatom("r", {}), atom("s"));
  EXPECT_EQ(print_formula(*compiled_implication), "(<i> all COMPILE r s)");
  FormulaPtr sorts = make_all(std::nullopt,
                              {bound("a", Sort::any()), bound("b", Sort::date()),
                               bound("c", Sort::integer()), bound("d", Sort::string()),
                               bound("e")},
                              {{app("x"), make_int(1)}, {}}, false, make_gtrue(), make_false());
  EXPECT_EQ(print_formula(*sorts),
            "(all [a: any] [b: date] [c: int] [d: string] [e] {[x 1] []} true false)");
}

TEST(PrintGuard, EveryVariant) {
  EXPECT_EQ(print_guard(*make_gtrue()), "true");
  EXPECT_EQ(print_guard(*make_gfalse()), "false");
  EXPECT_EQ(print_guard(*make_gatom("p", {})), "p");
  EXPECT_EQ(print_guard(*make_gatom("p", {make_var("x"), make_str("s")})), "(p x \"s\")");
  GuardList members = {make_gatom("p", {}), make_gatom("q", {make_var("y")})};
  EXPECT_EQ(print_guard(*make_gand(members)), "(and p (q y))");
  EXPECT_EQ(print_guard(*make_gor(members)), "(or p (q y))");
  EXPECT_EQ(print_guard(*make_gand({})), "(and )");
  EXPECT_EQ(print_guard(*make_gex({bound("y", Sort::named("msg")), bound("z")},
                                  make_gatom("q", {make_var("y")}))),
            "(ex [y: msg] [z] (q y))");
  EXPECT_EQ(print_guard(*make_gex({}, make_gtrue())), "(ex true)");
  EXPECT_EQ(print_guard_list({}), "");
  EXPECT_EQ(print_guard_list(members), "p (q y)");
}

TEST(PrintLists, BoundAndExclusionLists) {
  EXPECT_EQ(print_bound_list({}), "");
  EXPECT_EQ(print_bound_list({bound("x")}), "[x] ");
  EXPECT_EQ(print_bound_list({bound("x", Sort::any()), bound("y", Sort::named("role"))}),
            "[x: any] [y: role] ");
  EXPECT_EQ(print_ex_list_h({}), "");
  EXPECT_EQ(print_ex_list_h({{}}), "[]");
  EXPECT_EQ(print_ex_list_h({{make_int(-1)}, {make_str("a"), app("b")}}), "[~1] [\"a\" b]");
}

TEST(WriteFormula, StreamsTheSameTextInBlocks) {
  // Long enough to be handed on in several blocks, nested in each of the
  // places that hand text on.
  ExclusionList tuples;
  FormulaList atoms;
  for (int i = 0; i < 5000; ++i) {
    tuples.push_back({make_str("person-" + std::to_string(i)), make_int(i)});
    atoms.push_back(make_atom(std::nullopt, "p", {make_int(i)}));
  }
  FormulaPtr formula = make_and("top", {make_all(std::nullopt, {bound("x"), bound("y")}, tuples, false,
                                                 make_gatom("q", {make_var("x")}),
                                                 make_or(std::nullopt, atoms)),
                                        make_or("o", atoms)});
  std::ostringstream out;
  write_formula(out, *formula);
  EXPECT_GT(out.str().size(), 150000u); // more than two blocks
  EXPECT_EQ(out.str(), print_formula(*formula));
}

TEST(WriteFormula, AnUnprintableDateWritesNothing) {
  TermPtr far = make_date(DateValue("1000000000000000000000000000"));
  FormulaList members(20000, make_atom(std::nullopt, "p", {make_int(1)}));
  members.push_back(make_atom(std::nullopt, "p", {far}));
  std::ostringstream out;
  EXPECT_EQ(testing::failure_name([&] { write_formula(out, *make_and(std::nullopt, members)); }), "Overflow");
  EXPECT_EQ(out.str(), "");
}

TEST(PrintAtomText, BareNameOrParenthesised) {
  EXPECT_EQ(print_atom_text("p", {}), "p");
  EXPECT_EQ(print_atom_text("p", {make_int(1), app("c")}), "(p 1 c)");
}

} // namespace
} // namespace hipaa
