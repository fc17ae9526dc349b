// The two operations through which the reduction engine reaches the code
// that gives the evaluated vocabulary its meaning.
#pragma once

#include "logic/term.hpp"
#include "reduce/candidate.hpp"

#include <cstddef>
#include <string>

namespace hipaa {

class Scenario {
public:
  virtual ~Scenario() = default;

  // Delivers the solutions of an atom of class EVAL or SQL to `k`, then the
  // no-solution signal, unless `k` stops the enumeration first.
  virtual void resolve_eval_pred(const std::string& pred, const TermList& args,
                                 Continuation k) = 0;

  // Whether the atoms of `pred` with `arity` arguments are answered by the
  // rows of one table query, in the query's order, so that resolve_dealt
  // may deal them.
  virtual bool answers_by_rows(const std::string& pred, std::size_t arity) const {
    (void)pred;
    (void)arity;
    return false;
  }

  // resolve_eval_pred for an atom that answers_by_rows, with the rows of
  // its table query dealt by `deal`: each solution comes from the row last
  // announced in `deal.at`.
  virtual void resolve_dealt(const std::string& pred, const TermList& args, RowDeal& deal,
                             Continuation k) {
    (void)deal;
    resolve_eval_pred(pred, args, k);
  }

  // The value of an application of an SQL or EVAL constructor to
  // already substituted arguments: a value, holding no application that
  // would be evaluated again.
  virtual TermPtr eval_term(const std::string& name, const TermList& args) = 0;

  // True when eval_term cannot fail on an application of the constructor
  // `name` whose arguments have the sorts their declarations give them.
  // The engine then need not evaluate such applications ahead of time only
  // to report a failure at the point where substitution would meet it.
  virtual bool eval_term_total(const std::string& name) const {
    (void)name;
    return false;
  }
};

} // namespace hipaa
