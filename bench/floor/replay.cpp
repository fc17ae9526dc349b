// Replays a recorded query sequence at the floor of SQLite: each query shape
// (the text with its quoted values replaced by parameters) is prepared once,
// and every execution binds its values and takes as many steps as the audit
// took, reading each row's columns as text.  Prints the CPU seconds of the
// replay and the number of executions and shapes.  All executions run in
// one read transaction, as the audit's do under its open outer scan.
// Usage: replay DATABASE TRACE
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

struct Execution {
  unsigned long sequence;
  unsigned long steps;
  std::string shape;
  std::vector<std::string> values;
};

// Splits "... WHERE (t.c = 'v''w') ..." into "... WHERE (t.c = ?) ..." and
// the values, with doubled quotes undone.
void split(const std::string& sql, Execution& execution) {
  for (std::size_t i = 0; i < sql.size(); ++i) {
    if (sql[i] != '\'') {
      execution.shape += sql[i];
      continue;
    }
    std::string value;
    for (++i; i < sql.size(); ++i) {
      if (sql[i] == '\'') {
        if (i + 1 < sql.size() && sql[i + 1] == '\'') {
          value += '\'';
          ++i;
          continue;
        }
        break;
      }
      value += sql[i];
    }
    execution.shape += '?';
    execution.values.push_back(std::move(value));
  }
}

double cpu_seconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: replay DATABASE TRACE\n";
    return 2;
  }
  std::ifstream in(argv[2], std::ios::binary);
  std::vector<Execution> executions;
  unsigned long sequence = 0;
  unsigned long steps = 0;
  std::size_t bytes = 0;
  while (in >> sequence >> steps >> bytes) {
    in.get();
    std::string sql(bytes, '\0');
    in.read(sql.data(), static_cast<std::streamsize>(bytes));
    in.get();
    Execution execution{sequence, steps, {}, {}};
    split(sql, execution);
    executions.push_back(std::move(execution));
  }
  std::sort(executions.begin(), executions.end(),
            [](const Execution& a, const Execution& b) { return a.sequence < b.sequence; });

  // As in the audit: one thread, no memory statistics.
  sqlite3_config(SQLITE_CONFIG_SINGLETHREAD);
  sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    std::cerr << "cannot open " << argv[1] << "\n";
    return 1;
  }
  std::unordered_map<std::string, sqlite3_stmt*> shapes;
  std::string column;
  // The audit's outermost scan stays open while the other queries run, so
  // they all read in one transaction; so does the replay.
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  double start = cpu_seconds();
  for (const Execution& execution : executions) {
    sqlite3_stmt*& statement = shapes[execution.shape];
    if (statement == nullptr &&
        sqlite3_prepare_v2(db, execution.shape.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      std::cerr << "cannot prepare " << execution.shape << "\n";
      return 1;
    }
    for (std::size_t i = 0; i < execution.values.size(); ++i) {
      const std::string& value = execution.values[i];
      sqlite3_bind_text(statement, static_cast<int>(i + 1), value.data(),
                        static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
    for (unsigned long step = 0; step < execution.steps; ++step) {
      if (sqlite3_step(statement) != SQLITE_ROW) break;
      int count = sqlite3_column_count(statement);
      for (int c = 0; c < count; ++c) {
        const unsigned char* text = sqlite3_column_text(statement, c);
        column.assign(reinterpret_cast<const char*>(text != nullptr ? text : (const unsigned char*)""),
                      static_cast<std::size_t>(sqlite3_column_bytes(statement, c)));
      }
    }
    sqlite3_reset(statement);
  }
  double seconds = cpu_seconds() - start;
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  for (auto& [shape, statement] : shapes) sqlite3_finalize(statement);
  sqlite3_close(db);
  std::printf("%.6f %zu %zu\n", seconds, executions.size(), shapes.size());
  return 0;
}
