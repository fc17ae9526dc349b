// The engine's entry for one rule instance by instance: the guard is
// enumerated by the engine's own guard satisfaction, so instances arrive in
// the order and with the substitutions a whole reduction would use.
#include "reduce/rule_instances.hpp"

#include "base/failure.hpp"
#include "reduce/term_match.hpp"

namespace hipaa {

namespace {

void collect_rules(const FormulaPtr& formula, const std::optional<std::string>& enclosing,
                   std::vector<Rule>& rules) {
  if (const auto* conj = formula->as<And>()) {
    const std::optional<std::string>& name = formula->name ? formula->name : enclosing;
    for (const FormulaPtr& conjunct : conj->conjuncts) collect_rules(conjunct, name, rules);
    return;
  }
  Rule rule;
  if (formula->name) {
    rule.name = *formula->name;
  } else if (enclosing) {
    rule.name = *enclosing;
  } else {
    rule.name = "rule-" + std::to_string(rules.size() + 1);
  }
  rule.formula = formula;
  const auto* q = formula->as<Quantified>();
  if (q != nullptr && q->kind == Quantifier::All) rule.all = q;
  rules.push_back(std::move(rule));
}

// A guard solution is an instance unless the rule's exclusion list names
// its tuple.
void hand_on_instance(const Quantified& rule, const Substitution& sigma,
                      ReductionFn::SolutionK k) {
  TermList tuple = value_tuple(rule.bound, sigma);
  if (!is_excluded(rule.exclusions, tuple)) k(sigma, tuple);
}

} // namespace

std::vector<Rule> top_level_rules(const FormulaPtr& policy) {
  std::vector<Rule> rules;
  collect_rules(policy, std::nullopt, rules);
  return rules;
}

bool ReductionFn::for_each_solution(const Quantified& rule, SolutionK k) {
  if (reduction_depth_ == 0) probe_.clear();
  DepthScope depth(reduction_depth_);
  bool closed = true;
  auto instance_step = [&](const Substitution& sigma) { hand_on_instance(rule, sigma, k); };
  satisfy_guard(*rule.guard, Substitution{}, instance_step, closed);
  return closed;
}

bool ReductionFn::for_each_solution(const Quantified& rule, DrivingFilter take, SolutionK k) {
  if (reduction_depth_ == 0) probe_.clear();
  DepthScope depth(reduction_depth_);
  bool closed = true;
  auto instance_step = [&](const Substitution& sigma) { hand_on_instance(rule, sigma, k); };
  std::size_t driving = 0;
  // The enumeration of satisfy_conjuncts, its first step filtered.
  const auto* conj = rule.guard->as<GAnd>();
  if (conj != nullptr && conj->conjuncts.size() > 1) {
    auto extend = [&](const Substitution& sigma) {
      if (take(driving++)) satisfy_conjuncts(conj->conjuncts, 1, sigma, instance_step, closed);
    };
    satisfy_guard(*conj->conjuncts.front(), Substitution{}, extend, closed, nullptr);
  } else {
    auto whole = [&](const Substitution& sigma) {
      if (take(driving++)) instance_step(sigma);
    };
    satisfy_guard(*rule.guard, Substitution{}, whole, closed);
  }
  return closed;
}

std::optional<bool> ReductionFn::for_each_dealt_solution(const Quantified& rule, RowDeal& deal,
                                                         SolutionK k) {
  // The driving atom as the filtered enumeration finds it; its rows are
  // dealt when a DB predicate or a relation of the scenario answers it.
  const auto* conj = rule.guard->as<GAnd>();
  const Guard& driving = conj != nullptr ? *conj->conjuncts.front() : *rule.guard;
  const auto* atom = driving.as<GAtom>();
  if (atom == nullptr) return std::nullopt;
  const PredDecl* decl = decls_.find_pred(atom->pred);
  if (decl == nullptr) return std::nullopt;
  bool by_rows = decl->cls == PredClass::Db ||
                 ((decl->cls == PredClass::Eval || decl->cls == PredClass::Sql) &&
                  scenario_.answers_by_rows(atom->pred, atom->args.size()));
  if (!by_rows) return std::nullopt;

  if (reduction_depth_ == 0) probe_.clear();
  DepthScope depth(reduction_depth_);
  bool closed = true;
  auto instance_step = [&](const Substitution& sigma) { hand_on_instance(rule, sigma, k); };
  auto extend = [&](const Substitution& sigma) {
    if (conj != nullptr) {
      satisfy_conjuncts(conj->conjuncts, 1, sigma, instance_step, closed);
    } else {
      instance_step(sigma);
    }
  };
  // satisfy_guard_atom with nothing bound yet, its query dealt.
  TermList args = subst_simplify(atom->args, Substitution{}, subst_env());
  auto guard_atom_k = [&](const Candidate& candidate) {
    std::optional<Substitution> bindings;
    if (candidate.is_solution()) bindings = match(args, *candidate.values);
    if (!bindings) {
      if (atom->pred == "disclose-eval") closed = false;
      return Flow::Continue;
    }
    extend(*bindings);
    return Flow::Continue;
  };
  resolve_dealt(*decl, atom->pred, args, deal, guard_atom_k);
  return closed;
}

void ReductionFn::begin_instance(const FormulaPtr& body, const Substitution& sigma) {
  DepthScope depth(reduction_depth_);
  probe_.run(body, sigma, subst_env());
}

FormulaPtr ReductionFn::reduce_instance_part(const FormulaPtr& part, const Substitution& sigma) {
  DepthScope depth(reduction_depth_);
  return reduce_under(part, &sigma);
}

void ReductionFn::for_each_guard_solution(const Guard& guard, const Substitution& sigma,
                                          GuardSolutionK k) {
  DepthScope depth(reduction_depth_);
  bool done = false;
  bool closed = true;
  satisfy_guard(
      guard, sigma,
      [&](const Substitution& solution) {
        if (!done) done = !k(solution);
      },
      closed, &done);
}

bool reduce_each_instance(ReductionFn& engine, const Quantified& rule, InstanceK k) {
  return engine.for_each_solution(rule, [&](const Substitution& sigma, const TermList& tuple) {
    engine.begin_instance(rule.body, sigma);
    FormulaPtr reduced = engine.reduce_instance_part(rule.body, sigma);
    k(sigma, tuple, reduced);
  });
}

} // namespace hipaa
