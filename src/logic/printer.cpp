#include "logic/printer.hpp"

#include <cstdint>
#include <ostream>
#include <string_view>

namespace hipaa {

namespace {

// Where printed text goes: a string that grows, and, for a print to a
// stream, is handed on to the stream block by block between the members of
// a list, so that a long residual formula never stands in memory as text.
class Text {
public:
  explicit Text(std::string& buffer, std::ostream* stream = nullptr)
      : buffer_(buffer), stream_(stream) {}

  Text& operator+=(char c) {
    buffer_ += c;
    return *this;
  }
  Text& operator+=(std::string_view text) {
    buffer_ += text;
    return *this;
  }

  // Hands the text so far on to the stream once it fills a block.
  void spill() {
    constexpr std::size_t kBlock = 1 << 16;
    if (stream_ == nullptr || buffer_.size() < kBlock) return;
    flush();
  }
  void flush() {
    if (stream_ == nullptr) return;
    stream_->write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

private:
  std::string& buffer_;
  std::ostream* stream_;
};

void append_term(Text& out, const Term& term);
void append_guard(Text& out, const Guard& guard);
void append_formula(Text& out, const Formula& formula);

template <class List, class AppendOne>
void append_joined(Text& out, const List& items, AppendOne append_one) {
  bool first = true;
  for (const auto& item : items) {
    if (!first) out += ' ';
    first = false;
    append_one(out, *item);
    out.spill();
  }
}

void append_term_list(Text& out, const TermList& terms) {
  append_joined(out, terms, [](Text& o, const Term& t) { append_term(o, t); });
}

void append_bound_list(Text& out, const BoundList& bound) {
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

void append_ex_list(Text& out, const ExclusionList& exclusions) {
  bool first = true;
  for (const TermList& tuple : exclusions) {
    if (!first) out += ' ';
    first = false;
    out += '[';
    append_term_list(out, tuple);
    out += ']';
    out.spill();
  }
}

// "(" <name> " " ... for a named compound formula, "(" alone otherwise.
void open_named(Text& out, const Name& name) {
  out += '(';
  if (!name) return;
  out += '<';
  out += *name;
  out += "> ";
}

void append_constant(Text& out, const Name& name, const char* keyword) {
  if (!name) {
    out += keyword;
    return;
  }
  open_named(out, name);
  out += keyword;
  out += ')';
}

void append_atom(Text& out, const Name& name, const Atom& atom) {
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

void append_connective(Text& out, const Name& name, const char* keyword,
                       const FormulaList& members) {
  open_named(out, name);
  out += keyword;
  append_joined(out, members, [](Text& o, const Formula& f) { append_formula(o, f); });
  out += ')';
}

void append_quantified(Text& out, const Name& name, const Quantified& q) {
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


void append_term(Text& out, const Term& term) {
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

void append_guard(Text& out, const Guard& guard) {
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
    append_joined(out, conj->conjuncts, [](Text& o, const Guard& g) { append_guard(o, g); });
    out += ')';
  } else if (const auto* disj = guard.as<GOr>()) {
    out += "(or ";
    append_joined(out, disj->disjuncts, [](Text& o, const Guard& g) { append_guard(o, g); });
    out += ')';
  } else if (const auto* ex = guard.as<GEx>()) {
    out += "(ex ";
    append_bound_list(out, ex->bound);
    append_guard(out, *ex->guard);
    out += ')';
  }
}

void append_formula(Text& out, const Formula& formula) {
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

} // namespace

std::string print_int(std::int32_t value) {
  // Widen first: the most negative value has no positive 32-bit counterpart.
  std::int64_t wide = value;
  if (wide >= 0) return std::to_string(wide);
  std::string text = "~";
  text += std::to_string(-wide);
  return text;
}

void append_formula(std::string& out, const Formula& formula) {
  Text text(out);
  append_formula(text, formula);
}

void append_guard(std::string& out, const Guard& guard) {
  Text text(out);
  append_guard(text, guard);
}

void append_term(std::string& out, const Term& term) {
  Text text(out);
  append_term(text, term);
}

namespace {

// Raises the failure that printing would raise, before anything is written:
// a date outside the printable range.
void check_printable(const Term& term) {
  if (const auto* d = term.as<DateTerm>()) check_date_printable(d->value);
  if (const auto* a = term.as<AppTerm>()) {
    for (const TermPtr& arg : a->args) check_printable(*arg);
  }
}

void check_printable(const TermList& terms) {
  for (const TermPtr& term : terms) check_printable(*term);
}

void check_printable(const Guard& guard) {
  if (const auto* atom = guard.as<GAtom>()) check_printable(atom->args);
  const GuardList* members = nullptr;
  if (const auto* conj = guard.as<GAnd>()) members = &conj->conjuncts;
  if (const auto* disj = guard.as<GOr>()) members = &disj->disjuncts;
  if (members != nullptr) {
    for (const GuardPtr& member : *members) check_printable(*member);
  }
  if (const auto* ex = guard.as<GEx>()) check_printable(*ex->guard);
}

void check_printable(const Formula& formula) {
  if (const auto* atom = formula.as<Atom>()) check_printable(atom->args);
  const FormulaList* members = nullptr;
  if (const auto* conj = formula.as<And>()) members = &conj->conjuncts;
  if (const auto* disj = formula.as<Or>()) members = &disj->disjuncts;
  if (members != nullptr) {
    for (const FormulaPtr& member : *members) check_printable(*member);
  }
  if (const auto* q = formula.as<Quantified>()) {
    for (const TermList& tuple : q->exclusions) check_printable(tuple);
    check_printable(*q->guard);
    check_printable(*q->body);
  }
}

} // namespace

void write_formula(std::ostream& out, const Formula& formula) {
  // A failure half-way would leave part of the text written.
  check_printable(formula);
  std::string buffer;
  Text text(buffer, &out);
  append_formula(text, formula);
  text.flush();
}

std::string print_formula(const Formula& formula) {
  std::string out;
  append_formula(out, formula);
  return out;
}

std::string print_formula_list(const FormulaList& formulas) {
  std::string out;
  Text text(out);
  append_joined(text, formulas, [](Text& o, const Formula& f) { append_formula(o, f); });
  return out;
}

std::string print_guard(const Guard& guard) {
  std::string out;
  append_guard(out, guard);
  return out;
}

std::string print_guard_list(const GuardList& guards) {
  std::string out;
  Text text(out);
  append_joined(text, guards, [](Text& o, const Guard& g) { append_guard(o, g); });
  return out;
}

std::string print_term(const Term& term) {
  std::string out;
  append_term(out, term);
  return out;
}

std::string print_term_list(const TermList& terms) {
  std::string out;
  Text text(out);
  append_term_list(text, terms);
  return out;
}

std::string print_bound_list(const BoundList& bound) {
  std::string out;
  Text text(out);
  append_bound_list(text, bound);
  return out;
}

std::string print_ex_list_h(const ExclusionList& exclusions) {
  std::string out;
  Text text(out);
  append_ex_list(text, exclusions);
  return out;
}

std::string print_atom_text(const std::string& pred, const TermList& args) {
  if (args.empty()) return pred;
  std::string out = "(" + pred + " ";
  Text text(out);
  append_term_list(text, args);
  out += ')';
  return out;
}

} // namespace hipaa
