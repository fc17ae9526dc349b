// The policy grammar: the values built for correct texts, compared through
// their printed form, and the two entry points.
#include "support.hpp"

#include "base/failure.hpp"
#include "logic/printer.hpp"
#include "syntax/policy_parser.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace hipaa::testing {
namespace {

FormulaPtr formula_of(const std::string& text) {
  std::ostringstream diag;
  FormulaParse parse = parse_formula_text(text, diag);
  EXPECT_TRUE(parse.repair_lines.empty()) << text;
  EXPECT_EQ(diag.str(), "") << text;
  return std::get<FormulaPtr>(parse.result.value());
}

TEST(PolicyGrammar, FormulasWithAndWithoutNames) {
  EXPECT_EQ(parse_policy("true").printed, "true");
  EXPECT_EQ(parse_policy("<c1> true").printed, "(<c1> true)");
  EXPECT_EQ(parse_policy("(<c1> true)").printed, "(<c1> true)");
  EXPECT_EQ(parse_policy("<n> and p false").printed, "(<n> and p false)");
  EXPECT_EQ(parse_policy("((((p))))").printed, "p");
  FormulaPtr named = formula_of("<c1> p");
  EXPECT_EQ(named->name, std::optional<std::string>("c1"));
  EXPECT_TRUE(named->is<Atom>());
}

TEST(PolicyGrammar, AtomsAndTerms) {
  FormulaPtr bare = formula_of("p");
  ASSERT_TRUE(bare->is<Atom>());
  EXPECT_TRUE(bare->as<Atom>()->args.empty());
  EXPECT_FALSE(bare->name.has_value());
  EXPECT_EQ(parse_policy("p a (f b) \"s\" 3").printed, "(p a (f b) \"s\" 3)");
  EXPECT_EQ(parse_policy("p (f (g a b) ((c))) ~5 2011:03:15").printed,
            "(p (f (g a b) c) ~5 2011:03:15:00:00:00)");
  FormulaPtr applied = formula_of("p a");
  const Atom* atom = applied->as<Atom>();
  ASSERT_TRUE(atom->args[0]->is<AppTerm>());
  EXPECT_TRUE(atom->args[0]->as<AppTerm>()->args.empty());
}

TEST(PolicyGrammar, ConnectivesTakeTwoOrMoreArguments) {
  FormulaPtr three = formula_of("and p q r");
  const And* conjunction = three->as<And>();
  ASSERT_NE(conjunction, nullptr);
  EXPECT_EQ(conjunction->conjuncts.size(), 3u);
  EXPECT_EQ(parse_policy("or (p x) (and q true) false").printed, "(or (p x) (and q true) false)");
  EXPECT_NE(parse_policy("and p").repairs, "");
}

TEST(PolicyGrammar, Quantifiers) {
  FormulaPtr ex = formula_of("ex [x] {[a] [b]} COMPILE (p x) true");
  const Quantified* q = ex->as<Quantified>();
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->kind, Quantifier::Ex);
  ASSERT_EQ(q->bound.size(), 1u);
  EXPECT_FALSE(q->bound[0].sort.has_value());
  EXPECT_EQ(q->exclusions.size(), 2u);
  EXPECT_TRUE(q->compile);
  EXPECT_TRUE(q->guard->is<GAtom>());
  EXPECT_TRUE(q->body->is<True>());
  EXPECT_EQ(parse_policy("all [x: int] [y: any] [z: msg] [w: string] [v: date] p q").printed,
            "(all [x: int] [y: any] [z: msg] [w: string] [v: date] p q)");
  EXPECT_EQ(parse_policy("all {} p q").printed, "(all p q)");
  EXPECT_EQ(parse_policy("all [x] {[] [a (f b)]} p q").printed, "(all [x] {[] [a (f b)]} p q)");
  EXPECT_EQ(parse_policy("<r1> ex [m: msg] {[m1]} COMPILE (send p1 m) true").printed,
            "(<r1> ex [m: msg] {[m1]} COMPILE (send p1 m) true)");
}

TEST(PolicyGrammar, ImpIsAnAllWithoutVariables) {
  EXPECT_EQ(print_formula(*formula_of("imp (r x) (s x)")),
            print_formula(*formula_of("all (r x) (s x)")));
  FormulaPtr imp = formula_of("<i> imp COMPILE r s");
  const Quantified* q = imp->as<Quantified>();
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->kind, Quantifier::All);
  EXPECT_TRUE(q->bound.empty());
  EXPECT_TRUE(q->exclusions.empty());
  EXPECT_TRUE(q->compile);
}

TEST(PolicyGrammar, Guards) {
  EXPECT_EQ(parse_policy("all [x] (and (p x) (or q false) (ex [y: int] (r x y))) true").printed,
            "(all [x] (and (p x) (or q false) (ex [y: int] (r x y))) true)");
  EXPECT_EQ(parse_policy("all [x] ((p x)) true").printed, "(all [x] (p x) true)");
  FormulaPtr ex = formula_of("ex [x: msg] p true");
  const Quantified* q = ex->as<Quantified>();
  ASSERT_TRUE(q->guard->is<GAtom>());
  EXPECT_TRUE(q->guard->as<GAtom>()->args.empty());
}

TEST(PolicyGrammar, ParseTermReadsOneTerm) {
  EXPECT_EQ(parse_value("(f a)").printed, "(f a)");
  EXPECT_EQ(parse_value("f a").printed, "(f a)");
  EXPECT_EQ(parse_value("\"alice\"").printed, "\"alice\"");
  EXPECT_EQ(parse_value("phi").printed, "phi");
  EXPECT_EQ(parse_value("~12").printed, "~12");
  EXPECT_EQ(parse_value("2010:01:05:10:00:00").printed, "2010:01:05:10:00:00");
  EXPECT_EQ(parse_value("  (g (h 1) \"x y\")  ").printed, "(g (h 1) \"x y\")");
  EXPECT_EQ(parse_value("phi").diag, "");
}

TEST(PolicyGrammar, ParseTermOfAKeywordIsRepaired) {
  Parsed keyword = parse_value("date");
  EXPECT_EQ(keyword.printed, "x");
  EXPECT_EQ(keyword.diag, "[1.16]: try substituting ID for date\n");
}

// A text that is a whole formula but no term, given to parse_term, is read
// as the formula it is (the start marker is replaced) and then rejected.
TEST(PolicyGrammar, ParseTermOfAFormulaIsBadParseType) {
  for (const char* text : {"true", "all [x] (p x) (q x)", "and p q"}) {
    std::ostringstream diag;
    try {
      parse_term(text, diag);
      ADD_FAILURE() << "expected BadParseType for " << text;
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.name(), "BadParseType") << text;
    }
    EXPECT_EQ(diag.str(), "[1.1]: try substituting START_FORMULA for START_TERM\n") << text;
  }
  // Only a text that parses whole as a formula: otherwise the usual repairs.
  Parsed tail = parse_value("all [x] (p x) (q x) )");
  EXPECT_EQ(tail.diag.substr(0, 20), "[1.16]: try deleting");
}

// Likewise a policy text that is a term but no formula yields a term result,
// which the driver rejects.
TEST(PolicyGrammar, FormulaParseOfATermGivesATermResult) {
  std::ostringstream diag;
  FormulaParse parse = parse_formula_text("\"alice\"", diag);
  EXPECT_EQ(parse.repair_lines,
            std::vector<std::string>{"[1.1]: try substituting START_TERM for START_FORMULA\n"});
  ASSERT_TRUE(parse.result.has_value());
  ASSERT_TRUE(std::holds_alternative<TermPtr>(*parse.result));
  EXPECT_EQ(print_term(*std::get<TermPtr>(*parse.result)), "\"alice\"");
  EXPECT_EQ(diag.str(), "");
}

TEST(PolicyGrammar, TextAfterAnEmbeddedEndMarkerIsIgnored) {
  EXPECT_EQ(parse_policy("p %#parse_end#% )))").printed, "p");
}

TEST(PolicyGrammar, LexerFailuresPassThrough) {
  std::ostringstream diag;
  try {
    parse_formula_text("p 4294967296", diag);
    FAIL() << "expected Overflow";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.name(), "Overflow");
  }
  try {
    parse_term("\xFF", diag);
    FAIL() << "expected Incomplete";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.name(), "Incomplete");
  }
}

TEST(PolicyGrammar, DeepNestingUsesNoRecursion) {
  const std::size_t depth = 100000;
  const std::string parens = std::string(depth, '(') + "p a" + std::string(depth, ')');
  EXPECT_EQ(parse_policy(parens).printed, "(p a)");
  EXPECT_EQ(parse_value(parens).printed, "(p a)");
  std::string guard =
      "all [x] " + std::string(depth, '(') + "q x" + std::string(depth, ')') + " true";
  EXPECT_EQ(parse_policy(guard).printed, "(all [x] (q x) true)");
  // Unbalanced: the repair search runs over the deep stack as well.
  Parsed unbalanced = parse_policy(std::string(depth, '(') + "p");
  EXPECT_EQ(unbalanced.printed, "<none>");
}

} // namespace
} // namespace hipaa::testing
