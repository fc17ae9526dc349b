// Candidates and continuations: how atom resolution hands the solutions of
// an atom, one at a time, to the code that decides what they mean.
#pragma once

#include "logic/term.hpp"
#include "reduce/function_ref.hpp"

#include <cstddef>

namespace hipaa {

// What a continuation tells the enumeration that called it.
enum class Flow {
  Continue, // go on with the next solution
  Stop,     // the atom is decided: end this enumeration at once
  // The consumer ignores every further solution.  Reading the log may still
  // report repaired values, so the enumeration goes on unless it is known
  // that nothing more can be reported; handed on like Continue otherwise.
  Settled,
};

// One candidate: a solution (the values of one row, one per argument of the
// atom) or, when `values` is null, the no-solution signal that closes every
// enumeration that runs to its end.
struct Candidate {
  const TermList* values = nullptr;

  static Candidate solution(const TermList& row_values) { return Candidate{&row_values}; }
  static Candidate none() { return Candidate{}; }
  bool is_solution() const { return values != nullptr; }
};

using Continuation = FunctionRef<Flow(const Candidate&)>;

// The rows of one table query dealt out by their position in the query's
// order: a row that `takes` refuses is passed over unread (not parsed, not
// checked, not handed on), so that it can neither report nor fail; it may
// be asked about a row more than once, and answers the same each time.  The
// reader sets `at` to the position of each row just before handing it on,
// and `rows` to the number of rows of the query once it has run.
struct RowDeal {
  FunctionRef<bool(std::size_t row)> takes;
  std::size_t at = 0;
  std::size_t rows = 0;

  // The reader is at the row at position `row`: whether it is taken.
  bool deal_row(std::size_t row) {
    at = row;
    if (rows <= row) rows = row + 1;
    return takes(row);
  }
};

} // namespace hipaa
