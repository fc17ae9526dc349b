#include "reduce/sql_text.hpp"

#include "logic/printer.hpp"

namespace hipaa {

namespace {

void append_column(std::string& out, const ColumnRef& ref) {
  out += ref.table;
  out += '.';
  out += ref.column;
}

// A term as an SQL string literal: its printed form with every single quote
// doubled.
void append_term_literal(std::string& out, const Term& term) {
  out += '\'';
  for (char c : print_term(term)) {
    if (c == '\'') out += '\'';
    out += c;
  }
  out += '\'';
}

// How a term operand is written: as its literal, or as a parameter.
enum class Values { Literal, Parameter };

void append_operand(std::string& out, const Operand& operand, Values values) {
  if (const auto* ref = std::get_if<ColumnRef>(&operand)) {
    append_column(out, *ref);
    return;
  }
  if (values == Values::Parameter) {
    out += '?';
    return;
  }
  append_term_literal(out, *std::get<TermPtr>(operand));
}

void append_colname_list(std::string& out, const std::vector<ColumnRef>& columns) {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) out += ", ";
    append_column(out, columns[i]);
  }
}

void append_from_list(std::string& out, const std::vector<std::string>& tables) {
  for (std::size_t i = 0; i < tables.size(); ++i) {
    if (i > 0) out += ", ";
    out += tables[i];
  }
}

// The right operand comes first in the text.
void append_constraint_list(std::string& out, const std::vector<Constraint>& constraints,
                            Values values) {
  for (std::size_t i = 0; i < constraints.size(); ++i) {
    if (i > 0) out += " AND ";
    out += '(';
    append_operand(out, constraints[i].right, values);
    out += " = ";
    append_operand(out, constraints[i].left, values);
    out += ')';
  }
}

std::string select_text(const QueryPlan& plan, Values values) {
  std::string out = "SELECT ";
  append_colname_list(out, plan.columns);
  out += " FROM ";
  append_from_list(out, plan.tables);
  if (!plan.constraints.empty()) {
    out += " WHERE ";
    append_constraint_list(out, plan.constraints, values);
  }
  return out;
}

} // namespace

std::string print_colname_list(const std::vector<ColumnRef>& columns) {
  std::string out;
  append_colname_list(out, columns);
  return out;
}

std::string print_from_list(const std::vector<std::string>& tables) {
  std::string out;
  append_from_list(out, tables);
  return out;
}

std::string print_constraint_list(const std::vector<Constraint>& constraints) {
  std::string out;
  append_constraint_list(out, constraints, Values::Literal);
  return out;
}

std::string query_text(const QueryPlan& plan) { return select_text(plan, Values::Literal); }

std::string query_shape_text(const QueryPlan& plan) {
  return select_text(plan, Values::Parameter);
}

} // namespace hipaa
