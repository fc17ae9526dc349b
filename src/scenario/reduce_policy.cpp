#include "scenario/reduce_policy.hpp"

#include "reduce/reduction_fn.hpp"
#include "reduce/table_index.hpp"
#include "scenario/hipaa_scenario.hpp"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace hipaa {

namespace {

// One read transaction for the whole reduction: the tables read whole into
// memory and the queries that still run see one and the same state of the
// log.  Absent when it cannot be begun; the reduction then queries the log
// for every lookup, as it always may.
class ReadTransaction {
public:
  static std::optional<ReadTransaction> begin(db::Connection& connection) {
    if (!run(connection, "BEGIN")) return std::nullopt;
    return ReadTransaction(connection);
  }
  ReadTransaction(ReadTransaction&& other) noexcept : connection_(other.connection_) {
    other.connection_ = nullptr;
  }
  ReadTransaction& operator=(ReadTransaction&&) = delete;
  ReadTransaction(const ReadTransaction&) = delete;
  ReadTransaction& operator=(const ReadTransaction&) = delete;
  // Ends the transaction; a read transaction has nothing to keep, so the
  // result is of no consequence.
  ~ReadTransaction() {
    if (connection_ != nullptr) run(*connection_, "COMMIT");
  }

private:
  explicit ReadTransaction(db::Connection& connection) : connection_(&connection) {}
  static bool run(db::Connection& connection, const char* sql) {
    std::optional<db::Statement> statement = db::Statement::prepare(connection, sql);
    return statement && statement->step() == db::StepStatus::Done;
  }
  db::Connection* connection_;
};

} // namespace

std::size_t table_index_budget() {
  std::size_t budget = kTableIndexBudget;
  long pages = ::sysconf(_SC_PHYS_PAGES);
  long page_size = ::sysconf(_SC_PAGE_SIZE);
  if (pages > 0 && page_size > 0) {
    budget = std::min(budget, static_cast<std::size_t>(pages) / 4 *
                                  static_cast<std::size_t>(page_size));
  }
  rlimit limit{};
  if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    budget = std::min(budget, static_cast<std::size_t>(limit.rlim_cur / 8));
  }
  return budget;
}

FormulaPtr reduce_policy(const FormulaPtr& formula, const Signature& signature,
                         db::Connection& connection, std::ostream& out) {
  // Declared first, so that it ends after every statement of the engines.
  std::optional<ReadTransaction> transaction = ReadTransaction::begin(connection);
  HipaaScenario scenario(signature, connection, out);
  ReductionFn engine(signature, connection, out, scenario);
  // The lookups of the tables that fit in the budget are answered from
  // memory, the same rows as the same terms in the same order as their
  // queries would hand on; every row that a query would report on or fail
  // at is still read by its query, so every diagnostic and failure stays.
  std::unique_ptr<TableStore> store;
  std::unique_ptr<TableIndex> index;
  if (transaction) {
    store = std::make_unique<TableStore>(table_index_budget(), 1);
    index = std::make_unique<TableIndex>(signature, connection, *store);
    scenario.use_table_index(index.get());
    engine.use_table_index(index.get());
  }
  return engine.reduce_formula_internal(formula);
}

} // namespace hipaa
