#include "db/query.hpp"
#include "db/statement_pool.hpp"
#include "db/temp_database.hpp"
#include "base/failure.hpp"
#include "support/failure_name.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <sstream>
#include <sys/stat.h>

namespace hipaa::db {
namespace {

using hipaa::testing::failure_name;

using hipaa::testing::open_statements;
using hipaa::testing::TempDatabase;

const char* kSetup = "CREATE TABLE t(a, b);"
                     "INSERT INTO t VALUES ('x', 1);"
                     "INSERT INTO t VALUES (NULL, -42);";

std::vector<Row> all_rows(Connection& connection, const std::string& sql) {
  std::ostringstream out;
  std::vector<Row> rows;
  run_query(connection, sql, out, [&](const Row& row) {
    rows.push_back(row);
    return true;
  });
  return rows;
}

TEST(Connection, OpeningAMissingFileFailsAndCreatesNothing) {
  const std::string path = "/tmp/hipaa-test-does-not-exist.db";
  unlink(path.c_str());
  EXPECT_FALSE(Connection::open(path).has_value());
  struct stat info {};
  EXPECT_NE(stat(path.c_str(), &info), 0);
}

TEST(Statement, ColumnsReadAsTextWithNullAsEmpty) {
  TempDatabase db(kSetup);
  Connection connection = db.connect();
  EXPECT_EQ(all_rows(connection, "SELECT a, b FROM t"), (std::vector<Row>{{"x", "1"}, {"", "-42"}}));
  EXPECT_EQ(open_statements(connection), 0);
}

TEST(Statement, OnlyTheFirstStatementOfATextRuns) {
  TempDatabase db(kSetup);
  Connection connection = db.connect();
  EXPECT_EQ(all_rows(connection, "SELECT count(*) FROM t; DELETE FROM t"), (std::vector<Row>{{"2"}}));
  EXPECT_EQ(all_rows(connection, "SELECT count(*) FROM t"), (std::vector<Row>{{"2"}}));
  EXPECT_EQ(sqlite3_total_changes(connection.handle()), 0);
}

TEST(QueryProtocol, EmptyResultAndEarlyStopBothFinalize) {
  TempDatabase db(kSetup);
  Connection connection = db.connect();
  std::ostringstream out;
  int calls = 0;
  auto count = [&](const Row&) {
    ++calls;
    return false;
  };
  EXPECT_TRUE(run_query(connection, "SELECT a FROM t WHERE (t.a = 'none')", out, count));
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(run_query(connection, "SELECT a FROM t", out, count));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(open_statements(connection), 0);
}

TEST(QueryProtocol, QueriesNestWhileTheOuterStatementIsOpen) {
  TempDatabase db(kSetup);
  Connection connection = db.connect();
  std::ostringstream out;
  std::vector<std::string> seen;
  run_query(connection, "SELECT b FROM t", out, [&](const Row& outer) {
    for (const Row& inner : all_rows(connection, "SELECT count(*) FROM t")) {
      seen.push_back(outer[0] + "/" + inner[0]);
    }
    return open_statements(connection) == 1;
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"1/2", "-42/2"}));
}

TEST(QueryProtocol, Failures) {
  TempDatabase db(kSetup);
  Connection connection = db.connect();
  std::ostringstream out;
  auto keep_going = [](const Row&) { return true; };
  EXPECT_EQ(failure_name([&] { run_query(connection, "SELECT missing.x FROM missing", out, keep_going); }),
            "CannotPrepareQuery");
  EXPECT_EQ(out.str(), "Unable to prepare query: SELECT missing.x FROM missing\n");
  // abs() of the most negative integer fails while the row is computed.
  EXPECT_EQ(failure_name([&] { run_query(connection, "SELECT abs(-9223372036854775807 - 1)", out, keep_going); }),
            "ErrorRunningDbQuery");
  EXPECT_EQ(failure_name([&] {
              run_query(connection, "SELECT a FROM t", out, [](const Row&) -> bool { raise("Boom"); });
            }),
            "Boom");
  EXPECT_EQ(open_statements(connection), 0);
}

// Statements stepped but not yet run to their end or reset.
int busy_statements(const Connection& connection) {
  int count = 0;
  for (sqlite3_stmt* s = sqlite3_next_stmt(connection.handle(), nullptr); s != nullptr;
       s = sqlite3_next_stmt(connection.handle(), s)) {
    count += sqlite3_stmt_busy(s) ? 1 : 0;
  }
  return count;
}

TEST(StatementPool, OneStatementPerShapeInUse) {
  TempDatabase db(kSetup);
  Connection connection = db.connect();
  StatementPool pool(connection);
  std::size_t shape = pool.shape("SELECT b FROM t WHERE a = ?");
  EXPECT_EQ(pool.shape("SELECT b FROM t WHERE a = ?"), shape);
  auto first_b = [](Statement& statement) {
    return statement.step() == StepStatus::Row ? statement.get_data()[0] : "none";
  };
  {
    std::optional<StatementPool::Lease> outer = pool.acquire(shape);
    outer->statement().bind_text(1, "x");
    ASSERT_EQ(outer->statement().step(), StepStatus::Row);
    // Nested use of the same shape gets a statement of its own.
    std::optional<StatementPool::Lease> inner = pool.acquire(shape);
    inner->statement().bind_text(1, "y");
    EXPECT_EQ(first_b(inner->statement()), "none");
    EXPECT_EQ(open_statements(connection), 2);
  }
  // Returned statements are reset and kept for reuse.
  EXPECT_EQ(busy_statements(connection), 0);
  EXPECT_EQ(open_statements(connection), 2);
  std::optional<StatementPool::Lease> again = pool.acquire(shape);
  again->statement().bind_text(1, "x");
  EXPECT_EQ(first_b(again->statement()), "1");
  EXPECT_EQ(open_statements(connection), 2);
  EXPECT_FALSE(pool.acquire(pool.shape("SELECT nothing FROM nowhere")).has_value());
}

} // namespace
} // namespace hipaa::db
