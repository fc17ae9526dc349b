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

// The fact that decided a violation: the first atom on the path to the
// false that is false or, in the premise of a prohibition, true.
struct FailedFact {
  std::string clause; // the innermost named subformula around it
  // The atom's predicate; empty when no member of the disjunction `clause`
  // applies to the instance at all.
  std::string pred;
  // Under the instance's values; variables stay where the clause leaves a
  // value open.
  TermList args;
  bool holds = false; // the atom holds, and that is what the clause forbids
  // Set where no alternative of the disjunction `clause` applied at all;
  // the fact is then that of its first alternative.
  bool none_applies = false;
  // For a table atom: the first row of its table that agrees with its
  // values, the one that came nearest (an authorisation that expired, say).
  TermList nearest;
  // For a prohibition with exceptions whose premise held: the fact that
  // made its exception fail, at most one.
  std::vector<FailedFact> exception;
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
  // A violation's deciding fact, when `explain` was asked for and the
  // violation is not only an overdue obligation.
  std::optional<FailedFact> failed;
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
  // With `explain`, a violation also gets its deciding fact.
  InstanceVerdict judge(const FormulaPtr& body, const Substitution& sigma, const std::string& rule,
                        const std::optional<DateValue>& as_of, bool explain = false);

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
  // The deciding fact inside `formula`, which reduces to false under
  // `sigma`; `clause` names the innermost named subformula around it.
  // `path` holds the names the walk found on the way to the false: a
  // member of a conjunction or disjunction named there is followed without
  // reducing its siblings again.
  std::optional<FailedFact> explain(const FormulaPtr& formula, const Substitution& sigma,
                                    const std::string& clause,
                                    const std::vector<std::string>& path);
  // For a prohibition whose premise holds: the first row of a table the
  // premise reads (an agreed restriction, an opt-out) that makes it hold,
  // as the fact the prohibition rests on.
  std::optional<FailedFact> premise_row(const Guard& guard, const Substitution& sigma,
                                        const std::string& clause);
  // The first solution of `guard` under `sigma`; with `broken_body`, the
  // first for which that body is false.
  std::optional<Substitution> first_solution(const Guard& guard, const Substitution& sigma,
                                             const FormulaPtr& broken_body);
  // The table atom `atom` under a guard's `solution`, as the record that
  // holds.
  FailedFact row_fact(const GAtom& atom, const Substitution& solution, const std::string& clause);
  // The fact of a guard's first atom under `sigma`, with the first row of
  // its table when it is a table atom.
  FailedFact guard_fact(const Guard& guard, const Substitution& sigma, const std::string& clause,
                        bool holds);
  // Whether the formula has a name anywhere below its and/or structure.
  bool names_inside(const Formula& formula);

  ReductionFn& engine_;
  Settler settler_;
  std::unordered_map<const Formula*, bool> named_;
};

} // namespace hipaa
