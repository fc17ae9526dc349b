// Prepared statements kept for reuse.  Every query shape (one SQL text with
// a "?" for each value) is prepared once, at its first use, and handed out
// again after a reset; nested queries of the same shape get statements of
// their own from the same pool.
#pragma once

#include "db/sqlite.hpp"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace hipaa::db {

class StatementPool {
public:
  // A statement on loan: reset and returned to the pool when dropped.
  class Lease {
  public:
    Lease(Lease&& other) noexcept;
    Lease& operator=(Lease&& other) noexcept;
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    ~Lease();

    Statement& statement() { return statement_; }

  private:
    friend class StatementPool;
    Lease(StatementPool& pool, std::size_t shape, Statement statement)
        : pool_(&pool), shape_(shape), statement_(std::move(statement)) {}
    void give_back();

    StatementPool* pool_;
    std::size_t shape_;
    Statement statement_;
  };

  explicit StatementPool(Connection& connection) : connection_(connection) {}
  StatementPool(const StatementPool&) = delete;
  StatementPool& operator=(const StatementPool&) = delete;

  // The number that stands for the SQL text `sql` in `acquire`.
  std::size_t shape(const std::string& sql);

  // A statement of `shape`, prepared now when none is free; absent when
  // SQLite rejects the text.
  std::optional<Lease> acquire(std::size_t shape);

private:
  struct Shape {
    std::string sql;
    std::vector<Statement> idle;
  };

  Connection& connection_;
  std::vector<Shape> shapes_;
  std::unordered_map<std::string, std::size_t> numbers_;
};

} // namespace hipaa::db
