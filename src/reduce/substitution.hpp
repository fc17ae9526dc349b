// Substitutions: ordered bindings of variables to ground terms, applied to
// terms (evaluating the closed applications of evaluated constructors),
// formulas and guards.
#pragma once

#include "logic/formula.hpp"
#include "reduce/scenario_interface.hpp"
#include "reduce/signature_index.hpp"

#include <iosfwd>
#include <string>
#include <vector>

namespace hipaa {

struct Binding {
  std::string var;
  TermPtr value;
};

// Lookup takes the first binding of a name.
using Substitution = std::vector<Binding>;

// The term bound to `var`, or null.
const TermPtr* find_binding(const Substitution& substitution, const std::string& var);

// The values bound to a quantifier's variables, in bound-list order.
TermList value_tuple(const BoundList& bound, const Substitution& sigma);

// What substitution needs besides the bindings: the declarations (to tell
// symbols from evaluated constructors), the scenario that evaluates, and the
// stream for diagnostics.
struct SubstEnv {
  const SignatureIndex& decls;
  Scenario& scenario;
  std::ostream& out;
};

// Substitutes and evaluates bottom-up.  An application of an SQL or EVAL
// constructor is evaluated once all its substituted arguments are closed;
// with an open argument it is kept, to be evaluated by a later substitution
// that binds the rest.  Unchanged subterms are shared with the input.
TermPtr subst_simplify(const TermPtr& term, const Substitution& substitution, const SubstEnv& env);
TermList subst_simplify(const TermList& terms, const Substitution& substitution,
                        const SubstEnv& env);
// The same, appending to `result`; true when any term changed.
bool subst_into(const TermList& terms, const Substitution& substitution, const SubstEnv& env,
                TermList& result);

// Every tuple of an exclusion list, substituted.
ExclusionList subst_exclusions(const ExclusionList& exclusions, const Substitution& substitution,
                               const SubstEnv& env);

// The same shape with every term substituted; quantifiers keep their mark,
// name and bound variables.
FormulaPtr subst_formula(const FormulaPtr& formula, const Substitution& substitution,
                         const SubstEnv& env);
GuardPtr subst_guard(const GuardPtr& guard, const Substitution& substitution,
                     const SubstEnv& env);

} // namespace hipaa
