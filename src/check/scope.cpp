// Scoping: resolves identifiers in term position against the enclosing
// quantifiers.  A bound constant becomes a Var; everything else is copied.
// Unchanged terms are returned as they are, so the result shares them.

#include "check/scope.hpp"

#include "check/diagnostic.hpp"
#include "logic/printer.hpp"

#include <algorithm>

namespace hipaa {

namespace {

bool in_scope(const Scope& scope, const std::string& name) {
  return std::find(scope.begin(), scope.end(), name) != scope.end();
}

TermPtr scope_term(const TermPtr& term, const Scope& scope, std::ostream& out) {
  const auto* app = term->as<AppTerm>();
  if (!app) return term;
  if (in_scope(scope, app->name)) {
    if (app->args.empty()) return make_var(app->name);
    report_failure(
        out, "Error: In term " + print_term(*term) + " " + app->name + " is a bound variable\n",
        "VarAsConstructor");
  }
  TermList args = scope_terms(app->args, scope, out);
  if (std::equal(args.begin(), args.end(), app->args.begin())) return term;
  return make_app(app->name, std::move(args));
}

// The scope inside a quantifier: its variables, first to last, in front of
// the enclosing ones.  A name already bound, outside or earlier in the same
// list, is rejected.
Scope bind(const BoundList& bound, const Scope& scope, std::ostream& out) {
  Scope inner = scope;
  for (const BoundVar& entry : bound) {
    if (in_scope(inner, entry.var))
      report_failure(out, "Error: Variable " + entry.var + " is bound twice in the same scope\n",
                     "DuplicateBinding");
    inner.insert(inner.begin(), entry.var);
  }
  return inner;
}

// The first named member whose name recurs among the later members.
void check_sibling_names(const FormulaList& members, std::ostream& out) {
  for (auto member = members.begin(); member != members.end(); ++member) {
    const Name& name = (*member)->name;
    if (!name) continue;
    const bool recurs = std::any_of(std::next(member), members.end(),
                                    [&](const FormulaPtr& later) { return later->name == name; });
    if (recurs)
      report_failure(out, "Name <" + *name + "> appears twice among siblings\n",
                     "DuplicateSiblingName");
  }
}

FormulaList scope_members(const FormulaList& members, const Scope& scope, std::ostream& out) {
  check_sibling_names(members, out);
  FormulaList scoped;
  scoped.reserve(members.size());
  for (const FormulaPtr& member : members)
    scoped.push_back(scope_formula(member, scope, out));
  return scoped;
}

GuardList scope_guards(const GuardList& members, const Scope& scope, std::ostream& out) {
  GuardList scoped;
  scoped.reserve(members.size());
  for (const GuardPtr& member : members)
    scoped.push_back(scope_guard(member, scope, out));
  return scoped;
}

// The exclusion list sees only the enclosing scope: the quantifier's own
// variables are not visible there.
FormulaPtr scope_quantified(const Name& name, const Quantified& q, const Scope& scope,
                            std::ostream& out) {
  Scope inner = bind(q.bound, scope, out);
  ExclusionList exclusions;
  exclusions.reserve(q.exclusions.size());
  for (const TermList& tuple : q.exclusions)
    exclusions.push_back(scope_terms(tuple, scope, out));
  GuardPtr guard = scope_guard(q.guard, inner, out);
  FormulaPtr body = scope_formula(q.body, inner, out);
  return make_quantified(name, q.kind, q.bound, std::move(exclusions), q.compile, std::move(guard),
                         std::move(body));
}

} // namespace

FormulaPtr scope_formula(const FormulaPtr& formula, const Scope& scope, std::ostream& out) {
  const Name& name = formula->name;
  if (const auto* atom = formula->as<Atom>())
    return make_atom(name, atom->pred, scope_terms(atom->args, scope, out));
  if (const auto* conj = formula->as<And>())
    return make_and(name, scope_members(conj->conjuncts, scope, out));
  if (const auto* disj = formula->as<Or>())
    return make_or(name, scope_members(disj->disjuncts, scope, out));
  if (const auto* q = formula->as<Quantified>()) return scope_quantified(name, *q, scope, out);
  return formula; // True and False
}

GuardPtr scope_guard(const GuardPtr& guard, const Scope& scope, std::ostream& out) {
  if (const auto* atom = guard->as<GAtom>())
    return make_gatom(atom->pred, scope_terms(atom->args, scope, out));
  if (const auto* conj = guard->as<GAnd>())
    return make_gand(scope_guards(conj->conjuncts, scope, out));
  if (const auto* disj = guard->as<GOr>())
    return make_gor(scope_guards(disj->disjuncts, scope, out));
  if (const auto* ex = guard->as<GEx>()) {
    Scope inner = bind(ex->bound, scope, out);
    return make_gex(ex->bound, scope_guard(ex->guard, inner, out));
  }
  return guard; // GTrue and GFalse
}

TermList scope_terms(const TermList& terms, const Scope& scope, std::ostream& out) {
  TermList scoped;
  scoped.reserve(terms.size());
  for (const TermPtr& term : terms)
    scoped.push_back(scope_term(term, scope, out));
  return scoped;
}

} // namespace hipaa
