#include "logic/printer.hpp"

#include "base/stack_depth.hpp"

#include <cstdint>

namespace hipaa {

namespace {

template <class List, class AppendOne>
void append_joined(std::string& out, const List& items, AppendOne append_one) {
  bool first = true;
  for (const auto& item : items) {
    if (!first) out += ' ';
    first = false;
    append_one(out, *item);
  }
}

void append_term_list(std::string& out, const TermList& terms) {
  append_joined(out, terms, [](std::string& o, const Term& t) { append_term(o, t); });
}

void append_bound_list(std::string& out, const BoundList& bound) {
  for (const BoundVar& entry : bound) {
    out += '[';
    out += entry.var;
    if (entry.sort) {
      out += ": ";
      out += print_sort(*entry.sort);
    }
    out += "] ";
  }
}

void append_ex_list(std::string& out, const ExclusionList& exclusions) {
  bool first = true;
  for (const TermList& tuple : exclusions) {
    if (!first) out += ' ';
    first = false;
    out += '[';
    append_term_list(out, tuple);
    out += ']';
  }
}

// "(" <name> " " ... for a named compound formula, "(" alone otherwise.
void open_named(std::string& out, const Name& name) {
  out += '(';
  if (!name) return;
  out += '<';
  out += *name;
  out += "> ";
}

void append_constant(std::string& out, const Name& name, const char* keyword) {
  if (!name) {
    out += keyword;
    return;
  }
  open_named(out, name);
  out += keyword;
  out += ')';
}

void append_atom(std::string& out, const Name& name, const Atom& atom) {
  if (!name && atom.args.empty()) {
    out += atom.pred;
    return;
  }
  open_named(out, name);
  out += atom.pred;
  if (!atom.args.empty()) {
    out += ' ';
    append_term_list(out, atom.args);
  }
  out += ')';
}

void append_connective(std::string& out, const Name& name, const char* keyword,
                       const FormulaList& members) {
  open_named(out, name);
  out += keyword;
  append_joined(out, members, [](std::string& o, const Formula& f) { append_formula(o, f); });
  out += ')';
}

void append_quantified(std::string& out, const Name& name, const Quantified& q) {
  open_named(out, name);
  out += q.kind == Quantifier::All ? "all " : "ex ";
  append_bound_list(out, q.bound);
  if (!q.exclusions.empty()) {
    out += '{';
    append_ex_list(out, q.exclusions);
    out += "} ";
  }
  if (q.compile) out += "COMPILE ";
  append_guard(out, *q.guard);
  out += ' ';
  append_formula(out, *q.body);
  out += ')';
}

} // namespace

std::string print_int(std::int32_t value) {
  // Widen first: the most negative value has no positive 32-bit counterpart.
  std::int64_t wide = value;
  if (wide >= 0) return std::to_string(wide);
  return "~" + std::to_string(-wide);
}

void append_term(std::string& out, const Term& term) {
  check_stack_depth();
  if (const auto* i = term.as<IntTerm>()) {
    out += print_int(i->value);
  } else if (const auto* d = term.as<DateTerm>()) {
    out += date_to_text(d->value);
  } else if (const auto* s = term.as<StrTerm>()) {
    out += '"';
    out += s->text;
    out += '"';
  } else if (const auto* v = term.as<VarTerm>()) {
    out += v->name;
  } else if (const auto* a = term.as<AppTerm>()) {
    if (a->args.empty()) {
      out += a->name;
      return;
    }
    out += '(';
    out += a->name;
    out += ' ';
    append_term_list(out, a->args);
    out += ')';
  }
}

void append_guard(std::string& out, const Guard& guard) {
  check_stack_depth();
  if (guard.is<GTrue>()) {
    out += "true";
  } else if (guard.is<GFalse>()) {
    out += "false";
  } else if (const auto* atom = guard.as<GAtom>()) {
    if (atom->args.empty()) {
      out += atom->pred;
      return;
    }
    out += '(';
    out += atom->pred;
    out += ' ';
    append_term_list(out, atom->args);
    out += ')';
  } else if (const auto* conj = guard.as<GAnd>()) {
    out += "(and ";
    append_joined(out, conj->conjuncts, [](std::string& o, const Guard& g) { append_guard(o, g); });
    out += ')';
  } else if (const auto* disj = guard.as<GOr>()) {
    out += "(or ";
    append_joined(out, disj->disjuncts, [](std::string& o, const Guard& g) { append_guard(o, g); });
    out += ')';
  } else if (const auto* ex = guard.as<GEx>()) {
    out += "(ex ";
    append_bound_list(out, ex->bound);
    append_guard(out, *ex->guard);
    out += ')';
  }
}

void append_formula(std::string& out, const Formula& formula) {
  check_stack_depth();
  const Name& name = formula.name;
  if (formula.is<True>()) {
    append_constant(out, name, "true");
  } else if (formula.is<False>()) {
    append_constant(out, name, "false");
  } else if (const auto* atom = formula.as<Atom>()) {
    append_atom(out, name, *atom);
  } else if (const auto* conj = formula.as<And>()) {
    append_connective(out, name, "and ", conj->conjuncts);
  } else if (const auto* disj = formula.as<Or>()) {
    append_connective(out, name, "or ", disj->disjuncts);
  } else if (const auto* q = formula.as<Quantified>()) {
    append_quantified(out, name, *q);
  }
}

std::string print_formula(const Formula& formula) {
  std::string out;
  append_formula(out, formula);
  return out;
}

std::string print_formula_list(const FormulaList& formulas) {
  std::string out;
  append_joined(out, formulas, [](std::string& o, const Formula& f) { append_formula(o, f); });
  return out;
}

std::string print_guard(const Guard& guard) {
  std::string out;
  append_guard(out, guard);
  return out;
}

std::string print_guard_list(const GuardList& guards) {
  std::string out;
  append_joined(out, guards, [](std::string& o, const Guard& g) { append_guard(o, g); });
  return out;
}

std::string print_term(const Term& term) {
  std::string out;
  append_term(out, term);
  return out;
}

std::string print_term_list(const TermList& terms) {
  std::string out;
  append_term_list(out, terms);
  return out;
}

std::string print_bound_list(const BoundList& bound) {
  std::string out;
  append_bound_list(out, bound);
  return out;
}

std::string print_ex_list_h(const ExclusionList& exclusions) {
  std::string out;
  append_ex_list(out, exclusions);
  return out;
}

std::string print_atom_text(const std::string& pred, const TermList& args) {
  if (args.empty()) return pred;
  std::string out = "(" + pred + " ";
  append_term_list(out, args);
  out += ')';
  return out;
}

} // namespace hipaa
