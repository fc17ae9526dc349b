// The two operations through which the reduction engine reaches the code
// that gives the evaluated vocabulary its meaning.
#pragma once

#include "logic/term.hpp"
#include "reduce/candidate.hpp"

#include <string>

namespace hipaa {

class Scenario {
public:
  virtual ~Scenario() = default;

  // Delivers the solutions of an atom of class EVAL or SQL to `k`, then the
  // no-solution signal, unless `k` stops the enumeration first.
  virtual void resolve_eval_pred(const std::string& pred, const TermList& args,
                                 Continuation k) = 0;

  // The value of an application of an SQL or EVAL constructor to
  // already substituted arguments.
  virtual TermPtr eval_term(const std::string& name, const TermList& args) = 0;
};

} // namespace hipaa
