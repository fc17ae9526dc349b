// Reduction of one quantifier over a large log table whose body is decided
// by one indexed lookup per row, next to the same SQLite work done alone, so
// that the time per row splits into SQLite's share and the engine's.
#include "check/sorts.hpp"
#include "db/query.hpp"
#include "logic/printer.hpp"
#include "scenario/reduce_policy.hpp"
#include "syntax/policy_parser.hpp"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace hipaa {
namespace {

// events(id, who) with `rows` rows and known(who) holding every who, indexed.
class LogFile {
public:
  explicit LogFile(int rows) {
    char name[] = "/tmp/hipaa-bench-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    close(fd);
    path_ = name;
    sqlite3* handle = nullptr;
    sqlite3_open(path_.c_str(), &handle);
    std::string sql = "BEGIN; CREATE TABLE events(id, who); CREATE TABLE known(who);";
    for (int i = 0; i < rows; ++i) {
      std::string who = "'\"w" + std::to_string(i) + "\"'";
      sql += "INSERT INTO events VALUES ('" + std::to_string(i) + "', " + who + ");";
      sql += "INSERT INTO known VALUES (" + who + ");";
    }
    sql += "CREATE INDEX known_who ON known(who); COMMIT;";
    sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(handle);
  }
  ~LogFile() { unlink(path_.c_str()); }
  const std::string& path() const { return path_; }

private:
  std::string path_;
};

const LogFile& log_file(int rows) {
  static std::map<int, std::unique_ptr<LogFile>> files;
  auto& file = files[rows];
  if (!file) file = std::make_unique<LogFile>(rows);
  return *file;
}

Signature bench_signature() {
  Signature signature;
  PredDecl events{PredClass::Db, {{Mode::Output, Sort::integer()}, {Mode::Output, Sort::string()}},
                  std::nullopt, DbInfo{"events", {"id", "who"}}};
  PredDecl known{PredClass::Db, {{Mode::Input, Sort::string()}}, std::nullopt,
                 DbInfo{"known", {"who"}}};
  signature.push_back({events, "event"});
  signature.push_back({known, "known"});
  return signature;
}

// (all [i] [w] (event i w) (known w))
FormulaPtr bench_policy() {
  BoundList bound{{Sort::integer(), "i"}, {Sort::string(), "w"}};
  return make_all(std::nullopt, bound, {}, false,
                  make_gatom("event", {make_var("i"), make_var("w")}),
                  make_atom(std::nullopt, "known", {make_var("w")}));
}

// The whole reduction: SQLite, parsing and checking of stored values,
// substitution and reduction.
void BM_ReduceQuantifier(benchmark::State& state) {
  int rows = static_cast<int>(state.range(0));
  db::Connection connection = *db::Connection::open(log_file(rows).path());
  Signature signature = bench_signature();
  FormulaPtr policy = bench_policy();
  std::ostringstream out;
  for (auto _ : state) {
    FormulaPtr residual = reduce_policy(policy, signature, connection, out);
    if (!residual->is<True>()) state.SkipWithError("unexpected residual");
  }
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ReduceQuantifier)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// SQLite alone: the same outer query and one prepared, stepped and
// finalized lookup per row, with the texts the engine would build.
void BM_SqliteShare(benchmark::State& state) {
  int rows = static_cast<int>(state.range(0));
  db::Connection connection = *db::Connection::open(log_file(rows).path());
  std::ostringstream out;
  for (auto _ : state) {
    long found = 0;
    db::run_query(connection, "SELECT events.id, events.who FROM events", out,
                  [&](const db::Row& row) {
                    std::string sql = "SELECT known.who FROM known WHERE (known.who = '" +
                                      row[1] + "')";
                    db::run_query(connection, sql, out, [&](const db::Row&) {
                      ++found;
                      return false;
                    });
                    return true;
                  });
    if (found != rows) state.SkipWithError("lookup missed");
  }
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_SqliteShare)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Parsing and checking the three stored values one row brings in (two in
// the outer row, one in the lookup), the largest part of the engine's share.
void BM_ParseAndCheckValues(benchmark::State& state) {
  Signature signature = bench_signature();
  std::ostringstream out;
  const std::vector<Sort> sorts{Sort::integer(), Sort::string()};
  for (auto _ : state) {
    TermList values{*parse_term("12345", out), *parse_term("\"w12345\"", out)};
    check_value_terms(values, sorts, signature, out);
    TermList lookup{*parse_term("\"w12345\"", out)};
    check_value_terms(lookup, {Sort::string()}, signature, out);
    benchmark::DoNotOptimize(values);
  }
}
BENCHMARK(BM_ParseAndCheckValues);

} // namespace
} // namespace hipaa

BENCHMARK_MAIN();
