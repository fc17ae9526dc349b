// Sort checking of the policy and of values read back from the log.
#pragma once

#include "logic/declarations.hpp"
#include "logic/formula.hpp"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace hipaa {

// One per bound variable: unsorted, given by the policy, or inferred from
// the variable's first use in checking order.
struct SortSlot {
  enum class State { Unsorted, Given, Inferred };
  State state = State::Unsorted;
  Sort sort;
};

// (variable, slot) pairs, innermost quantifier first.
struct SortEnvEntry {
  std::string var;
  std::shared_ptr<SortSlot> slot;
};
using SortEnv = std::vector<SortEnvEntry>;

FormulaPtr sort_check_formula(const FormulaPtr& formula, const SortEnv& env,
                              const Signature& signature, std::ostream& out);
GuardPtr sort_check_guard(const GuardPtr& guard, const SortEnv& env, const Signature& signature,
                          std::ostream& out);
void sort_check_terms(const TermList& terms, const std::vector<Sort>& expected,
                      const SortEnv& env, const Signature& signature, std::ostream& out);
void check_bound_sorts(const BoundList& bound, const Signature& signature, std::ostream& out);

// A value read from the database must be ground, built from SYM
// constructors and literals, and of the expected sort.  Allocates nothing
// when the values check.
void check_value_terms(const TermList& values, const std::vector<Sort>& expected,
                       const Signature& signature, std::ostream& out);
// The same for one value against one expected sort.
void check_value_term(const Term& value, const Sort& expected, const Signature& signature,
                      std::ostream& out);

} // namespace hipaa
