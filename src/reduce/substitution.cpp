#include "reduce/substitution.hpp"

#include "base/failure.hpp"
#include "base/stack_depth.hpp"
#include "reduce/term_match.hpp"

#include <ostream>

namespace hipaa {

const TermPtr* find_binding(const Substitution& substitution, const std::string& var) {
  for (const Binding& binding : substitution) {
    if (binding.var == var) return &binding.value;
  }
  return nullptr;
}

TermList value_tuple(const BoundList& bound, const Substitution& sigma) {
  TermList tuple;
  tuple.reserve(bound.size());
  for (const BoundVar& var : bound) {
    const TermPtr* value = find_binding(sigma, var.var);
    if (value == nullptr) raise("Option"); // mode checking rules this out
    tuple.push_back(*value);
  }
  return tuple;
}

bool subst_into(const TermList& terms, const Substitution& substitution, const SubstEnv& env,
                TermList& result) {
  result.reserve(result.size() + terms.size());
  bool changed = false;
  for (const TermPtr& term : terms) {
    result.push_back(subst_simplify(term, substitution, env));
    changed = changed || result.back() != term;
  }
  return changed;
}

namespace {

[[noreturn]] void report_non_constructor(const std::string& name, std::ostream& out) {
  out << "In ReductionFn.subst_simplify, purported constructor " << name
      << " has non-constructor declaration\n";
  out.flush();
  raise("Impossible");
}

// App c(args): the arguments first, then c by its declaration's class.
TermPtr subst_app(const TermPtr& term, const AppTerm& app, const Substitution& substitution,
                  const SubstEnv& env) {
  TermList args;
  bool changed = subst_into(app.args, substitution, env, args);
  const ConsDecl* decl = env.decls.find_cons(app.name);
  if (decl == nullptr) report_non_constructor(app.name, env.out);
  // Evaluated constructors are computed once their arguments are closed; an
  // open argument waits for the substitution that binds it.
  if (decl->cls != ConsClass::Sym && all_closed(args)) {
    return env.scenario.eval_term(app.name, args);
  }
  return changed ? make_app(app.name, std::move(args)) : term;
}

FormulaList subst_formulas(const FormulaList& formulas, const Substitution& substitution,
                           const SubstEnv& env) {
  FormulaList result;
  result.reserve(formulas.size());
  for (const FormulaPtr& formula : formulas) {
    result.push_back(subst_formula(formula, substitution, env));
  }
  return result;
}

GuardList subst_guards(const GuardList& guards, const Substitution& substitution,
                       const SubstEnv& env) {
  GuardList result;
  result.reserve(guards.size());
  for (const GuardPtr& guard : guards) result.push_back(subst_guard(guard, substitution, env));
  return result;
}

FormulaPtr subst_atom(const FormulaPtr& formula, const Atom& atom,
                      const Substitution& substitution, const SubstEnv& env) {
  TermList args;
  if (!subst_into(atom.args, substitution, env, args)) return formula;
  return make_atom(formula->name, atom.pred, std::move(args));
}

// Exclusions, guard, body: in this order, which is the order in which
// evaluated constructors are computed (and reported when not understood).
FormulaPtr subst_quantified(const Formula& formula, const Quantified& q,
                            const Substitution& substitution, const SubstEnv& env) {
  ExclusionList exclusions = subst_exclusions(q.exclusions, substitution, env);
  GuardPtr guard = subst_guard(q.guard, substitution, env);
  FormulaPtr body = subst_formula(q.body, substitution, env);
  return make_quantified(formula.name, q.kind, q.bound, std::move(exclusions), q.compile,
                         std::move(guard), std::move(body));
}

} // namespace

ExclusionList subst_exclusions(const ExclusionList& exclusions, const Substitution& substitution,
                               const SubstEnv& env) {
  ExclusionList result;
  for (const TermList& tuple : exclusions) {
    result.push_back(subst_simplify(tuple, substitution, env));
  }
  return result;
}

TermPtr subst_simplify(const TermPtr& term, const Substitution& substitution,
                       const SubstEnv& env) {
  check_stack_depth();
  if (const auto* var = term->as<VarTerm>()) {
    const TermPtr* bound = find_binding(substitution, var->name);
    return bound != nullptr ? *bound : term;
  }
  if (const auto* app = term->as<AppTerm>()) return subst_app(term, *app, substitution, env);
  return term; // Int, Date and Str are values already
}

TermList subst_simplify(const TermList& terms, const Substitution& substitution,
                        const SubstEnv& env) {
  TermList result;
  subst_into(terms, substitution, env, result);
  return result;
}

FormulaPtr subst_formula(const FormulaPtr& formula, const Substitution& substitution,
                         const SubstEnv& env) {
  check_stack_depth();
  if (const auto* atom = formula->as<Atom>()) return subst_atom(formula, *atom, substitution, env);
  if (const auto* conj = formula->as<And>()) {
    return make_and(formula->name, subst_formulas(conj->conjuncts, substitution, env));
  }
  if (const auto* disj = formula->as<Or>()) {
    return make_or(formula->name, subst_formulas(disj->disjuncts, substitution, env));
  }
  if (const auto* q = formula->as<Quantified>()) {
    return subst_quantified(*formula, *q, substitution, env);
  }
  return formula; // True and False have nothing to substitute
}

GuardPtr subst_guard(const GuardPtr& guard, const Substitution& substitution,
                     const SubstEnv& env) {
  check_stack_depth();
  if (const auto* atom = guard->as<GAtom>()) {
    TermList args;
    if (!subst_into(atom->args, substitution, env, args)) return guard;
    return make_gatom(atom->pred, std::move(args));
  }
  if (const auto* conj = guard->as<GAnd>()) {
    return make_gand(subst_guards(conj->conjuncts, substitution, env));
  }
  if (const auto* disj = guard->as<GOr>()) {
    return make_gor(subst_guards(disj->disjuncts, substitution, env));
  }
  if (const auto* ex = guard->as<GEx>()) {
    return make_gex(ex->bound, subst_guard(ex->guard, substitution, env));
  }
  return guard; // GTrue and GFalse
}

} // namespace hipaa
