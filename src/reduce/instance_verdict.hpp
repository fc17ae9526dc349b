// The verdict of one rule instance and the clauses it rests on.  The
// instance is reduced through its named subformulas one at a time, so that
// the walk that reduces it also sees which named clause decided it: the
// residual is the same formula the engine gives for the whole body.
#pragma once

#include "dates/date.hpp"
#include "reduce/reduction_fn.hpp"

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace hipaa {

enum class Verdict { Violation, Open, Compliant };

// "violation", "open" or "compliant".
const char* verdict_word(Verdict verdict);

// A disclosure the log does not show yet: an open `ex` over "disclose-eval".
struct Obligation {
  std::string clause;                // the named subformula that asks for it
  std::optional<DateValue> deadline; // the end of its "time_in" window
  bool overdue = false;              // the window ended before the as-of date
};

struct InstanceVerdict {
  FormulaPtr residual;
  Verdict verdict = Verdict::Open;
  // Violation: the named subformulas on the path to the false, outermost
  // first; where no disjunct of a disjunction holds, the disjunction's own
  // name followed by the disjuncts whose premise held (an overdue
  // obligation's clause when that is what makes it a violation).
  // Compliant: the first true named disjunct of each `or` on the way to the
  // true.  Open: the innermost named subformulas that remain open.
  std::vector<std::string> clauses;
  std::vector<FormulaPtr> judgements; // subjective atoms left for a person
  std::vector<Obligation> obligations;
};

// Settles what a person has already decided in an open residual: given the
// residual and the clauses named for it, replaces both by what remains once
// the decided subjective atoms are true or false.
using Settler = std::function<void(FormulaPtr& residual, std::vector<std::string>& clauses)>;

class InstanceJudge {
public:
  // The engine must outlive the judge.
  explicit InstanceJudge(ReductionFn& engine) : engine_(engine) {}

  // Applied to every open residual before its verdict is taken.
  void set_settler(Settler settler) { settler_ = std::move(settler); }

  // Reduces `body` under `sigma` and judges the result.  An obligation whose
  // window ended before `as_of` is overdue and makes the instance a
  // violation.  `rule` stands in when no named subformula is at stake.
  InstanceVerdict judge(const FormulaPtr& body, const Substitution& sigma, const std::string& rule,
                        const std::optional<DateValue>& as_of);

private:
  struct Walked {
    FormulaPtr residual;
    std::vector<std::string> names; // as in InstanceVerdict::clauses
  };

  Walked walk(const FormulaPtr& formula, const Substitution& sigma);
  Walked walk_and(const FormulaPtr& formula, const And& conj, const Substitution& sigma);
  Walked walk_or(const FormulaPtr& formula, const Or& disj, const Substitution& sigma);
  // Whether a failed clause applied to the instance at all: its premise (the
  // first conjunct of a conjunction, an atom itself, the first table atom
  // of an `ex`'s guard) holds.  A clause whose premise fails is not at
  // stake; one that failed past its premise came close.
  bool applies(const FormulaPtr& formula, const Substitution& sigma);
  FormulaPtr guard_premise(const Quantified& q);
  // Whether the formula has a name anywhere below its and/or structure.
  bool names_inside(const Formula& formula);

  ReductionFn& engine_;
  Settler settler_;
  std::unordered_map<const Formula*, bool> named_;
};

} // namespace hipaa
