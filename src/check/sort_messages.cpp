// The diagnostics that policy terms and log values share.

#include "check/diagnostic.hpp"
#include "check/sort_walk.hpp"
#include "logic/printer.hpp"

#include <variant>

namespace hipaa {

bool literal_sort(const Term& term, Sort& sort) {
  if (term.is<IntTerm>()) {
    sort.kind = Sort::Kind::Int;
    return true;
  }
  if (term.is<DateTerm>()) {
    sort.kind = Sort::Kind::Date;
    return true;
  }
  if (term.is<StrTerm>()) {
    sort.kind = Sort::Kind::String;
    return true;
  }
  return false;
}

void report_literal_clash(const Term& literal, const Sort& literal_sort, const Sort& expected,
                          std::ostream& out) {
  report_failure(out,
                 "Sort clash on term: " + print_term(literal) + ". It's sort: " +
                     print_sort(literal_sort) + ". Expected sort: " + print_sort(expected) + ".\n",
                 "SortClash");
}

void report_not_constructor(const std::string& name, const Signature& signature,
                            std::ostream& out) {
  if (!lookup(signature, name))
    report_failure(out, "Undeclared constructor: " + name + "\n", "UndeclaredConstructor");
  report_failure(out, "Non-constructor: " + name + " used as constructor\n",
                 "UndeclaredConstructor");
}

void report_constructor_clash(const Term& term, const Sort& declared, const Sort& expected,
                              std::ostream& out) {
  report_failure(out,
                 "Sort clash on term: " + print_term(term) + ". Declared sort from signature: " +
                     print_sort(declared) + ". Expected sort: " + print_sort(expected) + ".\n",
                 "SortClash");
}

void report_too_many_terms(std::span<const TermPtr> surplus, std::ostream& out) {
  const TermList remaining(surplus.begin(), surplus.end());
  report_failure(out, "Too many argument terms starting at: " + print_term_list(remaining) + "\n",
                 "TooManyTerms");
}

void report_too_few_terms(const Sort& first_unmatched, std::ostream& out) {
  report_failure(out,
                 "Missing expected argument term of sort " + print_sort(first_unmatched) + "\n",
                 "TooFewTerms");
}

} // namespace hipaa
