// Quantifiers and the enumeration of their guards.  Every guard solution is
// instantiated and reduced as soon as it arrives, while the statements that
// produced it are still open.
#include "reduce/reduction_fn.hpp"

#include "base/failure.hpp"
#include "base/stack_depth.hpp"
#include "reduce/term_match.hpp"

#include <algorithm>
#include <optional>

namespace hipaa {

namespace {

// The cells one quantifier step shares with its guard's continuations.
struct QuantifierState {
  bool decided = false;            // an All instance was false / an Ex instance true
  FormulaList open_instances;      // undecided instances, in the order found
  // Instantiated value tuples, oldest first, kept in the compact form in
  // which the residual quantifier will carry them.
  ExclusionList handled;
  bool closed = true;              // cleared when the guard's range may still grow
};

// Records one reduced instance: a deciding value ends the quantifier, a
// neutral one drops out, anything else stays open.
void record_instance(QuantifierState& state, Quantifier kind, FormulaPtr instance) {
  bool is_all = kind == Quantifier::All;
  bool deciding = is_all ? instance->is<False>() : instance->is<True>();
  bool neutral = is_all ? instance->is<True>() : instance->is<False>();
  if (deciding) {
    state.decided = true;
    state.open_instances.clear();
    return;
  }
  if (!neutral) state.open_instances.push_back(std::move(instance));
}

// The quantifier itself again, for the part of the range the log leaves
// open: the tuples handled now come first in its exclusion list.
FormulaPtr residual_quantifier(const Formula& formula, const Quantified& q,
                               const ExclusionList& exclusions, GuardPtr guard, FormulaPtr body,
                               ExclusionList& handled) {
  handled.append(exclusions);
  return make_quantified(formula.name, q.kind, q.bound, std::move(handled), q.compile,
                         std::move(guard), std::move(body));
}

// All: the open instances in the order found, joined by and.  Ex: joined by
// or, newest first (the residual quantifier, when there is one, leads).
// `decided` makes the true or false that replaces the quantifier.
template <class Decide>
FormulaPtr quantifier_result(const Formula& formula, Quantifier kind, QuantifierState& state,
                             Decide decided) {
  bool is_all = kind == Quantifier::All;
  if (state.decided) return decided(!is_all, formula.name);
  FormulaList& open = state.open_instances;
  if (open.empty()) return decided(is_all, formula.name);
  if (open.size() == 1) return open.front();
  if (is_all) return make_and(formula.name, std::move(open));
  std::reverse(open.begin(), open.end());
  return make_or(formula.name, std::move(open));
}

} // namespace

// (all|ex vars {exclusions} guard body): the body instantiated for every
// guard solution not excluded.  Under a pending substitution the exclusions
// are substituted first; the guard is enumerated from the pending bindings,
// each atom substituted as it is resolved, and the body waits for each
// instance.  Every failing evaluation under the pending bindings has been
// reported before, by the probe of the instance that holds this quantifier.
FormulaPtr ReductionFn::reduce_quantified(const FormulaPtr& formula, const Quantified& q,
                                          const Substitution* pending) {
  SubstEnv env = subst_env();
  ExclusionList substituted;
  if (pending) substituted = subst_exclusions(q.exclusions, *pending, env);
  const ExclusionList& exclusions = pending ? substituted : q.exclusions;

  QuantifierState state;
  // Each solution starts with the pending bindings, so it is the whole
  // substitution of its instance.
  auto instance_step = [&](const Substitution& instance_sigma) {
    if (state.decided) return;
    TermList tuple = value_tuple(q.bound, instance_sigma);
    if (is_excluded(exclusions, tuple)) return;
    state.handled.push_back(tuple);
    probe_.run(q.body, instance_sigma, env);
    FormulaPtr instance = reduce_under(q.body, &instance_sigma);
    record_instance(state, q.kind, std::move(instance));
  };
  // Bound by reference: a conditional of *pending and a temporary would copy
  // the pending bindings for every quantifier reduced.
  const Substitution none;
  const Substitution& start = pending ? *pending : none;
  satisfy_guard(*q.guard, start, instance_step, state.closed,
                &state.decided);

  if (!state.closed && !state.decided) {
    GuardPtr guard = pending ? subst_guard(q.guard, *pending, env) : q.guard;
    FormulaPtr body = pending ? subst_formula(q.body, *pending, env) : q.body;
    state.open_instances.push_back(residual_quantifier(*formula, q, exclusions,
                                                       std::move(guard), std::move(body),
                                                       state.handled));
  }
  return quantifier_result(*formula, q.kind, state, [this](bool value, const Name& name) {
    return decided(value, name);
  });
}

// guard := true | false | atom | (and g..) | (or g..) | (ex vars g)
void ReductionFn::satisfy_guard(const Guard& guard, const Substitution& sigma, GuardK k,
                                bool& closed, const bool* settled) {
  check_stack_depth();
  if (guard.is<GTrue>()) {
    k(sigma);
    return;
  }
  if (const auto* atom = guard.as<GAtom>()) {
    satisfy_guard_atom(*atom, sigma, k, closed, settled);
    return;
  }
  if (const auto* conj = guard.as<GAnd>()) {
    satisfy_conjuncts(conj->conjuncts, 0, sigma, k, closed, settled);
    return;
  }
  if (const auto* disj = guard.as<GOr>()) {
    for (const GuardPtr& disjunct : disj->disjuncts) {
      satisfy_guard(*disjunct, sigma, k, closed, settled);
    }
    return;
  }
  if (const auto* ex = guard.as<GEx>()) {
    // The guard's local variables are not part of the solution.
    auto drop_locals = [&](const Substitution& inner) {
      Substitution outer;
      outer.reserve(inner.size());
      for (const Binding& binding : inner) {
        bool local = std::any_of(ex->bound.begin(), ex->bound.end(),
                                 [&](const BoundVar& var) { return var.var == binding.var; });
        if (!local) outer.push_back(binding);
      }
      k(outer);
    };
    satisfy_guard(*ex->guard, sigma, drop_locals, closed, settled);
  }
  // GFalse has no solution
}

// (and g_from .. g_n): depth first, each solution of one conjunct feeding
// the enumeration of the next.
void ReductionFn::satisfy_conjuncts(const GuardList& guards, std::size_t from,
                                    const Substitution& sigma, GuardK k, bool& closed,
                                    const bool* settled) {
  check_stack_depth();
  if (from == guards.size()) {
    k(sigma);
    return;
  }
  auto next = [&](const Substitution& extended) {
    satisfy_conjuncts(guards, from + 1, extended, k, closed, settled);
  };
  // Only the last conjunct hands its solutions straight to k.
  bool last = from + 1 == guards.size();
  satisfy_guard(*guards[from], sigma, next, closed, last ? settled : nullptr);
}

// A guard atom: instantiated with sigma and resolved; each matching
// solution extends sigma.  The end of a "disclose-eval" enumeration opens
// the quantifier's range.
void ReductionFn::satisfy_guard_atom(const GAtom& atom, const Substitution& sigma, GuardK k,
                                     bool& closed, const bool* settled) {
  TermList args = subst_simplify(atom.args, sigma, subst_env());
  auto guard_atom_k = [&](const Candidate& candidate) {
    if (settled != nullptr && *settled && candidate.is_solution()) return Flow::Settled;
    std::optional<Substitution> bindings;
    if (candidate.is_solution()) bindings = match(args, *candidate.values);
    if (!bindings) {
      if (atom.pred == "disclose-eval") closed = false;
      return Flow::Continue;
    }
    Substitution extended = sigma;
    extended.insert(extended.end(), bindings->begin(), bindings->end());
    k(extended);
    return settled != nullptr && *settled ? Flow::Settled : Flow::Continue;
  };
  resolve_atom(atom.pred, args, guard_atom_k);
}

} // namespace hipaa
