#include "auditor.hpp"

#include "../common/tool_error.hpp"

namespace hipaa::report {

db::Connection open_audit_database(const std::string& path) {
  std::optional<db::Connection> connection = db::Connection::open_read_only(path);
  if (!connection) throw tools::ToolError(path + ": cannot open the audit database");
  // Opening reads nothing: the first statement tells a database from any
  // other file.
  {
    std::optional<db::Statement> probe =
        db::Statement::prepare(*connection, "SELECT count(*) FROM sqlite_master");
    if (!probe || probe->step() != db::StepStatus::Row) {
      throw tools::ToolError(path + ": not an SQLite database");
    }
  }
  return std::move(*connection);
}

namespace {

// One read transaction for the whole run: the connection takes its shared
// lock once and keeps its page cache, instead of locking, checking for a
// journal and revalidating the cache for every statement that starts when
// none is open, which is how a worker's statements come and go.  It also
// gives every auditor of the run the same view of the log.
db::Connection read_transaction(db::Connection connection, const std::string& path) {
  for (const char* sql : {"BEGIN", "SELECT count(*) FROM sqlite_master"}) {
    std::optional<db::Statement> statement = db::Statement::prepare(connection, sql);
    if (!statement || statement->step() == db::StepStatus::Error) {
      throw tools::ToolError(path + ": cannot read the audit database");
    }
  }
  return connection;
}

} // namespace

Auditor::Auditor(const CheckedPolicy& policy, const Layout& layout, const Catalogue& catalogue,
                 const std::string& db_path, const std::optional<DateValue>& as_of)
    : layout_(layout), as_of_(as_of),
      connection_(read_transaction(open_audit_database(db_path), db_path)),
      scenario_(policy.signature, connection_, diagnostics_),
      engine_(policy.signature, connection_, diagnostics_, scenario_), judge_(engine_),
      records_(layout, catalogue) {}

Record Auditor::judge(std::size_t rule, std::size_t position, const Substitution& sigma,
                      const TermList& tuple) {
  const Rule& of = layout_.rules()[rule];
  const FormulaPtr& body = of.all != nullptr ? of.all->body : of.formula;
  InstanceVerdict verdict = judge_.judge(body, sigma, of.name, as_of_, true);
  return records_.make(rule, position, tuple, verdict);
}

} // namespace hipaa::report
