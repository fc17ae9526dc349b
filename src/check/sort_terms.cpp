// Sort checking of policy terms against the sorts their positions expect.
// An unsorted bound variable takes the sort of its first use in checking
// order; every later use must agree with it.

#include "check/diagnostic.hpp"
#include "check/sort_scope.hpp"
#include "check/sort_walk.hpp"
#include "base/failure.hpp"

namespace hipaa {

namespace {

class PolicyRules {
public:
  PolicyRules(const SortScope& scope, std::ostream& out) : scope_(scope), out_(out) {}

  void on_variable(const VarTerm& var, const Sort& expected) {
    SortSlot* slot = scope_.find(var.name);
    if (!slot) raise("VarNotFound"); // the scoping pass binds every Var
    switch (slot->state) {
    case SortSlot::State::Unsorted:
      slot->state = SortSlot::State::Inferred;
      slot->sort = expected;
      return;
    case SortSlot::State::Given:
      if (!(slot->sort == expected))
        report_clash(var, ". User provided sort: ", slot->sort, expected);
      return;
    case SortSlot::State::Inferred:
      if (!(slot->sort == expected)) report_clash(var, ". Inferred sort: ", slot->sort, expected);
      return;
    }
  }

  // Constructors of every class may occur in a policy.
  void on_constructor(const AppTerm&, const ConsDecl&) {}

private:
  [[noreturn]] void report_clash(const VarTerm& var, const char* how, const Sort& held,
                                 const Sort& expected) {
    report_failure(out_,
                   "Sort clash on variable: " + var.name + how + print_sort(held) +
                       ". Expected sort: " + print_sort(expected) + ".\n",
                   "SortClash");
  }

  const SortScope& scope_;
  std::ostream& out_;
};

} // namespace

void sort_check_terms_in(const TermList& terms, const std::vector<Sort>& expected,
                         const SortScope& scope, const Signature& signature, std::ostream& out) {
  PolicyRules rules(scope, out);
  walk_sorted_terms(std::span<const TermPtr>(terms), std::span<const Sort>(expected), signature,
                    rules, out);
}

void sort_check_terms(const TermList& terms, const std::vector<Sort>& expected, const SortEnv& env,
                      const Signature& signature, std::ostream& out) {
  sort_check_terms_in(terms, expected, SortScope(env), signature, out);
}

void check_bound_sorts(const BoundList& bound, const Signature& signature, std::ostream& out) {
  for (const BoundVar& entry : bound) {
    if (!entry.sort || !entry.sort->is_named()) continue;
    const std::string& name = entry.sort->name;
    const DeclEntry* decl = lookup(signature, name);
    if (!decl) report_failure(out, "Sort " + name + " undeclared\n", "UndeclaredSort");
    if (!std::holds_alternative<SortDecl>(decl->decl))
      report_failure(out, "Sort " + name + " is not a sort\n", "UndeclaredSort");
  }
}

} // namespace hipaa
