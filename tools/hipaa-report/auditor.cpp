#include "auditor.hpp"

#include "log_state.hpp"

#include "../common/tool_error.hpp"

#include <sqlite3.h>
#include <sys/stat.h>

namespace hipaa::report {

db::Connection open_audit_database(const std::string& path) {
  // Anything but a file (a FIFO would block the open for ever) is refused
  // before SQLite sees it.
  struct stat info;
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    throw tools::ToolError(path + ": not a regular file, so not an audit database");
  }
  std::optional<db::Connection> connection = db::Connection::open_read_only(path);
  if (!connection) throw tools::ToolError(path + ": cannot open the audit database");
  // Opening reads nothing: the first statement tells a database from any
  // other file, and a log a writer holds locked, or that SQLite cannot
  // read, from one it can.
  std::optional<db::Statement> probe =
      db::Statement::prepare(*connection, "SELECT count(*) FROM sqlite_master");
  if (!probe || probe->step() != db::StepStatus::Row) {
    if (sqlite3_errcode(connection->handle()) == SQLITE_NOTADB) {
      throw tools::ToolError(path + ": not an SQLite database");
    }
    throw tools::ToolError(path + ": cannot read the audit database: " +
                           sqlite3_errmsg(connection->handle()));
  }
  probe.reset();
  return std::move(*connection);
}

namespace {

// One read transaction for the whole run: the connection takes its shared
// lock once and keeps its page cache, instead of locking, checking for a
// journal and revalidating the cache for every statement that starts when
// none is open, which is how a worker's statements come and go.  The run's
// LogState checks that it reads the state every other connection reads.
db::Connection read_transaction(db::Connection connection, const std::string& path) {
  for (const char* sql : {"BEGIN", "SELECT count(*) FROM sqlite_master"}) {
    std::optional<db::Statement> statement = db::Statement::prepare(connection, sql);
    if (!statement || statement->step() == db::StepStatus::Error) {
      throw tools::ToolError(path + ": cannot read the audit database: " +
                             sqlite3_errmsg(connection.handle()));
    }
  }
  LogState::check_connection(path);
  return connection;
}

} // namespace

Auditor::Auditor(const CheckedPolicy& policy, const Layout& layout, const std::string& db_path,
                 const std::optional<DateValue>& as_of)
    : layout_(layout), as_of_(as_of),
      connection_(read_transaction(open_audit_database(db_path), db_path)),
      scenario_(policy.signature, connection_, diagnostics_),
      engine_(policy.signature, connection_, diagnostics_, scenario_), judge_(engine_),
      records_(layout) {}

Record Auditor::judge(std::size_t rule, std::size_t position, const Substitution& sigma,
                      const TermList& tuple) {
  const Rule& of = layout_.rules()[rule];
  const FormulaPtr& body = of.all != nullptr ? of.all->body : of.formula;
  InstanceVerdict verdict = judge_.judge(body, sigma, of.name, as_of_);
  return records_.make(rule, position, tuple, verdict);
}

} // namespace hipaa::report
