// The SQLite access layer: a connection and prepared statements as RAII
// objects over the C interface.  Values cross the layer only as text.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace hipaa::db {

// The current result row: one text per column, NULL read as "".
using Row = std::vector<std::string>;

// How long a query waits for a lock held by a writer before it fails.
inline constexpr int kBusyTimeoutMilliseconds = 3000;

enum class StepStatus { Row = 0, Done = 1, Error = 2 };

class Connection {
public:
  // Opens an existing regular file read-only; never creates it.  Absent on
  // failure.  A query waits up to kBusyTimeoutMilliseconds for a writer's lock.
  static std::optional<Connection> open(const std::string& path);
  // Opens an existing regular file that is only ever read, as open does.
  static std::optional<Connection> open_read_only(const std::string& path);
  // Before the first connection of the process: lets each of several
  // threads use a connection of its own.
  static void allow_threads();
  Connection(Connection&& other) noexcept;
  Connection& operator=(Connection&& other) noexcept;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection();

  // Lets SQLite keep up to `mebibytes` of the file's pages in memory (its
  // default is 2 MiB).  Only a hint: a refusal changes nothing else.
  void set_page_cache(int mebibytes);

  // Closes the connection; the result code is returned and may be ignored.
  int close();
  sqlite3* handle() const { return handle_; }

private:
  explicit Connection(sqlite3* handle) : handle_(handle) {}
  sqlite3* handle_ = nullptr;
};

class Statement {
public:
  // Compiles the first statement of `sql`; absent when SQLite rejects it.
  static std::optional<Statement> prepare(Connection& connection, const std::string& sql);
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement(); // finalizes

  StepStatus step();
  // The current row's column texts, in column order; does not step.
  Row get_data() const;
  // Reads the current row into `row`, reusing its storage.
  void get_data_into(Row& row) const;
  // Binds `text` to the 1-based parameter `index`; SQLite keeps a copy.
  void bind_text(int index, const std::string& text);
  // Makes the statement ready to run again from its first row; its bound
  // values stay.
  void reset();
  void finalize();
  // False once finalized.
  bool prepared() const { return handle_ != nullptr; }

private:
  explicit Statement(sqlite3_stmt* handle) : handle_(handle) {}
  sqlite3_stmt* handle_ = nullptr;
};

} // namespace hipaa::db
