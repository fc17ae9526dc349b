// A policy as a list of rules, and the reduction of one rule instance by
// instance.  The policy's top formula is a conjunction of rules; a rule that
// is an `all` is reduced once per guard solution, each instance on its own,
// so that every disclosure gets its own answer instead of the first false
// one deciding the whole conjunction.
#pragma once

#include "reduce/reduction_fn.hpp"

#include <string>
#include <vector>

namespace hipaa {

struct Rule {
  std::string name;                // the rule's own name, else the nearest enclosing one
  FormulaPtr formula;              // the conjunct as the policy states it
  const Quantified* all = nullptr; // the formula's quantifier when it is an `all`
};

// The conjuncts of the top-level `and`, flattened through nested `and`s
// whatever their names, in policy order.  A conjunct without a name of its
// own or of an enclosing `and` is called "rule-N", N counting from 1.
std::vector<Rule> top_level_rules(const FormulaPtr& policy);

// Receives one instance: the guard solution, the bound variables' values in
// bound-list order and the reduced body.
using InstanceK =
    FunctionRef<void(const Substitution& sigma, const TermList& tuple, const FormulaPtr& reduced)>;

// Reduces the body of the `all` rule under each guard solution in turn and
// hands every instance to `k` while the guard's rows stream.  False when the
// rule's range stays open to later disclosures.
bool reduce_each_instance(ReductionFn& engine, const Quantified& rule, InstanceK k);

} // namespace hipaa
