// The walk mirrors the engine's conjunction and disjunction: left to right,
// a false conjunct (true disjunct) ends the walk, true conjuncts (false
// disjuncts) drop out and a single survivor replaces its parent without the
// parent's name.  Everything else, atoms and quantifiers and the and/or
// trees without names, is reduced by the engine itself.
#include "reduce/instance_verdict.hpp"

#include <algorithm>
#include <utility>

namespace hipaa {

namespace {

void add_name(std::vector<std::string>& names, const std::string& name) {
  if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}

void add_names(std::vector<std::string>& names, const std::vector<std::string>& more) {
  for (const std::string& name : more) add_name(names, name);
}

// An open part is charged to its own innermost names, else to its parent.
void add_open(std::vector<std::string>& names, const std::vector<std::string>& part_names,
              const Name& parent) {
  if (!part_names.empty()) {
    add_names(names, part_names);
  } else if (parent) {
    add_name(names, *parent);
  }
}

bool guard_mentions(const Guard& guard, const std::string& pred) {
  if (const auto* atom = guard.as<GAtom>()) return atom->pred == pred;
  auto any_of = [&](const GuardList& members) {
    return std::any_of(members.begin(), members.end(),
                       [&](const GuardPtr& member) { return guard_mentions(*member, pred); });
  };
  if (const auto* conj = guard.as<GAnd>()) return any_of(conj->conjuncts);
  if (const auto* disj = guard.as<GOr>()) return any_of(disj->disjuncts);
  if (const auto* ex = guard.as<GEx>()) return guard_mentions(*ex->guard, pred);
  return false;
}

bool binds(const BoundList& bound, const Term& term) {
  const auto* var = term.as<VarTerm>();
  return var != nullptr && std::any_of(bound.begin(), bound.end(),
                                       [&](const BoundVar& b) { return b.var == var->name; });
}

// The end of the window of "(time_in start x end)" in the guard, x a
// variable of `bound` and end a date: the last moment the awaited
// disclosure may happen.
std::optional<DateValue> window_end(const Guard& guard, const BoundList& bound) {
  if (const auto* atom = guard.as<GAtom>()) {
    if (atom->pred != "time_in" || atom->args.size() != 3) return std::nullopt;
    if (!binds(bound, *atom->args[1])) return std::nullopt;
    if (const auto* end = atom->args[2]->as<DateTerm>()) return end->value;
    return std::nullopt;
  }
  auto first_of = [&](const GuardList& members) -> std::optional<DateValue> {
    for (const GuardPtr& member : members) {
      if (auto end = window_end(*member, bound)) return end;
    }
    return std::nullopt;
  };
  if (const auto* conj = guard.as<GAnd>()) return first_of(conj->conjuncts);
  if (const auto* ex = guard.as<GEx>()) return window_end(*ex->guard, bound);
  return std::nullopt;
}

// Collects what an open residual leaves to a person and to the future:
// its subjective atoms and its open quantifiers over "disclose-eval",
// outside every quantifier body.
class OpenItems {
public:
  OpenItems(const SignatureIndex& decls, InstanceVerdict& verdict)
      : decls_(decls), verdict_(verdict) {}

  void collect(const FormulaPtr& formula, const std::string& clause) {
    const std::string& here = formula->name ? *formula->name : clause;
    if (const auto* conj = formula->as<And>()) {
      for (const FormulaPtr& member : conj->conjuncts) collect(member, here);
    } else if (const auto* disj = formula->as<Or>()) {
      for (const FormulaPtr& member : disj->disjuncts) collect(member, here);
    } else if (const auto* atom = formula->as<Atom>()) {
      const PredDecl* decl = decls_.find_pred(atom->pred);
      if (decl != nullptr && decl->cls == PredClass::Subj) {
        verdict_.judgements.push_back(formula);
      } else if (atom->pred == "disclose-eval") {
        verdict_.obligations.push_back(Obligation{here, std::nullopt, false});
      }
    } else if (const auto* q = formula->as<Quantified>()) {
      if (guard_mentions(*q->guard, "disclose-eval")) {
        verdict_.obligations.push_back(Obligation{here, window_end(*q->guard, q->bound), false});
      }
    }
  }

private:
  const SignatureIndex& decls_;
  InstanceVerdict& verdict_;
};

bool term_mentions(const Term& term, const std::string& var) {
  if (const auto* v = term.as<VarTerm>()) return v->name == var;
  if (const auto* app = term.as<AppTerm>()) {
    return std::any_of(app->args.begin(), app->args.end(),
                       [&](const TermPtr& arg) { return term_mentions(*arg, var); });
  }
  return false;
}

// The first atom of a guard, through its conjunctions.
const GAtom* first_guard_atom(const Guard& guard) {
  if (const auto* atom = guard.as<GAtom>()) return atom;
  if (const auto* conj = guard.as<GAnd>()) {
    return conj->conjuncts.empty() ? nullptr : first_guard_atom(*conj->conjuncts.front());
  }
  if (const auto* ex = guard.as<GEx>()) return first_guard_atom(*ex->guard);
  return nullptr;
}

// The first atom of a guard, through its conjunctions, that reads a table:
// the record a guard rests on, which need not come first in the order the
// guard is evaluated.
const GAtom* first_table_atom(const Guard& guard, const SignatureIndex& decls) {
  if (const auto* atom = guard.as<GAtom>()) {
    const PredDecl* decl = decls.find_pred(atom->pred);
    return decl != nullptr && decl->cls == PredClass::Db ? atom : nullptr;
  }
  if (const auto* conj = guard.as<GAnd>()) {
    for (const GuardPtr& member : conj->conjuncts) {
      if (const GAtom* atom = first_table_atom(*member, decls)) return atom;
    }
    return nullptr;
  }
  if (const auto* ex = guard.as<GEx>()) return first_table_atom(*ex->guard, decls);
  return nullptr;
}

} // namespace

const char* verdict_word(Verdict verdict) {
  switch (verdict) {
  case Verdict::Violation: return "violation";
  case Verdict::Open: return "open";
  case Verdict::Compliant: break;
  }
  return "compliant";
}

bool InstanceJudge::names_inside(const Formula& formula) {
  auto known = named_.find(&formula);
  if (known != named_.end()) return known->second;
  bool result = false;
  auto any_named = [&](const FormulaList& members) {
    return std::any_of(members.begin(), members.end(), [&](const FormulaPtr& member) {
      return member->name.has_value() || names_inside(*member);
    });
  };
  if (const auto* conj = formula.as<And>()) result = any_named(conj->conjuncts);
  if (const auto* disj = formula.as<Or>()) result = any_named(disj->disjuncts);
  named_.emplace(&formula, result);
  return result;
}

InstanceJudge::Walked InstanceJudge::walk(const FormulaPtr& formula, const Substitution& sigma) {
  if (names_inside(*formula)) {
    if (const auto* conj = formula->as<And>()) return walk_and(formula, *conj, sigma);
    if (const auto* disj = formula->as<Or>()) return walk_or(formula, *disj, sigma);
  }
  Walked walked{engine_.reduce_instance_part(formula, sigma), {}};
  // A true part names nothing by itself: the disjunction above it does.
  if (!walked.residual->is<True>() && formula->name) walked.names.push_back(*formula->name);
  return walked;
}

InstanceJudge::Walked InstanceJudge::walk_and(const FormulaPtr& formula, const And& conj,
                                              const Substitution& sigma) {
  FormulaList kept;
  std::vector<std::string> permitting;
  std::vector<std::string> open;
  for (const FormulaPtr& conjunct : conj.conjuncts) {
    Walked part = walk(conjunct, sigma);
    if (part.residual->is<False>()) {
      // The clause that failed, followed by the paragraphs inside it that
      // decided the failure.
      std::vector<std::string> deciding;
      if (formula->name) deciding.push_back(*formula->name);
      add_names(deciding, part.names);
      return Walked{make_false(formula->name), std::move(deciding)};
    }
    if (part.residual->is<True>()) {
      add_names(permitting, part.names);
      continue;
    }
    add_open(open, part.names, formula->name);
    kept.push_back(std::move(part.residual));
  }
  if (kept.empty()) return Walked{make_true(formula->name), std::move(permitting)};
  if (kept.size() == 1) return Walked{std::move(kept.front()), std::move(open)};
  return Walked{make_and(formula->name, std::move(kept)), std::move(open)};
}

InstanceJudge::Walked InstanceJudge::walk_or(const FormulaPtr& formula, const Or& disj,
                                             const Substitution& sigma) {
  FormulaList kept;
  std::vector<std::string> open;
  std::vector<std::pair<const FormulaPtr*, std::vector<std::string>>> failed;
  for (const FormulaPtr& disjunct : disj.disjuncts) {
    Walked part = walk(disjunct, sigma);
    if (part.residual->is<True>()) {
      std::vector<std::string> permitting;
      if (disjunct->name) permitting.push_back(*disjunct->name);
      add_names(permitting, part.names);
      return Walked{make_true(formula->name), std::move(permitting)};
    }
    if (part.residual->is<False>()) {
      failed.emplace_back(&disjunct, std::move(part.names));
      continue;
    }
    add_open(open, part.names, formula->name);
    kept.push_back(std::move(part.residual));
  }
  if (kept.empty()) {
    // No disjunct holds.  A named disjunction is itself the clause that
    // fails (for "permitted": no clause permits the disclosure); after it
    // come the disjuncts that came close, those whose premise held.  An
    // unnamed one only groups its disjuncts: the failures of those that
    // applied are what is at stake.
    std::vector<std::string> deciding;
    if (formula->name) deciding.push_back(*formula->name);
    for (const auto& [disjunct, names] : failed) {
      if (applies(*disjunct, sigma)) add_names(deciding, names);
    }
    return Walked{make_false(formula->name), std::move(deciding)};
  }
  if (kept.size() == 1) return Walked{std::move(kept.front()), std::move(open)};
  return Walked{make_or(formula->name, std::move(kept)), std::move(open)};
}

bool InstanceJudge::applies(const FormulaPtr& formula, const Substitution& sigma) {
  if (const auto* conj = formula->as<And>()) {
    return conj->conjuncts.empty() || applies(conj->conjuncts.front(), sigma);
  }
  if (const auto* disj = formula->as<Or>()) {
    // A named disjunction is a clause of alternatives, at stake as a whole.
    if (formula->name) return true;
    return std::any_of(disj->disjuncts.begin(), disj->disjuncts.end(),
                       [&](const FormulaPtr& member) { return applies(member, sigma); });
  }
  if (formula->is<Atom>()) return !engine_.reduce_instance_part(formula, sigma)->is<False>();
  if (const auto* q = formula->as<Quantified>()) {
    if (q->kind == Quantifier::All) return true; // a universal that fails is broken
    FormulaPtr premise = guard_premise(*q);
    return premise == nullptr || !engine_.reduce_instance_part(premise, sigma)->is<False>();
  }
  return !formula->is<False>();
}

// The first atom of an `ex`'s guard, when it is a table atom, as an `ex` of
// its own over the variables it binds: whether the log holds anything the
// clause could rest on (an authorisation, a contract), in force or not.
FormulaPtr InstanceJudge::guard_premise(const Quantified& q) {
  const GAtom* atom = first_guard_atom(*q.guard);
  if (atom == nullptr) return nullptr;
  const PredDecl* decl = engine_.subst_env().decls.find_pred(atom->pred);
  if (decl == nullptr || decl->cls != PredClass::Db) return nullptr;
  // The atom stands alone only where it binds its variables itself, as
  // plain arguments; one nested in a constructor waits for a later atom.
  BoundList bound;
  for (const BoundVar& var : q.bound) {
    bool plain = false;
    for (const TermPtr& arg : atom->args) {
      if (arg->is<VarTerm>() && arg->as<VarTerm>()->name == var.var) {
        plain = true;
      } else if (term_mentions(*arg, var.var)) {
        return nullptr;
      }
    }
    if (plain) bound.push_back(var);
  }
  return make_ex(std::nullopt, std::move(bound), {}, false, make_gatom(atom->pred, atom->args),
                 make_true());
}

FailedFact InstanceJudge::guard_fact(const Guard& guard, const Substitution& sigma,
                                     const std::string& clause, bool holds) {
  FailedFact fact{clause, {}, {}, holds, false, {}, {}};
  const GAtom* atom = first_guard_atom(guard);
  if (const auto* disj = guard.as<GOr>(); disj != nullptr && holds) {
    // The alternative of the premise that holds.
    for (const GuardPtr& member : disj->disjuncts) {
      const GAtom* candidate = first_guard_atom(*member);
      if (candidate == nullptr) continue;
      if (atom == nullptr) atom = candidate;
      FormulaPtr test = make_atom(std::nullopt, candidate->pred, candidate->args);
      if (engine_.reduce_instance_part(test, sigma)->is<True>()) {
        atom = candidate;
        break;
      }
    }
  }
  if (atom == nullptr) return fact;
  fact.pred = atom->pred;
  fact.args = subst_simplify(atom->args, sigma, engine_.subst_env());
  const PredDecl* decl = engine_.subst_env().decls.find_pred(atom->pred);
  // A row that came near must share a value with the instance: one that
  // agrees only on the clause's constants (the statement for fundraising in
  // any entity's notice) says nothing about this disclosure.
  const bool near_the_instance =
      holds || std::any_of(atom->args.begin(), atom->args.end(), [&](const TermPtr& arg) {
        const auto* var = arg->as<VarTerm>();
        return var != nullptr && find_binding(sigma, var->name) != nullptr;
      });
  if (decl != nullptr && decl->cls == PredClass::Db && near_the_instance) {
    engine_.query_db_atom(fact.pred, fact.args, [&](const TermList& values) {
      fact.nearest = values;
      return Flow::Stop;
    });
  }
  return fact;
}

std::optional<FailedFact> InstanceJudge::premise_row(const Guard& guard, const Substitution& sigma,
                                                     const std::string& clause) {
  std::vector<const Guard*> members;
  if (const auto* conj = guard.as<GAnd>()) {
    for (const GuardPtr& member : conj->conjuncts) members.push_back(member.get());
  } else {
    members.push_back(&guard);
  }
  for (const Guard* member : members) {
    const auto* ex = member->as<GEx>();
    if (ex == nullptr) continue;
    const GAtom* atom = first_table_atom(*ex->guard, engine_.subst_env().decls);
    if (atom == nullptr) continue;
    if (std::optional<Substitution> solution = first_solution(*ex->guard, sigma, nullptr)) {
      return row_fact(*atom, *solution, clause);
    }
  }
  return std::nullopt;
}

std::optional<Substitution> InstanceJudge::first_solution(const Guard& guard,
                                                          const Substitution& sigma,
                                                          const FormulaPtr& broken_body) {
  std::optional<Substitution> found;
  engine_.for_each_guard_solution(guard, sigma, [&](const Substitution& solution) {
    if (broken_body && !engine_.reduce_instance_part(broken_body, solution)->is<False>()) {
      return true;
    }
    found = solution;
    return false;
  });
  return found;
}

FailedFact InstanceJudge::row_fact(const GAtom& atom, const Substitution& solution,
                                   const std::string& clause) {
  TermList values = subst_simplify(atom.args, solution, engine_.subst_env());
  return FailedFact{clause, atom.pred, values, true, false, values, {}};
}

std::optional<FailedFact> InstanceJudge::explain(const FormulaPtr& formula,
                                                 const Substitution& sigma,
                                                 const std::string& clause,
                                                 const std::vector<std::string>& path) {
  const std::string& here = formula->name ? *formula->name : clause;
  auto on_path = [&](const FormulaList& members) -> const FormulaPtr* {
    for (const FormulaPtr& member : members) {
      if (member->name && std::find(path.begin(), path.end(), *member->name) != path.end()) {
        return &member;
      }
    }
    return nullptr;
  };
  if (const auto* atom = formula->as<Atom>()) {
    return FailedFact{here, atom->pred, subst_simplify(atom->args, sigma, engine_.subst_env()),
                      false, false, {}, {}};
  }
  if (const auto* conj = formula->as<And>()) {
    if (const FormulaPtr* named = on_path(conj->conjuncts)) return explain(*named, sigma, here, path);
    for (const FormulaPtr& conjunct : conj->conjuncts) {
      if (engine_.reduce_instance_part(conjunct, sigma)->is<False>()) {
        return explain(conjunct, sigma, here, path);
      }
    }
    return std::nullopt;
  }
  if (const auto* disj = formula->as<Or>()) {
    // Of the alternatives the walk found at stake, the first whose failure
    // comes with a record on file that came near (an agreement that had
    // ended, an authorisation for another purpose) says most; else the
    // first of them.
    std::optional<FailedFact> first_named;
    for (const FormulaPtr& member : disj->disjuncts) {
      if (!member->name || std::find(path.begin(), path.end(), *member->name) == path.end()) {
        continue;
      }
      std::optional<FailedFact> fact = explain(member, sigma, here, path);
      if (fact && !fact->holds && !fact->nearest.empty()) return fact;
      if (!first_named) first_named = std::move(fact);
    }
    if (first_named) return first_named;
    // The first alternative that applied came nearest.
    for (const FormulaPtr& disjunct : disj->disjuncts) {
      if (applies(disjunct, sigma)) return explain(disjunct, sigma, here, path);
    }
    if (disj->disjuncts.empty()) return FailedFact{here, {}, {}, false, false, {}, {}};
    std::optional<FailedFact> first = explain(disj->disjuncts.front(), sigma, here, path);
    if (first) {
      first->none_applies = true;
      first->clause = here;
    }
    return first;
  }
  if (const auto* q = formula->as<Quantified>()) {
    if (q->kind == Quantifier::Ex) {
      // A record on file that met the guard but was undone by a recorded
      // fact (an authorisation with a recorded defect): that fact says why.
      if (std::optional<Substitution> met = first_solution(*q->guard, sigma, q->body)) {
        std::optional<FailedFact> inside = explain(q->body, *met, here, path);
        if (inside && inside->holds && !inside->pred.empty()) return inside;
      }
      return guard_fact(*q->guard, sigma, here, false);
    }
    // An implication (no variables) whose premise holds: a prohibition
    // when its conclusion is false, else the conclusion failed.
    if (!q->bound.empty()) {
      // A universal is broken by one of its guard's solutions: the record
      // of that solution is what made it apply, and the body's failure
      // under it is the exception that did not.
      const GAtom* atom = first_table_atom(*q->guard, engine_.subst_env().decls);
      std::optional<Substitution> broken;
      if (atom != nullptr) broken = first_solution(*q->guard, sigma, q->body);
      if (!broken) return guard_fact(*q->guard, sigma, here, true);
      FailedFact row = row_fact(*atom, *broken, here);
      if (std::optional<FailedFact> inside = explain(q->body, *broken, here, path)) {
        row.exception.push_back(std::move(*inside));
      }
      return row;
    }
    FailedFact premise = guard_fact(*q->guard, sigma, here, true);
    // A premise read from a table (an agreed restriction, an opt-out) says
    // what was broken, more than the failure of the conclusion, which is
    // then the exception that did not apply.
    std::optional<FailedFact> row = premise_row(*q->guard, sigma, here);
    const PredDecl* decl = engine_.subst_env().decls.find_pred(premise.pred);
    if (!row && decl != nullptr && decl->cls == PredClass::Db) row = std::move(premise);
    std::optional<FailedFact> inside;
    if (!q->body->is<False>()) inside = explain(q->body, sigma, here, path);
    if (!row) return inside ? std::move(*inside) : premise;
    if (inside) row->exception.push_back(std::move(*inside));
    return row;
  }
  return FailedFact{here, {}, {}, false, false, {}, {}};
}

InstanceVerdict InstanceJudge::judge(const FormulaPtr& body, const Substitution& sigma,
                                     const std::string& rule,
                                     const std::optional<DateValue>& as_of, bool explain_it) {
  engine_.begin_instance(body, sigma);
  Walked walked = walk(body, sigma);
  InstanceVerdict verdict;
  verdict.residual = walked.residual;
  verdict.clauses = std::move(walked.names);
  if (settler_ && !verdict.residual->is<True>() && !verdict.residual->is<False>()) {
    settler_(verdict.residual, verdict.clauses);
  }
  if (verdict.residual->is<False>()) {
    verdict.verdict = Verdict::Violation;
    // A violation the log decided is explained by the fact that failed; one
    // that people's answers decided, by those answers.
    if (explain_it && walked.residual->is<False>()) {
      verdict.failed = explain(body, sigma, rule, verdict.clauses);
    }
  } else if (verdict.residual->is<True>()) {    verdict.verdict = Verdict::Compliant;
  } else {
    verdict.verdict = Verdict::Open;
    OpenItems(engine_.subst_env().decls, verdict).collect(verdict.residual, rule);
    std::vector<std::string> overdue;
    for (Obligation& obligation : verdict.obligations) {
      obligation.overdue = as_of && obligation.deadline && *obligation.deadline < *as_of;
      if (obligation.overdue) add_name(overdue, obligation.clause);
    }
    if (!overdue.empty()) {
      verdict.verdict = Verdict::Violation;
      verdict.clauses = std::move(overdue);
    }
  }
  if (verdict.clauses.empty() && verdict.verdict != Verdict::Compliant) {
    verdict.clauses.push_back(rule);
  }
  return verdict;
}

} // namespace hipaa
