// The log is evidence: reading it never changes a byte of it, and a writer
// holding it for a moment is waited for.
#include "db/query.hpp"
#include "db/temp_database.hpp"
#include "support/failure_name.hpp"

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace hipaa::db {
namespace {

namespace fs = std::filesystem;
using hipaa::testing::failure_name;
using hipaa::testing::TempDatabase;

std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

// Runs `sql` in a child process on a connection of its own.  The child
// writes one byte to `ready` once the SQL has run, holds on for `hold_ms`,
// then ends without committing or closing: SIGKILL when `crash`, which
// leaves an open transaction's journal behind.
pid_t run_in_child(const std::string& path, const std::string& sql, int ready, int hold_ms,
                   bool crash) {
  pid_t child = fork();
  if (child != 0) return child;
  sqlite3* handle = nullptr;
  sqlite3_open(path.c_str(), &handle);
  int code = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr);
  if (write(ready, code == SQLITE_OK ? "y" : "n", 1) != 1) _exit(2);
  usleep(static_cast<useconds_t>(hold_ms) * 1000);
  if (crash) kill(getpid(), SIGKILL);
  _exit(0);
}

struct Child {
  Child(const std::string& path, const std::string& sql, int hold_ms, bool crash) {
    if (pipe(ready) != 0) throw std::runtime_error("pipe failed");
    pid = run_in_child(path, sql, ready[1], hold_ms, crash);
    char answer = 0;
    if (read(ready[0], &answer, 1) != 1 || answer != 'y') throw std::runtime_error("child failed");
  }
  ~Child() {
    waitpid(pid, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
  }
  int ready[2] = {-1, -1};
  pid_t pid = -1;
};

int count_rows(Connection& connection, std::ostream& out) {
  int rows = 0;
  run_query(connection, "SELECT a FROM t", out, [&](const Row&) {
    ++rows;
    return true;
  });
  return rows;
}

TEST(Evidence, ALogWithAHotJournalIsRefusedAndLeftAsItIs) {
  TempDatabase db("CREATE TABLE t(a); INSERT INTO t VALUES ('x')");
  const std::string journal = db.path() + "-journal";
  {
    // A small page cache makes the uncommitted rows reach the file itself.
    Child writer(db.path(),
                 "PRAGMA cache_size=1; BEGIN; CREATE TABLE filler(x);"
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200)"
                 " INSERT INTO filler SELECT randomblob(4000) FROM n;",
                 0, true);
  }
  ASSERT_TRUE(fs::exists(journal));
  const std::string log_before = file_bytes(db.path());
  const std::string journal_before = file_bytes(journal);
  {
    std::optional<Connection> connection = Connection::open(db.path());
    ASSERT_TRUE(connection.has_value());
    std::ostringstream out;
    EXPECT_EQ(failure_name([&] { count_rows(*connection, out); }), "CannotPrepareQuery");
  }
  EXPECT_EQ(file_bytes(db.path()), log_before);
  EXPECT_EQ(file_bytes(journal), journal_before);
  fs::remove(journal);
}

TEST(Evidence, AShortWriteIsWaitedForAndALongOneFails) {
  TempDatabase db("CREATE TABLE t(a); INSERT INTO t VALUES ('x')");
  std::ostringstream out;
  {
    Child writer(db.path(), "BEGIN EXCLUSIVE; INSERT INTO t VALUES ('y');", 300, false);
    Connection connection = db.connect();
    EXPECT_EQ(count_rows(connection, out), 1);
  }
  {
    Child writer(db.path(), "BEGIN EXCLUSIVE;", kBusyTimeoutMilliseconds + 500, false);
    Connection connection = db.connect();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(failure_name([&] { count_rows(connection, out); }), "CannotPrepareQuery");
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(kBusyTimeoutMilliseconds - 100));
  }
}

} // namespace
} // namespace hipaa::db
