// The query protocol: run one SQL text to completion, handing every row to
// the caller while the statement is still open.  The statement is finalized
// on every path, also when the row processing throws.
#pragma once

#include "db/sqlite.hpp"

#include <iosfwd>
#include <string>

namespace hipaa::db {

// Prepares `sql`, or writes "Unable to prepare query: " and the text to
// `out`, flushes, and raises CannotPrepareQuery.
Statement prepare_or_report(Connection& connection, const std::string& sql, std::ostream& out);

// Steps `statement` once; raises ErrorRunningDbQuery (after finalizing it)
// when SQLite reports an error.  True when a row is available.
bool step_row(Statement& statement);

// Runs `sql` and calls `handle_row(const Row&)` for each row, in the order
// SQLite returns them.  The handler returns true to go on stepping and false
// to stop early.  The row buffer is reused from row to row, so the handler
// must copy what it keeps.  Returns true when the query ran to its end and
// false when the handler stopped it.
template <class RowHandler>
bool run_query(Connection& connection, const std::string& sql, std::ostream& out,
               RowHandler&& handle_row) {
  Statement statement = prepare_or_report(connection, sql, out);
  Row row;
  while (step_row(statement)) {
    statement.get_data_into(row);
    if (!handle_row(static_cast<const Row&>(row))) return false;
  }
  statement.finalize();
  return true;
}

} // namespace hipaa::db
