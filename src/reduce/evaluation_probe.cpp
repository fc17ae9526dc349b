#include "reduce/evaluation_probe.hpp"

#include <algorithm>

namespace hipaa {

namespace {

bool terms_evaluate(const TermList& terms, const SubstEnv& env) {
  return std::any_of(terms.begin(), terms.end(),
                     [&](const TermPtr& term) { return term_evaluates(*term, env); });
}

} // namespace

bool term_evaluates(const Term& term, const SubstEnv& env) {
  const auto* app = term.as<AppTerm>();
  if (app == nullptr) return false;
  const ConsDecl* decl = env.decls.find_cons(app->name);
  // An undeclared name is reported by the substitution itself.
  if (decl == nullptr) return true;
  if (decl->cls != ConsClass::Sym && !env.scenario.eval_term_total(app->name)) return true;
  return terms_evaluate(app->args, env);
}

bool guard_evaluates(const Guard& guard, const SubstEnv& env) {
  if (const auto* atom = guard.as<GAtom>()) return terms_evaluate(atom->args, env);
  auto any_member = [&](const GuardList& members) {
    return std::any_of(members.begin(), members.end(),
                       [&](const GuardPtr& member) { return guard_evaluates(*member, env); });
  };
  if (const auto* conj = guard.as<GAnd>()) return any_member(conj->conjuncts);
  if (const auto* disj = guard.as<GOr>()) return any_member(disj->disjuncts);
  if (const auto* ex = guard.as<GEx>()) return guard_evaluates(*ex->guard, env);
  return false;
}

bool EvaluationProbe::evaluates(const Formula& formula, const SubstEnv& env) {
  auto known = evaluates_.find(&formula);
  if (known != evaluates_.end()) return known->second;
  bool result = false;
  auto any_member = [&](const FormulaList& members) {
    return std::any_of(members.begin(), members.end(),
                       [&](const FormulaPtr& member) { return evaluates(*member, env); });
  };
  if (const auto* atom = formula.as<Atom>()) {
    result = terms_evaluate(atom->args, env);
  } else if (const auto* conj = formula.as<And>()) {
    result = any_member(conj->conjuncts);
  } else if (const auto* disj = formula.as<Or>()) {
    result = any_member(disj->disjuncts);
  } else if (const auto* q = formula.as<Quantified>()) {
    result = std::any_of(q->exclusions.begin(), q->exclusions.end(),
                         [&](const TermList& tuple) { return terms_evaluate(tuple, env); }) ||
             guard_evaluates(*q->guard, env) || evaluates(*q->body, env);
  }
  evaluates_.emplace(&formula, result);
  return result;
}

void EvaluationProbe::run(const FormulaPtr& formula, const Substitution& substitution,
                          const SubstEnv& env) {
  if (!evaluates(*formula, env)) return;
  if (const auto* atom = formula->as<Atom>()) {
    subst_simplify(atom->args, substitution, env);
    return;
  }
  const FormulaList* members = nullptr;
  if (const auto* conj = formula->as<And>()) members = &conj->conjuncts;
  if (const auto* disj = formula->as<Or>()) members = &disj->disjuncts;
  if (members != nullptr) {
    for (const FormulaPtr& member : *members) run(member, substitution, env);
    return;
  }
  if (const auto* q = formula->as<Quantified>()) {
    for (const TermList& tuple : q->exclusions) {
      if (terms_evaluate(tuple, env)) subst_simplify(tuple, substitution, env);
    }
    if (guard_evaluates(*q->guard, env)) subst_guard(q->guard, substitution, env);
    run(q->body, substitution, env);
  }
}

} // namespace hipaa
