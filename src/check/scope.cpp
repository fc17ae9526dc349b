// Scoping: resolves identifiers in term position against the enclosing
// quantifiers.  A bound constant becomes a Var; everything else is copied.
// Unchanged terms are returned as they are, so the result shares them.

#include "check/scope.hpp"

#include "base/stack_depth.hpp"
#include "check/diagnostic.hpp"
#include "logic/printer.hpp"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace hipaa {

namespace {

// The names bound along the path from the root, counted, so that entering
// and leaving a quantifier costs the length of its own bound list whatever
// the depth.  The names point into the formula being scoped.
class ScopeState {
public:
  explicit ScopeState(const Scope& scope) {
    for (const std::string& name : scope) ++count_[name];
  }
  bool contains(std::string_view name) const { return count_.contains(name); }
  void enter(std::string_view name) { ++count_[name]; }
  void leave(std::string_view name) {
    auto entry = count_.find(name);
    if (--entry->second == 0) count_.erase(entry);
  }

private:
  std::unordered_map<std::string_view, int> count_;
};

TermList scope_term_list(const TermList& terms, const ScopeState& scope, std::ostream& out);

TermPtr scope_term(const TermPtr& term, const ScopeState& scope, std::ostream& out) {
  check_stack_depth();
  const auto* app = term->as<AppTerm>();
  if (!app) return term;
  if (scope.contains(app->name)) {
    if (app->args.empty()) return make_var(app->name);
    report_failure(
        out, "Error: In term " + print_term(*term) + " " + app->name + " is a bound variable\n",
        "VarAsConstructor");
  }
  TermList args = scope_term_list(app->args, scope, out);
  if (std::equal(args.begin(), args.end(), app->args.begin())) return term;
  return make_app(app->name, std::move(args));
}

TermList scope_term_list(const TermList& terms, const ScopeState& scope, std::ostream& out) {
  TermList scoped;
  scoped.reserve(terms.size());
  for (const TermPtr& term : terms)
    scoped.push_back(scope_term(term, scope, out));
  return scoped;
}

// Puts a quantifier's variables, first to last, in scope.  A name already
// bound, outside or earlier in the same list, is rejected.
void bind(const BoundList& bound, ScopeState& scope, std::ostream& out) {
  for (const BoundVar& entry : bound) {
    if (scope.contains(entry.var))
      report_failure(out, "Error: Variable " + entry.var + " is bound twice in the same scope\n",
                     "DuplicateBinding");
    scope.enter(entry.var);
  }
}

void unbind(const BoundList& bound, ScopeState& scope) {
  for (const BoundVar& entry : bound) scope.leave(entry.var);
}

// The first named member whose name recurs among the later members.
void check_sibling_names(const FormulaList& members, std::ostream& out) {
  std::unordered_map<std::string_view, std::size_t> last_position;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (const Name& name = members[i]->name) last_position[*name] = i;
  }
  for (std::size_t i = 0; i < members.size(); ++i) {
    const Name& name = members[i]->name;
    if (name && last_position[*name] != i)
      report_failure(out, "Name <" + *name + "> appears twice among siblings\n",
                     "DuplicateSiblingName");
  }
}

FormulaPtr walk_formula(const FormulaPtr& formula, ScopeState& scope, std::ostream& out);
GuardPtr walk_guard(const GuardPtr& guard, ScopeState& scope, std::ostream& out);

FormulaList scope_members(const FormulaList& members, ScopeState& scope, std::ostream& out) {
  check_sibling_names(members, out);
  FormulaList scoped;
  scoped.reserve(members.size());
  for (const FormulaPtr& member : members)
    scoped.push_back(walk_formula(member, scope, out));
  return scoped;
}

GuardList scope_guards(const GuardList& members, ScopeState& scope, std::ostream& out) {
  GuardList scoped;
  scoped.reserve(members.size());
  for (const GuardPtr& member : members)
    scoped.push_back(walk_guard(member, scope, out));
  return scoped;
}

// The exclusion list sees only the enclosing scope: the quantifier's own
// variables are not visible there.  They are bound (and checked) first, so
// a duplicate binding is reported before anything in the exclusions.
FormulaPtr scope_quantified(const Name& name, const Quantified& q, ScopeState& scope,
                            std::ostream& out) {
  bind(q.bound, scope, out);
  unbind(q.bound, scope);
  ExclusionList exclusions;
  for (const TermList& tuple : q.exclusions)
    exclusions.push_back(scope_term_list(tuple, scope, out));
  bind(q.bound, scope, out);
  GuardPtr guard = walk_guard(q.guard, scope, out);
  FormulaPtr body = walk_formula(q.body, scope, out);
  unbind(q.bound, scope);
  return make_quantified(name, q.kind, q.bound, std::move(exclusions), q.compile, std::move(guard),
                         std::move(body));
}

FormulaPtr walk_formula(const FormulaPtr& formula, ScopeState& scope, std::ostream& out) {
  check_stack_depth();
  const Name& name = formula->name;
  if (const auto* atom = formula->as<Atom>())
    return make_atom(name, atom->pred, scope_term_list(atom->args, scope, out));
  if (const auto* conj = formula->as<And>())
    return make_and(name, scope_members(conj->conjuncts, scope, out));
  if (const auto* disj = formula->as<Or>())
    return make_or(name, scope_members(disj->disjuncts, scope, out));
  if (const auto* q = formula->as<Quantified>()) return scope_quantified(name, *q, scope, out);
  return formula; // True and False
}

GuardPtr walk_guard(const GuardPtr& guard, ScopeState& scope, std::ostream& out) {
  check_stack_depth();
  if (const auto* atom = guard->as<GAtom>())
    return make_gatom(atom->pred, scope_term_list(atom->args, scope, out));
  if (const auto* conj = guard->as<GAnd>())
    return make_gand(scope_guards(conj->conjuncts, scope, out));
  if (const auto* disj = guard->as<GOr>())
    return make_gor(scope_guards(disj->disjuncts, scope, out));
  if (const auto* ex = guard->as<GEx>()) {
    bind(ex->bound, scope, out);
    GuardPtr inner = walk_guard(ex->guard, scope, out);
    unbind(ex->bound, scope);
    return make_gex(ex->bound, std::move(inner));
  }
  return guard; // GTrue and GFalse
}

} // namespace

FormulaPtr scope_formula(const FormulaPtr& formula, const Scope& scope, std::ostream& out) {
  ScopeState state(scope);
  return walk_formula(formula, state, out);
}

GuardPtr scope_guard(const GuardPtr& guard, const Scope& scope, std::ostream& out) {
  ScopeState state(scope);
  return walk_guard(guard, state, out);
}

TermList scope_terms(const TermList& terms, const Scope& scope, std::ostream& out) {
  return scope_term_list(terms, ScopeState(scope), out);
}

} // namespace hipaa
