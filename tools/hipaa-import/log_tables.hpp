// The tables that a declarations file maps its DB predicates to: the
// columns of each and the sort every column's values must have.
#pragma once

#include "logic/declarations.hpp"

#include <string>
#include <vector>

namespace hipaa::import {

struct LogTable {
  std::string name;
  std::string predicate; // the first DB predicate stored in the table
  std::vector<std::string> columns;
  std::vector<Sort> sorts; // one per column
};

// Every table named by a DbInfo, in declaration order, each once.  A table
// that two predicates declare with different columns or sorts is a
// ToolError.
std::vector<LogTable> log_tables_of(const Signature& signature);

} // namespace hipaa::import
