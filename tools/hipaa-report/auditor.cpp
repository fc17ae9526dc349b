#include "auditor.hpp"

#include "log_state.hpp"

#include "../common/tool_error.hpp"

#include "questions.hpp"

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

// The column of the disclosure table that holds the disclosed message.
bool is_message_column(const std::string& name) { return name == "info" || name == "message"; }

} // namespace

Auditor::Auditor(const CheckedPolicy& policy, const Layout& layout, const Catalogue& catalogue,
                 const std::string& db_path, const std::optional<DateValue>& as_of,
                 const Decisions& decisions, TableStore* tables)
    : layout_(layout), as_of_(as_of), decisions_(decisions),
      connection_(read_transaction(open_audit_database(db_path), db_path)),
      local_codes_(LocalCodes::read(connection_)),
      scenario_(policy.signature, connection_, diagnostics_),
      engine_(policy.signature, connection_, diagnostics_, scenario_), judge_(engine_),
      records_(layout, catalogue) {
  if (!local_codes_.empty()) records_.use_local_codes(local_codes_);
  if (tables != nullptr) {
    index_ = std::make_unique<TableIndex>(policy.signature, connection_, *tables);
    scenario_.use_table_index(index_.get());
    engine_.use_table_index(index_.get());
  }
  for (std::size_t rule = 0; rule < layout_.rules().size(); ++rule) {
    std::optional<std::size_t> place;
    const std::vector<std::size_t>& columns = layout_.columns_of(rule);
    for (std::size_t i = 0; i < columns.size() && !place; ++i) {
      if (is_message_column(layout_.column_name(columns[i]))) place = i;
    }
    message_place_.push_back(place);
  }
  if (!decisions_.empty()) {
    judge_.set_settler([this](FormulaPtr& residual, std::vector<std::string>& clauses) {
      settle(residual, clauses);
    });
  }
}

void Auditor::settle(FormulaPtr& residual, std::vector<std::string>& clauses) {
  settled_ = hipaa::report::settle(residual, engine_.subst_env().decls,
                                   [this](const std::string& id) -> std::optional<bool> {
                                     const Decision* decision = decisions_.find(id);
                                     if (decision == nullptr) return std::nullopt;
                                     // A reviewer cannot have judged a
                                     // disclosure made after her answer: it
                                     // waits for a new one.
                                     if (!day_.empty() && day_ > decision->date) {
                                       return std::nullopt;
                                     }
                                     return decision->yes;
                                   },
                                   message_);
  if (!settled_.settled) return;
  residual = settled_.residual;
  clauses = settled_.clauses;
}

Record Auditor::judge(std::size_t rule, std::size_t position, const Substitution& sigma,
                      const TermList& tuple) {
  const Rule& of = layout_.rules()[rule];
  const FormulaPtr& body = of.all != nullptr ? of.all->body : of.formula;
  settled_ = Settlement{};
  const std::optional<std::size_t>& place = message_place_[rule];
  message_ = place && *place < tuple.size() ? tuple[*place].get() : nullptr;
  day_.clear();
  // An instance of a quantified rule is dated by the first date it binds.
  if (of.all != nullptr) {
    for (const auto& term : tuple) {
      if (!term->is<DateTerm>()) continue;
      day_ = plain_term(*term).substr(0, 10);
      break;
    }
  }
  InstanceVerdict verdict = judge_.judge(body, sigma, of.name, as_of_, true);
  OpenQuestions open;
  if (verdict.verdict == Verdict::Open) {
    open = open_questions(verdict.residual, engine_.subst_env().decls, of.name, message_);
  }
  // The answers that decided the instance; those of one still open only
  // narrowed it down.
  std::string decided_by;
  std::vector<std::string> decided;
  if (verdict.verdict != Verdict::Open) {
    decided = settled_.decided;
    for (const std::string& id : settled_.decided) {
      if (!decided_by.empty()) decided_by += "; ";
      decided_by += decision_text(*decisions_.find(id));
    }
  }
  Record record = records_.make(rule, position, tuple, verdict, PersonColumns{open.shape, decided_by});
  record.questions = std::move(open.questions);
  record.question_shape = std::move(open.shape);
  record.decided_by = std::move(decided_by);
  record.decided = std::move(decided);
  record.answered = std::move(settled_.answered);
  if (record.verdict != Verdict::Compliant || !record.decided_by.empty()) {
    std::size_t count = of.all != nullptr ? tuple.size() : 0;
    record.plain_values.reserve(count);
    for (std::size_t i = 0; i < count; ++i) record.plain_values.push_back(plain_term(*tuple[i]));
  }
  return record;
}

} // namespace hipaa::report
