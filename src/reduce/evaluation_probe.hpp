// Instances of a quantifier body are reduced under a pending substitution:
// each subformula is substituted only when the reduction reaches it, so the
// members of an or after its first true disjunct (and of an and after its
// first false conjunct) are never copied.  Substitution also evaluates the
// closed applications of SQL and EVAL constructors, and an application the
// scenario does not understand ends the run.  The probe makes exactly those
// evaluations, in the order a full substitution of the instance would make
// them, before the instance is reduced, so that a run ends with the same
// diagnostic at the same point whichever parts the reduction then reaches.
#pragma once

#include "logic/formula.hpp"
#include "reduce/substitution.hpp"

#include <unordered_map>

namespace hipaa {

class EvaluationProbe {
public:
  // Evaluates every application of an evaluated constructor in `formula`
  // that `substitution` closes, in substitution order; the results are
  // dropped.  Applications that cannot fail are left to the reduction.
  void run(const FormulaPtr& formula, const Substitution& substitution, const SubstEnv& env);

  // Forgets what it knows of formulas: their storage may be reused.
  void clear() { evaluates_.clear(); }

private:
  // Whether the formula holds an application of an evaluated constructor
  // that may fail.
  bool evaluates(const Formula& formula, const SubstEnv& env);

  std::unordered_map<const Formula*, bool> evaluates_;
};

// Whether the term or the guard holds an application of an SQL or EVAL
// constructor that may fail.
bool term_evaluates(const Term& term, const SubstEnv& env);
bool guard_evaluates(const Guard& guard, const SubstEnv& env);

} // namespace hipaa
