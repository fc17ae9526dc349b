// Loaded with LD_PRELOAD into an audit run: records every execution of a
// statement as its SQL text with the values written in (as SQLite's
// expanded form gives them) and the number of steps it took, so that the
// same query sequence can be replayed without the audit around it.
// Output file: $FLOOR_TRACE; one record per execution, in the order the
// executions started: "<sequence> <steps> <bytes>\n<sql>\n".
#include <sqlite3.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_map>

namespace {

struct Execution {
  unsigned long sequence;
  unsigned long steps;
  std::string sql;
};

struct Trace {
  std::FILE* file = nullptr;
  unsigned long next_sequence = 0;
  std::unordered_map<sqlite3_stmt*, Execution> open;

  Trace() {
    const char* path = std::getenv("FLOOR_TRACE");
    if (path != nullptr) file = std::fopen(path, "w");
  }
  ~Trace() {
    for (auto& [statement, execution] : open) write(execution);
    if (file != nullptr) std::fclose(file);
  }
  void write(const Execution& execution) {
    if (file == nullptr) return;
    std::fprintf(file, "%lu %lu %zu\n", execution.sequence, execution.steps, execution.sql.size());
    std::fwrite(execution.sql.data(), 1, execution.sql.size(), file);
    std::fputc('\n', file);
  }
  void end(sqlite3_stmt* statement) {
    auto found = open.find(statement);
    if (found == open.end()) return;
    write(found->second);
    open.erase(found);
  }
};

Trace& trace() {
  static Trace instance;
  return instance;
}

template <class F> F real(const char* name) { return reinterpret_cast<F>(dlsym(RTLD_NEXT, name)); }

} // namespace

extern "C" int sqlite3_step(sqlite3_stmt* statement) {
  static auto step = real<int (*)(sqlite3_stmt*)>("sqlite3_step");
  Trace& t = trace();
  if (!sqlite3_stmt_busy(statement)) {
    // A new execution: the previous one of this statement (if any) is over.
    t.end(statement);
    char* sql = sqlite3_expanded_sql(statement);
    t.open[statement] = Execution{t.next_sequence++, 0, sql != nullptr ? sql : ""};
    sqlite3_free(sql);
  }
  int code = step(statement);
  auto found = t.open.find(statement);
  if (found != t.open.end()) ++found->second.steps;
  if (code != SQLITE_ROW) t.end(statement);
  return code;
}

extern "C" int sqlite3_reset(sqlite3_stmt* statement) {
  static auto reset = real<int (*)(sqlite3_stmt*)>("sqlite3_reset");
  trace().end(statement);
  return reset(statement);
}

extern "C" int sqlite3_finalize(sqlite3_stmt* statement) {
  static auto finalize = real<int (*)(sqlite3_stmt*)>("sqlite3_finalize");
  trace().end(statement);
  return finalize(statement);
}
