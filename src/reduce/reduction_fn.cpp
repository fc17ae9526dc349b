// Dispatch, atoms standing as formulas, conjunction and disjunction.
#include "reduce/reduction_fn.hpp"

#include "base/failure.hpp"
#include "base/stack_depth.hpp"
#include "logic/printer.hpp"
#include "reduce/term_match.hpp"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string_view>

namespace hipaa {

ReductionFn::ReductionFn(const Signature& signature, db::Connection& connection,
                         std::ostream& out, Scenario& scenario)
    : signature_(signature), decls_(signature), connection_(connection), out_(out),
      scenario_(scenario), log_(signature, connection, out) {}

// formula := true | false | atom | (and ...) | (or ...) | (all ...) | (ex ...)
FormulaPtr ReductionFn::reduce_formula_internal(const FormulaPtr& formula) {
  // What the probe knows is keyed by formula storage, valid for one call.
  if (reduction_depth_ == 0) probe_.clear();
  DepthScope depth(reduction_depth_);
  return reduce_under(formula, nullptr);
}

FormulaPtr ReductionFn::reduce_under(const FormulaPtr& formula, const Substitution* pending) {
  check_stack_depth();
  if (const auto* atom = formula->as<Atom>()) return reduce_atom(formula, *atom, pending);
  if (const auto* conj = formula->as<And>()) return reduce_and(formula, *conj, pending);
  if (const auto* disj = formula->as<Or>()) return reduce_or(formula, *disj, pending);
  if (const auto* q = formula->as<Quantified>()) return reduce_quantified(formula, *q, pending);
  return formula; // True and False stay, name included
}

namespace {

enum class Outcome { Satisfied, Unsatisfied, Undecided };

// The one predicate whose absence from the log leaves an atom open: later
// disclosures may still be recorded.
bool is_disclose_eval(const std::string& pred) { return pred == "disclose-eval"; }

} // namespace

FormulaPtr ReductionFn::decided(bool value, const Name& name) {
  static thread_local const FormulaPtr unnamed_true = make_true();
  static thread_local const FormulaPtr unnamed_false = make_false();
  if (!name) return value ? unnamed_true : unnamed_false;
  // By the name's text: the formulas the reduction builds carry copies of
  // their names, each at an address of its own.
  Decided& slot = decided_[std::hash<std::string_view>()(*name) % decided_.size()];
  if (slot.name != *name) {
    slot.name = *name;
    slot.value[0] = nullptr;
    slot.value[1] = nullptr;
  }
  FormulaPtr& made = slot.value[value ? 1 : 0];
  if (!made) made = value ? make_true(name) : make_false(name);
  return made;
}

// atom: decided by its solutions.  A solution that matches the (ground)
// arguments with no bindings makes it true and ends the enumeration; the
// closing no-solution signal makes it false (open for "disclose-eval").
// Under a pending substitution the arguments are substituted first, and a
// new atom is built only when it stays in the residual.
FormulaPtr ReductionFn::reduce_atom(const FormulaPtr& formula, const Atom& atom,
                                    const Substitution* pending) {
  TermList substituted;
  bool changed = pending != nullptr && subst_into(atom.args, *pending, subst_env(), substituted);
  const TermList& instance_args = changed ? substituted : atom.args;
  auto instance = [&] {
    return changed ? make_atom(formula->name, atom.pred, substituted) : formula;
  };

  const PredDecl* decl = decls_.find_pred(atom.pred);
  if (decl == nullptr) {
    out_ << "In function ReductionFn.reduce_formula_internal: Purported predicate " << atom.pred
         << "is not a declared predicate\n";
    out_.flush();
    raise("Impossible");
  }
  if (decl->cls == PredClass::Subj) return instance();

  // An atom outside every quantifier body has not been through substitution
  // yet: evaluate its closed constructor applications now.  An instance's
  // arguments have been: the pending substitution replaced every closed
  // evaluated application by its value.
  TermList evaluated;
  if (pending == nullptr) evaluated = subst_simplify(atom.args, Substitution{}, subst_env());
  const TermList& args = pending == nullptr ? evaluated : instance_args;
  Outcome outcome = Outcome::Satisfied;
  auto check_ground_atom = [&](const Candidate& candidate) {
    std::optional<Substitution> bindings;
    if (candidate.is_solution()) bindings = match(args, *candidate.values);
    if (!bindings) {
      outcome = is_disclose_eval(atom.pred) ? Outcome::Undecided : Outcome::Unsatisfied;
      return Flow::Continue;
    }
    if (!bindings->empty()) {
      out_ << "In ReductionFn.check_ground_atom: "
           << "found non-empty satisfying susbtitution for atom: "
           << print_atom_text(atom.pred, args) << "\n";
      out_.flush();
      raise("Impossible");
    }
    outcome = Outcome::Satisfied;
    return Flow::Stop;
  };
  resolve_declared(*decl, atom.pred, args, check_ground_atom);

  switch (outcome) {
  case Outcome::Satisfied:
    return decided(true, formula->name);
  case Outcome::Unsatisfied:
    return decided(false, formula->name);
  case Outcome::Undecided:
    break;
  }
  return instance();
}

// (and f1 .. fn): left to right; a false conjunct ends the walk, true ones
// drop out, a single survivor replaces the conjunction.
FormulaPtr ReductionFn::reduce_and(const FormulaPtr& formula, const And& conj,
                                   const Substitution* pending) {
  FormulaList kept;
  for (const FormulaPtr& conjunct : conj.conjuncts) {
    FormulaPtr reduced = reduce_under(conjunct, pending);
    if (reduced->is<False>()) return decided(false, formula->name);
    if (!reduced->is<True>()) kept.push_back(std::move(reduced));
  }
  if (kept.empty()) return decided(true, formula->name);
  if (kept.size() == 1) return kept.front();
  return make_and(formula->name, std::move(kept));
}

// (or f1 .. fn): the mirror image of and.
FormulaPtr ReductionFn::reduce_or(const FormulaPtr& formula, const Or& disj,
                                  const Substitution* pending) {
  FormulaList kept;
  for (const FormulaPtr& disjunct : disj.disjuncts) {
    FormulaPtr reduced = reduce_under(disjunct, pending);
    if (reduced->is<True>()) return decided(true, formula->name);
    if (!reduced->is<False>()) kept.push_back(std::move(reduced));
  }
  if (kept.empty()) return decided(false, formula->name);
  if (kept.size() == 1) return kept.front();
  return make_or(formula->name, std::move(kept));
}

} // namespace hipaa
