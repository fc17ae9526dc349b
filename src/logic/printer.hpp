// The printed form of policy values: canonical, fully parenthesised policy
// text that the policy parser reads back to an equal value.
#pragma once

#include "logic/formula.hpp"

#include <iosfwd>
#include <string>

namespace hipaa {

std::string print_formula(const Formula& formula);
std::string print_formula_list(const FormulaList& formulas);
std::string print_guard(const Guard& guard);
std::string print_guard_list(const GuardList& guards);
std::string print_term(const Term& term);
std::string print_term_list(const TermList& terms);
std::string print_bound_list(const BoundList& bound);
std::string print_ex_list_h(const ExclusionList& exclusions);

// An integer with "~" as its minus sign.
std::string print_int(std::int32_t value);

// An atom as diagnostics quote it: the bare predicate name without
// arguments, else "(" pred " " args ")".
std::string print_atom_text(const std::string& pred, const TermList& args);

// Writes the printed formula to `out` as it goes, without building the
// whole text first.  A formula that cannot be printed (a date out of range)
// raises its failure before anything is written.
void write_formula(std::ostream& out, const Formula& formula);

// Appending forms, for callers that build long texts or print many values.
void append_formula(std::string& out, const Formula& formula);
void append_guard(std::string& out, const Guard& guard);
void append_term(std::string& out, const Term& term);

} // namespace hipaa
