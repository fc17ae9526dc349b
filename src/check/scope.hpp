// Scoping: turns bound identifiers into variables and rejects duplicate
// bindings, bound variables used as constructors and duplicate sibling names.
#pragma once

#include "logic/formula.hpp"

#include <iosfwd>
#include <string>
#include <vector>

namespace hipaa {

// Names bound by the enclosing quantifiers, innermost first.
using Scope = std::vector<std::string>;

FormulaPtr scope_formula(const FormulaPtr& formula, const Scope& scope, std::ostream& out);
GuardPtr scope_guard(const GuardPtr& guard, const Scope& scope, std::ostream& out);
TermList scope_terms(const TermList& terms, const Scope& scope, std::ostream& out);

} // namespace hipaa
