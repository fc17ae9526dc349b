// Helpers for the checking tests: building declarations and terms, and
// running a check to capture its diagnostic and the failure it raised.
#pragma once

#include "base/failure.hpp"
#include "logic/declarations.hpp"
#include "logic/formula.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace hipaa::testing {

// What a check wrote and the failure it raised ("" when it returned).
struct Outcome {
  std::string failure;
  std::string text;
  friend bool operator==(const Outcome&, const Outcome&) = default;
  friend void PrintTo(const Outcome& o, std::ostream* os) {
    *os << "{" << (o.failure.empty() ? "<passed>" : o.failure) << ", \"" << o.text << "\"}";
  }
};

inline Outcome outcome_of(const std::function<void(std::ostream&)>& run) {
  std::ostringstream out;
  try {
    run(out);
  } catch (const Failure& failure) {
    return {failure.name(), out.str()};
  }
  return {"", out.str()};
}

inline Outcome passed() { return {"", ""}; }

// Terms.
inline TermPtr c(std::string name, TermList args = {}) {
  return make_app(std::move(name), std::move(args));
}
inline TermPtr v(std::string name) { return make_var(std::move(name)); }

// Bound-variable entries.
inline BoundVar bv(std::string name) { return {std::nullopt, std::move(name)}; }
inline BoundVar bv(std::string name, Sort sort) { return {std::move(sort), std::move(name)}; }

inline Sort named(std::string name) { return Sort::named(std::move(name)); }

// Declarations.
inline DeclEntry sort_entry(std::string name) { return {SortDecl{}, std::move(name)}; }

inline PredArg in(Sort sort) { return {Mode::Input, std::move(sort)}; }
inline PredArg outp(Sort sort) { return {Mode::Output, std::move(sort)}; }

inline DeclEntry pred_entry(std::string name, PredClass cls, std::vector<PredArg> args,
                            std::optional<DbInfo> dbinfo = std::nullopt,
                            std::optional<std::string> infix = std::nullopt) {
  return {PredDecl{cls, std::move(args), std::move(infix), std::move(dbinfo)}, std::move(name)};
}

inline DeclEntry cons_entry(std::string name, ConsClass cls, std::vector<Sort> args, Sort result,
                            std::optional<std::string> infix = std::nullopt) {
  return {ConsDecl{cls, std::move(args), std::move(result), std::move(infix)}, std::move(name)};
}

inline DbInfo table(std::string name, std::vector<std::string> columns) {
  return {std::move(name), std::move(columns)};
}

} // namespace hipaa::testing
