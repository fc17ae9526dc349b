// One reduction engine on a read-only connection of its own: the unit that
// judges instances, one per thread.
#pragma once

#include "decisions.hpp"
#include "inputs.hpp"
#include "local_codes.hpp"
#include "record.hpp"

#include "db/sqlite.hpp"
#include "reduce/instance_verdict.hpp"
#include "reduce/table_index.hpp"
#include "scenario/hipaa_scenario.hpp"

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace hipaa::report {

// Opens the audit database read-only and checks that it is one; a
// ToolError naming the file otherwise.
db::Connection open_audit_database(const std::string& path);

class Auditor {
public:
  // `decisions` settle the subjective atoms people answered; they, the
  // catalogue and `tables` (the run's tables in memory, null for the
  // tuple engine) must outlive the auditor.
  Auditor(const CheckedPolicy& policy, const Layout& layout, const Catalogue& catalogue,
          const std::string& db_path, const std::optional<DateValue>& as_of,
          const Decisions& decisions, TableStore* tables = nullptr);
  Auditor(const Auditor&) = delete;
  Auditor& operator=(const Auditor&) = delete;

  ReductionFn& engine() { return engine_; }

  // Judges the instance of rule `rule` for the guard solution `sigma` (an
  // empty substitution for a rule that is not an `all`).
  Record judge(std::size_t rule, std::size_t position, const Substitution& sigma,
               const TermList& tuple);

  // What the engine wrote before a failure.
  std::string diagnostics() const { return diagnostics_.str(); }

private:
  void settle(FormulaPtr& residual, std::vector<std::string>& clauses);

  const Layout& layout_;
  std::optional<DateValue> as_of_;
  const Decisions& decisions_;
  Settlement settled_; // of the instance being judged
  // The disclosed message of the instance being judged, and the place of
  // the message among each rule's values (none where it reads no message).
  const Term* message_ = nullptr;
  std::vector<std::optional<std::size_t>> message_place_;
  // The instance's day (YYYY-MM-DD), that of its first date as in its
  // record: an answer covers only what was done on or before its own date.
  std::string day_;
  db::Connection connection_;
  LocalCodes local_codes_;
  std::ostringstream diagnostics_;
  HipaaScenario scenario_;
  ReductionFn engine_;
  InstanceJudge judge_;
  RecordMaker records_;
  // Answers the table lookups of both engines from the run's tables when
  // the set engine runs.
  std::unique_ptr<TableIndex> index_;
};

} // namespace hipaa::report
