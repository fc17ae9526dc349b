// The bound variables visible while sort checking, looked up by name.
// Entering and leaving a quantifier costs the length of its own bound list,
// whatever the depth of the policy.
#pragma once

#include "check/sorts.hpp"

#include <string_view>
#include <unordered_map>
#include <vector>

namespace hipaa {

class SortScope {
public:
  // `env` lists the enclosing variables innermost first; it must outlive
  // the scope.
  explicit SortScope(const SortEnv& env) {
    for (auto entry = env.rbegin(); entry != env.rend(); ++entry)
      enter(entry->var, entry->slot.get());
  }

  // The slot of the innermost binding of `var`, or null.
  SortSlot* find(std::string_view var) const {
    auto found = slots_.find(var);
    return found == slots_.end() ? nullptr : found->second.back();
  }

  void enter(std::string_view var, SortSlot* slot) { slots_[var].push_back(slot); }

  void leave(std::string_view var) {
    auto found = slots_.find(var);
    found->second.pop_back();
    if (found->second.empty()) slots_.erase(found);
  }

private:
  std::unordered_map<std::string_view, std::vector<SortSlot*>> slots_;
};

// Sort checks `terms` against `expected` with the variables of `scope`.
void sort_check_terms_in(const TermList& terms, const std::vector<Sort>& expected,
                         const SortScope& scope, const Signature& signature, std::ostream& out);

} // namespace hipaa
