#include "logic/formula.hpp"

#include "logic/release_queue.hpp"

namespace hipaa {

namespace {

FormulaPtr make_formula(Name name, Formula::Node node) {
  return std::make_shared<const Formula>(std::move(name), std::move(node));
}

GuardPtr make_guard(Guard::Node node) { return std::make_shared<const Guard>(std::move(node)); }

} // namespace

Formula::~Formula() {
  if (auto* atom = std::get_if<Atom>(&node)) {
    release_later(atom->args);
  } else if (auto* conj = std::get_if<And>(&node)) {
    release_later(conj->conjuncts);
  } else if (auto* disj = std::get_if<Or>(&node)) {
    release_later(disj->disjuncts);
  } else if (auto* q = std::get_if<Quantified>(&node)) {
    release_later(q->guard);
    release_later(q->body);
  }
}

Guard::~Guard() {
  if (auto* atom = std::get_if<GAtom>(&node)) {
    release_later(atom->args);
  } else if (auto* conj = std::get_if<GAnd>(&node)) {
    release_later(conj->conjuncts);
  } else if (auto* disj = std::get_if<GOr>(&node)) {
    release_later(disj->disjuncts);
  } else if (auto* ex = std::get_if<GEx>(&node)) {
    release_later(ex->guard);
  }
}

FormulaPtr make_true(Name name) { return make_formula(std::move(name), True{}); }
FormulaPtr make_false(Name name) { return make_formula(std::move(name), False{}); }

FormulaPtr make_atom(Name name, std::string pred, TermList args) {
  return make_formula(std::move(name), Atom{std::move(pred), std::move(args)});
}

FormulaPtr make_and(Name name, FormulaList conjuncts) {
  return make_formula(std::move(name), And{std::move(conjuncts)});
}

FormulaPtr make_or(Name name, FormulaList disjuncts) {
  return make_formula(std::move(name), Or{std::move(disjuncts)});
}

FormulaPtr make_quantified(Name name, Quantifier kind, BoundList bound, ExclusionList exclusions,
                           bool compile, GuardPtr guard, FormulaPtr body) {
  return make_formula(std::move(name), Quantified{kind, std::move(bound), std::move(exclusions),
                                                  compile, std::move(guard), std::move(body)});
}

FormulaPtr make_all(Name name, BoundList bound, ExclusionList exclusions, bool compile,
                    GuardPtr guard, FormulaPtr body) {
  return make_quantified(std::move(name), Quantifier::All, std::move(bound), std::move(exclusions),
                         compile, std::move(guard), std::move(body));
}

FormulaPtr make_ex(Name name, BoundList bound, ExclusionList exclusions, bool compile,
                   GuardPtr guard, FormulaPtr body) {
  return make_quantified(std::move(name), Quantifier::Ex, std::move(bound), std::move(exclusions),
                         compile, std::move(guard), std::move(body));
}

GuardPtr make_gtrue() { return make_guard(GTrue{}); }
GuardPtr make_gfalse() { return make_guard(GFalse{}); }
GuardPtr make_gatom(std::string pred, TermList args) {
  return make_guard(GAtom{std::move(pred), std::move(args)});
}
GuardPtr make_gand(GuardList conjuncts) { return make_guard(GAnd{std::move(conjuncts)}); }
GuardPtr make_gor(GuardList disjuncts) { return make_guard(GOr{std::move(disjuncts)}); }
GuardPtr make_gex(BoundList bound, GuardPtr guard) {
  return make_guard(GEx{std::move(bound), std::move(guard)});
}

} // namespace hipaa
