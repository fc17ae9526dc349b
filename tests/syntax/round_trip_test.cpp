// Property: printing a value and parsing the text back yields an equal
// value, for randomly generated formulas, guards and terms.  Equality is
// checked structurally.
#include "logic/printer.hpp"
#include "syntax/policy_parser.hpp"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace hipaa {
namespace {

class Generator {
public:
  explicit Generator(unsigned seed) : random_(seed) {}

  TermPtr term(int depth) {
    switch (pick(depth > 0 ? 5 : 4)) {
    case 0: return make_int(static_cast<std::int32_t>(random_()));
    case 1: return make_str(pick_of({"", "alice", "a b", "x\\y", "(* %", "é€\xF0\x9F\x98\x80"}));
    case 2:
      return make_date(
          date_from_literal(pick_of({"2010:01:05", "1999:12:31:23:59:59", "2038:01:19:03:14:08"})));
    case 3: return make_app(identifier());
    default: return make_app(identifier(), terms(depth - 1, 1 + pick(3)));
    }
  }

  GuardPtr guard(int depth) {
    switch (pick(depth > 0 ? 6 : 3)) {
    case 0: return pick(2) ? make_gtrue() : make_gfalse();
    case 1:
    case 2: return make_gatom(identifier(), terms(depth, pick(3)));
    case 3: return make_gand(guards(depth - 1));
    case 4: return make_gor(guards(depth - 1));
    default: return make_gex(bound(), guard(depth - 1));
    }
  }

  FormulaPtr formula(int depth) {
    const Name label = pick(4) == 0 ? Name(identifier()) : Name();
    switch (pick(depth > 0 ? 7 : 3)) {
    case 0: return pick(2) ? make_true(label) : make_false(label);
    case 1:
    case 2: return make_atom(label, identifier(), terms(depth, pick(3)));
    case 3: return make_and(label, formulas(depth - 1));
    case 4: return make_or(label, formulas(depth - 1));
    default: {
      ExclusionList exclusions;
      for (int i = pick(3); i > 0; --i) exclusions.push_back(terms(1, pick(3)));
      return make_quantified(label, pick(2) ? Quantifier::All : Quantifier::Ex, bound(),
                             std::move(exclusions), pick(2) == 0, guard(depth - 1),
                             formula(depth - 1));
    }
    }
  }

private:
  int pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
  std::string pick_of(std::initializer_list<const char*> choices) {
    return *(choices.begin() + pick(static_cast<int>(choices.size())));
  }
  std::string identifier() {
    return pick_of({"p", "send", "x-y", "a/b", "o'k", "_u", "allx", "m@n", "Q#1$"});
  }

  TermList terms(int depth, int count) {
    TermList list;
    for (int i = 0; i < count; ++i) list.push_back(term(depth));
    return list;
  }
  GuardList guards(int depth) {
    GuardList list;
    for (int i = 2 + pick(2); i > 0; --i) list.push_back(guard(depth));
    return list;
  }
  FormulaList formulas(int depth) {
    FormulaList list;
    for (int i = 2 + pick(2); i > 0; --i) list.push_back(formula(depth));
    return list;
  }
  BoundList bound() {
    BoundList list;
    for (int i = pick(3); i > 0; --i) {
      std::optional<Sort> sort;
      switch (pick(6)) {
      case 0: sort = Sort::any(); break;
      case 1: sort = Sort::integer(); break;
      case 2: sort = Sort::string(); break;
      case 3: sort = Sort::date(); break;
      case 4: sort = Sort::named("msg"); break;
      default: break;
      }
      list.push_back(BoundVar{sort, identifier()});
    }
    return list;
  }

  std::mt19937 random_;
};

bool same_terms(const TermList& a, const TermList& b);

bool same_term(const Term& a, const Term& b) {
  if (a.node.index() != b.node.index()) return false;
  if (const auto* x = a.as<IntTerm>()) return x->value == b.as<IntTerm>()->value;
  if (const auto* x = a.as<DateTerm>()) return x->value == b.as<DateTerm>()->value;
  if (const auto* x = a.as<StrTerm>()) return x->text == b.as<StrTerm>()->text;
  if (const auto* x = a.as<VarTerm>()) return x->name == b.as<VarTerm>()->name;
  const auto* x = a.as<AppTerm>();
  const auto* y = b.as<AppTerm>();
  return x->name == y->name && same_terms(x->args, y->args);
}

bool same_terms(const TermList& a, const TermList& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!same_term(*a[i], *b[i])) return false;
  }
  return true;
}

bool same_bound(const BoundList& a, const BoundList& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].var != b[i].var || a[i].sort != b[i].sort) return false;
  }
  return true;
}

bool same_guard(const Guard& a, const Guard& b) {
  if (a.node.index() != b.node.index()) return false;
  if (const auto* x = a.as<GAtom>())
    return x->pred == b.as<GAtom>()->pred && same_terms(x->args, b.as<GAtom>()->args);
  const GuardList* xs = nullptr;
  const GuardList* ys = nullptr;
  if (const auto* x = a.as<GAnd>()) xs = &x->conjuncts, ys = &b.as<GAnd>()->conjuncts;
  if (const auto* x = a.as<GOr>()) xs = &x->disjuncts, ys = &b.as<GOr>()->disjuncts;
  if (const auto* x = a.as<GEx>()) {
    const auto* y = b.as<GEx>();
    return same_bound(x->bound, y->bound) && same_guard(*x->guard, *y->guard);
  }
  if (xs == nullptr) return true;
  if (xs->size() != ys->size()) return false;
  for (std::size_t i = 0; i < xs->size(); ++i) {
    if (!same_guard(*(*xs)[i], *(*ys)[i])) return false;
  }
  return true;
}

bool same_formula(const Formula& a, const Formula& b);

bool same_formulas(const FormulaList& a, const FormulaList& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!same_formula(*a[i], *b[i])) return false;
  }
  return true;
}

bool same_formula(const Formula& a, const Formula& b) {
  if (a.name != b.name || a.node.index() != b.node.index()) return false;
  if (const auto* x = a.as<Atom>())
    return x->pred == b.as<Atom>()->pred && same_terms(x->args, b.as<Atom>()->args);
  if (const auto* x = a.as<And>()) return same_formulas(x->conjuncts, b.as<And>()->conjuncts);
  if (const auto* x = a.as<Or>()) return same_formulas(x->disjuncts, b.as<Or>()->disjuncts);
  if (const auto* x = a.as<Quantified>()) {
    const auto* y = b.as<Quantified>();
    if (x->kind != y->kind || x->compile != y->compile || !same_bound(x->bound, y->bound))
      return false;
    if (x->exclusions.size() != y->exclusions.size()) return false;
    for (std::size_t i = 0; i < x->exclusions.size(); ++i) {
      if (!same_terms(x->exclusions[i], y->exclusions[i])) return false;
    }
    return same_guard(*x->guard, *y->guard) && same_formula(*x->body, *y->body);
  }
  return true;
}

TEST(RoundTrip, FormulasReadBackEqual) {
  Generator generate(7);
  for (int i = 0; i < 500; ++i) {
    FormulaPtr original = generate.formula(4);
    const std::string text = print_formula(*original);
    std::ostringstream diag;
    FormulaParse parse = parse_formula_text(text, diag);
    ASSERT_TRUE(parse.repair_lines.empty()) << text;
    ASSERT_EQ(diag.str(), "") << text;
    ASSERT_TRUE(same_formula(*original, *std::get<FormulaPtr>(parse.result.value()))) << text;
  }
}

// A guard reads back as the guard of a quantifier without variables.
TEST(RoundTrip, GuardsReadBackEqual) {
  Generator generate(11);
  for (int i = 0; i < 500; ++i) {
    GuardPtr original = generate.guard(4);
    const std::string text = "all (" + print_guard(*original) + ") true";
    std::ostringstream diag;
    FormulaParse parse = parse_formula_text(text, diag);
    ASSERT_TRUE(parse.repair_lines.empty()) << text;
    const FormulaPtr formula = std::get<FormulaPtr>(parse.result.value());
    ASSERT_TRUE(same_guard(*original, *formula->as<Quantified>()->guard)) << text;
  }
}

TEST(RoundTrip, TermsReadBackEqual) {
  Generator generate(13);
  for (int i = 0; i < 1000; ++i) {
    TermPtr original = generate.term(4);
    const std::string text = print_term(*original);
    std::ostringstream diag;
    std::optional<TermPtr> parsed = parse_term(text, diag);
    ASSERT_EQ(diag.str(), "") << text;
    ASSERT_TRUE(parsed && same_term(*original, **parsed)) << text;
  }
}

} // namespace
} // namespace hipaa
