// Sort checking of formulas and guards.  The result is the same formula
// with a sort on every bound variable: the written one, else the one its
// first use fixed, else any.  Guards are checked before bodies, so a use in
// the guard fixes an unsorted variable's sort.

#include "check/diagnostic.hpp"
#include "check/sorts.hpp"

#include <memory>

namespace hipaa {

namespace {

const PredDecl& find_predicate(const std::string& pred, const Signature& signature,
                               std::ostream& out) {
  const DeclEntry* entry = lookup(signature, pred);
  if (!entry)
    report_failure(out, "Undeclared predicate symbol: " + pred + "\n", "UndeclaredPredicate");
  const auto* decl = std::get_if<PredDecl>(&entry->decl);
  if (!decl)
    report_failure(out, "Non-predicate: " + pred + " used as predicate\n", "UndeclaredPredicate");
  return *decl;
}

// Modes play no part in sort checking.
void check_atom_args(const std::string& pred, const TermList& args, const SortEnv& env,
                     const Signature& signature, std::ostream& out) {
  const PredDecl& decl = find_predicate(pred, signature, out);
  std::vector<Sort> expected;
  expected.reserve(decl.args.size());
  for (const PredArg& arg : decl.args)
    expected.push_back(arg.sort);
  sort_check_terms(args, expected, env, signature, out);
}

// The slots of one bound list, in list order, and the environment that puts
// them in front of the enclosing one.
struct Binding {
  std::vector<std::shared_ptr<SortSlot>> slots;
  SortEnv inner;
};

Binding bind(const BoundList& bound, const SortEnv& env) {
  Binding binding;
  binding.inner.reserve(bound.size() + env.size());
  for (const BoundVar& entry : bound) {
    auto slot = std::make_shared<SortSlot>();
    if (entry.sort) {
      slot->state = SortSlot::State::Given;
      slot->sort = *entry.sort;
    }
    binding.slots.push_back(slot);
    binding.inner.push_back({entry.var, std::move(slot)});
  }
  binding.inner.insert(binding.inner.end(), env.begin(), env.end());
  return binding;
}

// A slot still unsorted after its whole scope was checked is any.
BoundList sorted_bound(const BoundList& bound, const Binding& binding) {
  BoundList result;
  result.reserve(bound.size());
  for (std::size_t i = 0; i < bound.size(); ++i) {
    const SortSlot& slot = *binding.slots[i];
    Sort sort = slot.state == SortSlot::State::Unsorted ? Sort::any() : slot.sort;
    result.push_back({std::move(sort), bound[i].var});
  }
  return result;
}

// Exclusion tuples are checked against the bound variables' final sorts.
// They were scoped outside the quantifier, so they see the enclosing
// environment only.
void check_exclusions(const ExclusionList& exclusions, const BoundList& bound, const SortEnv& env,
                      const Signature& signature, std::ostream& out) {
  if (exclusions.empty()) return;
  std::vector<Sort> sorts;
  sorts.reserve(bound.size());
  for (const BoundVar& entry : bound)
    sorts.push_back(*entry.sort);
  for (const TermList& tuple : exclusions)
    sort_check_terms(tuple, sorts, env, signature, out);
}

FormulaPtr check_quantified(const Name& name, const Quantified& q, const SortEnv& env,
                            const Signature& signature, std::ostream& out) {
  check_bound_sorts(q.bound, signature, out);
  const Binding binding = bind(q.bound, env);
  GuardPtr guard = sort_check_guard(q.guard, binding.inner, signature, out);
  FormulaPtr body = sort_check_formula(q.body, binding.inner, signature, out);
  BoundList bound = sorted_bound(q.bound, binding);
  check_exclusions(q.exclusions, bound, env, signature, out);
  return make_quantified(name, q.kind, std::move(bound), q.exclusions, q.compile, std::move(guard),
                         std::move(body));
}

FormulaList check_members(const FormulaList& members, const SortEnv& env,
                          const Signature& signature, std::ostream& out) {
  FormulaList checked;
  checked.reserve(members.size());
  for (const FormulaPtr& member : members)
    checked.push_back(sort_check_formula(member, env, signature, out));
  return checked;
}

GuardList check_guards(const GuardList& members, const SortEnv& env, const Signature& signature,
                       std::ostream& out) {
  GuardList checked;
  checked.reserve(members.size());
  for (const GuardPtr& member : members)
    checked.push_back(sort_check_guard(member, env, signature, out));
  return checked;
}

} // namespace

FormulaPtr sort_check_formula(const FormulaPtr& formula, const SortEnv& env,
                              const Signature& signature, std::ostream& out) {
  const Name& name = formula->name;
  if (const auto* atom = formula->as<Atom>()) {
    check_atom_args(atom->pred, atom->args, env, signature, out);
    return formula;
  }
  if (const auto* conj = formula->as<And>())
    return make_and(name, check_members(conj->conjuncts, env, signature, out));
  if (const auto* disj = formula->as<Or>())
    return make_or(name, check_members(disj->disjuncts, env, signature, out));
  if (const auto* q = formula->as<Quantified>())
    return check_quantified(name, *q, env, signature, out);
  return formula; // True and False
}

GuardPtr sort_check_guard(const GuardPtr& guard, const SortEnv& env, const Signature& signature,
                          std::ostream& out) {
  if (const auto* atom = guard->as<GAtom>()) {
    check_atom_args(atom->pred, atom->args, env, signature, out);
    return guard;
  }
  if (const auto* conj = guard->as<GAnd>())
    return make_gand(check_guards(conj->conjuncts, env, signature, out));
  if (const auto* disj = guard->as<GOr>())
    return make_gor(check_guards(disj->disjuncts, env, signature, out));
  if (const auto* ex = guard->as<GEx>()) {
    check_bound_sorts(ex->bound, signature, out);
    const Binding binding = bind(ex->bound, env);
    GuardPtr inner = sort_check_guard(ex->guard, binding.inner, signature, out);
    return make_gex(sorted_bound(ex->bound, binding), std::move(inner));
  }
  return guard; // GTrue and GFalse
}

} // namespace hipaa
