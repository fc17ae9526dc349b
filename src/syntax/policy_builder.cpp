// The policy grammar's builder: runs the actions of the grammar's
// productions on a stack of partial values.
#include "syntax/value_stack.hpp"
#include "syntax/policy_grammar.hpp"

#include "syntax/policy_actions.hpp"

namespace hipaa::syntax {

using namespace policy;

template <class T> std::vector<T> PolicyGrammar::Builder::pop_list() {
  return pop_marked_list<T, Mark>(values_);
}

void PolicyGrammar::Builder::shift(const Token& token) {
  switch (token.kind) {
  case P_ID: values_.emplace_back(std::string(token.text)); break;
  case P_STR: values_.emplace_back(make_str(std::string(token.text))); break;
  case P_INT: values_.emplace_back(make_int(token.value)); break;
  case P_DATE:
    values_.emplace_back(make_date(
        token.value < 0 ? DateValue(0) : (*dates_)[static_cast<std::size_t>(token.value)]));
    break;
  default: break;
  }
}

void PolicyGrammar::Builder::act(Sym action) {
  switch (action) {
  case A_MARK: values_.emplace_back(Mark{}); return;
  case A_FORMULA_RESULT: result_ = ParseValue(pop<FormulaPtr>()); return;
  case A_TERM_RESULT: result_ = ParseValue(pop<TermPtr>()); return;
  case A_ALL: act_quantifier(Quantifier::All); return;
  case A_EX: act_quantifier(Quantifier::Ex); return;
  default: break;
  }
  if (action <= A_ATOM0) return act_formula(action);
  if (action >= A_GTRUE && action <= A_GOR) return act_guard(action);
  act_parts(action);
}

void PolicyGrammar::Builder::act_formula(Sym action) {
  switch (action) {
  case A_NAME: values_.emplace_back(Name(pop<std::string>())); return;
  case A_NO_NAME: values_.emplace_back(Name()); return;
  case A_AND: {
    FormulaList conjuncts = pop_list<FormulaPtr>();
    values_.emplace_back(make_and(pop<Name>(), std::move(conjuncts)));
    return;
  }
  case A_OR: {
    FormulaList disjuncts = pop_list<FormulaPtr>();
    values_.emplace_back(make_or(pop<Name>(), std::move(disjuncts)));
    return;
  }
  case A_TRUE: values_.emplace_back(make_true(pop<Name>())); return;
  case A_FALSE: values_.emplace_back(make_false(pop<Name>())); return;
  case A_ATOM: {
    TermList args = pop_list<TermPtr>();
    std::string pred = pop<std::string>();
    values_.emplace_back(make_atom(pop<Name>(), std::move(pred), std::move(args)));
    return;
  }
  case A_IMP: {
    FormulaPtr body = pop<FormulaPtr>();
    GuardPtr guard = pop<GuardPtr>();
    const bool compile = pop<bool>();
    values_.emplace_back(make_all(pop<Name>(), {}, {}, compile, std::move(guard), std::move(body)));
    return;
  }
  case A_TRUE0: values_.emplace_back(make_true()); return;
  case A_FALSE0: values_.emplace_back(make_false()); return;
  case A_ATOM0: values_.emplace_back(make_atom(std::nullopt, pop<std::string>(), {})); return;
  default: return;
  }
}

// Stack: name, bound list, exclusions, compile mark, guard, body.
void PolicyGrammar::Builder::act_quantifier(Quantifier kind) {
  FormulaPtr body = pop<FormulaPtr>();
  GuardPtr guard = pop<GuardPtr>();
  const bool compile = pop<bool>();
  ExclusionList exclusions = pop<ExclusionList>();
  BoundList bound = pop<BoundList>();
  values_.emplace_back(make_quantified(pop<Name>(), kind, std::move(bound), std::move(exclusions),
                                       compile, std::move(guard), std::move(body)));
}

void PolicyGrammar::Builder::act_guard(Sym action) {
  switch (action) {
  case A_GTRUE: values_.emplace_back(make_gtrue()); return;
  case A_GFALSE: values_.emplace_back(make_gfalse()); return;
  case A_GATOM: {
    TermList args = pop_list<TermPtr>();
    values_.emplace_back(make_gatom(pop<std::string>(), std::move(args)));
    return;
  }
  case A_GATOM0: values_.emplace_back(make_gatom(pop<std::string>(), {})); return;
  case A_GEX: {
    GuardPtr guard = pop<GuardPtr>();
    values_.emplace_back(make_gex(pop<BoundList>(), std::move(guard)));
    return;
  }
  case A_GAND: values_.emplace_back(make_gand(pop_list<GuardPtr>())); return;
  case A_GOR: values_.emplace_back(make_gor(pop_list<GuardPtr>())); return;
  default: return;
  }
}

// Bound variables, sorts, exclusions, compile marks and terms.
void PolicyGrammar::Builder::act_parts(Sym action) {
  switch (action) {
  case A_BOUND_VAR: {
    std::optional<Sort> sort = pop<std::optional<Sort>>();
    values_.emplace_back(BoundVar{std::move(sort), pop<std::string>()});
    return;
  }
  case A_BOUND_LIST: values_.emplace_back(pop_list<BoundVar>()); return;
  case A_NO_SORT: values_.emplace_back(std::optional<Sort>()); return;
  case A_SORT_STRING: values_.emplace_back(std::optional<Sort>(Sort::string())); return;
  case A_SORT_INT: values_.emplace_back(std::optional<Sort>(Sort::integer())); return;
  case A_SORT_DATE: values_.emplace_back(std::optional<Sort>(Sort::date())); return;
  case A_SORT_ANY: values_.emplace_back(std::optional<Sort>(Sort::any())); return;
  case A_SORT_NAMED:
    values_.emplace_back(std::optional<Sort>(Sort::named(pop<std::string>())));
    return;
  case A_EXCLUSIONS: values_.emplace_back(pop_list<TermList>()); return;
  case A_NO_EXCLUSIONS: values_.emplace_back(ExclusionList()); return;
  case A_TUPLE: values_.emplace_back(pop_list<TermPtr>()); return;
  case A_COMPILE: values_.emplace_back(true); return;
  case A_NO_COMPILE: values_.emplace_back(false); return;
  case A_APP: {
    TermList args = pop_list<TermPtr>();
    values_.emplace_back(make_app(pop<std::string>(), std::move(args)));
    return;
  }
  case A_APP0: values_.emplace_back(make_app(pop<std::string>())); return;
  default: return;
  }
}

} // namespace hipaa::syntax
