// Sort checking of formulas and guards.  The result is the same formula
// with a sort on every bound variable: the written one, else the one its
// first use fixed, else any.  Guards are checked before bodies, so a use in
// the guard fixes an unsorted variable's sort.

#include "base/stack_depth.hpp"
#include "check/diagnostic.hpp"
#include "check/sort_scope.hpp"

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
void check_atom_args(const std::string& pred, const TermList& args, const SortScope& scope,
                     const Signature& signature, std::ostream& out) {
  const PredDecl& decl = find_predicate(pred, signature, out);
  std::vector<Sort> expected;
  expected.reserve(decl.args.size());
  for (const PredArg& arg : decl.args)
    expected.push_back(arg.sort);
  sort_check_terms_in(args, expected, scope, signature, out);
}

// The slots of one bound list, in list order, while the list is in scope.
// The first of two equal names in one list is the one found.
class Binding {
public:
  Binding(const BoundList& bound, SortScope& scope) : bound_(bound), scope_(scope) {
    slots_.resize(bound.size());
    for (std::size_t i = 0; i < bound.size(); ++i) {
      if (!bound[i].sort) continue;
      slots_[i].state = SortSlot::State::Given;
      slots_[i].sort = *bound[i].sort;
    }
    for (std::size_t i = bound.size(); i-- > 0;)
      scope_.enter(bound[i].var, &slots_[i]);
  }
  Binding(const Binding&) = delete;
  Binding& operator=(const Binding&) = delete;
  ~Binding() { leave(); }

  // Takes the variables out of scope (at the latest when the binding ends).
  void leave() {
    if (left_) return;
    left_ = true;
    for (const BoundVar& entry : bound_)
      scope_.leave(entry.var);
  }

  // A slot still unsorted after its whole scope was checked is any.
  BoundList sorted_bound() const {
    BoundList result;
    result.reserve(bound_.size());
    for (std::size_t i = 0; i < bound_.size(); ++i) {
      const SortSlot& slot = slots_[i];
      Sort sort = slot.state == SortSlot::State::Unsorted ? Sort::any() : slot.sort;
      result.push_back({std::move(sort), bound_[i].var});
    }
    return result;
  }

private:
  const BoundList& bound_;
  SortScope& scope_;
  std::vector<SortSlot> slots_;
  bool left_ = false;
};

// Exclusion tuples are checked against the bound variables' final sorts.
// They were scoped outside the quantifier, so they see the enclosing
// variables only.
void check_exclusions(const ExclusionList& exclusions, const BoundList& bound,
                      const SortScope& scope, const Signature& signature, std::ostream& out) {
  if (exclusions.empty()) return;
  std::vector<Sort> sorts;
  sorts.reserve(bound.size());
  for (const BoundVar& entry : bound)
    sorts.push_back(*entry.sort);
  for (const TermList& tuple : exclusions)
    sort_check_terms_in(tuple, sorts, scope, signature, out);
}

FormulaPtr walk_formula(const FormulaPtr& formula, SortScope& scope, const Signature& signature,
                        std::ostream& out);
GuardPtr walk_guard(const GuardPtr& guard, SortScope& scope, const Signature& signature,
                    std::ostream& out);

FormulaPtr check_quantified(const Name& name, const Quantified& q, SortScope& scope,
                            const Signature& signature, std::ostream& out) {
  check_bound_sorts(q.bound, signature, out);
  Binding binding(q.bound, scope);
  GuardPtr guard = walk_guard(q.guard, scope, signature, out);
  FormulaPtr body = walk_formula(q.body, scope, signature, out);
  BoundList bound = binding.sorted_bound();
  binding.leave();
  check_exclusions(q.exclusions, bound, scope, signature, out);
  return make_quantified(name, q.kind, std::move(bound), q.exclusions, q.compile, std::move(guard),
                         std::move(body));
}

FormulaList check_members(const FormulaList& members, SortScope& scope,
                          const Signature& signature, std::ostream& out) {
  FormulaList checked;
  checked.reserve(members.size());
  for (const FormulaPtr& member : members)
    checked.push_back(walk_formula(member, scope, signature, out));
  return checked;
}

GuardList check_guards(const GuardList& members, SortScope& scope, const Signature& signature,
                       std::ostream& out) {
  GuardList checked;
  checked.reserve(members.size());
  for (const GuardPtr& member : members)
    checked.push_back(walk_guard(member, scope, signature, out));
  return checked;
}

FormulaPtr walk_formula(const FormulaPtr& formula, SortScope& scope, const Signature& signature,
                        std::ostream& out) {
  check_stack_depth();
  const Name& name = formula->name;
  if (const auto* atom = formula->as<Atom>()) {
    check_atom_args(atom->pred, atom->args, scope, signature, out);
    return formula;
  }
  if (const auto* conj = formula->as<And>())
    return make_and(name, check_members(conj->conjuncts, scope, signature, out));
  if (const auto* disj = formula->as<Or>())
    return make_or(name, check_members(disj->disjuncts, scope, signature, out));
  if (const auto* q = formula->as<Quantified>())
    return check_quantified(name, *q, scope, signature, out);
  return formula; // True and False
}

GuardPtr walk_guard(const GuardPtr& guard, SortScope& scope, const Signature& signature,
                    std::ostream& out) {
  check_stack_depth();
  if (const auto* atom = guard->as<GAtom>()) {
    check_atom_args(atom->pred, atom->args, scope, signature, out);
    return guard;
  }
  if (const auto* conj = guard->as<GAnd>())
    return make_gand(check_guards(conj->conjuncts, scope, signature, out));
  if (const auto* disj = guard->as<GOr>())
    return make_gor(check_guards(disj->disjuncts, scope, signature, out));
  if (const auto* ex = guard->as<GEx>()) {
    check_bound_sorts(ex->bound, signature, out);
    Binding binding(ex->bound, scope);
    GuardPtr inner = walk_guard(ex->guard, scope, signature, out);
    return make_gex(binding.sorted_bound(), std::move(inner));
  }
  return guard; // GTrue and GFalse
}

} // namespace

FormulaPtr sort_check_formula(const FormulaPtr& formula, const SortEnv& env,
                              const Signature& signature, std::ostream& out) {
  SortScope scope(env);
  return walk_formula(formula, scope, signature, out);
}

GuardPtr sort_check_guard(const GuardPtr& guard, const SortEnv& env, const Signature& signature,
                          std::ostream& out) {
  SortScope scope(env);
  return walk_guard(guard, scope, signature, out);
}

} // namespace hipaa
