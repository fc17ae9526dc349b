// An engine over a small audit database built for each test.
#pragma once

#include "db/temp_database.hpp"
#include "reduce/fixture.hpp"
#include "reduce/reduction_fn.hpp"
#include "scenario/hipaa_scenario.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace hipaa::testing {

inline const char* kAuditLog = R"sql(
CREATE TABLE send(sender, receiver, note);
INSERT INTO send VALUES ('alice', 'bob', '"hi"');
INSERT INTO send VALUES ('alice', 'carol', '"it''s"');
INSERT INTO send VALUES ('bob', 'carol', '"x"');
INSERT INTO send VALUES ('alice', 'bob', '"hi"');
CREATE TABLE tags(tag);
INSERT INTO tags VALUES ('"a"');
INSERT INTO tags VALUES ('"a"');
CREATE TABLE visits(who, day);
INSERT INTO visits VALUES ('alice', '2010:01:01:00:00:00');
CREATE TABLE disclose(sender, recipient, info, time);
INSERT INTO disclose VALUES ('alice', 'bob', 'm1', '2010:01:05:00:00:00');
INSERT INTO disclose VALUES ('alice', 'carol', 'm2', '2010:01:06:00:00:00');
CREATE TABLE attr_in_db(subattr, superattr, note);
INSERT INTO attr_in_db VALUES ('psychotherapy', 'phi', '"n"');
INSERT INTO attr_in_db VALUES ('name', 'phi', '"n"');
CREATE TABLE hasattrof_db(info, subject, attr, note);
INSERT INTO hasattrof_db VALUES ('m1', 'bob', 'psychotherapy', '"n"');
INSERT INTO hasattrof_db VALUES ('m2', 'carol', 'name', '"n"');
INSERT INTO hasattrof_db VALUES ('m1', 'bob', 'name', '"n"');
CREATE TABLE inrole_db(person, role, time);
INSERT INTO inrole_db VALUES ('alice', 'health-care-provider', '2010:01:05:00:00:00');
INSERT INTO inrole_db VALUES ('alice', 'nurse', '2010:01:05:00:00:00');
INSERT INTO inrole_db VALUES ('bob', 'nurse', '2010:01:01:00:00:00');
CREATE TABLE purp_in_db(info, purpose, note);
INSERT INTO purp_in_db VALUES ('m1', 'healthcare-op-para-1-2', '"n"');
INSERT INTO purp_in_db VALUES ('m2', 'marketing', '"n"');
INSERT INTO purp_in_db VALUES ('m2', 'suspicious-death-notification', '"n"');
)sql";

// Counts the statements SQLite starts and the rows it produces.
struct QueryCounter {
  int statements = 0;
  int rows = 0;

  void attach(db::Connection& connection) {
    // Load the schema first, so that its reading is not counted.
    db::Statement::prepare(connection, "SELECT name FROM sqlite_master");
    sqlite3_trace_v2(connection.handle(), SQLITE_TRACE_STMT | SQLITE_TRACE_ROW, &callback, this);
  }
  static int callback(unsigned event, void* self, void*, void*) {
    auto* counter = static_cast<QueryCounter*>(self);
    if (event == SQLITE_TRACE_STMT) ++counter->statements;
    if (event == SQLITE_TRACE_ROW) ++counter->rows;
    return 0;
  }
};

class EngineTest : public ::testing::Test {
protected:
  explicit EngineTest(const std::string& extra_sql = "") : EngineTest(test_signature(), extra_sql) {}
  EngineTest(Signature vocabulary, const std::string& extra_sql)
      : signature(std::move(vocabulary)), db(std::string(kAuditLog) + extra_sql),
        connection(db.connect()) {
    counter.attach(connection);
  }

  std::string reduce(const FormulaPtr& formula) {
    return print_formula(*engine.reduce_formula_internal(formula));
  }
  std::string reduce_failure(const FormulaPtr& formula) {
    return failure_name([&] { engine.reduce_formula_internal(formula); });
  }

  // The candidates of one resolution by the scenario: each solution as its
  // printed values, the closing no-solution signal as "none".  Stops after
  // `limit` solutions; `inner` runs at every solution.
  std::vector<std::string> solutions(const std::string& pred, const TermList& args,
                                     int limit = 1000, const std::function<void()>& inner = {}) {
    std::vector<std::string> seen;
    int delivered = 0;
    auto collect = [&](const Candidate& candidate) {
      if (!candidate.is_solution()) {
        seen.push_back("none");
        return Flow::Continue;
      }
      seen.push_back(print_term_list(*candidate.values));
      if (inner) inner();
      return ++delivered >= limit ? Flow::Stop : Flow::Continue;
    };
    scenario.resolve_eval_pred(pred, args, collect);
    return seen;
  }

  Signature signature;
  TempDatabase db;
  db::Connection connection;
  QueryCounter counter;
  std::ostringstream out;
  HipaaScenario scenario{signature, connection, out};
  ReductionFn engine{signature, connection, out, scenario};
};

inline FormulaPtr atom(std::string pred, TermList args) {
  return make_atom(std::nullopt, std::move(pred), std::move(args));
}

} // namespace hipaa::testing
