// Structural equality, closedness and matching of terms.
#pragma once

#include "logic/formula.hpp"
#include "logic/term.hpp"
#include "reduce/substitution.hpp"

#include <optional>

namespace hipaa {

bool equal_term(const Term& a, const Term& b);
// Same length and pairwise equal.
bool equal_list(const TermList& a, const TermList& b);
// True when `tuple` equals one of the handled tuples of `exclusions`.
bool is_excluded(const ExclusionList& exclusions, const TermList& tuple);
// True when the term contains no variable.
bool isClosed(const Term& term);
bool all_closed(const TermList& terms);

// The bindings that make `patterns` equal to `values`, or nothing.  A
// variable met twice must meet equal values.
std::optional<Substitution> match(const TermList& patterns, const TermList& values);

} // namespace hipaa
