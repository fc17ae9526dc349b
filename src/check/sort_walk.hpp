// The walk that sort checking shares between policy terms and values read
// back from the log: terms paired with expected sorts, left to right, a
// constructor's own sort before its arguments, depth first.  The two differ
// only in what a variable means and in which constructors they accept,
// which a Rules object supplies:
//   void on_variable(const VarTerm&, const Sort& expected);
//   void on_constructor(const AppTerm&, const ConsDecl&);
// Nothing is allocated unless a diagnostic is written.
#pragma once

#include "base/stack_depth.hpp"
#include "logic/declarations.hpp"
#include "logic/term.hpp"

#include <algorithm>
#include <cstddef>
#include <iosfwd>
#include <span>

namespace hipaa {

[[noreturn]] void report_literal_clash(const Term& literal, const Sort& literal_sort,
                                       const Sort& expected, std::ostream& out);
[[noreturn]] void report_not_constructor(const std::string& name, const Signature& signature,
                                         std::ostream& out);
[[noreturn]] void report_constructor_clash(const Term& term, const Sort& declared,
                                           const Sort& expected, std::ostream& out);
[[noreturn]] void report_too_many_terms(std::span<const TermPtr> surplus, std::ostream& out);
[[noreturn]] void report_too_few_terms(const Sort& first_unmatched, std::ostream& out);

// The sort of a literal term; false for variables and applications.
bool literal_sort(const Term& term, Sort& sort);

template <class Rules>
void walk_sorted_terms(std::span<const TermPtr> terms, std::span<const Sort> expected,
                       const Signature& signature, Rules& rules, std::ostream& out);

template <class Rules>
void walk_sorted_term(const Term& term, const Sort& expected, const Signature& signature,
                      Rules& rules, std::ostream& out) {
  check_stack_depth();
  Sort sort;
  if (literal_sort(term, sort)) {
    if (!(sort == expected)) report_literal_clash(term, sort, expected, out);
    return;
  }
  if (const auto* var = term.as<VarTerm>()) {
    rules.on_variable(*var, expected);
    return;
  }
  const auto& app = *term.as<AppTerm>();
  const ConsDecl* cons = lookup_cons(signature, app.name);
  if (!cons) report_not_constructor(app.name, signature, out);
  rules.on_constructor(app, *cons);
  if (!(cons->result == expected)) report_constructor_clash(term, cons->result, expected, out);
  walk_sorted_terms(std::span<const TermPtr>(app.args), std::span<const Sort>(cons->arg_sorts),
                    signature, rules, out);
}

// Pairs first; a surplus of terms or of sorts is reported after them.
template <class Rules>
void walk_sorted_terms(std::span<const TermPtr> terms, std::span<const Sort> expected,
                       const Signature& signature, Rules& rules, std::ostream& out) {
  const std::size_t paired = std::min(terms.size(), expected.size());
  for (std::size_t i = 0; i < paired; ++i)
    walk_sorted_term(*terms[i], expected[i], signature, rules, out);
  if (terms.size() > paired) report_too_many_terms(terms.subspan(paired), out);
  if (expected.size() > paired) report_too_few_terms(expected[paired], out);
}

} // namespace hipaa
