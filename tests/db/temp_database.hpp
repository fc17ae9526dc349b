// A throw-away SQLite file for tests: created from SQL text in the system's
// temporary directory and removed again when the object goes away.
#pragma once

#include "db/sqlite.hpp"

#include <sqlite3.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace hipaa::testing {

class TempDatabase {
public:
  explicit TempDatabase(const std::string& setup_sql = "") {
    char name[] = "/tmp/hipaa-test-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    close(fd);
    path_ = name;
    if (!setup_sql.empty()) exec(setup_sql);
  }
  TempDatabase(const TempDatabase&) = delete;
  TempDatabase& operator=(const TempDatabase&) = delete;
  ~TempDatabase() { unlink(path_.c_str()); }

  const std::string& path() const { return path_; }

  // Runs SQL on a connection of its own (the program's layer never writes).
  void exec(const std::string& sql) const {
    sqlite3* handle = nullptr;
    sqlite3_open(path_.c_str(), &handle);
    char* error = nullptr;
    std::string batch = "BEGIN;" + sql + ";COMMIT;";
    int code = sqlite3_exec(handle, batch.c_str(), nullptr, nullptr, &error);
    std::string message = error != nullptr ? error : "";
    sqlite3_free(error);
    sqlite3_close(handle);
    if (code != SQLITE_OK) throw std::runtime_error("setup SQL failed: " + message);
  }

  db::Connection connect() const {
    std::optional<db::Connection> connection = db::Connection::open(path_);
    if (!connection) throw std::runtime_error("cannot open " + path_);
    return std::move(*connection);
  }

private:
  std::string path_;
};

// Statements still prepared on the connection.
inline int open_statements(const db::Connection& connection) {
  int count = 0;
  for (sqlite3_stmt* s = sqlite3_next_stmt(connection.handle(), nullptr); s != nullptr;
       s = sqlite3_next_stmt(connection.handle(), s)) {
    ++count;
  }
  return count;
}

} // namespace hipaa::testing
