// Mode checking: every quantifier's guard, resolved left to right with the
// enclosing quantifiers' variables already bound, grounds all of the
// quantifier's variables.  The ground set is threaded through the guard in
// the order the reduction resolves it.

#include "check/modes.hpp"
#include "base/failure.hpp"
#include "base/stack_depth.hpp"
#include "check/diagnostic.hpp"
#include "check/ground_state.hpp"
#include "logic/printer.hpp"

#include <algorithm>

namespace hipaa {

namespace {

bool contains(const std::vector<std::string>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The term's variables, through all constructors, that are not ground, each
// once, in order of appearance.
void collect_unground(const Term& term, const GroundState& ground,
                      std::vector<std::string_view>& found) {
  check_stack_depth();
  if (const auto* var = term.as<VarTerm>()) {
    if (!ground.contains(var->name) &&
        std::find(found.begin(), found.end(), var->name) == found.end())
      found.push_back(var->name);
    return;
  }
  if (const auto* app = term.as<AppTerm>()) {
    for (const TermPtr& arg : app->args)
      collect_unground(*arg, ground, found);
  }
}

// Whether every variable of the term, through all constructors, is ground.
bool is_ground(const Term& term, const GroundState& ground) {
  check_stack_depth();
  if (const auto* var = term.as<VarTerm>()) return ground.contains(var->name);
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
void check_compile_args(const GAtom& atom, const GroundState& ground,
                        const std::vector<std::string>& bound_vars, const Signature& signature,
                        std::ostream& out) {
  const GroundTest outside = [&](std::string_view var) {
    return ground.contains(var) && !contains(bound_vars, var);
  };
  for (const TermPtr& arg : atom.args)
    check_compile_term_with(*arg, signature, outside, out);
}

// Input arguments must be ground on entry; output arguments ground their
// variables for the conjuncts that follow, not for this atom's inputs.
void atom_grounds(const GAtom& atom, GroundState& ground, bool compile,
                  const std::vector<std::string>& bound_vars, const Signature& signature,
                  std::ostream& out) {
  const PredDecl& pred = find_guard_predicate(atom, compile, signature, out);
  if (compile) check_compile_args(atom, ground, bound_vars, signature, out);
  if (pred.args.size() != atom.args.size()) raise("ModeCheckInternal");
  const GroundTest is_ground_var = [&](std::string_view var) { return ground.contains(var); };
  std::vector<std::string_view> grounded;
  for (std::size_t i = 0; i < atom.args.size(); ++i) {
    const Term& term = *atom.args[i];
    if (pred.args[i].mode == Mode::Input) {
      if (!is_ground(term, ground))
        report_failure(out, "Term " + print_term(term) + " in input mode is not ground\n",
                       "InputNotGround");
      continue;
    }
    check_output_term_with(term, signature, is_ground_var, out);
    collect_unground(term, ground, grounded);
  }
  for (std::string_view var : grounded)
    ground.add(var);
}

void walk_guard(const Guard& guard, GroundState& ground, bool compile,
                const std::vector<std::string>& bound_vars, const Signature& signature,
                std::ostream& out);

// A disjunction grounds only what every disjunct grounds, and only the
// quantifier's own variables are kept from it.
void disjunction_grounds(const GOr& disj, GroundState& ground, bool compile,
                         const std::vector<std::string>& bound_vars, const Signature& signature,
                         std::ostream& out) {
  const std::size_t entry = ground.mark();
  std::vector<bool> everywhere(bound_vars.size(), true);
  for (const GuardPtr& member : disj.disjuncts) {
    walk_guard(*member, ground, compile, bound_vars, signature, out);
    for (std::size_t i = 0; i < bound_vars.size(); ++i) {
      if (!ground.contains(bound_vars[i])) everywhere[i] = false;
    }
    ground.rollback(entry);
  }
  for (std::size_t i = 0; i < bound_vars.size(); ++i) {
    if (everywhere[i]) ground.add(bound_vars[i]);
  }
}

// The guard's own variables are local to it: they are dropped afterwards
// whether or not the inner guard grounds them.
void exists_grounds(const GEx& ex, GroundState& ground, bool compile,
                    const std::vector<std::string>& bound_vars, const Signature& signature,
                    std::ostream& out) {
  walk_guard(*ex.guard, ground, compile, bound_vars, signature, out);
  for (const BoundVar& local : ex.bound)
    ground.remove(local.var);
}

void walk_guard(const Guard& guard, GroundState& ground, bool compile,
                const std::vector<std::string>& bound_vars, const Signature& signature,
                std::ostream& out) {
  check_stack_depth();
  if (const auto* atom = guard.as<GAtom>()) {
    atom_grounds(*atom, ground, compile, bound_vars, signature, out);
  } else if (const auto* conj = guard.as<GAnd>()) {
    for (const GuardPtr& member : conj->conjuncts)
      walk_guard(*member, ground, compile, bound_vars, signature, out);
  } else if (const auto* disj = guard.as<GOr>()) {
    disjunction_grounds(*disj, ground, compile, bound_vars, signature, out);
  } else if (const auto* ex = guard.as<GEx>()) {
    exists_grounds(*ex, ground, compile, bound_vars, signature, out);
  }
  // GTrue and GFalse ground nothing
}

std::vector<std::string> bound_names(const BoundList& bound) {
  std::vector<std::string> names;
  names.reserve(bound.size());
  for (const BoundVar& entry : bound)
    names.push_back(entry.var);
  return names;
}

void walk_formula(const Formula& formula, GroundState& ground, const Signature& signature,
                  std::ostream& out);

// The guard is analysed from the enclosing ground set; the body sees that
// set extended by the quantifier's variables.
void check_quantified(const Quantified& q, GroundState& ground, const Signature& signature,
                      std::ostream& out) {
  const std::size_t entry = ground.mark();
  const std::vector<std::string> names = bound_names(q.bound);
  walk_guard(*q.guard, ground, q.compile, names, signature, out);
  BoundList unground;
  for (const std::string& name : names) {
    if (!ground.contains(name)) unground.push_back({std::nullopt, name});
  }
  if (!unground.empty())
    report_failure(out,
                   "Bound variables: " + print_bound_list(unground) +
                       " are not grounded by the guard " + print_guard(*q.guard) + "\n",
                   "NonGroundingGuard");
  ground.rollback(entry);
  for (const BoundVar& entry_var : q.bound)
    ground.add(entry_var.var);
  walk_formula(*q.body, ground, signature, out);
  ground.rollback(entry);
}

void walk_formula(const Formula& formula, GroundState& ground, const Signature& signature,
                  std::ostream& out) {
  check_stack_depth();
  const FormulaList* members = nullptr;
  if (const auto* conj = formula.as<And>()) members = &conj->conjuncts;
  if (const auto* disj = formula.as<Or>()) members = &disj->disjuncts;
  if (members) {
    for (const FormulaPtr& member : *members)
      walk_formula(*member, ground, signature, out);
    return;
  }
  if (const auto* q = formula.as<Quantified>()) check_quantified(*q, ground, signature, out);
}

} // namespace

void mode_check_formula(const Formula& formula, const GroundSet& ground, const Signature& signature,
                        std::ostream& out) {
  GroundState state(ground);
  walk_formula(formula, state, signature, out);
}

GroundSet guard_grounds(const Guard& guard, const GroundSet& ground, bool compile,
                        const std::vector<std::string>& bound_vars, const Signature& signature,
                        std::ostream& out) {
  GroundState state(ground);
  walk_guard(guard, state, compile, bound_vars, signature, out);
  return state.names();
}

} // namespace hipaa
