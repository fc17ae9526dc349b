// The whole reduction answers the lookups of the tables it holds in memory
// exactly as their queries would: the same residual, the same diagnostics at
// the same places and the same failure, whatever the log holds.
#include "db/temp_database.hpp"
#include "reduce/engine_fixture.hpp"
#include "scenario/reduce_policy.hpp"
#include "support/sanitized.hpp"

#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdlib>
#include <sstream>

namespace hipaa {
namespace {

using namespace hipaa::testing;

// The scenario's tables with the column types that a generated or imported
// log has, so that they can be read whole into memory.
const char* kTypedLog = R"sql(
CREATE TABLE disclose(sender TEXT, recipient TEXT, info TEXT, time TEXT);
INSERT INTO disclose VALUES ('alice', 'bob', 'm1', '2010:01:05:00:00:00');
INSERT INTO disclose VALUES ('alice', 'carol', 'm2', '2010:01:06:00:00:00');
INSERT INTO disclose VALUES ('alice', 'bob', 'm2', '2010:01:07:00:00:00');
CREATE TABLE attr_in_db(subattr TEXT, superattr TEXT, note TEXT);
INSERT INTO attr_in_db VALUES ('name', 'phi', '"n"');
CREATE TABLE hasattrof_db(info TEXT, subject TEXT, attr TEXT, note TEXT);
INSERT INTO hasattrof_db VALUES ('m1', 'bob', 'psychotherapy', '"n"');
INSERT INTO hasattrof_db VALUES ('m2', 'carol', 'name', '"n"');
INSERT INTO hasattrof_db VALUES ('m2', 'bob', 'name', '"n"');
CREATE TABLE inrole_db(person TEXT, role TEXT, time TEXT);
INSERT INTO inrole_db VALUES ('bob', 'nurse', '2010:01:05:00:00:00');
INSERT INTO inrole_db VALUES ('carol', 'health-care-provider', '2010:01:06:00:00:00');
INSERT INTO inrole_db VALUES ('bob', 'nurse', '2010:01:07:00:00:00');
CREATE INDEX inrole_db_by_time_person ON inrole_db (time, person);
CREATE TABLE purp_in_db(info TEXT, purpose TEXT, note TEXT);
INSERT INTO purp_in_db VALUES ('m1', 'healthcare-op-para-1-2', '"n"');
INSERT INTO purp_in_db VALUES ('m2', 'marketing', '"n"');
INSERT INTO purp_in_db VALUES ('m2', 'treatment', '"n"');
CREATE INDEX purp_in_db_by_info ON purp_in_db (info);
)sql";

// Every disclosure by alice goes to a nurse for health care operations, or
// to a provider for treatment, or about its recipient's name, or to someone
// trusted.
FormulaPtr policy() {
  GuardPtr guard = make_gatom("disclose-eval", {app("alice"), var("q"), var("m"), var("t")});
  FormulaPtr body = make_or(
      std::nullopt,
      {make_and(std::nullopt, {atom("inrole", {var("q"), app("nurse"), var("t")}),
                               atom("purp_in", {var("m"), app("Healthcare-op")})}),
       make_and(std::nullopt, {atom("inrole", {var("q"), app("Health-care-provider"), var("t")}),
                               atom("purp_in", {var("m"), app("Treatment")})}),
       atom("hasattrof", {var("m"), var("q"), app("name")}), atom("trusted", {var("q")})});
  return make_all("p", bound({"q", "m", "t"}), {}, false, guard, body);
}

// One reduction's result: the residual or the failure, what it wrote, and
// how many lookups it sent to SQLite.
struct Reduction {
  std::string result;
  std::string written;
  int lookups = 0;
};

int count_lookup(unsigned, void* self, void* statement, void*) {
  const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
  if (sql != nullptr && std::string(sql).find(" WHERE (") != std::string::npos) {
    ++*static_cast<int*>(self);
  }
  return 0;
}

Reduction reduce_with(const TempDatabase& db, bool whole) {
  Signature signature = test_signature();
  db::Connection connection = db.connect();
  Reduction run;
  sqlite3_trace_v2(connection.handle(), SQLITE_TRACE_STMT, &count_lookup, &run.lookups);
  std::ostringstream out;
  std::string failure = failure_name([&] {
    if (whole) {
      run.result = print_formula(*reduce_policy(policy(), signature, connection, out));
      return;
    }
    HipaaScenario scenario(signature, connection, out);
    ReductionFn engine(signature, connection, out, scenario);
    run.result = print_formula(*engine.reduce_formula_internal(policy()));
  });
  if (!failure.empty()) run.result = "failure " + failure;
  run.written = out.str();
  return run;
}

TEST(ReducePolicy, TablesHeldInMemoryAnswerAsTheirQueriesWould) {
  struct Case {
    const char* what;
    const char* damage;
    const char* failure; // "" when the reduction ends with a residual
  };
  const Case cases[] = {
      {"a clean log", "", ""},
      {"a purpose that needs a repair",
       "UPDATE purp_in_db SET purpose = '(marketing' WHERE purpose = 'marketing'", ""},
      {"a role of no declared sort",
       "UPDATE inrole_db SET role = 'no-such-role' WHERE person = 'carol'",
       "UndeclaredConstructor"},
      {"a missing purpose", "UPDATE purp_in_db SET purpose = NULL WHERE info = 'm1'",
       "UnparseableTerm"},
      {"a date that does not exist",
       "UPDATE disclose SET time = '2010:13:01' WHERE info = 'm2'", "Date"},
      {"a value that is no text", "UPDATE hasattrof_db SET note = 7 WHERE info = 'm1'", ""},
      {"a table dropped", "DROP TABLE purp_in_db", "CannotPrepareQuery"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDatabase db(kTypedLog);
    if (*c.damage != '\0') db.exec(c.damage);
    Reduction queried = reduce_with(db, false);
    Reduction whole = reduce_with(db, true);
    if (*c.failure == '\0') {
      EXPECT_FALSE(queried.result.starts_with("failure ")) << queried.result;
    } else {
      EXPECT_EQ(queried.result, std::string("failure ") + c.failure);
    }
    EXPECT_EQ(whole.result, queried.result);
    EXPECT_EQ(whole.written, queried.written);
    if (*c.damage == '\0') {
      EXPECT_GT(queried.lookups, 0);
      EXPECT_EQ(whole.lookups, 0) << "the clean tables were not held in memory";
    }
  }
}

} // namespace
} // namespace hipaa

namespace hipaa {
namespace {

// The budget a run would get with its address space limited to `limit`,
// checked in a child process: exits 0 when it is an eighth of the limit.
[[noreturn]] void exit_with_budget_under(std::size_t limit) {
  rlimit bound{};
  bound.rlim_cur = bound.rlim_max = limit;
  setrlimit(RLIMIT_AS, &bound);
  std::_Exit(table_index_budget() == limit / 8 ? 0 : 1);
}

// Under a limited address space the tables get an eighth of it, so that a
// log that a run without them could audit is still audited.
TEST(ReducePolicyDeathTest, TablesTakeAnEighthOfALimitedAddressSpace) {
  if (kSanitized) GTEST_SKIP() << "the sanitizers reserve more address space than the limit";
  EXPECT_GT(table_index_budget(), 0u);
  EXPECT_LE(table_index_budget(), kTableIndexBudget);
  EXPECT_EXIT(exit_with_budget_under(std::size_t{1} << 30), ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace hipaa
