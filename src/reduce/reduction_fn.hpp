// The reduction engine: decides every atom of a formula that the log can
// decide and returns the residual formula.  One instance reduces the policy;
// the scenario keeps another for its own table queries.
#pragma once

#include "db/sqlite.hpp"
#include "logic/formula.hpp"
#include "reduce/candidate.hpp"
#include "reduce/evaluation_probe.hpp"
#include "reduce/log_reader.hpp"
#include "reduce/scenario_interface.hpp"
#include "reduce/signature_index.hpp"
#include "reduce/substitution.hpp"

#include <array>
#include <iosfwd>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace hipaa {

class ReductionFn {
public:
  // All references must outlive the engine.  Diagnostics go to `out`.
  ReductionFn(const Signature& signature, db::Connection& connection, std::ostream& out,
              Scenario& scenario);

  // The residual formula of `formula` against the log.
  FormulaPtr reduce_formula_internal(const FormulaPtr& formula);

  // Hands the solutions of the atom `pred`(`args`) to `k`, then the
  // no-solution signal, unless `k` stops the enumeration first.
  void resolve_atom(const std::string& pred, const TermList& args, Continuation k);

  // Receives the checked values of one row of a table query.
  using RowValues = hipaa::RowValues;

  // Queries the table of the DB predicate `pred` for the rows that agree
  // with the closed terms of `args`, and hands the parsed and sort-checked
  // values of each row to `on_row`.  True when the query ran to its end,
  // false when `on_row` stopped it.
  // With `deal`, the rows it does not take are passed over unread.
  bool query_db_atom(const std::string& pred, const TermList& args, RowValues on_row,
                     RowDeal* deal = nullptr);

  // Table lookups answered from `index` where it holds the table (see
  // LogReader::use_index).
  void use_table_index(TableIndex* index) { log_.use_index(index); }

  SubstEnv subst_env() { return SubstEnv{decls_, scenario_, out_}; }

  // How many diagnostics this engine's own reading of the log has written.
  std::size_t log_diagnostics() const { return log_.diagnostics(); }

  // One top-level rule instance by instance (rule_instances.cpp): the
  // rule's guard is enumerated as a quantifier's would be, but each instance
  // is reduced on its own, so a false instance stops nothing.

  // Receives one guard solution: the substitution and the values of the
  // bound variables in bound-list order.
  using SolutionK = FunctionRef<void(const Substitution& sigma, const TermList& tuple)>;

  // Hands the guard solutions of `rule`, a quantifier outside every body,
  // to `k` in the order the log yields them, skipping excluded tuples.
  // False when the rule's range stays open to later disclosures.
  bool for_each_solution(const Quantified& rule, SolutionK k);

  // Told the number of each solution of the guard's driving atom (its first
  // conjunct, or the whole guard when it has one), counted from 0 in guard
  // order; false skips that solution and every guard solution extending it.
  using DrivingFilter = FunctionRef<bool(std::size_t driving)>;

  // for_each_solution for the driving solutions that `take` keeps: the
  // others cost one row of the driving atom's query each, not the queries
  // of the conjuncts that extend them.  With a filter that keeps every one,
  // the same solutions in the same order.
  bool for_each_solution(const Quantified& rule, DrivingFilter take, SolutionK k);

  // for_each_solution dealing the rows of the driving atom's table query:
  // `deal.takes` picks rows by position, and the others are passed over
  // unread, so that another shard's row costs a step of the query and can
  // neither report nor fail here; each solution comes from the row in
  // `deal.at`.  Absent, having done nothing, when the driving atom is not
  // answered by the rows of one table query in order.
  std::optional<bool> for_each_dealt_solution(const Quantified& rule, RowDeal& deal,
                                              SolutionK k);

  // Makes the evaluations that reducing the whole instance `body` under
  // `sigma` would make first, so that a failing one ends the run as it would
  // in a whole reduction.  Call once per instance, before its parts.
  void begin_instance(const FormulaPtr& body, const Substitution& sigma);

  // The reduction of `part`, the body of an instance or a subformula of it,
  // under `sigma`.
  FormulaPtr reduce_instance_part(const FormulaPtr& part, const Substitution& sigma);

  // Receives one solution of a guard as the extended substitution; false
  // ends the enumeration.
  using GuardSolutionK = FunctionRef<bool(const Substitution&)>;

  // Hands the solutions of `guard` under `sigma`, within an instance, to
  // `k` in the order the log yields them, until `k` returns false.
  void for_each_guard_solution(const Guard& guard, const Substitution& sigma, GuardSolutionK k);

private:
  // Receives one solution of a guard as the extended substitution.
  using GuardK = FunctionRef<void(const Substitution&)>;

  // Reduces `formula` with `pending` applied to it: each subformula is
  // substituted when the reduction reaches it.  Null `pending` means the
  // formula stands outside every quantifier body and is not substituted.
  FormulaPtr reduce_under(const FormulaPtr& formula, const Substitution* pending);
  FormulaPtr reduce_atom(const FormulaPtr& formula, const Atom& atom, const Substitution* pending);
  FormulaPtr reduce_and(const FormulaPtr& formula, const And& conj, const Substitution* pending);
  FormulaPtr reduce_or(const FormulaPtr& formula, const Or& disj, const Substitution* pending);
  FormulaPtr reduce_quantified(const FormulaPtr& formula, const Quantified& q,
                               const Substitution* pending);

  // True or false replacing a formula named `name`.  Formulas are values:
  // one named true (and one named false) per name serves every instance
  // that a clause decides, instead of a new one each time.
  FormulaPtr decided(bool value, const Name& name);

  // `settled`, when given, turns true once `k` ignores every further
  // solution (its quantifier is decided); only atoms whose solutions go
  // straight to `k` see it, since the others feed later atoms' queries.
  void satisfy_guard(const Guard& guard, const Substitution& sigma, GuardK k, bool& closed,
                     const bool* settled = nullptr);
  void satisfy_conjuncts(const GuardList& guards, std::size_t from, const Substitution& sigma,
                         GuardK k, bool& closed, const bool* settled = nullptr);
  void satisfy_guard_atom(const GAtom& atom, const Substitution& sigma, GuardK k, bool& closed,
                          const bool* settled);

  // resolve_atom for a predicate already looked up.
  void resolve_declared(const PredDecl& decl, const std::string& pred, const TermList& args,
                        Continuation k);
  // resolve_declared with the rows of the atom's table query dealt, for a
  // DB predicate or one the scenario answers by rows.
  void resolve_dealt(const PredDecl& decl, const std::string& pred, const TermList& args,
                     RowDeal& deal, Continuation k);
  const PredDecl& db_declaration(const PredDecl* decl, const std::string& pred);

  const Signature& signature_;
  SignatureIndex decls_;
  db::Connection& connection_;
  std::ostream& out_;
  Scenario& scenario_;
  EvaluationProbe probe_;
  // Counts the reductions of this engine under way for its lifetime; the
  // evaluation probe's knowledge is kept while the count is above zero.
  class DepthScope {
  public:
    explicit DepthScope(int& depth) : depth_(depth) { ++depth_; }
    ~DepthScope() { --depth_; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;

  private:
    int& depth_;
  };
  int reduction_depth_ = 0;
  LogReader log_;
  // The named decisions made so far, by a hash of the name; a slot holds
  // the last name met there.
  struct Decided {
    std::string name;
    FormulaPtr value[2]; // false, true; made when first needed
  };
  std::array<Decided, 1024> decided_{};
};

} // namespace hipaa
