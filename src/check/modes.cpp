// Mode checking: every quantifier's guard, resolved left to right with the
// enclosing quantifiers' variables already bound, grounds all of the
// quantifier's variables.  The ground set is threaded through the guard in
// the order the reduction resolves it.

#include "check/modes.hpp"
#include "check/diagnostic.hpp"
#include "base/failure.hpp"
#include "logic/printer.hpp"

#include <algorithm>

namespace hipaa {

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

void add_once(std::vector<std::string>& names, const std::string& name) {
  if (!contains(names, name)) names.push_back(name);
}

// The term's variables, through all constructors, that are not in `ground`.
void collect_unground(const Term& term, const GroundSet& ground, std::vector<std::string>& found) {
  if (const auto* var = term.as<VarTerm>()) {
    if (!contains(ground, var->name)) add_once(found, var->name);
    return;
  }
  if (const auto* app = term.as<AppTerm>()) {
    for (const TermPtr& arg : app->args)
      collect_unground(*arg, ground, found);
  }
}

// Whether every variable of the term, through all constructors, is ground.
bool is_ground(const Term& term, const GroundSet& ground) {
  if (const auto* var = term.as<VarTerm>()) return contains(ground, var->name);
  const auto* app = term.as<AppTerm>();
  if (!app) return true; // literals
  return std::all_of(app->args.begin(), app->args.end(),
                     [&](const TermPtr& arg) { return is_ground(*arg, ground); });
}

const PredDecl& find_guard_predicate(const GAtom& atom, bool compile, const Signature& signature,
                                     std::ostream& out) {
  const PredDecl* pred = lookup_pred(signature, atom.pred);
  if (!pred)
    report_failure(out,
                   "Mode check: Undeclared/non-predicate: " + atom.pred + " used as predicate\n",
                   "ModeCheckInternal");
  if (pred->cls == PredClass::Subj)
    report_failure(out, "SUBJ predicate: " + atom.pred + " occurs in guard\n", "SubjInGuard");
  if (pred->cls == PredClass::Eval && compile)
    report_failure(out, "EVAL predicate: " + atom.pred + " occurs in guard marked COMPILE\n",
                   "EvalInCompileGuard");
  return *pred;
}

// In a COMPILE guard the quantifier's own variables never count as ground
// outside the guard.
void check_compile_args(const GAtom& atom, const GroundSet& ground,
                        const std::vector<std::string>& bound_vars, const Signature& signature,
                        std::ostream& out) {
  GroundSet outside;
  for (const std::string& var : ground) {
    if (!contains(bound_vars, var)) outside.push_back(var);
  }
  for (const TermPtr& arg : atom.args)
    check_compile_term(*arg, signature, outside, out);
}

// Input arguments must be ground on entry; output arguments ground their
// variables for the conjuncts that follow, not for this atom's inputs.
GroundSet atom_grounds(const GAtom& atom, const GroundSet& ground, bool compile,
                       const std::vector<std::string>& bound_vars, const Signature& signature,
                       std::ostream& out) {
  const PredDecl& pred = find_guard_predicate(atom, compile, signature, out);
  if (compile) check_compile_args(atom, ground, bound_vars, signature, out);
  if (pred.args.size() != atom.args.size()) raise("ModeCheckInternal");
  std::vector<std::string> grounded;
  for (std::size_t i = 0; i < atom.args.size(); ++i) {
    const Term& term = *atom.args[i];
    if (pred.args[i].mode == Mode::Input) {
      if (!is_ground(term, ground))
        report_failure(out, "Term " + print_term(term) + " in input mode is not ground\n",
                       "InputNotGround");
      continue;
    }
    check_output_term(term, signature, ground, out);
    collect_unground(term, ground, grounded);
  }
  GroundSet result = ground;
  result.insert(result.end(), grounded.begin(), grounded.end());
  return result;
}

// A disjunction grounds only what every disjunct grounds, and only the
// quantifier's own variables are kept from it.
GroundSet disjunction_grounds(const GOr& disj, const GroundSet& ground, bool compile,
                              const std::vector<std::string>& bound_vars,
                              const Signature& signature, std::ostream& out) {
  std::vector<GroundSet> results;
  results.reserve(disj.disjuncts.size());
  for (const GuardPtr& member : disj.disjuncts)
    results.push_back(guard_grounds(*member, ground, compile, bound_vars, signature, out));
  GroundSet result = ground;
  for (const std::string& var : bound_vars) {
    if (contains(result, var)) continue;
    const bool everywhere = std::all_of(results.begin(), results.end(),
                                        [&](const GroundSet& r) { return contains(r, var); });
    if (everywhere) result.push_back(var);
  }
  return result;
}

// The guard's own variables are local to it: they are dropped afterwards
// whether or not the inner guard grounds them.
GroundSet exists_grounds(const GEx& ex, const GroundSet& ground, bool compile,
                         const std::vector<std::string>& bound_vars, const Signature& signature,
                         std::ostream& out) {
  GroundSet inner = guard_grounds(*ex.guard, ground, compile, bound_vars, signature, out);
  std::erase_if(inner, [&](const std::string& var) {
    return std::any_of(ex.bound.begin(), ex.bound.end(),
                       [&](const BoundVar& local) { return local.var == var; });
  });
  return inner;
}

std::vector<std::string> bound_names(const BoundList& bound) {
  std::vector<std::string> names;
  names.reserve(bound.size());
  for (const BoundVar& entry : bound)
    names.push_back(entry.var);
  return names;
}

void check_quantified(const Quantified& q, const GroundSet& ground, const Signature& signature,
                      std::ostream& out) {
  const std::vector<std::string> names = bound_names(q.bound);
  const GroundSet after_guard = guard_grounds(*q.guard, ground, q.compile, names, signature, out);
  BoundList unground;
  for (const std::string& name : names) {
    if (!contains(after_guard, name)) unground.push_back({std::nullopt, name});
  }
  if (!unground.empty())
    report_failure(out,
                   "Bound variables: " + print_bound_list(unground) +
                       " are not grounded by the guard " + print_guard(*q.guard) + "\n",
                   "NonGroundingGuard");
  GroundSet inner = ground;
  for (const std::string& name : names)
    add_once(inner, name);
  mode_check_formula(*q.body, inner, signature, out);
}

} // namespace

void mode_check_formula(const Formula& formula, const GroundSet& ground, const Signature& signature,
                        std::ostream& out) {
  const FormulaList* members = nullptr;
  if (const auto* conj = formula.as<And>()) members = &conj->conjuncts;
  if (const auto* disj = formula.as<Or>()) members = &disj->disjuncts;
  if (members) {
    for (const FormulaPtr& member : *members)
      mode_check_formula(*member, ground, signature, out);
    return;
  }
  if (const auto* q = formula.as<Quantified>()) check_quantified(*q, ground, signature, out);
}

GroundSet guard_grounds(const Guard& guard, const GroundSet& ground, bool compile,
                        const std::vector<std::string>& bound_vars, const Signature& signature,
                        std::ostream& out) {
  if (const auto* atom = guard.as<GAtom>())
    return atom_grounds(*atom, ground, compile, bound_vars, signature, out);
  if (const auto* conj = guard.as<GAnd>()) {
    GroundSet threaded = ground;
    for (const GuardPtr& member : conj->conjuncts)
      threaded = guard_grounds(*member, threaded, compile, bound_vars, signature, out);
    return threaded;
  }
  if (const auto* disj = guard.as<GOr>())
    return disjunction_grounds(*disj, ground, compile, bound_vars, signature, out);
  if (const auto* ex = guard.as<GEx>())
    return exists_grounds(*ex, ground, compile, bound_vars, signature, out);
  return ground; // GTrue and GFalse
}

} // namespace hipaa
