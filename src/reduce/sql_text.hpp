// The text of one SELECT statement built from a query plan.  Terms are
// written as string literals holding their printed form, the form in which
// the audit database stores them.
#pragma once

#include "logic/term.hpp"

#include <string>
#include <variant>
#include <vector>

namespace hipaa {

struct ColumnRef {
  std::string table;
  std::string column;
};

using Operand = std::variant<ColumnRef, TermPtr>;

struct Constraint {
  Operand left;
  Operand right;
};

struct QueryPlan {
  std::vector<ColumnRef> columns;
  std::vector<std::string> tables;
  std::vector<Constraint> constraints;
};

// "t.c" items joined by ", ".
std::string print_colname_list(const std::vector<ColumnRef>& columns);
// Table names joined by ", ".
std::string print_from_list(const std::vector<std::string>& tables);
// "(" right " = " left ")" items joined by " AND ".
std::string print_constraint_list(const std::vector<Constraint>& constraints);
// "SELECT cols FROM tables", then " WHERE constraints" when there are any.
std::string query_text(const QueryPlan& plan);
// The same text with a "?" parameter in place of every term, in the order
// in which query_text writes the terms: the statement that runs the query
// with the terms' printed forms bound as values.
std::string query_shape_text(const QueryPlan& plan);

} // namespace hipaa
