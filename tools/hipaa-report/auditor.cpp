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

Auditor::Auditor(const CheckedPolicy& policy, const Layout& layout, const std::string& db_path,
                 const std::optional<DateValue>& as_of)
    : layout_(layout), as_of_(as_of), connection_(open_audit_database(db_path)),
      scenario_(policy.signature, connection_, diagnostics_),
      engine_(policy.signature, connection_, diagnostics_, scenario_), judge_(engine_) {}

Record Auditor::judge(std::size_t rule, std::size_t position, const Substitution& sigma,
                      const TermList& tuple) {
  const Rule& of = layout_.rules()[rule];
  const FormulaPtr& body = of.all != nullptr ? of.all->body : of.formula;
  InstanceVerdict verdict = judge_.judge(body, sigma, of.name, as_of_);
  return make_record(layout_, rule, position, tuple, verdict);
}

} // namespace hipaa::report
