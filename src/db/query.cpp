#include "db/query.hpp"

#include "base/failure.hpp"

#include <ostream>

namespace hipaa::db {

Statement prepare_or_report(Connection& connection, const std::string& sql, std::ostream& out) {
  std::optional<Statement> statement = Statement::prepare(connection, sql);
  if (!statement) {
    out << "Unable to prepare query: " << sql << "\n";
    out.flush();
    raise("CannotPrepareQuery");
  }
  return std::move(*statement);
}

bool step_row(Statement& statement) {
  switch (statement.step()) {
  case StepStatus::Row:
    return true;
  case StepStatus::Done:
    return false;
  case StepStatus::Error:
    statement.finalize();
    raise("ErrorRunningDbQuery");
  }
  raise("SQLiteCInterfaceException");
}

} // namespace hipaa::db
